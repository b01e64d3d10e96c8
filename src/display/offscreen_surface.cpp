#include "display/offscreen_surface.hpp"

#include <algorithm>
#include <cstdlib>

#include "display/bmp.hpp"
#include "display/font.hpp"
#include "display/palette.hpp"

namespace display {

namespace {

// Coordinates are held to this distance from the window so that the line
// arithmetic below cannot overflow; nothing that far away is visible.
constexpr long long coordinate_limit = 1LL << 28;

long long limited(long long v) {
  return std::clamp(v, -coordinate_limit, coordinate_limit);
}

std::string without_trailing_blanks(const std::string& name) {
  std::size_t end = name.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

}  // namespace

OffscreenSurface::OffscreenSurface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0),
      clip_(window()) {}

// The image exists from construction; there is no mode to switch.
bool OffscreenSurface::set_graphics_mode() {
  return width_ > 0 && height_ > 0;
}

long long OffscreenSurface::window_x(int x) const {
  return limited(vx1_ + static_cast<long long>(x));
}
long long OffscreenSurface::window_y(int y) const {
  return limited(vy1_ + static_cast<long long>(y));
}

void OffscreenSurface::set_viewport(int x1, int y1, int x2, int y2) {
  vx1_ = x1;
  vy1_ = y1;
  const Area w = window();
  clip_ = {std::max<long long>(std::min(x1, x2), w.x1), std::max<long long>(std::min(y1, y2), w.y1),
           std::min<long long>(std::max(x1, x2), w.x2),
           std::min<long long>(std::max(y1, y2), w.y2)};
  pen_x_ = 0;
  pen_y_ = 0;
}

void OffscreenSurface::fill(const Area& area, std::uint8_t index) {
  for (long long y = area.y1; y <= area.y2; ++y) {
    auto row = pixels_.begin() + y * width_;
    std::fill(row + area.x1, row + area.x2 + 1, index);
  }
}

void OffscreenSurface::clear_window() {
  fill(window(), 0);
}
void OffscreenSurface::clear_viewport() {
  fill(clip_, 0);
}

void OffscreenSurface::set_colour(int index) {
  colour_ = static_cast<std::uint8_t>(palette_index(index));
}

void OffscreenSurface::plot(long long x, long long y) {
  if (clip_.contains(x, y)) pixels_[static_cast<std::size_t>(y * width_ + x)] = colour_;
}

// Bresenham's pixels: along the major axis, the minor coordinate rounded
// to the nearest pixel (halves away from the start). Each pixel is computed
// on its own, so only the columns or rows inside the viewport cost time,
// however far away the end points are.
void OffscreenSurface::draw_line(long long x0, long long y0, long long x1, long long y1) {
  const long long dx = std::llabs(x1 - x0), dy = std::llabs(y1 - y0);
  const long long sx = x1 < x0 ? -1 : 1, sy = y1 < y0 ? -1 : 1;
  if (dx == 0 && dy == 0) {
    plot(x0, y0);
  } else if (dx >= dy) {
    const long long from = std::max(std::min(x0, x1), clip_.x1);
    const long long to = std::min(std::max(x0, x1), clip_.x2);
    for (long long x = from; x <= to; ++x) {
      const long long i = std::llabs(x - x0);
      plot(x, y0 + sy * ((2 * i * dy + dx) / (2 * dx)));
    }
  } else {
    const long long from = std::max(std::min(y0, y1), clip_.y1);
    const long long to = std::min(std::max(y0, y1), clip_.y2);
    for (long long y = from; y <= to; ++y) {
      const long long i = std::llabs(y - y0);
      plot(x0 + sx * ((2 * i * dx + dy) / (2 * dy)), y);
    }
  }
}

void OffscreenSurface::rectangle(int x1, int y1, int x2, int y2) {
  const long long left = window_x(x1), top = window_y(y1);
  const long long right = window_x(x2), bottom = window_y(y2);
  draw_line(left, top, right, top);
  draw_line(right, top, right, bottom);
  draw_line(right, bottom, left, bottom);
  draw_line(left, bottom, left, top);
}

// A pixel belongs to the ellipse inscribed in the box when its centre lies
// within the ellipse through the box's outer pixel edges. With doubled
// coordinates the test is exact for every box of sensible size; a 5 x 5 box
// gives the 21-pixel disc.
void OffscreenSurface::fill_ellipse(int x1, int y1, int x2, int y2) {
  const long long left = std::min(window_x(x1), window_x(x2));
  const long long right = std::max(window_x(x1), window_x(x2));
  const long long top = std::min(window_y(y1), window_y(y2));
  const long long bottom = std::max(window_y(y1), window_y(y2));
  // Boxes up to 2^15 pixels a side (every disc of the plots) are tested in
  // 64-bit integers, exactly and fast; larger ones in long double.
  constexpr long long exact_side = 1LL << 15;
  if (right - left < exact_side && bottom - top < exact_side) {
    fill_ellipse_in(left, top, right, bottom, 0LL);
  } else {
    fill_ellipse_in(left, top, right, bottom, 0.0L);
  }
}

// Each row's pixels inside the ellipse form one run: it is found from both
// ends of the row's visible part and filled at once.
template <class Number>
void OffscreenSurface::fill_ellipse_in(long long left, long long top, long long right,
                                       long long bottom, Number) {
  const auto a = static_cast<Number>(right - left + 1);
  const auto b = static_cast<Number>(bottom - top + 1);
  const Number aa = a * a, bb = b * b, aabb = aa * bb;
  const long long from = std::max(left, clip_.x1), to = std::min(right, clip_.x2);
  for (long long y = std::max(top, clip_.y1); y <= std::min(bottom, clip_.y2); ++y) {
    const auto dy = static_cast<Number>(2 * y - (top + bottom));
    const Number room = aabb - dy * dy * aa;
    const auto inside = [&](long long x) {
      const auto dx = static_cast<Number>(2 * x - (left + right));
      return dx * dx * bb <= room;
    };
    long long first = from, last = to;
    while (first <= last && !inside(first)) ++first;
    while (last > first && !inside(last)) --last;
    if (first > last) continue;
    auto row = pixels_.begin() + y * width_;
    std::fill(row + first, row + last + 1, colour_);
  }
}

void OffscreenSurface::move_to(int x, int y) {
  pen_x_ = x;
  pen_y_ = y;
}

void OffscreenSurface::line_to(int x, int y) {
  draw_line(window_x(pen_x_), window_y(pen_y_), window_x(x), window_y(y));
  move_to(x, y);
}

Surface::TextBounds OffscreenSurface::text_bounds() const {
  return {1, height_ / cell_height, 1, width_ / cell_width};
}

// Text belongs to the window, not to the viewport: it is clipped only by
// the window's edges. Only the lit dots are drawn, over what is there.
void OffscreenSurface::draw_glyph(long long x, long long y, char c) {
  const char* const* rows = glyph(c);
  for (int r = 0; r < glyph_rows; ++r) {
    for (int col = 0; col < glyph_columns; ++col) {
      if (rows[r][col] != '#') continue;
      for (long long py = y + 1 + 2 * r; py <= y + 2 + 2 * r; ++py) {
        if (window().contains(x + 1 + col, py)) {
          pixels_[static_cast<std::size_t>(py * width_ + x + 1 + col)] = colour_;
        }
      }
    }
  }
}

void OffscreenSurface::write_text(int row, int column, const std::string& text) {
  long long x = (column - 1LL) * cell_width;
  const long long y = (row - 1LL) * cell_height;
  for (char c : text) {
    draw_glyph(x, y, c);
    x += cell_width;
  }
}

bool OffscreenSurface::save_image(const std::string& name, int x1, int y1, int x2, int y2) {
  const Area w = window();
  const long long left = std::max(std::min(window_x(x1), window_x(x2)), w.x1);
  const long long right = std::min(std::max(window_x(x1), window_x(x2)), w.x2);
  const long long top = std::max(std::min(window_y(y1), window_y(y2)), w.y1);
  const long long bottom = std::min(std::max(window_y(y1), window_y(y2)), w.y2);
  if (left > right || top > bottom) return false;
  std::vector<std::uint8_t> part;
  part.reserve(static_cast<std::size_t>((right - left + 1) * (bottom - top + 1)));
  for (long long y = top; y <= bottom; ++y) {
    auto row = pixels_.begin() + y * width_;
    part.insert(part.end(), row + left, row + right + 1);
  }
  return write_bmp(without_trailing_blanks(name), part, static_cast<int>(right - left + 1),
                   static_cast<int>(bottom - top + 1));
}

int OffscreenSurface::pixel(int x, int y) const {
  if (!window().contains(x, y)) return -1;
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

}  // namespace display
