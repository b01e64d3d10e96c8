// Numeric input fields: blanks ignored (or zeros under BZ), an all-blank
// field is zero, a sign, digits with at most one point, and an exponent
// written with E, D or Q, or as a bare sign and digits ("1.5+3"). A field
// with no digit before its exponent ("-", ".", "E5") is not a number: in a
// data file such a field marks a gap, and reading it as zero would invent a
// value.

#include "format/number.hpp"

#include <cctype>
#include <charconv>
#include <limits>
#include <string>

#include "format/layout.hpp"

namespace format {

namespace {

// Exponents beyond this give zero or overflow anyway; the bound keeps the
// sums below from overflowing.
constexpr long long exponent_bound = 100000000;

// The characters of a field as the conversion sees them: leading blanks
// dropped, later blanks dropped or turned into zeros, letters upper case.
class FieldChars {
 public:
  FieldChars(std::string_view field, bool blank_zero) {
    if (field.size() > sizeof local_) {
      heap_.resize(field.size());
      chars_ = heap_.data();
    }
    bool leading = true;
    for (char c : field) {
      if (c == ' ') {
        if (leading || !blank_zero) continue;
        c = '0';
      }
      leading = false;
      chars_[size_++] = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  std::string_view view() const { return {chars_, size_}; }

 private:
  char local_[256];
  std::string heap_;
  char* chars_ = local_;
  std::size_t size_ = 0;
};

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// A cleaned number: value = (-)digits x 10^exponent.
struct Decimal {
  bool negative = false;
  std::string_view digits;  // significant digits, no leading zeros; may be empty (zero)
  long long exponent = 0;
};

bool take_sign(std::string_view s, std::size_t& at, bool& negative) {
  if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
    negative = s[at++] == '-';
    return true;
  }
  return false;
}

bool take_exponent_digits(std::string_view s, std::size_t& at, long long& value) {
  bool negative = false;
  take_sign(s, at, negative);
  std::size_t first = at;
  value = 0;
  for (; at < s.size() && is_digit(s[at]); ++at)
    if (value < exponent_bound) value = value * 10 + (s[at] - '0');
  if (negative) value = -value;
  return at > first;
}

bool parse_decimal(std::string_view s, const NumberModes& modes, Decimal& number) {
  std::size_t at = 0;
  take_sign(s, at, number.negative);
  std::size_t first_significant = std::string::npos, digit_count = 0, after_point = 0;
  bool point = false;
  for (; at < s.size(); ++at) {
    char c = s[at];
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (is_digit(c)) {
      ++digit_count;
      if (point) ++after_point;
      if (c != '0' && first_significant == std::string::npos) first_significant = at;
    } else {
      break;
    }
  }
  if (digit_count == 0) return false;
  std::size_t mantissa_end = at;
  long long exponent = 0;
  bool has_exponent = at < s.size();
  if (has_exponent) {
    char c = s[at];
    if (c == 'E' || c == 'D' || c == 'Q')
      ++at;
    else if (c != '+' && c != '-')
      return false;
    if (!take_exponent_digits(s, at, exponent) || at != s.size()) return false;
  }
  long long decimals = point ? static_cast<long long>(after_point) : modes.implied_decimals;
  number.exponent = exponent - decimals - (has_exponent ? 0 : modes.scale);
  if (first_significant == std::string::npos) return true;  // a zero
  // From the first significant digit on; a point among them is dropped when
  // the text for the conversion is made.
  number.digits = s.substr(first_significant, mantissa_end - first_significant);
  return true;
}

// Converts the cleaned number exactly; a value beyond the range of T is not
// a number that can be stored, a value below it is zero.
template <class T>
bool to_binary(const Decimal& number, T& value) {
  if (number.digits.empty()) {
    value = number.negative ? -T(0) : T(0);
    return true;
  }
  char local[300];
  std::string heap;
  std::size_t need = number.digits.size() + 24;
  char* text = local;
  if (need > sizeof local) {
    heap.resize(need);
    text = heap.data();
  }
  std::size_t n = 0;
  if (number.negative) text[n++] = '-';
  for (char c : number.digits)
    if (c != '.') text[n++] = c;
  long long significant = static_cast<long long>(n) - (number.negative ? 1 : 0);
  text[n++] = 'e';
  n = static_cast<std::size_t>(std::to_chars(text + n, text + need, number.exponent).ptr - text);
  auto result = std::from_chars(text, text + n, value);
  if (result.ec == std::errc::result_out_of_range) {
    if (number.exponent + significant > 0) return false;
    value = number.negative ? -T(0) : T(0);
    return true;
  }
  return result.ec == std::errc();
}

template <class T>
bool convert(std::string_view field, const NumberModes& modes, T& value) {
  FieldChars chars(field, modes.blank_zero);
  if (chars.view().empty()) {
    value = T(0);
    return true;
  }
  Decimal number;
  return parse_decimal(chars.view(), modes, number) && to_binary(number, value);
}

}  // namespace

bool convert_number(std::string_view field, const NumberModes& modes, double& value) {
  return convert(field, modes, value);
}

bool convert_number(std::string_view field, const NumberModes& modes, float& value) {
  return convert(field, modes, value);
}

bool convert_integer(std::string_view field, bool blank_zero, long long& value) {
  FieldChars chars(field, blank_zero);
  std::string_view s = chars.view();
  if (s.empty()) {
    value = 0;
    return true;
  }
  std::size_t at = 0;
  bool negative = false;
  take_sign(s, at, negative);
  if (at == s.size()) return false;
  unsigned long long magnitude = 0;
  const unsigned long long limit =
      static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + (negative ? 1 : 0);
  for (; at < s.size(); ++at) {
    if (!is_digit(s[at])) return false;
    unsigned digit = static_cast<unsigned>(s[at] - '0');
    if (magnitude > (limit - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  value = negative ? static_cast<long long>(0ull - magnitude) : static_cast<long long>(magnitude);
  return true;
}

bool read_number(std::string_view field, int implied_decimals, double& value) {
  return convert_number(field, NumberModes{.implied_decimals = implied_decimals}, value);
}

bool read_real(std::string_view field, int implied_decimals, float& value) {
  return convert_number(field, NumberModes{.implied_decimals = implied_decimals}, value);
}

bool read_integer(std::string_view field, long long& value) {
  return convert_integer(field, false, value);
}

}  // namespace format
