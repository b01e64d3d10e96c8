#include "mapping/mapping.hpp"

#include <algorithm>
#include <charconv>
#include <chrono>

#include "console/run_stop.hpp"
#include "mapping/configuration.hpp"
#include "mapping/results.hpp"
#include "mapping/sammon.hpp"

namespace mapping {

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void write_heading(run::RunContext& run, float missing) {
  run.report.print("(/,/,' BEGINNING OF NLM ROUTINE',/)");
  run.report.print("(' ',A80,/)", run.table.title);
  run.report.print("(/,' DECLARED MISSING VALUE = ',F10.4,/)", missing);
}

std::string shortest(float v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// Powers of the distances that single precision cannot hold would turn every
// error and move into overflow: the answer at fault is the power, or, when
// the power is 1, the data themselves.
void check_weights(const TargetSummary& summary, std::size_t pairs, float p) {
  if (summary.weights_finite && (pairs == 0 || summary.SW > 0.0)) return;
  if (p == 1.0f) {
    throw console::RunStop(
        "DISTANCES BETWEEN SAMPLES BEYOND SINGLE PRECISION: CHECK THE DATA VALUES AND THE "
        "MISSING-VALUE CODE");
  }
  throw console::RunStop("POWER OF DISTANCES " + shortest(p) +
                         " TAKES THE DISTANCE WEIGHTS OUT OF RANGE: CHOOSE A POWER NEARER 1");
}

// Step 1 of the iteration: target distances, their powers and SW, with one
// line for each kind of pair that had no distance of its own.
double measure_targets(run::RunContext& run, const norms::Scaling& scaling, int n, int m, float p,
                       float missing, PairTables& pairs) {
  const std::vector<float> rows = norms::sample_rows(run.table, n, m);
  const TargetSummary summary = target_distances(rows, n, m, scaling, p, pairs);
  const std::size_t without_common = pairs_without_common_variable(rows, n, m, missing, scaling);
  if (n < 2) {
    report_and_show(run,
                    "(' FEWER THAN TWO SAMPLES: NO DISTANCES TO MAP, THE MAPPING ERROR IS 0')");
  }
  if (without_common > 0) {
    report_and_show(run,
                    "(1X,I9,' PAIRS OF SAMPLES HAVE NO VARIABLE IN COMMON: TARGET DISTANCE 0.001')",
                    static_cast<long long>(without_common));
  }
  if (summary.negative > 0) {
    report_and_show(
        run, "(1X,I9,' PAIRS OF SAMPLES GAVE A SQUARED DISTANCE BELOW 0: TARGET DISTANCE 0.001')",
        static_cast<long long>(summary.negative));
  }
  check_weights(summary, pairs.target.size(), p);
  return summary.SW;
}

}  // namespace

void run_nonlinear_mapping(int norm, int iterations, int m, int n, float p, float missing,
                           std::string& tag, run::RunContext& run, norms::Scaling& scaling,
                           display::IterationPlots* plots) {
  MappingTimes times;
  run_nonlinear_mapping(norm, iterations, m, n, p, missing, tag, run, scaling, plots, times);
}

void run_nonlinear_mapping(int norm, int iterations, int m, int n, float p, float missing,
                           std::string& tag, run::RunContext& run, norms::Scaling& scaling,
                           display::IterationPlots* plots, MappingTimes& times) {
  ScratchFiles scratch;
  scratch.open(n);
  write_heading(run, missing);
  tag = "NLM";
  scaling.scale(tag, m, n, missing, norm, run);
  const norms::FeatureStatistics& stats = scaling.statistics();
  list_statistics(run, stats, m);
  const Coordinates offered = offered_coordinates(norm, stats, m);
  announce_coordinates(run, norm, offered);
  const Coordinates chosen = confirm_coordinates(run, offered, m);
  sample_colours(run.table, n, m, missing, run.storage.colours);

  const Clock::time_point target_start = Clock::now();
  PairTables pairs;
  IterationSetup setup;
  setup.SW = measure_targets(run, scaling, n, m, p, missing, pairs);
  times.target_seconds = seconds_since(target_start);
  scratch.keep_target(pairs);

  run::RunStorage& storage = run.storage;
  initial_configuration(run, norm, chosen, stats, n, missing);
  run.report.print("(' INITIAL 2-SPACE CONFIGURATION ')");
  list_configuration(run.report, run.table, storage.config_x, storage.config_y, n);
  if (plots != nullptr) {
    plots->plot_configuration(storage.config_x, storage.config_y, n, storage.colours, missing, 0);
  }

  setup.n = n;
  setup.iterations = std::clamp(iterations, 0, limits::max_iterations);
  setup.step = step_factor(norm);
  setup.missing = missing;
  const double scratch_before = scratch.seconds();
  const Clock::time_point iteration_start = Clock::now();
  const IterationResult result = iterate(run, setup, pairs, scratch, plots);
  const double scratch_during = scratch.seconds() - scratch_before;
  times.iteration_seconds = seconds_since(iteration_start) - scratch_during;
  times.scratch_seconds = scratch.seconds();

  report_errors(run.report, result, storage.errors);
  report_results(run, result, m, n);
}

}  // namespace mapping
