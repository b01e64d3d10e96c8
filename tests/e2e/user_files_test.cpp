// Whole runs on files as users have them: names in lower and mixed case,
// spreadsheets saved in a European locale, GIS attribute tables with dBase IV
// float fields, and things that are not files given as data.
#include <sys/stat.h>

#include <algorithm>
#include <array>

#include "e2e/e2e_support.hpp"
#include "input/input_support.hpp"

using namespace e2e;
using input_test::operator+;

namespace {

constexpr int kTimeLimit = 20;

// Twelve samples of two variables in two groups.
const std::vector<std::array<const char*, 2>> kSamples = {
    {"10", "20"},    {"11", "21"}, {"12", "19"}, {"10.5", "22"}, {"11.5", "20"}, {"12", "21"},
    {"40", "60.25"}, {"42", "61"}, {"41", "58"}, {"39", "62"},   {"43", "59"},   {"40", "60"}};

// The samples, one to a line, with this separator between cells and this
// decimal mark.
std::string sample_lines(char separator, char decimal) {
  std::string text;
  for (const auto& s : kSamples) {
    std::string a = s[0], b = s[1];
    std::replace(a.begin(), a.end(), '.', decimal);
    std::replace(b.begin(), b.end(), '.', decimal);
    text += a + separator + b + "\r\n";
  }
  return text;
}

std::string samples_text(const std::string& header, char separator, char decimal) {
  return header + "\r\n" + sample_lines(separator, decimal);
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

RunResult run_dialogue(const Folder& dir, const std::vector<std::string>& answers,
                       const std::string& dialogue_name = "ANSWERS.DLG") {
  dir.write("ANSWERS.DLG", join_lines(answers));
  return dir.run({"Y", dialogue_name}, kTimeLimit);
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
  dir.write("rocks.FXD", sample_lines(' ', '.'));
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

TEST(UserFiles, AGisTableWithFloatFields) {
  Folder dir;
  using input_test::DbfField;
  const std::vector<DbfField> fields = {
      {"FID", 'N', 9}, {"NAME", 'C', 20}, {"CU", 'F', 19, 11}, {"ZN", 'F', 19, 11}};
  std::vector<std::string> records;
  for (std::size_t k = 0; k < kSamples.size(); ++k) {
    records.push_back(input_test::dbf_record(
        fields,
        {std::to_string(k), "plot " + std::to_string(k + 1), kSamples[k][0], kSamples[k][1]}));
  }
  std::ofstream(dir / "plots.dbf", std::ios::binary) << input_test::dbf_bytes(fields, records);
  dir.write("POINT.CSV", samples_text("CU,ZN", ',', '.'));
  auto comma = run_dialogue(dir, mapping_run(csv_input("POINT")));
  ASSERT_EQ(comma.status, 0) << comma.screen;
  const std::string expected = statistics_of(dir.read("OUTPUT.OUT"));

  // No numeric ID; FID left out, the name as identifier, both floats taken.
  auto result = run_dialogue(
      dir, mapping_run({"D", "PLOTS", "PLOTS", "", "", "N", "Y", "Y", "N", "Y", "N", "", ""}));
  ASSERT_EQ(result.status, 0) << result.screen;
  EXPECT_TRUE(in_order(result.screen, {" File contains    3 numeric variables.\n",
                                       "  3 CU         F  4 ZN         F\n",
                                       " TOTAL NUMBER OF "
                                       "REAL-VARS = 3\n"}));
  EXPECT_EQ(statistics_of(dir.read("OUTPUT.OUT")), expected);
  EXPECT_TRUE(contains(dir.read("OUTPUT.OUT"), " plot 12   "));
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

// A dialogue file is read line by line as it comes: a pipe may be one, and a
// device that never ends a line ends the run instead of filling the memory.
TEST(UserFiles, ADialogueFileMayBeAPipeButNotAnEndlessLine) {
  Folder dir;
  dir.write("GOOD.CSV", samples_text("A,B", ',', '.'));
  ASSERT_EQ(::mkfifo((dir / "pipe.dlg").c_str(), 0600), 0);
  dir.write("answers.txt", join_lines(mapping_run(csv_input("GOOD"))));
  const std::string feed =
      "cd '" + dir.path().string() + "' && (timeout 20 sh -c 'cat answers.txt > pipe.dlg' &)";
  ASSERT_EQ(std::system(feed.c_str()), 0);
  auto piped = dir.run({"Y", "PIPE.DLG"}, kTimeLimit);
  EXPECT_EQ(piped.status, 0) << piped.screen;
  EXPECT_TRUE(contains(piped.screen, " NUMBER OF RECORDS = 12\n"));

  fs::create_symlink("/dev/zero", dir / "ZERO.DLG");
  auto zero = dir.run({"Y", "ZERO.DLG"}, kTimeLimit);
  EXPECT_EQ(zero.status, 1);
  EXPECT_EQ(last_line(zero.screen),
            "DIALOGUE FILE ZERO.DLG HOLDS A LINE LONGER THAN 65536 CHARACTERS");
}
