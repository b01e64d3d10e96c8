// Free-field (list-directed) reading and writing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "format/layout.hpp"

namespace {

using format::ListStatus;

constexpr double kept = -99.0;  // the value a target had before the read

std::vector<double> targets(std::size_t n) {
  return std::vector<double>(n, kept);
}

TEST(ReadList, NullsLeaveTheirTargetsUnchanged) {
  format::StringLines lines("1 , , 2 3\n,5 6,\n7\n");
  std::vector<double> v = targets(4);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{1, kept, 2, 3}));
  // A comma opening a record is a null; a comma that ends a line is a
  // separator only.
  v = targets(4);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{kept, 5, 6, 7}));
}

TEST(ReadList, TheRestOfALineOpensTheNextRecord) {
  format::StringLines lines("1.5,2,,4\n5 6\n");
  std::vector<double> v{10, 20, 30};
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{1.5, 2, 30}));
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{4, 5, 6}));
  EXPECT_EQ(format::read_list(lines, v), ListStatus::end_of_data);
}

TEST(ReadList, RepeatCounts) {
  format::StringLines lines("2*9 2*\n3*1.5e1,4\n2*,1\n");
  std::vector<double> v = targets(4);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{9, 9, kept, kept}));
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{15, 15, 15, 4}));
  v = targets(3);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{kept, kept, 1}));
}

TEST(ReadList, ARepeatLongerThanTheRecordGoesOnInTheNext) {
  format::StringLines lines("5*2,,7\n");
  std::vector<double> v = targets(3);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{2, 2, 2}));
  v = targets(4);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{2, 2, kept, 7}));
}

TEST(ReadList, SlashEndsTheRecord) {
  format::StringLines lines("1,2/ 3\n4 5 6 /\n7 8 9\n");
  std::vector<double> v = targets(3);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{1, 2, kept}));
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{4, 5, 6}));
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{7, 8, 9}));
}

TEST(ReadList, ARecordGoesOnOverLinesAndPassesBlankLines) {
  format::StringLines lines("1 2\n\n   \n3\n 1.5+3 -.5 4\n");
  std::vector<double> v = targets(3);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{1, 2, 3}));
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{1500, -0.5, 4}));
  // A comma on a later line still separates; it is no null.
  format::StringLines split("1\n, 2\n");
  std::vector<double> w = targets(2);
  ASSERT_EQ(format::read_list(split, w), ListStatus::ok);
  EXPECT_EQ(w, (std::vector<double>{1, 2}));
}

TEST(ReadList, ABadItemStopsTheRecordAndItsLine) {
  format::StringLines lines("1 2 x 4\n5 6 7\n");
  std::vector<double> v = targets(3);
  EXPECT_EQ(format::read_list(lines, v), ListStatus::bad_value);
  EXPECT_EQ(v, (std::vector<double>{1, 2, kept}));
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v, (std::vector<double>{5, 6, 7}));
  for (const char* bad : {"0*1", "2.5*1", "*3", "'text'", "-", "3*x"}) {
    format::StringLines one(bad);
    std::vector<double> t = targets(1);
    EXPECT_EQ(format::read_list(one, t), ListStatus::bad_value) << bad;
  }
}

TEST(ReadList, TheEndOfTheData) {
  format::StringLines blank("\n  \n");
  std::vector<double> v = targets(2);
  EXPECT_EQ(format::read_list(blank, v), ListStatus::end_of_data);
  format::StringLines cut("1\n");
  EXPECT_EQ(format::read_list(cut, v), ListStatus::short_data);
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[1], kept);
}

TEST(ReadList, AFormattedReadDropsTheKeptRest) {
  format::StringLines lines("1 2 3\n  44\n");
  std::vector<double> v = targets(1);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  std::vector<format::Field> fields;
  ASSERT_EQ(format::read(format::Layout::parse("(F4.0)"), lines, 1, fields),
            format::ReadStatus::ok);
  EXPECT_EQ(fields[0].number, 44.0);
}

TEST(ReadList, SinglePrecisionTargetsAreRoundedOnce) {
  format::StringLines lines("1.0000001788139343261718749, 2*0.1");
  std::vector<float> v(3, 0.0f);
  ASSERT_EQ(format::read_list(lines, v), ListStatus::ok);
  EXPECT_EQ(v[0], std::nextafter(1.0f, 2.0f));
  EXPECT_EQ(v[2], 0.1f);
}

TEST(SplitListItems, SeparatorsQuotesAndNulls) {
  using Items = std::vector<std::string>;
  EXPECT_EQ(format::split_list_items("Ca, Mg  'Na 2O',\"K\"\"s\""),
            (Items{"Ca", "Mg", "Na 2O", "K\"s"}));
  EXPECT_EQ(format::split_list_items(",a,,b,"), (Items{"", "a", "", "b"}));
  EXPECT_EQ(format::split_list_items("'it''s' , x"), (Items{"it's", "x"}));
  EXPECT_EQ(format::split_list_items("'open"), (Items{"open"}));
  EXPECT_TRUE(format::split_list_items("   ").empty());
}

TEST(WriteList, BlankSeparatedIntegersAndShortestReals) {
  EXPECT_EQ(format::render_list(150, 3, 2, 9, -99.0f), " 150 3 2 9 -99\n");
  EXPECT_EQ(format::render_list(0.1f, 1.0e-7f, 3.4028235e38f), " 0.1 1e-07 3.4028235e+38\n");
  EXPECT_EQ(format::render_list(0.1), " 0.1\n");
  EXPECT_EQ(format::render_list(0.1000000001), " 0.1000000001\n");  // not a float
  EXPECT_EQ(format::render_list(), "\n");
}

TEST(WriteList, EveryFloatReadsBackToItself) {
  // Floats spread over the whole range, from their bit patterns.
  std::vector<float> values;
  for (std::uint32_t bits = 1; bits < 0x7f800000u; bits += 0x00123457u) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    values.push_back(f);
    values.push_back(-f);
  }
  std::string text = format::write_list(std::span<const float>(values));
  format::Values as_values;
  for (float f : values) as_values.emplace_back(f);
  EXPECT_EQ(text, format::write_list(as_values));
  format::StringLines lines(text);
  std::vector<float> back(values.size(), 0.0f);
  ASSERT_EQ(format::read_list(lines, back), ListStatus::ok);
  EXPECT_EQ(back, values);
}

}  // namespace
