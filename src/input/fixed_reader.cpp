#include "input/fixed_reader.hpp"

#include <cmath>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "console/printable.hpp"
#include "console/run_stop.hpp"
#include "files/find.hpp"
#include "input/closing.hpp"
#include "input/file_names.hpp"
#include "input/listing.hpp"
#include "input/selection.hpp"
#include "input/storing.hpp"
#include "input/text_lines.hpp"

namespace input {

namespace {

using console::RunStop;

[[noreturn]] void info_file_error() {
  throw RunStop("ERRORS IN INFO FILE");
}

std::string next_info_line(format::LineSource& lines) {
  std::string line;
  if (!lines.next_line(line)) info_file_error();
  return line;
}

int read_count(const std::string& line) {
  long long count = 0;
  if (!format::read_integer(fixed_width(line, 5), count) || count < 0) info_file_error();
  return static_cast<int>(count);
}

float read_code(const std::string& line) {
  float code = 0.0f;
  if (!format::read_real(fixed_width(line, 5), 0, code) || !std::isfinite(code)) info_file_error();
  return code;
}

// A format that is no layout, that has no item to read the values with, or
// whose numeric values fall on text items, is found here rather than at the
// first record.
void check_record_format(const InformationFile& info) {
  if (info.free_field) return;
  const std::size_t first = info.character_id ? 1 : 0;
  const int count = info.variables + static_cast<int>(first);
  try {
    // One blank line per value, for a layout that goes on over several lines.
    format::StringLines blank(std::vector<std::string>(static_cast<std::size_t>(count) + 1));
    std::vector<format::Field> fields;
    format::read(format::Layout::parse(info.record_format), blank, count, fields, 10);
    for (std::size_t k = first; k < fields.size(); ++k) {
      if (fields[k].is_text) info_file_error();
    }
  } catch (const std::invalid_argument&) {
    info_file_error();
  }
}

void check_limits(const InformationFile& info) {
  if (info.samples > limits::max_samples) throw RunStop("TOO MANY SAMPLES, CHANGE PARAMETERS");
  // The message names an older limit; users know it by this text.
  if (info.variables > limits::max_variables) {
    throw RunStop("MORE THAN 100 VARIABLES, CHANGE PARAMETERS");
  }
}

void show_contents(console::Console& screen, const InformationFile& info) {
  screen.print("(' File contains',I7,' samples and',I5,' numeric variables.')", info.samples,
               info.variables);
  screen.line();
  if (info.free_field) screen.line(" DATA READ IN FREEFIELD!");
}

// One record of the data file with its values for the selected variables.
class FixedRecords {
 public:
  FixedRecords(RecordLines& data, const InformationFile& info, const Selection& selection,
               SampleTable& table, console::Console& screen)
      : data_(data),
        info_(info),
        selection_(selection),
        table_(table),
        screen_(screen),
        record_(info.variables, 0.0f),
        chosen_(selection.selected.size(), 0.0f) {
    if (!info.free_field) layout_ = format::Layout::parse(info.record_format);
  }

  // Reads record k; false at the end of the data.
  bool read(int k) { return info_.free_field ? read_free_field(k) : read_formatted(k); }
  const std::vector<float>& chosen() const { return chosen_; }

 private:
  bool read_free_field(int k) {
    const format::ListStatus status = format::read_list(data_, record_);
    if (status == format::ListStatus::end_of_data || status == format::ListStatus::short_data) {
      return false;
    }
    if (status == format::ListStatus::bad_value) {
      screen_.line(" RECORD " + std::to_string(k) +
                   " HOLDS A VALUE THAT IS NOT A NUMBER: ITS LATER VALUES ARE THOSE OF THE RECORD "
                   "BEFORE");
    }
    for (std::size_t i = 0; i < chosen_.size(); ++i) {
      chosen_[i] = record_[selection_.selected[i].position - 1];
    }
    return true;
  }

  bool read_formatted(int k) {
    const int first = info_.character_id ? 1 : 0;
    // An A without a width reads as many characters as an identifier holds.
    if (format::read(*layout_, data_, info_.variables + first, fields_, 10) !=
        format::ReadStatus::ok) {
      return false;
    }
    if (info_.character_id) table_.ids[k - 1] = character_id(fields_[0].text);
    for (std::size_t i = 0; i < chosen_.size(); ++i) {
      const SelectedVariable& v = selection_.selected[i];
      chosen_[i] = field_value(fields_[first + v.position - 1], k, v.name);
    }
    return true;
  }

  float field_value(const format::Field& field, int k, const std::string& name) {
    if (field.valid && !field.is_text) return field.real;
    warn_not_a_number(screen_, "RECORD " + std::to_string(k), name, field.text);
    return table_.missing_code;
  }

  RecordLines& data_;
  const InformationFile& info_;
  const Selection& selection_;
  SampleTable& table_;
  console::Console& screen_;
  std::optional<format::Layout> layout_;
  std::vector<float> record_;  // free-field values keep the record before for nulls
  std::vector<format::Field> fields_;
  std::vector<float> chosen_;
};

// Opened before the selection dialogue, so that a missing data file is told
// before the user answers for nothing.
void open_data_file(const FileNames& names, std::ifstream& file) {
  if (!files::open_regular_file(names.data, file))
    throw RunStop("DATA FILE " + names.data + " NOT FOUND");
}

int read_fixed_records(std::ifstream& file, const FileNames& names, const InformationFile& info,
                       const Selection& selection, SampleTable& table, console::Console& screen) {
  show_wait(screen);
  RecordLines data(file);
  FixedRecords records(data, info, selection, table, screen);
  RowStore store(table, selection, screen, info.character_id);
  int count = 0;
  while (count < info.samples && records.read(count + 1)) {
    ++count;
    store.store(count, records.chosen());
  }
  if (count < info.samples) {
    screen.line(" DATA FILE " + console::printable(names.data) + " HOLDS ONLY " +
                std::to_string(count) + " OF THE " + std::to_string(info.samples) +
                " SAMPLES ANNOUNCED: " + std::to_string(count) + " SAMPLES READ");
  }
  return count;
}

}  // namespace

bool has_character_identifier(std::string_view record_format) {
  const std::string_view head =
      record_format.substr(std::min<std::size_t>(1, record_format.size()), 5);
  return head.find_first_of("Aa") != std::string_view::npos;
}

InformationFile read_information_head(format::LineSource& lines, const std::string& name) {
  InformationFile info;
  std::string line;
  const bool has_title = lines.next_line(line);
  info.title = fixed_width(line, 80);
  if (!has_title || !lines.next_line(line)) {
    throw RunStop(" INFORMATION FILE " + fixed_width(name, 25) + " NOT FOUND");
  }
  info.samples = read_count(line);
  info.variables = read_count(next_info_line(lines));
  info.missing_code = read_code(next_info_line(lines));
  info.record_format = next_info_line(lines).substr(0, 1000);
  info.free_field = info.record_format.starts_with('*');
  info.character_id = !info.free_field && has_character_identifier(info.record_format);
  // The limits come first: a format is only checked for a table that fits.
  check_limits(info);
  check_record_format(info);
  return info;
}

void read_variable_lines(format::LineSource& lines, InformationFile& info) {
  if (info.character_id) info.identifier_name = fixed_width(next_info_line(lines), 10);
  info.names.clear();
  for (int i = 0; i < info.variables; ++i)
    info.names.push_back(fixed_width(next_info_line(lines), 10));
}

void read_fixed_layout(console::DialogueUnit& dialogue, SampleTable& table) {
  console::Console& screen = dialogue.screen();
  std::ifstream info_file;
  const FileNames names = open_first_file(dialogue, DataKind::fixed_layout, info_file);
  table.data_file = names.data;
  console::clear_console(screen);
  FileLines info_lines(info_file);
  InformationFile info = read_information_head(info_lines, names.info);
  show_contents(screen, info);
  read_variable_lines(info_lines, info);
  info_file.close();
  std::ifstream data_file;
  open_data_file(names, data_file);
  table.title = info.title;
  table.missing_code = info.missing_code;

  const Selection selection = select_text_variables(
      dialogue, info.names, info.character_id ? &info.identifier_name : nullptr);
  table.sample_count = read_fixed_records(data_file, names, info, selection, table, screen);
  write_data_listing(screen, table);
  write_text_summary(screen, table, selection.numeric_id);
  wait_for_return(dialogue);
}

}  // namespace input
