// Placeholder for data input until the readers land: fills a small fixed
// table and says so on the console.
#include "input/data_input.hpp"

namespace input {

void run_data_input(console::DialogueUnit& dialogue, SampleTable& table, int) {
  dialogue.screen().line(" DATA INPUT STAND-IN: A FIXED TABLE OF 6 SAMPLES AND 3 VARIABLES");
  const float data[6][3] = {{1, 2, 3}, {2, 3, 4}, {3, 5, 4}, {8, 9, 7}, {9, 8, 8}, {7, 9, 9}};
  table.sample_count = 6;
  table.variable_count = 3;
  table.missing_code = -999.0f;
  const char* names[3] = {"CU", "ZN", "PB"};
  for (int j = 1; j <= 3; ++j) {
    table.names[j - 1] = fixed_width(names[j - 1], 10);
    for (int i = 1; i <= 6; ++i) table.value(i, j) = data[i - 1][j - 1];
  }
  for (int i = 1; i <= 6; ++i) {
    std::string n = std::to_string(i);
    table.ids[i - 1] = std::string(10 - n.size(), ' ') + n;
  }
}

}  // namespace input
