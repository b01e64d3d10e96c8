// Placeholder until the drawing surface and plots land: draws nothing.
#include "display/offscreen_surface.hpp"
#include "display/panels.hpp"
#include "display/plots.hpp"

namespace display {

OffscreenSurface::OffscreenSurface(int width, int height) : width_(width), height_(height) {}
bool OffscreenSurface::set_graphics_mode() { return true; }
void OffscreenSurface::set_viewport(int, int, int, int) {}
void OffscreenSurface::clear_window() {}
void OffscreenSurface::clear_viewport() {}
void OffscreenSurface::set_colour(int) {}
void OffscreenSurface::rectangle(int, int, int, int) {}
void OffscreenSurface::fill_ellipse(int, int, int, int) {}
void OffscreenSurface::move_to(int, int) {}
void OffscreenSurface::line_to(int, int) {}
Surface::TextBounds OffscreenSurface::text_bounds() const { return {1, 48, 1, 128}; }
void OffscreenSurface::write_text(int, int, const std::string&) {}
bool OffscreenSurface::save_image(const std::string&, int, int, int, int) { return false; }
int OffscreenSurface::pixel(int, int) const { return 0; }

IterationPlots::IterationPlots(Surface& surface) : surface_(surface) {}
void IterationPlots::plot_configuration(std::span<const float>, std::span<const float>, int,
                                        std::span<const int>, float, int) {}
void IterationPlots::plot_error_curve(int, float, int, std::string_view, float,
                                      std::span<const float>) {}
void show_clustering_panels(Surface&, const std::string&, int, const std::string&) {}

}  // namespace display
