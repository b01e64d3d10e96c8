// Placeholder for the fuzzy clustering until it lands: says so on the console.
#include "fuzzy/fuzzy.hpp"

namespace fuzzy {

void run_fuzzy_clustering(const FuzzyArguments&, run::RunContext& run, norms::Scaling&,
                          display::IterationPlots*) {
  run.screen.line(" FUZZY CLUSTERING STAND-IN: NOTHING COMPUTED");
}

}  // namespace fuzzy
