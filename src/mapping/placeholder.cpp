// Placeholder for the non-linear mapping until it lands: sets the tag only.
#include "mapping/mapping.hpp"

namespace mapping {

void run_nonlinear_mapping(int, int, int, int, float, float, std::string& tag,
                           run::RunContext& run, norms::Scaling&, display::IterationPlots*) {
  tag = "NLM";
  run.screen.line(" NON-LINEAR MAPPING STAND-IN: NOTHING COMPUTED");
}

}  // namespace mapping
