#include "input/dbase_reader.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "input_support.hpp"

namespace {

using input_test::dbf_bytes;
using input_test::dbf_record;
using input_test::DbfField;
using input_test::InputRun;
using input_test::operator+;
using input_test::ScratchFolder;

const std::vector<DbfField> site_clay_sand = {
    {"SITE", 'C', 10}, {"CLAY", 'N', 8, 2}, {"SAND", 'N', 6}};

// Source D, the name, the title, the default code, then the walk and Return.
std::vector<std::string> dbase_answers(const std::vector<std::string>& walk) {
  return std::vector<std::string>{"D", "SOIL", "SOIL SURVEY", ""} + walk +
         std::vector<std::string>{""};
}

// Numeric ID N, the site as identifier, both numbers without logs, confirmed.
const std::vector<std::string> take_all = {"", "Y", "Y", "", "Y", "", ""};

}  // namespace

TEST(DbaseHeader, DescriptorsGiveNamesTypesLengthsAndTheRecordLength) {
  std::istringstream file(dbf_bytes(site_clay_sand, {dbf_record(site_clay_sand, {"A", "1", "2"})}));
  const input::DbaseHeader h = input::read_dbase_header(file, "SOIL.DBF");
  ASSERT_EQ(h.fields.size(), 3u);
  EXPECT_EQ(h.fields[0].name, "SITE      ");
  EXPECT_EQ(h.fields[1].type, 'N');
  EXPECT_EQ(h.fields[1].length, 8);
  EXPECT_EQ(h.record_length, 25);
  EXPECT_EQ(h.character_fields, 1);
  EXPECT_EQ(h.numeric_fields, 2);
  // The stream stands at the first record's deletion flag.
  EXPECT_EQ(file.get(), ' ');
  EXPECT_EQ(file.get(), 'A');
}

TEST(DbaseHeader, RecordsStartAtTheOffsetTheHeaderStores) {
  input_test::DbfOptions extra;
  extra.extra_header_bytes = 1;
  std::istringstream one(
      dbf_bytes(site_clay_sand, {dbf_record(site_clay_sand, {"A", "1", "2"})}, extra));
  input::read_dbase_header(one, "SOIL.DBF");
  EXPECT_EQ(one.get(), ' ');
  EXPECT_EQ(one.get(), 'A');
  extra.extra_header_bytes = 263;
  std::istringstream many(
      dbf_bytes(site_clay_sand, {dbf_record(site_clay_sand, {"B", "1", "2"})}, extra));
  input::read_dbase_header(many, "SOIL.DBF");
  EXPECT_EQ(many.get(), ' ');
  EXPECT_EQ(many.get(), 'B');
}

TEST(DbaseHeader, AHeaderThatContradictsItselfOrEndsEarlyStopsTheRun) {
  auto stop_for = [](const std::string& bytes) -> std::string {
    std::istringstream file(bytes);
    try {
      input::read_dbase_header(file, "SOIL.DBF");
    } catch (const console::RunStop& stop) {
      return stop.what();
    }
    return "";
  };
  input_test::DbfOptions shifted;
  shifted.record_length_shift = 3;
  EXPECT_EQ(stop_for(dbf_bytes(site_clay_sand, {}, shifted)),
            "DBASE FILE SOIL.DBF: RECORD LENGTH 28 IN THE HEADER, BUT ITS FIELDS TAKE 25");
  std::string bytes = dbf_bytes(site_clay_sand, {});
  EXPECT_EQ(stop_for(bytes.substr(0, 70)), "DBASE FILE SOIL.DBF ENDS INSIDE ITS HEADER");
  input_test::put16(bytes, 8, 40);
  EXPECT_EQ(stop_for(bytes),
            "DBASE FILE SOIL.DBF: ITS HEADER LENGTH DOES NOT FIT ITS FIELD DESCRIPTORS");
}

TEST(DbaseHeader, NamesAreCutAtTheirFirstZeroByte) {
  std::string bytes = dbf_bytes({{"ORG_C", 'N', 6, 2}}, {});
  bytes[32 + 7] = 'X';  // behind the zero that ends the name
  std::istringstream file(bytes);
  EXPECT_EQ(input::read_dbase_header(file, "S.DBF").fields[0].name, "ORG_C     ");
}

TEST(DbaseNumbers, BlanksAndAsterisksAreNoValueAndOwnPointsAreHonoured) {
  float v = 0.0f;
  EXPECT_TRUE(input::read_dbase_number("   12.50", -999.0f, v));
  EXPECT_EQ(v, 12.5f);
  EXPECT_TRUE(input::read_dbase_number("     42", -999.0f, v));
  EXPECT_EQ(v, 42.0f);
  EXPECT_TRUE(input::read_dbase_number("      ", -999.0f, v));
  EXPECT_EQ(v, -999.0f);
  EXPECT_TRUE(input::read_dbase_number("********", -1.0f, v));
  EXPECT_EQ(v, -1.0f);
  EXPECT_TRUE(input::read_dbase_number("  -0.125", -999.0f, v));
  EXPECT_EQ(v, -0.125f);
  EXPECT_FALSE(input::read_dbase_number("  12x4", -999.0f, v));
}

TEST(DbaseSelection, TheRecordLayoutGrowsByOnePiecePerFieldVisited) {
  console::ScriptedConsole screen(take_all);
  console::DialogueUnit dialogue(screen);
  std::vector<input::DbaseField> fields;
  for (const auto& f : site_clay_sand)
    fields.push_back({input::fixed_width(f.name, 10), f.type, f.length});
  const input::DbaseSelection s = input::select_dbase_fields(dialogue, fields);
  EXPECT_EQ(s.record_layout, "(1X,A10,  F 8.0,F 6.0,)");
  EXPECT_EQ(s.character_field, 1);
  ASSERT_EQ(s.selected.size(), 2u);
  EXPECT_EQ(s.selected[1].position, 3);
  EXPECT_EQ(input::record_layout_piece(8, input::FieldUse::skipped), " 8X,  ");
  EXPECT_EQ(input::record_layout_piece(120, input::FieldUse::identifier), "A120, ");
  EXPECT_EQ(input::record_layout_piece(100, input::FieldUse::numeric), "F100.0,");
  const std::string& t = screen.transcript();
  EXPECT_NE(t.find("\n\n  1 SITE       C  2 CLAY       N  3 SAND       N\n"), std::string::npos);
  EXPECT_NE(t.find("\n Only the first variable may be a character variable! (sample-ID)\n\n"
                   " Or do you want a numeric sample ID variable?  (Y,<N>): "),
            std::string::npos);
  EXPECT_NE(
      t.find(" CLAY       (<Y>,N,S)    LOGTRANSFORM? (Y,<N>,S) \n NUMBER OF SELECTED VARS =  1\n"),
      std::string::npos);
}

TEST(DbaseReader, ReadsIdentifiersAndValuesAndSummarises) {
  ScratchFolder folder;
  folder.write("SOIL.DBF",
               dbf_bytes(site_clay_sand, {dbf_record(site_clay_sand, {"GR022", "   12.50", "7"}),
                                          dbf_record(site_clay_sand, {"BS057", "3.25", "150"})}));
  InputRun r(dbase_answers(take_all));
  r.run();
  const input::SampleTable& t = *r.table;
  EXPECT_EQ(t.title, input::fixed_width("SOIL SURVEY", 80));
  ASSERT_EQ(t.sample_count, 2);
  EXPECT_EQ(t.variable_count, 2);
  EXPECT_EQ(t.ids[0], "GR022     ");
  EXPECT_EQ(t.names[0], "CLAY      ");
  EXPECT_EQ(t.value(1, 1), 12.5f);
  EXPECT_EQ(t.value(2, 2), 150.0f);
  EXPECT_TRUE(
      r.shows(" NAME DATAFILE= SOIL.DBF\n Enter a one line description of data:\n"
              " Enter missing value <-999>: "));
  EXPECT_TRUE(r.shows(" File contains    2 numeric variables.\n\n"));
  EXPECT_TRUE(
      r.shows(" DATA READ FROM dBase FILE\n"
              " NUMBER OF RECORDS = 2\n"
              " LENGTH OF FILE = 51\n"
              " TOTAL NUMBER OF CHAR-VARS = 1\n"
              " TOTAL NUMBER OF REAL-VARS = 2\n"
              " NUMERIC SAMPLE ID: N\n"
              " NUMBER OF (OTHER) SELECTED REAL-VARS = 2\n"
              "\n PRESS RETURN\n"));
}

TEST(DbaseReader, DeletedRecordsDatesNullsAndOverflowMarks) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"A", 'N', 8, 2}, {"SAMPLED", 'D', 8}, {"B", 'N', 6}};
  folder.write("SOIL.DBF",
               dbf_bytes(fields, {dbf_record(fields, {"   12.50", "20240101", ""}),
                                  dbf_record(fields, {"********", "20240102", "42"}, true)}));
  InputRun r(dbase_answers({"", "Y", "", "Y", "", ""}));
  r.run();
  const input::SampleTable& t = *r.table;
  ASSERT_EQ(t.sample_count, 2);
  EXPECT_EQ(t.value(1, 1), 12.5f);
  EXPECT_EQ(t.value(1, 2), -999.0f);
  EXPECT_EQ(t.value(2, 1), -999.0f);
  EXPECT_EQ(t.value(2, 2), 42.0f);
  EXPECT_EQ(t.ids[1], "         2");
  EXPECT_TRUE(r.shows("  2 SAMPLED    D"));
  EXPECT_FALSE(r.shows("SAMPLED    (<Y>"));
  EXPECT_FALSE(r.shows("NOT A NUMBER"));
}

TEST(DbaseReader, AFieldThatIsNotANumberIsMissingAndReadingGoesOn) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"A", 'N', 6}, {"B", 'N', 6}};
  folder.write("SOIL.DBF", dbf_bytes(fields, {dbf_record(fields, {"12x4", "1"}),
                                              dbf_record(fields, {"5", "6"})}));
  InputRun r(dbase_answers({"", "Y", "", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->value(1, 1), -999.0f);
  EXPECT_EQ(r.table->value(1, 2), 1.0f);
  EXPECT_EQ(r.table->value(2, 1), 5.0f);
  EXPECT_TRUE(r.shows(" RECORD 1, A: '12x4' IS NOT A NUMBER, MISSING-VALUE CODE STORED\n"));
}

TEST(DbaseReader, SEndsTheWalkAndTheRestOfEachRecordIsNotRead) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"A", 'N', 4}, {"B", 'N', 4}, {"C", 'N', 4}};
  folder.write("SOIL.DBF", dbf_bytes(fields, {dbf_record(fields, {"1", "2", "oops"})}));
  InputRun r(dbase_answers({"", "Y", "", "S", ""}));
  r.run();
  EXPECT_EQ(r.table->variable_count, 1);
  EXPECT_EQ(r.table->value(1, 1), 1.0f);
  EXPECT_FALSE(r.shows(" C          (<Y>"));
  EXPECT_FALSE(r.shows("NOT A NUMBER"));
}

TEST(DbaseReader, OnlyTheFirstCharacterFieldIsOfferedAndALongOneGivesItsLastTen) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"NAME", 'C', 14}, {"X", 'N', 5}, {"OTHER", 'C', 4}};
  folder.write("SOIL.DBF", dbf_bytes(fields, {dbf_record(fields, {"ABCDEFGHIJKLMN", "1", "zz"}),
                                              dbf_record(fields, {"SITE-A", "2", "yy"})}));
  InputRun r(dbase_answers({"", "Y", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->ids[0], "EFGHIJKLMN");
  EXPECT_EQ(r.table->ids[1], "SITE-A    ");
  EXPECT_EQ(r.times_shown("(<Y>,N,S)"), 2);
  EXPECT_TRUE(r.shows(" TOTAL NUMBER OF CHAR-VARS = 2\n TOTAL NUMBER OF REAL-VARS = 1\n"));
}

TEST(DbaseReader, ACharacterFieldAfterATakenNumberIsPassedOver) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"X", 'N', 5}, {"NAME", 'C', 6}};
  folder.write("SOIL.DBF", dbf_bytes(fields, {dbf_record(fields, {"1", "S1"})}));
  InputRun r(dbase_answers({"", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->ids[0], "         1");
  EXPECT_EQ(r.times_shown("(<Y>,N,S)"), 1);
  EXPECT_TRUE(r.shows(" Only the first variable may be a character variable!"));
}

TEST(DbaseReader, NumericIdMovesTheLaterColumnsLeftAndLogsComeAfterIt) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {
      {"X", 'N', 6}, {"ID", 'N', 6}, {"Y", 'N', 6}, {"NAME", 'C', 4}};
  folder.write("SOIL.DBF", dbf_bytes(fields, {dbf_record(fields, {"5", "1234", "100", "aa"}),
                                              dbf_record(fields, {"6", "77", "0", "bb"})}));
  // Numeric ID Y (so NAME is never offered), X, ID and Y (log) taken, ID column 2.
  InputRun r(dbase_answers({"Y", "Y", "", "Y", "", "Y", "Y", "", "2"}));
  r.run();
  const input::SampleTable& t = *r.table;
  EXPECT_TRUE(r.shows(" Or do you want a numeric sample ID variable?  (Y,<N>): "));
  EXPECT_EQ(r.times_shown("(<Y>,N,S)"), 3);
  EXPECT_EQ(t.variable_count, 2);
  EXPECT_EQ(t.ids[0], "     1234.");
  EXPECT_EQ(t.ids[1], "       77.");
  EXPECT_EQ(t.names[1], "Y         ");
  EXPECT_EQ(t.log_flags[1], 1);
  EXPECT_EQ(t.value(1, 1), 5.0f);
  EXPECT_FLOAT_EQ(t.value(1, 2), 2.0f);
  EXPECT_EQ(t.value(2, 2), -999.0f);
  EXPECT_EQ(r.times_shown("ATTEMPTING TO TAKE LOG FROM NEGATIVE. CHECK!"), 1);
  EXPECT_TRUE(r.shows(" NUMERIC SAMPLE ID: Y\n NUMBER OF (OTHER) SELECTED REAL-VARS = 2\n"));
}

TEST(DbaseReader, APartialLastRecordAndAMissingEndByteAreFine) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"A", 'N', 4}};
  input_test::DbfOptions no_end;
  no_end.end_of_file_byte = false;
  folder.write(
      "SOIL.DBF",
      dbf_bytes(fields, {dbf_record(fields, {"1"}), dbf_record(fields, {"2"}), " 3"}, no_end));
  InputRun r(dbase_answers({"", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->sample_count, 2);
  EXPECT_TRUE(r.shows(" LENGTH OF FILE = 12\n"));
}

TEST(DbaseReader, NothingAfterTheEndOfFileByteIsASample) {
  // Writers that pad a file to whole blocks leave bytes behind the mark,
  // here more than a record's worth.
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"A", 'N', 4}};
  folder.write("SOIL.DBF",
               dbf_bytes(fields, {dbf_record(fields, {"1"}), dbf_record(fields, {"2"})}) +
                   std::string(12, '\0'));
  InputRun r(dbase_answers({"", "Y", "", ""}));
  r.run();
  EXPECT_EQ(r.table->sample_count, 2);
  EXPECT_FALSE(r.shows("NOT A NUMBER"));
  EXPECT_FALSE(r.shows("ENDS INSIDE RECORD"));
  EXPECT_TRUE(r.shows(" LENGTH OF FILE = 23\n"));
}

TEST(DbaseReader, WideFieldsAndRecordsLongerThanTheBuffer) {
  ScratchFolder folder;
  std::vector<DbfField> fields = {{"NAME", 'C', 120}};
  for (int j = 0; j < 40; ++j) fields.push_back({"NOTE" + std::to_string(j), 'C', 255});
  fields.push_back({"X", 'N', 8});
  std::vector<std::string> first(42, "text");
  first[0] = "SITE-" + std::string(100, '-') + "LAST";
  first[41] = "1.5";
  std::vector<std::string> second(42, "more");
  second[0] = "B2";
  second[41] = "2.5";
  folder.write("SOIL.DBF",
               dbf_bytes(fields, {dbf_record(fields, first), dbf_record(fields, second)}));
  InputRun r(dbase_answers({"", "Y", "Y", "", ""}));
  r.run();
  ASSERT_EQ(r.table->sample_count, 2);
  EXPECT_EQ(r.table->ids[0], "------LAST");
  EXPECT_EQ(r.table->ids[1], "B2        ");
  EXPECT_EQ(r.table->value(1, 1), 1.5f);
  EXPECT_EQ(r.table->value(2, 1), 2.5f);
}

TEST(DbaseReader, MoreThanAHundredFieldsAreReadWhileTheirLayoutFits) {
  ScratchFolder folder;
  auto numbered = [](int count) {
    std::vector<DbfField> fields;
    for (int j = 1; j <= count; ++j) fields.push_back({"F" + std::to_string(j), 'N', 5});
    return fields;
  };
  auto values = [](int count, int k) {
    std::vector<std::string> v;
    for (int j = 1; j <= count; ++j) v.push_back(std::to_string(100 * k + j));
    return v;
  };
  // 130 fields: the first and the last are taken, every other one left.
  const std::vector<DbfField> many = numbered(130);
  folder.write("MANY.DBF", dbf_bytes(many, {dbf_record(many, values(130, 1)),
                                            dbf_record(many, values(130, 2))}));
  std::vector<std::string> walk = {"", "Y", ""};
  for (int j = 2; j < 130; ++j) walk.emplace_back("N");
  walk.insert(walk.end(), {"Y", "", ""});
  InputRun r(std::vector<std::string>{"D", "MANY", "", ""} + walk + std::vector<std::string>{""});
  r.run();
  EXPECT_TRUE(r.shows(" File contains  130 numeric variables.\n"));
  ASSERT_EQ(r.table->variable_count, 2);
  EXPECT_EQ(r.table->names[1], "F130      ");
  EXPECT_EQ(r.table->value(2, 1), 201.0f);
  EXPECT_EQ(r.table->value(2, 2), 330.0f);
  // Past 165 fields the record layout can hold no more pieces.
  const std::vector<DbfField> too_many = numbered(170);
  folder.write("WIDE.DBF", dbf_bytes(too_many, {dbf_record(too_many, values(170, 1))}));
  InputRun wide(std::vector<std::string>{"D", "WIDE", "", "", ""} +
                std::vector<std::string>(170, "N"));
  EXPECT_EQ(wide.stop_message(), "ARRAY NOT LARGE ENOUGH FOR FORMAT");
  EXPECT_EQ(wide.times_shown("(<Y>,N,S)"), 166);
}

TEST(DbaseReader, RecordFiveThousandAndOneStopsTheRun) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"A", 'N', 4}};
  std::vector<std::string> records(5000, dbf_record(fields, {"1"}));
  folder.write("FULL.DBF", dbf_bytes(fields, records));
  InputRun full({"D", "FULL", "", "", "", "Y", "", "", ""});
  full.run();
  EXPECT_EQ(full.table->sample_count, 5000);
  records.push_back(dbf_record(fields, {"2"}));
  folder.write("OVER.DBF", dbf_bytes(fields, records));
  InputRun over({"D", "OVER", "", "", "", "Y", "", ""});
  EXPECT_EQ(over.stop_message(), "TOO MANY OBJECTS FOR PROGRAM");
}

TEST(DbaseReader, NothingTakenStillCountsTheRecords) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"A", 'N', 4}, {"B", 'N', 4}};
  folder.write("SOIL.DBF",
               dbf_bytes(fields, {dbf_record(fields, {"1", "2"}), dbf_record(fields, {"3", "4"})}));
  InputRun r(dbase_answers({"", "N", "S", ""}));
  r.run();
  EXPECT_EQ(r.table->sample_count, 2);
  EXPECT_EQ(r.table->variable_count, 0);
  EXPECT_EQ(r.table->ids[0], "         1");
  EXPECT_TRUE(r.shows(" NUMBER OF RECORDS = 2\n LENGTH OF FILE = 19\n"));
}

// GIS programs write real-valued attributes as dBase IV float fields (type F),
// in exponent form and with asterisks or blanks for no value.
TEST(DbaseReader, FloatFieldsAreOfferedAndReadLikeNumericFields) {
  ScratchFolder folder;
  const std::vector<DbfField> fields = {{"ID", 'C', 6},
                                        {"AREA", 'F', 19, 11},
                                        {"KIND", 'L', 1},
                                        {"PH", 'N', 5, 2},
                                        {"DEPTH", 'F', 10, 3}};
  folder.write("PLOTS.DBF",
               dbf_bytes(fields,
                         {dbf_record(fields, {"A1", "3.45000000000e+001", "T", "6.50", "-1.250"}),
                          dbf_record(fields, {"A2", "*******************", "F", "7.00", ""}),
                          dbf_record(fields, {"A3", "1.25e-3", "?", "5.25", "12"})},
                         {.version = static_cast<char>(0x8B)}));
  // The site as identifier, the three numbers without logs, confirmed.
  InputRun r({"D", "PLOTS", "PLOTS", "", "", "Y", "Y", "", "Y", "", "Y", "", "", ""});
  r.run();
  const input::SampleTable& t = *r.table;
  ASSERT_EQ(t.sample_count, 3);
  ASSERT_EQ(t.variable_count, 3);
  EXPECT_EQ(t.names[0], "AREA      ");
  EXPECT_EQ(t.names[2], "DEPTH     ");
  EXPECT_EQ(t.ids[2], "A3        ");
  EXPECT_EQ(t.value(1, 1), 34.5f);
  EXPECT_EQ(t.value(1, 2), 6.5f);
  EXPECT_EQ(t.value(1, 3), -1.25f);
  EXPECT_EQ(t.value(2, 1), -999.0f);
  EXPECT_EQ(t.value(2, 3), -999.0f);
  EXPECT_EQ(t.value(3, 1), 1.25e-3f);
  EXPECT_EQ(t.value(3, 3), 12.0f);
  EXPECT_TRUE(r.shows(" File contains    3 numeric variables.\n"));
  EXPECT_TRUE(r.shows("  2 AREA       F  3 KIND       L  4 PH         N\n  5 DEPTH      F\n"));
  EXPECT_FALSE(r.shows("KIND       (<Y>"));
  EXPECT_TRUE(r.shows(" TOTAL NUMBER OF CHAR-VARS = 1\n TOTAL NUMBER OF REAL-VARS = 3\n"));
  EXPECT_FALSE(r.shows("NOT A NUMBER"));
}
