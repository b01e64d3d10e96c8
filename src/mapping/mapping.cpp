#include "mapping/mapping.hpp"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <optional>

#include "console/run_stop.hpp"
#include "mapping/configuration.hpp"
#include "mapping/results.hpp"
#include "mapping/sammon.hpp"
#include "mapping/scratch_file.hpp"
#include "parallel/team.hpp"

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
                       float missing, PairTables& pairs, parallel::Team& team) {
  const std::vector<float> rows = norms::sample_rows(run.table, n, m);
  const TargetSummary summary = target_distances(rows, n, m, scaling, p, pairs, team);
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

// NLMA.TMP and NLMB.TMP: opened for every mapping; above scratch_threshold
// samples NLMA.TMP receives the target distances while the iterations run,
// and NLMB.TMP the map distances of the configuration the mapping ends with.
class ScratchDumps {
 public:
  explicit ScratchDumps(int n) : in_use_(n > scratch_threshold) {
    const Clock::time_point start = Clock::now();
    open_scratch_file("NLMA.TMP");
    open_scratch_file("NLMB.TMP");
    seconds_ += seconds_since(start);
  }

  // The target distances do not change: their dump is formatted and written
  // on a thread of its own, beside the iterations.
  void start_target(const PairTables& pairs) {
    if (!in_use_) return;
    target_.emplace([&pairs] {
      parallel::Team alone(1);
      dump_scratch_file("NLMA.TMP", pairs.target, alone);
    });
  }

  // A dump that failed stops the run without waiting for the end.
  void check() {
    if (target_ && target_->done()) target_->wait();
  }

  // d of the configuration, built in room for one value per pair.
  void finish(const run::RunStorage& storage, int n, std::vector<float> room,
              parallel::Team& team) {
    if (!in_use_) return;
    const Clock::time_point start = Clock::now();
    const auto samples = static_cast<std::size_t>(n);
    room.resize(pair_count(n));
    map_distances(std::span(storage.config_x).first(samples),
                  std::span(storage.config_y).first(samples), n, room, team);
    dump_scratch_file("NLMB.TMP", room, team);
    if (target_) target_->wait();
    seconds_ += seconds_since(start);
  }

  double seconds() const { return seconds_; }

 private:
  bool in_use_;
  std::optional<parallel::Background> target_;
  double seconds_ = 0.0;
};

}  // namespace

void run_nonlinear_mapping(int norm, int iterations, int m, int n, float p, float missing,
                           std::string& tag, run::RunContext& run, norms::Scaling& scaling,
                           display::IterationPlots* plots, int threads) {
  MappingTimes times;
  run_nonlinear_mapping(norm, iterations, m, n, p, missing, tag, run, scaling, plots, times,
                        threads);
}

void run_nonlinear_mapping(int norm, int iterations, int m, int n, float p, float missing,
                           std::string& tag, run::RunContext& run, norms::Scaling& scaling,
                           display::IterationPlots* plots, MappingTimes& times, int threads) {
  PairTables pairs;  // before the scratch files, whose dump thread reads it to the end
  ScratchDumps scratch(n);
  parallel::Team team(threads);
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
  IterationSetup setup;
  setup.SW = measure_targets(run, scaling, n, m, p, missing, pairs, team);
  times.target_seconds = seconds_since(target_start);
  scratch.start_target(pairs);

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
  const Clock::time_point iteration_start = Clock::now();
  IterationResult result;
  // After the iterations the table of weights is done with; the map
  // distances of the last configuration take its place.
  try {
    result = iterate(run, setup, pairs, team, plots, [&](int) { scratch.check(); });
  } catch (const console::RunStop&) {
    // A run stopped by the iteration leaves the files as they stood then.
    scratch.finish(storage, n, std::move(pairs.weight), team);
    throw;
  }
  times.iteration_seconds = seconds_since(iteration_start);
  scratch.finish(storage, n, std::move(pairs.weight), team);
  times.scratch_seconds = scratch.seconds();

  report_errors(run.report, result, storage.errors);
  report_results(run, result, m, n);
}

}  // namespace mapping
