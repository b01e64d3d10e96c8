#pragma once

// The fuzzy c-means iteration of one cluster count: centre update, membership
// update with the zero-distance rule, the largest-membership class, and the
// convergence rule with its plain and extragrade phases.

#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "display/plots.hpp"
#include "fuzzy/tables.hpp"
#include "norms/scaling.hpp"
#include "parallel/team.hpp"
#include "run/storage.hpp"

namespace fuzzy {

// Distances below this count as zero: the sample sits on the centre.
inline constexpr float zero_distance = 1.0E-7f;

// Samples shared out among threads go in blocks of at least this many.
inline constexpr std::size_t samples_per_task = 256;

// One cluster count as the iteration sees it.
struct Count {
  int c = 2;
  int C1 = 2;         // classes: c + 1 with extragrades, else c
  float q = 1.5f;     // fuzzy exponent Q
  float e = -2.0f;    // -1 / (Q - 1)
  float A = 0.0f;     // extragrade factor (1 - alpha) / alpha, set when that phase starts
  char marker = 'N';  // 'Y' or 'N': plain phase; 'X': extragrade phase
  bool extragrade_phase() const { return marker == 'X'; }
};

// The count cannot be computed (a zero divisor or a number beyond single
// precision); the message says where.
class CountNotComputed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Scratch tables of the iteration, sized once so that no iteration
// allocates, and the threads that share out its work. Work is shared by
// samples or by centre elements; every sum stays whole in one thread and in
// the order of the samples, so the results are the same for any number of
// threads.
struct IterationScratch {
  IterationScratch(const Tables& tables, int threads);
  std::vector<float> tw;   // t(k,i) * w(i), at (k-1)*nsamp + (i-1)
  std::vector<float> num;  // per centre and variable, at (k-1)*ndim + (j-1)
  std::vector<float> den;
  std::vector<float> centres;  // V(k,j) variable by variable, as the distances take them
  parallel::Team team;
};

// Centres V(k,j) from the memberships (and, in the extragrade phase, from
// the distances of the previous membership update). Throws CountNotComputed
// for a zero divisor or a centre beyond single precision.
void update_centres(Tables& tables, const Count& count, IterationScratch& scratch);

// Distances and memberships of every sample; gives the maximum membership
// change. Throws CountNotComputed for a distance that is not finite.
float update_memberships(Tables& tables, const Count& count, const norms::Scaling& scaling,
                         IterationScratch& scratch);

// The class of largest membership among 1..C1 (ties go to the higher
// number) and that membership.
struct LargestMembership {
  int cls = 1;
  float best = 0.0f;
};
LargestMembership largest_membership(const Tables& tables, int i, int C1);

// Writes the largest-membership class of every sample into the colours.
void store_classes(const Tables& tables, int C1, std::span<int> colours, parallel::Team& team);

// Where an iteration's error goes: the count's own list ERR (ERR(t) at
// t - 1, cleared for every count), the shared error list of the plots (also
// ERR(t) at t - 1), with graphics the plots, and the progress shown to the user.
struct IterationLog {
  std::span<float> err;
  run::RunStorage& storage;
  display::IterationPlots* plots;  // null when graphics are off
  std::string_view tag;
  float eps;
  float missing;
  std::function<void(int IT, float change)> progress = {};
};

struct IterationOutcome {
  int IT = 1;                // the iteration count IT(c)
  float last_change = 0.0f;  // the maximum membership change of the last iteration
};

// Iterates one cluster count from its start memberships through the plain
// phase and, when the marker is 'Y', the extragrade phase (the marker is left
// at 'X' then). alpha is used only for the extragrade phase.
IterationOutcome iterate_count(Tables& tables, Count& count, float alpha, int max_iterations,
                               const norms::Scaling& scaling, IterationScratch& scratch,
                               IterationLog& log);

}  // namespace fuzzy
