#pragma once

// The dBase III reader: the table file read as a byte stream, its fixed-length
// records cut into values by a record layout built from the user's choices.

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "console/dialogue.hpp"
#include "input/closing.hpp"
#include "input/sample_table.hpp"
#include "input/selection.hpp"

namespace input {

struct DbaseHeader {
  std::vector<DbaseField> fields;
  int record_length = 1;  // the deletion flag and every field
  int character_fields = 0;
  int numeric_fields = 0;
};

// Reads the file header and the field descriptors up to the terminator and
// leaves the stream at the first record (at the offset the header stores).
// A file that ends inside its header, or whose header contradicts its field
// descriptors, ends the run with a line naming it.
DbaseHeader read_dbase_header(std::istream& file, const std::string& name);

// The value of a numeric field: false for a field that is not a number.
// A field of blanks (no value) or of asterisks (a value that did not fit)
// holds no measurement and gives the missing-value code.
bool read_dbase_number(std::string_view field, float missing_code, float& value);

// Reads all records into the table through the selection's record layout;
// gives the number of data bytes read.
long long read_dbase_records(std::istream& file, const DbaseHeader& header,
                             const DbaseSelection& selection, SampleTable& table,
                             console::Console& screen);

// Answer D of the source question.
void read_dbase(console::DialogueUnit& dialogue, SampleTable& table);

}  // namespace input
