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

// Many vectors at once, given variable by variable, give each the bits of
// distance() under every norm, with missing values in the sample, in the
// vectors or nowhere, and with a variable left out of the distance.
TEST(Distances, AtOnceGiveEachVectorItsOwnDistance) {
  unsigned seed = 5;
  std::vector<std::vector<float>> rows(60, std::vector<float>(7));
  for (auto& row : rows)
    for (std::size_t j = 0; j < row.size(); ++j) row[j] = next_unit(seed) * (j + 1) * 3.0f;
  for (auto& row : rows) row[6] = 4.0f;  // no spread: left out under norms 1 and 3
  rows[7][2] = M;
  NormsRun r(rows);
  const auto x = norms::sample_rows(r.table, 60, 7);
  for (const int norm : {0, 1, 2, 3, 5}) {
    r.scale("NLM", norm);
    for (const int count : {1, 3, 4, 6}) {
      for (const bool vector_missing : {false, true}) {
        std::vector<float> b(7 * norms::Scaling::distance_lanes(count), 0.5f);
        const int lanes = norms::Scaling::distance_lanes(count);
        for (int k = 0; k < count; ++k) {
          for (int j = 0; j < 7; ++j) b[j * lanes + k] = x[(20 + k) * 7 + j];
        }
        if (vector_missing) b[3 * lanes + count - 1] = M;
        for (const int i : {0, 7, 11}) {
          std::vector<float> out(lanes, -1.0f);
          r.scaling.distances(&x[i * 7], b.data(), count, !vector_missing, out.data());
          for (int k = 0; k < count; ++k) {
            std::vector<float> vector(7);
            for (int j = 0; j < 7; ++j) vector[j] = b[j * lanes + k];
            EXPECT_EQ(out[k], r.scaling.distance(&x[i * 7], vector.data()))
                << "norm " << norm << ", sample " << i << ", vector " << k << " of " << count;
          }
        }
      }
    }
  }
}

}  // namespace
