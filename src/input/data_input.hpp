#pragma once

// The entry of data input: the source question, one reader and the selection
// dialogue, which fill the sample table, then the data listing.

#include "console/dialogue.hpp"
#include "input/sample_table.hpp"

namespace input {

// Fills the table (title, sample count, variable count, missing-value code,
// values, identifiers, names, log flags). requested_variables is always 999:
// the user selects the variables.
void run_data_input(console::DialogueUnit& dialogue, SampleTable& table,
                    int requested_variables = 999);

}  // namespace input
