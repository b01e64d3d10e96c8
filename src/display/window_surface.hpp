#pragma once

// The drawing surface of a run with graphics: the off-screen raster, shown
// live in a window where the user has a display. The window opens when the
// plots first set the graphics mode; without a display the surface is the
// off-screen raster alone. Closing the window ends nothing: the drawing goes
// on off-screen and the bitmap is saved as before.

#include <memory>

#include "display/frame_pacer.hpp"
#include "display/offscreen_surface.hpp"
#include "display/window.hpp"

namespace display {

class WindowSurface : public OffscreenSurface {
 public:
  using OffscreenSurface::OffscreenSurface;

  bool set_graphics_mode() override;
  void show_frame() override;
  void show_last_frame() override;
  // Shows the final picture and keeps the window for waits_at_exit().
  void keep_window_open() override;

  // The window is still open and the picture asked to be kept on screen.
  bool waits_at_exit();
  // Waits until the user closes the window or presses a key in it.
  void wait_until_closed();

 private:
  bool window_open() const { return window_ && window_->is_open(); }
  void show_now();

  std::unique_ptr<Window> window_;
  bool window_tried_ = false;
  bool kept_ = false;
  FramePacer pacer_;
};

}  // namespace display
