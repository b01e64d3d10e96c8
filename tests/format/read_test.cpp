// Formatted reading and the conversion of numeric fields. Where the expected
// value is not obvious it was checked by reading the same field with the
// same descriptor through a Fortran compiler's run-time library.

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "format/layout.hpp"

namespace {

double number(std::string_view field, int implied) {
  double value = -999.0;
  EXPECT_TRUE(format::read_number(field, implied, value)) << "'" << field << "'";
  return value;
}

bool is_number(std::string_view field) {
  double value = 0.0;
  return format::read_number(field, 2, value);
}

TEST(ReadNumber, ImpliedDecimalsOnlyWithoutAPoint) {
  EXPECT_DOUBLE_EQ(number("12345", 2), 123.45);
  EXPECT_DOUBLE_EQ(number("  -123", 2), -1.23);
  EXPECT_DOUBLE_EQ(number("1.5", 2), 1.5);
  EXPECT_DOUBLE_EQ(number("+.5", 2), 0.5);
  // The implied decimals apply to the digits before an exponent as well.
  EXPECT_DOUBLE_EQ(number("12345E1", 2), 1234.5);
}

TEST(ReadNumber, BlanksAreIgnoredAndAnAllBlankFieldIsZero) {
  EXPECT_DOUBLE_EQ(number("1 2 3", 2), 1.23);
  EXPECT_DOUBLE_EQ(number("3 .1 4", 2), 3.14);
  EXPECT_DOUBLE_EQ(number("- 1", 2), -0.01);
  EXPECT_EQ(number("        ", 2), 0.0);
  EXPECT_EQ(number("", 2), 0.0);
}

TEST(ReadNumber, ExponentsWithLetterOrBareSign) {
  EXPECT_DOUBLE_EQ(number("1.5+3", 0), 1500.0);
  EXPECT_DOUBLE_EQ(number("1.5D2", 0), 150.0);
  EXPECT_DOUBLE_EQ(number("1.5e-2", 0), 0.015);
  EXPECT_DOUBLE_EQ(number("1.5Q2", 0), 150.0);
  EXPECT_DOUBLE_EQ(number("1.5E +2", 0), 150.0);
}

TEST(ReadNumber, FieldsThatAreNotNumbers) {
  for (const char* bad : {"1.5E", "1.2.3", "1-", "abc", "1.5E+", "1e", "12,5", "1 x"})
    EXPECT_FALSE(is_number(bad)) << bad;
  // A field without any digit is a gap, not a zero.
  for (const char* gap : {"-", " + ", ".", "-.", "E5"}) EXPECT_FALSE(is_number(gap)) << gap;
}

TEST(ReadNumber, RangeLimits) {
  EXPECT_FALSE(is_number("1E400"));
  EXPECT_EQ(number("1E-400", 0), 0.0);
  EXPECT_TRUE(std::signbit(number("-1E-400", 0)));
  // Exponents far beyond any range do not wrap around.
  EXPECT_FALSE(is_number("1E99999999999999999999"));
  EXPECT_EQ(number("1E-99999999999999999999", 0), 0.0);
  // Long digit strings keep every digit for the rounding.
  EXPECT_DOUBLE_EQ(number(std::string(300, '1') + "E-298", 0), 11.111111111111111);
}

TEST(ReadReal, RoundsOnceToTheNearestFloat) {
  // Just below the midpoint between 1+2^-23 and 1+2^-22: through a double
  // it would land on the midpoint and round up to the even neighbour.
  float value = 0.0f;
  ASSERT_TRUE(format::read_real("1.0000001788139343261718749", 0, value));
  EXPECT_EQ(value, std::nextafter(1.0f, 2.0f));
  ASSERT_TRUE(format::read_real("1234", 3, value));
  EXPECT_EQ(value, 1.234f);
  EXPECT_FALSE(format::read_real("1E39", 0, value));  // beyond single precision
  EXPECT_FALSE(format::read_real("-", 0, value));
}

TEST(ReadInteger, SignsBlanksAndLimits) {
  long long value = -1;
  EXPECT_TRUE(format::read_integer(" 1 2 3", value));
  EXPECT_EQ(value, 123);
  EXPECT_TRUE(format::read_integer("- 1", value));
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(format::read_integer("   ", value));
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(format::read_integer("-9223372036854775808", value));
  EXPECT_EQ(value, std::numeric_limits<long long>::min());
  for (const char* bad : {"1.5", "-", "+", "12a", "9223372036854775808", "99999999999999999999"})
    EXPECT_FALSE(format::read_integer(bad, value)) << bad;
}

struct Read {
  format::ReadStatus status;
  std::vector<format::Field> fields;
};

Read read(std::string_view layout, std::string_view text, int count) {
  format::StringLines lines(text);
  Read result;
  result.status = format::read(format::Layout::parse(layout), lines, count, result.fields);
  return result;
}

TEST(ReadRecord, IdentifierAndImpliedDecimals) {
  Read r = read("(A10,3F8.2)", "SAMPLE 1     12345  -1.5     7\n", 4);
  ASSERT_EQ(r.status, format::ReadStatus::ok);
  ASSERT_EQ(r.fields.size(), 4u);
  EXPECT_TRUE(r.fields[0].is_text);
  EXPECT_EQ(r.fields[0].text, "SAMPLE 1  ");
  EXPECT_DOUBLE_EQ(r.fields[1].number, 123.45);
  EXPECT_DOUBLE_EQ(r.fields[2].number, -1.5);
  EXPECT_DOUBLE_EQ(r.fields[3].number, 0.07);
  EXPECT_EQ(r.fields[3].real, 0.07f);
}

TEST(ReadRecord, ShortRecordsReadAsIfPaddedWithBlanks) {
  Read r = read("(1X,A8,3F8.2)", " ABC        150", 4);
  ASSERT_EQ(r.status, format::ReadStatus::ok);
  EXPECT_EQ(r.fields[0].text, "ABC     ");
  EXPECT_DOUBLE_EQ(r.fields[1].number, 1.5);
  EXPECT_EQ(r.fields[2].number, 0.0);
  EXPECT_TRUE(r.fields[3].valid);
  EXPECT_EQ(r.fields[3].text, "        ");
}

TEST(ReadRecord, PositionsByXAndTab) {
  Read r = read("(T11,F5.1,TL15,I5,T18,F3.0)", "   42     12345  7.", 3);
  ASSERT_EQ(r.fields.size(), 3u);
  EXPECT_DOUBLE_EQ(r.fields[0].number, 1234.5);
  EXPECT_EQ(r.fields[1].number, 42.0);
  EXPECT_EQ(r.fields[2].number, 7.0);
}

TEST(ReadRecord, SlashAndReversionMoveToTheNextLine) {
  Read r = read("(2F4.1/F4.1)", "  10  20\n  30\n", 3);
  ASSERT_EQ(r.status, format::ReadStatus::ok);
  EXPECT_DOUBLE_EQ(r.fields[2].number, 3.0);
  Read rev = read("(I2,2(I3))", " 1  2  3\n  4  5\n", 5);
  ASSERT_EQ(rev.status, format::ReadStatus::ok);
  EXPECT_EQ(rev.fields[3].number, 4.0);
  EXPECT_EQ(rev.fields[4].number, 5.0);
}

TEST(ReadRecord, TheDataEndingInsideOrBeforeTheRead) {
  Read none = read("(F4.1)", "", 1);
  EXPECT_EQ(none.status, format::ReadStatus::end_of_data);
  Read cut = read("(2F4.1/F4.1)", "  10  20\n", 3);
  EXPECT_EQ(cut.status, format::ReadStatus::short_data);
  EXPECT_EQ(cut.fields.size(), 2u);
}

TEST(ReadRecord, AFieldThatCannotBeConvertedLetsTheReadGoOn) {
  Read r = read("(3F5.1)", "  1.5  abc  2.5", 3);
  ASSERT_EQ(r.status, format::ReadStatus::ok);
  EXPECT_TRUE(r.fields[0].valid);
  EXPECT_FALSE(r.fields[1].valid);
  EXPECT_EQ(r.fields[1].text, "  abc");
  EXPECT_DOUBLE_EQ(r.fields[2].number, 2.5);
  EXPECT_FALSE(read("(F5.0)", " 1E39", 1).fields[0].valid);  // not a single-precision value
}

TEST(ReadRecord, BlankModeAndScaleFactor) {
  EXPECT_DOUBLE_EQ(read("(BZ,F8.2)", "12345", 1).fields[0].number, 123450.0);
  EXPECT_DOUBLE_EQ(read("(BZ,F8.2,BN,F8.2)", "1 2 3   1 2 3", 2).fields[0].number, 102030.0);
  EXPECT_DOUBLE_EQ(read("(BZ,F8.2,BN,F8.2)", "1 2 3   1 2 3", 2).fields[1].number, 1.23);
  EXPECT_DOUBLE_EQ(read("(2PF8.2)", "12345", 1).fields[0].number, 1.2345);
  EXPECT_DOUBLE_EQ(read("(2PF8.2)", "1.5+3", 1).fields[0].number, 1500.0);  // not with an exponent
}

TEST(ReadRecord, TextWithoutAWidth) {
  format::StringLines lines("IDENTIFIER   1.5");
  std::vector<format::Field> fields;
  ASSERT_EQ(format::read(format::Layout::parse("(A,F6.1)"), lines, 2, fields, 10),
            format::ReadStatus::ok);
  EXPECT_EQ(fields[0].text, "IDENTIFIER");
  EXPECT_DOUBLE_EQ(fields[1].number, 1.5);
  EXPECT_EQ(read("(2X,A)", "  the rest  ", 1).fields[0].text, "the rest  ");
}

TEST(ReadRecord, EveryReadStartsWithAFreshLine) {
  format::StringLines lines("  11  12\n  21  22\n");
  format::Layout layout = format::Layout::parse("(F4.0)");
  std::vector<format::Field> fields;
  ASSERT_EQ(format::read(layout, lines, 1, fields), format::ReadStatus::ok);
  ASSERT_EQ(format::read(layout, lines, 1, fields), format::ReadStatus::ok);
  EXPECT_EQ(fields[0].number, 21.0);
  EXPECT_EQ(format::read(layout, lines, 1, fields), format::ReadStatus::end_of_data);
}

TEST(ReadRecord, LayoutsThatCannotReadTheItems) {
  EXPECT_THROW(read("(1X,'abc')", "x", 1), std::invalid_argument);
  // Nothing to read: the record is passed over.
  EXPECT_EQ(read("(1X)", "x", 0).status, format::ReadStatus::ok);
}

TEST(StringLines, SplitsAtLineEndsAndDropsCarriageReturns) {
  format::StringLines lines("one\r\n\ntwo\r\nthree");
  std::string line;
  std::vector<std::string> got;
  while (lines.next_line(line)) got.push_back(line);
  EXPECT_EQ(got, (std::vector<std::string>{"one", "", "two", "three"}));
  format::StringLines empty("");
  EXPECT_FALSE(empty.next_line(line));
}

}  // namespace
