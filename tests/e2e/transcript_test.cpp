// The screen of a whole dialogue, one run per analysis mode, against a
// transcript kept in golden/: every prompt, listing and message in its order,
// character for character. The transcripts were checked by hand against the
// program's prompts and layouts when they were made; on a console without
// cursor control clearing writes nothing, so text after a clear follows the
// last prompt on its line.
#include "e2e/e2e_support.hpp"

using namespace e2e;

namespace {

void expect_transcript(const std::string& example, const std::string& dialogue,
                       const std::string& golden) {
  Folder dir;
  copy_example(dir, example);
  const RunResult result = dir.run({"N", dialogue}, 60);
  EXPECT_EQ(result.status, 0) << last_line(result.screen);
  const fs::path path = fs::path(TARNWICK_SOURCE_DIR) / "tests" / "e2e" / "golden" / golden;
  ASSERT_TRUE(fs::exists(path)) << path;
  const std::string expected = read_file(path);
  const std::vector<std::string> want = split_lines(expected), got = split_lines(result.screen);
  for (std::size_t k = 0; k < std::min(want.size(), got.size()); ++k) {
    ASSERT_EQ(got[k], want[k]) << golden << " line " << k + 1;
  }
  EXPECT_EQ(got.size(), want.size()) << golden;
  EXPECT_EQ(result.screen, expected) << "line ends differ from " << golden;
}

}  // namespace

TEST(Transcript, BothAnalysesOnTheCommaSeparatedIrisFile) {
  expect_transcript("iris", "iris.dlg", "iris_mode_B.screen");
}

TEST(Transcript, ClusteringOnlyOnTheDbaseSoilFile) {
  expect_transcript("soil", "soil.dlg", "soil_mode_F.screen");
}

TEST(Transcript, MappingOnlyOnTheFixedLayoutSedimentFile) {
  expect_transcript("sediment", "sed.dlg", "sediment_mode_N.screen");
}
