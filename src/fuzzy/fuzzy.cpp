#include "fuzzy/fuzzy.hpp"

#include <cmath>
#include <string>
#include <vector>

#include "console/dialogue.hpp"
#include "console/run_stop.hpp"
#include "fuzzy/centres.hpp"
#include "fuzzy/iteration.hpp"
#include "fuzzy/listing.hpp"
#include "fuzzy/progress.hpp"
#include "fuzzy/random_start.hpp"
#include "fuzzy/result_files.hpp"
#include "fuzzy/run_record.hpp"
#include "fuzzy/tables.hpp"
#include "fuzzy/validity.hpp"

namespace fuzzy {

namespace {

using console::RunStop;

std::string text(float v) {
  std::string s = std::to_string(v);
  while (s.size() > 1 && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.push_back('0');
  return s;
}

bool has_extragrades(const FuzzyArguments& args) {
  return *args.extragrade == 'Y';
}

int most_clusters(const FuzzyArguments& args) {
  return has_extragrades(args) ? limits::max_classes - 1 : limits::max_classes;
}

// The tables have fixed sizes and the formulas fixed domains: answers
// outside them end the run before anything is written.
void check_arguments(const FuzzyArguments& args) {
  if (args.ndim < 1 || args.ndim > limits::max_variables) {
    throw RunStop("NUMBER OF VARIABLES " + std::to_string(args.ndim) + " IS OUTSIDE 1 TO " +
                  std::to_string(limits::max_variables) + ": NOTHING TO CLUSTER");
  }
  if (args.nsamp < 1 || args.nsamp > limits::max_samples) {
    throw RunStop("NUMBER OF SAMPLES " + std::to_string(args.nsamp) + " IS OUTSIDE 1 TO " +
                  std::to_string(limits::max_samples) + ": NOTHING TO CLUSTER");
  }
  if (args.first_clusters < 2 || args.last_clusters > most_clusters(args) ||
      args.last_clusters < args.first_clusters) {
    throw RunStop("CLUSTER COUNTS " + std::to_string(args.first_clusters) + " TO " +
                  std::to_string(args.last_clusters) + " ARE NOT A RANGE WITHIN 2 TO " +
                  std::to_string(most_clusters(args)) + ": THE CLUSTERING CANNOT RUN");
  }
  if (args.sort_column < 1 || args.sort_column > args.ndim) {
    throw RunStop("SORT COLUMN " + std::to_string(args.sort_column) +
                  " IS NOT A VARIABLE NUMBER 1 TO " + std::to_string(args.ndim));
  }
  if (args.max_iterations > limits::max_iterations) {
    throw RunStop("MAXIMUM NUMBER OF ITERATIONS " + std::to_string(args.max_iterations) +
                  " IS ABOVE " + std::to_string(limits::max_iterations));
  }
  if (!(args.q > 1.0f) || !std::isfinite(-1.0f / (args.q - 1.0f))) {
    throw RunStop("FUZZY EXPONENT Q = " + text(args.q) +
                  " IS NOT ABOVE 1: THE EXPONENT -1/(Q-1) CANNOT BE COMPUTED, THE CLUSTERING "
                  "CANNOT RUN");
  }
  if (has_extragrades(args) && !std::isfinite((1.0f - args.alpha) / args.alpha)) {
    throw RunStop("EXTRAGRADE ALPHA = " + text(args.alpha) +
                  " LEAVES THE FACTOR (1-ALPHA)/ALPHA WITHOUT A VALUE: THE CLUSTERING CANNOT RUN");
  }
}

// Without a weighted sample that has the variable, no centre has a value on it.
void check_weighted_values(const Tables& t) {
  for (int j = 1; j <= t.ndim; ++j) {
    bool found = false;
    for (int i = 1; i <= t.nsamp && !found; ++i) {
      found = t.w[static_cast<std::size_t>(i - 1)] > 0.0f && t.present(t.value(i, j));
    }
    if (!found) {
      throw RunStop("VARIABLE " + t.name(j) +
                    " HAS NO VALUE IN A SAMPLE OF WEIGHT ABOVE 0: NO CLUSTER CENTRE CAN BE "
                    "COMPUTED");
    }
  }
}

void bring_start_counter_into_range(run::RunContext& run) {
  int& counter = run.storage.start_counter;
  const int wrapped = wrap_start_counter(counter);
  if (wrapped != counter) {
    run.screen.line(" RANDOM START NUMBER " + std::to_string(counter) +
                    " IS OUTSIDE 1-200, TAKEN AS " + std::to_string(wrapped));
    counter = wrapped;
  }
}

void open_scaling_file(const FuzzyArguments& args, ResultFiles& files) {
  files.scale.open(scaling_file_name);
  files.scale.list(args.first_clusters);
  files.scale.list(args.ndim);
  files.scale.list(args.q);
}

// "NON": the mapping's scaling is used as it stands.
void apply_scaling(const FuzzyArguments& args, run::RunContext& run, norms::Scaling& scaling) {
  std::string& tag = *args.tag;
  if (tag == "NON") return;
  if (tag == "NLM") tag = "FUZ";
  scaling.scale(tag, args.ndim, args.nsamp, args.missing, args.icon, run);
}

// Everything one call shares between its cluster counts.
struct Clustering {
  Clustering(const FuzzyArguments& a, run::RunContext& r, norms::Scaling& s,
             display::IterationPlots* p, int threads)
      : args(a),
        run(r),
        scaling(s),
        plots(p),
        tables(r.table, r.storage.weights, a.ndim, a.nsamp, a.missing),
        scratch(tables, threads),
        err(static_cast<std::size_t>(std::max(a.max_iterations, 1) + 2), 0.0f),
        record(a.nsamp),
        classes(a.nsamp),
        files(r.storage) {}

  const FuzzyArguments& args;
  run::RunContext& run;
  norms::Scaling& scaling;
  display::IterationPlots* plots;
  Tables tables;
  IterationScratch scratch;
  std::vector<float> err;  // ERR(t) at t - 1
  RunRecord record;
  Classification classes;
  ResultFiles files;
};

void say_not_computed(run::RunContext& run, const CountNotComputed& failure) {
  const std::string line = std::string(" ") + failure.what() + "; THE COUNT IS SKIPPED";
  run.report.text(line + "\n");
  run.screen.line(line);
}

// Sorted centres, renumbered memberships, the listing and the defuzzified
// classes, then the count's block of the membership file.
void write_count_results(Clustering& f, const Count& count) {
  const CentreOrder P = sort_centres(f.tables, count.c, f.args.sort_column);
  write_centres(f.run, f.tables, count.c, f.files);
  renumber_memberships(f.tables, count.c, P);
  classify_samples(f.tables, count.C1, f.args.threshold, f.classes);
  std::copy(f.classes.cls.begin(), f.classes.cls.end(), f.run.storage.colours.begin());
  write_membership_listing(f.run, f.tables, count.C1, f.classes, f.scratch.team);
  for (int i = 1; i <= f.tables.nsamp; ++i) {
    f.record.G(count.c, i) = f.classes.G[static_cast<std::size_t>(i - 1)];
  }
  f.files.open_membership_files();
  write_membership_block(f.files.mem, f.run, f.tables, f.args, count.c, count.C1, f.scratch.team);
}

void run_cluster_count(Clustering& f, int c, float e) {
  write_count_header(f.run, f.args, c);
  Count count;
  count.c = c;
  count.C1 = has_extragrades(f.args) ? c + 1 : c;
  count.q = f.args.q;
  count.e = e;
  count.marker = *f.args.extragrade;
  CountRecord& kept = f.record.counts.emplace_back();
  kept.c = c;
  kept.C1 = count.C1;
  random_start(f.tables, c, has_extragrades(f.args), f.run.storage.start_counter);
  // Cleared for every count: a count that stops on the iteration limit lists
  // one or two places it never stored, and they must not show the last count's.
  std::fill(f.err.begin(), f.err.end(), 0.0f);
  IterationLog log{f.err, f.run.storage, f.plots, *f.args.tag, f.args.eps, f.args.missing};
  log.progress = [&f, c](int IT, float change) {
    f.run.screen.status(
        [&] { return progress_text(c, f.args.first_clusters, f.args.last_clusters, IT, change); });
  };
  IterationOutcome outcome;
  try {
    outcome = iterate_count(f.tables, count, f.args.alpha, f.args.max_iterations, f.scaling,
                            f.scratch, log);
  } catch (const CountNotComputed& failure) {
    say_not_computed(f.run, failure);
    return;
  }
  kept.computed = true;
  kept.IT = outcome.IT;
  write_error_listing(f.run.report, f.err, outcome.IT, outcome.last_change, c);
  kept.validity = measure_validity(f.tables, count, f.scratch.team);
  write_validity_block(f.run.report, kept.validity, outcome.IT, f.args.max_iterations);
  write_count_results(f, count);
  if (count.extragrade_phase()) {
    const float average = average_extragrade(f.tables, c);
    write_average_extragrade(f.files.mem, average);
    write_average_extragrade(f.run.report, average);
  }
}

}  // namespace

void run_fuzzy_clustering(const FuzzyArguments& args, run::RunContext& run, norms::Scaling& scaling,
                          display::IterationPlots* plots, int threads) {
  check_arguments(args);
  Clustering f(args, run, scaling, plots, threads);
  check_weighted_values(f.tables);
  bring_start_counter_into_range(run);
  if (args.save_scaling) open_scaling_file(args, f.files);
  write_opening_blocks(run, f.tables, args.weight_option);
  apply_scaling(args, run, scaling);
  write_scaling_matrix(run, scaling, args.ndim, f.files.scale);
  const float e = -1.0f / (args.q - 1.0f);
  for (int c = args.first_clusters; c <= args.last_clusters; ++c) run_cluster_count(f, c, e);
  f.files.open_membership_files();
  write_class_file(f.files.cls, run, f.tables, f.record, f.record.counts.back().C1, f.scratch.team);
  write_run_summary(run, f.files.opt, args, f.record);
  f.files.close_all();
}

}  // namespace fuzzy
