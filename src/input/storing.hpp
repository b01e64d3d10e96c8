#pragma once

// The storing rules that turn read records into rows of the sample table:
// the three kinds of sample identifier, the removal of a numeric ID column
// and the log transform with its missing-value rule.

#include <span>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "input/sample_table.hpp"
#include "input/selection.hpp"

namespace input {

// Sample k's number, right-aligned in 10 characters.
std::string sample_number_id(int k);
// A numeric ID of fixed-layout and comma-separated data: two decimals.
std::string numeric_id_two_decimals(float value);
// A numeric ID of dBase data: no decimals, with the point.
std::string numeric_id_no_decimals(float value);
// A character field as identifier: left-aligned in 10 characters; of a longer
// value the last 10 characters. The blanks that pad a text field to its width
// are not part of its value.
std::string character_id(std::string_view field);

// Base-10 logarithm of a read value, or the missing-value code for the code
// itself and (with a warning line) for a value that has no logarithm.
float apply_log_rule(float value, float missing_code, console::Console& screen);

// The warning for a value that is not a number and was stored as the
// missing-value code. place names the record or line, variable the column.
void warn_not_a_number(console::Console& screen, std::string_view place, std::string_view variable,
                       std::string_view text);

// Gives the table the names and log flags of the selected variables, in
// order, without the one at left_out (a selected-list number; 0 = none),
// sets the variable count and clears the names after the last column.
void place_selected_columns(SampleTable& table, const Selection& selection, int left_out);

// Stores the records of fixed-layout and comma-separated data.
class RowStore {
 public:
  // Sets the names, log flags and variable count of the table from the
  // selection, the ID variable taken out. With a character identifier the
  // reader gives each sample's identifier itself.
  RowStore(SampleTable& table, const Selection& selection, console::Console& screen,
           bool character_id);

  // values: the read values of the selected variables, in selected order.
  void store(int k, std::span<const float> values);

 private:
  SampleTable& table_;
  const Selection& selection_;
  console::Console& screen_;
  bool character_id_;
};

// Moves a taken dBase column c out as the numeric identifier of every sample.
void take_numeric_id_column(SampleTable& table, int c);

// Applies the log rule to every column with log flag 1, row by row.
void log_transform_columns(SampleTable& table, console::Console& screen);

}  // namespace input
