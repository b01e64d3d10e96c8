// Formatted reading: records from a line source, fields cut out by the
// layout's data items and converted.

#include <algorithm>

#include "format/layout.hpp"
#include "format/number.hpp"
#include "format/walk.hpp"

namespace format {

namespace {

class Reader {
 public:
  Reader(LineSource& source, std::size_t count, std::vector<Field>& fields,
         std::size_t plain_text_width)
      : source_(source), count_(count), fields_(fields), plain_text_width_(plain_text_width) {}

  bool first_record() { return source_.next_line(line_); }
  bool source_ended() const { return ended_; }

  bool values_left() const { return fields_.size() < count_; }

  void data(const Item& item) {
    Field& field = fields_.emplace_back();
    if (item.op == Op::text) {
      field.is_text = true;
      field.text = take(text_width(item));
      return;
    }
    field.text = take(static_cast<std::size_t>(item.width));
    if (item.op == Op::integer) return convert_integer_field(field);
    NumberModes number_modes = modes_;
    number_modes.implied_decimals = item.digits;
    double number = 0.0;
    field.valid = convert_number(field.text, number_modes, number) &&
                  convert_number(field.text, number_modes, field.real);
    field.number = field.valid ? number : 0.0;
    if (!field.valid) field.real = 0.0f;
  }

  void edit(const Item& item) {
    if (move_position(item, position_)) return;
    switch (item.op) {
      case Op::literal:
        position_ += item.text.size() * static_cast<std::size_t>(item.repeat);
        return;
      case Op::scale:
        modes_.scale = item.count;
        return;
      case Op::blank_null:
        modes_.blank_zero = false;
        return;
      case Op::blank_zero:
        modes_.blank_zero = true;
        return;
      default:
        return;  // sign modes and '$' concern writing only
    }
  }

  bool end_record() {
    position_ = 0;
    if (source_.next_line(line_)) return true;
    ended_ = true;
    return false;
  }

 private:
  std::size_t text_width(const Item& item) const {
    if (item.width >= 0) return static_cast<std::size_t>(item.width);
    if (plain_text_width_ > 0) return plain_text_width_;
    return line_.size() > position_ ? line_.size() - position_ : 0;
  }

  // The next `width` characters of the record; past its end the record
  // reads as blanks.
  std::string take(std::size_t width) {
    std::string chars(width, ' ');
    if (position_ < line_.size())
      line_.copy(chars.data(), std::min(width, line_.size() - position_), position_);
    position_ += width;
    return chars;
  }

  void convert_integer_field(Field& field) {
    long long value = 0;
    field.valid = convert_integer(field.text, modes_.blank_zero, value);
    field.number = static_cast<double>(value);
    field.real = static_cast<float>(value);
  }

  LineSource& source_;
  std::size_t count_;
  std::vector<Field>& fields_;
  std::size_t plain_text_width_;
  std::string line_;
  std::size_t position_ = 0;
  NumberModes modes_;
  bool ended_ = false;
};

}  // namespace

ReadStatus read(const Layout& layout, LineSource& source, int count, std::vector<Field>& fields,
                std::size_t plain_text_width) {
  fields.clear();
  source.drop_rest();
  Reader reader(source, count > 0 ? static_cast<std::size_t>(count) : 0, fields, plain_text_width);
  if (!reader.first_record()) return ReadStatus::end_of_data;
  walk(layout.tree(), reader);
  return reader.source_ended() ? ReadStatus::short_data : ReadStatus::ok;
}

ReadStatus read(const Layout& layout, LineSource& source, int count, std::vector<Field>& fields) {
  return read(layout, source, count, fields, 0);
}

StringLines::StringLines(std::string_view text) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    lines_.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

bool StringLines::next_line(std::string& line) {
  if (next_ >= lines_.size()) return false;
  line = lines_[next_++];
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace format
