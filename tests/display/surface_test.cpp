#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "display/offscreen_surface.hpp"

namespace display {
namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels lit(const OffscreenSurface& s, int colour) {
  Pixels out;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.pixel(x, y) == colour) out.insert({x, y});
    }
  }
  return out;
}

TEST(Surface, IndicesBeyondThePaletteSelectItsLastEntry) {
  OffscreenSurface s(8, 8);
  const std::pair<int, int> cases[] = {{7, 7}, {15, 15}, {16, 15}, {21, 15}, {22, 15}, {99, 15}};
  for (auto [index, shown] : cases) {
    s.set_colour(index);
    s.move_to(1, 1);
    s.line_to(1, 1);
    EXPECT_EQ(s.pixel(1, 1), shown) << "index " << index;
  }
}

TEST(Surface, GeometryAndTextGrid) {
  OffscreenSurface s;
  EXPECT_TRUE(s.set_graphics_mode());
  EXPECT_EQ(s.width(), 1024);
  EXPECT_EQ(s.height(), 768);
  const Surface::TextBounds b = s.text_bounds();
  EXPECT_EQ((std::vector<int>{b.first_row, b.last_row, b.first_column, b.last_column}),
            (std::vector<int>{1, 48, 1, 128}));
  EXPECT_EQ(s.pixel(-1, 0), -1);
  EXPECT_EQ(s.pixel(1024, 0), -1);
}

TEST(Surface, ViewportShiftsCoordinatesAndClipsDrawing) {
  OffscreenSurface s(300, 200);
  s.set_viewport(100, 50, 199, 99);
  s.set_colour(2);
  s.rectangle(0, 0, 99, 49);
  EXPECT_EQ(s.pixel(100, 50), 2);
  EXPECT_EQ(s.pixel(199, 99), 2);
  EXPECT_EQ(s.pixel(150, 50), 2);
  EXPECT_EQ(s.pixel(150, 75), 0);
  s.set_colour(12);
  s.move_to(-50, 10);
  s.line_to(400, 10);
  const Pixels red = lit(s, 12);
  EXPECT_EQ(red.size(), 100u);
  EXPECT_EQ(*red.begin(), std::make_pair(100, 60));
  EXPECT_EQ(*red.rbegin(), std::make_pair(199, 60));
}

TEST(Surface, ClearingTheViewportLeavesTheRestOfTheWindow) {
  OffscreenSurface s(40, 20);
  s.set_colour(9);
  s.fill_ellipse(-100, -100, 200, 200);  // covers the window
  s.set_viewport(10, 5, 19, 9);
  s.clear_viewport();
  EXPECT_EQ(s.pixel(10, 5), 0);
  EXPECT_EQ(s.pixel(19, 9), 0);
  EXPECT_EQ(s.pixel(9, 5), 9);
  EXPECT_EQ(s.pixel(20, 9), 9);
  EXPECT_EQ(lit(s, 0).size(), 50u);
  s.clear_window();
  EXPECT_EQ(lit(s, 0).size(), 800u);
}

TEST(Surface, LinesAreBresenhamLines) {
  OffscreenSurface s(40, 40);
  s.set_colour(3);
  s.move_to(0, 0);
  s.line_to(10, 4);
  s.line_to(13, 30);  // steep
  Pixels want;
  for (int x = 0; x <= 10; ++x) want.insert({x, static_cast<int>(std::floor(x * 0.4 + 0.5))});
  for (int y = 4; y <= 30; ++y) {
    want.insert({10 + static_cast<int>(std::floor((y - 4) * 3.0 / 26.0 + 0.5)), y});
  }
  EXPECT_EQ(lit(s, 3), want);
}

TEST(Surface, AFarAwayEndPointStillDrawsTheVisiblePart) {
  OffscreenSurface s(64, 16);
  s.set_colour(5);
  s.move_to(10, 3);
  s.line_to(2000000000, 3);
  EXPECT_EQ(lit(s, 5).size(), 54u);
}

TEST(Surface, ADiscOfRadiusTwoInAFiveByFiveBox) {
  OffscreenSurface s(20, 20);
  s.set_colour(4);
  s.fill_ellipse(8, 8, 12, 12);
  Pixels want;
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      if (std::abs(dx) + std::abs(dy) < 4) want.insert({10 + dx, 10 + dy});
    }
  }
  EXPECT_EQ(lit(s, 4), want);  // 21 pixels: the corners stay out
}

TEST(Surface, AnEllipseTouchesEverySideOfItsBox) {
  OffscreenSurface s(40, 20);
  s.set_colour(6);
  s.fill_ellipse(20, 10, 0, 0);  // corners in either order
  const Pixels p = lit(s, 6);
  for (auto inside : {std::make_pair(0, 5), {20, 5}, {10, 0}, {10, 10}, {10, 5}}) {
    EXPECT_TRUE(p.count(inside)) << inside.first << "," << inside.second;
  }
  for (auto outside : {std::make_pair(0, 0), {20, 10}, {21, 5}, {10, 11}}) {
    EXPECT_FALSE(p.count(outside)) << outside.first << "," << outside.second;
  }
  for (auto [x, y] : p) {  // symmetric about the box's centre lines
    EXPECT_TRUE(p.count({20 - x, y}));
    EXPECT_TRUE(p.count({x, 10 - y}));
  }
}

TEST(Surface, AnEllipseFarLargerThanTheWindowLightsExactlyThePixelsInsideIt) {
  // Sides beyond 2^15 pixels take the long double test; its edge crosses the window.
  OffscreenSurface s(64, 16);
  s.set_colour(3);
  const long long left = -80000, right = 40, top = -40000, bottom = 40015;
  s.fill_ellipse(left, top, right, bottom);
  const long double a = right - left + 1, b = bottom - top + 1;
  Pixels want;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 64; ++x) {
      const long double dx = 2 * x - (left + right), dy = 2 * y - (top + bottom);
      if (dx * dx * b * b + dy * dy * a * a <= a * a * b * b) want.insert({x, y});
    }
  }
  EXPECT_GT(want.size(), 16u * 30u);
  EXPECT_LT(want.size(), 16u * 64u);
  EXPECT_EQ(lit(s, 3), want);
}

TEST(Surface, DiscsAreClippedToTheViewport) {
  OffscreenSurface s(40, 40);
  s.set_viewport(10, 10, 29, 29);
  s.set_colour(13);
  s.fill_ellipse(-2, -2, 2, 2);  // centred on the viewport's corner
  const Pixels p = lit(s, 13);
  EXPECT_EQ(p.size(), 8u);  // the quarter of 21 pixels that lies inside
  for (auto [x, y] : p) {
    EXPECT_GE(x, 10);
    EXPECT_GE(y, 10);
  }
}

TEST(Surface, TextFillsItsCellsInTheCurrentColourWhateverTheViewport) {
  OffscreenSurface s(64, 48);
  s.set_viewport(0, 0, 3, 3);
  s.set_colour(2);
  s.write_text(2, 3, "H ");
  const Pixels p = lit(s, 2);
  ASSERT_FALSE(p.empty());
  for (auto [x, y] : p) {  // the cell of row 2, column 3
    EXPECT_GE(x, 16);
    EXPECT_LT(x, 24);
    EXPECT_GE(y, 16);
    EXPECT_LT(y, 32);
  }
  s.set_colour(3);
  s.write_text(2, 3, "I");
  EXPECT_NE(lit(s, 3), p);
  s.write_text(3, 8, "WWW");  // runs off the right edge without harm
  EXPECT_FALSE(lit(s, 3).empty());
}

}  // namespace
}  // namespace display
