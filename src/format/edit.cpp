// Output conversions as a Fortran processor gives them: numbers printed from
// their exact binary value, rounded half to even at the last digit shown,
// the optional leading zero of F and E only when the field has room for it,
// a minus sign kept on a negative value that rounds to zero, asterisks for a
// value that does not fit. Infinities and NaNs never reach a field: they are
// shown as asterisks like any value that cannot be shown.

#include "format/edit.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace format {

namespace {

using Chars = char[FieldText::capacity];

void fill(FieldText& out, int width, char c) {
  out.length = width;
  std::memset(out.chars, c, static_cast<std::size_t>(width));
}

void asterisks(FieldText& out, int width) {
  fill(out, width > 0 ? width : 1, '*');
}

// Puts [sign][0]body tail right-aligned into the field. The zero before the
// point is written only when the field has room for it; width 0 asks for the
// shortest form. Returns false (with asterisks) when the field is too narrow.
bool place(FieldText& out, int width, char sign, bool optional_zero, std::string_view body,
           std::string_view tail = {}) {
  int need = (sign ? 1 : 0) + static_cast<int>(body.size() + tail.size());
  bool zero = optional_zero && width > need;
  if (width == 0) width = need;
  if (need > width || width > FieldText::capacity) {
    asterisks(out, width);
    return false;
  }
  int at = width - need - (zero ? 1 : 0);
  fill(out, at, ' ');
  char* p = out.chars + at;
  if (sign) *p++ = sign;
  if (zero) *p++ = '0';
  p = std::copy(body.begin(), body.end(), p);
  std::copy(tail.begin(), tail.end(), p);
  out.length = width;
  return true;
}

char sign_of(double value, bool plus) {
  if (std::signbit(value)) return '-';
  return plus ? '+' : '\0';
}

// The digits of round(|value| * 10^places) as one integer string, from the
// exact binary value (to_chars rounds exactly, ties to even).
int scaled_digits(double magnitude, int places, char* digits) {
  if (places < 0) {
    // Only a negative scale factor larger than d gets here.
    magnitude = std::nearbyint(magnitude / std::pow(10.0, -places));
    places = 0;
  }
  auto result = std::to_chars(digits, digits + FieldText::capacity, magnitude,
                              std::chars_format::fixed, places);
  int n = static_cast<int>(result.ptr - digits);
  if (places > 0) {  // drop the point
    char* point = static_cast<char*>(std::memchr(digits, '.', static_cast<std::size_t>(n)));
    std::memmove(point, point + 1, static_cast<std::size_t>(digits + n - point - 1));
    --n;
  }
  return n;
}

bool fixed_field(double value, int width, int decimals, int scale, bool plus, FieldText& out) {
  if (!std::isfinite(value)) {
    asterisks(out, width);
    return false;
  }
  Chars digits;
  int n = scaled_digits(std::fabs(value), decimals + scale, digits);
  // digits now holds |value| * 10^scale with `decimals` decimals, point removed.
  int whole = n - decimals;  // may be negative when the value is below 1
  int skip = 0;
  while (skip < whole && digits[skip] == '0') ++skip;
  Chars body;
  int b = 0;
  for (int i = skip; i < whole; ++i) body[b++] = digits[i];
  bool optional_zero = b == 0;
  if (optional_zero && decimals == 0) {  // "0." needs its one digit
    body[b++] = '0';
    optional_zero = false;
  }
  body[b++] = '.';
  for (int i = whole; i < 0; ++i) body[b++] = '0';
  for (int i = whole < 0 ? 0 : whole; i < n; ++i) body[b++] = digits[i];
  return place(out, width, sign_of(value, plus), optional_zero,
               std::string_view(body, static_cast<std::size_t>(b)));
}

// The exponent part: E+nn, or +nnn without the letter beyond 99, or with a
// given number of exponent digits after the letter.
bool exponent_part(int exponent, int exponent_digits, char letter, char* tail, int& length) {
  int magnitude = exponent < 0 ? -exponent : exponent;
  int digits = exponent_digits;
  int p = 0;
  if (exponent_digits < 0) {
    if (magnitude > 999) return false;
    digits = magnitude > 99 ? 3 : 2;
    if (magnitude <= 99) tail[p++] = letter;
  } else {
    int limit = 1;
    for (int i = 0; i < exponent_digits && limit <= 100000; ++i) limit *= 10;
    if (magnitude >= limit) return false;
    tail[p++] = letter;
  }
  tail[p++] = exponent < 0 ? '-' : '+';
  for (int i = digits - 1; i >= 0; --i) {
    tail[p + i] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  length = p + digits;
  return true;
}

// |value| rounded to `count` significant digits: the digits and the decimal
// exponent of the form 0.ddd x 10^e (0 for a zero value).
int significant_digits(double magnitude, int count, char* digits) {
  Chars text;
  auto result = std::to_chars(text, text + FieldText::capacity, magnitude,
                              std::chars_format::scientific, count - 1);
  int n = 0;
  const char* p = text;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits[n++] = *p;
  int exponent = 0;
  std::from_chars(p + (p[1] == '+' ? 2 : 1), result.ptr, exponent);
  return magnitude == 0.0 ? 0 : exponent + 1;
}

bool exponent_field(double value, const Item& item, int scale, bool plus, char letter,
                    FieldText& out) {
  int d = item.digits;
  bool scale_allowed = (scale > -d && scale <= 0) || (scale > 0 && scale < d + 2);
  if (!std::isfinite(value) || !scale_allowed) {
    asterisks(out, item.width);
    return false;
  }
  int count = scale <= 0 ? d + scale : d + 1;
  Chars digits;
  int exponent = significant_digits(std::fabs(value), count, digits);
  if (value != 0.0) exponent -= scale;
  Chars body;
  int b = 0;
  if (scale <= 0) {
    body[b++] = '.';
    for (int i = 0; i < -scale; ++i) body[b++] = '0';
    for (int i = 0; i < count; ++i) body[b++] = digits[i];
  } else {
    for (int i = 0; i < scale; ++i) body[b++] = digits[i];
    body[b++] = '.';
    for (int i = scale; i < count; ++i) body[b++] = digits[i];
  }
  Chars tail;  // Ew.dEe allows as many exponent digits as a field is wide
  int t = 0;
  if (!exponent_part(exponent, item.exponent, letter, tail, t)) {
    asterisks(out, item.width);
    return false;
  }
  return place(out, item.width, sign_of(value, plus), scale <= 0,
               std::string_view(body, static_cast<std::size_t>(b)),
               std::string_view(tail, static_cast<std::size_t>(t)));
}

// Gw.d: the fixed form followed by blanks where the exponent would stand
// when the value has 0 to d digits before the point, else the E form.
void general_field(double value, const Item& item, const EditModes& modes, FieldText& out) {
  int d = item.digits;
  int blanks = item.exponent < 0 ? 4 : item.exponent + 2;
  if (!std::isfinite(value) || d == 0) {
    exponent_field(value, item, modes.scale, modes.plus, 'E', out);
    return;
  }
  Chars digits;
  int exponent = significant_digits(std::fabs(value), d, digits);
  if (value == 0.0) exponent = 1;
  if (exponent < 0 || exponent > d) {
    exponent_field(value, item, modes.scale, modes.plus, 'E', out);
    return;
  }
  int fixed_width = item.width == 0 ? 0 : item.width - blanks;
  if (item.width != 0 && fixed_width < 1) {
    asterisks(out, item.width);
    return;
  }
  if (!fixed_field(value, fixed_width, d - exponent, 0, modes.plus, out)) {
    asterisks(out, item.width);
    return;
  }
  std::memset(out.chars + out.length, ' ', static_cast<std::size_t>(blanks));
  out.length += blanks;
}

void integer_field(long long value, int width, int least_digits, bool plus, FieldText& out) {
  unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  char digits[24];
  int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
  if (least_digits == 0 && value == 0) n = 0;  // Iw.0 shows a zero as blanks
  Chars body;
  int b = 0;
  for (int i = n; i < least_digits && b < FieldText::capacity - 24; ++i) body[b++] = '0';
  std::memcpy(body + b, digits, static_cast<std::size_t>(n));
  b += n;
  char sign = value < 0 ? '-' : (plus ? '+' : '\0');
  place(out, width, sign, false, std::string_view(body, static_cast<std::size_t>(b)));
}

}  // namespace

void edit_asterisks(const Item& item, FieldText& out) {
  asterisks(out, item.width);
}

void edit_integer(long long value, const Item& item, const EditModes& modes, FieldText& out) {
  switch (item.op) {
    case Op::integer:
      return integer_field(value, item.width, item.digits, modes.plus, out);
    case Op::general:
      return integer_field(value, item.width, -1, modes.plus, out);
    default:
      return edit_real(static_cast<double>(value), item, modes, out);
  }
}

void edit_real(double value, const Item& item, const EditModes& modes, FieldText& out) {
  switch (item.op) {
    case Op::fixed:
      fixed_field(value, item.width, item.digits, modes.scale, modes.plus, out);
      return;
    case Op::exponent:
      exponent_field(value, item, modes.scale, modes.plus, 'E', out);
      return;
    case Op::exponent_d:
      exponent_field(value, item, modes.scale, modes.plus, 'D', out);
      return;
    case Op::general:
      general_field(value, item, modes, out);
      return;
    case Op::integer:
      // A real through I: shown as the nearest whole number.
      if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return asterisks(out, item.width);
      return integer_field(std::llround(value), item.width, item.digits, modes.plus, out);
    default:
      return asterisks(out, item.width);
  }
}

int shortest_real(double value, char* chars, int capacity) {
  if (!std::isfinite(value)) {
    std::memcpy(chars, "***", 3);
    return 3;
  }
  float single = static_cast<float>(value);
  auto result = static_cast<double>(single) == value
                    ? std::to_chars(chars, chars + capacity, single)
                    : std::to_chars(chars, chars + capacity, value);
  return static_cast<int>(result.ptr - chars);
}

}  // namespace format
