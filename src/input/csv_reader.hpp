#pragma once

// The comma-separated reader: a first line of column names and one sample per
// following line, as spreadsheets and statistics packages write them.

#include <string>
#include <string_view>
#include <vector>

#include "console/dialogue.hpp"
#include "input/sample_table.hpp"

namespace input {

// Splits one line at its commas into cells, blanks around each cell dropped.
// A cell may be quoted with " or ' (a doubled quote inside stands for one);
// a quoted cell may hold commas. cells is reused to keep its storage.
void split_csv_line(std::string_view line, std::vector<std::string>& cells);

// A column name: its first 10 characters (never half a UTF-8 character),
// blank-padded.
std::string csv_name(std::string_view cell);

// Converts one cell; false when it is not a number. An empty cell is not a
// number either: the caller gives it the missing-value code.
bool read_csv_value(std::string_view cell, float& value);

// Answer C of the source question.
void read_comma_separated(console::DialogueUnit& dialogue, SampleTable& table);

}  // namespace input
