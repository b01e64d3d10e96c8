#pragma once

// Sammon non-linear mapping of all samples into a plane: statistics listing,
// initial configuration, iteration, results, the .NLM file and the scratch
// files NLMA.TMP and NLMB.TMP.

#include <string>

#include "display/plots.hpp"
#include "norms/scaling.hpp"
#include "parallel/team.hpp"
#include "run/run_context.hpp"

namespace mapping {

// The seven arguments in their order: distance measure, iterations, m
// (variables), n (samples), p (power of distances), missing-value code and
// the analysis tag (set to "NLM"). plots is null when graphics are off. The
// work is shared among threads; the results do not depend on their number.
void run_nonlinear_mapping(int norm, int iterations, int m, int n, float p, float missing,
                           std::string& tag, run::RunContext& run, norms::Scaling& scaling,
                           display::IterationPlots* plots,
                           int threads = parallel::hardware_threads());

// Where the time of one mapping went, for measurements.
struct MappingTimes {
  double target_seconds = 0.0;     // target distances and their powers
  double iteration_seconds = 0.0;  // the iterations
  double scratch_seconds = 0.0;    // opening and dumping the scratch files, and waiting for them
};

// The same, also telling where the time went.
void run_nonlinear_mapping(int norm, int iterations, int m, int n, float p, float missing,
                           std::string& tag, run::RunContext& run, norms::Scaling& scaling,
                           display::IterationPlots* plots, MappingTimes& times,
                           int threads = parallel::hardware_threads());

}  // namespace mapping
