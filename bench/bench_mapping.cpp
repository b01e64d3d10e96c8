// Times one non-linear mapping of generated data: the target distances, the
// iterations and the scratch-file work apart, and the peak memory of the
// process. Run it in a folder of its own: the scratch files, the report and
// the .NLM file are written to the current directory.
//
//   bench_mapping SAMPLES [ITERATIONS] [--threads T] [--csv FILE]
//
// --threads sets the number of threads (default: all the machine has); --csv
// also writes the generated data, one sample a line, for a peer program.

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "console/run_stop.hpp"
#include "mapping/mapping.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

namespace {

constexpr int variables = 10;

// Five loose clusters in ten variables, the same on every machine.
struct Generator {
  unsigned long long state = 88172645463325252ull;
  double uniform() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
  }
  double normal() {
    return std::sqrt(-2.0 * std::log(uniform())) * std::cos(6.283185307179586 * uniform());
  }
};

void fill_table(input::SampleTable& table, int n) {
  Generator random;
  double centres[5][variables];
  for (auto& centre : centres) {
    for (double& c : centre) c = 10.0 * random.uniform();
  }
  table.title = input::fixed_width("GENERATED BENCHMARK DATA", 80);
  table.sample_count = n;
  table.variable_count = variables;
  for (int i = 1; i <= n; ++i) {
    const double* centre = centres[(i - 1) % 5];
    for (int k = 1; k <= variables; ++k) {
      table.value(i, k) = static_cast<float>(centre[k - 1] + (1.0 + 0.2 * k) * random.normal());
    }
    table.ids[i - 1] = input::fixed_width("G" + std::to_string(i), 10);
  }
  for (int k = 1; k <= variables; ++k) {
    table.names[k - 1] = input::fixed_width("X" + std::to_string(k), 10);
  }
}

void write_csv(const input::SampleTable& table, const std::string& name) {
  std::ofstream out(name);
  for (int k = 1; k <= table.variable_count; ++k) out << (k > 1 ? "," : "") << "X" << k;
  out << "\n";
  char text[32];
  for (int i = 1; i <= table.sample_count; ++i) {
    for (int k = 1; k <= table.variable_count; ++k) {
      std::snprintf(text, sizeof text, "%.9g", static_cast<double>(table.value(i, k)));
      out << (k > 1 ? "," : "") << text;
    }
    out << "\n";
  }
}

double processor_seconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

double peak_megabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_mapping SAMPLES [ITERATIONS] [--csv FILE]\n");
    return 2;
  }
  const int n = std::atoi(argv[1]);
  int iterations = 100;
  int threads = parallel::hardware_threads();
  std::string csv;
  for (int a = 2; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--csv" && a + 1 < argc) {
      csv = argv[++a];
    } else if (arg == "--threads" && a + 1 < argc) {
      threads = std::atoi(argv[++a]);
    } else {
      iterations = std::atoi(argv[a]);
    }
  }
  try {
    console::ScriptedConsole screen({"", ""});
    console::DialogueUnit dialogue(screen);
    auto table = std::make_unique<input::SampleTable>();
    run::RunStorage storage;
    storage.base_name = "BENCH";
    run::ReportFile report("BENCH.OUT");
    run::RunContext run{screen, dialogue, *table, storage, report};
    norms::Scaling scaling;
    fill_table(*table, n);
    if (!csv.empty()) write_csv(*table, csv);
    std::string tag = "ONE";
    mapping::MappingTimes times;
    const double before = peak_megabytes();
    mapping::run_nonlinear_mapping(0, iterations, variables, n, 1.0f, -999.0f, tag, run, scaling,
                                   nullptr, times, threads);
    report.close();
    float best = 0.0f;
    int best_iteration = 0;
    for (int t = 1; t <= iterations; ++t) {
      if (t == 1 || storage.errors[t - 1] < best) {
        best = storage.errors[t - 1];
        best_iteration = t;
      }
    }
    std::printf(
        "tarnwick  n=%-5d iterations=%d  target distances %7.3f s  iterations %7.3f s  "
        "scratch files %7.3f s  total %7.3f s  peak memory %6.1f MB (%.1f MB before)  "
        "minimum error %.6f (iteration %d)  threads %d  processor %.3f s\n",
        n, iterations, times.target_seconds, times.iteration_seconds, times.scratch_seconds,
        times.target_seconds + times.iteration_seconds + times.scratch_seconds, peak_megabytes(),
        before, static_cast<double>(best), best_iteration, threads, processor_seconds());
  } catch (const console::RunStop& stop) {
    std::fprintf(stderr, "%s\n", stop.what());
    return stop.status();
  }
  return 0;
}
