#include <gtest/gtest.h>

#include "console/console.hpp"

// The terminal's cursor is moved by steps relative to where it stands, so that
// a screen scrolled by a long listing still finds the question's line.
TEST(CursorMoves, StepsUpDownAndAlongTheLine) {
  EXPECT_EQ(console::cursor_moves(40, 40, 1), "\r");
  EXPECT_EQ(console::cursor_moves(41, 40, 29), "\x1b[1A\r\x1b[28C");
  EXPECT_EQ(console::cursor_moves(43, 40, 1), "\x1b[3A\r");
  // Downward by line ends: a cursor move would stop at the screen's last line.
  EXPECT_EQ(console::cursor_moves(40, 42, 1), "\n\n\r");
}
