#include "display/plots.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "display/offscreen_surface.hpp"
#include "limits/limits.hpp"
#include "recording_surface.hpp"

namespace display {
namespace {

using testing::Call;
using testing::RecordingSurface;

constexpr float missing = -999.0f;

// Range and scaling ----------------------------------------------------------

TEST(PlotRange, WidensTheMaximumFirstThenTheMinimumByTheWidenedRange) {
  std::vector<float> v = {0.0f, 10.0f};
  float max = 0, min = 0;
  plot_range(v, 2, missing, max, min);
  EXPECT_FLOAT_EQ(max, 10.5f);
  EXPECT_FLOAT_EQ(min, -0.525f);
}

TEST(PlotRange, SkipsMissingValuesAndLooksOnlyAtTheFirstN) {
  std::vector<float> v = {missing, 10.0f, missing, 0.0f, 500.0f};
  float max = 0, min = 0;
  plot_range(v, 4, missing, max, min);
  EXPECT_FLOAT_EQ(max, 10.5f);
  EXPECT_FLOAT_EQ(min, -0.525f);
}

TEST(PlotRange, AllMissingOrEmptyKeepsTheEarlierRange) {
  std::vector<float> v = {missing, missing};
  float max = 3.0f, min = 1.0f;
  plot_range(v, 2, missing, max, min);
  EXPECT_EQ(max, 3.0f);
  EXPECT_EQ(min, 1.0f);
  plot_range(v, 0, missing, max, min);
  EXPECT_EQ(max, 3.0f);
  EXPECT_EQ(min, 1.0f);
}

TEST(ScaleToPixels, MapsTheRangeOntoTheExtentAndLeavesMissingValues) {
  std::vector<float> v = {0.0f, 5.0f, 10.0f, missing};
  float min = 0.0f;
  scale_to_pixels(v, 10.0f, min, 100, missing, 4);
  EXPECT_EQ(v, (std::vector<float>{0.0f, 50.0f, 100.0f, missing}));
}

TEST(ScaleToPixels, OneDistinctValueLeavesTheAxisUnscaled) {
  std::vector<float> v = {4.0f, 4.0f, 4.0f};
  float max = 0, min = 0;
  plot_range(v, 3, missing, max, min);
  scale_to_pixels(v, max, min, 100, missing, 3);
  EXPECT_EQ(v, (std::vector<float>{4.0f, 4.0f, 4.0f}));
}

TEST(ScaleToPixels, ASingleValueHasItsMinimumSetToZero) {
  std::vector<float> v = {5.0f};
  float min = 5.0f;
  scale_to_pixels(v, 5.0f, min, 100, missing, 1);
  EXPECT_EQ(min, 0.0f);
  EXPECT_EQ(v[0], 100.0f);
}

TEST(ToPixel, TruncatesTowardZeroAndKeepsWildValuesFarOutside) {
  EXPECT_EQ(to_pixel(3.9f), 3);
  EXPECT_EQ(to_pixel(-3.5f), -3);
  EXPECT_EQ(to_pixel(1e30f), 1 << 28);
  EXPECT_EQ(to_pixel(-1e30f), -(1 << 28));
  EXPECT_EQ(to_pixel(std::nanf("")), -(1 << 28));
}

// Configuration plot ---------------------------------------------------------

struct Configuration {
  std::vector<float> x = std::vector<float>(limits::max_samples, 0.0f);
  std::vector<float> y = std::vector<float>(limits::max_samples, 0.0f);
  std::vector<int> colours = std::vector<int>(limits::max_samples, 1);
};

TEST(PlotConfiguration, GeometryOfA1024By768Surface) {
  RecordingSurface surface;
  IterationPlots plots(surface);
  Configuration c;
  c.x[1] = 1.0f;
  c.y[1] = 1.0f;
  plots.plot_configuration(c.x, c.y, 2, c.colours, missing, 0);
  EXPECT_EQ(plots.W(), 682);
  EXPECT_EQ(plots.R(), 341);
  EXPECT_EQ(plots.H(), 768);
  const Call viewport = surface.of("viewport").at(0);
  EXPECT_EQ(viewport.corners(), (std::vector<int>{0, 0, 681, 767}));
  const Call frame = surface.of("rectangle").at(0);
  EXPECT_EQ(frame.corners(), (std::vector<int>{0, 0, 681, 767}));
  EXPECT_EQ(frame.colour, 2);
  ASSERT_EQ(surface.of("clear").size(), 1u);
}

// The disc boxes of the first plot of n samples.
std::vector<Call> discs_of(const Configuration& c, int n) {
  RecordingSurface surface;
  IterationPlots plots(surface);
  plots.plot_configuration(c.x, c.y, n, c.colours, missing, 0);
  return surface.of("ellipse");
}

TEST(PlotConfiguration, DrawsOneDiscPerSampleInItsColourWithYUpwards) {
  Configuration c;
  // x 0 and 10 span -0.525 .. 10.5; y likewise.
  c.x[0] = 0.0f, c.y[0] = 0.0f, c.colours[0] = 4;
  c.x[1] = 10.0f, c.y[1] = 10.0f, c.colours[1] = 21;
  const std::vector<Call> discs = discs_of(c, 2);
  ASSERT_EQ(discs.size(), 2u);
  // 0.525 * 682 / 11.025 = 32.47...; y = 767 - 0.525 * 768 / 11.025 = 767 - 36.57...
  EXPECT_EQ(discs[0].corners(), (std::vector<int>{30, 728, 34, 732}));
  EXPECT_EQ(discs[0].colour, 4);
  // 10.525 * 682 / 11.025 = 651.06...; y = 767 - 733.17...
  EXPECT_EQ(discs[1].corners(), (std::vector<int>{649, 31, 653, 35}));
  EXPECT_EQ(discs[1].colour, 21);
}

TEST(PlotConfiguration, ASingleSampleLandsAtTheFarEdges) {
  Configuration c;
  c.x[0] = 3.0f, c.y[0] = 7.0f;
  const Call disc = discs_of(c, 1).at(0);
  // Minimum 0: x becomes 682 and y 768, so the disc's centre is (682, -1).
  EXPECT_EQ(disc.corners(), (std::vector<int>{680, -3, 684, 1}));
}

TEST(PlotConfiguration, AMissingPositionIsNotScaledAndItsDiscIsClippedAway) {
  OffscreenSurface surface;
  IterationPlots plots(surface);
  Configuration c;
  c.x[0] = 0.0f, c.y[0] = 0.0f, c.colours[0] = 4;
  c.x[1] = 10.0f, c.y[1] = 10.0f, c.colours[1] = 4;
  c.x[2] = missing, c.y[2] = missing, c.colours[2] = 13;
  plots.plot_configuration(c.x, c.y, 3, c.colours, missing, 0);
  int lit = 0, magenta = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      lit += surface.pixel(x, y) == 4;
      magenta += surface.pixel(x, y) == 13;
    }
  }
  EXPECT_EQ(lit, 2 * 21);  // the two discs of radius 2
  EXPECT_EQ(magenta, 0);
}

TEST(PlotConfiguration, SetsTheModeOnlyInTheFirstCalls) {
  RecordingSurface surface;
  IterationPlots plots(surface);
  Configuration c;
  for (int t = 0; t < 5; ++t) plots.plot_configuration(c.x, c.y, 2, c.colours, missing, t);
  EXPECT_EQ(surface.mode_calls, 2);
}

TEST(PlotConfiguration, ASurfaceWithoutGraphicsStopsWithTheMessage) {
  RecordingSurface surface(1024, 768, false);
  IterationPlots plots(surface);
  Configuration c;
  try {
    plots.plot_configuration(c.x, c.y, 2, c.colours, missing, 0);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "ERROR:  CANNOT SET GRAPHICS MODE");
  }
}

TEST(PlotConfiguration, EachCallRedrawsItsAreaFromScratch) {
  OffscreenSurface surface;
  IterationPlots plots(surface);
  Configuration c;
  c.x[1] = 10.0f, c.y[1] = 10.0f, c.colours[0] = 4, c.colours[1] = 4;
  plots.plot_configuration(c.x, c.y, 2, c.colours, missing, 0);
  const int old_corner = surface.pixel(32, 730);
  // Alone, the first sample moves to the top right corner.
  plots.plot_configuration(c.x, c.y, 1, c.colours, missing, 1);
  EXPECT_EQ(old_corner, 4);
  EXPECT_EQ(surface.pixel(32, 730), 0);
}

// Error curve ----------------------------------------------------------------

std::vector<float> errors_of(int t) {
  std::vector<float> err(limits::max_iterations + 2, 0.0f);
  for (int k = 0; k < t; ++k) err[k] = 1.0f / static_cast<float>(k + 1);
  return err;
}

std::vector<Call> curve_of(int t) {
  RecordingSurface surface;
  IterationPlots plots(surface);
  plots.plot_error_curve(t, missing, t, "NLM", 0.0f, errors_of(t));
  return surface.of("line");
}

TEST(PlotErrorCurve, AreaRightOfTheConfiguration) {
  RecordingSurface surface;
  IterationPlots plots(surface);
  plots.plot_error_curve(3, missing, 3, "NLM", 0.0f, errors_of(3));
  const Call viewport = surface.of("viewport").at(0);
  EXPECT_EQ(viewport.corners(), (std::vector<int>{682, 0, 1023, 767}));
  const Call frame = surface.of("rectangle").at(0);
  EXPECT_EQ(frame.corners(), (std::vector<int>{0, 0, 340, 767}));
  EXPECT_EQ(frame.colour, 2);
  const Call start = surface.of("move").at(0);
  EXPECT_EQ(start.a, 0);
  EXPECT_EQ(start.b, 0);
}

TEST(PlotErrorCurve, VerticalStepsShrinkAsTheIterationsGrow) {
  struct Case {
    int t, step;
  };
  for (const Case& c : {Case{150, 4}, Case{189, 4}, Case{190, 2}, Case{200, 2}, Case{379, 2},
                        Case{380, 1}, Case{400, 1}}) {
    const std::vector<Call> lines = curve_of(c.t);
    ASSERT_EQ(static_cast<int>(lines.size()), c.t) << "t = " << c.t;
    for (int k = 1; k <= c.t; ++k) {
      ASSERT_EQ(lines[k - 1].b, k * c.step) << "t = " << c.t << ", k = " << k;
      ASSERT_EQ(lines[k - 1].colour, 12);
    }
  }
  EXPECT_EQ(curve_of(150).back().b, 600);
  EXPECT_EQ(curve_of(200).back().b, 400);
  EXPECT_EQ(curve_of(400).back().b, 400);
}

TEST(PlotErrorCurve, TheLargestErrorIsFurthestRight) {
  const std::vector<Call> lines = curve_of(50);
  // Errors fall as 1/k: the curve moves left as the iterations go on.
  for (std::size_t k = 1; k < lines.size(); ++k) EXPECT_LE(lines[k].a, lines[k - 1].a);
  EXPECT_GT(lines.front().a, 300);
  EXPECT_LT(lines.front().a, 341);
  EXPECT_GT(lines.back().a, 0);
}

TEST(PlotErrorCurve, CaptionForIteration37) {
  RecordingSurface surface;
  IterationPlots plots(surface);
  plots.plot_error_curve(37, missing, 37, "NLM", 0.0f, errors_of(37));
  const std::vector<Call> texts = surface.of("text");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "iteration: ");
  EXPECT_EQ((std::vector<int>{texts[0].a, texts[0].b, texts[0].colour}),
            (std::vector<int>{47, 111, 2}));
  EXPECT_EQ(texts[1].text, " 37");
  EXPECT_EQ((std::vector<int>{texts[1].a, texts[1].b}), (std::vector<int>{47, 122}));
}

TEST(PlotErrorCurve, CaptionNumberIsTheLastThreeOfFourColumns) {
  EXPECT_EQ(iteration_caption_number(5), "  5");
  EXPECT_EQ(iteration_caption_number(500), "500");
  EXPECT_EQ(iteration_caption_number(1234), "234");
}

// A non-positive error keeps the logarithm that an earlier call found, so
// the curve is the one a single call with every error positive would draw.
TEST(PlotErrorCurve, ANonPositiveErrorKeepsTheEarlierLogarithm) {
  RecordingSurface kept_surface;
  IterationPlots kept(kept_surface);
  kept.plot_error_curve(3, missing, 3, "NLM", 0.0f, errors_of(3));
  std::vector<float> later = errors_of(4);
  later[1] = 0.0f;
  kept_surface.calls.clear();
  kept.plot_error_curve(4, missing, 4, "NLM", 0.0f, later);

  RecordingSurface fresh_surface;
  IterationPlots fresh(fresh_surface);
  fresh.plot_error_curve(4, missing, 4, "NLM", 0.0f, errors_of(4));

  const std::vector<Call> got = kept_surface.of("line"), want = fresh_surface.of("line");
  ASSERT_EQ(got.size(), 4u);
  ASSERT_EQ(want.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(got[k].a, want[k].a) << "k = " << k + 1;
}

TEST(PlotErrorCurve, TheClusteringFloorWidensTheRangeDownwards) {
  const std::vector<float> err = errors_of(10);
  auto last_x = [&](std::string_view tag, float floor) {
    RecordingSurface surface;
    IterationPlots plots(surface);
    plots.plot_error_curve(10, missing, 10, tag, floor, err);
    return surface.of("line").back().a;  // the smallest error
  };
  const int without = last_x("NLM", 0.0001f);
  EXPECT_EQ(last_x("NLM", 0.0f), without);
  EXPECT_GT(last_x("FUZ", 0.0001f), without + 100);
  // A bound without a logarithm is left out rather than drawn as infinity.
  EXPECT_EQ(last_x("FUZ", 0.0f), without);
}

}  // namespace
}  // namespace display
