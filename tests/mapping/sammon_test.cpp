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
#include "mapping_support.hpp"

namespace {

using mapping::PairTables;
using mapping_test::MappingRun;
using mapping_test::Rows;

// The iteration computed the plain way: every power taken where it is used,
// one pair at a time, the last sample moved by its own formula.
struct Literal {
  std::vector<float> x, y;  // configuration after the last iteration
  std::vector<float> errors;
  float best_error = 10000.0f;
  int best_iteration = 0;
};

void literal_map(const std::vector<float>& x, const std::vector<float>& y, std::vector<float>& d) {
  const int n = static_cast<int>(x.size());
  d.clear();
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      float v = std::sqrt((x[i] - x[j]) * (x[i] - x[j]) + (y[i] - y[j]) * (y[i] - y[j]));
      if (v == 0.0f) v = 0.001f;
      d.push_back(v);
    }
  }
}

// The power as the mapping gets it, an answer known only at run time: with a
// constant power the compiler may turn pow(D*, -1) into 1 / D*, which differs
// from the library's pow in the last bit now and then.
float run_time(float v) {
  volatile float held = v;
  return held;
}

Literal literal_mapping(const MappingRun& r, std::vector<float> x, std::vector<float> y,
                        float power, float step, int iterations) {
  const float p = run_time(power);
  const int n = r.table.sample_count;
  const int m = r.table.variable_count;
  const std::vector<float> rows = norms::sample_rows(r.table, n, m);
  std::vector<float> target;
  double SW = 0.0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      float Ds = std::sqrt(2.0f * r.scaling.distance(&rows[i * m], &rows[j * m]));
      if (Ds == 0.0f) Ds = 0.001f;
      target.push_back(Ds);
      SW += std::pow(Ds, p);
    }
  }
  SW = SW * 2.0;
  std::vector<float> d;
  literal_map(x, y, d);
  std::vector<double> G1(n, 0.0), G2(n, 0.0);
  Literal out;
  for (int t = 1; t <= iterations; ++t) {
    double E = 0.0;
    for (std::vector<float>* Y : {&x, &y}) {
      std::size_t pair = 0;
      for (int i = 0; i < n - 1; ++i) {
        double s1 = 0.0, s2 = 0.0;
        for (int j = i + 1; j < n; ++j, ++pair) {
          const float Ds = target[pair], dd = d[pair];
          const float rr = (dd - Ds) / Ds;
          E += rr * rr * std::pow(Ds, p);
          const float delta = (*Y)[i] - (*Y)[j];
          const float q = Ds / dd;
          const float w = std::pow(Ds, p - 2.0f);
          const float g = w * (1.0f - q) * delta;
          G1[j] += g;
          s1 += g;
          const float h = w * ((1.0f - q) + q * ((delta / dd) * (delta / dd)));
          G2[j] += h;
          s2 += h;
        }
        s1 = s1 - G1[i];
        s2 = s2 + G2[i];
        G1[i] = G2[i] = 0.0;
        (*Y)[i] = static_cast<float>((*Y)[i] - static_cast<double>(step) * s1 / std::fabs(s2));
      }
      (*Y)[n - 1] = static_cast<float>((*Y)[n - 1] + static_cast<double>(step) * G1[n - 1] /
                                                         std::fabs(G2[n - 1]));
      G1[n - 1] = G2[n - 1] = 0.0;
    }
    literal_map(x, y, d);
    E = E / SW;
    if (E < out.best_error) {
      out.best_error = static_cast<float>(E);
      out.best_iteration = t;
    }
    out.errors.push_back(static_cast<float>(E));
  }
  out.x = x;
  out.y = y;
  return out;
}

std::vector<float> column(const MappingRun& r, int k) {
  std::vector<float> v;
  for (int i = 1; i <= r.table.sample_count; ++i) v.push_back(r.table.value(i, k));
  return v;
}

void expect_bits(const std::vector<float>& expected, const float* actual, const char* what) {
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(std::bit_cast<std::uint32_t>(expected[k]), std::bit_cast<std::uint32_t>(actual[k]))
        << what << " " << k + 1 << ": " << expected[k] << " against " << actual[k];
  }
}

// A whole mapping on variables 1 and 2 against the literal iteration.
void expect_literal_result(const Rows& rows, int norm, float p, int iterations) {
  MappingRun r(rows, {"1", "2"});
  r.map(norm, iterations, p);
  std::vector<float> x = column(r, 1), y = column(r, 2);
  if (norm != 0) {
    const auto& stats = r.scaling.statistics();
    for (float& v : x) v /= std::sqrt(stats.var[0]);
    for (float& v : y) v /= std::sqrt(stats.var[1]);
  }
  const Literal expected = literal_mapping(r, x, y, p, norm == 0 ? 0.3f : 0.2f, iterations);
  SCOPED_TRACE("norm " + std::to_string(norm) + ", p " + std::to_string(p) + ", " +
               std::to_string(rows.size()) + " samples");
  expect_bits(expected.x, r.storage.config_x.data(), "X of sample");
  expect_bits(expected.y, r.storage.config_y.data(), "Y of sample");
  expect_bits(expected.errors, r.storage.errors.data(), "error of iteration");
  EXPECT_TRUE(r.report_has(" ON ITERATION" +
                           std::string(expected.best_iteration < 10 ? "   " : "  ") +
                           std::to_string(expected.best_iteration)));
}

TEST(SammonMapping, EqualsTheLiteralIterationBitForBit) {
  const Rows rows = mapping_test::random_rows(60, 4, 11);
  expect_literal_result(rows, 0, 1.0f, 30);
  expect_literal_result(rows, 1, 1.0f, 30);
  expect_literal_result(rows, 1, 2.0f, 30);
  expect_literal_result(rows, 3, 1.5f, 25);
}

TEST(SammonMapping, ThroughTheScratchFilesEqualsTheLiteralIterationBitForBit) {
  const Rows rows = mapping_test::random_rows(1200, 3, 5);
  expect_literal_result(rows, 1, 1.0f, 2);
}

// Two samples alike in every variable, and two points that coincide.
TEST(SammonDistances, ZeroDistancesBecomeTheSmallestDistance) {
  MappingRun r({{1, 2, 3}, {1, 2, 3}, {2, 2, 3}});
  r.scaling.scale("NLM", 3, 3, -999.0f, 0, r.run);
  PairTables pairs;
  const std::vector<float> rows = norms::sample_rows(r.table, 3, 3);
  const mapping::TargetSummary summary =
      mapping::target_distances(rows, 3, 3, r.scaling, 1.0f, pairs);
  EXPECT_EQ(pairs.target[0], 0.001f);
  EXPECT_FLOAT_EQ(pairs.target[1], std::sqrt(2.0f / 3.0f));
  EXPECT_EQ(summary.negative, 0u);
  EXPECT_DOUBLE_EQ(summary.SW, 2.0 * (0.001f + 2.0 * pairs.target[1]));
  const std::vector<float> x = {5, 5, 8}, y = {1, 1, 5};
  std::vector<float> d(3);
  mapping::map_distances(x, y, 3, d);
  EXPECT_EQ(d, (std::vector<float>{0.001f, 5.0f, 5.0f}));
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
  PairTables pairs;
};

PassCase pass_case(int n, unsigned seed, float p) {
  PassCase c{n, {}, {}, {}};
  for (int i = 0; i < n; ++i) {
    c.x.push_back(mapping_test::next_unit(seed) * 4.0f);
    c.y.push_back(mapping_test::next_unit(seed) * 4.0f);
  }
  c.pairs.resize(mapping::pair_count(n));
  mapping::map_distances(c.x, c.y, n, c.pairs.map);
  for (std::size_t k = 0; k < c.pairs.target.size(); ++k) {
    const float Ds = 0.5f + mapping_test::next_unit(seed) * 3.0f;
    c.pairs.target[k] = Ds;
    c.pairs.target_p[k] = std::pow(Ds, p);
    c.pairs.weight[k] = std::pow(Ds, p - 2.0f);
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
      const double Ds = c.pairs.target[k], d = c.pairs.map[k], w = c.pairs.weight[k];
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

TEST(CoordinatePass, EverySampleTheLastIncludedMovesByItsWrittenOutStepInBothPasses) {
  PassCase c = pass_case(40, 3, 1.0f);
  std::vector<double> G1(40, 0.0), G2(40, 0.0);
  double E = 0.0;
  for (std::vector<float>* Y : {&c.x, &c.y}) {
    const std::vector<float> before = *Y;
    const std::vector<double> expected = written_out_moves(c, before, 0.2f);
    mapping::coordinate_pass(c.pairs, *Y, 40, 0.2f, G1, G2, E);
    expect_moves(expected, before, *Y, Y == &c.x ? "first pass" : "second pass");
    EXPECT_TRUE(std::all_of(G1.begin(), G1.end(), [](double v) { return v == 0.0; }));
    EXPECT_TRUE(std::all_of(G2.begin(), G2.end(), [](double v) { return v == 0.0; }));
  }
}

TEST(CoordinatePass, MovesDoNotDependOnTheOrderOfTheSamples) {
  const int n = 25;
  PassCase c = pass_case(n, 9, 2.0f);
  // The same samples numbered backwards.
  PassCase reversed{n, {c.x.rbegin(), c.x.rend()}, {c.y.rbegin(), c.y.rend()}, {}};
  reversed.pairs.resize(mapping::pair_count(n));
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      const std::size_t from = pair_index(n - 1 - j, n - 1 - i, n), to = pair_index(i, j, n);
      reversed.pairs.target[to] = c.pairs.target[from];
      reversed.pairs.target_p[to] = c.pairs.target_p[from];
      reversed.pairs.weight[to] = c.pairs.weight[from];
      reversed.pairs.map[to] = c.pairs.map[from];
    }
  }
  std::vector<double> G1(n, 0.0), G2(n, 0.0);
  double E = 0.0, E_reversed = 0.0;
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<float>& Y = pass == 0 ? c.x : c.y;
    std::vector<float>& R = pass == 0 ? reversed.x : reversed.y;
    mapping::coordinate_pass(c.pairs, Y, n, 0.3f, G1, G2, E);
    mapping::coordinate_pass(reversed.pairs, R, n, 0.3f, G1, G2, E_reversed);
    for (int i = 0; i < n; ++i) {
      EXPECT_NEAR(Y[i], R[n - 1 - i], 1e-5f) << "pass " << pass + 1 << ", sample " << i + 1;
    }
  }
  EXPECT_NEAR(E, E_reversed, 1e-9 * E);
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
