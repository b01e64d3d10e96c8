// Bad input through the whole program: truncated and corrupted data files of
// each format, wrong file names, answers that are not numbers, dialogue files
// that end early, output that cannot be written and limits that are broken.
// Every case ends with one clear line and a defined status, never a crash or a
// hang, and what the run wrote before stays as it was.
#include <unistd.h>

#include <cstdint>

#include "e2e/e2e_support.hpp"
#include "input/input_support.hpp"

using namespace e2e;
using input_test::operator+;

namespace {

const std::string kFirstLine = " NLM, FUZZY or both? (N,F or <B>): ";
constexpr int kTimeLimit = 20;

// Twelve samples of two variables in two groups.
const char* kData =
    "CU,ZN\n10,20\n11,21\n12,19\n10.5,22\n11.5,20\n12,21\n"
    "40,60\n42,61\n41,58\n39,62\n43,59\n40,60\n";

// A run with graphics off whose answers come from the dialogue file ANSWERS.DLG.
RunResult run_dialogue(const Folder& dir, const std::vector<std::string>& answers) {
  dir.write("ANSWERS.DLG", join_lines(answers));
  return dir.run({"Y", "ANSWERS.DLG"}, kTimeLimit);
}

// The run ended with exactly this line and status 1; the report, when the run
// got as far as opening it, still begins with its first line.
void expect_stop(const Folder& dir, const RunResult& result, const std::string& message,
                 const std::string& report = "OUTPUT.OUT") {
  EXPECT_EQ(result.status, 1) << result.screen;
  EXPECT_EQ(last_line(result.screen), message) << result.screen;
  if (report.empty()) return;
  ASSERT_TRUE(dir.exists(report)) << report;
  auto lines = dir.lines(report);
  ASSERT_FALSE(lines.empty()) << report;
  EXPECT_EQ(lines[0], kFirstLine) << report;
}

std::vector<std::string> repeat(int times, const std::vector<std::string>& answers) {
  std::vector<std::string> all;
  for (int k = 0; k < times; ++k) all = all + answers;
  return all;
}

// Data-input answers of a comma-separated file with n variables: the source,
// the name, the missing value, no numeric ID, every variable without logs,
// the confirmation and PRESS RETURN.
std::vector<std::string> csv_input(const std::string& name, int n) {
  return std::vector<std::string>{"", name, "", ""} + repeat(n, {"Y", "N"}) +
         std::vector<std::string>{"", ""};
}

// A mapping-only run on the data-input answers, all parameters at their defaults.
std::vector<std::string> mapping_run(const std::vector<std::string>& input) {
  return std::vector<std::string>{"", "N"} + input + repeat(6, {""});
}

// Bytes that look like nothing: a fixed sequence, so that every run of the test
// reads the same junk. Line ends, commas and digits are left out, so that no
// value or extra column is found in it by chance.
std::string junk(std::size_t size) {
  std::string bytes;
  std::uint32_t x = 12345;
  while (bytes.size() < size) {
    x = x * 1103515245u + 12345u;
    const char c = static_cast<char>((x >> 16) & 0xFF);
    if (c == '\n' || c == '\r' || c == ',' || (c >= '0' && c <= '9')) continue;
    bytes += c;
  }
  return bytes;
}

}  // namespace

// Comma-separated files ------------------------------------------------------

TEST(BadCsv, AFileWithNoSampleEndsTheRunAfterTheReading) {
  Folder dir;
  dir.write("D.CSV", "CU,ZN\n");
  auto result = run_dialogue(dir, mapping_run(csv_input("D", 2)));
  expect_stop(dir, result, "NO SAMPLES READ FROM DATA FILE D.CSV");
  EXPECT_TRUE(contains(result.screen, " NUMBER OF RECORDS = 0\n"));
  EXPECT_FALSE(contains(result.screen, "NLM-SUBROUTINE"));

  dir.write("D.CSV", "");
  expect_stop(dir, run_dialogue(dir, mapping_run(csv_input("D", 2))),
              "FILE D.CSV IS EMPTY: NO LINE OF NAMES");
}

TEST(BadCsv, BinaryJunkGivesMissingValuesAndNoScaling) {
  Folder dir;
  dir.write("D.CSV", junk(20) + "," + junk(5) + "\n" + junk(70) + "\n" + junk(300) + "\n" +
                         std::string("\0\0\0\n", 4) + junk(40) + "\n");
  auto result = run_dialogue(dir, mapping_run(csv_input("D", 2)));
  expect_stop(dir, result, "NO VARIABLE CAN SCALE DISTANCE NORM 1: CHOOSE ANOTHER DISTANCE NORM");
  EXPECT_TRUE(contains(result.screen, " NUMBER OF RECORDS = 4\n"));
  EXPECT_EQ(count_of(result.screen, "IS NOT A NUMBER, MISSING-VALUE CODE STORED"), 4);
}

TEST(BadCsv, RaggedLinesAndTextCellsAreReadLineByLine) {
  Folder dir;
  dir.write("D.CSV", "A,B,C\n1,2,3\n4,5\n6,7,8,9\n10,x,12\n13,14,15\n16,17,18\n");
  auto result = run_dialogue(dir, mapping_run(csv_input("D", 3)));
  ASSERT_EQ(result.status, 0) << result.screen;
  // A short line leaves its last cell missing, a long line's extra value is
  // not read, and a text is told and stored as missing.
  EXPECT_TRUE(in_order(result.screen,
                       {" LINE 5, B: 'x' IS NOT A NUMBER, MISSING-VALUE CODE STORED\n",
                        "           2   4.0    5.0 -999.0\n", "           3   6.0    7.0    8.0\n",
                        "           4  10.0 -999.0   12.0\n", " NUMBER OF RECORDS = 6\n"}));
  auto report = dir.read("OUTPUT.OUT");
  EXPECT_TRUE(contains(report, "          5  1.000          6  1.000\n *****"));
}

TEST(BadCsv, ColumnAndSampleLimits) {
  Folder dir;
  auto header = [](int columns) {
    std::string line = "V1";
    for (int k = 2; k <= columns; ++k) line += ",V" + std::to_string(k);
    return line + "\n";
  };
  dir.write("D.CSV", header(201) + "1\n");
  expect_stop(dir, run_dialogue(dir, mapping_run(csv_input("D", 1))),
              "FILE D.CSV HAS 201 COLUMNS: AT MOST 200 CAN BE READ");

  // 200 columns are read; taking one of them and stopping the walk is enough.
  dir.write("D.CSV", header(200) + "1,2\n3,5\n4,4\n");
  auto wide = run_dialogue(dir, mapping_run({"", "D", "", "", "Y", "N", "S", "", ""}));
  EXPECT_EQ(wide.status, 0) << wide.screen;
  // Three-digit numbers do not fit the two places of the listing's number field.
  EXPECT_TRUE(contains(wide.screen, " |**   V200       | "));

  // 5001 data lines: the first 5000 are read and the user is told.
  std::string rows = "A,B\n";
  for (int k = 0; k < 5001; ++k)
    rows += std::to_string(k % 7) + "," + std::to_string(k % 11) + "\n";
  dir.write("D.CSV", rows);
  const std::vector<std::string> clustering = {"", "", "", "2", "2", "", "5", "", "", "", "", ""};
  auto many = run_dialogue(dir, std::vector<std::string>{"", "F", ""} + csv_input("D", 2) +
                                    std::vector<std::string>{"1 2"} + clustering);
  ASSERT_EQ(many.status, 0) << last_line(many.screen);
  EXPECT_TRUE(in_order(many.screen,
                       {" THE FILE HOLDS MORE THAN 5000 SAMPLES: ONLY THE FIRST 5000 ARE READ\n",
                        " NUMBER OF RECORDS = 5000\n"}));
  EXPECT_TRUE(contains(dir.read("OUTPUT.OUT"), " NUMBER OF SUBJECTS NSAMP = 5000\n"));
}

// Fixed-layout files ---------------------------------------------------------

namespace {

const std::vector<std::string> kInfo = {"ROCKS",      "    3",  "    2", "-999.",
                                        "(A6,2F6.2)", "SAMPLE", "CU",    "ZN"};
const char* kFixedData = "GR001   1234  5678\nGR002   1300  5500\nBS001   2000  1000\n";

// The answers of a fixed-layout file with a character identifier and two variables.
std::vector<std::string> fixed_input() {
  return {"G", "R", "Y", "N", "Y", "N", "", ""};
}

std::vector<std::string> with_line(std::vector<std::string> lines, std::size_t at,
                                   const std::string& text) {
  lines.at(at) = text;
  return lines;
}

}  // namespace

TEST(BadFixedLayout, AnInformationFileEndingAtEachLine) {
  Folder dir;
  dir.write("R.FXD", kFixedData);
  for (std::size_t cut = 0; cut < kInfo.size(); ++cut) {
    SCOPED_TRACE("information file of " + std::to_string(cut) + " lines");
    dir.write("R.INF", join_lines({kInfo.begin(), kInfo.begin() + static_cast<long>(cut)}));
    auto result = run_dialogue(dir, mapping_run(fixed_input()));
    // Before its second line the file counts as not found.
    expect_stop(
        dir, result,
        cut < 2 ? " INFORMATION FILE R.INF                     NOT FOUND" : "ERRORS IN INFO FILE");
  }
  dir.write("R.INF", join_lines(kInfo));
  EXPECT_EQ(run_dialogue(dir, mapping_run(fixed_input())).status, 0);
}

TEST(BadFixedLayout, UnreadableCountsCodesAndFormats) {
  Folder dir;
  dir.write("R.FXD", kFixedData);
  const std::vector<std::vector<std::string>> infos = {
      with_line(kInfo, 1, "  abc"),      with_line(kInfo, 1, "   -3"),
      with_line(kInfo, 2, "  2.5"),      with_line(kInfo, 3, " x99"),
      with_line(kInfo, 4, "(A6,2Q6.2)"), with_line(kInfo, 4, "(A6,2F6.2"),
      with_line(kInfo, 4, "garbage"),    with_line(kInfo, 4, "(A6)")};
  for (const auto& info : infos) {
    SCOPED_TRACE(join_lines(info));
    dir.write("R.INF", join_lines(info));
    expect_stop(dir, run_dialogue(dir, mapping_run(fixed_input())), "ERRORS IN INFO FILE");
  }
}

TEST(BadFixedLayout, DataEndingEarlyOrUnreadable) {
  Folder dir;
  dir.write("R.INF", join_lines(kInfo));
  dir.write("R.FXD", "GR001   1234  5678\nGR002   1300  5500\n");
  auto early = run_dialogue(dir, mapping_run(fixed_input()));
  ASSERT_EQ(early.status, 0) << early.screen;
  EXPECT_TRUE(contains(early.screen,
                       " DATA FILE R.FXD HOLDS ONLY 2 OF THE 3 SAMPLES ANNOUNCED: "
                       "2 SAMPLES READ\n"));
  EXPECT_TRUE(contains(dir.read("OUTPUT.OUT"), " GR001       1.000 GR002       1.000\n *****"));

  // Junk in the fields: told, stored as missing; the third record is absent.
  dir.write("R.FXD", "\x01\x02\xff\xfe  abc\n" + std::string("\0\0\0zz", 5) + "\n");
  auto junky = run_dialogue(dir, mapping_run(fixed_input()));
  EXPECT_TRUE(
      in_order(junky.screen, {" RECORD 1, CU: 'abc' IS NOT A NUMBER, MISSING-VALUE CODE "
                              "STORED\n",
                              " HOLDS ONLY 2 OF THE 3 SAMPLES", " NUMBER OF RECORDS = 2\n"}));
  expect_stop(dir, junky, "NO VARIABLE CAN SCALE DISTANCE NORM 1: CHOOSE ANOTHER DISTANCE NORM");
}

TEST(BadFixedLayout, SampleAndVariableLimits) {
  Folder dir;
  dir.write("R.FXD", kFixedData);
  dir.write("R.INF", join_lines(with_line(kInfo, 1, " 5001")));
  expect_stop(dir, run_dialogue(dir, mapping_run(fixed_input())),
              "TOO MANY SAMPLES, CHANGE PARAMETERS");
  dir.write("R.INF", join_lines(with_line(kInfo, 2, "  201")));
  expect_stop(dir, run_dialogue(dir, mapping_run(fixed_input())),
              "MORE THAN 100 VARIABLES, CHANGE PARAMETERS");
  // The limits themselves are allowed: 5000 announced, three present.
  dir.write("R.INF", join_lines(with_line(kInfo, 1, " 5000")));
  auto full = run_dialogue(dir, mapping_run(fixed_input()));
  EXPECT_EQ(full.status, 0) << last_line(full.screen);
  EXPECT_TRUE(contains(full.screen, "HOLDS ONLY 3 OF THE 5000 SAMPLES ANNOUNCED"));
}

// dBase files ----------------------------------------------------------------

namespace {

using input_test::DbfField;

const std::vector<DbfField> kFields = {{"SITE", 'C', 8}, {"CU", 'N', 6}, {"ZN", 'N', 6}};

std::vector<std::string> dbf_records(int count) {
  std::vector<std::string> records;
  for (int k = 0; k < count; ++k) {
    records.push_back(input_test::dbf_record(
        kFields,
        {"P" + std::to_string(k), std::to_string(10 + k % 13), std::to_string(20 + k % 7)}));
  }
  return records;
}

// The answers of the file above: the title, the missing value, no numeric ID,
// SITE as identifier, both numbers without logs, confirmation, PRESS RETURN.
std::vector<std::string> dbf_input() {
  return {"D", "D", "SIX SITES", "", "N", "Y", "Y", "N", "Y", "N", "", ""};
}

RunResult run_dbf(const Folder& dir, const std::string& bytes) {
  dir.write("D.DBF", bytes);
  return run_dialogue(dir, mapping_run(dbf_input()));
}

}  // namespace

TEST(BadDbase, TruncatedAndInconsistentHeaders) {
  Folder dir;
  const std::string good = input_test::dbf_bytes(kFields, dbf_records(6));
  ASSERT_EQ(run_dbf(dir, good).status, 0);
  const std::string ends = "DBASE FILE D.DBF ENDS INSIDE ITS HEADER";
  for (std::size_t size : {0, 20, 31, 32, 72, 96, 128}) {
    SCOPED_TRACE("header cut to " + std::to_string(size) + " bytes");
    expect_stop(dir, run_dbf(dir, good.substr(0, size)), ends);
  }
  expect_stop(dir, run_dbf(dir, input_test::dbf_bytes(kFields, dbf_records(6), {0, 3})),
              "DBASE FILE D.DBF: RECORD LENGTH 24 IN THE HEADER, BUT ITS FIELDS TAKE 21");
  std::string short_header = good;
  short_header[8] = 40;
  short_header[9] = 0;
  expect_stop(dir, run_dbf(dir, short_header),
              "DBASE FILE D.DBF: ITS HEADER LENGTH DOES NOT FIT ITS FIELD DESCRIPTORS");
  expect_stop(dir, run_dbf(dir, junk(2000)), ends);
}

TEST(BadDbase, DamagedRecords) {
  Folder dir;
  std::string bytes = input_test::dbf_bytes(kFields, dbf_records(6));
  const std::size_t data = 32 + 3 * 32 + 1;
  // Garbage over the end of the first identifier and into its CU field.
  bytes.replace(data + 3, 9,
                "\xff\x00"
                "ab\x01zz\x07\x08",
                9);
  auto garbage = run_dbf(dir, bytes);
  ASSERT_EQ(garbage.status, 0) << garbage.screen;
  // The control bytes in the field are shown escaped, never sent to the terminal.
  EXPECT_TRUE(contains(garbage.screen,
                       " RECORD 1, CU: 'z\\x07\\x08 10' IS NOT A NUMBER, "
                       "MISSING-VALUE CODE STORED\n"));
  EXPECT_TRUE(contains(garbage.screen, " NUMBER OF RECORDS = 6\n"));

  // A file cut inside its last record: the whole records are read, the rest told.
  bytes = input_test::dbf_bytes(kFields, dbf_records(6), {0, 0, false});
  auto cut = run_dbf(dir, bytes.substr(0, bytes.size() - 8));
  ASSERT_EQ(cut.status, 0) << cut.screen;
  EXPECT_TRUE(in_order(cut.screen, {" DBASE FILE D.DBF ENDS INSIDE RECORD 6: ITS 13 BYTES ARE NOT "
                                    "READ\n",
                                    " NUMBER OF RECORDS = 5\n"}));
  // The end-of-file byte after the last record is no cut record.
  auto whole = run_dbf(dir, input_test::dbf_bytes(kFields, dbf_records(6)));
  EXPECT_FALSE(contains(whole.screen, "ENDS INSIDE RECORD"));
}

TEST(BadDbase, NoRecordsAndTooManyRecords) {
  Folder dir;
  expect_stop(dir, run_dbf(dir, input_test::dbf_bytes(kFields, {})),
              "NO SAMPLES READ FROM DATA FILE D.DBF");
  expect_stop(dir, run_dbf(dir, input_test::dbf_bytes(kFields, dbf_records(5001))),
              "TOO MANY OBJECTS FOR PROGRAM");
  // 5000 records are read; the dialogue then ends before the mapping.
  dir.write("D.DBF", input_test::dbf_bytes(kFields, dbf_records(5000)));
  auto full = run_dialogue(dir, std::vector<std::string>{"", "N"} + dbf_input());
  EXPECT_TRUE(contains(full.screen, " NUMBER OF RECORDS = 5000\n"));
  expect_stop(dir, full, "END OF DIALOGUE FILE ANSWERS.DLG: MORE ANSWERS NEEDED");
}

// File names and answers -----------------------------------------------------

TEST(WrongAnswers, AWrongFileNameIsAskedAgainInEachFormat) {
  Folder dir;
  dir.write("D.CSV", kData);
  dir.write("R.INF", join_lines(kInfo));
  dir.write("R.FXD", kFixedData);
  dir.write("D.DBF", input_test::dbf_bytes(kFields, dbf_records(6)));
  struct Case {
    std::vector<std::string> input;
    std::string wrong, right;
  };
  const std::vector<Case> cases = {
      {{"", "NOPE", "D", "", "", "Y", "N", "Y", "N", "", ""}, "NOPE.CSV", "D.CSV"},
      {{"G", "NOPE", "R", "Y", "N", "Y", "N", "", ""}, "NOPE.INF", "R.INF"},
      {{"D", "NOPE", "D", "SIX SITES", "", "N", "Y", "Y", "N", "Y", "N", "", ""},
       "NOPE.DBF",
       "D.DBF"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wrong);
    auto result = run_dialogue(dir, mapping_run(c.input));
    ASSERT_EQ(result.status, 0) << result.screen;
    EXPECT_EQ(count_of(result.screen, "FILENAME NOT CORRECT. REDO!\n"), 1);
    EXPECT_TRUE(in_order(result.screen, {"= " + c.wrong + "\n", "FILENAME NOT CORRECT. REDO!\n",
                                         " Name datafile without extension? ", "= " + c.right}));
  }
}

TEST(WrongAnswers, ANumberAnswerThatIsNoNumberEndsTheRunNamingIt) {
  Folder dir;
  dir.write("D.CSV", kData);
  const std::vector<std::string> input = csv_input("D", 2);
  struct Case {
    std::vector<std::string> answers;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"", "N", "", "D", "abc"}, "ANSWER 'abc' IS NOT A NUMBER"},
      {std::vector<std::string>{"", "N"} + input + std::vector<std::string>{"x1"},
       "ANSWER 'x1' IS NOT AN INTEGER NUMBER"},
      {std::vector<std::string>{"", "N"} + input + std::vector<std::string>{"", "1,5"},
       "ANSWER '1,5' IS NOT A NUMBER"},
      {std::vector<std::string>{"", "N"} + input + std::vector<std::string>{"", "", "2.5"},
       "ANSWER '2.5' IS NOT AN INTEGER NUMBER"},
      {std::vector<std::string>{"", "N"} + input + std::vector<std::string>{"", "nan"},
       "ANSWER 'nan' IS NOT A NUMBER"},
      {std::vector<std::string>{"", "N"} + input + repeat(4, {""}) +
           std::vector<std::string>{"one"},
       "ANSWER 'one' IS NOT AN INTEGER NUMBER"},
      {std::vector<std::string>{"", "F", ""} + input +
           std::vector<std::string>{"1 2", "", "", "1e40"},
       "ANSWER '1e40' IS NOT A NUMBER"},
      {std::vector<std::string>{"", "F", ""} + input +
           std::vector<std::string>{"1 2", "", "", "", "", "", "", "", "0.5"},
       "ANSWER '0.5' IS NOT AN INTEGER NUMBER"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    expect_stop(dir, run_dialogue(dir, c.answers), c.message);
  }
}

TEST(WrongAnswers, NothingToAnalyseEndsTheRunBeforeTheColumnQuestions) {
  Folder dir;
  dir.write("D.CSV", kData);
  // S at the first variable: no column question could be answered.
  const std::vector<std::string> none = {"", "D", "", "", "S", "", ""};
  for (const char* mode : {"N", "F", "B"}) {
    SCOPED_TRACE(mode);
    std::vector<std::string> answers = {"", mode};
    if (std::string(mode) != "N") answers.push_back("");
    auto result = run_dialogue(dir, answers + none + repeat(20, {""}));
    expect_stop(dir, result, "NO VARIABLE SELECTED");
    EXPECT_FALSE(contains(result.screen, "MUST LIE BETWEEN"));
  }
  // One variable, and it holds the weights.
  auto weights = run_dialogue(dir, std::vector<std::string>{"", "F", "Y", "", "D", "", "", "Y", "N",
                                                            "S", "", "", "1", "1 1"} +
                                       repeat(20, {""}));
  expect_stop(dir, weights, "NO VARIABLE LEFT BESIDES THE WEIGHT COLUMN");
}

TEST(WrongAnswers, ClusterCountsBeyondTheClassTablesAreAskedAgain) {
  Folder dir;
  dir.write("D.CSV", kData);
  const std::vector<std::string> head =
      std::vector<std::string>{"", "F", ""} + csv_input("D", 2) + std::vector<std::string>{"1 2"};
  // With extragrades 34 clusters fit the tables, 35 do not; without, 35 and 36.
  struct Case {
    std::vector<std::string> answers;
    std::string refusal;
  };
  const std::vector<Case> cases = {
      {{"", "Y", "", "", "2", "35", "3"},
       " FINISHING NUMBER OF CLUSTERS MUST LIE BETWEEN 2 AND 34"},
      {{"", "N", "", "2", "36", "3"}, " FINISHING NUMBER OF CLUSTERS MUST LIE BETWEEN 2 AND 35"},
      {{"", "N", "", "36", "2", "3"}, " NUMBER OF CLUSTERS MUST LIE BETWEEN 2 AND 35"},
      {{"", "Y", "", "", "35", "2", "3"}, " NUMBER OF CLUSTERS MUST LIE BETWEEN 2 AND 34"},
      // A last count below the first; equal counts then put the save question.
      {{"", "N", "", "3", "2", "3", ""},
       " FINISHING NUMBER OF CLUSTERS MUST LIE BETWEEN 3 AND 35"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refusal);
    auto result = run_dialogue(dir, head + c.answers + repeat(6, {""}));
    ASSERT_EQ(result.status, 0) << result.screen;
    EXPECT_EQ(count_of(result.screen, c.refusal + "\n"), 1) << result.screen;
    EXPECT_TRUE(contains(dir.read("OUTPUT.OUT"), "\n  3    0."));
  }
  // The largest counts that fit are taken without a word; the dialogue file
  // then ends at the next question.
  for (const auto& answers : {std::vector<std::string>{"", "Y", "", "", "2", "34"},
                              std::vector<std::string>{"", "N", "", "2", "35"}}) {
    auto result = run_dialogue(dir, head + answers);
    EXPECT_FALSE(contains(result.screen, "MUST LIE BETWEEN"));
    EXPECT_TRUE(contains(result.screen, " Maximum number of iterations <100>:\n"));
    expect_stop(dir, result, "END OF DIALOGUE FILE ANSWERS.DLG: MORE ANSWERS NEEDED");
  }
}

TEST(WrongAnswers, SortColumnOutsideTheVariablesIsAskedAgain) {
  Folder dir;
  // High CU with low ZN and the other way round: the two sort columns give
  // opposite orders of the centres.
  dir.write("D.CSV",
            "CU,ZN\n10,60\n11,61\n12,59\n10.5,62\n11.5,60\n12,61\n"
            "40,20\n42,21\n41,19\n39,22\n43,20\n40,21\n");
  // Two clusters; the sort column answers 0 and 3 are refused, 2 is taken.
  const std::vector<std::string> answers =
      std::vector<std::string>{"", "F", ""} + csv_input("D", 2) +
      std::vector<std::string>{"1 2", "", "N", "", "2", "2", "", "", "", "", "", "0", "3", "2", ""};
  auto result = run_dialogue(dir, answers);
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_EQ(count_of(result.screen, " COLUMN NUMBER MUST LIE BETWEEN 1 AND 2\n"), 2)
      << result.screen;
  const std::string report = dir.read("OUTPUT.OUT");
  EXPECT_TRUE(contains(report, "\n CU                   40.8"));
  EXPECT_TRUE(contains(report, "\n ZN                   20.5"));
}

// Dialogue files that end early ----------------------------------------------

TEST(DialogueCuts, EveryCutOfEachExampleDialogueEndsNamingTheDialogueFile) {
  const std::vector<std::pair<std::string, std::string>> examples = {
      {"iris", "iris.dlg"}, {"soil", "soil.dlg"}, {"sediment", "sed.dlg"}};
  for (const auto& [example, dialogue] : examples) {
    Folder dir;
    copy_example(dir, example);
    const std::vector<std::string> lines = dir.lines(dialogue);
    ASSERT_GT(lines.size(), 2u);
    const std::string report = lines[0] + ".OUT";
    for (std::size_t cut = 0; cut < lines.size(); ++cut) {
      SCOPED_TRACE(dialogue + " cut after " + std::to_string(cut) + " lines");
      fs::remove(dir / report);
      auto result = run_dialogue(dir, {lines.begin(), lines.begin() + static_cast<long>(cut)});
      expect_stop(dir, result, "END OF DIALOGUE FILE ANSWERS.DLG: MORE ANSWERS NEEDED",
                  cut == 0 ? "" : report);
      if (cut == 0) {
        EXPECT_FALSE(dir.exists(report));
      }
    }
    const RunResult whole = run_dialogue(dir, lines);
    EXPECT_EQ(whole.status, 0) << dialogue << ": " << last_line(whole.screen);
  }
}

// Output that cannot be written ----------------------------------------------

namespace {

// A run of both analyses on the twelve samples, for 2 and 3 clusters.
std::vector<std::string> both_run(const std::string& output) {
  return std::vector<std::string>{output, "B", ""} + csv_input("D", 2) + repeat(4, {""}) +
         std::vector<std::string>{"", "N", "", "2", "3", "", "", "", "", "", ""} + repeat(2, {""});
}

}  // namespace

TEST(UnwritableOutput, AReportFileThatCannotBeCreated) {
  Folder dir;
  dir.write("D.CSV", kData);
  auto missing = run_dialogue(dir, both_run("nosuch/RUN"));
  expect_stop(dir, missing, "CANNOT OPEN FILE nosuch/RUN.OUT FOR WRITING", "");
  EXPECT_FALSE(dir.exists("nosuch"));
  // A folder of the report's name.
  fs::create_directory(dir / "RUN.OUT");
  expect_stop(dir, run_dialogue(dir, both_run("RUN")), "CANNOT OPEN FILE RUN.OUT FOR WRITING", "");
  EXPECT_TRUE(fs::is_directory(dir / "RUN.OUT"));
  EXPECT_TRUE(fs::is_empty(dir / "RUN.OUT"));
}

TEST(UnwritableOutput, AResultFileThatCannotBeCreatedKeepsWhatWasWritten) {
  Folder dir;
  dir.write("D.CSV", kData);
  ASSERT_EQ(run_dialogue(dir, both_run("RUN")).status, 0);
  const std::vector<std::string> final_listing = dir.lines("RUN.NLM");
  ASSERT_EQ(final_listing.size(), 12u);
  struct Case {
    std::string blocked, message;
    bool after_mapping;
  };
  const std::vector<Case> cases = {{"NLMA.TMP", "CANNOT OPEN SCRATCH FILE NLMA.TMP", false},
                                   {"NLMB.TMP", "CANNOT OPEN SCRATCH FILE NLMB.TMP", false},
                                   {"RUN.NLM", "CANNOT OPEN FILE RUN.NLM FOR WRITING", false},
                                   {"RUN.CNT", "CANNOT OPEN FILE RUN.CNT FOR WRITING", true},
                                   {"RUN.MEM", "CANNOT OPEN FILE RUN.MEM FOR WRITING", true},
                                   {"RUN.CLS", "CANNOT OPEN FILE RUN.CLS FOR WRITING", true},
                                   {"RUN.OPT", "CANNOT OPEN FILE RUN.OPT FOR WRITING", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blocked);
    for (const char* name : {"RUN.OUT", "RUN.NLM", "RUN.CNT", "RUN.MEM", "RUN.CLS", "RUN.OPT"}) {
      fs::remove(dir / name);
    }
    fs::remove(dir / c.blocked);
    fs::create_directory(dir / c.blocked);
    auto result = run_dialogue(dir, both_run("RUN"));
    expect_stop(dir, result, c.message, "RUN.OUT");
    fs::remove(dir / c.blocked);
    const std::string report = dir.read("RUN.OUT");
    EXPECT_TRUE(contains(report, " VARIABLES SELECTED: "));
    if (c.after_mapping) {
      // The mapping's block and result file were complete before the clustering failed.
      EXPECT_TRUE(contains(report, " NORMAL END OF NLM JOB"));
      EXPECT_EQ(dir.lines("RUN.NLM"), final_listing);
    }
  }
}

TEST(UnwritableOutput, AScalingFileThatCannotBeCreated) {
  Folder dir;
  dir.write("D.CSV", kData);
  fs::create_directory(dir / "SCALE.MMB");
  auto result = run_dialogue(dir, std::vector<std::string>{"", "F", ""} + csv_input("D", 2) +
                                      std::vector<std::string>{"1 2", "", "", "", "3", "3", "Y"} +
                                      repeat(6, {""}));
  expect_stop(dir, result, "CANNOT OPEN FILE SCALE.MMB FOR WRITING");
  // The run echo was complete before the clustering began.
  EXPECT_EQ(dir.lines("OUTPUT.OUT").back(), " " + std::string(77, '*'));
}

TEST(UnwritableOutput, AReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser from writing";
  Folder dir;
  dir.write("D.CSV", kData);
  fs::create_directory(dir / "ro");
  fs::permissions(dir / "ro", fs::perms::owner_write, fs::perm_options::remove);
  auto result = run_dialogue(dir, both_run("ro/RUN"));
  fs::permissions(dir / "ro", fs::perms::owner_write, fs::perm_options::add);
  expect_stop(dir, result, "CANNOT OPEN FILE ro/RUN.OUT FOR WRITING", "");
  EXPECT_TRUE(fs::is_empty(dir / "ro"));
}

TEST(UnwritableOutput, ABitmapThatCannotBeWrittenIsAFailure) {
  Folder dir;
  dir.write("D.CSV", kData);
  dir.write("ANSWERS.DLG", join_lines(both_run("RUN")));
  fs::create_directory(dir / "RUN.BMP");
  auto result = dir.run({"N", "ANSWERS.DLG"}, kTimeLimit);
  expect_stop(dir, result, "CANNOT WRITE BITMAP FILE RUN.BMP", "RUN.OUT");
  // Everything the analyses wrote is there.
  EXPECT_EQ(dir.lines("RUN.CLS").size(), 12u);
  EXPECT_TRUE(contains(dir.read("RUN.OUT"), "NORMAL END OF FUZZY JOB"));
}

// A full disk: every file the run writes says so when its writes fail, rather
// than ending as if all went well.
TEST(UnwritableOutput, EveryFileThatCannotBeWrittenIsNamed) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to stand for a full disk";
  Folder dir;
  dir.write("D.CSV", kData);
  dir.write("ANSWERS.DLG", join_lines(both_run("RUN")));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"RUN.OUT", "ERROR WRITING FILE RUN.OUT"},      {"RUN.NLM", "ERROR WRITING FILE RUN.NLM"},
      {"RUN.CNT", "ERROR WRITING FILE RUN.CNT"},      {"RUN.MEM", "ERROR WRITING FILE RUN.MEM"},
      {"RUN.CLS", "ERROR WRITING FILE RUN.CLS"},      {"RUN.OPT", "ERROR WRITING FILE RUN.OPT"},
      {"RUN.BMP", "CANNOT WRITE BITMAP FILE RUN.BMP"}};
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    fs::remove(dir / file);  // as the run before left it
    fs::create_symlink("/dev/full", dir / file);
    auto result = dir.run({"N", "ANSWERS.DLG"}, kTimeLimit);
    fs::remove(dir / file);
    EXPECT_EQ(result.status, 1) << result.screen;
    EXPECT_EQ(last_line(result.screen), message);
  }
  // The scratch files take the distances from 1001 samples on.
  std::string many = "CU,ZN\n";
  for (int k = 0; k < 1001; ++k)
    many += std::to_string(k % 37) + "," + std::to_string(k % 11) + "\n";
  dir.write("D.CSV", many);
  fs::remove(dir / "NLMA.TMP");
  fs::create_symlink("/dev/full", dir / "NLMA.TMP");
  auto result = run_dialogue(dir, mapping_run(csv_input("D", 2)));
  EXPECT_EQ(result.status, 1) << result.screen;
  EXPECT_EQ(last_line(result.screen), "ERROR WRITING SCRATCH FILE NLMA.TMP");
}

// A file-size limit once killed the run with a signal and no word.
TEST(UnwritableOutput, AFileSizeLimitEndsTheRunWithItsOwnLine) {
  Folder dir;
  dir.write("D.CSV", kData);
  dir.write("ANSWERS.DLG", join_lines(both_run("RUN")));
  dir.write("stdin.txt", "N\nANSWERS.DLG\n");
  // The limit is the program's alone: its screen goes through a pipe to cat.
  auto run_limited = [&](int kilobytes) {
    dir.write("limited.sh", "cd '" + dir.path().string() + "'\n(ulimit -f " +
                                std::to_string(kilobytes) + " && exec timeout 20 '" +
                                TARNWICK_BINARY + "' < stdin.txt) | cat > screen.txt\n" +
                                "echo ${PIPESTATUS[0]} > status\n");
    EXPECT_EQ(std::system(("bash '" + (dir / "limited.sh").string() + "'").c_str()), 0);
    return std::make_pair(std::stoi(dir.read("status")), last_line(dir.read("screen.txt")));
  };
  // One kilobyte: the report; one hundred: the bitmap, the rest being complete.
  EXPECT_EQ(run_limited(1), std::make_pair(1, std::string("ERROR WRITING FILE RUN.OUT")));
  EXPECT_EQ(run_limited(100), std::make_pair(1, std::string("CANNOT WRITE BITMAP FILE RUN.BMP")));
  EXPECT_TRUE(contains(dir.read("RUN.OUT"), "NORMAL END OF FUZZY JOB"));
}

// A NUL byte once cut the message short (ANSWER '1), and an escape byte
// reached the terminal as a command.
TEST(WrongAnswers, ControlBytesInAnswersAreShownEscaped) {
  Folder dir;
  dir.write("D.CSV", kData);
  const std::string nul(1, '\0');
  auto number = run_dialogue(dir, std::vector<std::string>{"", "N"} + csv_input("D", 2) +
                                      std::vector<std::string>{"1" + nul});
  expect_stop(dir, number, "ANSWER '1\\0' IS NOT AN INTEGER NUMBER");
  std::vector<std::string> retried = csv_input("D", 2);
  retried.insert(retried.begin() + 1, "D\x1b[2J");
  auto name = run_dialogue(dir, mapping_run(retried));
  EXPECT_EQ(name.status, 0) << name.screen;
  EXPECT_TRUE(
      contains(name.screen, " NAME DATAFILE= D\\x1B[2J.CSV\nFILENAME NOT CORRECT. REDO!\n"));
  EXPECT_FALSE(contains(name.screen, "\x1b[2J"));

  // An output name with a NUL byte would have emptied the file before the byte.
  auto output = run_dialogue(dir, {"D.CSV" + nul});
  expect_stop(dir, output, "CANNOT OPEN FILE D.CSV\\0.OUT FOR WRITING", "");
  EXPECT_EQ(dir.read("D.CSV"), kData);
}

// Distances of 3e38 apart are beyond single precision whatever the power:
// with the power at 1 the message names the data.
TEST(WrongAnswers, DistancesBeyondSinglePrecisionNameTheDataWhenThePowerIsOne) {
  Folder dir;
  dir.write("D.CSV", "A,B\n3e38,0\n0,0\n1,1\n2,5\n");
  const std::vector<std::string> head = std::vector<std::string>{"", "N"} + csv_input("D", 2);
  auto one = run_dialogue(dir, head + std::vector<std::string>{"0"} + repeat(8, {""}));
  expect_stop(dir, one,
              "DISTANCES BETWEEN SAMPLES BEYOND SINGLE PRECISION: CHECK THE DATA VALUES AND THE "
              "MISSING-VALUE CODE");
  auto two = run_dialogue(dir, head + std::vector<std::string>{"0", "2"} + repeat(8, {""}));
  expect_stop(dir, two,
              "POWER OF DISTANCES 2 TAKES THE DISTANCE WEIGHTS OUT OF RANGE: CHOOSE A POWER "
              "NEARER 1");
}

// Plotting coordinates of 1e9 and more do not fit the class file's F15.5
// field and are written as asterisks; the panels take them as missing.
TEST(HugeValues, CoordinatesTooWideForTheClassFileStillGiveTheBitmap) {
  Folder dir;
  dir.write("D.CSV",
            "CU,ZN,X\n10,20,1\n11,21,2\n12,19,3\n10.5,22,2e9\n11.5,20,5\n12,21,6\n"
            "40,60,7\n42,61,-3e9\n41,58,9\n39,62,10\n43,59,11\n40,60,12\n");
  dir.write("ANSWERS.DLG",
            join_lines(std::vector<std::string>{"", "F", ""} + csv_input("D", 3) +
                       std::vector<std::string>{"3 2", "", "", "", "2", "4"} + repeat(8, {""})));
  auto result = dir.run({"N", "ANSWERS.DLG"}, kTimeLimit);
  ASSERT_EQ(result.status, 0) << result.screen;
  const std::vector<std::string> classes = dir.lines("OUTPUT.CLS");
  ASSERT_EQ(classes.size(), 12u);
  EXPECT_EQ(classes[3].substr(22, 15), std::string(15, '*'));
  EXPECT_EQ(classes[7].substr(22, 15), std::string(15, '*'));
  EXPECT_TRUE(dir.exists("OUTPUT.BMP"));
  EXPECT_GT(fs::file_size(dir / "OUTPUT.BMP"), 300000u);
}
