#include "driver/output_names.hpp"

#include <gtest/gtest.h>

using driver::output_names;

TEST(OutputNames, BlankOrLeadingBlankGivesDefaults) {
  for (const char* answer : {"", "   ", " RUN1"}) {
    auto names = output_names(answer);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->report, "OUTPUT.OUT");
    EXPECT_EQ(names->bitmap, "OUTPUT.BMP");
    EXPECT_EQ(names->length, 6);
  }
}

TEST(OutputNames, TrailingBlanksAndDotsAreDropped) {
  auto names = output_names("RUN1.");
  ASSERT_TRUE(names);
  EXPECT_EQ(names->base, "RUN1");
  EXPECT_EQ(names->length, 4);
  EXPECT_EQ(names->report, "RUN1.OUT");
  EXPECT_EQ(names->bitmap, "RUN1.BMP");
  EXPECT_EQ(output_names("RUN1 ..  ")->base, "RUN1");
}

TEST(OutputNames, AnExtensionStaysInsideTheBase) {
  auto names = output_names("RUN1.TXT");
  ASSERT_TRUE(names);
  EXPECT_EQ(names->report, "RUN1.TXT.OUT");
  EXPECT_EQ(names->length, 8);
}

TEST(OutputNames, OnlyTwentyNineCharactersCountAndLongBasesAreRefused) {
  EXPECT_TRUE(output_names(std::string(26, 'A')));
  EXPECT_FALSE(output_names(std::string(27, 'A')));
  // Position 30 is never looked at: 29 blanks after "A" and then "B" give "A".
  auto names = output_names("A" + std::string(28, ' ') + "B");
  ASSERT_TRUE(names);
  EXPECT_EQ(names->base, "A");
  // All dots: the length is 1.
  EXPECT_EQ(output_names("...")->base, ".");
}
