#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace driver {

// The names built from the answer to the output-name question.
struct OutputNames {
  std::string base;    // the significant characters of the answer
  int length = 0;      // base-name length
  std::string report;  // base + ".OUT"
  std::string bitmap;  // base + ".BMP"
};

// The longest base name that leaves room for an extension in a 30-character name.
inline constexpr int max_base_length = 26;

// A blank first character gives OUTPUT. Trailing blanks and dots are dropped
// (only the first 29 characters count). Returns nothing for a base name that
// is too long.
std::optional<OutputNames> output_names(std::string_view answer);

}  // namespace driver
