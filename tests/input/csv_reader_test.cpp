#include "input/csv_reader.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "input_support.hpp"

namespace {

using input_test::InputRun;
using input_test::operator+;
using input_test::ScratchFolder;

// Source C by default, the file name, the default code, then the walk, and
// Return at the end.
std::vector<std::string> csv_answers(const std::vector<std::string>& walk) {
  return std::vector<std::string>{"", "ROCKS", ""} + walk + std::vector<std::string>{""};
}

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> cells;
  input::split_csv_line(line, cells);
  return cells;
}

}  // namespace

TEST(CsvSplitting, CellsEndAtCommasOnlyAndLoseTheirQuotesAndBlanks) {
  EXPECT_EQ(split("Cu,Zn,Pb"), (std::vector<std::string>{"Cu", "Zn", "Pb"}));
  EXPECT_EQ(split(" Organic C , pH"), (std::vector<std::string>{"Organic C", "pH"}));
  EXPECT_EQ(split("\"Pb, total\",'Zn',\"say \"\"x\"\"\""),
            (std::vector<std::string>{"Pb, total", "Zn", "say \"x\""}));
  EXPECT_EQ(split("1,,3,"), (std::vector<std::string>{"1", "", "3", ""}));
  EXPECT_EQ(split(""), (std::vector<std::string>{""}));
  // An apostrophe inside a name does not open a quote.
  EXPECT_EQ(split("O'Brien,x"), (std::vector<std::string>{"O'Brien", "x"}));
  // The storage of a longer line is reused for a shorter one.
  std::vector<std::string> cells;
  input::split_csv_line("a,b,c,d", cells);
  input::split_csv_line("e,f", cells);
  EXPECT_EQ(cells, (std::vector<std::string>{"e", "f"}));
}

TEST(CsvSplitting, NamesKeepTheirFirstTenCharactersAndNeverHalfACharacter) {
  EXPECT_EQ(input::csv_name("Cu"), "Cu        ");
  EXPECT_EQ(input::csv_name("ABCDEFGHIJKL"), "ABCDEFGHIJ");
  // "Pb in µg/g": the micro sign takes bytes 10 and 11.
  EXPECT_EQ(input::csv_name("Pb in \xC2\xB5g/g").substr(0, 9), "Pb in \xC2\xB5g");
  EXPECT_EQ(input::csv_name("Pb_in_ug_\xC2\xB5g"), "Pb_in_ug_ ");
}

TEST(CsvSplitting, ValuesInTheUsualNotationsAndNothingElse) {
  float v = 0.0f;
  EXPECT_TRUE(input::read_csv_value("12", v));
  EXPECT_EQ(v, 12.0f);
  EXPECT_TRUE(input::read_csv_value("-0.5", v));
  EXPECT_EQ(v, -0.5f);
  EXPECT_TRUE(input::read_csv_value("1.5E-3", v));
  EXPECT_EQ(v, 1.5E-3f);
  EXPECT_TRUE(input::read_csv_value("2e2", v));
  EXPECT_EQ(v, 200.0f);
  EXPECT_FALSE(input::read_csv_value("", v));
  EXPECT_FALSE(input::read_csv_value("n.d.", v));
  EXPECT_FALSE(input::read_csv_value("1 2", v));
  EXPECT_FALSE(input::read_csv_value("1e39", v));
  EXPECT_FALSE(input::read_csv_value("nan", v));
}

TEST(CsvReader, ReadsNamesAndOneSamplePerLine) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "Cu,Zn,Pb\n10,20,30\n11,21,31\n");
  InputRun r(csv_answers({"", "Y", "", "Y", "", "Y", "", ""}));
  r.run();
  const input::SampleTable& t = *r.table;
  EXPECT_EQ(t.sample_count, 2);
  EXPECT_EQ(t.variable_count, 3);
  EXPECT_EQ(t.names[0], "Cu        ");
  EXPECT_EQ(t.names[2], "Pb        ");
  EXPECT_EQ(t.value(2, 2), 21.0f);
  EXPECT_EQ(t.value(1, 3), 30.0f);
  EXPECT_EQ(t.ids[1], "         2");
  EXPECT_EQ(t.title, std::string(80, ' '));
  EXPECT_EQ(t.missing_code, -999.0f);
  EXPECT_TRUE(
      r.shows(" Are data in dBase3(D), Excel CSV<C> or a FXD(G) file? \n"
              " Alphanumeric variables are not allowed in CSV<C> input! \n\n"
              " Name datafile without extension? "));
  EXPECT_TRUE(r.shows(" NAME DATAFILE= ROCKS.CSV\n\n Enter missing value <-999>: "));
  EXPECT_TRUE(r.shows("\n" + std::string(17, ' ') + "***WAIT***\n\n"));
  EXPECT_TRUE(
      r.shows("           2  11.  21.  31.\n"
              " DATAFILE READ BY READ-PROCEDURE\n"
              " NUMBER OF RECORDS = 2\n"
              " NUMERIC SAMPLE ID: N\n"
              " NUMBER OF (OTHER) SELECTED REAL-VARS = 3\n"
              "\n PRESS RETURN\n"));
}

TEST(CsvReader, EmptyCellsShortLinesAndTextsGetTheCodeAndNeverANeighboursValue) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "A,B,C\n1,,3\n4\n7,n.d.,9,10,11\n");
  InputRun r(csv_answers({"", "Y", "", "Y", "", "Y", "", ""}));
  r.run();
  const input::SampleTable& t = *r.table;
  ASSERT_EQ(t.sample_count, 3);
  EXPECT_EQ(t.value(1, 1), 1.0f);
  EXPECT_EQ(t.value(1, 2), -999.0f);
  EXPECT_EQ(t.value(1, 3), 3.0f);
  EXPECT_EQ(t.value(2, 1), 4.0f);
  EXPECT_EQ(t.value(2, 2), -999.0f);
  EXPECT_EQ(t.value(2, 3), -999.0f);
  EXPECT_EQ(t.value(3, 1), 7.0f);
  EXPECT_EQ(t.value(3, 2), -999.0f);
  EXPECT_EQ(t.value(3, 3), 9.0f);
  EXPECT_EQ(r.times_shown("IS NOT A NUMBER"), 1);
  EXPECT_TRUE(r.shows(" LINE 4, B: 'n.d.' IS NOT A NUMBER, MISSING-VALUE CODE STORED\n"));
}

TEST(CsvReader, TextInAColumnThatIsNotTakenIsNoConcern) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "Site,Cu\nA1,5\nB2,6\n");
  InputRun r(csv_answers({"", "N", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->variable_count, 1);
  EXPECT_EQ(r.table->value(2, 1), 6.0f);
  EXPECT_FALSE(r.shows("NOT A NUMBER"));
}

TEST(CsvReader, QuotedNamesAndNamesWithBlanksKeepTheirPlaces) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "\"Organic C\",\"Pb, total\", Zn ,VeryLongName12\n1,2,3,4\n");
  InputRun r(csv_answers({"", "Y", "", "Y", "", "Y", "", "Y", "", ""}));
  r.run();
  const input::SampleTable& t = *r.table;
  ASSERT_EQ(t.variable_count, 4);
  EXPECT_EQ(t.names[0], "Organic C ");
  EXPECT_EQ(t.names[1], "Pb, total ");
  EXPECT_EQ(t.names[2], "Zn        ");
  EXPECT_EQ(t.names[3], "VeryLongNa");
  EXPECT_EQ(t.value(1, 2), 2.0f);
  EXPECT_EQ(t.value(1, 4), 4.0f);
}

TEST(CsvReader, ByteOrderMarkCrLfAndAMissingLastLineEnd) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "\xEF\xBB\xBF\"Cu\",Zn\r\n1.5,2\r\n3,4");
  InputRun r(csv_answers({"", "Y", "", "Y", "", ""}));
  r.run();
  const input::SampleTable& t = *r.table;
  EXPECT_EQ(t.names[0], "Cu        ");
  EXPECT_EQ(t.names[1], "Zn        ");
  ASSERT_EQ(t.sample_count, 2);
  EXPECT_EQ(t.value(1, 1), 1.5f);
  EXPECT_EQ(t.value(1, 2), 2.0f);
  EXPECT_EQ(t.value(2, 2), 4.0f);
}

TEST(CsvReader, LoneCarriageReturnsEndLinesAsOlderMacintoshExportsWriteThem) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "Cu,Zn\r1,2\r3,4\r");
  InputRun r(csv_answers({"", "Y", "", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->names[1], "Zn        ");
  ASSERT_EQ(r.table->sample_count, 2);
  EXPECT_EQ(r.table->value(2, 1), 3.0f);
  EXPECT_EQ(r.table->value(2, 2), 4.0f);
}

TEST(CsvReader, AHeaderAloneGivesNoSamples) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "Cu,Zn\n");
  InputRun r(csv_answers({"", "Y", "", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->sample_count, 0);
  EXPECT_EQ(r.table->variable_count, 2);
  EXPECT_TRUE(r.shows(" NUMBER OF RECORDS = 0\n"));
}

TEST(CsvReader, LinesWithoutAnyValueAreNoSamples) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "Cu,Zn\n1,2\n\n , \n3,4\n,\n");
  InputRun r(csv_answers({"", "Y", "", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->sample_count, 2);
  EXPECT_EQ(r.table->value(2, 1), 3.0f);
  EXPECT_TRUE(r.shows(" EMPTY LINES PASSED OVER: 3\n"));
}

TEST(CsvReader, NumericIdWithTwoDecimalsAndTheLogRule) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "ID,Cu,Zn\n1234.5,100,0\n7,-999,10\n");
  InputRun r(csv_answers({"Y", "Y", "", "Y", "Y", "Y", "Y", "", "1"}));
  r.run();
  const input::SampleTable& t = *r.table;
  EXPECT_EQ(t.variable_count, 2);
  EXPECT_EQ(t.names[0], "Cu        ");
  EXPECT_EQ(t.ids[0], "   1234.50");
  EXPECT_EQ(t.ids[1], "      7.00");
  EXPECT_FLOAT_EQ(t.value(1, 1), 2.0f);
  EXPECT_EQ(t.value(2, 1), -999.0f);
  EXPECT_EQ(t.value(1, 2), -999.0f);
  EXPECT_FLOAT_EQ(t.value(2, 2), 1.0f);
  EXPECT_EQ(r.times_shown("ATTEMPTING TO TAKE LOG FROM NEGATIVE. CHECK!"), 1);
  EXPECT_TRUE(r.shows(" NUMERIC SAMPLE ID: Y\n NUMBER OF (OTHER) SELECTED REAL-VARS = 2\n"));
}

TEST(CsvReader, TheMissingValueCodeAnsweredMarksEmptyCells) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "Cu,Zn\n1,\n");
  InputRun r({"C", "ROCKS", "-1", "", "Y", "", "Y", "", "", ""});
  r.run();
  EXPECT_EQ(r.table->missing_code, -1.0f);
  EXPECT_EQ(r.table->value(1, 2), -1.0f);
}

TEST(CsvReader, MoreThanTwoHundredColumnsOrNoHeaderStopTheRun) {
  ScratchFolder folder;
  std::string header = "V1";
  for (int j = 2; j <= 201; ++j) header += ",V" + std::to_string(j);
  folder.write("WIDE.CSV", header + "\n");
  InputRun wide({"", "WIDE", ""});
  EXPECT_EQ(wide.stop_message(), "FILE WIDE.CSV HAS 201 COLUMNS: AT MOST 200 CAN BE READ");
  folder.write("EMPTY.CSV", "");
  InputRun empty({"", "EMPTY", ""});
  EXPECT_EQ(empty.stop_message(), "FILE EMPTY.CSV IS EMPTY: NO LINE OF NAMES");
}

TEST(CsvReader, OnlyTheFirstFiveThousandSamplesAreReadAndTheUserIsTold) {
  ScratchFolder folder;
  std::string text = "X\n";
  for (int k = 1; k <= 5002; ++k) text += std::to_string(k) + "\n";
  folder.write("ROCKS.CSV", text);
  InputRun r(csv_answers({"", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->sample_count, 5000);
  EXPECT_EQ(r.table->value(5000, 1), 5000.0f);
  EXPECT_TRUE(r.shows(" THE FILE HOLDS MORE THAN 5000 SAMPLES: ONLY THE FIRST 5000 ARE READ\n"));
}

TEST(CsvReader, NothingSelectedStillReadsTheSamples) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV", "Cu,Zn\n1,2\n3,4\n");
  InputRun r(csv_answers({"", "S", ""}));
  r.run();
  EXPECT_EQ(r.table->sample_count, 2);
  EXPECT_EQ(r.table->variable_count, 0);
  EXPECT_EQ(r.table->ids[1], "         2");
  EXPECT_TRUE(r.shows("           1\n           2\n DATAFILE READ BY READ-PROCEDURE\n"));
  EXPECT_TRUE(r.shows(" NUMBER OF (OTHER) SELECTED REAL-VARS = 0\n"));
}

// European spreadsheets ------------------------------------------------------

TEST(CsvStyle, SemicolonsOnlyWhenTheLineOfNamesHasNoCommaOutsideQuotes) {
  using input::csv_style_of;
  EXPECT_EQ(csv_style_of("Cu;Zn;Pb").separator, ';');
  EXPECT_TRUE(csv_style_of("\"Cu\";\"Zn\"").decimal_comma);
  // R quotes its names, and a quoted name may hold a comma.
  EXPECT_EQ(csv_style_of("\"Cu, ppm\";\"Zn, ppm\"").separator, ';');
  EXPECT_EQ(csv_style_of("Cu,Zn;Pb").separator, ',');
  EXPECT_EQ(csv_style_of("\"a;b\",c").separator, ',');
  EXPECT_EQ(csv_style_of("\"a;b\"").separator, ',');
  EXPECT_EQ(csv_style_of("Cu").separator, ',');
  EXPECT_FALSE(csv_style_of("Cu").decimal_comma);
  EXPECT_EQ(csv_style_of("").separator, ',');

  std::vector<std::string> cells;
  input::split_csv_line("1,5; \"a;b\" ;;-2,25e3", cells, ';');
  EXPECT_EQ(cells, (std::vector<std::string>{"1,5", "a;b", "", "-2,25e3"}));
  float v = 0.0f;
  EXPECT_TRUE(input::read_csv_value("-2,25e3", v, true));
  EXPECT_EQ(v, -2250.0f);
  EXPECT_TRUE(input::read_csv_value("0,1", v, true));
  EXPECT_EQ(v, 0.1f);
  EXPECT_FALSE(input::read_csv_value("0,1", v, false));
  EXPECT_FALSE(input::read_csv_value("1,234,5", v, true));
  EXPECT_FALSE(input::read_csv_value("NA", v, true));
}

// As R writes it with write.csv2: quoted names, a row-name column, NA, CR LF.
TEST(CsvReader, ASemicolonFileWithDecimalCommasIsReadAndSaidSoOnce) {
  ScratchFolder folder;
  folder.write("ROCKS.CSV",
               "\xEF\xBB\xBF\"\";\"Cu\";\"Zn, total\"\r\n"
               "\"1\";1,5;20\r\n"
               "\"2\";NA;-0,25\r\n"
               "\"3\";3;\r\n");
  InputRun r(csv_answers({"", "N", "Y", "", "Y", "", ""}));
  r.run();
  const input::SampleTable& t = *r.table;
  ASSERT_EQ(t.sample_count, 3);
  ASSERT_EQ(t.variable_count, 2);
  EXPECT_EQ(t.names[0], "Cu        ");
  EXPECT_EQ(t.names[1], "Zn, total ");
  EXPECT_EQ(t.value(1, 1), 1.5f);
  EXPECT_EQ(t.value(2, 1), -999.0f);
  EXPECT_EQ(t.value(2, 2), -0.25f);
  EXPECT_EQ(t.value(3, 2), -999.0f);
  EXPECT_TRUE(
      r.shows(" NAME DATAFILE= ROCKS.CSV\n\n SEMICOLON-SEPARATED FILE: DECIMAL COMMAS "
              "READ AS POINTS\n Enter missing value <-999>: "));
  EXPECT_EQ(r.times_shown("SEMICOLON"), 1);
  EXPECT_TRUE(r.shows(" LINE 3, Cu: 'NA' IS NOT A NUMBER"));
}
