#pragma once

// The run driver's own screens and questions.

#include <utility>

#include "console/dialogue.hpp"
#include "input/sample_table.hpp"
#include "run/parameters.hpp"

namespace driver {

void write_banner(console::Console& screen);
void write_limits(console::Console& screen);

// The numbered table of the selected variables, four to a line.
void show_variable_table(console::Console& screen, const input::SampleTable& table);

// A column number typed in free format, no default; asked again while the
// answer is not an integer or lies outside 1..count.
int ask_column(console::DialogueUnit& unit, const char* prompt, int count);
// Two column numbers in free format (blank, comma or line end between them).
std::pair<int, int> ask_two_columns(console::DialogueUnit& unit, const char* prompt, int count);

// The two parameter dialogues, each repeated until it is confirmed.
void ask_mapping_parameters(console::DialogueUnit& unit, run::RunParameters& p);
void ask_clustering_parameters(console::DialogueUnit& unit, const input::SampleTable& table,
                               run::RunParameters& p);

// An iteration answer above the limit is cut to it after two messages.
int bound_iterations(console::Console& screen, int answer);

}  // namespace driver
