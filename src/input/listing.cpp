#include "input/listing.hpp"

#include <cmath>

#include "format/layout.hpp"
#include "input/text_fields.hpp"

namespace input {

ColumnField column_field(const SampleTable& table, int j) {
  // The missing-value code counts as a value: its field must hold it too.
  float largest = 0.0f;
  float smallest = 0.0f;
  for (int k = 1; k <= table.sample_count; ++k) {
    const float a = std::fabs(table.value(k, j));
    if (k == 1 || a > largest) largest = a;
    if (k == 1 || a < smallest) smallest = a;
  }
  ColumnField field;
  field.width = largest >= 1.0f ? static_cast<int>(std::log10(largest)) + 4 : 3;
  if (smallest == 0.0f) {
    field.decimals = 1;
  } else if (smallest < 1.0f) {
    field.decimals = static_cast<int>(std::fabs(std::log10(smallest))) + 2;
  } else if (smallest < 10.0f) {
    field.decimals = 1;
  }
  field.width += field.decimals;
  return field;
}

std::string listing_layout(const SampleTable& table) {
  std::string layout = " (1X,A11,";
  for (int j = 1; j <= table.variable_count; ++j) {
    const ColumnField field = column_field(table, j);
    layout += render_field("('F',I2,'.',I2,',')", field.width, field.decimals);
  }
  layout.back() = ')';
  return layout;
}

void write_data_listing(console::Console& screen, const SampleTable& table) {
  const format::Layout layout = format::Layout::parse(listing_layout(table));
  const int step = table.sample_count >= 50 ? 10 : 1;
  if (step == 10) {
    screen.write("\n\n");
    screen.line(" WRITE EVERY TENTH RECORD: ");
    screen.line();
  }
  format::Values values;
  for (int k = 1; k <= table.sample_count; k += step) {
    values.clear();
    values.emplace_back(table.ids[k - 1]);
    for (int j = 1; j <= table.variable_count; ++j) values.emplace_back(table.value(k, j));
    screen.write(format::write(layout, values));
  }
}

}  // namespace input
