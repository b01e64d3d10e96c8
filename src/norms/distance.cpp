// The normalised squared distance: the inner loop of both analyses. It
// allocates nothing and keeps the order of the sums (j, then l), so every
// result is the one the plain double loop gives. Vectors without a missing
// value take loops without tests; a left-out variable has CC row and column
// 0.0 and adds +0.0 there, which leaves the sum as it is.
#include <array>

#include "limits/limits.hpp"
#include "norms/scaling.hpp"

namespace norms {

float Scaling::distance(const float* a, const float* b) const {
  return norm_ == 3 ? quadratic_distance(a, b) : diagonal_distance(a, b);
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
