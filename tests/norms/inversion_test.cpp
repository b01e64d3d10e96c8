// The bordering inversion and its identity check.
#include "norms/inversion.hpp"

#include <gtest/gtest.h>

#include "norms_support.hpp"

namespace {

// Symmetric, diagonally dominant: well conditioned.
std::vector<float> well_conditioned(int n, unsigned seed) {
  std::vector<float> a(n * n);
  for (int j = 0; j < n; ++j)
    for (int k = 0; k <= j; ++k) a[j * n + k] = a[k * n + j] = next_unit(seed) - 0.5f;
  for (int j = 0; j < n; ++j) a[j * n + j] += n;
  return a;
}

TEST(Inversion, SmallExampleAndDiagonalMatrix) {
  std::vector<float> c{4, 2, 2, 3};
  ASSERT_EQ(norms::invert_bordering(c, 2), 0);
  EXPECT_EQ(c, (std::vector<float>{0.375f, -0.25f, -0.25f, 0.5f}));
  std::vector<float> d{2, 0, 0, 0, 4, 0, 0, 0, 0.5f};
  ASSERT_EQ(norms::invert_bordering(d, 3), 0);
  EXPECT_EQ(d, (std::vector<float>{0.5f, 0, 0, 0, 0.25f, 0, 0, 0, 2}));
}

TEST(Inversion, LargerMatrixTimesItsInverseIsTheIdentity) {
  const int n = 30;
  auto a = well_conditioned(n, 5);
  auto c = a;
  ASSERT_EQ(norms::invert_bordering(c, n), 0);
  auto p = norms::check_product(a, c, n);
  for (int j = 0; j < n; ++j)
    for (int k = 0; k < n; ++k) EXPECT_NEAR(p[j * n + k], j == k ? 1.0f : 0.0f, 2e-6f);
}

TEST(Inversion, SingularOrIndefiniteMatrixNamesTheRowOfItsPivot) {
  std::vector<float> dependent{1, 2, 3, 2, 5, 7, 3, 7, 10};  // row 3 = row 1 + row 2
  EXPECT_EQ(norms::invert_bordering(dependent, 3), 3);
  std::vector<float> indefinite{1, 2, 2, 1};
  EXPECT_EQ(norms::invert_bordering(indefinite, 2), 2);
  std::vector<float> zero_first{0, 1, 1, 1};
  EXPECT_EQ(norms::invert_bordering(zero_first, 2), 1);
}

}  // namespace
