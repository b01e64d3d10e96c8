#include "display/plots.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "format/layout.hpp"
#include "limits/limits.hpp"

namespace display {

namespace {

constexpr float margin = 0.05f;  // share of the range added above and below
constexpr float disc_radius = 2.0f;
constexpr float pixel_limit = 268435456.0f;  // 2^28

// A count of values that the list can hold.
int usable(int n, std::size_t size) {
  return std::clamp(n, 0, static_cast<int>(std::min<std::size_t>(size, 1u << 30)));
}

// The curve's vertical step: the iterations fill more of the height when few.
int curve_step(int t) {
  if (t < 190) return 4;
  if (t < 380) return 2;
  return 1;
}

}  // namespace

void plot_range(std::span<const float> values, int n, float missing, float& max, float& min) {
  n = usable(n, values.size());
  int first = 0;
  while (first < n && values[first] == missing) ++first;
  if (first == n) return;
  max = values[first];
  min = values[first];
  for (int i = first; i < n; ++i) {
    const float v = values[i];
    if (v == missing) continue;
    if (v < min) min = v;
    if (v > max) max = v;
  }
  max = max + margin * (max - min);
  min = min - margin * (max - min);  // with the widened maximum
}

void scale_to_pixels(std::span<float> values, float max, float& min, std::int16_t extent,
                     float missing, int n) {
  n = usable(n, values.size());
  if (n == 1) min = 0.0f;
  if (max == min) return;
  const auto pixels = static_cast<float>(extent);
  for (int i = 0; i < n; ++i) {
    if (values[i] != missing) values[i] = (values[i] - min) * pixels / (max - min);
  }
}

int to_pixel(float v) {
  if (std::isnan(v)) return -static_cast<int>(pixel_limit);
  return static_cast<int>(std::clamp(v, -pixel_limit, pixel_limit));
}

void fill_disc(Surface& surface, float x, float y) {
  surface.fill_ellipse(to_pixel(x - disc_radius), to_pixel(y - disc_radius),
                       to_pixel(x + disc_radius), to_pixel(y + disc_radius));
}

std::string iteration_caption_number(int t) {
  std::string text = format::render("(2I4)", t);
  text = text.substr(0, text.find('\n'));
  text.resize(4, ' ');
  return text.substr(1);
}

IterationPlots::IterationPlots(Surface& surface)
    : surface_(surface),
      px_(limits::max_samples, 0.0f),
      py_(limits::max_samples, 0.0f),
      log_errors_(limits::max_iterations, 0.0f) {}

void IterationPlots::set_mode() {
  if (!surface_.set_graphics_mode()) throw std::runtime_error(graphics_mode_failure);
  W_ = 2 * surface_.width() / 3;
  R_ = surface_.width() / 3;
  H_ = surface_.height();
  mode_set_ = true;
}

// Configuration plot ---------------------------------------------------------

void IterationPlots::plot_configuration(std::span<const float> x, std::span<const float> y, int n,
                                        std::span<const int> colours, float missing, int t) {
  copy_configuration(x, y);
  n = usable(usable(n, px_.size()), colours.size());
  plot_range(px_, n, missing, xmax_, xmin_);
  plot_range(py_, n, missing, ymax_, ymin_);
  // The first calls of a run set the mode; a run that starts later still needs it.
  if (t < 2 || !mode_set_) set_mode();
  scale_to_pixels(px_, xmax_, xmin_, static_cast<std::int16_t>(W_), missing, n);
  scale_to_pixels(py_, ymax_, ymin_, static_cast<std::int16_t>(H_), missing, n);
  draw_configuration_frame();
  draw_discs(n, colours);
  surface_.show_frame();
}

void IterationPlots::copy_configuration(std::span<const float> x, std::span<const float> y) {
  std::copy_n(x.begin(), std::min(x.size(), px_.size()), px_.begin());
  std::copy_n(y.begin(), std::min(y.size(), py_.size()), py_.begin());
}

void IterationPlots::draw_configuration_frame() {
  surface_.set_viewport(0, 0, W_ - 1, H_ - 1);
  surface_.clear_viewport();
  surface_.set_colour(2);
  surface_.rectangle(0, 0, W_ - 1, H_ - 1);
}

void IterationPlots::draw_discs(int n, std::span<const int> colours) {
  for (int i = 0; i < n; ++i) {
    surface_.set_colour(colours[i]);
    fill_disc(surface_, px_[i], static_cast<float>(H_ - 1) - py_[i]);  // y grows upwards
  }
}

// Error curve ----------------------------------------------------------------

void IterationPlots::plot_error_curve(int t, float missing, int shown, std::string_view tag,
                                      float floor, std::span<const float> errors) {
  t = usable(usable(t, log_errors_.size()), errors.size());
  take_log_errors(t, errors);
  plot_range(log_errors_, t, missing, lmax_, lmin_);
  lower_to_floor(tag, floor);
  if (t < 2 || !mode_set_) set_mode();
  // Scale a copy: L must keep the logarithms for the errors of later calls
  // that are not positive.
  std::vector<float> curve(log_errors_.begin(), log_errors_.begin() + t);
  scale_to_pixels(curve, lmax_, lmin_, static_cast<std::int16_t>(R_), missing, t);
  draw_error_frame();
  draw_curve(curve, t);
  write_caption(shown);
  surface_.show_frame();
}

void IterationPlots::take_log_errors(int t, std::span<const float> errors) {
  for (int k = 0; k < t; ++k) {
    if (errors[k] > 0.0f) log_errors_[k] = std::log(errors[k]);
  }
}

// The clustering's curve reaches down to its stopping bound; a bound that is
// not positive has no logarithm and is left out.
void IterationPlots::lower_to_floor(std::string_view tag, float floor) {
  if (tag.substr(0, 3) == "NLM" || !(floor > 0.0f)) return;
  const float log_floor = std::log(floor);
  if (log_floor < lmin_) lmin_ = log_floor;
}

void IterationPlots::draw_error_frame() {
  surface_.set_viewport(W_, 0, W_ + R_, H_ - 1);
  surface_.clear_viewport();
  surface_.set_colour(2);
  surface_.move_to(0, 0);
  surface_.rectangle(0, 0, R_ - 1, H_ - 1);
}

void IterationPlots::draw_curve(std::span<const float> curve, int t) {
  surface_.set_colour(12);
  const int step = curve_step(t);
  for (int k = 1; k <= t; ++k) surface_.line_to(to_pixel(curve[k - 1]), k * step);
}

void IterationPlots::write_caption(int shown) {
  surface_.set_colour(2);
  const Surface::TextBounds bounds = surface_.text_bounds();
  surface_.write_text(bounds.last_row - 1, bounds.last_column - 17, "iteration: ");
  surface_.write_text(bounds.last_row - 1, bounds.last_column - 6, iteration_caption_number(shown));
}

}  // namespace display
