#include "display/panels.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "decoders.hpp"
#include "display/offscreen_surface.hpp"
#include "display/panel_files.hpp"
#include "format/layout.hpp"
#include "recording_surface.hpp"

namespace display {
namespace {

using testing::Call;
using testing::RecordingSurface;
using testing::TempFolder;

// Files as the clustering writes them ------------------------------------------

const std::vector<std::string> validity_headings = {
    "", "", "  C      F      Fmin   Fscaled       H      Hmax     Hscaled     IT",
    "               (1/c)  (min<F<1)          (log c)  (1-F<H<max)"};

// The plain row and, when marked, the row of a count that reached the
// iteration limit, column for column as the run summary writes them.
std::string validity_row(int c, float fscaled, float hscaled, bool marked = false) {
  const float fmin = 1.0f / static_cast<float>(c), hmax = std::log(static_cast<float>(c));
  char row[128];
  std::snprintf(row, sizeof row,
                marked ? " %2d   %6.3f%8.3f   %6.3f     %6.3f%8.3f     %6.3f%8d *"
                       : " %2d   %6.3f  %6.3f   %6.3f     %6.3f  %6.3f     %6.3f%8d",
                c, 0.8, fmin, fscaled, 0.4, hmax, hscaled, marked ? 300 : 17);
  return row;
}

struct Sample {
  float x, y;
  std::vector<int> codes;
  const char* weight = " 1.000";
};

// (I4,1X,A10,1X,F6.3,2F15.5,1X,35I3)
std::string class_row(int i, const Sample& s) {
  char row[256];
  std::snprintf(row, sizeof row, "%4d SAMPLE%-4d %s%15.5f%15.5f ", i, i, s.weight, s.x, s.y);
  std::string out = row;
  for (int code : s.codes) {
    std::snprintf(row, sizeof row, "%3d", code);
    out += row;
  }
  return out;
}

void write_file(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::ofstream f(path);
  for (const std::string& line : lines) f << line << '\n';
}

void write_validity(const std::filesystem::path& path, int first, int last) {
  std::vector<std::string> lines = validity_headings;
  for (int c = first; c <= last; ++c) {
    lines.push_back(validity_row(c, 0.5f + 0.05f * (c - first), 0.8f - 0.03f * (c - first)));
  }
  write_file(path, lines);
}

void write_classes(const std::filesystem::path& path, const std::vector<Sample>& samples) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    lines.push_back(class_row(static_cast<int>(i + 1), samples[i]));
  }
  write_file(path, lines);
}

// Three samples whose classes run through the codes the colours treat apart.
std::vector<Sample> three_samples(int columns) {
  std::vector<Sample> s = {{0.0f, 0.0f, {}}, {10.0f, 10.0f, {}}, {5.0f, 5.0f, {}}};
  for (int p = 1; p <= columns; ++p) {
    s[0].codes.push_back(1);
    s[1].codes.push_back(p == 1 ? 15 : p == 2 ? 16 : 2);
    s[2].codes.push_back(p == 1 ? 20 : p == 2 ? 99 : p);
  }
  return s;
}

std::vector<int> corners(const PanelBox& b) {
  return {b.x1, b.y1, b.x2, b.y2};
}

// Grid and colours -------------------------------------------------------------

TEST(PanelGrid, GridsAndSlotsAt1024By768) {
  struct Case {
    int ncl, columns, PW, PH, validity_slot, slot;
    std::vector<int> box;
  };
  const Case cases[] = {{8, 3, 340, 255, 9, 1, {0, 0, 336, 252}},
                        {8, 3, 340, 255, 9, 5, {337, 253, 674, 505}},
                        {8, 3, 340, 255, 9, 9, {675, 506, 1023, 767}},
                        {9, 4, 255, 191, 16, 6, {256, 192, 511, 383}},
                        {10, 4, 255, 191, 16, 16, {768, 576, 1023, 767}}};
  for (const Case& c : cases) {
    const PanelGrid grid = choose_grid(c.ncl, 1024, 768);
    EXPECT_EQ((std::vector<int>{grid.columns, grid.PW, grid.PH, grid.validity_slot()}),
              (std::vector<int>{c.columns, c.PW, c.PH, c.validity_slot}))
        << "ncl " << c.ncl;
    EXPECT_EQ(corners(slot_box(grid, c.slot, 1024, 768)), c.box) << "slot " << c.slot;
  }
}

TEST(PanelColours, ClassCodesThatTheColoursTreatApart) {
  EXPECT_EQ(class_colour(15), 21);
  EXPECT_EQ(class_colour(16), 22);
  EXPECT_EQ(class_colour(20), 15);
  EXPECT_EQ(class_colour(3), 3);
  EXPECT_EQ(class_colour(99), 99);
}

// Reading the files ------------------------------------------------------------

TEST(PanelFiles, ResultNamesReplaceTheReportExtension) {
  EXPECT_EQ(result_file_name("OUTPUT.OUT", ".OPT"), "OUTPUT.OPT");
  EXPECT_EQ(result_file_name("run/B.OUT                     ", ".CLS"), "run/B.CLS");
}

TEST(PanelFiles, MarkedAndPlainValidityRowsReadAlike) {
  TempFolder folder("display-panels");
  std::vector<std::string> lines = validity_headings;
  lines.push_back(validity_row(2, 0.637f, 0.512f));
  lines.push_back(validity_row(3, 0.401f, 0.288f, true));
  lines.push_back("");  // a blank line is not a validity line
  lines.push_back(validity_row(4, -0.125f, 0.9f));
  write_file(folder / "A.OPT", lines);
  const std::vector<ValidityLine> v = read_validity_file((folder / "A.OPT").string());
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0].clusters, 2);
  EXPECT_FLOAT_EQ(v[0].fscaled, 0.637f);
  EXPECT_FLOAT_EQ(v[0].hscaled, 0.512f);
  EXPECT_EQ(v[1].clusters, 3);
  EXPECT_FLOAT_EQ(v[1].fscaled, 0.401f);
  EXPECT_FLOAT_EQ(v[1].hscaled, 0.288f);
  EXPECT_EQ(v[2].clusters, 4);
  EXPECT_FLOAT_EQ(v[2].fscaled, -0.125f);
}

// The rows as the summary's own layouts write them, marked ones included.
TEST(PanelFiles, RowsOfTheSummaryLayoutsReadBack) {
  TempFolder folder("display-panels");
  std::string text = format::render(
      "(/,/,' ',1X,'C',6X,'F',6X,'Fmin',3X,'Fscaled',7X,'H',6X,'Hmax',5X,'Hscaled',5X,'IT',/,' ',"
      "14X,'(1/c)',2X,'(min<F<1)',10X,'(log c)',2X,'(1-F<H<max)')");
  text += format::render("(' ',I2,3X,F6.3,F8.3,3X,F6.3,5X,F6.3,F8.3,5X,F6.3,I8,1X,A)", 2, 0.9f,
                         0.5f, 0.8f, 0.3f, 0.693f, 0.25f, 100, "*");
  text += format::render("(' ',I2,3X,F6.3,2X,F6.3,3X,F6.3,5X,F6.3,2X,F6.3,5X,F6.3,I8)", 3, 0.7f,
                         0.333f, 0.55f, 0.6f, 1.099f, 0.375f, 42);
  std::ofstream(folder / "A.OPT") << text;
  const std::vector<ValidityLine> v = read_validity_file((folder / "A.OPT").string());
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ((std::vector<float>{float(v[0].clusters), v[0].fscaled, v[0].hscaled}),
            (std::vector<float>{2.0f, 0.8f, 0.25f}));
  EXPECT_EQ((std::vector<float>{float(v[1].clusters), v[1].fscaled, v[1].hscaled}),
            (std::vector<float>{3.0f, 0.55f, 0.375f}));

  std::vector<int> codes(9, 0);
  codes[0] = 2, codes[7] = 99;
  std::ofstream(folder / "A.CLS") << format::render("(I4,1X,A10,1X,F6.3,2F15.5,1X,35I3)", 1, "S1",
                                                    1.0f, -12.25f, 3.5f, codes);
  const std::vector<ClassLine> c = read_class_file((folder / "A.CLS").string(), 8);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].x, -12.25f);
  EXPECT_EQ(c[0].y, 3.5f);
  EXPECT_EQ(c[0].codes[0], 2);
  EXPECT_EQ(c[0].codes[7], 99);
}

TEST(PanelFiles, AtMostTwentyValidityLines) {
  TempFolder folder("display-panels");
  write_validity(folder / "A.OPT", 1, 25);
  EXPECT_EQ(read_validity_file((folder / "A.OPT").string()).size(), 20u);
}

TEST(PanelFiles, ClassLinesKeepCoordinatesAndCodes) {
  TempFolder folder("display-panels");
  std::vector<Sample> s = three_samples(9);
  s[2].weight = "******";  // a weight too wide for its field is not needed
  s[2].x = -999.0f;
  write_classes(folder / "A.CLS", s);
  const std::vector<ClassLine> c = read_class_file((folder / "A.CLS").string(), 8);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[1].x, 10.0f);
  EXPECT_EQ(c[2].x, -999.0f);
  EXPECT_EQ(c[1].codes[0], 15);
  EXPECT_EQ(c[2].codes[1], 99);
  EXPECT_EQ(c[2].codes[8], 9);
  EXPECT_EQ(c[2].codes[9], 0);  // columns past the line read as 0
}

TEST(PanelFiles, FailuresNameTheFile) {
  TempFolder folder("display-panels");
  const std::string cls = (folder / "A.CLS").string();
  auto message = [](auto read) {
    try {
      read();
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { read_class_file(cls, 2); }), "CANNOT OPEN CLASS FILE " + cls);
  write_file(cls, {class_row(1, {1.0f, 2.0f, {1, 2}}),
                   "   2 SAMPLE2     1.000        abc.00000        2.00000   1  2"});
  EXPECT_EQ(message([&] { read_class_file(cls, 2); }),
            "CANNOT READ CLASS FILE " + cls + " AT LINE 2");
  write_file(cls, {class_row(1, {1.0f, 2.0f, {1, 2, 3}}), class_row(2, {1.0f, 2.0f, {1, 2, 3}})});
  std::string line = class_row(3, {1.0f, 2.0f, {1, 2, 3}});
  line[line.size() - 4] = 'x';  // in the second class column
  write_file(cls, {class_row(1, {1.0f, 2.0f, {1, 2, 3}}), line});
  EXPECT_EQ(message([&] { read_class_file(cls, 2); }),
            "CANNOT READ CLASS FILE " + cls + " AT LINE 2");
  EXPECT_EQ(message([&] { read_class_file(cls, 1); }), "no error");

  const std::string opt = (folder / "A.OPT").string();
  std::vector<std::string> lines = validity_headings;
  lines.push_back(validity_row(2, 0.5f, 0.5f));
  lines.push_back("  3   0.800   0.333   ******     0.400   1.099      0.100      17");
  write_file(opt, lines);
  EXPECT_EQ(message([&] { read_validity_file(opt); }),
            "CANNOT READ VALIDITY FILE " + opt + " AT LINE 6");
}

// The panels -------------------------------------------------------------------

struct PanelRun {
  TempFolder folder{"display-panels"};
  std::string report() const { return (folder / "OUTPUT.OUT").string(); }
  std::string bitmap() const { return (folder / "OUTPUT.BMP").string(); }
  PanelRun(int first, int last, std::vector<Sample> samples) {
    write_validity(folder / "OUTPUT.OPT", first, last);
    write_classes(folder / "OUTPUT.CLS", samples);
  }
};

std::vector<Call> outlines(const RecordingSurface& s) {
  std::vector<Call> out;
  for (const Call& c : s.of("rectangle")) {
    if (c.colour == 1) out.push_back(c);
  }
  return out;
}

// The outlines of slots 1 .. ncl and then of the validity slot.
void expect_slot_outlines(const std::vector<Call>& boxes, int ncl) {
  const PanelGrid grid = choose_grid(ncl, 1024, 768);
  ASSERT_GE(static_cast<int>(boxes.size()), ncl + 1);
  for (int p = 1; p <= ncl + 1; ++p) {
    const int slot = p <= ncl ? p : grid.validity_slot();
    EXPECT_EQ(boxes[p - 1].corners(), corners(slot_box(grid, slot, 1024, 768))) << slot;
  }
}

TEST(Panels, CountsTwoToNineFillTheThreeByThreeGrid) {
  PanelRun run(2, 9, three_samples(9));
  RecordingSurface s;
  show_clustering_panels(s, run.report(), 9, run.bitmap());
  const std::vector<Call> boxes = outlines(s);
  ASSERT_EQ(boxes.size(), 10u);  // 8 clusterings, the validity panel and its inner box
  expect_slot_outlines(boxes, 8);
  EXPECT_EQ(boxes[9].corners(), (std::vector<int>{709, 531, 989, 741}));
  EXPECT_EQ(s.of("ellipse").size(), 8u * 3u);
  const Call save = s.of("save").at(0);
  EXPECT_EQ(save.text, run.bitmap());
  EXPECT_EQ(save.corners(), (std::vector<int>{0, 0, 1024, 768}));
  EXPECT_EQ(s.calls.back().op, "keep_open");
}

TEST(Panels, CountsTwoToElevenLeaveSlotsElevenToFifteenEmpty) {
  PanelRun run(2, 11, three_samples(11));
  RecordingSurface s;
  show_clustering_panels(s, run.report(), 11, run.bitmap());
  const std::vector<Call> boxes = outlines(s);
  ASSERT_EQ(boxes.size(), 12u);  // slots 1 to 10, 16 and the inner box of 16
  expect_slot_outlines(boxes, 10);
}

TEST(Panels, DiscColoursFollowTheClassCodes) {
  PanelRun run(2, 4, three_samples(4));
  RecordingSurface s;
  show_clustering_panels(s, run.report(), 4, run.bitmap());
  std::vector<int> colours;
  for (const Call& c : s.of("ellipse")) colours.push_back(c.colour);
  // Panels 1 to 3, samples 1 to 3 in each.
  EXPECT_EQ(colours, (std::vector<int>{1, 21, 15, 1, 22, 99, 1, 2, 3}));
}

TEST(Panels, AMissingCoordinateIsNotScaled) {
  std::vector<Sample> samples = three_samples(3);
  samples[2].x = -999.0f;
  samples[2].y = -999.0f;
  PanelRun run(2, 3, samples);
  RecordingSurface s;
  show_clustering_panels(s, run.report(), 3, run.bitmap());
  // Panel 1 spans (0,0)-(336,252): the disc centre is (0 - 999, 251 + 999).
  EXPECT_EQ(s.of("ellipse").at(2).corners(), (std::vector<int>{-1001, 1248, -997, 1252}));
}

// Coordinates too wide for F15.5 are written as asterisks: the sample has no
// place in the panels, and the picture is still drawn and saved.
TEST(Panels, ACoordinateWrittenAsAsterisksFallsOutsideItsPanel) {
  std::vector<Sample> samples = three_samples(3);
  PanelRun run(2, 3, samples);
  std::string text;
  samples[2].x = 1e9f;
  samples[2].y = -1e10f;
  for (int i = 0; i < 3; ++i) {
    text += format::render("(I4,1X,A10,1X,F6.3,2F15.5,1X,35I3)", i + 1, "S", 1.0f, samples[i].x,
                           samples[i].y, samples[i].codes);
  }
  ASSERT_NE(text.find("***************"), std::string::npos);
  std::ofstream(run.folder / "OUTPUT.CLS") << text;
  const std::vector<ClassLine> c = read_class_file((run.folder / "OUTPUT.CLS").string(), 2);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[2].x, panel_missing);
  EXPECT_EQ(c[2].y, panel_missing);
  EXPECT_EQ(c[2].codes[1], 99);

  RecordingSurface s;
  show_clustering_panels(s, run.report(), 3, run.bitmap());
  EXPECT_EQ(s.of("ellipse").at(2).corners(), (std::vector<int>{-1001, 1248, -997, 1252}));
  EXPECT_EQ(s.of("save").size(), 1u);
}

TEST(Panels, OneClusterCountIsNoRange) {
  PanelRun run(3, 3, three_samples(3));
  RecordingSurface s;
  EXPECT_THROW(show_clustering_panels(s, run.report(), 3, run.bitmap()), std::runtime_error);
  EXPECT_TRUE(s.calls.empty());
}

TEST(Panels, AMissingClassFileIsNamed) {
  PanelRun run(2, 4, three_samples(4));
  std::filesystem::remove(run.folder / "OUTPUT.CLS");
  RecordingSurface s;
  try {
    show_clustering_panels(s, run.report(), 4, run.bitmap());
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "CANNOT OPEN CLASS FILE " + (run.folder / "OUTPUT.CLS").string());
  }
}

// The saved bitmap, decoded independently, at pixels the geometry fixes.
TEST(Panels, TheBitmapShowsTheBoxesDiscsAndCurves) {
  if (!testing::python_available()) GTEST_SKIP() << "python3 is not installed";
  PanelRun run(2, 9, three_samples(9));
  OffscreenSurface s;
  show_clustering_panels(s, run.report(), 9, run.bitmap());
  testing::Ppm image;
  ASSERT_TRUE(testing::decode_with_python(run.bitmap(), image));
  testing::expect_same_picture(s, image);
  auto colour = [&](int x, int y) {
    const Rgb c = image.at(x, y);
    return std::vector<int>{c.red, c.green, c.blue};
  };
  const std::vector<int> navy = {0, 0, 128}, white = {255, 255, 255}, red = {255, 0, 0};
  EXPECT_EQ(colour(337, 253), navy);  // slot 5's outline
  EXPECT_EQ(colour(674, 505), navy);
  EXPECT_EQ(colour(500, 400), (std::vector<int>{0, 0, 0}));
  // Sample 3 at (5,5) of a 0..10 range: x = 337 + 170.4, y = 504 - 127.8; code 5.
  EXPECT_EQ(colour(507, 376), (std::vector<int>{128, 0, 128}));
  // Panel 1: sample 3 has code 20, drawn white, centred at (0 + 170.4, 251 - 127.8).
  EXPECT_EQ(colour(170, 123), white);
  // Validity panel: the inner box from (709,531) to (989,741); the F curve
  // starts at height 741.5 - 204 * 0.5, the H curve at 741.5 - 204 * 0.8.
  EXPECT_EQ(colour(800, 531), navy);
  EXPECT_EQ(colour(709, 639), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(colour(709, 578), (std::vector<int>{0, 255, 255}));
  EXPECT_EQ(colour(747, 735), red);  // the tick of 3 clusters
  EXPECT_EQ(colour(989, 735), red);  // the last tick on the right edge
}

}  // namespace
}  // namespace display
