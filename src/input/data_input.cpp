#include "input/data_input.hpp"

#include "input/csv_reader.hpp"
#include "input/dbase_reader.hpp"
#include "input/fixed_reader.hpp"

namespace input {

void run_data_input(console::DialogueUnit& dialogue, SampleTable& table, int) {
  console::Console& screen = dialogue.screen();
  screen.line();
  screen.write(" Are data in dBase3(D), Excel CSV<C> or a FXD(G) file? ");
  switch (console::ask_letter(dialogue, 'C', "CDG")) {
    case 'D':
      read_dbase(dialogue, table);
      break;
    case 'G':
      read_fixed_layout(dialogue, table);
      break;
    default:
      screen.line();
      screen.line(" Alphanumeric variables are not allowed in CSV<C> input! ");
      screen.line();
      read_comma_separated(dialogue, table);
      break;
  }
}

}  // namespace input
