#pragma once

// A run context on a scripted console and a report file in the temporary
// folder, with a sample table filled from rows of values.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

struct NormsRun {
  explicit NormsRun(const std::vector<std::vector<float>>& rows, float missing = -999.0f)
      : unit(screen), path(report_path(this)), report(path.string()) {
    table.missing_code = missing;
    table.sample_count = static_cast<int>(rows.size());
    table.variable_count = static_cast<int>(rows.front().size());
    for (int i = 1; i <= table.sample_count; ++i)
      for (int j = 1; j <= table.variable_count; ++j) table.value(i, j) = rows[i - 1][j - 1];
    for (int j = 1; j <= table.variable_count; ++j)
      table.names[j - 1] = input::fixed_width("V" + std::to_string(j), 10);
  }
  ~NormsRun() { std::filesystem::remove(path); }

  static std::filesystem::path report_path(const void* self) {
    std::string name = "tarnwick_norms_";
    name += std::to_string(reinterpret_cast<std::uintptr_t>(self));
    name += ".out";
    return std::filesystem::temp_directory_path() / name;
  }

  void scale(const std::string& tag, int norm) {
    scaling.scale(tag, table.variable_count, table.sample_count, table.missing_code, norm, run);
  }
  std::vector<std::string> report_lines() {
    report.flush();
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  console::ScriptedConsole screen;
  console::DialogueUnit unit;
  input::SampleTable table;
  run::RunStorage storage;
  std::filesystem::path path;
  run::ReportFile report;
  run::RunContext run{screen, unit, table, storage, report};
  norms::Scaling scaling;
};

// Deterministic pseudo-random values in [0, 1).
inline float next_unit(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(state >> 8) / 16777216.0f;
}
