// The statistics listing, the choice and confirmation of the coordinate
// variables, the sample colours and the initial configuration.

#include "mapping/configuration.hpp"

#include <gtest/gtest.h>

#include "mapping_support.hpp"

namespace {

using mapping::Coordinates;
using mapping_test::MappingRun;
using mapping_test::Rows;

norms::FeatureStatistics with_variances(std::vector<float> variances) {
  norms::FeatureStatistics stats;
  for (std::size_t k = 0; k < variances.size(); ++k) stats.var[k] = variances[k];
  return stats;
}

void expect_offered(int norm, std::vector<float> variances, int x, int y) {
  const int m = static_cast<int>(variances.size());
  const Coordinates c = mapping::offered_coordinates(norm, with_variances(variances), m);
  EXPECT_EQ(c.x, x) << "norm " << norm << ", " << m << " variables";
  EXPECT_EQ(c.y, y) << "norm " << norm << ", " << m << " variables";
}

TEST(OfferedCoordinates, EuclideanTakesTheTwoLargestVariancesTiesToTheLowerNumber) {
  expect_offered(0, {4, 9, 9}, 2, 3);
  expect_offered(0, {9, 4, 9}, 1, 3);
  expect_offered(0, {1, 2, 3, 4, 5}, 5, 4);
}

TEST(OfferedCoordinates, EuclideanWithOneSpreadVariableFallsBackToVariableOne) {
  expect_offered(0, {0, 0, 6, 0}, 3, 1);
  expect_offered(0, {6, 0, 0}, 1, 1);
  expect_offered(0, {2}, 1, 1);
}

TEST(OfferedCoordinates, OtherNormsOfferVariablesOneAndTwo) {
  expect_offered(1, {1, 5, 9}, 1, 2);
  expect_offered(2, {1, 5, 9}, 1, 2);
  expect_offered(3, {1, 5, 9}, 1, 2);
  // One variable: there is no variable 2 to offer.
  expect_offered(1, {5}, 1, 1);
  EXPECT_FLOAT_EQ(mapping::step_factor(0), 0.3f);
  EXPECT_FLOAT_EQ(mapping::step_factor(1), 0.2f);
  EXPECT_FLOAT_EQ(mapping::step_factor(3), 0.2f);
}

TEST(ConfirmCoordinates, BlankAnswersKeepTheOfferedVariables) {
  MappingRun r({{1, 2, 3}, {4, 5, 6}}, {"", ""});
  const Coordinates c = mapping::confirm_coordinates(r.run, {3, 1}, 3);
  EXPECT_EQ(c.x, 3);
  EXPECT_EQ(c.y, 1);
  EXPECT_EQ(r.screen.transcript(),
            " Select independent variables for initial NLM setting\n"
            " Enter number of X-coordinate: <  3> Enter number of Y-coordinate: <  1>");
  EXPECT_EQ(r.screen.clear_count(), 1);
}

TEST(ConfirmCoordinates, AnAnswerOutsideTheVariablesIsRefusedAndAskedAgain) {
  MappingRun r({{1, 2, 3}, {4, 5, 6}}, {"4", "0", "2", "-1", "3"});
  const Coordinates c = mapping::confirm_coordinates(r.run, {1, 2}, 3);
  EXPECT_EQ(c.x, 2);
  EXPECT_EQ(c.y, 3);
  EXPECT_EQ(
      r.screen.transcript(),
      " Select independent variables for initial NLM setting\n"
      " Enter number of X-coordinate: <  1> THERE IS NO VARIABLE 4: GIVE A NUMBER FROM 1 TO 3\n"
      " Enter number of X-coordinate: <  1> THERE IS NO VARIABLE 0: GIVE A NUMBER FROM 1 TO 3\n"
      " Enter number of X-coordinate: <  1>"
      " Enter number of Y-coordinate: <  2> THERE IS NO VARIABLE -1: GIVE A NUMBER FROM 1 TO 3\n"
      " Enter number of Y-coordinate: <  2>");
}

TEST(SampleColours, AnyMissingValueMakesColourTwelve) {
  MappingRun r({{1, 2, 3}, {1, 2, -999}, {-999, 2, 3}, {4, 5, 6}});
  std::vector<int> colours(4, 0);
  mapping::sample_colours(r.table, 4, 3, -999.0f, colours);
  EXPECT_EQ(colours, (std::vector<int>{1, 12, 12, 1}));
  // Only the m selected variables count.
  mapping::sample_colours(r.table, 4, 2, -999.0f, colours);
  EXPECT_EQ(colours, (std::vector<int>{1, 1, 12, 1}));
}

TEST(InitialConfiguration, EuclideanCopiesRawValuesMissingCodeIncluded) {
  MappingRun r({{1.5f, 7, 3}, {-999, 8, 2}, {2.5f, 9, -999}});
  norms::FeatureStatistics stats;
  mapping::initial_configuration(r.run, 0, {1, 3}, stats, 3, -999.0f);
  EXPECT_EQ(std::vector<float>(r.storage.config_x.begin(), r.storage.config_x.begin() + 3),
            (std::vector<float>{1.5f, -999, 2.5f}));
  EXPECT_EQ(std::vector<float>(r.storage.config_y.begin(), r.storage.config_y.begin() + 3),
            (std::vector<float>{3, 2, -999}));
}

TEST(InitialConfiguration, MeansNormDividesPresentValuesAndKeepsTheCodeForMissingOnes) {
  MappingRun r({{2, 6}, {4, -999}, {6, 2}});
  norms::FeatureStatistics stats;
  stats.mean[0] = 4.0f;
  stats.mean[1] = 4.0f;
  mapping::initial_configuration(r.run, 2, {1, 2}, stats, 3, -999.0f);
  EXPECT_FLOAT_EQ(r.storage.config_x[1], 1.0f);  // X present: X / mean(x)
  EXPECT_EQ(r.storage.config_y[1], -999.0f);     // Y missing: the code itself
  EXPECT_FLOAT_EQ(r.storage.config_y[0], 1.5f);
  EXPECT_FLOAT_EQ(r.storage.config_x[2], 1.5f);
}

TEST(InitialConfiguration, VarianceNormsDivideByTheStandardDeviation) {
  MappingRun r({{2, 6}, {4, 3}});
  norms::FeatureStatistics stats;
  stats.var[0] = 4.0f;
  stats.var[1] = 9.0f;
  for (int norm : {1, 3}) {
    mapping::initial_configuration(r.run, norm, {1, 2}, stats, 2, -999.0f);
    EXPECT_FLOAT_EQ(r.storage.config_x[1], 2.0f);
    EXPECT_FLOAT_EQ(r.storage.config_y[0], 2.0f);
  }
  EXPECT_EQ(r.report_lines().size(), 0u);
}

TEST(InitialConfiguration, AZeroDivisorIsReportedAndTheRawValuesAreUsed) {
  MappingRun r({{-1, 6}, {1, 3}});
  norms::FeatureStatistics stats;
  stats.mean[0] = 0.0f;  // variable 1 has mean 0
  stats.mean[1] = 4.5f;
  mapping::initial_configuration(r.run, 2, {1, 2}, stats, 2, -999.0f);
  EXPECT_EQ(r.storage.config_x[0], -1.0f);
  EXPECT_EQ(r.storage.config_x[1], 1.0f);
  EXPECT_FLOAT_EQ(r.storage.config_y[1], 3.0f / 4.5f);
  stats.var[0] = 0.0f;
  stats.var[1] = 0.0f;
  mapping::initial_configuration(r.run, 1, {2, 1}, stats, 2, -999.0f);
  EXPECT_EQ(r.storage.config_x[0], 6.0f);
  EXPECT_EQ(
      r.report_lines(),
      (std::vector<std::string>{
          " X-COORDINATE VARIABLE   1 VAR1       HAS ZERO MEAN: ITS RAW VALUES ARE USED",
          " X-COORDINATE VARIABLE   2 VAR2       HAS ZERO VARIANCE: ITS RAW VALUES ARE USED",
          " Y-COORDINATE VARIABLE   1 VAR1       HAS ZERO VARIANCE: ITS RAW VALUES ARE USED"}));
  EXPECT_NE(r.screen.transcript().find("HAS ZERO MEAN"), std::string::npos);
}

TEST(StatisticsListing, ReportAndScreenLinesPerVariable) {
  MappingRun r({{1, 10}, {3, 10}, {-999, 10}});
  norms::FeatureStatistics stats;
  stats.mean[0] = 2.0f;
  stats.var[0] = 2.0f;
  stats.count[0] = 2;
  stats.mean[1] = 10.0f;
  stats.var[1] = 0.0f;
  stats.count[1] = 3;
  mapping::list_statistics(r.run, stats, 2);
  EXPECT_EQ(r.report_lines(),
            (std::vector<std::string>{" Means, Stand. dev. and Numb. of observations",
                                      " VAR1            2.000000      1.414214     2",
                                      " VAR2           10.000000      0.000000     3"}));
  EXPECT_EQ(r.screen.transcript(),
            " Means, Stand. dev. and Numb. of observations\n"
            "   1 VAR1            2.000000      1.414214     2\n"
            "   2 VAR2           10.000000      0.000000     3\n");
}

}  // namespace
