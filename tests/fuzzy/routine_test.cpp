// The whole fuzzy routine: the guards that end a run before anything is
// written, the report blocks and the four result files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "console/run_stop.hpp"
#include "display/offscreen_surface.hpp"
#include "display/plots.hpp"
#include "fuzzy/fuzzy.hpp"
#include "fuzzy_support.hpp"

namespace {

std::vector<std::string> split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> items;
  for (std::string item; in >> item;) items.push_back(item);
  return items;
}

int count_of_lines(const std::vector<std::string>& lines, const std::string& text) {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.find(text) != std::string::npos;
  }));
}

const auto two_groups = [] { return blobs({{1, 2}, {6, 4}}, 6, 1.5f, 5); };

void expect_stop(FuzzyRun& r, const std::string& message) {
  try {
    r.run();
    ADD_FAILURE() << "the run went on; expected: " << message;
  } catch (const console::RunStop& stop) {
    EXPECT_EQ(std::string(stop.what()), message);
  }
  EXPECT_TRUE(r.lines("RUN.OUT").empty());  // nothing written before the check
  EXPECT_FALSE(r.exists("RUN.CNT"));
}

TEST(Guards, AnswersOutsideTheTablesOrFormulasEndTheRunFirst) {
  {
    FuzzyRun r(two_groups());
    r.args.q = 1.0f;
    expect_stop(r,
                "FUZZY EXPONENT Q = 1.0 IS NOT ABOVE 1: THE EXPONENT -1/(Q-1) CANNOT BE "
                "COMPUTED, THE CLUSTERING CANNOT RUN");
  }
  {
    FuzzyRun r(two_groups());
    r.extragrade = 'Y';
    r.args.alpha = 0.0f;
    expect_stop(r,
                "EXTRAGRADE ALPHA = 0.0 LEAVES THE FACTOR (1-ALPHA)/ALPHA WITHOUT A VALUE: THE "
                "CLUSTERING CANNOT RUN");
  }
  for (auto [first, last, extragrade] :
       {std::tuple{1, 3, 'N'}, {4, 3, 'N'}, {2, 36, 'N'}, {2, 35, 'Y'}}) {
    FuzzyRun r(two_groups());
    r.extragrade = extragrade;
    r.args.alpha = 0.1f;
    r.args.first_clusters = first;
    r.args.last_clusters = last;
    expect_stop(r, "CLUSTER COUNTS " + std::to_string(first) + " TO " + std::to_string(last) +
                       " ARE NOT A RANGE WITHIN 2 TO " + (extragrade == 'Y' ? "34" : "35") +
                       ": THE CLUSTERING CANNOT RUN");
  }
  {
    FuzzyRun r(two_groups());
    r.args.sort_column = 3;
    expect_stop(r, "SORT COLUMN 3 IS NOT A VARIABLE NUMBER 1 TO 2");
  }
  {
    FuzzyRun r(Rows{{1, -999}, {2, 5}, {3, -999}});
    r.storage.weights[1] = 0.0f;
    expect_stop(r,
                "VARIABLE V2 HAS NO VALUE IN A SAMPLE OF WEIGHT ABOVE 0: NO CLUSTER CENTRE CAN "
                "BE COMPUTED");
  }
}

TEST(Guards, LargestCountsTheTablesHoldRun) {
  const auto rows = blobs({{0, 0}, {5, 5}, {0, 9}}, 14, 2.0f, 9);
  for (char extragrade : {'N', 'Y'}) {
    FuzzyRun r(rows);
    r.extragrade = extragrade;
    r.args.alpha = 0.1f;
    r.args.first_clusters = extragrade == 'Y' ? 34 : 35;
    r.args.last_clusters = r.args.first_clusters;
    r.args.max_iterations = 3;
    r.run();
    const auto cls = r.lines("RUN.CLS");
    ASSERT_EQ(cls.size(), rows.size());
    // 35 class columns, only the last count's filled.
    const auto items = split(cls[0]);
    ASSERT_EQ(items.size(), 5u + 35u);
    EXPECT_NE(items[4 + (extragrade == 'Y' ? 33 : 34)], "0");
    EXPECT_EQ(items[5], "0");
  }
}

TEST(StartCounter, OutsideTheTableIsBroughtInWithAMessage) {
  FuzzyRun in_range(two_groups());
  in_range.storage.start_counter = 50;
  in_range.run();
  FuzzyRun outside(two_groups());
  outside.storage.start_counter = 450;
  outside.run();
  EXPECT_EQ(outside.lines("RUN.OUT"), in_range.lines("RUN.OUT"));
  EXPECT_NE(
      outside.screen.transcript().find(" RANDOM START NUMBER 450 IS OUTSIDE 1-200, TAKEN AS 50\n"),
      std::string::npos);
  // The counter carries on through the run: 12 samples, one draw each for c = 2.
  EXPECT_EQ(outside.storage.start_counter, in_range.storage.start_counter);
}

TEST(ResultFiles, CountsTwoToFourGiveThreeBlocksAndFourClassColumns) {
  FuzzyRun r(two_groups());
  r.args.first_clusters = 2;
  r.args.last_clusters = 4;
  r.storage.config_x[0] = 1.5f;
  r.storage.config_y[0] = -2.25f;
  r.run();
  const auto mem = r.lines("RUN.MEM");
  ASSERT_EQ(mem.size(), 3u * (1 + 12));
  for (int block = 0; block < 3; ++block) {
    const auto record = split(mem[block * 13]);
    ASSERT_EQ(record.size(), 5u) << mem[block * 13];
    EXPECT_EQ(std::vector<std::string>(record.begin(), record.begin() + 4),
              (std::vector<std::string>{"12", std::to_string(2 + block), "2", "4"}));
    EXPECT_EQ(std::stof(record[4]), -999.0f);
  }
  // Sample line: number, identifier, weight, the two coordinates (their
  // fields touch), then C1 memberships.
  EXPECT_EQ(mem[1].substr(0, 48), "    1  S1          1.0000.150000E+01-.225000E+01");
  EXPECT_EQ(mem[14].size(), 51u + 3 * 9 - 3);

  const auto cnt = r.lines("RUN.CNT");
  ASSERT_EQ(cnt.size(), 3u * 2);
  EXPECT_EQ(split(cnt[0]).size(), 1u + 2u);
  EXPECT_EQ(split(cnt[5]).size(), 1u + 4u);

  const auto cls = r.lines("RUN.CLS");
  ASSERT_EQ(cls.size(), 12u);
  for (const auto& line : cls) {
    ASSERT_EQ(line.size(), 4u + 1 + 10 + 1 + 6 + 30 + 1 + 4 * 3) << line;
    EXPECT_EQ(line.substr(line.size() - 3), "  0");
  }
  EXPECT_EQ(cls[0].substr(0, 53), "   1 S1          1.000        1.50000       -2.25000 ");

  const auto opt = r.lines("RUN.OPT");
  ASSERT_EQ(opt.size(), 4u + 3u);
  EXPECT_EQ(opt[0], "");
  EXPECT_EQ(opt[1], "");
  EXPECT_EQ(opt[2].substr(0, 9), "  C      ");
  EXPECT_EQ(opt[4].substr(0, 3), "  2");
  EXPECT_EQ(opt[6].substr(0, 3), "  4");
  EXPECT_FALSE(r.exists("SCALE.MMB"));
}

TEST(ResultFiles, ExtragradesFromTwoToNineGiveTenClassColumnsTheLastTwoZero) {
  FuzzyRun r(blobs({{0, 0}, {5, 5}, {0, 9}}, 6, 2.0f, 4));
  r.extragrade = 'Y';
  r.args.alpha = 0.1f;
  r.args.max_iterations = 20;
  r.run();
  EXPECT_EQ(r.extragrade, 'Y');  // the marker is back at the caller's answer
  const auto cls = r.lines("RUN.CLS");
  ASSERT_EQ(cls.size(), 18u);
  for (const auto& line : cls) {
    const auto items = split(line);
    ASSERT_EQ(items.size(), 5u + 10u) << line;
    EXPECT_EQ(items[13], "0");
    EXPECT_EQ(items[14], "0");
    EXPECT_NE(items[12], "0");
  }
  const auto mem = r.lines("RUN.MEM");
  EXPECT_EQ(count_of_lines(mem, " AVERAGE EXTRAGRADE MEMBERSHIP = "), 8);
  EXPECT_EQ(count_of_lines(r.lines("RUN.OUT"), " AVERAGE EXTRAGRADE MEMBERSHIP = "), 8);
  EXPECT_EQ(mem[1].size(), 51u + 3 * 9 - 3);  // c = 2 and the extragrade class
}

TEST(ResultFiles, ScalingFileOnlyWhenAsked) {
  FuzzyRun r(two_groups());
  r.args.first_clusters = r.args.last_clusters = 3;
  r.args.save_scaling = true;
  r.run();
  ASSERT_TRUE(r.exists("SCALE.MMB"));
  const auto mmb = r.lines("SCALE.MMB");
  ASSERT_EQ(mmb.size(), 3u + 2 + 2);
  EXPECT_EQ(split(mmb[0]), std::vector<std::string>{"3"});
  EXPECT_EQ(split(mmb[1]), std::vector<std::string>{"2"});
  EXPECT_EQ(std::stof(mmb[2]), 1.5f);
  EXPECT_EQ(mmb[3], "     1.000     0.000");
  EXPECT_EQ(mmb[4], "     0.000     1.000");
  EXPECT_EQ(split(mmb[5]).size(), 3u);  // the three centres on variable 1
  EXPECT_EQ(split(mmb[6]).size(), 3u);
}

TEST(Centres, LogTransformedVariableIsListedAsAntilog) {
  auto rows = two_groups();
  for (auto& row : rows) {
    row[1] = 2.0f;         // every centre is exactly 2.0 there
    row.push_back(40.0f);  // and 10^40 is beyond single precision
  }
  FuzzyRun r(rows);
  r.table.log_flags[1] = 1;
  r.table.log_flags[2] = 1;
  r.args.first_clusters = r.args.last_clusters = 2;
  r.run();
  const auto out = r.lines("RUN.OUT");
  const auto at =
      std::find(out.begin(), out.end(), " Cluster centers (antilog for logtransformed vars)");
  ASSERT_NE(at, out.end());
  EXPECT_EQ(*(at - 3), " V2                    2.00000          2.00000");
  EXPECT_EQ(*(at + 2), " V2                  100.00000        100.00000");
  const std::string said =
      " ANTILOG OF A CENTRE ON V3 EXCEEDS SINGLE PRECISION (LISTED AS ASTERISKS)";
  EXPECT_EQ(*(at + 3), said);
  EXPECT_EQ(*(at + 4),
            " V3" + std::string(11, ' ') + std::string(16, '*') + " " + std::string(16, '*'));
  EXPECT_NE(r.screen.transcript().find(said), std::string::npos);
  const auto cnt = r.lines("RUN.CNT");
  ASSERT_EQ(cnt.size(), 3u);
  EXPECT_EQ(cnt[1], " V2         L        100.00000        100.00000");
}

TEST(ErrorListing, PlacesNeverStoredPrintZero) {
  for (char extragrade : {'N', 'Y'}) {
    FuzzyRun r(two_groups());
    r.extragrade = extragrade;
    r.args.alpha = 0.1f;
    r.args.first_clusters = r.args.last_clusters = 2;
    r.args.max_iterations = 3;
    r.args.eps = -1.0f;  // never converges
    r.run();
    const auto out = r.lines("RUN.OUT");
    const auto at =
        std::find(out.begin(), out.end(), " LISTING OF MAXIMUM ERRORS IN EACH ITERATION: ");
    ASSERT_NE(at, out.end());
    const auto errors = split(*(at + 2));
    ASSERT_EQ(errors.size(), extragrade == 'Y' ? 5u : 4u);
    EXPECT_EQ(errors.back(), "0.0000");
    EXPECT_EQ((at + 4)->substr(0, 27),
              " NUMBER OF ITERATIONS =   " + std::to_string(errors.size()));
    EXPECT_EQ(count_of_lines(out,
                             " CONVERGENCE FLAG: UNABLE TO ACHIEVE SATISFACTORY CLUSTERS "
                             "AFTER    3 ITERATIONS"),
              1);
    EXPECT_EQ(count_of_lines(out,
                             " *: UNABLE TO ACHIEVE SATISFACTORY CLUSTERS AFTER    3 "
                             "ITERATIONS"),
              1);
    EXPECT_EQ(count_of_lines(r.lines("RUN.OPT"), " *"), 1);
  }
}

TEST(SkippedCount, ZeroDivisorIsSaidAndTheOtherCountsRun) {
  // Two places only: from three clusters on, every sample lands on a centre
  // and some centre keeps no weight.
  FuzzyRun r(Rows{{0, 0}, {0, 0}, {0, 0}, {10, 10}, {10, 10}, {10, 10}});
  r.args.first_clusters = 2;
  r.args.last_clusters = 4;
  r.run();
  const std::string said =
      " CLUSTER COUNT 3 CANNOT BE COMPUTED: CLUSTER 2 HAS NO WEIGHT ON VARIABLE V1 (ZERO "
      "DIVISOR IN ITS CENTRE); THE COUNT IS SKIPPED";
  const auto out = r.lines("RUN.OUT");
  EXPECT_EQ(count_of_lines(out, said), 1);
  EXPECT_NE(r.screen.transcript().find(said + "\n"), std::string::npos);
  EXPECT_EQ(count_of_lines(out, " CLUSTER COUNT 4 CANNOT BE COMPUTED: "), 1);
  EXPECT_EQ(count_of_lines(out, "  3   NOT COMPUTED"), 1);
  EXPECT_EQ(count_of_lines(out, "  4   NOT COMPUTED"), 1);
  EXPECT_EQ(count_of_lines(out, " NUMBER OF ITERATIONS = "), 1);  // count 2 only
  for (const auto& line : out) EXPECT_EQ(line.find("NaN"), std::string::npos) << line;
  // Validity rows and class columns only for the count that was computed.
  const auto opt = r.lines("RUN.OPT");
  ASSERT_EQ(opt.size(), 4u + 1u);
  EXPECT_EQ(opt[4].substr(0, 3), "  2");
  for (const auto& line : r.lines("RUN.CLS")) {
    const auto items = split(line);
    ASSERT_EQ(items.size(), 5u + 4u);
    EXPECT_NE(items[5], "0");
    EXPECT_EQ(items[6], "0");
    EXPECT_EQ(items[7], "0");
  }
}

TEST(SkippedCount, DistanceBeyondSinglePrecisionIsSaid) {
  // A value of 3E30 (a missing-value code not declared as one) puts the
  // centres so far out that a squared distance overflows.
  FuzzyRun r(Rows{{1, 2}, {2, 1}, {3e30f, 2}, {5, 5}, {6, 5}, {5, 6}});
  r.args.first_clusters = 2;
  r.args.last_clusters = 2;
  r.run();
  const std::string said =
      " CLUSTER COUNT 2 CANNOT BE COMPUTED: THE DISTANCE OF SAMPLE 1 TO CLASS 1 IS NOT A FINITE "
      "NUMBER; THE COUNT IS SKIPPED";
  EXPECT_EQ(count_of_lines(r.lines("RUN.OUT"), said), 1);
  for (const char* name : {"RUN.OUT", "RUN.CLS", "RUN.OPT"}) {
    for (std::string line : r.lines(name)) {
      for (char& ch : line) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      EXPECT_EQ(line.find("inf"), std::string::npos) << name << ": " << line;
      EXPECT_EQ(line.find("nan"), std::string::npos) << name << ": " << line;
    }
  }
}

TEST(Plots, EveryIterationDrawsTheClassesAndTheErrorCurve) {
  FuzzyRun r(two_groups());
  r.args.first_clusters = r.args.last_clusters = 2;
  for (int i = 0; i < 12; ++i) {
    r.storage.config_x[i] = r.table.value(i + 1, 1);
    r.storage.config_y[i] = r.table.value(i + 1, 2);
  }
  display::OffscreenSurface surface;
  display::IterationPlots plots(surface);
  fuzzy::run_fuzzy_clustering(r.args, r.context, r.scaling, &plots);
  int class_one = 0, curve = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      if (x < plots.W() && surface.pixel(x, y) == 1) ++class_one;
      if (x >= plots.W() && surface.pixel(x, y) == 12) ++curve;
    }
  }
  EXPECT_GT(class_one, 0);
  EXPECT_GT(curve, 0);
}

}  // namespace
