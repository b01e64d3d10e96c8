#pragma once

// Conversion of numeric input fields. The field is first cleaned into a
// plain decimal text (sign, significant digits, exponent) and then converted
// by an exactly rounding conversion, once, to the precision wanted.

#include <string_view>

namespace format {

struct NumberModes {
  int implied_decimals = 0;  // d of Fw.d: decimals when the field has no point
  int scale = 0;             // kP: a field without exponent is divided by 10^k
  bool blank_zero = false;   // BZ: blanks after the first character are zeros
};

bool convert_number(std::string_view field, const NumberModes& modes, double& value);
bool convert_number(std::string_view field, const NumberModes& modes, float& value);
bool convert_integer(std::string_view field, bool blank_zero, long long& value);

}  // namespace format
