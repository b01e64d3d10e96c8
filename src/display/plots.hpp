#pragma once

// The per-iteration plots: the configuration on the left two thirds of the
// surface, the curve of the log of the iteration error on the right third.

#include <cstdint>
#include <span>
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

 private:
  void set_mode();
  Surface& surface_;
  int W_ = 0, R_ = 0, H_ = 0;
  std::vector<float> px_, py_;   // plot table P
  std::vector<float> log_errors_;  // L(1..500), kept between calls
  float xmax_ = 0, xmin_ = 0, ymax_ = 0, ymin_ = 0, lmax_ = 0, lmin_ = 0;
};

}  // namespace display
