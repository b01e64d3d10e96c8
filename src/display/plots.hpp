#pragma once

// The per-iteration plots: the configuration on the left two thirds of the
// surface, the curve of the log of the iteration error on the right third.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "display/surface.hpp"

namespace display {

// The widened maximum and minimum of the non-missing values of a list.
// When every value is missing, max and min keep what they held.
void plot_range(std::span<const float> values, int n, float missing, float& max, float& min);

// Scales the non-missing values to 0 .. extent pixels in place.
void scale_to_pixels(std::span<float> values, float max, float& min, std::int16_t extent,
                     float missing, int n);

// A real coordinate as a pixel coordinate: truncated toward zero, held
// within +-2^28 (a value that is not a number lands far outside).
int to_pixel(float v);

// The disc of radius 2 pixels around (x, y), in the current colour.
void fill_disc(Surface& surface, float x, float y);

// The message for a surface that cannot take graphics.
inline constexpr const char* graphics_mode_failure = "ERROR:  CANNOT SET GRAPHICS MODE";

class IterationPlots {
 public:
  explicit IterationPlots(Surface& surface);

  // configuration: x and y of every sample slot (max_samples each).
  void plot_configuration(std::span<const float> x, std::span<const float> y, int n,
                          std::span<const int> colours, float missing, int t);
  // errors: the iteration error list, ERR(1) at errors[0].
  void plot_error_curve(int t, float missing, int shown, std::string_view tag, float floor,
                        std::span<const float> errors);

  Surface& surface() { return surface_; }
  int W() const { return W_; }
  int R() const { return R_; }
  int H() const { return H_; }

 private:
  void set_mode();
  void copy_configuration(std::span<const float> x, std::span<const float> y);
  void draw_configuration_frame();
  void draw_discs(int n, std::span<const int> colours);
  void take_log_errors(int t, std::span<const float> errors);
  void lower_to_floor(std::string_view tag, float floor);
  void draw_error_frame();
  void draw_curve(std::span<const float> curve, int t);
  void write_caption(int shown);

  Surface& surface_;
  bool mode_set_ = false;
  int W_ = 0, R_ = 0, H_ = 0;
  std::vector<float> px_, py_;     // plot table P
  std::vector<float> log_errors_;  // L(1..500), kept between calls
  float xmax_ = 0, xmin_ = 0, ymax_ = 0, ymin_ = 0, lmax_ = 0, lmin_ = 0;
};

// The caption's number: the last three characters of t written with (2I4).
std::string iteration_caption_number(int t);

}  // namespace display
