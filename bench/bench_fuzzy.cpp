// Speed of the fuzzy c-means iteration on generated data: 5000 x 10 for
// cluster counts 2 to 9 under norms 0, 1 and 3, and 5000 x 50 under norm 3
// for counts 2 to 4. Q = 1.5, EPS = 0.0001, at most 100 iterations, start
// number 1. Prints seconds, iterations and milliseconds per iteration.
//
//   bench_fuzzy [--csv FOLDER] [--threads T]
//     --csv also writes the data sets as FOLDER/fcm_10.csv and FOLDER/fcm_50.csv
//     for a side-by-side run; --threads sets the number of threads (default:
//     all the machine has)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "fuzzy/fuzzy.hpp"
#include "fuzzy/iteration.hpp"
#include "fuzzy/random_start.hpp"
#include "fuzzy/tables.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

namespace {

using Clock = std::chrono::steady_clock;

float next_unit(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(state >> 8) / 16777216.0f;
}

// Six groups of samples, each around its own centre, with correlated noise
// so that the Mahalanobis norm differs from the others.
void generate(input::SampleTable& table, int nsamp, int ndim) {
  unsigned seed = 20240601u + static_cast<unsigned>(ndim);
  std::vector<float> centres(6 * static_cast<std::size_t>(ndim));
  for (float& v : centres) v = 20.0f * next_unit(seed);
  table.sample_count = nsamp;
  table.variable_count = ndim;
  for (int i = 1; i <= nsamp; ++i) {
    const int group = (i - 1) % 6;
    float shared = next_unit(seed) - 0.5f;
    for (int j = 1; j <= ndim; ++j) {
      const float noise = 3.0f * (next_unit(seed) - 0.5f) + 2.0f * shared;
      table.value(i, j) = centres[group * ndim + (j - 1)] + noise;
    }
    table.ids[i - 1] = input::fixed_width("S" + std::to_string(i), 10);
  }
  for (int j = 1; j <= ndim; ++j)
    table.names[j - 1] = input::fixed_width("V" + std::to_string(j), 10);
}

void write_csv(const input::SampleTable& table, const std::filesystem::path& path) {
  std::ofstream out(path);
  for (int j = 1; j <= table.variable_count; ++j) out << (j > 1 ? "," : "") << "V" << j;
  out << "\n";
  char buffer[32];
  for (int i = 1; i <= table.sample_count; ++i) {
    for (int j = 1; j <= table.variable_count; ++j) {
      std::snprintf(buffer, sizeof buffer, "%.9g", table.value(i, j));
      out << (j > 1 ? "," : "") << buffer;
    }
    out << "\n";
  }
}

struct Bench {
  console::ScriptedConsole screen;
  console::DialogueUnit unit{screen};
  input::SampleTable table;
  run::RunStorage storage;
  run::ReportFile report{(std::filesystem::temp_directory_path() / "bench_fuzzy.out").string()};
  run::RunContext run{screen, unit, table, storage, report};
  norms::Scaling scaling;
  int threads = parallel::hardware_threads();
};

void time_counts(Bench& b, int norm, int first, int last) {
  const int nsamp = b.table.sample_count, ndim = b.table.variable_count;
  b.scaling.scale("ONE", ndim, nsamp, b.table.missing_code, norm, b.run);
  fuzzy::Tables tables(b.table, b.storage.weights, ndim, nsamp, b.table.missing_code);
  fuzzy::IterationScratch scratch(tables, b.threads);
  std::vector<float> err(102, 0.0f);
  int counter = 1;
  double total_seconds = 0.0;
  int total_iterations = 0;
  for (int c = first; c <= last; ++c) {
    fuzzy::Count count;
    count.c = c;
    count.C1 = c;
    count.q = 1.5f;
    count.e = -1.0f / (count.q - 1.0f);
    count.marker = 'N';
    fuzzy::IterationLog log{err, b.storage, nullptr, "ONE", 0.0001f, b.table.missing_code};
    const auto start = Clock::now();
    fuzzy::random_start(tables, c, false, counter);
    const auto outcome = fuzzy::iterate_count(tables, count, 0.1f, 100, b.scaling, scratch, log);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const int iterations = std::min(outcome.IT, 100);
    std::printf(
        "tarnwick  norm %d  %4d x %3d  c = %2d  %8.3f s  %4d iterations  %8.3f ms/iteration\n",
        norm, nsamp, ndim, c, seconds, outcome.IT, 1000.0 * seconds / iterations);
    total_seconds += seconds;
    total_iterations += iterations;
  }
  std::printf(
      "tarnwick  norm %d  %4d x %3d  c = %d..%d  %8.3f s  %4d iterations  %8.3f ms/iteration\n\n",
      norm, nsamp, ndim, first, last, total_seconds, total_iterations,
      1000.0 * total_seconds / total_iterations);
}

// The whole routine with its report and result files, norm 0, counts 2 to 9.
void time_routine(Bench& b) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "bench_fuzzy";
  std::filesystem::create_directories(folder);
  b.storage.base_name = (folder / "BENCH").string();
  b.storage.start_counter = 1;
  std::string tag = "ONE";
  char extragrade = 'N';
  fuzzy::FuzzyArguments args;
  args.ndim = b.table.variable_count;
  args.nsamp = b.table.sample_count;
  args.missing = b.table.missing_code;
  args.icon = 0;
  args.tag = &tag;
  args.extragrade = &extragrade;
  const auto start = Clock::now();
  fuzzy::run_fuzzy_clustering(args, b.run, b.scaling, nullptr, b.threads);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf(
      "tarnwick  whole routine, norm 0, %d x %d, c = 2..9 with report and files  %8.3f s\n\n",
      args.nsamp, args.ndim, seconds);
  std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path csv;
  Bench b;
  for (int a = 1; a + 1 < argc; a += 2) {
    if (std::strcmp(argv[a], "--csv") == 0) csv = argv[a + 1];
    if (std::strcmp(argv[a], "--threads") == 0) b.threads = std::atoi(argv[a + 1]);
  }
  generate(b.table, 5000, 10);
  if (!csv.empty()) write_csv(b.table, csv / "fcm_10.csv");
  for (int norm : {0, 1, 3}) time_counts(b, norm, 2, 9);
  time_routine(b);
  generate(b.table, 5000, 50);
  if (!csv.empty()) write_csv(b.table, csv / "fcm_50.csv");
  time_counts(b, 3, 2, 4);
  return 0;
}
