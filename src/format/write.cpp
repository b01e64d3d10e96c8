// Formatted writing: the values go through the layout into records that are
// built directly in the result text.

#include <algorithm>

#include "format/edit.hpp"
#include "format/layout.hpp"
#include "format/walk.hpp"

namespace format {

namespace {

class Writer {
 public:
  Writer(std::span<const Value> values, std::string& out) : values_(values), out_(out) {}

  bool values_left() const { return next_ < values_.size(); }

  void data(const Item& item) {
    const Value& value = values_[next_++];
    switch (value.kind()) {
      case Value::Kind::integer:
        if (item.op == Op::text) return text_number(static_cast<double>(value.integer()), item);
        edit_integer(value.integer(), item, modes_, field_);
        return put(field_.view());
      case Value::Kind::real:
        if (item.op == Op::text) return text_number(value.real(), item);
        edit_real(value.real(), item, modes_, field_);
        return put(field_.view());
      case Value::Kind::text:
        if (item.op != Op::text) {
          edit_asterisks(item, field_);
          return put(field_.view());
        }
        return text(value.text(), item);
    }
  }

  void edit(const Item& item) {
    if (move_position(item, position_)) return;
    switch (item.op) {
      case Op::literal:
        for (int r = 0; r < item.repeat; ++r) put(item.text);
        return;
      case Op::dollar:
        dollar_ = true;
        return;
      case Op::scale:
        modes_.scale = item.count;
        return;
      case Op::sign_plus:
        modes_.plus = true;
        return;
      case Op::sign_default:
        modes_.plus = false;
        return;
      default:
        return;  // blank modes concern reading only
    }
  }

  // After a '$' the records of this write are no longer ended: the text
  // goes on as one prompt line, as the compiler's run-time library does.
  bool end_record() {
    if (!dollar_) out_ += '\n';
    record_start_ = out_.size();
    position_ = 0;
    return true;
  }

  void finish() {
    if (!dollar_) out_ += '\n';
  }

 private:
  // Writes at the current position of the record: a gap left by X or T is
  // blank-filled, characters after a backward T are overwritten.
  void put(std::string_view chars) {
    std::size_t at = record_start_ + position_;
    if (at > out_.size()) out_.append(at - out_.size(), ' ');
    std::size_t over = std::min(chars.size(), out_.size() - at);
    out_.replace(at, over, chars.data(), chars.size());
    position_ += chars.size();
  }

  void put_blanks(std::size_t count) {
    std::size_t at = record_start_ + position_;
    if (at + count > out_.size()) out_.resize(at + count, ' ');
    std::fill_n(out_.begin() + static_cast<std::ptrdiff_t>(at), count, ' ');
    position_ += count;
  }

  // Aw: a shorter text is right-aligned, a longer one cut to its first w.
  void text(std::string_view chars, const Item& item) {
    if (item.width < 0) return put(chars);
    std::size_t width = static_cast<std::size_t>(item.width);
    if (chars.size() >= width) return put(chars.substr(0, width));
    put_blanks(width - chars.size());
    put(chars);
  }

  void text_number(double value, const Item& item) {
    int n = shortest_real(value, field_.chars, FieldText::capacity);
    text(std::string_view(field_.chars, static_cast<std::size_t>(n)), item);
  }

  std::span<const Value> values_;
  std::string& out_;
  std::size_t next_ = 0;
  std::size_t record_start_ = 0;
  std::size_t position_ = 0;
  bool dollar_ = false;
  EditModes modes_;
  FieldText field_;
};

}  // namespace

std::string write(const Layout& layout, std::span<const Value> values) {
  std::string out;
  Writer writer(values, out);
  walk(layout.tree(), writer);
  writer.finish();
  return out;
}

std::string write(std::string_view layout, std::span<const Value> values) {
  return write(Layout::parse(layout), values);
}

}  // namespace format
