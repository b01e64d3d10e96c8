// Two mappings of more than 1000 samples run by the built program at the
// same time in one folder each give what they give alone, and each scratch
// file ends as a whole dump of one of them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mapping_support.hpp"

namespace {

namespace fs = std::filesystem;

// Data set `name`.CSV of n samples in three variables, and a dialogue file
// `name`.DLG: output base `name`, mapping only, all variables, Euclidean
// norm, 60 iterations.
void write_run(const fs::path& folder, const std::string& name, int n, unsigned seed) {
  std::ofstream csv(folder / (name + ".CSV"));
  csv << "A,B,C\n";
  for (const auto& row : mapping_test::random_rows(n, 3, seed)) {
    csv << row[0] << "," << row[1] << "," << row[2] << "\n";
  }
  std::ofstream dialogue(folder / (name + ".DLG"));
  dialogue << name << "\nN\nN\nC\n" << name << "\n\nN\n";
  for (int k = 0; k < 3; ++k) dialogue << "Y\nN\n";
  dialogue << "Y\n\n0\n1.0\n60\nY\n\n\n";
}

// The command that runs the program with dialogue file `name`.DLG in folder.
std::string run_command(const fs::path& folder, const std::string& name) {
  return "cd '" + folder.string() + "' && printf 'Y\\n" + name +
         ".DLG\\n' | '" TARNWICK_BINARY "' > " + name + ".SCREEN 2>&1";
}

std::string text_of(const fs::path& path) {
  return mapping_test::file_text(path.string());
}

TEST(TwoRuns, InOneFolderAtOnceEachGiveTheirSoloResult) {
  const fs::path base =
      fs::temp_directory_path() / ("tarnwick_two_runs_" + std::to_string(::getpid()));
  const fs::path together = base / "together", first = base / "first", second = base / "second";
  fs::remove_all(base);
  for (const fs::path& folder : {together, first, second}) fs::create_directories(folder);
  write_run(together, "ONE", 1500, 3);
  write_run(together, "TWO", 1400, 8);
  write_run(first, "ONE", 1500, 3);
  write_run(second, "TWO", 1400, 8);

  ASSERT_EQ(std::system(run_command(first, "ONE").c_str()), 0);
  ASSERT_EQ(std::system(run_command(second, "TWO").c_str()), 0);
  const std::string both =
      "(" + run_command(together, "ONE") + ") & (" + run_command(together, "TWO") + ") & wait";
  ASSERT_EQ(std::system(("sh -c \"" + both + "\"").c_str()), 0);

  for (const auto& [name, solo] : {std::pair{"ONE", first}, std::pair{"TWO", second}}) {
    for (const std::string extension : {".OUT", ".NLM", ".SCREEN"}) {
      EXPECT_TRUE(text_of(together / (name + extension)) == text_of(solo / (name + extension)))
          << name << extension << " differs from the run alone";
    }
  }
  for (const std::string scratch : {"NLMA.TMP", "NLMB.TMP"}) {
    const std::string text = text_of(together / scratch);
    EXPECT_TRUE(text == text_of(first / scratch) || text == text_of(second / scratch))
        << scratch << " is not the whole dump of either run";
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(together)) {
    left.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(left.size(), 12u) << "files of the side remain";  // 5 per run and the two dumps
  if (!::testing::Test::HasFailure()) fs::remove_all(base);
}

}  // namespace
