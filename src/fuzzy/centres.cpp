#include "fuzzy/centres.hpp"

#include <algorithm>

#include "fuzzy/iteration.hpp"

namespace fuzzy {

CentreOrder sort_centres(Tables& t, int c, int s) {
  CentreOrder P;
  for (int k = 1; k <= limits::max_classes; ++k) P[k - 1] = k;
  std::vector<float> kept(static_cast<std::size_t>(t.ndim));
  for (int k = 2; k <= c; ++k) {
    const float key = t.v(k, s);
    const int kp = P[k - 1];
    std::copy(t.centre(k), t.centre(k) + t.ndim, kept.begin());
    int m = k - 1;
    while (m >= 1 && key < t.v(m, s)) {
      std::copy(t.centre(m), t.centre(m) + t.ndim, t.centre(m + 1));
      P[m] = P[m - 1];
      m = m - 1;
    }
    std::copy(kept.begin(), kept.end(), t.centre(m + 1));
    P[m] = kp;
  }
  return P;
}

void renumber_memberships(Tables& t, int c, const CentreOrder& P) {
  std::array<float, limits::max_classes> old{};
  for (int i = 1; i <= t.nsamp; ++i) {
    for (int k = 1; k <= c; ++k) old[k - 1] = t.u(k, i);
    for (int k = 1; k <= c; ++k) t.u(k, i) = old[P[k - 1] - 1];
  }
}

void classify_samples(const Tables& t, int C1, float threshold, Classification& result) {
  result.T.fill(0);
  for (int i = 1; i <= t.nsamp; ++i) {
    const LargestMembership largest = largest_membership(t, i, C1);
    float second = 0.0f;
    for (int k = 1; k <= C1; ++k) {
      if (t.u(k, i) != largest.best) second = std::max(second, t.u(k, i));
    }
    result.T[largest.cls - 1] += 1;
    result.cls[i - 1] = largest.cls;
    result.G[i - 1] = largest.best * threshold > second ? largest.cls : unclassified;
  }
}

}  // namespace fuzzy
