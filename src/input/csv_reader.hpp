#pragma once

// The comma-separated reader: a first line of column names and one sample per
// following line, as spreadsheets and statistics packages write them.

#include <string>
#include <string_view>
#include <vector>

#include "console/dialogue.hpp"
#include "input/sample_table.hpp"

namespace input {

// How the cells of a file are separated and how its numbers are written.
// Spreadsheets in a European locale save semicolons between cells and
// decimal commas.
struct CsvStyle {
  char separator = ',';
  bool decimal_comma = false;
};
inline constexpr CsvStyle comma_style{',', false};
inline constexpr CsvStyle semicolon_style{';', true};

// The style of a file, told by its line of names: semicolons when the line
// holds no comma and at least one semicolon outside quoted names, commas
// otherwise.
CsvStyle csv_style_of(std::string_view names_line);

// Splits one line at its separators into cells, blanks around each cell
// dropped. A cell may be quoted with " or ' (a doubled quote inside stands
// for one); a quoted cell may hold separators. cells is reused to keep its
// storage.
void split_csv_line(std::string_view line, std::vector<std::string>& cells, char separator = ',');

// A column name: its first 10 characters (never half a UTF-8 character),
// blank-padded.
std::string csv_name(std::string_view cell);

// Converts one cell; false when it is not a number. An empty cell is not a
// number either: the caller gives it the missing-value code. With decimal
// commas, a comma in the cell is its decimal point.
bool read_csv_value(std::string_view cell, float& value, bool decimal_comma = false);

// Answer C of the source question.
void read_comma_separated(console::DialogueUnit& dialogue, SampleTable& table);

}  // namespace input
