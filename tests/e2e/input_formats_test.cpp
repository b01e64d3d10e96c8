// Whole runs of the built program on each data format, the answers from a
// dialogue file: what the screen shows of the reading and what the report's
// run echo shows of the sample table.
#include "e2e/e2e_support.hpp"
#include "input/input_support.hpp"

using namespace e2e;

namespace {

// Graphics off and the dialogue file, from the console.
const std::vector<std::string> kStart = {"", "ANSWERS.TXT"};

// Output name, mapping only; the data-input answers follow.
std::string dialogue(const std::vector<std::string>& data_input) {
  std::vector<std::string> lines = {"", "N"};
  lines.insert(lines.end(), data_input.begin(), data_input.end());
  // The mapping's parameters and coordinates, all defaults.
  for (int k = 0; k < 8; ++k) lines.emplace_back("");
  return join_lines(lines);
}

}  // namespace

TEST(InputFormats, SpreadsheetCsvWithByteOrderMarkCrLfQuotedNamesAndGaps) {
  Folder dir;
  dir.write("SOIL.CSV",
            "\xEF\xBB\xBF\"Organic C\",Clay,Silt\r\n1.5,20,30\r\n2.5,,35\r\n3.5,25,n.d.\r\n"
            "4.5,28,40\r\n5.5,22,38\r\n6.5,21,31");
  dir.write("ANSWERS.TXT", dialogue({"", "SOIL", "", "", "Y", "", "Y", "", "Y", "", "", ""}));
  auto result = dir.run(kStart);
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(in_order(result.screen,
                       {" Alphanumeric variables are not allowed in CSV<C> input! \n",
                        " NAME DATAFILE= SOIL.CSV\n", " | 1   Organic C  |  | 2   Clay       | ",
                        " LINE 4, Silt: 'n.d.' IS NOT A NUMBER, MISSING-VALUE CODE STORED\n",
                        "           2  2.5 -999.   35.\n",
                        " DATAFILE READ BY READ-PROCEDURE\n NUMBER OF RECORDS = 6\n"}));
  const std::string report = dir.read("OUTPUT.OUT");
  EXPECT_TRUE(contains(report, "\n Organic C Clay      Silt      \n"));
  EXPECT_TRUE(contains(report, "          1  1.000          2  1.000"));
}

TEST(InputFormats, FixedLayoutWithIdentifierAndImpliedDecimals) {
  Folder dir;
  dir.write("ROCKS.INF", "SIX ROCKS\n    6\n    2\n-999.\n(A6,2F6.2)\nSAMPLE\nCU\nZN\n");
  dir.write("ROCKS.FXD",
            "GR001   1234  5678\nGR002   1300  5500\nBS001   2000  1000\n"
            "BS002   2100   900\nLS001    500  3000\nLS002    600  3100\n");
  dir.write("ANSWERS.TXT", dialogue({"G", "ROCKS", "Y", "", "Y", "", "", ""}));
  auto result = dir.run(kStart);
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(
      in_order(result.screen, {" NAME INFOFILE= ROCKS.INF\n NAME DATAFILE= ROCKS.FXD\n",
                               " File contains      6 samples and    2 numeric variables.\n",
                               " The first (character) variable is used as sample ID \n",
                               "  GR001       12.3  56.8\n", " NUMBER OF RECORDS = 6\n"}));
  const std::string report = dir.read("OUTPUT.OUT");
  EXPECT_TRUE(contains(report, "SIX ROCKS"));
  EXPECT_TRUE(contains(report, " GR001       1.000 GR002       1.000"));
}

TEST(InputFormats, DbaseTableWithDateDeletedRecordAndNull) {
  Folder dir;
  using input_test::DbfField;
  const std::vector<DbfField> fields = {
      {"SITE", 'C', 12}, {"CLAY", 'N', 8, 2}, {"SAMPLED", 'D', 8}, {"SAND", 'N', 6}};
  std::vector<std::string> records;
  const char* rows[6][3] = {{"P1", "12.50", "40"}, {"P2", "", "42"},      {"P3", "14.00", "38"},
                            {"P4", "30.25", "20"}, {"P5", "31.00", "22"}, {"P6", "29.50", "19"}};
  for (int k = 0; k < 6; ++k) {
    records.push_back(
        input_test::dbf_record(fields, {rows[k][0], rows[k][1], "20240101", rows[k][2]}, k == 3));
  }
  std::string bytes = input_test::dbf_bytes(fields, records);
  std::ofstream(dir / "SOIL.DBF", std::ios::binary) << bytes;
  dir.write("ANSWERS.TXT",
            dialogue({"D", "SOIL", "SIX SOIL PITS", "", "", "Y", "Y", "", "Y", "", "", ""}));
  auto result = dir.run(kStart);
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(in_order(result.screen, {" File contains    2 numeric variables.\n",
                                       "  3 SAMPLED    D", "  P2         -999.  42.\n",
                                       " DATA READ FROM dBase FILE\n NUMBER OF RECORDS = 6\n"
                                       " LENGTH OF FILE = 211\n"}));
  const std::string report = dir.read("OUTPUT.OUT");
  EXPECT_TRUE(contains(report, "SIX SOIL PITS"));
  EXPECT_TRUE(contains(report, " P1          1.000 P2          1.000"));
}

TEST(InputFormats, AMissingDataFileEndsTheRunWithItsName) {
  Folder dir;
  dir.write("ROCKS.INF", "T\n    1\n    1\n-999.\n(F6.2)\nCU\n");
  dir.write("ANSWERS.TXT", dialogue({"G", "ROCKS"}));
  auto result = dir.run(kStart);
  EXPECT_NE(result.status, 0);
  EXPECT_EQ(last_line(result.screen), "DATA FILE ROCKS.FXD NOT FOUND");
}
