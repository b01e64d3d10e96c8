#include "console/status_line.hpp"

#include <gtest/gtest.h>

#include <string>

namespace console {
namespace {

using std::chrono::milliseconds;
using Clock = StatusLine::Clock;

TEST(StatusLine, RewritesInPlaceAtMostTenTimesASecondAndWipesOnce) {
  StatusLine line;
  const Clock::time_point start{};
  EXPECT_TRUE(line.due(start));
  EXPECT_EQ(line.wipe(), "") << "nothing shown, nothing to wipe";
  EXPECT_EQ(line.show(" ITERATION 1", 80, start), "\r ITERATION 1\x1b[K");
  EXPECT_TRUE(line.shown());
  EXPECT_FALSE(line.due(start + milliseconds(99)));
  EXPECT_TRUE(line.due(start + milliseconds(100)));
  // A shorter text leaves nothing of the longer one behind it.
  EXPECT_EQ(line.show(" IT 2", 80, start + milliseconds(100)), "\r IT 2\x1b[K");
  EXPECT_EQ(line.wipe(), "\r\x1b[K");
  EXPECT_FALSE(line.shown());
  EXPECT_TRUE(line.due(start + milliseconds(101))) << "the next step shows its first line at once";
  EXPECT_EQ(line.wipe(), "") << "a second wipe would erase a line of other text";
}

TEST(FitToWidth, LeavesTheLastColumnFreeAndBlanksControlCharacters) {
  const std::string text = " 12 CLUSTERS ( 2 TO 15)   ITERATION 245";
  EXPECT_EQ(fit_to_width(text, 132), text);
  EXPECT_EQ(fit_to_width(text, 20), text.substr(0, 19));
  EXPECT_EQ(fit_to_width(text, static_cast<int>(text.size())), text.substr(0, text.size() - 1));
  EXPECT_EQ(fit_to_width(std::string(100, 'x'), 0), std::string(79, 'x')) << "width unknown: 80";
  EXPECT_EQ(fit_to_width("A\nB\x1b[2JC\x7f", 80), "A B [2JC ");
  EXPECT_EQ(fit_to_width("ABC", 1), "");
}

}  // namespace
}  // namespace console
