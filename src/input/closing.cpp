#include "input/closing.hpp"

#include <string>

namespace input {

namespace {

void write_selection_lines(console::Console& screen, const SampleTable& table, char numeric_id) {
  screen.line(std::string(" NUMERIC SAMPLE ID: ") + numeric_id);
  screen.line(" NUMBER OF (OTHER) SELECTED REAL-VARS = " + std::to_string(table.variable_count));
}

}  // namespace

void show_wait(console::Console& screen) {
  screen.line();
  screen.line(std::string(17, ' ') + "***WAIT***");
  screen.line();
}

void write_text_summary(console::Console& screen, const SampleTable& table, char numeric_id) {
  screen.line(" DATAFILE READ BY READ-PROCEDURE");
  screen.line(" NUMBER OF RECORDS = " + std::to_string(table.sample_count));
  write_selection_lines(screen, table, numeric_id);
}

void write_dbase_summary(console::Console& screen, const SampleTable& table,
                         const DbaseCounts& counts, char numeric_id) {
  screen.line(" DATA READ FROM dBase FILE");
  screen.line(" NUMBER OF RECORDS = " + std::to_string(table.sample_count));
  screen.line(" LENGTH OF FILE = " + std::to_string(counts.bytes_read));
  screen.line(" TOTAL NUMBER OF CHAR-VARS = " + std::to_string(counts.character_fields));
  screen.line(" TOTAL NUMBER OF REAL-VARS = " + std::to_string(counts.numeric_fields));
  write_selection_lines(screen, table, numeric_id);
}

void wait_for_return(console::DialogueUnit& dialogue) {
  dialogue.screen().line();
  dialogue.screen().line(" PRESS RETURN");
  dialogue.read_line();
  console::clear_console(dialogue.screen());
}

}  // namespace input
