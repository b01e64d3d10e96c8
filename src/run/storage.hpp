#pragma once

// The shared run storage: set by the run driver, read by the analyses.

#include <string>
#include <vector>

#include "limits/limits.hpp"

namespace run {

struct RunStorage {
  RunStorage();

  // Answer to the graphics question: 'Y' = graphics off (default), 'N' = on.
  char graphics = 'Y';
  bool graphics_on() const { return graphics == 'N'; }

  std::string base_name = "OUTPUT";  // output base name, its significant characters
  std::string report_name = "OUTPUT.OUT";
  std::string bitmap_name = "OUTPUT.BMP";
  int base_length = 6;

  std::vector<float> weights;   // max_samples weights, 1.0 unless a weight column
  float weighted_count = 0.0f;  // sum of all weights when a weight column is chosen
  int start_counter = 0;        // place in the random start table

  // Plot tables shared by the analyses and the plots.
  std::vector<float> config_x;  // configuration, first coordinate per sample slot
  std::vector<float> config_y;  // configuration, second coordinate per sample slot
  std::vector<int> colours;     // palette index per sample slot
  std::vector<float> errors;    // iteration error list (max_iterations + 2)

  // A result-file name: the output base name followed by the extension.
  std::string result_name(const std::string& extension) const { return base_name + extension; }
};

}  // namespace run
