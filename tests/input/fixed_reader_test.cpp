#include "input/fixed_reader.hpp"

#include <gtest/gtest.h>

#include "input_support.hpp"

namespace {

using input_test::InputRun;
using input_test::operator+;
using input_test::ScratchFolder;

std::string info_text(const std::string& counts_and_format, const std::string& rest) {
  return "ROCK SAMPLES\n" + counts_and_format + rest;
}

const std::string three_names = "CU        PPM\nZN        PPM\nPB        PPM\n";

// Source G, the name, then the walk and Return.
std::vector<std::string> fixed_answers(const std::vector<std::string>& walk) {
  return std::vector<std::string>{"G", "ROCKS"} + walk + std::vector<std::string>{""};
}

// Takes all three variables without logs, no numeric ID question.
const std::vector<std::string> take_three = {"Y", "", "Y", "", "Y", "", ""};

}  // namespace

TEST(InformationFile, ACharacterIdentifierIsAnAAmongCharactersTwoToSix) {
  EXPECT_TRUE(input::has_character_identifier("(A10,3F8.2)"));
  EXPECT_TRUE(input::has_character_identifier("(1X,A8,3F8.2)"));
  EXPECT_TRUE(input::has_character_identifier("(2x,a8,3F8.2)"));
  EXPECT_FALSE(input::has_character_identifier("(3F8.2,A10)"));
  EXPECT_FALSE(input::has_character_identifier("(1X,2X,A8)"));
  EXPECT_FALSE(input::has_character_identifier(""));
}

TEST(InformationFile, HeadIsReadWithItsCountsCodeAndFormat) {
  format::StringLines lines(
      std::vector<std::string>{"SEDIMENTS", "  150", "   12", "-99.5", "*", "CU"});
  input::InformationFile info = input::read_information_head(lines, "S.INF");
  EXPECT_EQ(info.title, input::fixed_width("SEDIMENTS", 80));
  EXPECT_EQ(info.samples, 150);
  EXPECT_EQ(info.variables, 12);
  EXPECT_EQ(info.missing_code, -99.5f);
  EXPECT_TRUE(info.free_field);
  EXPECT_FALSE(info.character_id);
  // Only columns 1 to 5 count; a code without a point is a whole number.
  format::StringLines more(
      std::vector<std::string>{"T", "    7   ignored", "    2", " -999", "(2F8.2)"});
  info = input::read_information_head(more, "S.INF");
  EXPECT_EQ(info.samples, 7);
  EXPECT_EQ(info.missing_code, -999.0f);
  EXPECT_FALSE(info.free_field);
}

TEST(InformationFile, FaultsInTheHeadStopTheRunWithTheirMessages) {
  ScratchFolder folder;
  auto stop_for = [&](const std::string& inf) {
    folder.write("ROCKS.INF", inf);
    InputRun r({"G", "ROCKS"});
    return r.stop_message();
  };
  const std::string not_found =
      " INFORMATION FILE " + input::fixed_width("ROCKS.INF", 25) + " NOT FOUND";
  EXPECT_EQ(stop_for(""), not_found);
  EXPECT_EQ(stop_for("ONLY A TITLE\n"), not_found);
  EXPECT_EQ(stop_for(info_text("  abc\n    3\n-999.\n(3F8.2)\n", three_names)),
            "ERRORS IN INFO FILE");
  EXPECT_EQ(stop_for(info_text("    2\n    3\n", "")), "ERRORS IN INFO FILE");
  EXPECT_EQ(stop_for(info_text("    2\n    3\n  x  \n(3F8.2)\n", three_names)),
            "ERRORS IN INFO FILE");
  EXPECT_EQ(stop_for(info_text("    2\n   -3\n-999.\n(3F8.2)\n", three_names)),
            "ERRORS IN INFO FILE");
  EXPECT_EQ(stop_for(info_text("    2\n    3\n-999.\n(3F8.2\n", three_names)),
            "ERRORS IN INFO FILE");
  // A layout without an item that reads a value.
  EXPECT_EQ(stop_for(info_text("    2\n    3\n-999.\n(8X)\n", three_names)), "ERRORS IN INFO FILE");
  EXPECT_EQ(stop_for(info_text("    2\n    3\n-999.\n(3F8.2)\n", "CU\nZN\n")),
            "ERRORS IN INFO FILE");
  EXPECT_EQ(stop_for(info_text("    2\n    3\n-999.\n(A6,3F8.2)\n", three_names)),
            "ERRORS IN INFO FILE");
  EXPECT_EQ(stop_for(info_text(" 5001\n    3\n-999.\n(3F8.2)\n", three_names)),
            "TOO MANY SAMPLES, CHANGE PARAMETERS");
  EXPECT_EQ(stop_for(info_text(" 5000\n  201\n-999.\n(3F8.2)\n", three_names)),
            "MORE THAN 100 VARIABLES, CHANGE PARAMETERS");
}

TEST(FixedReader, AMissingDataFileIsToldBeforeAnyVariableIsOffered) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("  150\n    3\n-999.\n*\n", three_names));
  InputRun r({"G", "ROCKS"});
  EXPECT_EQ(r.stop_message(), "DATA FILE ROCKS.FXD NOT FOUND");
  EXPECT_TRUE(r.shows(" NAME INFOFILE= ROCKS.INF\n NAME DATAFILE= ROCKS.FXD\n"));
  EXPECT_TRUE(
      r.shows(" File contains    150 samples and    3 numeric variables.\n\n"
              " DATA READ IN FREEFIELD!\n"));
  EXPECT_FALSE(r.shows("(<Y>,N,S)"));
}

TEST(FixedReader, FormattedRecordsWithIdentifierImpliedDecimalsTabsAndSkips) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("    3\n    3\n-999.\n(A6,T9,F4.1,1X,F4.2,2X,F5.0)\n",
                                      "NAME\n" + three_names));
  folder.write("ROCKS.FXD",
               "GR022   1578 1234    3.5\n"
               "BS057   0612 0x34  100\r\n"
               "LS050   0100\n");
  InputRun r(fixed_answers(take_three));
  r.run();
  const input::SampleTable& t = *r.table;
  EXPECT_EQ(t.title, input::fixed_width("ROCK SAMPLES", 80));
  ASSERT_EQ(t.sample_count, 3);
  EXPECT_EQ(t.variable_count, 3);
  EXPECT_EQ(t.ids[0], "GR022     ");
  EXPECT_EQ(t.ids[2], "LS050     ");
  EXPECT_EQ(t.value(1, 1), 157.8f);
  EXPECT_EQ(t.value(1, 2), 12.34f);
  EXPECT_EQ(t.value(1, 3), 3.5f);
  EXPECT_EQ(t.value(2, 1), 61.2f);
  EXPECT_EQ(t.value(2, 3), 100.0f);
  // An unreadable field is missing, not the record before's value.
  EXPECT_EQ(t.value(2, 2), -999.0f);
  EXPECT_TRUE(r.shows(" RECORD 2, ZN: '0x34' IS NOT A NUMBER, MISSING-VALUE CODE STORED\n"));
  // A short record reads as if padded with blanks.
  EXPECT_EQ(t.value(3, 1), 10.0f);
  EXPECT_EQ(t.value(3, 2), 0.0f);
  EXPECT_TRUE(r.shows("   0   NAME         "));
  EXPECT_TRUE(r.shows(" DATAFILE READ BY READ-PROCEDURE\n NUMBER OF RECORDS = 3\n"));
}

TEST(FixedReader, ADataFileThatEndsEarlySetsTheSampleCountToTheRecordsRead) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("    5\n    3\n-999.\n(3F4.0)\n", three_names));
  folder.write("ROCKS.FXD", "   1   2   3\n   4   5   6\n");
  InputRun r(fixed_answers(std::vector<std::string>{""} + take_three));
  r.run();
  EXPECT_EQ(r.table->sample_count, 2);
  EXPECT_EQ(r.table->ids[1], "         2");
  EXPECT_TRUE(
      r.shows(" DATA FILE ROCKS.FXD HOLDS ONLY 2 OF THE 5 SAMPLES ANNOUNCED: 2 SAMPLES READ\n"));
  EXPECT_TRUE(r.shows(" NUMBER OF RECORDS = 2\n"));
}

TEST(FixedReader, BlankLinesAtTheEndAreNoRecordsButBlankLinesBetweenRecordsAre) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("    6\n    3\n-999.\n(3F4.0)\n", three_names));
  folder.write("ROCKS.FXD", "   1   2   3\n\n   4   5   6\n  \n\n");
  InputRun r(fixed_answers(std::vector<std::string>{""} + take_three));
  r.run();
  ASSERT_EQ(r.table->sample_count, 3);
  EXPECT_EQ(r.table->value(2, 1), 0.0f);
  EXPECT_EQ(r.table->value(3, 1), 4.0f);
  EXPECT_TRUE(r.shows(" HOLDS ONLY 3 OF THE 6 SAMPLES ANNOUNCED"));
}

TEST(FixedReader, ExtraRecordsBeyondTheAnnouncedCountAreNotRead) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("    1\n    3\n-999.\n(3F4.0)\n", three_names));
  folder.write("ROCKS.FXD", "   1   2   3\n   4   5   6\n");
  InputRun r(fixed_answers(std::vector<std::string>{""} + take_three));
  r.run();
  EXPECT_EQ(r.table->sample_count, 1);
  EXPECT_FALSE(r.shows("HOLDS ONLY"));
}

TEST(FixedReader, FreeFieldRecordsWithNullsRepeatsAndSlashes) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("    4\n    3\n-999.\n*\n", three_names));
  // A null keeps the record before's value; values left on a line begin the
  // next record; r*c repeats; a slash ends the record.
  folder.write("ROCKS.FXD", "10,20,30\n1.5,2,,4\n2*7\n5/\n");
  InputRun r(fixed_answers(std::vector<std::string>{""} + take_three));
  r.run();
  const input::SampleTable& t = *r.table;
  ASSERT_EQ(t.sample_count, 4);
  EXPECT_EQ(t.value(2, 1), 1.5f);
  EXPECT_EQ(t.value(2, 2), 2.0f);
  EXPECT_EQ(t.value(2, 3), 30.0f);
  EXPECT_EQ(t.value(3, 1), 4.0f);
  EXPECT_EQ(t.value(3, 2), 7.0f);
  EXPECT_EQ(t.value(3, 3), 7.0f);
  EXPECT_EQ(t.value(4, 1), 5.0f);
  EXPECT_EQ(t.value(4, 2), 7.0f);
  EXPECT_TRUE(r.shows(" DATA READ IN FREEFIELD!\n"));
}

TEST(FixedReader, AFreeFieldValueThatIsNoNumberKeepsTheRecordBeforesLaterValues) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("    3\n    3\n-999.\n*\n", three_names));
  folder.write("ROCKS.FXD", "1 2 3\n4,abc,6\n7 8 9\n");
  InputRun r(fixed_answers(std::vector<std::string>{""} + take_three));
  r.run();
  const input::SampleTable& t = *r.table;
  ASSERT_EQ(t.sample_count, 3);
  EXPECT_EQ(t.value(2, 1), 4.0f);
  EXPECT_EQ(t.value(2, 2), 2.0f);
  EXPECT_EQ(t.value(2, 3), 3.0f);
  // The rest of the line is dropped: the next record starts on the next line.
  EXPECT_EQ(t.value(3, 1), 7.0f);
  EXPECT_TRUE(
      r.shows(" RECORD 2 HOLDS A VALUE THAT IS NOT A NUMBER: ITS LATER VALUES ARE "
              "THOSE OF THE RECORD BEFORE\n"));
}

TEST(FixedReader, NumericIdAndLogTransformOnFormattedRecords) {
  ScratchFolder folder;
  folder.write("ROCKS.INF", info_text("    2\n    3\n-999.\n(3F6.1)\n", three_names));
  folder.write("ROCKS.FXD", "  12.5 100.0   0.0\n  13.0-999.0  10.0\n");
  // Numeric ID Y; CU taken, ZN and PB with logs; the ID is the first.
  InputRun r(fixed_answers({"Y", "Y", "", "Y", "Y", "Y", "Y", "", "1"}));
  r.run();
  const input::SampleTable& t = *r.table;
  EXPECT_EQ(t.variable_count, 2);
  EXPECT_EQ(t.ids[0], "     12.50");
  EXPECT_EQ(t.ids[1], "     13.00");
  EXPECT_EQ(t.names[0], "ZN        ");
  EXPECT_FLOAT_EQ(t.value(1, 1), 2.0f);
  EXPECT_EQ(t.value(2, 1), -999.0f);
  EXPECT_EQ(t.value(1, 2), -999.0f);
  EXPECT_FLOAT_EQ(t.value(2, 2), 1.0f);
  EXPECT_EQ(r.times_shown("ATTEMPTING TO TAKE LOG FROM NEGATIVE. CHECK!"), 1);
}
