#pragma once

// The clustering's validity (.OPT) and class (.CLS) files as the panels read
// them back, found by their names without regard to letter case. Every
// failure throws std::runtime_error with one upper-case line naming the file.

#include <array>
#include <string>
#include <vector>

#include "limits/limits.hpp"

namespace display {

inline constexpr int max_validity_lines = 20;
// The plotting coordinates' missing-value code, whatever the run's code.
inline constexpr float panel_missing = -999.0f;

struct ValidityLine {
  int clusters = 0;      // CN(k)
  float fscaled = 0.0f;  // V(k,1)
  float hscaled = 0.0f;  // V(k,2)
};

struct ClassLine {
  float x = 0.0f, y = 0.0f;                      // Q(i,1..2)
  std::array<int, limits::max_classes> codes{};  // K(i,1..35), from 2 clusters upward
};

// The report name without its trailing blanks and its four-character
// extension, followed by the given one: "OUTPUT.OUT" and ".OPT" give "OUTPUT.OPT".
std::string result_file_name(const std::string& report_name, const std::string& extension);

// Four heading lines, then up to 20 validity lines.
std::vector<ValidityLine> read_validity_file(const std::string& name);

// Up to 5000 class lines; the coordinates and the first `columns` class
// codes must be readable.
std::vector<ClassLine> read_class_file(const std::string& name, int columns);

}  // namespace display
