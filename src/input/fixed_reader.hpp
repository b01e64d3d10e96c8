#pragma once

// The fixed-layout reader: a data file whose records an information file
// describes (title, counts, missing-value code, record format, names).

#include <string>
#include <string_view>
#include <vector>

#include "console/dialogue.hpp"
#include "format/layout.hpp"
#include "input/sample_table.hpp"

namespace input {

struct InformationFile {
  std::string title;  // 80 characters
  int samples = 0;
  int variables = 0;
  float missing_code = -999.0f;
  std::string record_format;
  bool free_field = false;
  bool character_id = false;       // the first value of a record is its identifier
  std::string identifier_name;     // 10 characters
  std::vector<std::string> names;  // of the numeric variables, 10 characters each
};

// True when one of characters 2 to 6 of the record format is an A: the
// format then begins with a text item, the sample's identifier.
bool has_character_identifier(std::string_view record_format);

// Lines 1 to 5, checked: the counts against the table's limits, the code and
// the format for being readable. name is the information file's name.
InformationFile read_information_head(format::LineSource& lines, const std::string& name);

// The identifier's name (when the records have one) and the variable lines.
void read_variable_lines(format::LineSource& lines, InformationFile& info);

// Answer G of the source question.
void read_fixed_layout(console::DialogueUnit& dialogue, SampleTable& table);

}  // namespace input
