// The identity check written to the report: its heading and rows of at most
// twenty values a line.
#include <gtest/gtest.h>

#include "norms/inversion.hpp"
#include "norms_support.hpp"

namespace {

TEST(IdentityCheck, HeadingAndRowsOfTwentyValues) {
  const int n = 25;
  std::vector<float> a(n * n, 0.0f);
  for (int j = 0; j < n; ++j) a[j * n + j] = static_cast<float>(j + 1);
  auto c = a;
  ASSERT_EQ(norms::invert_bordering(c, n), 0);
  NormsRun r(std::vector<std::vector<float>>{{0.0f}});
  norms::write_identity_check(r.report, norms::check_product(a, c, n), n);
  auto lines = r.report_lines();
  ASSERT_EQ(lines.size(), 3u + 2 * n);
  EXPECT_EQ(lines[0], " ");
  EXPECT_EQ(lines[1], " CHECK MATRIX AA*AA(INVERSE)=1, THE IDENTITY");
  EXPECT_EQ(lines[2], "");
  auto row = [](int first, int count, int one) {
    std::string s(10, ' ');
    for (int k = first; k < first + count; ++k) s += k == one ? "  1.00" : "  0.00";
    return s;
  };
  EXPECT_EQ(lines[3], row(0, 20, 0));
  EXPECT_EQ(lines[4], row(20, 5, 0));
  EXPECT_EQ(lines[3 + 2 * 24 + 1], row(20, 5, 24));
}

}  // namespace
