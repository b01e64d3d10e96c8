// The Sammon iteration: distances, the coordinate passes, the best
// configuration, and whole mappings against a literal step-by-step
// computation of the same iteration.

#include "mapping/sammon.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "console/run_stop.hpp"
#include "literal_mapping.hpp"
#include "mapping_support.hpp"

namespace {

using mapping::PairTables;
using mapping_test::Literal;
using mapping_test::MappingRun;
using mapping_test::Rows;

void expect_bits(const std::vector<float>& expected, const float* actual, const char* what) {
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(std::bit_cast<std::uint32_t>(expected[k]), std::bit_cast<std::uint32_t>(actual[k]))
        << what << " " << k + 1 << ": " << expected[k] << " against " << actual[k];
  }
}

// A whole mapping on variables 1 and 2 against the literal iteration.
void expect_literal_result(const Rows& rows, int norm, float p, int iterations, int threads) {
  MappingRun r(rows, {"1", "2"});
  r.map(norm, iterations, p, threads);
  const Literal expected = mapping_test::literal_mapping(
      r, mapping_test::starting_coordinate(r, 1, norm),
      mapping_test::starting_coordinate(r, 2, norm), p, norm == 0 ? 0.3f : 0.2f, iterations);
  SCOPED_TRACE("norm " + std::to_string(norm) + ", p " + std::to_string(p) + ", " +
               std::to_string(rows.size()) + " samples, " + std::to_string(threads) + " threads");
  expect_bits(expected.x, r.storage.config_x.data(), "X of sample");
  expect_bits(expected.y, r.storage.config_y.data(), "Y of sample");
  expect_bits(expected.errors, r.storage.errors.data(), "error of iteration");
  EXPECT_TRUE(r.report_has(" ON ITERATION" +
                           std::string(expected.best_iteration < 10 ? "   " : "  ") +
                           std::to_string(expected.best_iteration)));
}

TEST(SammonMapping, EqualsTheLiteralIterationBitForBitOnAnyNumberOfThreads) {
  const Rows rows = mapping_test::random_rows(60, 4, 11);
  for (const int threads : {1, 2, 5}) {
    expect_literal_result(rows, 0, 1.0f, 30, threads);
    expect_literal_result(rows, 1, 1.0f, 30, threads);
    expect_literal_result(rows, 1, 2.0f, 30, threads);
    expect_literal_result(rows, 3, 1.5f, 25, threads);
  }
}

TEST(SammonMapping, AboveTheScratchFileThresholdEqualsTheLiteralIterationBitForBit) {
  const Rows rows = mapping_test::random_rows(1200, 3, 5);
  expect_literal_result(rows, 1, 1.0f, 2, 1);
  expect_literal_result(rows, 1, 1.0f, 2, 3);
}

// Two samples alike in every variable, and two points that coincide.
TEST(SammonDistances, ZeroDistancesBecomeTheSmallestDistance) {
  MappingRun r({{1, 2, 3}, {1, 2, 3}, {2, 2, 3}});
  r.scaling.scale("NLM", 3, 3, -999.0f, 0, r.run);
  PairTables pairs;
  parallel::Team team(2);
  const std::vector<float> rows = norms::sample_rows(r.table, 3, 3);
  const mapping::TargetSummary summary =
      mapping::target_distances(rows, 3, 3, r.scaling, 1.0f, pairs, team);
  EXPECT_EQ(pairs.target[0], 0.001f);
  EXPECT_FLOAT_EQ(pairs.target[1], std::sqrt(2.0f / 3.0f));
  EXPECT_EQ(summary.negative, 0u);
  EXPECT_DOUBLE_EQ(summary.SW, 2.0 * (0.001f + 2.0 * pairs.target[1]));
  const std::vector<float> x = {5, 5, 8}, y = {1, 1, 5};
  std::vector<float> d(3);
  mapping::map_distances(x, y, 3, d, team);
  EXPECT_EQ(d, (std::vector<float>{0.001f, 5.0f, 5.0f}));
}

// The target distances are shared out by blocks of pairs; the powers and
// SW come out as the plain loop over the pairs gives them, for any number of
// threads, also when the powers are the distances themselves (p = 1).
TEST(SammonDistances, TargetsPowersAndTheirSumAreThoseOfThePlainLoop) {
  // Values over six orders of magnitude, so that adding the powers in
  // another order would round differently.
  Rows spread = mapping_test::random_rows(700, 3, 19);
  for (auto& row : spread) {
    for (float& v : row) v = std::pow(10.0f, 2.0f * v);
  }
  MappingRun r(spread);
  r.scaling.scale("NLM", 3, 700, -999.0f, 1, r.run);
  const std::vector<float> rows = norms::sample_rows(r.table, 700, 3);
  for (const float power : {1.0f, 1.5f}) {
    const float p = mapping_test::run_time(power);
    std::vector<float> target, powers, weights;
    double SW = 0.0;
    for (int i = 0; i < 700; ++i) {
      for (int j = i + 1; j < 700; ++j) {
        const float Ds = std::sqrt(2.0f * r.scaling.distance(&rows[i * 3], &rows[j * 3]));
        target.push_back(Ds);
        powers.push_back(std::pow(Ds, p));
        weights.push_back(std::pow(Ds, p - 2.0f));
        SW += powers.back();
      }
    }
    SW = 2.0 * SW;
    for (const int threads : {1, 2, 5}) {
      parallel::Team team(threads);
      PairTables pairs;
      const mapping::TargetSummary summary =
          mapping::target_distances(rows, 700, 3, r.scaling, power, pairs, team);
      EXPECT_EQ(summary.SW, SW) << threads << " threads, p " << power;
      expect_bits(target, pairs.target.data(), "D* of pair");
      expect_bits(powers, pairs.powers(), "D*^p of pair");
      expect_bits(weights, pairs.weight.data(), "D*^(p-2) of pair");
    }
  }
}

TEST(SammonDistances, PairsWithoutACommonVariableAreCounted) {
  MappingRun r({{1, -999, 3}, {-999, 2, -999}, {1, 2, 3}, {-999, 5, -999}});
  r.scaling.scale("NLM", 3, 4, -999.0f, 0, r.run);
  const std::vector<float> rows = norms::sample_rows(r.table, 4, 3);
  EXPECT_EQ(mapping::pairs_without_common_variable(rows, 4, 3, -999.0f, r.scaling), 2u);
}

// A pass against the written-out move of every sample, computed from the
// coordinates at the start of the pass in double precision.
struct PassCase {
  int n;
  std::vector<float> x, y;
  std::vector<float> map;  // d of the pairs of x and y
  PairTables pairs;
};

PassCase pass_case(int n, unsigned seed, float p) {
  PassCase c{n, {}, {}, {}, {}};
  for (int i = 0; i < n; ++i) {
    c.x.push_back(mapping_test::next_unit(seed) * 4.0f);
    c.y.push_back(mapping_test::next_unit(seed) * 4.0f);
  }
  mapping_test::literal_map(c.x, c.y, c.map);
  for (std::size_t k = 0; k < c.map.size(); ++k) {
    const float Ds = 0.5f + mapping_test::next_unit(seed) * 3.0f;
    c.pairs.target.push_back(Ds);
    c.pairs.target_p.push_back(std::pow(Ds, p));
    c.pairs.weight.push_back(std::pow(Ds, p - 2.0f));
  }
  return c;
}

std::size_t pair_index(int i, int j, int n) {  // 0-based i < j
  return static_cast<std::size_t>(i) * (2 * n - i - 1) / 2 + static_cast<std::size_t>(j - i - 1);
}

std::vector<double> written_out_moves(const PassCase& c, const std::vector<float>& Y, float step) {
  std::vector<double> moves;
  for (int i = 0; i < c.n; ++i) {
    double S1 = 0.0, S2 = 0.0;
    for (int j = 0; j < c.n; ++j) {
      if (j == i) continue;
      const std::size_t k = pair_index(std::min(i, j), std::max(i, j), c.n);
      const double Ds = c.pairs.target[k], d = c.map[k], w = c.pairs.weight[k];
      const double delta = static_cast<double>(Y[i]) - Y[j];
      S1 += w * (1.0 - Ds / d) * delta;
      S2 += w * ((1.0 - Ds / d) + (Ds / d) * (delta / d) * (delta / d));
    }
    moves.push_back(-step * S1 / std::fabs(S2));
  }
  return moves;
}

void expect_moves(const std::vector<double>& expected, const std::vector<float>& before,
                  const std::vector<float>& after, const char* pass) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const double move = static_cast<double>(after[i]) - before[i];
    EXPECT_NEAR(move, expected[i], 1e-5 * (1.0 + std::fabs(before[i])))
        << pass << ", sample " << i + 1 << " of " << expected.size();
  }
}

bool all_zero(const std::vector<double>& v) {
  return std::all_of(v.begin(), v.end(), [](double g) { return g == 0.0; });
}

TEST(CoordinatePass, EverySampleTheLastIncludedMovesByItsWrittenOutStepInBothPasses) {
  const PassCase c = pass_case(40, 3, 1.0f);
  const mapping::StartingPoints start{c.x, c.y};
  std::vector<double> G1(40, 0.0), G2(40, 0.0);
  for (int a = 0; a < 2; ++a) {
    const std::vector<float>& before = a == 0 ? c.x : c.y;
    std::vector<float> moved(40, -1.0f);
    mapping::coordinate_pass(c.pairs, start, a, moved, 0.2f, G1, G2);
    expect_moves(written_out_moves(c, before, 0.2f), before, moved,
                 a == 0 ? "first pass" : "second pass");
    EXPECT_TRUE(all_zero(G1) && all_zero(G2));
  }
}

TEST(ErrorTerms, AreAddedOntoTheSumInPairOrder) {
  const PassCase c = pass_case(300, 5, 1.5f);
  double expected = 0.25;
  for (std::size_t k = 0; k < c.map.size(); ++k) {
    const float Ds = c.pairs.target[k];
    const float r = (c.map[k] - Ds) / Ds;
    expected += r * r * c.pairs.target_p[k];
  }
  EXPECT_EQ(mapping::add_error_terms(c.pairs, {c.x, c.y}, 0.25), expected);
}

TEST(CoordinatePass, MovesDoNotDependOnTheOrderOfTheSamples) {
  const int n = 25;
  PassCase c = pass_case(n, 9, 2.0f);
  // The same samples numbered backwards.
  PassCase reversed{n, {c.x.rbegin(), c.x.rend()}, {c.y.rbegin(), c.y.rend()}, {}, c.pairs};
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      const std::size_t from = pair_index(n - 1 - j, n - 1 - i, n), to = pair_index(i, j, n);
      reversed.pairs.target[to] = c.pairs.target[from];
      reversed.pairs.target_p[to] = c.pairs.target_p[from];
      reversed.pairs.weight[to] = c.pairs.weight[from];
    }
  }
  std::vector<double> G1(n, 0.0), G2(n, 0.0);
  for (int a = 0; a < 2; ++a) {
    std::vector<float> Y(n), R(n);
    mapping::coordinate_pass(c.pairs, {c.x, c.y}, a, Y, 0.3f, G1, G2);
    mapping::coordinate_pass(reversed.pairs, {reversed.x, reversed.y}, a, R, 0.3f, G1, G2);
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(Y[i], R[n - 1 - i], 1e-5f) << "pass " << a + 1 << ", sample " << i + 1;
    }
  }
  const double E = mapping::add_error_terms(c.pairs, {c.x, c.y}, 0.0);
  EXPECT_NEAR(E, mapping::add_error_terms(reversed.pairs, {reversed.x, reversed.y}, 0.0), 1e-9 * E);
}

TEST(SammonMapping, FourCornersOfASquareAreMappedWithoutErrorOrMoves) {
  const Rows square = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  MappingRun r(square);
  r.map(0, 5);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.storage.config_x[i], square[i][0]);
    EXPECT_EQ(r.storage.config_y[i], square[i][1]);
  }
  for (int t = 0; t < 5; ++t) EXPECT_EQ(r.storage.errors[t], 0.0f);
  EXPECT_TRUE(r.report_has(" MINIMUM ERROR=   0.000000E+00 ON ITERATION   1"));
}

TEST(SammonMapping, NoIterationBelowTheStartingBestLeavesIterationZero) {
  // A sample whose coordinates are the far-off missing code, and only two
  // iterations to bring it near: every error stays above 10000.
  MappingRun r({{1, 1}, {2, 1.5f}, {1.5f, -99999}, {1.2f, 2}}, {"", ""}, -99999.0f);
  r.map(0, 2);
  EXPECT_GT(r.storage.errors[0], 10000.0f);
  EXPECT_GT(r.storage.errors[1], 10000.0f);
  EXPECT_TRUE(r.report_has(" MINIMUM ERROR=   0.100000E+05 ON ITERATION   0"));
  // The best configuration was never filled.
  for (const std::string& line : r.block_after("1FINAL 2-SPACE CONFIGURATION")) {
    EXPECT_EQ(line.substr(18), "     0.0000     0.0000");
  }
  // ... while the configuration table holds the last iteration's moves.
  EXPECT_NE(r.storage.config_y[2], -99999.0f);
}

// Two samples above one another, already at their target distance: in the
// pass over X every term is 0, so both sums are 0 and nobody moves.
TEST(SammonMapping, SumsOfZeroMoveNobody) {
  MappingRun r({{0, 0}, {0, 1}}, {"1", "2"});
  r.map(0, 3);
  EXPECT_EQ((std::vector<float>{r.storage.config_x[0], r.storage.config_x[1]}),
            (std::vector<float>{0.0f, 0.0f}));
  EXPECT_EQ((std::vector<float>{r.storage.config_y[0], r.storage.config_y[1]}),
            (std::vector<float>{0.0f, 1.0f}));
  EXPECT_EQ(r.storage.errors[2], 0.0f);
  for (const std::string& line : r.report_lines()) {
    EXPECT_EQ(line.find("nan"), std::string::npos) << line;
  }
}

TEST(SammonMapping, ASingleSampleGivesErrorZeroAndNoInfinityOrNaN) {
  MappingRun r({{3, 4}});
  r.map(0, 3);
  EXPECT_EQ(r.storage.errors[0], 0.0f);
  EXPECT_TRUE(r.report_has(" FEWER THAN TWO SAMPLES: NO DISTANCES TO MAP, THE MAPPING ERROR IS 0"));
  EXPECT_TRUE(r.report_has(" MINIMUM ERROR=   0.000000E+00 ON ITERATION   1"));
  for (const std::string& line : r.report_lines()) {
    EXPECT_EQ(line.find("nan"), std::string::npos) << line;
    EXPECT_EQ(line.find("inf"), std::string::npos) << line;
  }
}

TEST(SammonMapping, PairsWithoutACommonVariableAreReportedInOneLine) {
  MappingRun r({{1, 2, -999}, {-999, -999, 3}, {2, 1, 4}, {3, 3, 3}});
  r.map(0, 25);
  EXPECT_TRUE(r.report_has(
      "         1 PAIRS OF SAMPLES HAVE NO VARIABLE IN COMMON: TARGET DISTANCE 0.001"));
}

// A missing code too large to square puts a point out of range: the run stops
// with the same message whether or not the distances go through the scratch files.
TEST(SammonMapping, AnOverflowingConfigurationStopsAlikeWithAndWithoutScratchFiles) {
  for (const int n : {5, 1001}) {
    Rows rows = mapping_test::random_rows(n, 2, 3);
    rows[1][0] = -1e30f;
    MappingRun r(rows, {"", ""}, -1e30f);
    try {
      r.map(0, 1);
      ADD_FAILURE() << n << " samples mapped through an overflow";
    } catch (const console::RunStop& stop) {
      EXPECT_EQ(std::string(stop.what()),
                "MAPPING ERROR OUT OF RANGE IN ITERATION 1: CHECK THE MISSING-VALUE CODE AND THE "
                "POWER OF DISTANCES")
          << n << " samples";
    }
  }
}

TEST(SammonMapping, APowerThatOverflowsTheWeightsStopsTheRunNamingThePower) {
  MappingRun r({{0, 0}, {300, 400}, {1, 1}});
  try {
    r.map(0, 25, 30.0f);
    FAIL() << "the mapping ran with weights out of range";
  } catch (const console::RunStop& stop) {
    EXPECT_EQ(std::string(stop.what()),
              "POWER OF DISTANCES 30 TAKES THE DISTANCE WEIGHTS OUT OF RANGE: CHOOSE A POWER "
              "NEARER 1");
  }
}

}  // namespace
