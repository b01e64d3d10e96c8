#include "norms/statistics.hpp"

#include "limits/limits.hpp"

namespace norms {

FeatureStatistics::FeatureStatistics()
    : mean(limits::max_variables, 0.0f),
      var(limits::max_variables, 0.0f),
      count(limits::max_variables, 0) {}

namespace {

struct Column {
  std::span<const float> x;
  std::span<const float> w;
  int nsamp;
  float missing;
  bool usable(int i) const { return w[i] != 0.0f && x[i] != missing; }
};

// First pass: the sum and count of the usable values, and whether any two differ.
float first_pass(const Column& c, int& n, bool& spread) {
  float sum = 0.0f;
  float first = 0.0f;
  n = 0;
  spread = false;
  for (int i = 0; i < c.nsamp; ++i) {
    if (!c.usable(i)) continue;
    if (n == 0) {
      first = c.x[i];
    } else if (c.x[i] != first) {
      spread = true;
    }
    sum = sum + c.x[i];
    ++n;
  }
  return sum;
}

// Second pass: the corrected sum of squares about the mean, divided by n - 1.
float corrected_variance(const Column& c, float mean, int n) {
  float s1 = 0.0f;
  float v = 0.0f;
  for (int i = 0; i < c.nsamp; ++i) {
    if (!c.usable(i)) continue;
    float d = c.x[i] - mean;
    s1 = s1 + d;
    v = v + d * d;
  }
  v = (v - s1 * s1 / static_cast<float>(n)) / static_cast<float>(n - 1);
  return v > 0.0f ? v : 0.0f;
}

}  // namespace

void compute_feature_statistics(const input::SampleTable& table, std::span<const float> weights,
                                int ndim, int nsamp, float missing, FeatureStatistics& stats) {
  for (int j = 1; j <= ndim; ++j) {
    Column c{table.column(j), weights, nsamp, missing};
    int n = 0;
    bool spread = false;
    float sum = first_pass(c, n, spread);
    float mean = n > 0 ? sum / static_cast<float>(n) : 0.0f;
    stats.mean[j - 1] = mean;
    stats.count[j - 1] = n;
    stats.var[j - 1] = (n >= 2 && spread) ? corrected_variance(c, mean, n) : 0.0f;
  }
}

std::vector<float> covariance_matrix(const input::SampleTable& table,
                                     std::span<const float> weights, int ndim, int nsamp,
                                     float missing, const FeatureStatistics& stats) {
  const auto n = static_cast<std::size_t>(ndim);
  // Deviations sample by sample; an unusable value deviates by 0.0, which
  // adds nothing to any sum, exactly as if it were skipped.
  std::vector<float> dev(static_cast<std::size_t>(nsamp) * n, 0.0f);
  for (int j = 1; j <= ndim; ++j) {
    Column c{table.column(j), weights, nsamp, missing};
    for (int i = 0; i < nsamp; ++i) {
      if (c.usable(i)) dev[i * n + (j - 1)] = c.x[i] - stats.mean[j - 1];
    }
  }
  // Row j gathers cov(j, l >= j) over the samples in order; every entry keeps
  // its own running sum, and cov(l, j) is the same sum of the same products.
  std::vector<float> cov(n * n, 0.0f);
  for (std::size_t j = 0; j < n; ++j) {
    float* row = &cov[j * n];
    for (int i = 0; i < nsamp; ++i) {
      const float* d = &dev[i * n];
      const float dj = d[j];
      if (dj == 0.0f) continue;
      for (std::size_t l = j; l < n; ++l) row[l] = row[l] + d[l] * dj;
    }
  }
  const float divisor = static_cast<float>(nsamp);
  for (std::size_t j = 0; j < n; ++j) {
    for (std::size_t l = j; l < n; ++l) {
      cov[j * n + l] = cov[j * n + l] / divisor;
      cov[l * n + j] = cov[j * n + l];
    }
  }
  return cov;
}

}  // namespace norms
