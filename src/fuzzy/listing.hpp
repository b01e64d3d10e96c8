#pragma once

// The clustering's blocks in the report file and the records of its result
// files, in the order the routine writes them. The listings of one line per
// sample are formatted on the team's threads and written in sample order.

#include <span>

#include "fuzzy/centres.hpp"
#include "fuzzy/fuzzy.hpp"
#include "fuzzy/result_files.hpp"
#include "fuzzy/run_record.hpp"
#include "fuzzy/tables.hpp"
#include "fuzzy/validity.hpp"
#include "norms/scaling.hpp"
#include "parallel/team.hpp"
#include "run/run_context.hpp"

namespace fuzzy {

// Title, the first ten samples and the sample count; then, after a clear
// screen, the title of the clustering output.
void write_opening_blocks(run::RunContext& run, const Tables& tables, char weight_option);

// The rows of CC, to the report and, when it is open, to SCALE.MMB.
void write_scaling_matrix(run::RunContext& run, const norms::Scaling& scaling, int ndim,
                          run::TextFile& scale);

void write_count_header(run::RunContext& run, const FuzzyArguments& args, int c);

// ERR(1..IT) ten to a line, the iteration count and the last error.
void write_error_listing(run::ReportFile& report, std::span<const float> err, int IT,
                         float last_change, int c);

void write_validity_block(run::ReportFile& report, const Validity& validity, int IT,
                          int max_iterations);

// Sorted centres, then their antilogs for log-transformed variables, also to
// the centre file (opened here) and, when it is open, to SCALE.MMB.
void write_centres(run::RunContext& run, const Tables& tables, int c, ResultFiles& files);

void write_membership_listing(run::RunContext& run, const Tables& tables, int C1,
                              const Classification& classes, parallel::Team& team);

// One block of the membership file: the free-format record and a line per sample.
void write_membership_block(run::TextFile& mem, const run::RunContext& run, const Tables& tables,
                            const FuzzyArguments& args, int c, int C1, parallel::Team& team);

void write_average_extragrade(run::TextFile& file, float average);

// One record per sample with the classes of counts 2 .. C1 + 1, C1 being the
// class count of the last cluster count.
void write_class_file(run::TextFile& cls, const run::RunContext& run, const Tables& tables,
                      const RunRecord& record, int C1, parallel::Team& team);

// Parameters and one row per cluster count, the rows also to the validity file.
void write_run_summary(run::RunContext& run, run::TextFile& opt, const FuzzyArguments& args,
                       const RunRecord& record);

}  // namespace fuzzy
