#pragma once

// Feature statistics, the scaling matrix CC that fixes a distance norm, and
// the normalised squared distance that both analyses use.
//
// Norms: 0 Euclidean, 1 diagonal (scaling by feature variance), 2 scaling by
// feature means, 3 Mahalanobis (inverse covariance matrix). Any other number
// builds CC as norm 3 but measures with the diagonal of CC.
//
// Zero divisors are never used. Under every norm but 0 a variable with fewer
// than two usable values is left out of the distance, and so is one with no
// spread (norms 1 and 3), or with a mean of zero or below (norm 2): a warning
// line names it on the console and in the report, its CC row and column stay
// 0.0, and it counts neither in the sum nor in the divisor NDIM - m (as if it
// were missing in every sample). A covariance matrix that still cannot be
// inverted stops the run with one line naming the variable at fault.

#include <span>
#include <string>
#include <vector>

#include "input/sample_table.hpp"
#include "run/run_context.hpp"

namespace norms {

// Per variable; variable j is at index j - 1.
struct FeatureStatistics {
  FeatureStatistics();
  std::vector<float> mean;  // 0.0 when no value was usable
  std::vector<float> var;  // sample variance, divisor n - 1; 0.0 below two values or without spread
  std::vector<int> count;  // samples that entered mean and var
};

class Scaling {
 public:
  Scaling();

  // The scaling routine. The analysis tag decides what is done:
  //   "ONE": statistics only when norm != 0; CC rebuilt
  //   "NLM": statistics and CC
  //   "FUZ": statistics of the earlier call kept; CC rebuilt for this norm
  //   "NON": callers skip the call; nothing is done
  // Under norm 3 (and any number outside 0..3) the covariance matrix is
  // inverted in place and the identity check is written to the report.
  void scale(const std::string& tag, int ndim, int nsamp, float missing, int norm,
             run::RunContext& run);

  // Normalised squared distance of two vectors of ndim() values each, under
  // the norm CC was last built for. Values equal to the missing code are left
  // out, and the sum is divided by the number of variables present in both.
  // Two vectors without a common present variable are at distance 0.0:
  // nothing tells them apart (the clustering's zero-distance rule and the
  // mapping's smallest target distance take it from there). Under norm 3 a
  // form that rounding leaves below zero counts as 0.0.
  float distance(const float* a, const float* b) const;

  // distance(a, b_k) for count vectors b_k at once, into out[k]: the same
  // values, but with the vectors given variable by variable (variable j of
  // b_k at b[j * distance_lanes(count) + k]), so that one pass over a's
  // values serves all. The lanes past count take part in the arithmetic,
  // and out must have room for them too. b_complete tells whether no value
  // of the vectors is the missing code, which holds for many a at once.
  void distances(const float* a, const float* b, int count, bool b_complete, float* out) const;
  static constexpr int distance_lanes(int count) { return (count + 3) / 4 * 4; }

  // Whether none of the values equals the missing code.
  bool present(std::span<const float> values) const;

  int ndim() const { return ndim_; }
  int norm() const { return norm_; }
  float missing() const { return missing_; }
  const FeatureStatistics& statistics() const { return stats_; }
  // CC(row, column), 1-based.
  float cc(int row, int column) const;
  // CC(row, 1..ndim), 1-based row.
  std::span<const float> cc_row(int row) const;
  // Whether variable j (1-based) takes part in the distance.
  bool measures(int variable) const { return measured_flag_[variable - 1] != 0; }

 private:
  void select_measured(run::RunContext& run);
  void build_cc(run::RunContext& run);
  void build_mahalanobis(run::RunContext& run);
  bool complete(const float* a, const float* b) const;
  float diagonal_distance(const float* a, const float* b) const;
  float quadratic_distance(const float* a, const float* b) const;

  int ndim_ = 0;
  int nsamp_ = 0;
  int norm_ = 0;
  float missing_ = -999.0f;
  FeatureStatistics stats_;
  std::vector<float> cc_;            // ndim x ndim, row by row
  std::vector<float> diagonal_;      // CC(j,j), for the diagonal norms
  std::vector<char> measured_flag_;  // 1 when the variable takes part in the distance
  std::vector<int> measured_;        // the 0-based numbers of those variables
};

// Copies samples 1..nsamp of variables 1..ndim into one contiguous buffer,
// sample by sample (row i at rows[(i - 1) * ndim]), the form distance() takes.
std::vector<float> sample_rows(const input::SampleTable& table, int nsamp, int ndim);

}  // namespace norms
