#include "display/window_surface.hpp"

namespace display {

// The first call opens the window; a display that cannot be reached leaves
// the off-screen raster, which always works.
bool WindowSurface::set_graphics_mode() {
  if (!window_tried_) {
    window_tried_ = true;
    window_ = Window::open(width(), height());
  }
  return OffscreenSurface::set_graphics_mode();
}

void WindowSurface::show_now() {
  window_->show(raster());
  pacer_.shown(FramePacer::Clock::now());
}

// Events are handled at every frame, shown or not, so that the window
// answers while the analysis runs.
void WindowSurface::show_frame() {
  if (!window_open()) return;
  window_->handle_events();
  if (window_open() && pacer_.take(FramePacer::Clock::now())) window_->show(raster());
}

void WindowSurface::show_last_frame() {
  if (!window_open()) return;
  window_->handle_events();
  if (window_open() && pacer_.pending()) show_now();
}

void WindowSurface::keep_window_open() {
  kept_ = true;
  if (!window_open()) return;
  window_->handle_events();
  if (window_open()) show_now();
}

// A close that the user asked for meanwhile counts.
bool WindowSurface::waits_at_exit() {
  if (!kept_ || !window_open()) return false;
  window_->handle_events();
  return window_open();
}

void WindowSurface::wait_until_closed() {
  if (window_open()) window_->wait_for_close_or_key();
  window_.reset();
}

}  // namespace display
