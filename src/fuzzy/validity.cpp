#include "fuzzy/validity.hpp"

#include <cmath>
#include <vector>

namespace fuzzy {

namespace {

float partition_coefficient(const Tables& t, int C1, float n) {
  float F = 0.0f;
  for (int i = 1; i <= t.nsamp; ++i) {
    for (int k = 1; k <= C1; ++k) F = F + t.u(k, i) * t.u(k, i) / n;
  }
  return F;
}

// Subtracting each term keeps a crisp partition at +0, which prints 0.000.
// The logarithms are taken side by side, the terms subtracted in order.
float partition_entropy(const Tables& t, int C1, float n, parallel::Team& team) {
  const auto classes = static_cast<std::size_t>(C1);
  std::vector<float> terms(static_cast<std::size_t>(t.nsamp) * classes);
  team.for_blocks(static_cast<std::size_t>(t.nsamp), samples_per_task,
                  [&](std::size_t first, std::size_t last) {
                    for (std::size_t i = first; i < last; ++i) {
                      for (int k = 1; k <= C1; ++k) {
                        const float u = t.u(k, static_cast<int>(i) + 1);
                        terms[i * classes + (k - 1)] = u > 0.0f ? std::log(u) * u / n : 0.0f;
                      }
                    }
                  });
  // A class without membership has no term; taking off +0 leaves H as it is.
  float H = 0.0f;
  for (const float term : terms) H = H - term;
  return H;
}

// Summed per sample first, then over the samples: the subtotals side by
// side, their sum in sample order.
float objective_function(const Tables& t, const Count& count, parallel::Team& team) {
  std::vector<float> subtotals(static_cast<std::size_t>(t.nsamp));
  team.for_blocks(subtotals.size(), samples_per_task, [&](std::size_t first, std::size_t last) {
    for (std::size_t s = first; s < last; ++s) {
      const int i = static_cast<int>(s) + 1;
      float subtotal = 0.0f;
      for (int k = 1; k <= count.c; ++k) {
        subtotal = subtotal + std::pow(t.u(k, i), count.q) * t.d(k, i);
      }
      if (count.extragrade_phase()) {
        subtotal = subtotal + std::pow(t.u(count.c + 1, i), count.q) * t.d(count.c + 1, i);
      }
      subtotals[s] = subtotal;
    }
  });
  float J = 0.0f;
  for (const float subtotal : subtotals) J = J + subtotal;
  return J;
}

}  // namespace

Validity measure_validity(const Tables& t, const Count& count, parallel::Team& team) {
  const float n = static_cast<float>(t.nsamp);
  Validity v;
  v.F = partition_coefficient(t, count.C1, n);
  v.H = partition_entropy(t, count.C1, n, team);
  v.one_minus_F = 1.0f - v.F;
  v.J = objective_function(t, count, team);
  return v;
}

float average_extragrade(const Tables& t, int c) {
  float sum = 0.0f;
  for (int i = 1; i <= t.nsamp; ++i) sum = sum + t.u(c + 1, i);
  return sum / static_cast<float>(t.nsamp);
}

ScaledValidity scale_validity(const Validity& v, int C1) {
  ScaledValidity s;
  s.Fmin = 1.0f / static_cast<float>(C1);
  s.Fscaled = (v.F - s.Fmin) / (1.0f - s.Fmin);
  s.Hmax = std::log(static_cast<float>(C1));
  s.Hscaled = (v.H - v.one_minus_F) / (std::log(static_cast<float>(C1)) - v.one_minus_F);
  return s;
}

}  // namespace fuzzy
