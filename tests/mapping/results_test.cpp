// The results of a mapping: hyper-polygon comparison, dimensionality, the
// error listing, the final configuration and the .NLM file, and when the
// scratch files are written.

#include "mapping/results.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>

#include "format/layout.hpp"
#include "literal_mapping.hpp"
#include "mapping/configuration.hpp"
#include "mapping_support.hpp"

namespace {

using mapping_test::file_lines;
using mapping_test::file_size_or_zero;
using mapping_test::MappingRun;
using mapping_test::Rows;

TEST(Dimensionality, SmallestDimensionWhoseNextPolygonErrorIsNotBelowTheBestError) {
  EXPECT_EQ(mapping::probable_dimensionality(0.04f), 3);   // above HP(3), not above HP(4)
  EXPECT_EQ(mapping::probable_dimensionality(0.053f), 3);  // equal to HP(4)
  EXPECT_EQ(mapping::probable_dimensionality(0.0531f), 4);
  EXPECT_EQ(mapping::probable_dimensionality(0.02f), 2);
  EXPECT_EQ(mapping::probable_dimensionality(0.00005f), 2);  // below HP(2)
  EXPECT_EQ(mapping::probable_dimensionality(0.145f), 19);   // above HP(19) = 0.14
  EXPECT_EQ(mapping::probable_dimensionality(0.2f), 19);
  EXPECT_EQ(mapping::probable_dimensionality(0.14f), 15);  // HP(16) is the first 0.14
}

TEST(HyperPolygonPercentage, BestErrorAgainstThePolygonOfTheVariableCount) {
  EXPECT_EQ(format::render("(E15.6)", mapping::hyper_polygon_percentage(0.04f, 5)),
            "   0.563380E+02\n");
  // Above 20 variables the polygon of dimension 20 stands in.
  EXPECT_FLOAT_EQ(mapping::hyper_polygon_percentage(0.03f, 25), 0.03f * 100.0f / 0.15f);
  EXPECT_FLOAT_EQ(mapping::hyper_polygon_percentage(0.03f, 20), 0.03f * 100.0f / 0.15f);
  EXPECT_FLOAT_EQ(mapping::hyper_polygon_percentage(0.0001f, 2), 100.0f);
}

TEST(ErrorListing, ShowsIterationsUpToTheBestFiveToALine) {
  MappingRun r({{1, 2}, {3, 4}});
  const std::vector<float> errors = {0.5f, 0.4f, 0.3f, 0.25f, 0.2f, 0.15f, 0.1f, 0.12f, 0.13f};
  mapping::IterationResult result;
  result.best_error = 0.1f;
  result.best_iteration = 7;
  mapping::report_errors(r.report, result, errors);
  result.best_iteration = 0;
  result.best_error = 10000.0f;
  mapping::report_errors(r.report, result, errors);
  EXPECT_EQ(r.report_lines(),
            (std::vector<std::string>{
                "          0.5000          0.4000          0.3000          0.2500          0.2000",
                "          0.1500          0.1000", "", "",
                " MINIMUM ERROR=   0.100000E+00 ON ITERATION   7",
                "",  // no best iteration: the list is one empty line
                "", "", " MINIMUM ERROR=   0.100000E+05 ON ITERATION   0"}));
}

TEST(ConfigurationListing, SampleNumbersFrom1000OnAreAsterisks) {
  Rows rows(1001, std::vector<float>{1.0f});
  MappingRun r(rows);
  std::vector<float> x(1001, 2.5f), y(1001, -1234.5f);
  x[1000] = 1e8f;
  mapping::list_configuration(r.report, r.table, x, y, 1001);
  const std::vector<std::string> lines = r.report_lines();
  ASSERT_EQ(lines.size(), 1001u);
  EXPECT_EQ(lines[0], "   1  S1               2.5000 -1234.5000");
  EXPECT_EQ(lines[998], " 999  S999             2.5000 -1234.5000");
  EXPECT_EQ(lines[999], " ***  S1000            2.5000 -1234.5000");
  EXPECT_EQ(lines[1000], " ***  S1001       *********** -1234.5000");
}

TEST(MappingResults, TheNlmFileHoldsTheFinalListingLineForLine) {
  MappingRun r(mapping_test::random_rows(30, 4, 3));
  r.map(1, 30);
  const std::vector<std::string> listing = r.block_after("1FINAL 2-SPACE CONFIGURATION");
  ASSERT_EQ(listing.size(), 30u);
  EXPECT_EQ(file_lines("TEST.NLM"), listing);
  EXPECT_EQ(listing[0].substr(0, 18), "   1  S1          ");
}

// Whether every expected line appears in the lines, in this order.
bool in_order(const std::vector<std::string>& lines, const std::vector<std::string>& expected) {
  std::size_t next = 0;
  for (const std::string& line : lines) {
    if (next < expected.size() && line == expected[next]) ++next;
  }
  return next == expected.size();
}

TEST(MappingResults, ReportBlockInItsOrder) {
  MappingRun r({{0, 0, 1}, {1, 0, 2}, {0, 1, 3}, {1, 1, 5}, {2, 1, 4}});
  r.map(0, 25);
  const std::vector<std::string> lines = r.report_lines();
  const std::string title = " MAPPING TEST DATA" + std::string(63, ' ');
  const std::string pluses(77, '+');
  EXPECT_TRUE(in_order(
      lines,
      {"", "", " BEGINNING OF NLM ROUTINE", "", title, "", "",
       " DECLARED MISSING VALUE =  -999.0000", "", " Means, Stand. dev. and Numb. of observations",
       " COORDINATE DIRECTIONS WITH MAXIMUM VARIANCE ARE  3 AND   1",
       " INITIAL 2-SPACE CONFIGURATION ", "   5  S5               4.0000     2.0000", "", pluses,
       " MAPPING ERROR:", "", "", ""}));
  EXPECT_TRUE(in_order(lines, {" OF A  3-DIMENSIONAL REGULAR HYPER-POLYGON", "", pluses,
                               "1FINAL 2-SPACE CONFIGURATION", "", "",
                               " NORMAL END OF NLM JOB" + title, "", std::string(77, '#')}));
  EXPECT_EQ(lines.back(), std::string(77, '#'));
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.rfind(" MINIMUM ERROR=", 0) == 0; }),
            1);
}

TEST(MappingResults, OneVariableHasNoPolygonToCompareWith) {
  MappingRun r({{1}, {2}, {4}, {8}});
  r.map(0, 25);
  EXPECT_TRUE(
      r.report_has(" ONE VARIABLE: NO HYPER-POLYGON ERROR TO COMPARE THE MAPPING ERROR WITH"));
  EXPECT_FALSE(r.report_has("PERCENT OF THAT"));
  EXPECT_TRUE(r.report_has(" PROBABLE DIMENSIONALITY IS:"));
  EXPECT_TRUE(r.report_has(" COORDINATE DIRECTIONS WITH MAXIMUM VARIANCE ARE  1 AND   1"));
}

TEST(ScratchFiles, LeftAsTheyWereUpTo1000Samples) {
  MappingRun r(mapping_test::random_rows(1000, 2, 8));
  {
    std::ofstream earlier("NLMA.TMP");
    earlier << "kept\n";
  }
  r.map(0, 1);
  EXPECT_EQ(file_lines("NLMA.TMP"), std::vector<std::string>{"kept"});
  EXPECT_TRUE(std::filesystem::exists("NLMB.TMP"));
  EXPECT_EQ(file_size_or_zero("NLMB.TMP"), 0u);
}

void expect_same_bits(const std::vector<float>& expected, const std::vector<float>& actual,
                      const std::string& what) {
  ASSERT_EQ(expected.size(), actual.size()) << what;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_EQ(std::bit_cast<std::uint32_t>(expected[k]), std::bit_cast<std::uint32_t>(actual[k]))
        << what << ", pair " << k + 1 << ": " << expected[k] << " read back as " << actual[k];
  }
}

// The files are what a dump of the plainly computed distances gives, and
// they read back as those distances.
TEST(ScratchFiles, Above1000SamplesHoldTheTargetAndTheLastMapDistances) {
  const int n = 1200;
  MappingRun r(mapping_test::random_rows(n, 3, 4), {"1", "2"});
  r.map(1, 3);
  const mapping_test::Literal expected =
      mapping_test::literal_mapping(r, mapping_test::starting_coordinate(r, 1, 1),
                                    mapping_test::starting_coordinate(r, 2, 1), 1.0f, 0.2f, 3);
  parallel::Team alone(1);
  mapping::dump_scratch_file("TARGET.TMP", expected.target, alone);
  mapping::dump_scratch_file("MAP.TMP", expected.map, alone);
  EXPECT_TRUE(mapping_test::file_text("NLMA.TMP") == mapping_test::file_text("TARGET.TMP"));
  EXPECT_TRUE(mapping_test::file_text("NLMB.TMP") == mapping_test::file_text("MAP.TMP"));
  const std::size_t pairs = mapping::pair_count(n);
  expect_same_bits(expected.target, mapping_test::read_dump("NLMA.TMP", pairs), "NLMA.TMP");
  expect_same_bits(expected.map, mapping_test::read_dump("NLMB.TMP", pairs), "NLMB.TMP");
}

}  // namespace
