#pragma once

#include <span>

#include "input/sample_table.hpp"
#include "run/text_file.hpp"

namespace run {

// The report's record of what the run uses: the title, the selected
// variables and every sample with the weight the clustering will use. It
// begins by ending the report's first line (the mode question).
void write_run_echo(ReportFile& report, const input::SampleTable& table,
                    std::span<const float> weights);

}  // namespace run
