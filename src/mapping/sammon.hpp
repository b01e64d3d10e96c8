#pragma once

// The Sammon iteration: target distances, map distances, the coordinate
// passes and the best configuration. Distances are packed pair arrays in row
// order: pair (i,j), i < j, follows (i,j-1), and row i+1 follows row i.

#include <cstddef>
#include <span>
#include <vector>

#include "display/plots.hpp"
#include "mapping/scratch_file.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

namespace mapping {

// Above this many samples the distances go through the scratch files.
inline constexpr int scratch_threshold = 1000;
// Stands for a distance of exactly zero, which no ratio could take.
inline constexpr float smallest_distance = 0.001f;

std::size_t pair_count(int n);

struct PairTables {
  void resize(std::size_t pairs);
  std::vector<float> target;    // D*
  std::vector<float> target_p;  // D*^p, fixed with D*
  std::vector<float> weight;    // D*^(p-2), fixed with D*
  std::vector<float> map;       // d
};

struct TargetSummary {
  double SW = 0.0;             // twice the sum of D*^p
  std::size_t negative = 0;    // pairs whose quadratic form came out below zero
  bool weights_finite = true;  // every D*^p and D*^(p-2) is a finite number
};

// D* = sqrt(2q) for every pair of the rows (m values per sample, row by row),
// 0.001 for zero (and for a quadratic form below zero, which rounding can
// give), with D*^p, D*^(p-2) and SW.
TargetSummary target_distances(std::span<const float> rows, int n, int m,
                               const norms::Scaling& scaling, float p, PairTables& pairs);

// Pairs with no variable that is present in both samples and taken into the
// distance; the scaling gives them a distance of zero.
std::size_t pairs_without_common_variable(std::span<const float> rows, int n, int m, float missing,
                                          const norms::Scaling& scaling);

// d for every pair of the configuration, 0.001 for zero.
void map_distances(std::span<const float> x, std::span<const float> y, int n, std::span<float> d);

// One coordinate pass over Y (one coordinate of every sample): every sample
// moves by - step * S1 / |S2| with its sums over all other samples, taken from
// the coordinates at the start of the pass. Adds the pass's error terms to E.
// G1 and G2 (n entries) are zero before and after.
void coordinate_pass(const PairTables& pairs, std::span<float> Y, int n, float step,
                     std::span<double> G1, std::span<double> G2, double& E);

// NLMA.TMP holds the target distances, NLMB.TMP the map distances. Both are
// opened for every mapping; they are used only above scratch_threshold samples.
class ScratchFiles {
 public:
  void open(int n);
  bool in_use() const { return in_use_; }
  void keep_target(const PairTables& pairs);
  void rewind_map();
  void keep_map(const PairTables& pairs);
  // Rewinds both files and reads both distance arrays back, side by side.
  void restore(PairTables& pairs);
  // Time spent with the files since they were opened.
  double seconds() const { return seconds_; }

 private:
  ScratchFile target_;
  ScratchFile map_;
  bool in_use_ = false;
  double seconds_ = 0.0;
};

struct IterationSetup {
  int n = 0;
  int iterations = 0;
  float step = 0.2f;
  double SW = 0.0;
  float missing = 0.0f;
};

struct IterationResult {
  float best_error = 10000.0f;
  int best_iteration = 0;
  std::vector<float> best_x, best_y;  // n entries, 0.0 until an iteration is best
};

// The map distances and the iterations, moving run.storage.config_x/y and
// filling run.storage.errors; plots is null when graphics are off.
IterationResult iterate(run::RunContext& run, const IterationSetup& setup, PairTables& pairs,
                        ScratchFiles& scratch, display::IterationPlots* plots);

}  // namespace mapping
