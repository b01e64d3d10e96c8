// Speed of the whole data input on a generated comma-separated file of 5000
// samples by 200 variables (about 8 MB): source question, selection of all
// variables, reading, storing and the data listing. Prints the seconds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "input/data_input.hpp"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int samples = 5000;
constexpr int variables = 200;

unsigned next(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

std::uintmax_t write_csv(const fs::path& path) {
  std::ofstream out(path, std::ios::binary);
  for (int j = 1; j <= variables; ++j) out << (j > 1 ? "," : "") << "VAR" << j;
  out << "\r\n";
  unsigned seed = 2024;
  char cell[32];
  for (int k = 1; k <= samples; ++k) {
    for (int j = 1; j <= variables; ++j) {
      std::snprintf(cell, sizeof cell, "%s%u.%03u", j > 1 ? "," : "", next(seed) % 1000u,
                    next(seed) % 1000u);
      out << cell;
    }
    out << "\r\n";
  }
  out.close();
  return fs::file_size(path);
}

// C, the name, the default code, no numeric ID, every variable taken (the log
// question stopped at the first), confirmed, and Return after the summary.
std::vector<std::string> answers() {
  std::vector<std::string> lines = {"C", "BENCH", "", "", "Y", "S"};
  for (int j = 2; j <= variables; ++j) lines.emplace_back("Y");
  lines.emplace_back("");
  lines.emplace_back("");
  return lines;
}

}  // namespace

int main() {
  const fs::path folder =
      fs::temp_directory_path() / ("tarnwick_bench_input_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  const std::uintmax_t bytes = write_csv(folder / "BENCH.CSV");

  double best = 1e30;
  int read = 0;
  for (int round = 0; round < 3; ++round) {
    console::ScriptedConsole screen(answers());
    console::DialogueUnit dialogue(screen);
    auto table = std::make_unique<input::SampleTable>();
    const auto start = Clock::now();
    input::run_data_input(dialogue, *table, 999);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    best = std::min(best, seconds);
    read = table->sample_count * table->variable_count;
  }
  std::printf("data input of a %d x %d CSV (%ju bytes, %d values stored): best of 3 %.3f s\n",
              samples, variables, bytes, read, best);

  fs::current_path(previous);
  fs::remove_all(folder);
  return 0;
}
