// Free-field (list-directed) reading and writing.
//
// Reading: items are separated by a comma, a slash or blanks (a line end
// counts as a blank); blanks around a comma belong to it. A comma with no
// item before it gives a null, which leaves its target unchanged; "r*c" is r
// items c, "r*" is r nulls; a slash ends the list. The record of one read
// goes on over as many lines as its values need. When the values are
// complete inside a line the rest of the line is kept for the next read, so
// that a line may hold the end of one record and the start of the next.

#include <charconv>

#include "format/edit.hpp"
#include "format/layout.hpp"
#include "format/number.hpp"

namespace format {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool ends_item(char c) {
  return is_blank(c) || c == ',' || c == '/';
}

class ListScanner {
 public:
  explicit ListScanner(LineSource& source) : source_(source) {}

  bool open() {
    if (source_.take_rest(line_) || source_.next_line(line_)) return true;
    ended_ = true;
    return false;
  }

  // Passes blanks and line ends up to the next character; false at the end
  // of the data.
  bool skip_to_character() {
    for (;;) {
      if (ended_) return false;
      skip_blanks();
      if (at_ < line_.size()) return true;
      next_line();
    }
  }

  char current() const { return line_[at_]; }
  void advance() { ++at_; }

  std::string_view item() {
    std::size_t first = at_;
    while (at_ < line_.size() && !ends_item(line_[at_])) ++at_;
    return std::string_view(line_).substr(first, at_ - first);
  }
  std::size_t position() const { return at_; }

  // The separator after an item: blanks and at most one comma. Unless the
  // record is complete, a comma on a later line still belongs to it.
  void separator(bool more_items) {
    skip_blanks();
    while (more_items && at_ >= line_.size() && !ended_) {
      next_line();
      skip_blanks();
    }
    if (at_ < line_.size() && line_[at_] == ',') ++at_;
  }

  // A slash directly after the last value ends the record with it.
  void slash_after_last() {
    if (at_ < line_.size() && line_[at_] == '/') drop_line();
  }

  void drop_line() { at_ = line_.size(); }

  void keep_rest(std::string prefix) {
    std::string rest = prefix + line_.substr(at_);
    if (rest.find_first_not_of(" \t") != std::string::npos) source_.keep_rest(std::move(rest));
  }

  std::string_view rest_from(std::size_t at) const { return std::string_view(line_).substr(at); }

 private:
  void skip_blanks() {
    while (at_ < line_.size() && is_blank(line_[at_])) ++at_;
  }
  void next_line() {
    at_ = 0;
    if (!source_.next_line(line_)) {
      line_.clear();
      ended_ = true;
    }
  }

  LineSource& source_;
  std::string line_;
  std::size_t at_ = 0;
  bool ended_ = false;
};

// Splits "r*c" into its count and constant; a plain item is one constant.
bool split_repeat(std::string_view item, long long& repeat, std::string_view& constant) {
  std::size_t star = item.find('*');
  if (star == std::string_view::npos) {
    repeat = 1;
    constant = item;
    return true;
  }
  std::string_view count = item.substr(0, star);
  auto result = std::from_chars(count.data(), count.data() + count.size(), repeat);
  constant = item.substr(star + 1);
  return !count.empty() && result.ec == std::errc() && result.ptr == count.data() + count.size() &&
         repeat > 0;
}

bool convert_item(std::string_view text, double& value) {
  return convert_number(text, NumberModes{}, value);
}
bool convert_item(std::string_view text, float& value) {
  return convert_number(text, NumberModes{}, value);
}

template <class T>
ListStatus read_list_into(LineSource& source, std::span<T> targets) {
  ListScanner scanner(source);
  if (!scanner.open()) return ListStatus::end_of_data;
  std::size_t filled = 0;
  bool any_item = false;
  while (filled < targets.size()) {
    if (!scanner.skip_to_character())
      return any_item ? ListStatus::short_data : ListStatus::end_of_data;
    any_item = true;
    char c = scanner.current();
    if (c == '/') {
      scanner.drop_line();
      return ListStatus::ok;
    }
    if (c == ',') {  // a null: the target keeps its value
      scanner.advance();
      ++filled;
      continue;
    }
    std::string_view item = scanner.item();
    std::size_t item_end = scanner.position();
    long long repeat = 0;
    std::string_view constant;
    T value{};
    bool readable = split_repeat(item, repeat, constant);
    bool null = readable && constant.empty();  // "r*"
    if (!readable || (!null && !convert_item(constant, value))) {
      scanner.drop_line();
      return ListStatus::bad_value;
    }
    std::size_t left = targets.size() - filled;
    std::size_t used =
        repeat < static_cast<long long>(left) ? static_cast<std::size_t>(repeat) : left;
    if (!null)
      for (std::size_t i = 0; i < used; ++i) targets[filled + i] = value;
    filled += used;
    if (static_cast<std::size_t>(repeat) > used) {  // the rest of the repeat opens the next record
      std::string rest = std::to_string(static_cast<std::size_t>(repeat) - used) + "*" +
                         std::string(constant) + std::string(scanner.rest_from(item_end));
      source.keep_rest(std::move(rest));
      return ListStatus::ok;
    }
    scanner.separator(filled < targets.size());
  }
  scanner.slash_after_last();
  scanner.keep_rest("");
  return ListStatus::ok;
}

// A quoted item: a doubled quote stands for one; an unclosed one runs to the
// end of the line.
std::string quoted_item(std::string_view line, std::size_t& at) {
  char quote = line[at++];
  std::string text;
  while (at < line.size()) {
    char c = line[at++];
    if (c != quote) {
      text += c;
    } else if (at < line.size() && line[at] == quote) {
      text += quote;
      ++at;
    } else {
      break;
    }
  }
  return text;
}

void append_real(std::string& out, double value) {
  char chars[64];
  out.append(chars, static_cast<std::size_t>(shortest_real(value, chars, sizeof chars)));
}

}  // namespace

ListStatus read_list(LineSource& source, std::span<double> values) {
  return read_list_into(source, values);
}

ListStatus read_list(LineSource& source, std::span<float> values) {
  return read_list_into(source, values);
}

std::vector<std::string> split_list_items(std::string_view line) {
  std::vector<std::string> items;
  std::size_t at = 0;
  auto skip_blanks = [&] {
    while (at < line.size() && is_blank(line[at])) ++at;
  };
  for (;;) {
    skip_blanks();
    if (at >= line.size()) break;
    if (line[at] == ',') {  // a null item
      items.emplace_back();
      ++at;
      continue;
    }
    if (line[at] == '\'' || line[at] == '"') {
      items.push_back(quoted_item(line, at));
    } else {
      std::size_t first = at;
      while (at < line.size() && !is_blank(line[at]) && line[at] != ',') ++at;
      items.emplace_back(line.substr(first, at - first));
    }
    skip_blanks();
    if (at < line.size() && line[at] == ',') ++at;
  }
  return items;
}

// Free-field records begin with a blank, as list-directed output does, and
// separate their values by one blank.
std::string write_list(std::span<const Value> values) {
  std::string out;
  for (const Value& value : values) {
    out += ' ';
    switch (value.kind()) {
      case Value::Kind::integer:
        out += std::to_string(value.integer());
        break;
      case Value::Kind::real:
        append_real(out, value.real());
        break;
      case Value::Kind::text:
        out += value.text();
        break;
    }
  }
  out += '\n';
  return out;
}

std::string write_list(std::span<const float> values) {
  std::string out;
  out.reserve(values.size() * 14 + 1);
  for (float value : values) {
    out += ' ';
    append_real(out, value);
  }
  out += '\n';
  return out;
}

}  // namespace format
