// The report's run echo: exact lines for the title, the rules, the names
// eight to a line and the samples four to a line with their weights.
#include "run/run_echo.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> lines_of(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

input::SampleTable table_with(int variables, int samples) {
  input::SampleTable t;
  t.title = input::fixed_width("SOIL SURVEY TEST", 80);
  t.variable_count = variables;
  t.sample_count = samples;
  for (int j = 1; j <= variables; ++j)
    t.names[j - 1] = input::fixed_width("VAR" + std::to_string(j), 10);
  for (int i = 1; i <= samples; ++i) {
    std::string n = std::to_string(i);
    t.ids[i - 1] = std::string(10 - n.size(), ' ') + n;
  }
  return t;
}

std::vector<std::string> echo(const input::SampleTable& t, const std::vector<float>& weights) {
  auto path = std::filesystem::temp_directory_path() / "tarnwick_echo_test.out";
  {
    run::ReportFile report(path.string());
    report.text(" NLM, FUZZY or both? (N,F or <B>): ");
    run::write_run_echo(report, t, weights);
  }
  auto lines = lines_of(path);
  std::filesystem::remove(path);
  return lines;
}

}  // namespace

TEST(RunEcho, LinesOfNineVariablesAndFiveSamples) {
  std::vector<float> weights(5000, 1.0f);
  auto lines = echo(table_with(9, 5), weights);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], " NLM, FUZZY or both? (N,F or <B>): ");
  EXPECT_EQ(lines[1], input::fixed_width("SOIL SURVEY TEST", 80));
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], " " + std::string(77, '*'));
  EXPECT_EQ(lines[4], "          #### THE FOLLOWING INPUT IS USED FOR THE  NLM-FCM RUN ####");
  EXPECT_EQ(lines[5], " " + std::string(77, '='));
  EXPECT_EQ(lines[6], " VARIABLES SELECTED: ");
  EXPECT_EQ(lines[7], " " + std::string(77, '+'));
  EXPECT_EQ(lines[8],
            " VAR1      VAR2      VAR3      VAR4      VAR5      VAR6      VAR7      VAR8      ");
  EXPECT_EQ(lines[9], " VAR9      ");
  EXPECT_EQ(lines[10], " " + std::string(77, '='));
  EXPECT_EQ(lines[11], " SAMPLES AND (FUZZY ONLY) SELECTION-WEIGHTS: ");
  EXPECT_EQ(lines[12], " " + std::string(77, '+'));
  // lines[13..14]: samples; then the closing rule.
}

TEST(RunEcho, SamplesFourToALineAndWeightsThatOverflow) {
  std::vector<float> weights(5000, 1.0f);
  weights[1] = 0.25f;
  weights[2] = 100.0f;
  weights[3] = -10.0f;
  auto lines = echo(table_with(8, 5), weights);
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[8].size(), 81u);  // eight names on one line
  EXPECT_EQ(lines[9], " " + std::string(77, '='));
  EXPECT_EQ(lines[12], "          1  1.000          2  0.250          3 ******          4 ******");
  EXPECT_EQ(lines[13], "          5  1.000");
  EXPECT_EQ(lines[14], " " + std::string(77, '*'));
}
