// Feature statistics and covariances: which samples enter them, and that the
// reordered covariance sums give the same bits as the plain triple loop.
#include "norms/statistics.hpp"

#include <gtest/gtest.h>

#include "norms_support.hpp"

namespace {

constexpr float M = -999.0f;

TEST(FeatureStatistics, ZeroWeightLeavesSampleOutNegativeWeightKeepsIt) {
  NormsRun r({{1, 10}, {2, 20}, {3, 30}, {100, 1000}});
  r.storage.weights[3] = 0.0f;
  r.scale("NLM", 1);
  EXPECT_EQ(r.scaling.statistics().count[0], 3);
  EXPECT_FLOAT_EQ(r.scaling.statistics().mean[0], 2.0f);
  EXPECT_FLOAT_EQ(r.scaling.statistics().var[0], 1.0f);
  r.storage.weights[3] = -1.0f;
  r.scale("NLM", 1);
  EXPECT_EQ(r.scaling.statistics().count[0], 4);
  EXPECT_FLOAT_EQ(r.scaling.statistics().mean[0], 26.5f);
}

TEST(FeatureStatistics, MissingValueRemovesSampleFromItsVariableOnly) {
  NormsRun r({{1, 1}, {M, 3}, {3, 5}, {5, 7}});
  r.scale("NLM", 1);
  const auto& s = r.scaling.statistics();
  EXPECT_EQ(s.count[0], 3);
  EXPECT_FLOAT_EQ(s.mean[0], 3.0f);
  EXPECT_FLOAT_EQ(s.var[0], 4.0f);
  EXPECT_EQ(s.count[1], 4);
  EXPECT_FLOAT_EQ(s.mean[1], 4.0f);
  // The missing sample leaves row 1 and column 1, the divisor stays NSAMP = 4.
  auto cov = norms::covariance_matrix(r.table, r.storage.weights, 2, 4, M, s);
  EXPECT_FLOAT_EQ(cov[0], 8.0f / 4);   // (-2)^2 + 0 + 2^2
  EXPECT_FLOAT_EQ(cov[1], 12.0f / 4);  // (-2)(-3) + 0 + (2)(3)
  EXPECT_FLOAT_EQ(cov[2], cov[1]);
  EXPECT_FLOAT_EQ(cov[3], 20.0f / 4);  // 9 + 1 + 1 + 9
}

TEST(FeatureStatistics, DegenerateVariablesGetFiniteZeroVariance) {
  // Seven equal values whose float mean is not exactly the value, one single
  // value, and none at all.
  std::vector<std::vector<float>> rows(7, {0.1f, M, M});
  rows[0][1] = 2.5f;
  NormsRun r(rows);
  r.scale("NLM", 0);
  const auto& s = r.scaling.statistics();
  EXPECT_EQ(s.var[0], 0.0f);
  EXPECT_EQ(s.count[1], 1);
  EXPECT_EQ(s.mean[1], 2.5f);
  EXPECT_EQ(s.var[1], 0.0f);
  EXPECT_EQ(s.count[2], 0);
  EXPECT_EQ(s.mean[2], 0.0f);
  EXPECT_EQ(s.var[2], 0.0f);
}

TEST(FeatureStatistics, CovarianceMatchesPlainTripleLoopBitForBit) {
  unsigned seed = 7;
  std::vector<std::vector<float>> rows(60, std::vector<float>(9));
  for (auto& row : rows)
    for (auto& v : row) v = next_unit(seed) < 0.1f ? M : 10.0f * next_unit(seed) - 3.0f;
  NormsRun r(rows);
  for (int i = 0; i < 60; i += 7) r.storage.weights[i] = 0.0f;
  r.scale("NLM", 0);
  const auto& s = r.scaling.statistics();
  auto cov = norms::covariance_matrix(r.table, r.storage.weights, 9, 60, M, s);
  for (int j = 1; j <= 9; ++j) {
    for (int l = 1; l <= 9; ++l) {
      float sum = 0.0f;
      for (int i = 1; i <= 60; ++i) {
        float xl = r.table.value(i, l), xj = r.table.value(i, j);
        if (xl != M && r.storage.weights[i - 1] != 0.0f && xj != M)
          sum = sum + (xl - s.mean[l - 1]) * (xj - s.mean[j - 1]);
      }
      EXPECT_EQ(cov[(j - 1) * 9 + (l - 1)], sum / 60.0f) << j << "," << l;
    }
  }
}

}  // namespace
