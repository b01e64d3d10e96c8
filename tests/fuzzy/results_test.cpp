// Validity measures, the sorting of the centres with the renumbering of the
// memberships, and the defuzzified classes.
#include <gtest/gtest.h>

#include <cmath>

#include "fuzzy/centres.hpp"
#include "fuzzy/validity.hpp"
#include "fuzzy_support.hpp"

namespace {

using fuzzy::Count;

Count count_of(int c, bool extragrade) {
  Count count;
  count.c = c;
  count.C1 = extragrade ? c + 1 : c;
  count.q = 2.0f;
  count.e = -1.0f;
  count.marker = extragrade ? 'X' : 'N';
  return count;
}

fuzzy::Validity measure_validity(const fuzzy::Tables& t, const Count& count) {
  parallel::Team team(2);
  return measure_validity(t, count, team);
}

void set_memberships(fuzzy::Tables& t, int i, const std::vector<float>& u) {
  for (std::size_t k = 0; k < u.size(); ++k) t.u(static_cast<int>(k + 1), i) = u[k];
}

TEST(Validity, CrispPartitionIsOneAndZero) {
  TablesOf data(Rows{{0}, {1}, {2}});
  set_memberships(data.t(), 1, {1, 0, 0});
  set_memberships(data.t(), 2, {0, 0, 1});
  set_memberships(data.t(), 3, {0, 1, 0});
  const auto v = measure_validity(data.t(), count_of(3, false));
  EXPECT_FLOAT_EQ(v.F, 1.0f);
  EXPECT_EQ(v.one_minus_F, 0.0f);
  EXPECT_EQ(v.H, 0.0f);
  EXPECT_FALSE(std::signbit(v.H));  // prints 0.000, not -0.000
  const auto s = fuzzy::scale_validity(v, 3);
  EXPECT_FLOAT_EQ(s.Fscaled, 1.0f);
}

TEST(Validity, EvenMembershipsAreTheFuzziestPartition) {
  TablesOf data(Rows{{0}, {1}, {2}, {3}});
  for (int i = 1; i <= 4; ++i) set_memberships(data.t(), i, {0.5f, 0.5f});
  const auto v = measure_validity(data.t(), count_of(2, false));
  EXPECT_FLOAT_EQ(v.F, 0.5f);
  EXPECT_NEAR(v.H, std::log(2.0), 1e-6);
  const auto s = fuzzy::scale_validity(v, 2);
  EXPECT_FLOAT_EQ(s.Fmin, 0.5f);
  EXPECT_EQ(s.Fscaled, 0.0f);
  EXPECT_NEAR(s.Hmax, 0.693147, 1e-6);
  EXPECT_NEAR(s.Hscaled, 1.0, 1e-6);  // H at its upper bound
}

TEST(Validity, ExtragradeClassCountsInFAndHAndTheBounds) {
  TablesOf data(Rows{{0}, {1}});
  set_memberships(data.t(), 1, {0.25f, 0.25f, 0.25f, 0.25f});
  set_memberships(data.t(), 2, {0.7f, 0.1f, 0.1f, 0.1f});
  const auto v = measure_validity(data.t(), count_of(3, true));
  const double F = (4 * 0.0625 + 0.49 + 3 * 0.01) / 2;
  const double H = -(4 * 0.25 * std::log(0.25) + 0.7 * std::log(0.7) + 3 * 0.1 * std::log(0.1)) / 2;
  EXPECT_NEAR(v.F, F, 1e-6);
  EXPECT_NEAR(v.H, H, 1e-6);
  const auto s = fuzzy::scale_validity(v, 4);
  EXPECT_FLOAT_EQ(s.Fmin, 0.25f);
  EXPECT_NEAR(s.Hmax, 1.386294, 1e-6);
  EXPECT_NEAR(s.Fscaled, (F - 0.25) / 0.75, 1e-6);
  EXPECT_NEAR(s.Hscaled, (H - (1 - F)) / (std::log(4.0) - (1 - F)), 1e-5);
}

TEST(Validity, PayoffSumsPowersTimesDistancesWithTheExtragradeTerm) {
  TablesOf data(Rows{{0}, {1}});
  fuzzy::Tables& t = data.t();
  set_memberships(t, 1, {0.6f, 0.3f, 0.1f});
  set_memberships(t, 2, {0.2f, 0.2f, 0.6f});
  const float d[2][3] = {{1.5f, 4.0f, 30.0f}, {2.0f, 0.5f, 7.0f}};
  for (int i = 1; i <= 2; ++i)
    for (int k = 1; k <= 3; ++k) t.d(k, i) = d[i - 1][k - 1];
  const double plain = 0.36 * 1.5 + 0.09 * 4.0 + 0.04 * 2.0 + 0.04 * 0.5;
  const double extra = 0.01 * 30.0 + 0.36 * 7.0;
  EXPECT_NEAR(measure_validity(t, count_of(2, true)).J, plain + extra, 1e-5);
  Count before_extragrade_phase = count_of(2, true);
  before_extragrade_phase.marker = 'Y';
  EXPECT_NEAR(measure_validity(t, before_extragrade_phase).J, plain, 1e-5);
  EXPECT_NEAR(fuzzy::average_extragrade(t, 2), 0.35, 1e-6);
}

// H and J are sums in sample order of terms that are worked out on several
// threads: the same bits as the plain loops for any number of threads.
TEST(Validity, EntropyAndPayoffAreThoseOfThePlainLoopsOnAnyNumberOfThreads) {
  TablesOf data(Rows(3000, std::vector<float>{0.0f}));
  fuzzy::Tables& t = data.t();
  unsigned seed = 41;
  for (int i = 1; i <= 3000; ++i) {
    float rest = 1.0f;
    for (int k = 1; k <= 4; ++k) {
      const float u = k == 4 ? rest : rest * next_unit(seed);
      t.u(k, i) = i % 97 == 0 && k == 2 ? 0.0f : u;
      rest = rest - t.u(k, i);
      t.d(k, i) = std::pow(10.0f, 6.0f * next_unit(seed) - 3.0f);
    }
  }
  Count count = count_of(3, true);
  count.q = 1.5f;
  float H = 0.0f, J = 0.0f;
  for (int i = 1; i <= 3000; ++i) {
    float subtotal = 0.0f;
    for (int k = 1; k <= 4; ++k) {
      if (t.u(k, i) > 0.0f) H = H - std::log(t.u(k, i)) * t.u(k, i) / 3000.0f;
      subtotal = subtotal + std::pow(t.u(k, i), count.q) * t.d(k, i);
    }
    J = J + subtotal;
  }
  for (const int threads : {1, 2, 5}) {
    parallel::Team team(threads);
    const fuzzy::Validity v = fuzzy::measure_validity(t, count, team);
    EXPECT_EQ(v.H, H) << threads << " threads";
    EXPECT_EQ(v.J, J) << threads << " threads";
  }
}

TEST(Validity, ZeroWeightSamplesCountLikeAllOthers) {
  TablesOf data(Rows{{0}, {1}});
  set_memberships(data.t(), 1, {1, 0});
  set_memberships(data.t(), 2, {0.5f, 0.5f});
  const float F = measure_validity(data.t(), count_of(2, false)).F;
  data.weights[1] = 0.0f;
  EXPECT_EQ(measure_validity(data.t(), count_of(2, false)).F, F);
  EXPECT_FLOAT_EQ(F, 0.75f);
}

TEST(CentreSort, AscendingOnTheSortColumnWithMembershipsMovedAlike) {
  TablesOf data(Rows{{0, 0}, {0, 0}});
  fuzzy::Tables& t = data.t();
  const float sort_values[3] = {5, 2, 3}, others[3] = {50, 20, 30};
  for (int k = 1; k <= 3; ++k) {
    t.v(k, 2) = sort_values[k - 1];
    t.v(k, 1) = others[k - 1];
  }
  set_memberships(t, 1, {0.5f, 0.3f, 0.2f});
  set_memberships(t, 2, {0.1f, 0.6f, 0.3f});
  const auto P = fuzzy::sort_centres(t, 3, 2);
  EXPECT_EQ(P[0], 2);
  EXPECT_EQ(P[1], 3);
  EXPECT_EQ(P[2], 1);
  for (int k = 4; k <= limits::max_classes; ++k) EXPECT_EQ(P[k - 1], k);
  EXPECT_EQ(t.v(1, 2), 2.0f);
  EXPECT_EQ(t.v(2, 2), 3.0f);
  EXPECT_EQ(t.v(3, 2), 5.0f);
  EXPECT_EQ(t.v(1, 1), 20.0f);  // whole centres move
  EXPECT_EQ(t.v(3, 1), 50.0f);
  fuzzy::renumber_memberships(t, 3, P);
  EXPECT_EQ(t.u(1, 1), 0.3f);
  EXPECT_EQ(t.u(2, 1), 0.2f);
  EXPECT_EQ(t.u(3, 1), 0.5f);
  EXPECT_EQ(t.u(1, 2), 0.6f);
  EXPECT_EQ(t.u(3, 2), 0.1f);
}

TEST(CentreSort, EqualSortValuesKeepTheirOrderAndTheExtragradeClassStays) {
  TablesOf data(Rows{{0}});
  fuzzy::Tables& t = data.t();
  const float values[4] = {4, 1, 4, 1};
  for (int k = 1; k <= 4; ++k) t.v(k, 1) = values[k - 1];
  set_memberships(t, 1, {0.1f, 0.2f, 0.3f, 0.15f, 0.25f});
  const auto P = fuzzy::sort_centres(t, 4, 1);
  EXPECT_EQ(std::vector<int>(P.begin(), P.begin() + 4), (std::vector<int>{2, 4, 1, 3}));
  fuzzy::renumber_memberships(t, 4, P);
  EXPECT_EQ(t.u(1, 1), 0.2f);
  EXPECT_EQ(t.u(2, 1), 0.15f);
  EXPECT_EQ(t.u(5, 1), 0.25f);
}

fuzzy::Classification classify(const std::vector<std::vector<float>>& memberships,
                               float threshold) {
  std::vector<std::vector<float>> rows(memberships.size(), std::vector<float>{0});
  TablesOf data(rows);
  for (std::size_t i = 0; i < memberships.size(); ++i) {
    set_memberships(data.t(), static_cast<int>(i + 1), memberships[i]);
  }
  fuzzy::Classification result(static_cast<int>(memberships.size()));
  fuzzy::classify_samples(data.t(), static_cast<int>(memberships[0].size()), threshold, result);
  return result;
}

TEST(Defuzzification, LargestMustStandOutFromTheSecond) {
  const auto r = classify(
      {{0.6f, 0.3f, 0.1f}, {0.5f, 0.4f, 0.1f}, {0.45f, 0.45f, 0.1f}, {0.1f, 0.2f, 0.7f}}, 0.75f);
  EXPECT_EQ(r.G, (std::vector<int>{1, fuzzy::unclassified, 2, 3}));
  EXPECT_EQ(r.cls, (std::vector<int>{1, 1, 2, 3}));
  EXPECT_EQ(r.T[0], 2);
  EXPECT_EQ(r.T[1], 1);
  EXPECT_EQ(r.T[2], 1);
}

TEST(Defuzzification, ThresholdOneClassifiesUniqueLargestAndZeroNothing) {
  const std::vector<std::vector<float>> u{{0.51f, 0.49f}, {0.5f, 0.5f}, {0.2f, 0.8f}};
  EXPECT_EQ(classify(u, 1.0f).G, (std::vector<int>{1, 2, 2}));
  const int none = fuzzy::unclassified;
  EXPECT_EQ(classify(u, 0.0f).G, (std::vector<int>{none, none, none}));
}

TEST(Defuzzification, ExtragradeClassCountsLikeACluster) {
  // Three clusters and the extragrade class as class 4.
  const auto r = classify({{0.1f, 0.1f, 0.1f, 0.7f}}, 0.75f);
  EXPECT_EQ(r.G[0], 4);
  EXPECT_EQ(r.T[3], 1);
}

}  // namespace
