#pragma once

// Validity measures of one cluster count: partition coefficient F (FSTOP),
// partition entropy H (ENTROPY) and objective function J (PAYOFF), and their
// scaled forms in the run summary.

#include "fuzzy/iteration.hpp"
#include "fuzzy/tables.hpp"
#include "parallel/team.hpp"

namespace fuzzy {

struct Validity {
  float F = 0.0f;
  float one_minus_F = 0.0f;
  float H = 0.0f;
  float J = 0.0f;
};

// From the memberships and distances of the last iteration, before the
// centres are sorted. Every sample counts, whatever its weight. Powers and
// logarithms are taken on the team's threads; every sum keeps its order.
Validity measure_validity(const Tables& tables, const Count& count, parallel::Team& team);

// Mean membership of the extragrade class c + 1 over all samples.
float average_extragrade(const Tables& tables, int c);

// The scaled measures of a summary row.
struct ScaledValidity {
  float Fmin = 0.0f;     // 1 / C1
  float Fscaled = 0.0f;  // 0 for the fuzziest partition, 1 for a crisp one
  float Hmax = 0.0f;     // ln C1
  float Hscaled = 0.0f;  // H relative to its bounds 1 - F and ln C1
};
ScaledValidity scale_validity(const Validity& validity, int C1);

}  // namespace fuzzy
