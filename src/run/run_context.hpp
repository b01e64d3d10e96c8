#pragma once

// What every step of a run reaches: the console, the dialogue unit, the sample
// table, the shared run storage and the report file. The run driver owns them.

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "input/sample_table.hpp"
#include "run/storage.hpp"
#include "run/text_file.hpp"

namespace run {

struct RunContext {
  console::Console& screen;
  console::DialogueUnit& dialogue;
  input::SampleTable& table;
  RunStorage& storage;
  ReportFile& report;
};

}  // namespace run
