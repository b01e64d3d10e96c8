// The normalised squared distance: the inner loop of both analyses. It
// allocates nothing and keeps the order of the sums (j, then l), so every
// result is the one the plain double loop gives. Vectors without a missing
// value take loops without tests; a left-out variable has CC row and column
// 0.0 and adds +0.0 there, which leaves the sum as it is.
#include <algorithm>
#include <array>
#include <cstring>

#include "limits/limits.hpp"
#include "norms/scaling.hpp"

namespace norms {

namespace {

// Four single-precision values worked on side by side, each as it would be alone.
using FourLanes = float __attribute__((vector_size(16)));

}  // namespace

float Scaling::distance(const float* a, const float* b) const {
  return norm_ == 3 ? quadratic_distance(a, b) : diagonal_distance(a, b);
}

void Scaling::distances(const float* a, const float* b, int count, bool b_complete,
                        float* out) const {
  const auto n = static_cast<std::size_t>(ndim_);
  const auto vectors = static_cast<std::size_t>(count);
  const auto lanes = static_cast<std::size_t>(distance_lanes(count));
  if (norm_ == 3 || !b_complete || !present({a, n})) {
    std::array<float, limits::max_variables> vector;
    for (std::size_t k = 0; k < vectors; ++k) {
      for (std::size_t j = 0; j < n; ++j) vector[j] = b[j * lanes + k];
      out[k] = distance(a, vector.data());
    }
    return;
  }
  // Without a missing value the diagonal sum runs over all variables, each
  // vector's in the order of the variables, as diagonal_distance takes it;
  // the vectors go four at a time, one sum in each lane.
  const std::size_t groups = lanes / 4;
  std::array<FourLanes, distance_lanes(limits::max_classes) / 4> sums;
  for (std::size_t g = 0; g < groups; ++g) sums[g] = FourLanes{};
  for (std::size_t j = 0; j < n; ++j) {
    const float aj = a[j];
    const float cj = diagonal_[j];
    for (std::size_t g = 0; g < groups; ++g) {
      FourLanes bj;
      std::memcpy(&bj, b + j * lanes + 4 * g, sizeof bj);
      const FourLanes d = aj - bj;
      sums[g] = sums[g] + d * cj * d;
    }
  }
  if (measured_.empty()) {
    std::fill(out, out + lanes, 0.0f);
    return;
  }
  const auto measured = static_cast<float>(measured_.size());
  for (std::size_t g = 0; g < groups; ++g) {
    const FourLanes quotient = sums[g] / measured;
    std::memcpy(out + 4 * g, &quotient, sizeof quotient);
  }
}

bool Scaling::present(std::span<const float> values) const {
  int hits = 0;
  for (const float v : values) hits += v == missing_;
  return hits == 0;
}

bool Scaling::complete(const float* a, const float* b) const {
  const float code = missing_;
  int hits = 0;
  for (int j = 0; j < ndim_; ++j) hits += (a[j] == code) + (b[j] == code);
  return hits == 0;
}

float Scaling::diagonal_distance(const float* a, const float* b) const {
  float s = 0.0f;
  int present = 0;
  if (complete(a, b)) {
    for (int j = 0; j < ndim_; ++j) {
      const float d = a[j] - b[j];
      s = s + d * diagonal_[j] * d;
    }
    present = static_cast<int>(measured_.size());
  } else {
    for (int j : measured_) {
      if (a[j] == missing_ || b[j] == missing_) continue;
      const float d = a[j] - b[j];
      s = s + d * diagonal_[j] * d;
      ++present;
    }
  }
  return present > 0 ? s / static_cast<float>(present) : 0.0f;
}

float Scaling::quadratic_distance(const float* a, const float* b) const {
  const auto n = static_cast<std::size_t>(ndim_);
  std::array<float, limits::max_variables> d;
  float s = 0.0f;
  int present = 0;
  if (complete(a, b)) {
    for (std::size_t j = 0; j < n; ++j) d[j] = a[j] - b[j];
    for (std::size_t j = 0; j < n; ++j) {
      const float* row = &cc_[j * n];
      const float dj = d[j];
      for (std::size_t l = 0; l < n; ++l) s = s + dj * row[l] * d[l];
    }
    present = static_cast<int>(measured_.size());
  } else {
    std::array<int, limits::max_variables> index;
    for (int j : measured_) {
      if (a[j] == missing_ || b[j] == missing_) continue;
      d[present] = a[j] - b[j];
      index[present] = j;
      ++present;
    }
    for (int j = 0; j < present; ++j) {
      const float* row = &cc_[index[j] * n];
      const float dj = d[j];
      for (int l = 0; l < present; ++l) s = s + dj * row[index[l]] * d[l];
    }
  }
  if (present == 0) return 0.0f;
  // The inverse of a covariance matrix gives no negative form; rounding can,
  // for two nearly equal vectors, and the mapping takes a square root of it.
  if (s < 0.0f) s = 0.0f;
  return s / static_cast<float>(present);
}

}  // namespace norms
