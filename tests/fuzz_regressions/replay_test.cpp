// Every input that once crashed, hung or tripped a sanitizer in a fuzz target
// is replayed here through the target's own entry, together with the seeds
// the targets start from. Under the sanitizer build a relapse is reported at
// the fault itself; in a plain build an escaped exception or a crash still
// fails the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../../fuzz/entries.hpp"

namespace {

namespace fs = std::filesystem;

using Entry = void (*)(const std::uint8_t*, std::size_t);

struct Target {
  const char* name;
  Entry entry;
};

const Target targets[] = {
    {"layout_writer", fuzz_entry::layout_writer}, {"record_reader", fuzz_entry::record_reader},
    {"list_reader", fuzz_entry::list_reader},     {"csv_reader", fuzz_entry::csv_reader},
    {"fixed_reader", fuzz_entry::fixed_reader},   {"dbase_reader", fuzz_entry::dbase_reader},
};

std::vector<fs::path> files_in(const fs::path& folder) {
  std::vector<fs::path> files;
  if (!fs::is_directory(folder)) return files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string bytes_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replays each file; gives the number replayed.
std::size_t replay(const Target& target, const fs::path& folder) {
  const std::vector<fs::path> files = files_in(folder);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.string());
    const std::string bytes = bytes_of(file);
    EXPECT_NO_THROW(
        target.entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  }
  return files.size();
}

class Replay : public ::testing::TestWithParam<Target> {};

TEST_P(Replay, KeptFindingsAndSeedsPassThroughTheEntry) {
  const fs::path root(TARNWICK_SOURCE_DIR);
  replay(GetParam(), root / "tests/fuzz_regressions/inputs" / GetParam().name);
  // Each target has seeds: an empty folder would mean a target fuzzed blind.
  EXPECT_GT(replay(GetParam(), root / "fuzz/corpus" / GetParam().name), 0u);
}

INSTANTIATE_TEST_SUITE_P(Targets, Replay, ::testing::ValuesIn(targets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
