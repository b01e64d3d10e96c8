// Speed of the normalised squared distance (norms 1 and 3, NDIM 10 and 200)
// and of the bordering inversion at n = 200. Prints one table.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/dialogue.hpp"
#include "norms/inversion.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

namespace {

using Clock = std::chrono::steady_clock;

float next_unit(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return static_cast<float>(state >> 8) / 16777216.0f;
}

struct Bench {
  console::ScriptedConsole screen;
  console::DialogueUnit unit{screen};
  input::SampleTable table;
  run::RunStorage storage;
  run::ReportFile report{(std::filesystem::temp_directory_path() / "bench_norms.out").string()};
  run::RunContext run{screen, unit, table, storage, report};
  norms::Scaling scaling;
};

void fill(input::SampleTable& table, int nsamp, int ndim, bool with_missing) {
  unsigned seed = 12345;
  table.sample_count = nsamp;
  table.variable_count = ndim;
  for (int j = 1; j <= ndim; ++j)
    for (int i = 1; i <= nsamp; ++i) {
      table.value(i, j) = 5.0f + 10.0f * next_unit(seed) + 0.5f * j;
      if (with_missing && (i * 7 + j) % 53 == 0) table.value(i, j) = table.missing_code;
    }
}

// Nanoseconds per distance over all pairs of the first samples; the sum keeps
// the calls from being optimised away.
void time_distance(Bench& b, int norm, int ndim, bool with_missing) {
  const int nsamp = 600;
  fill(b.table, nsamp, ndim, with_missing);
  b.scaling.scale("NLM", ndim, nsamp, b.table.missing_code, norm, b.run);
  const std::vector<float> rows = norms::sample_rows(b.table, nsamp, ndim);
  const int pairs_of = ndim > 50 ? 120 : nsamp;
  double sum = 0.0;
  long calls = 0;
  const auto start = Clock::now();
  for (int i = 0; i < pairs_of; ++i)
    for (int k = i + 1; k < pairs_of; ++k, ++calls)
      sum += b.scaling.distance(&rows[i * ndim], &rows[k * ndim]);
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  std::printf("distance  norm %d  NDIM %3d  %-10s %10ld calls  %10.1f ns/call  (sum %.6g)\n", norm,
              ndim, with_missing ? "missing" : "complete", calls, ns / calls, sum);
}

void time_inversion(int n) {
  unsigned seed = 99;
  std::vector<float> a(n * n);
  for (int j = 0; j < n; ++j)
    for (int k = 0; k <= j; ++k) a[j * n + k] = a[k * n + j] = next_unit(seed) - 0.5f;
  for (int j = 0; j < n; ++j) a[j * n + j] += static_cast<float>(n);
  const int repeats = 20;
  double worst = 0.0;
  const auto start = Clock::now();
  for (int r = 0; r < repeats; ++r) {
    std::vector<float> c = a;
    if (norms::invert_bordering(c, n) != 0) std::printf("inversion failed\n");
    worst += c[0];
  }
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf("inversion n = %d  %d runs  %10.2f ms/run  (check %.6g)\n", n, repeats, ms / repeats,
              worst);
}

// The whole scaling routine under norm 3: statistics, covariances, inversion
// and the identity check.
void time_scaling(Bench& b, int nsamp, int ndim) {
  fill(b.table, nsamp, ndim, true);
  const auto start = Clock::now();
  b.scaling.scale("NLM", ndim, nsamp, b.table.missing_code, 3, b.run);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf("scaling   norm 3  NSAMP %d  NDIM %d  %10.2f ms\n", nsamp, ndim, ms);
}

}  // namespace

int main() {
  Bench b;
  for (int norm : {1, 3})
    for (int ndim : {10, 200})
      for (bool missing : {false, true}) time_distance(b, norm, ndim, missing);
  time_inversion(200);
  time_scaling(b, 5000, 200);
  std::filesystem::remove(b.report.name());
  return 0;
}
