#pragma once

// A clustering run on a scripted console: a sample table filled from rows of
// values, the report and result files in a folder of the test's own, and the
// sixteen arguments with their defaults.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "fuzzy/fuzzy.hpp"
#include "fuzzy/tables.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

inline void fill_table(input::SampleTable& table, const std::vector<std::vector<float>>& rows,
                       float missing) {
  table.missing_code = missing;
  table.sample_count = static_cast<int>(rows.size());
  table.variable_count = static_cast<int>(rows.front().size());
  for (int i = 1; i <= table.sample_count; ++i) {
    table.ids[i - 1] = input::fixed_width(std::string("S").append(std::to_string(i)), 10);
    for (int j = 1; j <= table.variable_count; ++j) table.value(i, j) = rows[i - 1][j - 1];
  }
  for (int j = 1; j <= table.variable_count; ++j) {
    table.names[j - 1] = input::fixed_width(std::string("V").append(std::to_string(j)), 10);
  }
}

using Rows = std::vector<std::vector<float>>;

// The working tables alone, for the steps of the algorithm.
struct TablesOf {
  explicit TablesOf(const std::vector<std::vector<float>>& rows, float missing = -999.0f)
      : weights(limits::max_samples, 1.0f) {
    fill_table(table, rows, missing);
    tables = std::make_unique<fuzzy::Tables>(table, weights, table.variable_count,
                                             table.sample_count, missing);
  }
  input::SampleTable table;
  std::vector<float> weights;
  std::unique_ptr<fuzzy::Tables> tables;
  fuzzy::Tables& t() { return *tables; }
};

// A folder of the test's own, made the current folder while the test runs
// (SCALE.MMB is written by its fixed name).
class TestFolder {
 public:
  TestFolder() : previous_(std::filesystem::current_path()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("tarnwick_fuzzy_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~TestFolder() {
    std::filesystem::current_path(previous_);
    if (!::testing::Test::HasFailure()) std::filesystem::remove_all(path_);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

inline std::vector<std::string> file_lines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct FuzzyRun {
  explicit FuzzyRun(const std::vector<std::vector<float>>& rows, float missing = -999.0f)
      : unit(screen), report((folder.path() / "RUN.OUT").string()) {
    fill_table(table, rows, missing);
    table.title = input::fixed_width("TEST DATA", 80);
    storage.base_name = "RUN";
    storage.start_counter = 1;
    args.ndim = table.variable_count;
    args.nsamp = table.sample_count;
    args.missing = missing;
    args.icon = 0;
    args.tag = &tag;
    args.extragrade = &extragrade;
  }

  void run() {
    fuzzy::run_fuzzy_clustering(args, context, scaling, nullptr);
    report.flush();
  }
  std::vector<std::string> lines(const std::string& name) const {
    return file_lines(folder.path() / name);
  }
  bool exists(const std::string& name) const {
    return std::filesystem::exists(folder.path() / name);
  }

  TestFolder folder;
  console::ScriptedConsole screen;
  console::DialogueUnit unit;
  input::SampleTable table;
  run::RunStorage storage;
  run::ReportFile report;
  run::RunContext context{screen, unit, table, storage, report};
  norms::Scaling scaling;
  std::string tag = "ONE";
  char extragrade = 'N';
  fuzzy::FuzzyArguments args;
};

// Deterministic pseudo-random values in [0, 1).
inline float next_unit(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(state >> 8) / 16777216.0f;
}

// Points scattered around the given centres, n per centre.
inline std::vector<std::vector<float>> blobs(const std::vector<std::vector<float>>& centres, int n,
                                             float spread, unsigned seed) {
  std::vector<std::vector<float>> rows;
  for (int r = 0; r < n; ++r) {
    for (const auto& centre : centres) {
      std::vector<float> row;
      for (float v : centre) row.push_back(v + spread * (next_unit(seed) - 0.5f));
      rows.push_back(row);
    }
  }
  return rows;
}
