#pragma once

// The Sammon iteration: target distances, map distances, the coordinate
// passes and the best configuration. Distances are packed pair arrays in row
// order: pair (i,j), i < j, follows (i,j-1), and row i+1 follows row i.
//
// Every double sum is taken in the order of the pairs or samples whatever
// the number of threads; only work without a sum is shared out.

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "display/plots.hpp"
#include "norms/scaling.hpp"
#include "parallel/team.hpp"
#include "run/run_context.hpp"

namespace mapping {

// Above this many samples the distances are dumped to the scratch files.
inline constexpr int scratch_threshold = 1000;
// Stands for a distance of exactly zero, which no ratio could take.
inline constexpr float smallest_distance = 0.001f;

std::size_t pair_count(int n);

// The tables fixed with the target distances.
struct PairTables {
  std::vector<float> target;    // D*
  std::vector<float> target_p;  // D*^p; left empty when every D*^p is D* itself (p = 1)
  std::vector<float> weight;    // D*^(p-2)
  const float* powers() const { return target_p.empty() ? target.data() : target_p.data(); }
  std::size_t size() const { return target.size(); }
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
                               const norms::Scaling& scaling, float p, PairTables& pairs,
                               parallel::Team& team);

// Pairs with no variable that is present in both samples and taken into the
// distance; the scaling gives them a distance of zero.
std::size_t pairs_without_common_variable(std::span<const float> rows, int n, int m, float missing,
                                          const norms::Scaling& scaling);

// d for every pair of the configuration, 0.001 for zero.
void map_distances(std::span<const float> x, std::span<const float> y, int n, std::span<float> d,
                   parallel::Team& team);

// The configuration at the start of an iteration (n entries each). Both
// passes take every map distance and every derivative term from it.
struct StartingPoints {
  std::span<const float> x, y;
};

// One coordinate pass over coordinate a (0 for x, 1 for y): every sample
// moves by - step * S1 / |S2| with its sums over all other samples, taken
// from start; the moves go into Y. G1 and G2 (n entries) are zero before and
// after.
void coordinate_pass(const PairTables& pairs, const StartingPoints& start, int a,
                     std::span<float> Y, float step, std::span<double> G1, std::span<double> G2);

// E plus the error term r^2 * D*^p of every pair of start, in pair order.
double add_error_terms(const PairTables& pairs, const StartingPoints& start, double E);

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

// Called after every iteration, before the next begins; may throw to stop.
using AfterIteration = std::function<void(int t)>;

// The iterations, moving run.storage.config_x/y and filling
// run.storage.errors; plots is null when graphics are off.
IterationResult iterate(run::RunContext& run, const IterationSetup& setup, const PairTables& pairs,
                        parallel::Team& team, display::IterationPlots* plots,
                        const AfterIteration& after);

}  // namespace mapping
