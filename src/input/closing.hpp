#pragma once

// What every reader shows around the reading: the wait line before it, and
// after the listing the closing summary and the pause for Return.

#include "console/dialogue.hpp"
#include "input/sample_table.hpp"

namespace input {

void show_wait(console::Console& screen);

void write_text_summary(console::Console& screen, const SampleTable& table, char numeric_id);

struct DbaseCounts {
  long long bytes_read = 0;  // data bytes read after the header
  int character_fields = 0;
  int numeric_fields = 0;
};
void write_dbase_summary(console::Console& screen, const SampleTable& table,
                         const DbaseCounts& counts, char numeric_id);

// " PRESS RETURN", one line read (its content does not matter), the screen cleared.
void wait_for_return(console::DialogueUnit& dialogue);

}  // namespace input
