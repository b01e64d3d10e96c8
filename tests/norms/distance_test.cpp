// The normalised squared distance: the missing-value rule, vectors without a
// common variable, and the norm-3 paths against the plain double loop.
#include <gtest/gtest.h>

#include "norms_support.hpp"

namespace {

constexpr float M = -999.0f;

TEST(Distance, MissingVariableIsLeftOutOfSumAndDivisor) {
  NormsRun r({{1, 2, 3, 4, 5}, {2, 2, 3, 4, M}, {M, 2, 3, 4, 9}});
  r.scale("ONE", 0);
  auto rows = norms::sample_rows(r.table, 3, 5);
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[0], &rows[5]), 1.0f / 4);
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[5], &rows[0]), 1.0f / 4);
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[0], &rows[10]), 16.0f / 4);
  EXPECT_FLOAT_EQ(r.scaling.distance(&rows[5], &rows[10]), 0.0f);
}

TEST(Distance, VectorsWithoutCommonVariableAreAtZero) {
  NormsRun r({{1, M}, {M, 2}, {3, 5}, {4, 1}});
  auto rows = norms::sample_rows(r.table, 4, 2);
  for (int norm : {0, 1, 3}) {
    r.scale("NLM", norm);
    EXPECT_EQ(r.scaling.distance(&rows[0], &rows[2]), 0.0f) << norm;
  }
}

// Norm 3 exactly as the double loop over all j and l with the presence test.
float plain_quadratic(const norms::Scaling& s, const float* a, const float* b) {
  float sum = 0.0f;
  int m = 0;
  const int n = s.ndim();
  auto present = [&](int j) { return a[j] != M && b[j] != M; };
  for (int j = 0; j < n; ++j) {
    if (!present(j)) ++m;
    for (int l = 0; l < n; ++l)
      if (present(j) && present(l)) sum = sum + (a[j] - b[j]) * s.cc(j + 1, l + 1) * (a[l] - b[l]);
  }
  return sum / static_cast<float>(n - m);
}

TEST(Distance, MahalanobisPathsGiveTheBitsOfThePlainLoop) {
  unsigned seed = 11;
  std::vector<std::vector<float>> rows(80, std::vector<float>(12));
  for (auto& row : rows)
    for (std::size_t j = 0; j < row.size(); ++j) row[j] = next_unit(seed) * (j + 1) + row[0];
  for (int i = 40; i < 80; i += 3) rows[i][i % 12] = M;  // a missing value in every third row
  NormsRun r(rows);
  r.scale("NLM", 3);
  auto x = norms::sample_rows(r.table, 80, 12);
  for (int i = 0; i < 80; i += 2) {
    const float* a = &x[i * 12];
    const float* b = &x[(79 - i) * 12];
    EXPECT_EQ(r.scaling.distance(a, b), plain_quadratic(r.scaling, a, b)) << i;
    EXPECT_GT(r.scaling.distance(a, b), 0.0f);
  }
}

}  // namespace
