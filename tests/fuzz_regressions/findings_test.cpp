// What each fuzz finding broke, checked on its own beside the replay of the
// inputs that found it.

#include <gtest/gtest.h>

#include "format/layout.hpp"

namespace {

TEST(LayoutFindings, ExponentsWithManyDigitsAreWrittenInFullOrStarred) {
  // More exponent digits than a short buffer held: written out when the
  // field is wide enough, asterisks when not.
  EXPECT_EQ(format::render("(E30.3E20)", 1.5), "   0.150E+00000000000000000001\n");
  EXPECT_EQ(format::render("(1E09.3E91)", 2.0), "*********\n");
  EXPECT_EQ(format::render("(G40.3E30)", -2.5e7), "  -0.250E+000000000000000000000000000008\n");
}

}  // namespace
