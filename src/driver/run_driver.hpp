#pragma once

#include "console/console.hpp"

namespace driver {

// One whole run, from the banner to the final display. Returns the exit
// status: 0 for a normal end; a RunStop ends the run with its message.
int run_program(console::Console& screen);

}  // namespace driver
