#pragma once

// Fuzzy c-means clustering with an optional extragrade class, for every
// cluster count of a range, with validity measures, sorted centres,
// defuzzified classes and the result files .CNT, .MEM, .CLS and .OPT.

#include <string>

#include "display/plots.hpp"
#include "norms/scaling.hpp"
#include "parallel/team.hpp"
#include "run/run_context.hpp"

namespace fuzzy {

// The sixteen arguments of the fuzzy routine, in their order.
struct FuzzyArguments {
  int ndim = 0;
  int nsamp = 0;
  float missing = -999.0f;
  int icon = 1;    // distance norm
  float q = 1.5f;  // fuzzy exponent
  int first_clusters = 2;
  int last_clusters = 9;
  bool save_scaling = false;
  char weight_option = 'N';
  float threshold = 0.75f;
  int sort_column = 1;
  std::string* tag = nullptr;  // analysis tag, read and possibly changed
  char* extragrade = nullptr;  // 'Y' or 'N'; left as it was (the phase marker is kept inside)
  float alpha = 0.0f;
  float eps = 0.0001f;
  int max_iterations = 100;
};

// Clusters for every count from first_clusters to last_clusters and writes
// the report blocks and the result files, which are closed before it returns
// (the cluster panels read them back). The start counter in the run storage
// is advanced by every draw; the sample colours end as the classes of the
// last count; the shared error list holds ERR(t) at t - 1. Arguments that no
// table or formula can take end the run before anything is written; a count
// with a zero divisor is skipped with a message. plots is null when graphics
// are off. The work is shared among threads; the results do not depend on
// their number.
void run_fuzzy_clustering(const FuzzyArguments& args, run::RunContext& run, norms::Scaling& scaling,
                          display::IterationPlots* plots,
                          int threads = parallel::hardware_threads());

}  // namespace fuzzy
