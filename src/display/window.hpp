#pragma once

// A window on the user's display that shows a raster of palette indices,
// scaled to the window's size with its proportions kept and its pixels sharp
// (the rest of the window stays black). It exists only in a build with SDL2
// and where a display can be reached.

#include <cstdint>
#include <memory>
#include <span>

namespace display {

class Window {
 public:
  // The window titled "Tarnwick" for a raster of width x height pixels; null
  // when the build has no window or no display can be reached.
  static std::unique_ptr<Window> open(int width, int height);

  virtual ~Window() = default;

  // False once the user has closed the window.
  virtual bool is_open() const = 0;
  // Handles what happened to the window since the last call: a request to
  // close it closes it; a resize or an uncovered window shows the last
  // picture again. Keys pressed meanwhile are dropped.
  virtual void handle_events() = 0;
  // Shows the raster (width x height indices, row by row from the top).
  virtual void show(std::span<const std::uint8_t> raster) = 0;
  // Waits until the user closes the window or presses a key in it.
  virtual void wait_for_close_or_key() = 0;
};

// The raster's pixels as 0xAARRGGBB words, through the palette.
void to_argb(std::span<const std::uint8_t> raster, std::span<std::uint32_t> argb);

}  // namespace display

namespace display {

// A rectangle of window pixels.
struct WindowArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// The largest area of a width x height picture's proportions that fits in
// a box, centred in it; the picture is never squeezed to nothing.
WindowArea fit_picture(int width, int height, int box_width, int box_height);

}  // namespace display
