#pragma once

// A mapping run in a fresh working folder (the scratch files live in the
// current directory): a scripted console, a sample table from rows of values,
// the report TEST.OUT and the result file TEST.NLM.

#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "mapping/mapping.hpp"
#include "mapping/scratch_file.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

namespace mapping_test {

using Rows = std::vector<std::vector<float>>;

// Makes a folder of its own the current directory for the lifetime of the object.
class WorkFolder {
 public:
  WorkFolder() : home_(std::filesystem::current_path()) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "tarnwick_mapping_" + std::to_string(::getpid());
    if (test != nullptr) name += std::string("_") + test->test_suite_name() + "_" + test->name();
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~WorkFolder() {
    std::filesystem::current_path(home_);
    std::filesystem::remove_all(path_);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

 private:
  std::filesystem::path home_;
  std::filesystem::path path_;
};

inline std::vector<std::string> file_lines(const std::string& name) {
  std::ifstream in(name);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::uintmax_t file_size_or_zero(const std::string& name) {
  std::error_code error;
  const auto size = std::filesystem::file_size(name, error);
  return error ? 0 : size;
}

inline std::string file_text(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A scratch dump read back the plain way: blank-separated items, each a
// number or count*number, that must make up exactly a whole dump. Gives the
// first size entries.
inline std::vector<float> read_dump(const std::string& name, std::size_t size) {
  std::istringstream in(file_text(name));
  std::vector<float> values;
  std::uint64_t entries = 0;
  for (std::string item; in >> item;) {
    std::uint64_t count = 1;
    const char* text = item.data();
    const char* end = item.data() + item.size();
    const std::size_t star = item.find('*');
    if (star != std::string::npos) {
      std::from_chars(text, text + star, count);
      text += star + 1;
    }
    float value = 0.0f;
    const auto read = std::from_chars(text, end, value);
    EXPECT_TRUE(read.ptr == end) << name << ": item " << item;
    for (std::uint64_t c = 0; c < count && values.size() < size; ++c) values.push_back(value);
    entries += count;
  }
  EXPECT_EQ(entries, mapping::dump_entries) << name;
  EXPECT_EQ(values.size(), size) << name;
  return values;
}

struct MappingRun {
  explicit MappingRun(const Rows& rows, std::vector<std::string> answers = {"", ""},
                      float missing = -999.0f)
      : screen(std::move(answers)), unit(screen), report("TEST.OUT") {
    storage.base_name = "TEST";
    table.title = input::fixed_width("MAPPING TEST DATA", 80);
    table.missing_code = missing;
    table.sample_count = static_cast<int>(rows.size());
    table.variable_count = rows.empty() ? 0 : static_cast<int>(rows.front().size());
    for (int i = 1; i <= table.sample_count; ++i) {
      for (int k = 1; k <= table.variable_count; ++k) table.value(i, k) = rows[i - 1][k - 1];
      table.ids[i - 1] = input::fixed_width("S" + std::to_string(i), 10);
    }
    for (int k = 1; k <= table.variable_count; ++k) {
      table.names[k - 1] = input::fixed_width("VAR" + std::to_string(k), 10);
    }
  }

  void map(int norm, int iterations, float p = 1.0f, int threads = parallel::hardware_threads()) {
    mapping::run_nonlinear_mapping(norm, iterations, table.variable_count, table.sample_count, p,
                                   table.missing_code, tag, run, scaling, nullptr, times, threads);
  }

  std::vector<std::string> report_lines() {
    report.flush();
    return file_lines("TEST.OUT");
  }

  // The n lines after the line that starts with heading.
  std::vector<std::string> block_after(const std::string& heading) {
    const std::vector<std::string> lines = report_lines();
    for (std::size_t k = 0; k < lines.size(); ++k) {
      if (lines[k].rfind(heading, 0) == 0) {
        const auto first = lines.begin() + static_cast<std::ptrdiff_t>(k) + 1;
        return {first, first + table.sample_count};
      }
    }
    return {};
  }

  bool report_has(const std::string& text) {
    for (const std::string& line : report_lines()) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  WorkFolder folder;
  console::ScriptedConsole screen;
  console::DialogueUnit unit;
  input::SampleTable table;
  run::RunStorage storage;
  run::ReportFile report;
  run::RunContext run{screen, unit, table, storage, report};
  norms::Scaling scaling;
  std::string tag = "ONE";
  mapping::MappingTimes times;
};

// Deterministic pseudo-random values in [0, 1).
inline float next_unit(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(state >> 8) / 16777216.0f;
}

// n samples of m variables, clustered loosely around a few centres.
inline Rows random_rows(int n, int m, unsigned seed) {
  Rows rows(static_cast<std::size_t>(n), std::vector<float>(static_cast<std::size_t>(m)));
  for (int i = 0; i < n; ++i) {
    const float centre = static_cast<float>(i % 3) * 2.0f;
    for (int k = 0; k < m; ++k) rows[i][k] = centre + next_unit(seed) * (1.0f + k);
  }
  return rows;
}

}  // namespace mapping_test
