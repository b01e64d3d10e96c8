// Whole runs on files as users have them: names in lower and mixed case,
// spreadsheets saved in a European locale, and things that are not files
// given as data or dialogue.
#include <sys/stat.h>

#include <algorithm>

#include "e2e/e2e_support.hpp"
#include "input/input_support.hpp"

using namespace e2e;
using input_test::operator+;

namespace {

constexpr int kTimeLimit = 20;

// Twelve samples of two variables in two groups, one to a line, the cells
// apart by blanks.
const char* kSamples =
    "10 20\r\n11 21\r\n12 19\r\n10.5 22\r\n11.5 20\r\n12 21\r\n"
    "40 60.25\r\n42 61\r\n41 58\r\n39 62\r\n43 59\r\n40 60\r\n";

// The samples below a line of names, apart by the separator, with the
// decimal mark.
std::string samples_text(const std::string& header, char separator, char decimal) {
  std::string text = kSamples;
  std::replace(text.begin(), text.end(), '.', decimal);
  std::replace(text.begin(), text.end(), ' ', separator);
  return header + "\r\n" + text;
}

std::vector<std::string> repeat(int times, const std::vector<std::string>& answers) {
  std::vector<std::string> all;
  for (int k = 0; k < times; ++k) all = all + answers;
  return all;
}

// Mapping only, every parameter at its default, on the data-input answers.
std::vector<std::string> mapping_run(const std::vector<std::string>& input) {
  return std::vector<std::string>{"", "N"} + input + repeat(8, {""});
}

// Data input of a comma-separated file of two variables, both taken; the
// names tried first, when given, are asked again.
std::vector<std::string> csv_input(const std::string& name,
                                   const std::vector<std::string>& tried = {}) {
  return std::vector<std::string>{""} + tried +
         std::vector<std::string>{name, "", "", "Y", "N", "Y", "N", "", ""};
}

RunResult run_dialogue(const Folder& dir, const std::vector<std::string>& answers) {
  dir.write("ANSWERS.DLG", join_lines(answers));
  return dir.run({"Y", "ANSWERS.DLG"}, kTimeLimit);
}

// The report's block of means and standard deviations: the values read.
std::string statistics_of(const std::string& report) {
  const std::size_t at = report.find(" Means, Stand. dev.");
  if (at == std::string::npos) return "";
  return report.substr(at, report.find("\n\n", at) - at);
}

}  // namespace

TEST(UserFiles, LowerAndMixedCaseNamesAreFoundUnderTheNamesFormed) {
  Folder dir;
  dir.write("iris.csv", samples_text("A,B", ',', '.'));
  // The dialogue file in lower case, named in upper case at the console.
  dir.write("answers.dlg", join_lines(mapping_run(csv_input("iris"))));
  auto result = dir.run({"Y", "ANSWERS.DLG"}, kTimeLimit);
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(contains(result.screen, " NAME DATAFILE= iris.CSV\n"));
  EXPECT_FALSE(contains(result.screen, "REDO"));
  EXPECT_TRUE(contains(result.screen, " NUMBER OF RECORDS = 12\n"));

  dir.write("Rocks.inf", "T\n   12\n    2\n-999.\n*\nCU\nZN\n");
  dir.write("rocks.FXD", kSamples);
  result = run_dialogue(dir, mapping_run({"G", "ROCKS", "", "Y", "N", "Y", "N", "", ""}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(contains(result.screen, " NAME INFOFILE= ROCKS.INF\n NAME DATAFILE= ROCKS.FXD\n"));
  EXPECT_TRUE(contains(result.screen, " NUMBER OF RECORDS = 12\n"));
}

// A European spreadsheet reads to the same numbers as the same data with
// commas and points, and says once how it was read.
TEST(UserFiles, SemicolonFilesWithDecimalCommasGiveTheSameResultsAsCommaFiles) {
  Folder dir;
  dir.write("POINT.CSV", samples_text("\"Cu\",\"Zn\"", ',', '.'));
  dir.write("Comma.csv", samples_text("\"Cu\";\"Zn\"", ';', ','));
  auto comma = run_dialogue(dir, mapping_run(csv_input("POINT")));
  ASSERT_EQ(comma.status, 0) << comma.screen;
  const std::string expected = statistics_of(dir.read("OUTPUT.OUT"));
  ASSERT_FALSE(expected.empty());
  auto semicolon = run_dialogue(dir, mapping_run(csv_input("comma")));
  ASSERT_EQ(semicolon.status, 0) << semicolon.screen;
  EXPECT_EQ(statistics_of(dir.read("OUTPUT.OUT")), expected);
  EXPECT_EQ(
      count_of(semicolon.screen, " SEMICOLON-SEPARATED FILE: DECIMAL COMMAS READ AS POINTS\n"), 1);
  EXPECT_FALSE(contains(comma.screen, "SEMICOLON"));
  EXPECT_FALSE(contains(semicolon.screen, "NOT A NUMBER"));
}

// Each is asked again at once; the run then goes on with a real file.
TEST(UserFiles, AFolderAFifoAndADeviceAreNoDataFiles) {
  Folder dir;
  dir.write("GOOD.CSV", samples_text("A,B", ',', '.'));
  fs::create_directory(dir / "FOLDER.CSV");
  ASSERT_EQ(::mkfifo((dir / "FIFO.CSV").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir / "ZERO.CSV");
  for (const char* name : {"FOLDER", "FIFO", "ZERO"}) {
    SCOPED_TRACE(name);
    auto result = run_dialogue(dir, mapping_run(csv_input("GOOD", {name})));
    ASSERT_EQ(result.status, 0) << result.screen;
    EXPECT_TRUE(
        in_order(result.screen, {std::string(" NAME DATAFILE= ") + name + ".CSV\n",
                                 "FILENAME NOT CORRECT. REDO!\n", " NAME DATAFILE= GOOD.CSV\n"}));
  }
  // The information file read, a FIFO as the data file ends the run at once.
  dir.write("ROCKS.INF", "T\n   12\n    2\n-999.\n*\nCU\nZN\n");
  ASSERT_EQ(::mkfifo((dir / "ROCKS.FXD").c_str(), 0600), 0);
  auto result = run_dialogue(dir, mapping_run({"G", "ROCKS"}));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(last_line(result.screen), "DATA FILE ROCKS.FXD NOT FOUND");
}

// A device given as the dialogue file never ends a line: the run ends with
// one line instead of filling the memory.
TEST(UserFiles, ADialogueLineWithoutEndEndsTheRun) {
  Folder dir;
  fs::create_symlink("/dev/zero", dir / "ZERO.DLG");
  auto zero = dir.run({"Y", "ZERO.DLG"}, kTimeLimit);
  EXPECT_EQ(zero.status, 1);
  EXPECT_EQ(last_line(zero.screen),
            "DIALOGUE FILE ZERO.DLG HOLDS A LINE LONGER THAN 65536 CHARACTERS");
}
