#pragma once

// The edit-descriptor engine. A layout text such as "(1X,A10,3X,20(F16.5,1X))"
// is parsed once into a small tree (cached by its text) and then used to write
// values into text records or to read values out of text records, following
// the rules of Fortran 77 formatted input and output.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace format {

// One value handed to a write: an integer, a real or a text.
class Value {
 public:
  enum class Kind { integer, real, text };

  Value(int v) : kind_(Kind::integer), integer_(v) {}
  Value(long v) : kind_(Kind::integer), integer_(v) {}
  Value(long long v) : kind_(Kind::integer), integer_(v) {}
  // A float is kept exactly (every float is a double); it is printed from its
  // exact binary value, as a Fortran REAL would be.
  Value(float v) : kind_(Kind::real), real_(v) {}
  Value(double v) : kind_(Kind::real), real_(v) {}
  Value(std::string v) : kind_(Kind::text), text_(std::move(v)) {}
  Value(std::string_view v) : kind_(Kind::text), text_(v) {}
  Value(const char* v) : kind_(Kind::text), text_(v) {}

  Kind kind() const { return kind_; }
  long long integer() const { return integer_; }
  double real() const { return real_; }
  const std::string& text() const { return text_; }

 private:
  Kind kind_;
  long long integer_ = 0;
  double real_ = 0.0;
  std::string text_;
};

using Values = std::vector<Value>;

struct LayoutTree;  // the parsed form; defined in layout.cpp

// A parsed layout. Cheap to copy (shares the parsed tree).
class Layout {
 public:
  // Parses the text, or returns the cached parse of the same text. Blanks
  // outside quoted texts are ignored, as Fortran ignores them in a format.
  // Throws std::invalid_argument for a text that is not a layout. Accepted:
  // nX, 'text', "text", nH, Iw[.m], Fw.d, Ew.d[Ee], Dw.d, Gw.d[Ee], Aw, A,
  // Tc, TLn, TRn, n(...), repeat counts, /, :, $, kP, BN, BZ, S, SP, SS;
  // commas may be left out or doubled, and text after the closing
  // parenthesis is ignored, as a compiler's run-time formats allow.
  static Layout parse(std::string_view text);

  const std::string& text() const;
  const LayoutTree& tree() const { return *tree_; }

 private:
  explicit Layout(std::shared_ptr<const LayoutTree> tree) : tree_(std::move(tree)) {}
  std::shared_ptr<const LayoutTree> tree_;
};

// Writing ------------------------------------------------------------------

// Writes the values through the layout. The result holds one or more records,
// each ended by '\n', except that a '$' in the layout leaves the last record
// without its line end (a prompt). A layout that begins or ends with '/'
// gives an empty record there. When values remain at the end of the layout,
// a new record starts and the layout goes on from its last top-level group.
// When the values run out, writing stops at the next data item (texts and
// positions before it are still written). Once a '$' has been reached, no
// later record of the same write is ended either, as the compiler's library
// does it.
// Fields: a number that does not fit, an infinity or a NaN fills its field
// with asterisks; a real through Iw is shown as the nearest whole number, an
// integer through F, E, D or G as a real; a text through a numeric item gives
// asterisks, a number through Aw its free-field form.
// Throws std::invalid_argument when values remain and the part of the layout
// that reversion repeats takes none, and when the layout's repeats make it
// visit more than 1000 items (a literal once per copy) between two values.
std::string write(const Layout& layout, std::span<const Value> values);
std::string write(std::string_view layout, std::span<const Value> values);

// Adds arguments to a value list: scalars, texts, and whole arrays
// (std::span / std::vector of int or float, each element one value).
inline void append(Values& out, const Value& v) {
  out.push_back(v);
}
template <class T>
void append(Values& out, std::span<T> items) {
  for (const auto& item : items) out.emplace_back(item);
}
template <class T>
void append(Values& out, const std::vector<T>& items) {
  for (const auto& item : items) out.emplace_back(item);
}

template <class... Args>
Values values(const Args&... args) {
  Values out;
  (append(out, args), ...);
  return out;
}

// The usual call: format::render("(' ',I4,2X,A10)", i, name).
template <class... Args>
std::string render(std::string_view layout, const Args&... args) {
  Values v = values(args...);
  return write(layout, v);
}

// Reading ------------------------------------------------------------------

// A source of text lines for reads that may span records.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // Gives the next line without its line end (a trailing '\r' removed);
  // false at the end of the data.
  virtual bool next_line(std::string& line) = 0;

  // A free-field read that completes inside a line leaves the rest of that
  // line here; the next free-field read begins with it, a formatted read
  // drops it (it starts with a fresh line).
  void keep_rest(std::string rest) {
    rest_ = std::move(rest);
    has_rest_ = true;
  }
  bool take_rest(std::string& line) {
    if (!has_rest_) return false;
    line = std::move(rest_);
    has_rest_ = false;
    return true;
  }
  void drop_rest() { has_rest_ = false; }

 private:
  std::string rest_;
  bool has_rest_ = false;
};

// Lines held in memory (tests, a record of a dBase file, a single answer).
class StringLines : public LineSource {
 public:
  explicit StringLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  explicit StringLines(std::string_view text);  // split at '\n'
  bool next_line(std::string& line) override;

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

// One item read by a formatted read.
struct Field {
  bool is_text = false;  // an A item
  std::string text;      // the characters of the field (for every kind)
  double number = 0.0;   // the converted value of a numeric item
  bool valid = true;     // false when a numeric field could not be converted
                         // (or its value lies beyond single precision)
  float real = 0.0f;     // the value rounded once, directly to single precision
};

enum class ReadStatus {
  ok,           // all requested items were read (some may be !valid)
  end_of_data,  // the source ended before the first record of the read
  short_data    // the source ended inside the read (after '/'); fields read so far are given
};

// Reads `count` items with the layout, starting with a fresh line from the
// source; '/' moves to the next line; a line shorter than the layout reads as
// if padded with blanks; reversion starts a new line as in writing. Numeric
// fields: blanks are ignored, an all-blank field is zero, without an explicit
// point the last d digits are decimals, an exponent is honoured. A field that
// cannot be converted is delivered with valid = false and reading goes on.
// An A without a width takes the rest of the record. A layout whose items
// after the reversion point read nothing throws std::invalid_argument when
// items remain, as does one that visits more than 1000 items between two
// values (as in writing). Quoted texts in a layout skip their length; BN (the
// default) and BZ set the blank mode, kP scales fields without an exponent.
ReadStatus read(const Layout& layout, LineSource& source, int count, std::vector<Field>& fields);
// The same, with an A without a width taking `plain_text_width` characters,
// as it would for a text variable of that length.
ReadStatus read(const Layout& layout, LineSource& source, int count, std::vector<Field>& fields,
                std::size_t plain_text_width);

// Conversion of one numeric input field as Fw.d would read it (d implied
// decimals when the field has no point). Returns false for a field that is
// not a number. An all-blank field is 0.
bool read_number(std::string_view field, int implied_decimals, double& value);

// The same conversion rounded once, directly to single precision (values
// stored as floats must not be rounded twice through a double).
bool read_real(std::string_view field, int implied_decimals, float& value);

// Conversion of one integer input field as Iw reads it (blanks ignored, sign
// allowed, all-blank is 0). Returns false when it is not an integer.
bool read_integer(std::string_view field, long long& value);

// Free-field (list-directed) reading --------------------------------------

enum class ListStatus {
  ok,           // the record's list is complete (or was ended by '/')
  end_of_data,  // the source ended before any item of this record
  short_data,   // the source ended inside the record
  bad_value     // an item is not a number; values before it are stored
};

// Reads up to values.size() numbers, list-directed: items separated by
// commas and/or blanks, the record going on over further lines until all
// values are read. A null item (adjacent commas, "r*") leaves its target
// unchanged; "r*c" stands for r items equal to c; '/' ends the list, leaving
// the remaining targets unchanged. After a bad item the rest of its line is
// dropped and the next read starts on the next line.
ListStatus read_list(LineSource& source, std::span<double> values);
// The same into single-precision targets, each value rounded once.
ListStatus read_list(LineSource& source, std::span<float> values);

// Splits one line into list-directed text items (names): separators commas
// and blanks, items may be quoted with ' or ". Nulls give empty items.
std::vector<std::string> split_list_items(std::string_view line);

// Free-field (list-directed) writing: one record of blank-separated values,
// reals in a form that reads back to the same float, ended by '\n'.
std::string write_list(std::span<const Value> values);
std::string write_list(std::span<const float> values);  // the same for a row of reals
template <class... Args>
std::string render_list(const Args&... args) {
  Values v = values(args...);
  return write_list(v);
}

}  // namespace format
