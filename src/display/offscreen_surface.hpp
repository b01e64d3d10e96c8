#pragma once

#include "display/surface.hpp"

namespace display {

// An off-screen image of 1024 x 768 pixels with a 128 x 48 text grid.
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
  bool save_image(const std::string& name, int x1, int y1, int x2, int y2) override;
  void keep_window_open() override {}

  // Palette index at a pixel of the whole window.
  int pixel(int x, int y) const;

 private:
  int width_, height_;
  std::vector<std::uint8_t> pixels_;
  int vx1_ = 0, vy1_ = 0, vx2_, vy2_;
  int colour_ = 15;
  int pen_x_ = 0, pen_y_ = 0;
};

}  // namespace display
