#pragma once

// Renumbering of the clusters by their centres on the sort column, and the
// defuzzified (crisp) classes.

#include <array>
#include <span>
#include <vector>

#include "fuzzy/tables.hpp"
#include "limits/limits.hpp"

namespace fuzzy {

// P(k) = the number, before sorting, of the cluster that ends up as number k
// (P(k) at index k - 1).
using CentreOrder = std::array<int, limits::max_classes>;

// Stable insertion sort of centres 1..c, ascending on variable s.
CentreOrder sort_centres(Tables& tables, int c, int s);

// New U(k,i) = old U(P(k),i) for k = 1..c; the extragrade class keeps its place.
void renumber_memberships(Tables& tables, int c, const CentreOrder& P);

// Code of a sample that no class holds clearly enough.
inline constexpr int unclassified = 99;

// The largest-membership class of every sample, its defuzzified class and
// the class totals T(1..C1).
struct Classification {
  explicit Classification(int nsamp) : cls(nsamp), G(nsamp) {}
  std::vector<int> cls;  // per sample, at i - 1
  std::vector<int> G;    // class, or unclassified when the largest does not stand out
  std::array<int, limits::max_classes> T{};
};

// A sample is classified when its largest membership times the threshold
// is above the largest membership that differs from it.
void classify_samples(const Tables& tables, int C1, float threshold, Classification& result);

}  // namespace fuzzy
