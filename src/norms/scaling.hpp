#pragma once

// Feature statistics, the scaling matrix CC that fixes a distance norm, and
// the normalised squared distance that both analyses use.
//
// Norms: 0 Euclidean, 1 diagonal (scaling by feature variance), 2 scaling by
// feature means, 3 Mahalanobis (inverse covariance matrix). Any other number
// builds CC as norm 3 but measures with the diagonal of CC.

#include <span>
#include <string>
#include <vector>

#include "run/run_context.hpp"

namespace norms {

struct FeatureStatistics {
  std::vector<float> mean;   // per variable, 1-based through at(j)
  std::vector<float> var;    // sample variance, divisor n - 1
  std::vector<int> count;    // samples that entered mean and var
};

class Scaling {
 public:
  Scaling();

  // The scaling routine. The analysis tag decides what is done:
  //   "ONE": statistics only when norm != 0; CC rebuilt
  //   "NLM": statistics and CC
  //   "FUZ": statistics of the earlier call kept; CC rebuilt for this norm
  //   "NON": callers skip the call
  // Under norm 3 (and any number outside 0..3) the covariance matrix is
  // inverted in place and the identity check is written to the report.
  void scale(const std::string& tag, int ndim, int nsamp, float missing, int norm,
             run::RunContext& run);

  // Normalised squared distance of two vectors of ndim() values each, under
  // the norm CC was last built for. Values equal to the missing code are left
  // out, and the sum is divided by the number of variables present in both.
  float distance(const float* a, const float* b) const;

  int ndim() const { return ndim_; }
  int norm() const { return norm_; }
  float missing() const { return missing_; }
  const FeatureStatistics& statistics() const { return stats_; }
  // CC(row, column), 1-based.
  float cc(int row, int column) const;

 private:
  int ndim_ = 0;
  int norm_ = 0;
  float missing_ = -999.0f;
  FeatureStatistics stats_;
  std::vector<float> cc_;  // max_variables x max_variables
};

}  // namespace norms
