#pragma once

// The one in-memory data set of a run: samples (rows) by selected variables
// (columns), filled once by data input and read by everything after it.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "limits/limits.hpp"

namespace input {

// Pads or cuts a text to exactly `width` characters.
std::string fixed_width(std::string_view text, std::size_t width);

struct SampleTable {
  SampleTable();

  std::string title;       // 80 characters
  int sample_count = 0;    // 0 .. max_samples
  int variable_count = 0;  // 0 .. max_variables
  float missing_code = -999.0f;
  // The name of the data file read, for messages about its contents.
  std::string data_file;

  // Value matrix, column by column: the max_samples values of one variable
  // are contiguous. Samples and variables are numbered from 1.
  std::vector<float> values;
  std::vector<std::string> ids;    // max_samples texts of 10 characters
  std::vector<std::string> names;  // max_variables texts of 10 characters
  std::vector<int> log_flags;      // max_variables flags, 1 = base-10 logarithms

  float& value(int sample, int variable) {
    return values[static_cast<std::size_t>(variable - 1) * limits::max_samples + (sample - 1)];
  }
  float value(int sample, int variable) const {
    return values[static_cast<std::size_t>(variable - 1) * limits::max_samples + (sample - 1)];
  }
  // All max_samples slots of one variable.
  std::span<float> column(int variable) {
    return {values.data() + static_cast<std::size_t>(variable - 1) * limits::max_samples,
            static_cast<std::size_t>(limits::max_samples)};
  }
  std::span<const float> column(int variable) const {
    return {values.data() + static_cast<std::size_t>(variable - 1) * limits::max_samples,
            static_cast<std::size_t>(limits::max_samples)};
  }
  bool is_missing(float v) const { return v == missing_code; }

  // Takes column w (1-based) out of the selected variables: every later
  // column moves down by one with its name, flag and values, and the variable
  // count drops by one.
  void remove_column(int w);
};

}  // namespace input
