// The scaling matrix per norm, the analysis tag rules, the variables left out
// of the distance, and the stops for covariance matrices without an inverse.
#include <gtest/gtest.h>

#include "console/run_stop.hpp"
#include "norms_support.hpp"

namespace {

constexpr float M = -999.0f;

TEST(ScalingMatrix, DiagonalNormsDivideByVarianceAndByTheMeanItself) {
  NormsRun r({{3, 1}, {5, 2}, {4, 3}});  // means 4 and 2, variances 1 and 1
  r.scale("NLM", 2);
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 1), 0.25f);
  EXPECT_FLOAT_EQ(r.scaling.cc(2, 2), 0.5f);
  EXPECT_EQ(r.scaling.cc(1, 2), 0.0f);
  r.table.value(1, 1) = 2;  // variance of variable 1 becomes 7/3 under a new call
  r.scale("NLM", 1);
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 1), 3.0f / 7.0f);
  r.scale("ONE", 0);
  EXPECT_EQ(r.scaling.cc(1, 1), 1.0f);
  EXPECT_EQ(r.scaling.cc(2, 2), 1.0f);
}

TEST(ScalingMatrix, TagRulesDecideWhatIsComputed) {
  NormsRun r({{1, 4}, {3, 8}, {5, 9}});
  r.scale("ONE", 0);  // no statistics needed, none computed
  EXPECT_EQ(r.scaling.statistics().count[0], 0);
  EXPECT_EQ(r.scaling.statistics().mean[0], 0.0f);
  r.scale("NLM", 0);
  EXPECT_FLOAT_EQ(r.scaling.statistics().var[0], 4.0f);
  r.table.value(1, 1) = 3;  // a later call with "FUZ" must not see this
  r.scale("FUZ", 1);
  EXPECT_FLOAT_EQ(r.scaling.statistics().var[0], 4.0f);
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 1), 0.25f);
  r.scale("NON", 2);  // skipped: the clustering uses the scaling as it stands
  EXPECT_EQ(r.scaling.norm(), 1);
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 1), 0.25f);
}

TEST(ScalingMatrix, UnusableVariablesAreNamedAndLeftOut) {
  // Variable 2 is constant, variable 3 has one value, variable 4 mean 0.
  NormsRun r({{1, 7, M, -1}, {2, 7, 5, 1}, {4, 7, M, 0}});
  r.scale("NLM", 1);
  EXPECT_NE(r.screen.transcript().find(" WARNING: VARIABLE 2 (V2) HAS NO SPREAD (ZERO VARIANCE);"
                                       " LEFT OUT OF THE DISTANCE\n"),
            std::string::npos);
  EXPECT_NE(r.screen.transcript().find("VARIABLE 3 (V3) HAS FEWER THAN TWO USABLE VALUES"),
            std::string::npos);
  auto lines = r.report_lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind(" WARNING: VARIABLE 2 (V2)", 0), 0u);
  EXPECT_FALSE(r.scaling.measures(2));
  EXPECT_EQ(r.scaling.cc(2, 2), 0.0f);
  // Samples 1 and 3 differ in variables 1 and 4 only: (3^2/var1 + 1^2/1) / 2.
  auto rows = norms::sample_rows(r.table, 3, 4);
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[0], &rows[8]),
                  (9.0f / r.scaling.statistics().var[0] + 1) / 2);
  r.scale("NLM", 2);
  EXPECT_NE(r.screen.transcript().find("VARIABLE 4 (V4) HAS A MEAN OF ZERO OR BELOW"),
            std::string::npos);
  // A negative mean (logarithms of values below 1) would give a negative
  // weight and a negative distance: left out as well.
  NormsRun logs({{-1, 3}, {-2, 5}, {-3, 4}});
  logs.scale("NLM", 2);
  EXPECT_NE(logs.screen.transcript().find("VARIABLE 1 (V1) HAS A MEAN OF ZERO OR BELOW"),
            std::string::npos);
  EXPECT_EQ(logs.scaling.cc(1, 1), 0.0f);
  EXPECT_FLOAT_EQ(logs.scaling.cc(2, 2), 0.25f);
  auto log_rows = norms::sample_rows(logs.table, 3, 2);
  EXPECT_FLOAT_EQ(logs.scaling.distance(&log_rows[0], &log_rows[2]), 1.0f);
}

TEST(ScalingMatrix, NoMeasurableVariableStopsTheRun) {
  NormsRun r({{1, 2}, {1, 2}});
  EXPECT_THROW(r.scale("NLM", 1), console::RunStop);
  EXPECT_NO_THROW(r.scale("NLM", 0));
}

TEST(ScalingMatrix, MahalanobisInvertsCovarianceAndOtherNumbersBuildItToo) {
  // Covariances divided by NSAMP = 4: rows (4, 2) and (2, 3).
  NormsRun r({{-2, -3}, {-2, 1}, {2, 1}, {2, 1}});
  r.scale("NLM", 3);
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 1), 0.375f);
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 2), -0.25f);
  EXPECT_FLOAT_EQ(r.scaling.cc(2, 2), 0.5f);
  auto rows = norms::sample_rows(r.table, 4, 2);
  // d = (4, 4): (16*0.375 - 2*16*0.25 + 16*0.5) / 2 under norm 3.
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[0], &rows[6]), 3.0f);
  r.scale("NLM", 7);  // the same matrix, measured with its diagonal only
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 2), -0.25f);
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[0], &rows[6]), 7.0f);
}

TEST(ScalingMatrix, MahalanobisInvertsTheMeasuredVariablesOnly) {
  // The example above with a constant variable between its two variables.
  NormsRun r({{-2, 7, -3}, {-2, 7, 1}, {2, 7, 1}, {2, 7, 1}});
  r.scale("NLM", 3);
  EXPECT_FALSE(r.scaling.measures(2));
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 1), 0.375f);
  EXPECT_FLOAT_EQ(r.scaling.cc(1, 3), -0.25f);
  EXPECT_FLOAT_EQ(r.scaling.cc(3, 1), -0.25f);
  EXPECT_FLOAT_EQ(r.scaling.cc(3, 3), 0.5f);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(r.scaling.cc(2, k) + r.scaling.cc(k, 2), 0.0f);
  // Still divided by the two measured variables, also with one missing.
  auto rows = norms::sample_rows(r.table, 4, 3);
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[0], &rows[9]), 3.0f);
  rows[9] = M;
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[0], &rows[9]), 16.0f * 0.5f);
  // The check: the warning, the heading, then identity rows with a zero row.
  const auto lines = r.report_lines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[4], "            1.00  0.00  0.00");
  EXPECT_EQ(lines[5], "            0.00  0.00  0.00");
  EXPECT_EQ(lines[6], "            0.00  0.00  1.00");
}

TEST(ScalingMatrix, DependentVariablesStopTheRunNamingTheVariable) {
  // Shares that add up to 100: the third is the rest of the first two.
  unsigned seed = 3;
  std::vector<std::vector<float>> rows;
  for (int i = 0; i < 40; ++i) {
    float a = 60 * next_unit(seed), b = 40 * next_unit(seed);
    rows.push_back({a, b, 100 - a - b});
  }
  NormsRun r(rows);
  try {
    r.scale("NLM", 3);
    FAIL() << "no stop";
  } catch (const console::RunStop& stop) {
    EXPECT_STREQ(stop.what(),
                 "COVARIANCE MATRIX CANNOT BE INVERTED AT VARIABLE 3 (V3): CHOOSE ANOTHER "
                 "DISTANCE NORM");
  }
}

}  // namespace
