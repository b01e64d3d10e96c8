// Cost of the per-iteration plots: one configuration plot of 5000 samples
// and one error curve of 500 iterations on the off-screen surface.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "display/offscreen_surface.hpp"
#include "display/plots.hpp"
#include "limits/limits.hpp"

namespace {

// A fixed pseudo-random configuration, the same in every run.
std::vector<float> scattered(std::uint32_t seed) {
  std::vector<float> v(limits::max_samples);
  for (float& x : v) {
    seed = seed * 1664525u + 1013904223u;
    x = static_cast<float>(seed >> 8) / 16777216.0f * 100.0f - 50.0f;
  }
  return v;
}

template <class Call>
double milliseconds_per_call(int repeats, Call call) {
  const auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < repeats; ++r) call(r);
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / repeats;
}

}  // namespace

int main() {
  display::OffscreenSurface surface;
  display::IterationPlots plots(surface);
  const std::vector<float> x = scattered(1), y = scattered(2);
  std::vector<int> colours(limits::max_samples);
  for (int i = 0; i < limits::max_samples; ++i) colours[i] = 1 + i % 15;
  std::vector<float> errors(limits::max_iterations + 2);
  for (int k = 0; k < limits::max_iterations; ++k) errors[k] = 1.0f / static_cast<float>(k + 1);

  const int repeats = 200;
  const double configuration = milliseconds_per_call(repeats, [&](int r) {
    plots.plot_configuration(x, y, limits::max_samples, colours, -999.0f, r);
  });
  const double curve = milliseconds_per_call(repeats, [&](int) {
    plots.plot_error_curve(limits::max_iterations, -999.0f, limits::max_iterations, "FUZ", 0.0001f,
                           errors);
  });
  std::printf("plot_configuration, 5000 samples: %.3f ms per call\n", configuration);
  std::printf("plot_error_curve, 500 iterations: %.3f ms per call\n", curve);
  std::printf("(mean of %d calls each on a 1024 x 768 off-screen surface)\n", repeats);
  return 0;
}
