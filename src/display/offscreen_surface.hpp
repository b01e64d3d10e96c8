#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "display/surface.hpp"

namespace display {

// An off-screen image of 1024 x 768 pixels with a 128 x 48 text grid of
// 8 x 16 pixel cells. On its own it is shown only through the BMP files it
// saves; WindowSurface shows it in a window too.
class OffscreenSurface : public Surface {
 public:
  OffscreenSurface(int width = 1024, int height = 768);

  bool set_graphics_mode() override;
  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_viewport(int x1, int y1, int x2, int y2) override;
  void clear_window() override;
  void clear_viewport() override;
  void set_colour(int index) override;
  void rectangle(int x1, int y1, int x2, int y2) override;
  void fill_ellipse(int x1, int y1, int x2, int y2) override;
  void move_to(int x, int y) override;
  void line_to(int x, int y) override;
  TextBounds text_bounds() const override;
  void write_text(int row, int column, const std::string& text) override;
  // The rectangle is taken relative to the viewport and clipped to the
  // window, so (0,0)-(width,height) saves exactly the whole window.
  bool save_image(const std::string& name, int x1, int y1, int x2, int y2) override;
  void keep_window_open() override {}

  // Palette index at a pixel of the whole window; -1 outside it.
  int pixel(int x, int y) const;
  // The palette indices of the whole window, row by row from the top.
  std::span<const std::uint8_t> raster() const { return pixels_; }

 private:
  // A rectangle of window pixels, both corners inside; empty when x1 > x2 or y1 > y2.
  struct Area {
    long long x1, y1, x2, y2;
    bool contains(long long x, long long y) const {
      return x >= x1 && x <= x2 && y >= y1 && y <= y2;
    }
  };
  Area window() const { return {0, 0, width_ - 1LL, height_ - 1LL}; }
  long long window_x(int x) const;  // viewport x to window x
  long long window_y(int y) const;
  void plot(long long x, long long y);  // clipped to the viewport
  void fill(const Area& area, std::uint8_t index);
  void draw_line(long long x0, long long y0, long long x1, long long y1);
  // The ellipse test in Number: long long where it is exact, else long double.
  template <class Number>
  void fill_ellipse_in(long long left, long long top, long long right, long long bottom, Number);
  void draw_glyph(long long x, long long y, char c);

  int width_, height_;
  std::vector<std::uint8_t> pixels_;
  int vx1_ = 0, vy1_ = 0;
  Area clip_;  // the viewport within the window
  std::uint8_t colour_ = 15;
  int pen_x_ = 0, pen_y_ = 0;
};

}  // namespace display
