// Formatted writing. Every expected text here was produced by a Fortran
// compiler's run-time library (gfortran) writing the same values with the
// same layout; the engine must give the same characters.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "format/layout.hpp"

namespace {

using format::render;

struct Case {
  const char* layout;
  format::Value value;
  const char* expected;
};

// Random fields (widths, decimals, magnitudes, signs) drawn once and written
// by the compiler; floats are REAL, doubles DOUBLE PRECISION.
const std::vector<Case>& compiler_fields() {
  static const std::vector<Case> cases = {
      {"(G12.6)", -6.0587E-5f, "-.605870E-04"},
      {"(G9.2)", -99.995E-5f, "-0.10E-02"},
      {"(G12.5)", 8.46466E2f, "  846.47    "},
      {"(G16.7)", 9.5E-12f, "   0.9500000E-11"},
      {"(G14.5)", 6.307E12f, "   0.63070E+13"},
      {"(G10.1)", 0.0004E30f, "   0.4E+27"},
      {"(G13.7)", -3.48E2f, "-348.0000    "},
      {"(G12.3)", 8.682E-5f, "   0.868E-04"},
      {"(G12.4)", -6.9512432E1f, "  -69.51    "},
      {"(G7.1)", -0.45E30f, "-.5E+30"},
      {"(G8.5)", -2.9706E12f, "********"},
      {"(G2.2)", -3.32470E3f, "**"},
      {"(E18.2)", -9.5E1f, "         -0.95E+02"},
      {"(E12.6)", 9.05e2, "0.905000E+03"},
      {"(E9.3)", 1.8E-3f, "0.180E-02"},
      {"(E14.5)", 6.7865735134e-1, "   0.67866E+00"},
      {"(E9.3)", -1.11E0f, "-.111E+01"},
      {"(E15.4)", 0.5E8f, "     0.5000E+08"},
      {"(E16.1)", 0.35E-8f, "         0.4E-08"},
      {"(E13.3)", 1.94291037E-12f, "    0.194E-11"},
      {"(E11.2)", -4.2808502E30f, "  -0.43E+31"},
      {"(E15.8)", -1.82465e300, "-0.18246500+301"},
      {"(E11.7)", -7.281259730525967e1, "***********"},
      {"(E11.8)", -1.234567E-3f, "***********"},
      {"(E7.4)", -0.35E30f, "*******"},
      {"(F3.1)", 3.58961218e-100, "0.0"},
      {"(F11.8)", -4.602904E-2f, "-0.04602904"},
      {"(F10.3)", 5.155666E-30f, "     0.000"},
      {"(F10.1)", 0.05E0f, "       0.1"},
      {"(F5.0)", 0.0004E1f, "   0."},
      {"(F9.0)", 123.456E3f, "  123456."},
      {"(F9.5)", 6.4421657376081e-300, "  0.00000"},
      {"(F9.2)", 0.0351E-1f, "     0.00"},
      {"(F9.1)", 100000E-37f, "      0.0"},
      {"(F7.4)", 4.216968434464475e2, "*******"},
      {"(F1.1)", -9.1255E-1f, "*"},
      {"(F1.1)", 7.486557156e300, "*"},
      {"(I12)", -2147483647LL, " -2147483647"},
      {"(I5)", 0LL, "    0"},
      {"(I2)", -7LL, "-7"},
      {"(I7.3)", -12345LL, " -12345"},
      {"(I1)", 0LL, "0"},
      {"(I4.1)", 0LL, "   0"},
      {"(I5)", -12345LL, "*****"},
      {"(I6)", 2147483647LL, "******"},
  };
  return cases;
}

TEST(WriteAgainstCompiler, RandomFieldsGiveTheSameCharacters) {
  for (const Case& c : compiler_fields()) {
    std::vector<format::Value> values{c.value};
    EXPECT_EQ(format::write(c.layout, values), std::string(c.expected) + "\n") << c.layout;
  }
}

TEST(WriteFixed, OptionalZeroOnlyWhenTheFieldHasRoom) {
  EXPECT_EQ(render("(F6.3)", -0.0004f), "-0.000\n");
  EXPECT_EQ(render("(F2.1,1X,F3.1,1X,F2.1)", 0.25f, 0.25f, 0.0f), ".2 0.2 .0\n");
  EXPECT_EQ(render("(F3.1,1X,F3.1,1X,F4.1,1X,F4.1)", 0.96f, -0.96f, -0.04f, 9.96f),
            "1.0 *** -0.0 10.0\n");
  // Without decimals the zero is the only digit and is never dropped.
  EXPECT_EQ(render("(F1.0,1X,F2.0,1X,F2.0,1X,F1.0)", 0.4f, 0.6f, -0.4f, 1.0f), "* 1. ** *\n");
  EXPECT_EQ(render("(F5.0,F5.0,F2.0)", 3.0f, 0.4f, 0.0f), "   3.   0.0.\n");
}

TEST(WriteFixed, NegativeValuesKeepTheirSignWhenRoundedToZero) {
  EXPECT_EQ(render("(F6.3)", -0.0f), "-0.000\n");
  EXPECT_EQ(render("(F4.1)", -0.04f), "-0.0\n");
  EXPECT_EQ(render("(F3.1)", -0.04f), "-.0\n");
}

TEST(WriteFixed, HalfwayCasesRoundFromTheExactBinaryValue) {
  // 0.25 is exact and rounds to even; 0.35f and 0.45f lie just below the
  // halfway point, 0.15f just above.
  EXPECT_EQ(render("(F5.1,F5.1,F5.1,F5.1)", 0.25f, 0.35f, 0.15f, 0.45f), "  0.2  0.3  0.2  0.4\n");
  EXPECT_EQ(render("(F5.1,F5.1,F6.2)", 0.25, 0.125, 0.125), "  0.2  0.1  0.12\n");
  // 1234567.891f is 1234567.875 exactly: a tie at two decimals, to even.
  EXPECT_EQ(render("(F10.2,F6.2)", 1234567.891f, 999.999f), "1234567.88******\n");
}

TEST(WriteFixed, FloatsArePrintedFromTheirOwnValueNotADecimalNeighbour) {
  // 0.1f is 0.100000001490116...; printed with many decimals it shows so.
  EXPECT_EQ(render("(F12.10)", 0.1f), "0.1000000015\n");
  EXPECT_EQ(render("(F12.10)", 0.1), "0.1000000000\n");
}

TEST(WriteExponent, LeadingZeroAndExponentForms) {
  EXPECT_EQ(render("(E12.7)", 1.234567f), ".1234567E+01\n");
  EXPECT_EQ(render("(E15.6)", 0.0123456f), "   0.123456E-01\n");
  EXPECT_EQ(render("(E12.4,E12.4,E10.4,E11.4,E9.4)", 9.99999f, 9.99994f, -1.5f, -1.5f, 1.5f),
            "  0.1000E+02  0.1000E+02-.1500E+01-0.1500E+01.1500E+01\n");
  EXPECT_EQ(render("(E12.4)", 0.0f), "  0.0000E+00\n");
  EXPECT_EQ(render("(E12.4)", -0.0f), " -0.0000E+00\n");
}

TEST(WriteExponent, ThreeDigitExponentsDropTheLetter) {
  EXPECT_EQ(render("(E12.4,E12.4)", 1.0e-120, 1.0e120), "  0.1000-119  0.1000+121\n");
  EXPECT_EQ(render("(E14.6)", 1.0e-310), "  0.100000-309\n");
}

TEST(WriteExponent, GivenExponentDigitsOverflowToAsterisks) {
  EXPECT_EQ(render("(E12.4E3,E10.4E1)", 1.5f, 1.0e15f), " 0.1500E+001**********\n");
  EXPECT_EQ(render("(E10.3E1)", 1.0e-5f), "  0.100E-4\n");
}

TEST(WriteExponent, ScaleFactorMovesDigitsBeforeThePoint) {
  EXPECT_EQ(render("(2PE12.4,1X,-1PE12.4,1X,0PE12.4)", 1.5f, 1.5f, 1.5f),
            "  15.000E-01   0.0150E+02   0.1500E+01\n");
  EXPECT_EQ(render("(3PE12.4,1X,4PE12.4,1X,5PE12.4)", 1.5f, 1.5f, 1.5f),
            "  150.00E-02   1500.0E-03   15000.E-04\n");
  EXPECT_EQ(render("(-3PE12.4,1X,-1PE9.4)", 1.5f, 1.5f), "  0.0002E+04 .0150E+02\n");
  EXPECT_EQ(render("(2PF8.3,1X,0PF8.3)", 1.5f, 1.5f), " 150.000    1.500\n");
}

TEST(WriteExponent, FieldsThatCannotBeFormedFillWithAsterisks) {
  EXPECT_EQ(render("(E10.0)", 1.5f), "**********\n");  // no digit after the point
  EXPECT_EQ(render("(6PE12.4)", 1.5f), "************\n");
}

TEST(WriteGeneral, FixedFormInsideItsRangeExponentFormOutside) {
  EXPECT_EQ(render("(G12.4,G12.4,G12.4,G12.4)", 0.0f, 9999.6f, 0.09999f, 0.1f),
            "   0.000      0.1000E+05  0.9999E-01  0.1000    \n");
  EXPECT_EQ(render("(G12.4,G12.4,G12.4,G12.4)", 999.95f, 99.995f, 0.099996f, 1e4f),
            "   1000.       100.0      0.1000      0.1000E+05\n");
  EXPECT_EQ(render("(G10.3E1,G9.2)", 1.5f, 123.0f), "   1.50    0.12E+03\n");
  EXPECT_EQ(render("(D12.4)", 1.5f), "  0.1500D+01\n");
}

TEST(WriteInteger, WidthsMinimumDigitsAndOverflow) {
  EXPECT_EQ(render("(I3)", 1000), "***\n");
  EXPECT_EQ(render("(I4,I4,I2,I1)", -123, -1000, -1, -1), "-123****-1*\n");
  EXPECT_EQ(render("(I5.3,I5.0,I2.0)", 7, 0, 0), "  007       \n");
  EXPECT_EQ(render("(I21)", std::numeric_limits<long long>::min()), " -9223372036854775808\n");
}

TEST(WriteSigns, PlusSignOnRequest) {
  EXPECT_EQ(render("(SP,I4,F6.2,SS,I4,S,F6.2)", 5, 1.5f, 5, 1.5f), "  +5 +1.50   5  1.50\n");
}

TEST(WriteMinimalWidth, ZeroWidthGivesTheShortestForm) {
  EXPECT_EQ(render("(F0.3,1X,I0,1X,F0.0,1X,F0.2)", 0.5f, -12, 0.0f, -0.001f), ".500 -12 0. -.00\n");
}

TEST(WriteText, WidthsPadOnTheLeftAndCutOnTheRight) {
  EXPECT_EQ(render("(A5,A2)", "ab", "xyz"), "   abxy\n");
  EXPECT_EQ(render("(A,'|')", "as it is"), "as it is|\n");
  EXPECT_EQ(render("('it''s',A,\"dq\",1H1)", "x"), "it'sxdq1\n");
}

TEST(WriteText, BlankTrailingPartsOfARecordAreKept) {
  EXPECT_EQ(render("(A)", "   "), "   \n");
  EXPECT_EQ(render("(A,'  ')", "x"), "x  \n");
  EXPECT_EQ(render("(A,2X,A)", "x", ""), "x  \n");
  // Positioning alone does not lengthen a record.
  EXPECT_EQ(render("(A,5X)", "ab"), "ab\n");
  EXPECT_EQ(render("(1X)"), "\n");
}

TEST(WriteRecords, SlashesAtTheEndsGiveEmptyLines) {
  EXPECT_EQ(render("(/A)", "a"), "\na\n");
  EXPECT_EQ(render("(A/)", "a"), "a\n\n");
  EXPECT_EQ(render("(//)"), "\n\n\n");
  EXPECT_EQ(render("(I3,2/I3)", 1, 2), "  1\n\n  2\n");
  EXPECT_EQ(render("(/,77('+'))"), "\n" + std::string(77, '+') + "\n");
}

TEST(WriteRecords, OutputStopsAtTheNextDataItemWhenValuesRunOut) {
  EXPECT_EQ(render("(A,' x',I3)", "a"), "a x\n");
  EXPECT_EQ(render("(A,/,I3)", "a"), "a\n\n");
  EXPECT_EQ(render("(1X,'X=',F8.3,:,' Y=',F8.3)", 1.5f), " X=   1.500\n");
}

TEST(WriteRecords, ColonStopsOnlyWhenNoValuesAreLeft) {
  EXPECT_EQ(render("(I2,:,' after')", 1), " 1\n");
  EXPECT_EQ(render("(I2,' after',:,' more')", 1), " 1 after\n");
  EXPECT_EQ(render("(I2,' after',:,' more')", 1, 2), " 1 after more\n 2 after\n");
}

TEST(WriteRecords, DollarLeavesTheLineOpen) {
  EXPECT_EQ(render("(' *',I2,' ',A10,' * ',$)", 3, "NAME      "), " * 3 NAME       * ");
  // A '$' that the write does not reach has no effect.
  EXPECT_EQ(render("(A,I3,$)", "a"), "a\n");
  EXPECT_EQ(render("(A,:,$)", "q"), "q\n");
  // Once reached, the records after it are not ended either, as the
  // compiler's library does it.
  EXPECT_EQ(render("(A,$)", "a", "b"), "ab");
  EXPECT_EQ(render("(A,$,/,A)", "c", "d"), "cd");
  EXPECT_EQ(render("(A,/,A,$)", "a", "b", "c"), "a\nbc");
  EXPECT_EQ(render("(A,$,' z')", "r"), "r z");
}

TEST(WriteReversion, GoesOnFromTheLastTopLevelGroup) {
  EXPECT_EQ(render("(3(I2,1X))", 1, 2, 3, 4, 5, 6, 7), " 1  2  3\n 4  5  6\n 7\n");
  EXPECT_EQ(render("(I2,3(1X,I2),2X)", 1, 2, 3, 4, 5, 6, 7, 8, 9),
            " 1  2  3  4\n  5  6  7\n  8  9\n");
  EXPECT_EQ(render("(I2,2(1X,I2,2(A1)))", 1, 2, "a", "b", 3, "c", "d", 4, "e", "f", 5, "g"),
            " 1  2ab  3cd\n  4ef  5g\n");
  EXPECT_EQ(render("(2(1X,I2),/,(1X,3I2))", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11),
            "  1  2\n  3 4 5\n  6 7 8\n  91011\n");
  EXPECT_EQ(render("(1X,2(I2,1X),(I3))", 1, 2, 3, 4, 5, 6), "  1  2   3\n  4\n  5\n  6\n");
}

TEST(WriteReversion, WithoutAGroupTheLayoutStartsAgain) {
  EXPECT_EQ(render("(1X,'A',I3,'B',I3)", 1, 2, 3), " A  1B  2\n A  3B\n");
  EXPECT_EQ(render("(2I3/)", 1, 2, 3), "  1  2\n\n  3\n");
  EXPECT_EQ(render("(2(I3/))", 1, 2, 3), "  1\n  2\n\n  3\n\n");
}

TEST(WriteReversion, WholeArraysAsArguments) {
  std::vector<float> row{1.5f, -2.25f, 1e7f};
  EXPECT_EQ(render("(1X,A10,3X,20(F16.5,1X))", "NAME", row),
            "       NAME            1.50000         -2.25000   10000000.00000\n");
  std::vector<float> many(30);
  for (int i = 0; i < 30; ++i) many[i] = static_cast<float>(i);
  std::string text = render("(13(F9.3,1X))", many);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
  EXPECT_EQ(text.substr(0, 20), "    0.000     1.000 ");
}

TEST(WriteTabs, PositionsWithinTheRecord) {
  EXPECT_EQ(render("(A,T3,A,TL2,A,TR2,A)", "abcdef", "X", "Y", "Z"), "aYXdZf\n");
  EXPECT_EQ(render("(5X,I3,T1,A)", 7, "zz"), "zz     7\n");
  EXPECT_EQ(render("(T5,A,T2,A,T10,I2)", "hello", "Q", 9), " Q  hello 9\n");
  EXPECT_EQ(render("(A,TL10,A)", "abc", "Z"), "Zbc\n");
  // A gap before later text is blank-filled, even for an empty text.
  EXPECT_EQ(render("(A,T20,A)", "x", ""), "x" + std::string(18, ' ') + "\n");
  EXPECT_EQ(render("(A,T20,A)", "x"), "x\n");
}

TEST(WriteLayoutText, BlanksAndEmptyItemsAsBuiltAtRunTime) {
  EXPECT_EQ(render("(1X,F 8.0,A10,  )", 3.0f, "hello"), "       3.     hello\n");
  EXPECT_EQ(render("(1X,A11,F 5. 1,F 7. 0)", "x", 1.25f, 100.0f), "           x  1.2   100.\n");
  EXPECT_EQ(render("(x,i3'a'i2)", 5, 6), "   5a 6\n");
  EXPECT_EQ(render("  (I3) after the layout", 5), "  5\n");
}

TEST(WriteLayoutText, MalformedLayoutsAreRefused) {
  for (const char* bad : {"I3", "(I3", "(F8)", "(Q3)", "(3T5)", "('open)", "(0I3)", "(-2I3)",
                          "(5H123)", "(I99999)", "(T0)",
                          "(((((((((((((((((((((((((((((((((("
                          "I3)))))))))))))))))))))))))))))))))"})
    EXPECT_THROW(format::Layout::parse(bad), std::invalid_argument) << bad;
}

TEST(WriteLayoutText, LayoutsWithoutItemsForTheValuesAreRefused) {
  EXPECT_THROW(render("('text')", 1), std::invalid_argument);
  // Reversion would come back to a group that takes no value.
  EXPECT_THROW(render("(I3,('x'))", 1, 2), std::invalid_argument);
}

TEST(WriteLayoutText, TheSameTextIsParsedOnce) {
  format::Layout a = format::Layout::parse("(1X,I5,F8.3)");
  format::Layout b = format::Layout::parse(std::string("(1X,I5,F8.3)"));
  EXPECT_EQ(&a.tree(), &b.tree());
  EXPECT_EQ(a.text(), "(1X,I5,F8.3)");
}

TEST(WriteMismatches, ValuesOfAnotherKindAreConvertedOrStarred) {
  EXPECT_EQ(render("(I4,I4)", 2.6f, -2.5f), "   3  -3\n");
  EXPECT_EQ(render("(F6.2,E10.3)", 3, -40), "  3.00-0.400E+02\n");
  EXPECT_EQ(render("(I3,F5.1)", "ab", "cd"), "********\n");
  EXPECT_EQ(render("(A6,A)", 2.5f, 7), "   2.57\n");
}

TEST(WriteMismatches, InfinitiesAndNaNsNeverReachAField) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(render("(F8.3,E10.3,I4,G9.2)", nan, -inf, inf, nan), std::string(31, '*') + "\n");
}

}  // namespace
