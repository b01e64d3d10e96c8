#include "display/panel_files.hpp"

#include <fstream>
#include <stdexcept>

#include "files/find.hpp"
#include "format/layout.hpp"

namespace display {

namespace {

constexpr const char* validity_layout = "(I3,3X,F6.3,2X,F6.3,3X,F6.3,5X,F6.3,2X,F6.3,5X,F6.3,I8)";
constexpr int validity_items = 8;
constexpr int validity_headings = 4;
constexpr int cn_item = 0, fscaled_item = 3, hscaled_item = 6;
constexpr int validity_decimals = 3;

constexpr const char* class_layout = "(I4,1X,A10,1X,F6.3,2F15.5,1X,35I3)";
constexpr int first_code_item = 5;
constexpr int class_items = first_code_item + limits::max_classes;
constexpr int x_item = 3, y_item = 4;
constexpr int coordinate_decimals = 5;

bool blank(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

// The lines of the file that the name finds, line ends removed.
std::vector<std::string> file_lines(const std::string& name, const std::string& kind) {
  std::ifstream file;
  if (!files::open_regular_file(name, file))
    throw std::runtime_error("CANNOT OPEN " + kind + " FILE " + name);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (file.bad()) throw std::runtime_error("CANNOT READ " + kind + " FILE " + name);
  return lines;
}

[[noreturn]] void unreadable(const std::string& kind, const std::string& name, std::size_t line) {
  throw std::runtime_error("CANNOT READ " + kind + " FILE " + name + " AT LINE " +
                           std::to_string(line + 1));
}

// The items of one line read with the layout; false when the line does not fit it.
bool read_items(const char* layout, const std::string& line, int count,
                std::vector<format::Field>& fields) {
  format::StringLines source(std::vector<std::string>{line});
  fields.clear();
  const format::ReadStatus status =
      format::read(format::Layout::parse(layout), source, count, fields);
  return status == format::ReadStatus::ok && static_cast<int>(fields.size()) >= count;
}

bool item_real(const format::Field& field, int decimals, float& value) {
  return format::read_real(field.text, decimals, value);
}

bool all_asterisks(const std::string& text) {
  return !text.empty() && text.find_first_not_of('*') == std::string::npos;
}

// A coordinate too large for its field was written as asterisks: it has no
// place in a panel, like a missing coordinate.
bool item_coordinate(const format::Field& field, float& value) {
  if (all_asterisks(field.text)) {
    value = panel_missing;
    return true;
  }
  return item_real(field, coordinate_decimals, value);
}

bool item_integer(const format::Field& field, int& value) {
  long long v = 0;
  if (!format::read_integer(field.text, v) || v < -1000000 || v > 1000000) return false;
  value = static_cast<int>(v);
  return true;
}

// Only the fields the display keeps must be numbers: a weight or an entropy
// too wide for its field (written as asterisks) does not stop the display.
bool take_validity_line(const std::string& line, ValidityLine& out) {
  std::vector<format::Field> fields;
  return read_items(validity_layout, line, validity_items, fields) &&
         item_integer(fields[cn_item], out.clusters) &&
         item_real(fields[fscaled_item], validity_decimals, out.fscaled) &&
         item_real(fields[hscaled_item], validity_decimals, out.hscaled);
}

bool take_class_line(const std::string& line, int columns, ClassLine& out) {
  std::vector<format::Field> fields;
  if (!read_items(class_layout, line, class_items, fields) ||
      !item_coordinate(fields[x_item], out.x) || !item_coordinate(fields[y_item], out.y)) {
    return false;
  }
  for (int p = 0; p < limits::max_classes; ++p) {
    if (!item_integer(fields[first_code_item + p], out.codes[p])) {
      if (p < columns) return false;
      out.codes[p] = 0;
    }
  }
  return true;
}

}  // namespace

std::string result_file_name(const std::string& report_name, const std::string& extension) {
  const std::size_t end = report_name.find_last_not_of(' ');
  const std::size_t length = end == std::string::npos ? 0 : end + 1;
  return report_name.substr(0, length >= 4 ? length - 4 : 0) + extension;
}

std::vector<ValidityLine> read_validity_file(const std::string& name) {
  const std::vector<std::string> lines = file_lines(name, "VALIDITY");
  std::vector<ValidityLine> table;
  for (std::size_t i = validity_headings;
       i < lines.size() && table.size() < static_cast<std::size_t>(max_validity_lines); ++i) {
    if (blank(lines[i])) continue;
    ValidityLine v;
    if (!take_validity_line(lines[i], v)) unreadable("VALIDITY", name, i);
    table.push_back(v);
  }
  return table;
}

std::vector<ClassLine> read_class_file(const std::string& name, int columns) {
  const std::vector<std::string> lines = file_lines(name, "CLASS");
  std::vector<ClassLine> table;
  for (std::size_t i = 0;
       i < lines.size() && table.size() < static_cast<std::size_t>(limits::max_samples); ++i) {
    if (blank(lines[i])) continue;
    ClassLine c;
    if (!take_class_line(lines[i], columns, c)) unreadable("CLASS", name, i);
    table.push_back(c);
  }
  return table;
}

}  // namespace display
