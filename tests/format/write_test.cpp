// Formatted writing checked against the output of a Fortran compiler's
// run-time library (gfortran), case by case.

#include <gtest/gtest.h>

#include "format/layout.hpp"

namespace {

using format::render;

TEST(WriteFixed, LeadingZeroOnlyWhenThereIsRoom) {
  EXPECT_EQ(render("(F6.3)", -0.0004f), "-0.000\n");
  EXPECT_EQ(render("(F2.1,1X,F3.1,1X,F2.1)", 0.25f, 0.25f, 0.0f), ".2 0.2 .0\n");
  EXPECT_EQ(render("(F3.1,1X,F3.1,1X,F4.1,1X,F4.1)", 0.96f, -0.96f, -0.04f, 9.96f),
            "1.0 *** -0.0 10.0\n");
}

}  // namespace
