// What the window needs besides SDL: when a frame is shown, how the picture
// fits a window of any size, the palette's colours as the window gets them,
// and that every plot hands its finished picture to the surface.

#include "display/window.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "display/frame_pacer.hpp"
#include "display/plots.hpp"
#include "limits/limits.hpp"
#include "recording_surface.hpp"

namespace display {
namespace {

using std::chrono::milliseconds;
using Clock = FramePacer::Clock;

TEST(FramePacer, ShowsAtMostSixtyFramesASecondAndKeepsTheOneHeldBack) {
  FramePacer pacer;
  const Clock::time_point start{};
  EXPECT_TRUE(pacer.take(start)) << "the first frame shows at once";
  EXPECT_FALSE(pacer.pending());
  EXPECT_FALSE(pacer.take(start + milliseconds(10)));
  EXPECT_FALSE(pacer.take(start + milliseconds(16)));
  EXPECT_TRUE(pacer.pending()) << "the last frame held back is still to be shown";
  EXPECT_TRUE(pacer.take(start + milliseconds(17)));
  EXPECT_FALSE(pacer.pending());
  // A frame held back and then shown at the end of an analysis counts as
  // shown: the next one waits its turn from then.
  EXPECT_FALSE(pacer.take(start + milliseconds(20)));
  pacer.shown(start + milliseconds(30));
  EXPECT_FALSE(pacer.pending());
  EXPECT_FALSE(pacer.take(start + milliseconds(40)));
  EXPECT_TRUE(pacer.take(start + milliseconds(47)));
}

TEST(FitPicture, KeepsTheProportionsAndCentresThePicture) {
  struct Case {
    int box_width, box_height;
    WindowArea want;
  };
  for (const Case& c : {
           Case{1024, 768, {0, 0, 1024, 768}},      // its own size
           Case{2048, 1536, {0, 0, 2048, 1536}},    // twice as large
           Case{1920, 1080, {240, 0, 1440, 1080}},  // wide: black bands left and right
           Case{1024, 1000, {0, 116, 1024, 768}},   // tall: bands above and below
           Case{800, 600, {0, 0, 800, 600}},        // smaller than the picture
           Case{1, 1, {0, 0, 1, 1}},                // never nothing
           Case{0, 0, {0, 0, 1, 1}},
       }) {
    const WindowArea got = fit_picture(1024, 768, c.box_width, c.box_height);
    EXPECT_EQ(got.x, c.want.x) << c.box_width << " x " << c.box_height;
    EXPECT_EQ(got.y, c.want.y) << c.box_width << " x " << c.box_height;
    EXPECT_EQ(got.width, c.want.width) << c.box_width << " x " << c.box_height;
    EXPECT_EQ(got.height, c.want.height) << c.box_width << " x " << c.box_height;
  }
}

TEST(ToArgb, GivesThePaletteColoursAndWhiteBeyondIt) {
  const std::vector<std::uint8_t> raster = {0, 1, 2, 12, 14, 15, 21, 99, 255};
  std::vector<std::uint32_t> argb(raster.size(), 0);
  to_argb(raster, argb);
  EXPECT_EQ(argb,
            (std::vector<std::uint32_t>{0xff000000, 0xff000080, 0xff008000, 0xffff0000, 0xffffff00,
                                        0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff}));
}

TEST(Plots, EachPlotShowsItsFinishedPictureOnce) {
  testing::RecordingSurface surface;
  IterationPlots plots(surface);
  std::vector<float> x(limits::max_samples, 0.0f), y(limits::max_samples, 0.0f);
  std::vector<int> colours(limits::max_samples, 4);
  x[1] = 1.0f;
  y[1] = 1.0f;
  std::vector<float> errors(limits::max_iterations + 2, 0.5f);
  for (int t = 0; t < 3; ++t) {
    surface.calls.clear();
    plots.plot_configuration(x, y, 2, colours, -999.0f, t);
    ASSERT_FALSE(surface.calls.empty());
    EXPECT_EQ(surface.calls.back().op, "show") << "the discs must be drawn before the show";
    EXPECT_EQ(surface.of("show").size(), 1u);
    if (t == 0) continue;
    surface.calls.clear();
    plots.plot_error_curve(t, -999.0f, t, "NLM", 0.0f, errors);
    EXPECT_EQ(surface.calls.back().op, "show") << "the caption must be written before the show";
    EXPECT_EQ(surface.of("show").size(), 1u);
  }
}

}  // namespace
}  // namespace display
