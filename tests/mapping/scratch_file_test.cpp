// The distance scratch files: text form, reading back bit for bit, whole-file
// replacement, keeping existing files at the start of a mapping.

#include "mapping/scratch_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

#include "console/run_stop.hpp"
#include "mapping_support.hpp"

namespace {

using mapping::dump_entries;
using mapping_test::file_lines;
using mapping_test::WorkFolder;

void write_text(const std::string& name, const std::string& text) {
  std::ofstream out(name, std::ios::binary);
  out << text;
}

void dump(const std::string& name, const std::vector<float>& values, int threads = 2) {
  parallel::Team team(threads);
  mapping::dump_scratch_file(name, values, team);
}

std::vector<float> round_trip(const std::vector<float>& values) {
  dump("NLMA.TMP", values);
  return mapping_test::read_dump("NLMA.TMP", values.size());
}

std::vector<std::string> folder_entries() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void expect_same_bits(const std::vector<float>& expected, const std::vector<float>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  std::size_t differing = 0;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (std::bit_cast<std::uint32_t>(expected[k]) != std::bit_cast<std::uint32_t>(actual[k])) {
      if (differing++ < 5)
        ADD_FAILURE() << "entry " << k << ": " << expected[k] << " read back as " << actual[k];
    }
  }
  EXPECT_EQ(differing, 0u);
}

TEST(ScratchDump, ReadsBackBitForBitAcrossTheWholeFloatRange) {
  WorkFolder folder;
  // Every 4099th bit pattern of the positive finite floats, subnormals and
  // the values next to powers of two and ten included, then the negatives.
  std::vector<float> values;
  for (std::uint32_t bits = 0; bits < 0x7F800000u; bits += 4099)
    values.push_back(std::bit_cast<float>(bits));
  for (float v : {0.001f, 0.1f, 1.0f, 1e-5f, 3e-7f, 1e22f, 1e23f, 1e-22f, 1e-23f,
                  std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                  std::numeric_limits<float>::denorm_min(), 16777216.0f, 16777217.0f, 0.30000001f,
                  8388608.5f}) {
    values.push_back(v);
    values.push_back(std::nextafter(v, 0.0f));
    values.push_back(std::nextafter(v, 1e38f));
  }
  const std::size_t positives = values.size();
  for (std::size_t k = 0; k < positives; k += 3) values.push_back(-values[k]);
  values.push_back(-0.0f);
  expect_same_bits(values, round_trip(values));
}

TEST(ScratchDump, ReadsBackDistancesOfEveryDigitCount) {
  WorkFolder folder;
  std::vector<float> values;
  unsigned state = 7;
  for (int k = 0; k < 200000; ++k) {
    const float u = mapping_test::next_unit(state);
    values.push_back(std::sqrt(u * 50.0f) + 0.001f);  // 1 to 9 significant digits
  }
  expect_same_bits(values, round_trip(values));
}

TEST(ScratchDump, TextIsShortestDecimalsWithRepeatsAndTheZeroTail) {
  WorkFolder folder;
  const std::vector<float> values = {0.001f, 0.001f, 0.001f, 1.5f, 2.25f, 1e-5f,
                                     7.0f,   7.0f,   0.1f,   3.0f, 0.0f,  0.0f};
  dump("NLMA.TMP", values);
  const std::vector<std::string> lines = file_lines("NLMA.TMP");
  ASSERT_EQ(lines.size(), 1u);
  // The trailing zeros join the unused tail: one item for all of them.
  const std::size_t tail = dump_entries - 10;
  EXPECT_EQ(lines[0], "3*0.001 1.5 2.25 1e-05 2*7 0.1 3 " + std::to_string(tail) + "*0");
}

TEST(ScratchDump, EightItemsToALine) {
  WorkFolder folder;
  std::vector<float> values;
  for (int k = 1; k <= 17; ++k) values.push_back(static_cast<float>(k));
  dump("NLMB.TMP", values);
  const std::vector<std::string> lines = file_lines("NLMB.TMP");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "1 2 3 4 5 6 7 8");
  EXPECT_EQ(lines[1], "9 10 11 12 13 14 15 16");
  EXPECT_EQ(lines[2], "17 " + std::to_string(dump_entries - 17) + "*0");
}

// Dumps are formatted a chunk of 2^18 entries at a time, chunks side by
// side: a run over a chunk's end is still one item, the text ends with the
// tail whatever chunk holds the last entries, and it is the same text for
// any number of threads.
TEST(ScratchDump, RunsAcrossChunksAreOneItemAndReadBack) {
  WorkFolder folder;
  const std::size_t chunk = std::size_t{1} << 18;
  std::vector<float> values(3 * chunk + 5);
  for (std::size_t k = 0; k < values.size(); ++k)
    values[k] = 1.0f + static_cast<float>(k % 1000) / 7.0f;
  std::fill(values.begin() + chunk - 10, values.begin() + 2 * chunk + 20,
            0.001f);                                // two chunk ends
  std::fill(values.end() - 3, values.end(), 0.0f);  // zeros that join the tail
  const std::vector<float> back = round_trip(values);
  expect_same_bits(values, back);
  std::string text;
  for (const std::string& line : file_lines("NLMA.TMP")) text += line + "\n";
  const std::size_t run = text.find(std::to_string(chunk + 30) + "*0.001");
  ASSERT_NE(run, std::string::npos);
  EXPECT_TRUE(run == 0 || text[run - 1] == ' ' || text[run - 1] == '\n');
  EXPECT_EQ(text.find("*0.001", text.find("*0.001") + 1), std::string::npos);
  const std::string tail = std::to_string(dump_entries - values.size() + 3) + "*0\n";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  for (const int threads : {1, 3}) {
    dump("NLMB.TMP", values, threads);
    EXPECT_EQ(mapping_test::file_text("NLMB.TMP"), mapping_test::file_text("NLMA.TMP"))
        << threads << " threads";
  }
}

TEST(ScratchDump, ADumpReplacesTheWholeFileAndLeavesNothingElse) {
  WorkFolder folder;
  std::vector<float> first(5000);
  for (std::size_t k = 0; k < first.size(); ++k) first[k] = 1.0f / static_cast<float>(k + 3);
  dump("NLMB.TMP", first);
  const std::vector<float> second = {2.5f, 0.75f};
  dump("NLMB.TMP", second);
  EXPECT_EQ(file_lines("NLMB.TMP"),
            std::vector<std::string>{"2.5 0.75 " + std::to_string(dump_entries - 2) + "*0"});
  EXPECT_EQ(folder_entries(), std::vector<std::string>{"NLMB.TMP"});
}

TEST(ScratchDump, OpeningKeepsWhatTheFileHoldsAndCreatesAMissingOne) {
  WorkFolder folder;
  write_text("NLMA.TMP", "left by an earlier run\n");
  mapping::open_scratch_file("NLMA.TMP");
  mapping::open_scratch_file("NLMB.TMP");
  EXPECT_EQ(file_lines("NLMA.TMP"), std::vector<std::string>{"left by an earlier run"});
  EXPECT_TRUE(std::filesystem::exists("NLMB.TMP"));
  EXPECT_EQ(std::filesystem::file_size("NLMB.TMP"), 0u);
}

// Points that overflowed leave infinite distances in a dump; reading them back
// must not look like a damaged file (the mapping then says what went wrong).
TEST(ScratchDump, InfinitiesAndNaNsReadBack) {
  WorkFolder folder;
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> values = {inf, inf, 1.5f, -inf, nan, -nan, 0.001f};
  expect_same_bits(values, round_trip(values));
}

TEST(ScratchDump, AFileThatCannotBeOpenedStopsTheRunNamingIt) {
  WorkFolder folder;
  std::filesystem::create_directory("NLMA.TMP");
  try {
    mapping::open_scratch_file("NLMA.TMP");
    FAIL() << "a folder opened as a scratch file";
  } catch (const console::RunStop& stop) {
    EXPECT_EQ(std::string(stop.what()), "CANNOT OPEN SCRATCH FILE NLMA.TMP");
  }
}

// A scratch file the user made a link to another place, or a device, is
// written through, not replaced.
TEST(ScratchDump, ALinkIsWrittenThrough) {
  WorkFolder folder;
  std::filesystem::create_directory("elsewhere");
  std::filesystem::create_symlink("elsewhere/NLMA.TMP", "NLMA.TMP");
  dump("NLMA.TMP", {1.5f, 2.5f});
  EXPECT_TRUE(std::filesystem::is_symlink("NLMA.TMP"));
  EXPECT_EQ(file_lines("elsewhere/NLMA.TMP"),
            std::vector<std::string>{"1.5 2.5 " + std::to_string(dump_entries - 2) + "*0"});
  if (std::filesystem::exists("/dev/full")) {
    std::filesystem::remove("NLMA.TMP");
    std::filesystem::create_symlink("/dev/full", "NLMA.TMP");
    EXPECT_THROW(dump("NLMA.TMP", {1.5f}), console::RunStop);
  }
  EXPECT_EQ(folder_entries(), (std::vector<std::string>{"NLMA.TMP", "elsewhere"}));
}

// The dump is complete but cannot take the name: the run stops naming the
// file, and the text written on the side is not left behind.
TEST(ScratchDump, ADumpThatCannotReplaceTheFileStopsTheRunNamingIt) {
  WorkFolder folder;
  std::filesystem::create_directories("NLMB.TMP/inside");
  try {
    dump("NLMB.TMP", {1.5f, 2.5f});
    FAIL() << "a dump replaced a folder";
  } catch (const console::RunStop& stop) {
    EXPECT_EQ(std::string(stop.what()), "ERROR WRITING SCRATCH FILE NLMB.TMP");
  }
  EXPECT_EQ(folder_entries(), std::vector<std::string>{"NLMB.TMP"});
  EXPECT_TRUE(std::filesystem::exists("NLMB.TMP/inside"));
}

}  // namespace
