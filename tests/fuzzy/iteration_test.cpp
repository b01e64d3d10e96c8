// The random start, the membership update with its zero-distance rule, the
// centre update with weights, and the counting of iterations through the
// plain and extragrade phases.
#include "fuzzy/iteration.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "fuzzy/random_start.hpp"
#include "fuzzy_support.hpp"

namespace {

using fuzzy::Count;
using fuzzy::IterationScratch;

Count plain_count(int c, float q = 1.5f) {
  Count count;
  count.c = c;
  count.C1 = c;
  count.q = q;
  count.e = -1.0f / (q - 1.0f);
  count.marker = 'N';
  return count;
}

Count extragrade_count(int c, float alpha, float q = 1.5f) {
  Count count = plain_count(c, q);
  count.C1 = c + 1;
  count.marker = 'X';
  count.A = (1.0f - alpha) / alpha;
  return count;
}

norms::Scaling euclidean(TablesOf& data) {
  console::ScriptedConsole screen;
  console::DialogueUnit unit(screen);
  run::RunStorage storage;
  run::ReportFile report;
  run::RunContext run{screen, unit, data.table, storage, report};
  norms::Scaling scaling;
  scaling.scale("ONE", data.table.variable_count, data.table.sample_count, data.table.missing_code,
                0, run);
  return scaling;
}

float membership_sum(const fuzzy::Tables& t, int i, int C1) {
  float sum = 0.0f;
  for (int k = 1; k <= C1; ++k) sum += t.u(k, i);
  return sum;
}

TEST(RandomStart, FirstSampleOfTwoClustersFromStartNumberOne) {
  TablesOf data(Rows{{0}, {1}, {2}});
  int counter = 1;
  fuzzy::random_start(data.t(), 2, false, counter);
  // Entry 2 (0.9905800) halved, to the power 1/(2-1).
  EXPECT_NEAR(data.t().u(1, 1), 0.5047100, 1e-7);
  EXPECT_NEAR(data.t().u(2, 1), 0.4952900, 1e-7);
  // One draw per sample: the second sample takes entry 3 (0.8523988).
  EXPECT_NEAR(data.t().u(1, 2), 1.0 - 0.8523988 / 2, 1e-7);
  EXPECT_EQ(counter, 4);
}

TEST(RandomStart, ThreeClustersUseRootsAndTheLastTakesTheRest) {
  TablesOf data(Rows{{0}});
  int counter = 1;
  fuzzy::random_start(data.t(), 3, true, counter);
  const double u1 = 1.0 - std::sqrt(0.9905800 / 2);
  const double u2 = (1.0 - u1) * (1.0 - 0.8523988 / 2);
  EXPECT_NEAR(data.t().u(1, 1), u1, 2e-7);
  EXPECT_NEAR(data.t().u(2, 1), u2, 2e-7);
  EXPECT_NEAR(data.t().u(3, 1), 1.0 - u1 - u2, 2e-7);
  EXPECT_EQ(data.t().u(4, 1), 0.0f);  // the extragrade class starts empty
  EXPECT_EQ(counter, 3);
}

TEST(RandomStart, CounterWrapsFrom200ToTheFirstEntry) {
  TablesOf data(Rows{{0}});
  int counter = 200;
  fuzzy::random_start(data.t(), 2, false, counter);
  EXPECT_EQ(counter, 1);
  EXPECT_NEAR(data.t().u(1, 1), 1.0 - 0.7107346 / 2, 1e-7);
}

TEST(RandomStart, CountersOutsideTheTableSelectTheirRemainder) {
  EXPECT_EQ(fuzzy::wrap_start_counter(1), 1);
  EXPECT_EQ(fuzzy::wrap_start_counter(200), 200);
  EXPECT_EQ(fuzzy::wrap_start_counter(201), 1);
  EXPECT_EQ(fuzzy::wrap_start_counter(450), 50);
  EXPECT_EQ(fuzzy::wrap_start_counter(0), 200);  // its first draw is entry 1, as for 200
  EXPECT_EQ(fuzzy::wrap_start_counter(-1), 199);
  EXPECT_EQ(fuzzy::wrap_start_counter(-2147483647 - 1), 152);
}

TEST(RandomStart, EveryStartMembershipLiesStrictlyInsideAndSumsToOne) {
  std::vector<std::vector<float>> rows(60, std::vector<float>{0.0f});
  TablesOf data(rows);
  int counter = 17;
  for (int c = 2; c <= 35; ++c) {
    fuzzy::random_start(data.t(), c, false, counter);
    for (int i = 1; i <= 60; ++i) {
      for (int k = 1; k <= c; ++k) {
        ASSERT_GT(data.t().u(k, i), 0.0f) << "c=" << c << " i=" << i << " k=" << k;
        ASSERT_LT(data.t().u(k, i), 1.0f);
      }
      ASSERT_NEAR(membership_sum(data.t(), i, c), 1.0f, 1e-5f);
    }
  }
}

// Centres placed by hand, then one membership update.
struct Placed {
  Placed(const std::vector<std::vector<float>>& rows,
         const std::vector<std::vector<float>>& centres)
      : data(rows), scaling(euclidean(data)), scratch(data.t(), 2) {
    for (std::size_t k = 0; k < centres.size(); ++k) {
      for (std::size_t j = 0; j < centres[k].size(); ++j) {
        data.t().v(static_cast<int>(k + 1), static_cast<int>(j + 1)) = centres[k][j];
      }
    }
  }
  float update(const Count& count) {
    return fuzzy::update_memberships(data.t(), count, scaling, scratch);
  }
  TablesOf data;
  norms::Scaling scaling;
  IterationScratch scratch;
};

TEST(Memberships, FollowTheInverseDistancePowers) {
  Placed p({{1, 0}, {4, 0}}, {{0, 0}, {6, 0}});
  p.update(plain_count(2, 2.0f));  // e = -1
  // Sample 1: D = 1/2 and 25/2 (squared distance over NDIM = 2).
  const double a = 1 / 0.5, b = 1 / 12.5;
  EXPECT_NEAR(p.data.t().u(1, 1), a / (a + b), 1e-6);
  EXPECT_NEAR(p.data.t().u(2, 1), b / (a + b), 1e-6);
  EXPECT_NEAR(p.data.t().d(2, 1), 12.5f, 1e-5f);
}

TEST(Memberships, ExtragradeTakesMembershipFromFarSamples) {
  Placed p({{1, 0}, {3, 40}}, {{0, 0}, {6, 0}});
  const Count count = extragrade_count(2, 0.1f, 2.0f);
  p.update(count);
  for (int i = 1; i <= 2; ++i) {
    const double a = 1 / p.data.t().d(1, i), b = 1 / p.data.t().d(2, i);
    const double extra = 1 / (9.0 * (a + b));  // D(c+1) = A * sB with A = 9
    EXPECT_NEAR(p.data.t().d(3, i), 9.0 * (a + b), 1e-4 * 9.0 * (a + b));
    EXPECT_NEAR(p.data.t().u(3, i), extra / (a + b + extra), 1e-6);
    EXPECT_NEAR(membership_sum(p.data.t(), i, 3), 1.0f, 1e-6f);
  }
  EXPECT_GT(p.data.t().u(3, 2), 0.9f);  // far from both centres
  EXPECT_LT(p.data.t().u(3, 1), 0.1f);
}

TEST(Memberships, SampleOnACentreIsCrispAlsoWithExtragrades) {
  for (const Count& count : {plain_count(3), extragrade_count(3, 0.1f)}) {
    Placed p({{2, 2}, {5, 1}}, {{9, 9}, {2, 2}, {0, 0}});
    const float change = p.update(count);
    EXPECT_EQ(p.data.t().u(1, 1), 0.0f);
    EXPECT_EQ(p.data.t().u(2, 1), 1.0f);
    EXPECT_EQ(p.data.t().u(3, 1), 0.0f);
    if (count.extragrade_phase()) {
      EXPECT_EQ(p.data.t().u(4, 1), 0.0f);
    }
    EXPECT_GT(p.data.t().u(3, 2), 0.0f);  // the other sample stays fuzzy
    EXPECT_EQ(change, 1.0f);              // from 0 to 1 on the centre
  }
}

TEST(Memberships, SampleOnTwoCentresGoesToTheHigherNumber) {
  Placed p({{2, 2}}, {{2, 2}, {2, 2}, {7, 7}});
  p.update(plain_count(3));
  EXPECT_EQ(p.data.t().u(1, 1), 0.0f);
  EXPECT_EQ(p.data.t().u(2, 1), 1.0f);
}

TEST(Memberships, OverflowingPowersStillGiveMembershipsThatSumToOne) {
  // Q = 1.02 gives e = -50: (1e-3)^-50 and (2e-3)^-50 are beyond single
  // precision, while their ratio is not.
  Placed p({{0.0316228f}}, {{0}, {0.0316228f * (1 + std::sqrt(2.0f))}});
  const Count count = plain_count(2, 1.02f);
  p.update(count);
  const double ratio = std::pow(double(p.data.t().d(2, 1)) / p.data.t().d(1, 1), count.e);
  EXPECT_NEAR(p.data.t().u(1, 1), 1 / (1 + ratio), 1e-6);
  EXPECT_NEAR(p.data.t().u(2, 1), ratio / (1 + ratio), 1e-6);
  EXPECT_TRUE(std::isfinite(p.data.t().u(2, 1)));
}

// Samples are shared out in blocks among threads; when several cannot be
// measured, the message names the first of them, as going through the
// samples in order would.
TEST(Memberships, ADistanceBeyondSinglePrecisionNamesTheFirstSampleWhateverTheThreads) {
  Rows rows(2000, std::vector<float>{1.0f, 2.0f});
  rows[1299][0] = 3e30f;
  rows[599][1] = -3e30f;
  for (const int threads : {1, 3}) {
    TablesOf data(rows);
    norms::Scaling scaling = euclidean(data);
    IterationScratch scratch(data.t(), threads);
    data.t().v(1, 1) = data.t().v(1, 2) = 0.0f;
    data.t().v(2, 1) = data.t().v(2, 2) = 5.0f;
    try {
      fuzzy::update_memberships(data.t(), plain_count(2), scaling, scratch);
      ADD_FAILURE() << "memberships of an infinite distance";
    } catch (const fuzzy::CountNotComputed& failure) {
      EXPECT_STREQ(failure.what(),
                   "CLUSTER COUNT 2 CANNOT BE COMPUTED: THE DISTANCE OF SAMPLE 600 TO CLASS 1 IS "
                   "NOT A FINITE NUMBER")
          << threads << " threads";
    }
  }
}

TEST(Memberships, LargestClassTiesGoToTheHigherNumber) {
  TablesOf data(Rows{{0}});
  fuzzy::Tables& t = data.t();
  t.u(1, 1) = 0.45f;
  t.u(2, 1) = 0.45f;
  t.u(3, 1) = 0.1f;
  EXPECT_EQ(fuzzy::largest_membership(t, 1, 3).cls, 2);
  t.u(3, 1) = 0.55f;
  EXPECT_EQ(fuzzy::largest_membership(t, 1, 3).cls, 3);
  EXPECT_EQ(fuzzy::largest_membership(t, 1, 3).best, 0.55f);
}

TEST(Centres, WeightedMeansOfThePowersOfTheMemberships) {
  TablesOf data(Rows{{0, 10}, {4, 20}, {8, -999}});
  fuzzy::Tables& t = data.t();
  IterationScratch scratch(t, 2);
  const float u[3] = {0.2f, 0.5f, 0.9f};
  for (int i = 1; i <= 3; ++i) {
    t.u(1, i) = u[i - 1];
    t.u(2, i) = 1 - u[i - 1];
  }
  data.weights[1] = 2.0f;
  fuzzy::update_centres(t, plain_count(2, 2.0f), scratch);
  const double w1 = 0.04, w2 = 0.25 * 2, w3 = 0.81;
  EXPECT_NEAR(t.v(1, 1), (w2 * 4 + w3 * 8) / (w1 + w2 + w3), 1e-6);
  // The missing value of sample 3 leaves it out of variable 2 only.
  EXPECT_NEAR(t.v(1, 2), (w1 * 10 + w2 * 20) / (w1 + w2), 1e-5);
}

TEST(Centres, ZeroWeightSamplesDoNotMoveThemButGetMemberships) {
  auto rows = blobs({{0, 0}, {5, 5}}, 10, 1.0f, 7);
  auto with_outlier = rows;
  with_outlier.push_back({100, -50});
  TablesOf plain(rows);
  TablesOf outlier(with_outlier);
  outlier.weights[with_outlier.size() - 1] = 0.0f;
  for (TablesOf* data : {&plain, &outlier}) {
    int counter = 1;
    fuzzy::random_start(data->t(), 2, false, counter);
  }
  // The outlier draws after all others, so the shared samples start alike.
  norms::Scaling scaling = euclidean(plain);
  IterationScratch s1(plain.t(), 1), s2(outlier.t(), 3);
  for (int it = 0; it < 5; ++it) {
    fuzzy::update_centres(plain.t(), plain_count(2), s1);
    fuzzy::update_centres(outlier.t(), plain_count(2), s2);
    for (int k = 1; k <= 2; ++k) {
      for (int j = 1; j <= 2; ++j) ASSERT_EQ(plain.t().v(k, j), outlier.t().v(k, j));
    }
    fuzzy::update_memberships(plain.t(), plain_count(2), scaling, s1);
    fuzzy::update_memberships(outlier.t(), plain_count(2), scaling, s2);
  }
  const int last = static_cast<int>(with_outlier.size());
  EXPECT_NEAR(membership_sum(outlier.t(), last, 2), 1.0f, 1e-6f);
  EXPECT_GT(outlier.t().u(1, last), 0.0f);
}

TEST(Centres, ClusterWithoutWeightCannotBeComputed) {
  TablesOf data(Rows{{1}, {2}});
  fuzzy::Tables& t = data.t();
  IterationScratch scratch(t, 2);
  for (int i = 1; i <= 2; ++i) {
    t.u(1, i) = 1.0f;
    t.u(2, i) = 0.0f;
  }
  try {
    fuzzy::update_centres(t, plain_count(2), scratch);
    FAIL() << "a zero divisor was not reported";
  } catch (const fuzzy::CountNotComputed& failure) {
    EXPECT_STREQ(failure.what(),
                 "CLUSTER COUNT 2 CANNOT BE COMPUTED: CLUSTER 2 HAS NO WEIGHT ON VARIABLE V1 "
                 "(ZERO DIVISOR IN ITS CENTRE)");
  }
}

// The centre update as the algorithm states it: powers taken per variable,
// sums per centre and variable over the samples.
void literal_centres(const fuzzy::Tables& t, const Count& count, std::vector<float>& V) {
  for (int k = 1; k <= count.c; ++k) {
    for (int j = 1; j <= t.ndim; ++j) {
      float num = 0.0f, den = 0.0f;
      for (int i = 1; i <= t.nsamp; ++i) {
        const float w = t.w[i - 1];
        if (!(w > 0.0f) || !t.present(t.value(i, j))) continue;
        float tk = std::pow(t.u(k, i), count.q);
        if (count.extragrade_phase() && t.d(k, i) >= 1.0E-7f) {
          tk = tk -
               1.0f / (t.d(k, i) * t.d(k, i)) * count.A * std::pow(t.u(count.c + 1, i), count.q);
        }
        num = num + tk * w * t.value(i, j);
        den = den + tk * w;
      }
      V[(k - 1) * t.ndim + (j - 1)] = num / den;
    }
  }
}

TEST(Centres, GiveTheSameBitsAsTheLiteralLoopsOnAnyNumberOfThreads) {
  auto rows = blobs({{0, 0, 1}, {6, 1, 3}, {2, 7, 5}}, 400, 4.0f, 3);
  for (std::size_t i = 0; i < rows.size(); i += 7) rows[i][i % 3] = -999.0f;
  for (const int threads : {1, 2, 5}) {
    TablesOf data(rows);
    for (std::size_t i = 0; i < rows.size(); i += 5) data.weights[i] = 0.25f * (i % 4);
    norms::Scaling scaling = euclidean(data);
    IterationScratch scratch(data.t(), threads);
    int counter = 5;
    fuzzy::random_start(data.t(), 3, true, counter);
    std::vector<float> expected(3 * 3);
    for (const Count& count :
         {plain_count(3), plain_count(3), extragrade_count(3, 0.2f), extragrade_count(3, 0.2f)}) {
      literal_centres(data.t(), count, expected);
      fuzzy::update_centres(data.t(), count, scratch);
      for (int k = 1; k <= 3; ++k) {
        for (int j = 1; j <= 3; ++j) {
          ASSERT_EQ(data.t().v(k, j), expected[(k - 1) * 3 + (j - 1)]) << threads << " threads";
        }
      }
      fuzzy::update_memberships(data.t(), count, scaling, scratch);
    }
  }
}

// A whole count iterated, with its log.
struct Iterated {
  explicit Iterated(const std::vector<std::vector<float>>& rows)
      : data(rows), scaling(euclidean(data)), scratch(data.t(), 2), err(520, -1.0f) {}
  fuzzy::IterationOutcome run(Count& count, int max_iterations, float eps) {
    int counter = 1;
    fuzzy::random_start(data.t(), count.c, count.marker == 'Y', counter);
    fuzzy::IterationLog log{err, storage, nullptr, "ONE", eps, -999.0f};
    return fuzzy::iterate_count(data.t(), count, 0.1f, max_iterations, scaling, scratch, log);
  }
  TablesOf data;
  norms::Scaling scaling;
  IterationScratch scratch;
  run::RunStorage storage;
  std::vector<float> err;
};

const auto three_blobs = [] { return blobs({{0, 0}, {6, 1}, {2, 7}}, 12, 3.0f, 11); };

TEST(Convergence, ExtragradePhaseGoesOnWithTheLastPlainIterationNumber) {
  const float eps = 0.0001f;
  Iterated plain(three_blobs());
  Count p = plain_count(3);
  const auto plain_outcome = plain.run(p, 100, eps);
  ASSERT_LT(plain_outcome.IT, 100);
  EXPECT_LE(plain_outcome.last_change, eps);

  // The extragrade phase on its own, counted from the plain solution.
  Count x = extragrade_count(3, 0.1f);
  int extragrade_iterations = 0;
  float change = 1.0f;
  while (change > eps && extragrade_iterations < 100) {
    fuzzy::update_centres(plain.data.t(), x, plain.scratch);
    change = fuzzy::update_memberships(plain.data.t(), x, plain.scaling, plain.scratch);
    ++extragrade_iterations;
  }
  ASSERT_GT(extragrade_iterations, 1);

  Iterated both(three_blobs());
  Count y = plain_count(3);
  y.C1 = 4;
  y.marker = 'Y';
  const auto outcome = both.run(y, 100, eps);
  EXPECT_EQ(y.marker, 'X');
  EXPECT_EQ(outcome.IT, plain_outcome.IT + extragrade_iterations - 1);
  // The plain errors stand except the last, which the first extragrade
  // iteration replaced.
  for (int t = 1; t < plain_outcome.IT; ++t) EXPECT_EQ(both.err[t - 1], plain.err[t - 1]);
  EXPECT_NE(both.err[plain_outcome.IT - 1], plain.err[plain_outcome.IT - 1]);
  EXPECT_GT(both.err[plain_outcome.IT - 1], eps);
  EXPECT_EQ(both.storage.errors[outcome.IT - 1], outcome.last_change);
  for (int i = 1; i <= both.data.t().nsamp; ++i) {
    EXPECT_EQ(both.storage.colours[i - 1], fuzzy::largest_membership(both.data.t(), i, 4).cls);
  }
}

TEST(Convergence, CountsThatHitTheLimitEndOneOrTwoAbove) {
  Iterated plain(three_blobs());
  Count p = plain_count(3);
  const auto stopped = plain.run(p, 3, -1.0f);  // never converges
  EXPECT_EQ(stopped.IT, 4);
  EXPECT_EQ(plain.err[3], -1.0f);  // position 4 is never stored
  EXPECT_GT(plain.err[2], 0.0f);

  Iterated both(three_blobs());
  Count y = plain_count(3);
  y.C1 = 4;
  y.marker = 'Y';
  EXPECT_EQ(both.run(y, 3, -1.0f).IT, 5);
  EXPECT_GT(both.err[3], 0.0f);  // the single extragrade iteration
  EXPECT_EQ(both.err[4], -1.0f);

  Iterated none(three_blobs());
  Count n = plain_count(3);
  EXPECT_EQ(none.run(n, 0, -1.0f).IT, 2);  // a limit of 0 still runs one iteration
}

}  // namespace
