#pragma once

// The data listing shown after reading: one line per sample, each column in
// a fixed-point field sized by that column's values; from 50 samples on only
// every tenth sample is listed.

#include <string>

#include "console/console.hpp"
#include "input/sample_table.hpp"

namespace input {

// Width and decimals of column j's field.
struct ColumnField {
  int width = 0;
  int decimals = 0;
};
ColumnField column_field(const SampleTable& table, int j);

// The line layout, e.g. " (1X,A11,F 8. 2,F 7. 0)".
std::string listing_layout(const SampleTable& table);

void write_data_listing(console::Console& screen, const SampleTable& table);

}  // namespace input
