// The plots' window, on a virtual X server that each test starts for itself:
// the window shows what the plots draw while the analyses run and the panel
// picture at the end, pixel for pixel as the bitmap has it; it waits at the
// end only for a user at a terminal; closing it early changes no file. A run
// with a display writes every file and the piped screen byte for byte as a
// run without one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "display/decoders.hpp"
#include "display/palette.hpp"
#include "e2e/e2e_support.hpp"
#include "e2e/terminal_run.hpp"

#ifdef TARNWICK_TEST_X11
#include "e2e/virtual_display.hpp"
#endif

using namespace e2e;

namespace {

constexpr int kLimit = 300;  // seconds; only a guard against a run that hangs
// A mapping that lasts long enough to be watched: about a second on two cores,
// and longer on a machine that is busy with other tests.
constexpr int kSamples = 1200;
constexpr int kIterations = 500;
const std::string kTitle = "Tarnwick";
const std::string kWaitLine = " CLOSE THE GRAPHICS WINDOW OR PRESS A KEY IN IT TO END";

// The two folders hold the same files with the same bytes, but for those
// named in `except`; each difference is named, not shown.
void expect_same_files(const Folder& got, const Folder& want,
                       const std::vector<std::string>& except = {}) {
  const auto names = [&](const Folder& dir) {
    std::vector<std::string> list;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      const std::string name = entry.path().filename().string();
      if (std::find(except.begin(), except.end(), name) == except.end()) list.push_back(name);
    }
    std::sort(list.begin(), list.end());
    return list;
  };
  const std::vector<std::string> files = names(want);
  ASSERT_EQ(names(got), files);
  for (const auto& name : files) {
    EXPECT_TRUE(got.read(name) == want.read(name)) << name << " differs";
  }
}

// Four variables of `samples` samples in four groups, the same every time.
void write_grouped_samples(const Folder& dir, int samples) {
  std::string text = "A,B,C,D\n";
  unsigned state = 12345;
  for (int i = 0; i < samples; ++i) {
    for (int v = 0; v < 4; ++v) {
      state = state * 1103515245u + 12345u;
      const double noise = static_cast<double>((state >> 8) % 1000) / 250.0;
      char value[32];
      std::snprintf(value, sizeof value, "%.2f", 10.0 * (i % 4) + 3.0 * v * (i % 2) + noise);
      text += value;
      text += v < 3 ? "," : "\n";
    }
  }
  dir.write("M.CSV", text);
}

// Mode B on M.CSV: the mapping with `iterations`, then 2 to 4 clusters.
void write_both_analyses(const Folder& dir, int iterations) {
  std::vector<std::string> answers = {"OUT", "B", "N", "C", "M", "", "N"};
  for (int v = 0; v < 4; ++v) answers.insert(answers.end(), {"Y", "N"});
  answers.insert(answers.end(), {"Y", "", "1", "1.0", std::to_string(iterations), "Y"});
  answers.insert(answers.end(), {"1", "N", "1.5", "2", "4", "60", "0.0001", "7", "0.75", "2", "Y"});
  answers.insert(answers.end(), {"", ""});
  dir.write("run.dlg", join_lines(answers));
}

// What the window must show: a run of the program whose picture at the end is
// the panel bitmap.
void use_iris_example(const Folder& dir) {
  copy_example(dir, "iris");
}

bool built_with_window() {
#ifdef TARNWICK_WITH_WINDOW
  return true;
#else
  return false;
#endif
}

}  // namespace

// Whatever display there is, a scripted run writes the same bytes: the
// window is no part of the transcript or the files.
TEST(Window, ScriptedRunWithADisplayWritesWhatARunWithoutOneWrites) {
  Folder plain("_plain");
  use_iris_example(plain);
  const RunResult without = plain.run({"N", "iris.dlg"}, kLimit);
  ASSERT_EQ(without.status, 0) << last_line(without.screen);
  EXPECT_FALSE(contains(without.screen, kWaitLine));
#ifdef TARNWICK_TEST_X11
  VirtualDisplay display;
  if (!display.running()) GTEST_SKIP() << "Xvfb is not installed or did not start";
  Folder shown;
  use_iris_example(shown);
  // Standard input is a file: the run must end by itself, window or not.
  const RunResult with = shown.run({"N", "iris.dlg"}, kLimit, display.name());
  ASSERT_EQ(with.status, 0) << "124 means it waited: " << last_line(with.screen);
  expect_same_files(shown, plain);  // the piped screen included
#else
  GTEST_SKIP() << "the tests were built without Xlib: no virtual display";
#endif
}

#ifdef TARNWICK_TEST_X11

namespace {

// Palette colours as the X server gives them back.
unsigned long rgb_of(int index) {
  const display::Rgb c = display::palette[static_cast<std::size_t>(index)];
  return static_cast<unsigned long>(c.red) << 16 | static_cast<unsigned long>(c.green) << 8 |
         c.blue;
}

// The pixels of one colour in a rectangle.
int pixels_of_colour(const WindowPicture& picture, int x1, int y1, int x2, int y2,
                     unsigned long rgb) {
  int n = 0;
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) n += picture.at(x, y) == rgb ? 1 : 0;
  }
  return n;
}

// The configuration plot and the error curve in a 1024 x 768 window: the
// green outlines of both areas (corners the curve cannot reach), discs of
// another colour inside the left one, the red curve and the green caption
// in the right one.
bool shows_both_plots(const WindowPicture& p) {
  if (p.width != 1024 || p.height != 768) return false;
  const unsigned long green = rgb_of(2), red = rgb_of(12), black = rgb_of(0);
  const bool outlines = p.at(0, 0) == green && p.at(681, 767) == green && p.at(682, 767) == green &&
                        p.at(1022, 767) == green;
  const int area = 680 * 766;
  const int discs = area - pixels_of_colour(p, 1, 1, 680, 766, black) -
                    pixels_of_colour(p, 1, 1, 680, 766, green);
  return outlines && discs > 0 && pixels_of_colour(p, 683, 1, 1021, 766, red) > 0 &&
         pixels_of_colour(p, 880, 736, 1021, 751, green) > 0;
}

// For a look at a picture that failed.
void write_ppm(const WindowPicture& picture, const fs::path& path) {
  std::string text =
      "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n";
  for (const unsigned long rgb : picture.rgb) {
    text += {static_cast<char>(rgb >> 16), static_cast<char>(rgb >> 8), static_cast<char>(rgb)};
  }
  write_file(path, text);
}

// The grouped samples and the answers for both analyses.
void write_long_analyses(const Folder& dir) {
  write_grouped_samples(dir, kSamples);
  write_both_analyses(dir, kIterations);
}

// Both analyses with no display: the files a run with a window must also leave.
void run_long_analyses_without_display(const Folder& plain) {
  write_long_analyses(plain);
  const RunResult without = plain.run({"N", "run.dlg"}, kLimit);
  ASSERT_EQ(without.status, 0) << last_line(without.screen);
}

class WindowOnDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!built_with_window()) GTEST_SKIP() << "the program was built without SDL2: no window";
    if (!display_.running()) GTEST_SKIP() << "Xvfb is not installed or did not start";
  }
  VirtualDisplay display_;
};

}  // namespace

// At a terminal the run keeps its final picture on screen: the window, read
// back from the X server, holds exactly the bitmap's pixels, and a key
// pressed in it ends the run.
TEST_F(WindowOnDisplay, FinalPictureEqualsTheBitmapAndAKeyEndsTheWait) {
  Folder dir;
  use_iris_example(dir);
  TerminalRun run(dir.path(), 80, 24, display_.name());
  ASSERT_TRUE(run.started());
  run.type("N");
  run.type("iris.dlg");
  ASSERT_TRUE(run.read_until(kWaitLine, kLimit)) << run.output();
  const ::Window window = display_.find_window(kTitle);
  ASSERT_NE(window, 0u) << "no window titled " << kTitle;
  const auto shown = display_.picture(window);
  ASSERT_TRUE(shown.has_value());
  ASSERT_EQ(shown->width, 1024);
  ASSERT_EQ(shown->height, 768);
  if (display::testing::python_available()) {
    display::testing::Ppm bitmap;
    ASSERT_TRUE(display::testing::decode_with_python(dir / "IRIS.BMP", bitmap));
    ASSERT_EQ(bitmap.width, shown->width);
    ASSERT_EQ(bitmap.height, shown->height);
    int mismatches = 0;
    for (int y = 0; y < bitmap.height; ++y) {
      for (int x = 0; x < bitmap.width; ++x) {
        const display::Rgb b = bitmap.at(x, y);
        const unsigned long want = static_cast<unsigned long>(b.red) << 16 |
                                   static_cast<unsigned long>(b.green) << 8 | b.blue;
        if (shown->at(x, y) != want && ++mismatches <= 5) {
          ADD_FAILURE() << "window pixel (" << x << "," << y << ") differs from the bitmap";
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
  EXPECT_TRUE(run.running()) << "the run did not wait for the user";
  display_.press_key(window);
  EXPECT_EQ(run.finish(kLimit), 0) << run.output();
}

// The mapping draws in the window while it iterates; the user closes the
// window half-way, and the run goes on without it to the same files as a run
// that never had a window, panel bitmap included, and does not wait.
TEST_F(WindowOnDisplay, ShowsThePlotsWhileMappingAndClosingItChangesNoFile) {
  Folder plain("_plain");
  run_long_analyses_without_display(plain);
  Folder dir;
  write_long_analyses(dir);
  TerminalRun run(dir.path(), 80, 24, display_.name());
  ASSERT_TRUE(run.started());
  run.type("N");
  run.type("run.dlg");
  const ::Window window = display_.wait_for_window(kTitle, kLimit);
  ASSERT_NE(window, 0u) << "no window titled " << kTitle << "\n" << run.output();
  // Looked at until the clustering's status line shows that the mapping is over.
  std::optional<WindowPicture> picture;
  bool seen = false;
  while (!seen && run.running() && !contains(run.output(), " CLUSTERS (")) {
    picture = display_.picture(window);
    seen = picture && shows_both_plots(*picture);
    run.read_available();
  }
  if (!seen && picture) write_ppm(*picture, dir / "window.ppm");
  EXPECT_TRUE(seen) << "the configuration plot and the error curve never showed together; "
                    << "the window's last picture is in " << (dir / "window.ppm");
  display_.close_window(window);
  EXPECT_EQ(run.finish(kLimit), 0) << run.output();
  EXPECT_FALSE(contains(run.output(), kWaitLine)) << "the window was closed before the end";
  expect_same_files(dir, plain, {"stdin.txt", "screen.txt"});
}

// A display that goes away under a running analysis (a remote session that
// drops) takes the window with it, not the run: the run ends normally with
// the same files and does not wait.
TEST_F(WindowOnDisplay, TheDisplayGoingAwayMidRunChangesNoFile) {
  Folder plain("_plain");
  run_long_analyses_without_display(plain);
  Folder dir;
  write_long_analyses(dir);
  TerminalRun run(dir.path(), 80, 24, display_.name());
  ASSERT_TRUE(run.started());
  run.type("N");
  run.type("run.dlg");
  ASSERT_NE(display_.wait_for_window(kTitle, kLimit), 0u) << run.output();
  display_.stop();
  EXPECT_EQ(run.finish(kLimit), 0) << run.output();
  EXPECT_FALSE(contains(run.output(), kWaitLine));
  expect_same_files(dir, plain, {"stdin.txt", "screen.txt"});
}

#endif
