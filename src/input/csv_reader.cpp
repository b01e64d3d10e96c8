#include "input/csv_reader.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "console/run_stop.hpp"
#include "format/layout.hpp"
#include "input/closing.hpp"
#include "input/file_names.hpp"
#include "input/listing.hpp"
#include "input/selection.hpp"
#include "input/storing.hpp"
#include "input/text_lines.hpp"

namespace input {

namespace {

using console::RunStop;

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && is_blank(text[first])) ++first;
  std::size_t end = text.size();
  while (end > first && is_blank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

// The cell that starts at `at`; `at` moves past the separator that ends it,
// or to npos after the last cell. Gives the part of the line that the cell
// took from outside its quotes.
std::string_view next_cell(std::string_view line, std::size_t& at, std::string& cell,
                           char separator) {
  cell.clear();
  while (at < line.size() && is_blank(line[at])) ++at;
  if (at < line.size() && (line[at] == '"' || line[at] == '\'')) {
    const char quote = line[at++];
    while (at < line.size()) {
      if (line[at] == quote) {
        if (at + 1 < line.size() && line[at + 1] == quote) {
          cell += quote;
          at += 2;
          continue;
        }
        ++at;
        break;
      }
      cell += line[at++];
    }
  }
  const std::size_t end = line.find(separator, at);
  const std::string_view unquoted =
      line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
  cell += unquoted;
  const std::string_view kept = trim(cell);
  if (kept.size() != cell.size()) cell = std::string(kept);
  at = end == std::string_view::npos ? std::string_view::npos : end + 1;
  return unquoted;
}

bool all_empty(const std::vector<std::string>& cells) {
  for (const std::string& cell : cells) {
    if (!cell.empty()) return false;
  }
  return true;
}

std::vector<std::string> column_names(std::string_view header, CsvStyle style,
                                      const std::string& file_name) {
  std::vector<std::string> cells;
  split_csv_line(header, cells, style.separator);
  if (cells.size() > static_cast<std::size_t>(limits::max_variables)) {
    throw RunStop("FILE " + file_name + " HAS " + std::to_string(cells.size()) +
                  " COLUMNS: AT MOST " + std::to_string(limits::max_variables) + " CAN BE READ");
  }
  std::vector<std::string> names;
  for (const std::string& cell : cells) names.push_back(csv_name(cell));
  return names;
}

// Reads the data lines into the table, one line one sample.
class CsvRecords {
 public:
  CsvRecords(FileLines& lines, CsvStyle style, const Selection& selection, SampleTable& table,
             console::Console& screen)
      : lines_(lines),
        style_(style),
        selection_(selection),
        table_(table),
        screen_(screen),
        chosen_(selection.selected.size()) {}

  // The next line that holds a sample; false at the end of the file.
  bool next_record() {
    while (lines_.next_line(line_)) {
      split_csv_line(line_, cells_, style_.separator);
      if (!all_empty(cells_)) return true;
      ++empty_lines_;
    }
    return false;
  }

  // The selected values of the current line; a short line, an empty cell or
  // a text gives the missing-value code.
  const std::vector<float>& chosen() {
    for (std::size_t i = 0; i < chosen_.size(); ++i) {
      const SelectedVariable& v = selection_.selected[i];
      const std::size_t p = static_cast<std::size_t>(v.position);
      chosen_[i] = table_.missing_code;
      if (p > cells_.size() || cells_[p - 1].empty()) continue;
      if (!read_csv_value(cells_[p - 1], chosen_[i], style_.decimal_comma)) {
        chosen_[i] = table_.missing_code;
        warn_not_a_number(screen_, "LINE " + std::to_string(lines_.line_number()), v.name,
                          cells_[p - 1]);
      }
    }
    return chosen_;
  }

  int empty_lines() const { return empty_lines_; }

 private:
  FileLines& lines_;
  CsvStyle style_;
  const Selection& selection_;
  SampleTable& table_;
  console::Console& screen_;
  std::string line_;
  std::vector<std::string> cells_;
  std::vector<float> chosen_;
  int empty_lines_ = 0;
};

int read_csv_records(FileLines& lines, CsvStyle style, const Selection& selection,
                     SampleTable& table, console::Console& screen) {
  show_wait(screen);
  CsvRecords records(lines, style, selection, table, screen);
  RowStore store(table, selection, screen, false);
  int count = 0;
  while (count < limits::max_samples && records.next_record()) {
    ++count;
    store.store(count, records.chosen());
  }
  if (count == limits::max_samples && records.next_record()) {
    screen.line(" THE FILE HOLDS MORE THAN " + std::to_string(limits::max_samples) +
                " SAMPLES: ONLY THE FIRST " + std::to_string(limits::max_samples) + " ARE READ");
  }
  if (records.empty_lines() > 0) {
    screen.line(" EMPTY LINES PASSED OVER: " + std::to_string(records.empty_lines()));
  }
  return count;
}

}  // namespace

CsvStyle csv_style_of(std::string_view names_line) {
  std::string cell;
  bool semicolon = false;
  for (std::size_t at = 0; at != std::string_view::npos;) {
    const std::string_view unquoted = next_cell(names_line, at, cell, semicolon_style.separator);
    if (unquoted.find(comma_style.separator) != std::string_view::npos) return comma_style;
    semicolon = semicolon || at != std::string_view::npos;
  }
  return semicolon ? semicolon_style : comma_style;
}

void split_csv_line(std::string_view line, std::vector<std::string>& cells, char separator) {
  std::size_t used = 0;
  std::size_t at = 0;
  while (at != std::string_view::npos) {
    if (used == cells.size()) cells.emplace_back();
    next_cell(line, at, cells[used], separator);
    ++used;
  }
  cells.resize(used);
}

std::string csv_name(std::string_view cell) {
  std::size_t length = std::min<std::size_t>(cell.size(), 10);
  // Back off over a UTF-8 character cut in two.
  if (length < cell.size()) {
    while (length > 0 && (static_cast<unsigned char>(cell[length]) & 0xC0) == 0x80) --length;
  }
  return fixed_width(cell.substr(0, length), 10);
}

bool read_csv_value(std::string_view cell, float& value, bool decimal_comma) {
  if (cell.empty() || cell.find_first_of(" \t") != std::string_view::npos) return false;
  if (decimal_comma && cell.find(',') != std::string_view::npos) {
    std::string with_point(cell);
    std::replace(with_point.begin(), with_point.end(), ',', '.');
    return read_csv_value(with_point, value, false);
  }
  return format::read_real(cell, 0, value) && std::isfinite(value);
}

void read_comma_separated(console::DialogueUnit& dialogue, SampleTable& table) {
  console::Console& screen = dialogue.screen();
  std::ifstream file;
  const FileNames names = open_first_file(dialogue, DataKind::comma_separated, file);
  table.data_file = names.data;
  console::clear_console(screen);
  FileLines lines(file);
  std::string header;
  const bool has_header = lines.next_line(header);
  const CsvStyle style = csv_style_of(header);
  screen.line();
  if (style.decimal_comma) screen.line(" SEMICOLON-SEPARATED FILE: DECIMAL COMMAS READ AS POINTS");
  screen.write(" Enter missing value <-999>: ");
  table.missing_code = console::ask_real(dialogue, -999.0f);
  table.title = std::string(80, ' ');

  if (!has_header) throw RunStop("FILE " + names.data + " IS EMPTY: NO LINE OF NAMES");
  const std::vector<std::string> variable_names = column_names(header, style, names.data);
  const Selection selection = select_text_variables(dialogue, variable_names, nullptr);
  table.sample_count = read_csv_records(lines, style, selection, table, screen);
  write_data_listing(screen, table);
  write_text_summary(screen, table, selection.numeric_id);
  wait_for_return(dialogue);
}

}  // namespace input
