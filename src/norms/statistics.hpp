#pragma once

// The feature statistics and the covariance matrix of the value matrix, over
// the samples whose weight is not 0.0. Sums run in single precision in the
// order of the samples.

#include <span>
#include <vector>

#include "input/sample_table.hpp"
#include "norms/scaling.hpp"

namespace norms {

// Mean, corrected two-pass variance and count of variables 1..ndim over
// samples 1..nsamp. A variable without usable values gets mean 0.0; one with
// fewer than two values, or whose values are all equal, gets variance 0.0
// (rounding would otherwise leave a tiny or negative residue there).
void compute_feature_statistics(const input::SampleTable& table, std::span<const float> weights,
                                int ndim, int nsamp, float missing, FeatureStatistics& stats);

// cov(j,l) over the samples where both variables are present, divided by
// nsamp; ndim x ndim, row by row.
std::vector<float> covariance_matrix(const input::SampleTable& table,
                                     std::span<const float> weights, int ndim, int nsamp,
                                     float missing, const FeatureStatistics& stats);

}  // namespace norms
