#include "fuzzy/listing.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "console/dialogue.hpp"
#include "format/layout.hpp"

namespace fuzzy {

namespace {

const std::string& id_of(const run::RunContext& run, int i) {
  return run.table.ids[static_cast<std::size_t>(i - 1)];
}
const std::string& name_of(const run::RunContext& run, int j) {
  return run.table.names[static_cast<std::size_t>(j - 1)];
}
float weight_of(const run::RunContext& run, int i) {
  return run.storage.weights[static_cast<std::size_t>(i - 1)];
}
float x_of(const run::RunContext& run, int i) {
  return run.storage.config_x[static_cast<std::size_t>(i - 1)];
}
float y_of(const run::RunContext& run, int i) {
  return run.storage.config_y[static_cast<std::size_t>(i - 1)];
}

// U(1..C1, i): the classes of one sample lie next to each other.
std::span<const float> memberships_of(const Tables& t, int i, int C1) {
  return {&t.U[static_cast<std::size_t>(i - 1) * limits::max_classes],
          static_cast<std::size_t>(C1)};
}

// V(1..c, j): one variable across the centres.
std::vector<float> centres_on(const Tables& t, int c, int j) {
  std::vector<float> values(static_cast<std::size_t>(c));
  for (int k = 1; k <= c; ++k) values[static_cast<std::size_t>(k - 1)] = t.v(k, j);
  return values;
}

// The lines of samples 1..nsamp, the layout written with values(i) each,
// made a piece of samples at a time on the team's threads and written in
// sample order.
void write_sample_lines(run::TextFile& file, int nsamp, std::string_view layout_text,
                        parallel::Team& team, const std::function<format::Values(int)>& values) {
  constexpr int samples_per_piece = 250;
  const format::Layout layout = format::Layout::parse(layout_text);
  const int pieces = (nsamp + samples_per_piece - 1) / samples_per_piece;
  std::vector<std::string> text(static_cast<std::size_t>(pieces));
  team.run(text.size(), [&](std::size_t piece) {
    const int first = static_cast<int>(piece) * samples_per_piece + 1;
    for (int i = first; i < first + samples_per_piece && i <= nsamp; ++i) {
      text[piece] += format::write(layout, values(i));
    }
  });
  for (const std::string& piece : text) file.text(piece);
}

void write_plus_rule(run::RunContext& run) {
  run.report.print("(/,77('+'))");
  console::clear_console(run.screen);
}

}  // namespace

void write_opening_blocks(run::RunContext& run, const Tables& t, char weight_option) {
  run::ReportFile& report = run.report;
  report.print("(/,/,' BEGINNING OF FUZZY ROUTINE',/)");
  report.print("(/,' LIST OF THE FIRST TEN SAMPLES',/,77('+'))");
  for (int i = 1; i <= std::min(10, t.nsamp); ++i) {
    report.print("(1X,A10,1X,14(F7.2,1X),/,12X,14(F7.2,1X),/)", id_of(run, i),
                 std::span<const float>(t.row(i), static_cast<std::size_t>(t.ndim)));
  }
  report.print("(/,77('+'))");
  if (weight_option == 'Y') {
    report.print("(/,10X,'(WEIGHTED) NUMBER OF SAMPLES WITH SELECTION','-WEIGHT >0 = ',F12.6)",
                 run.storage.weighted_count);
  } else {
    report.print("(/,10X,'NUMBER OF SAMPLES = ',I5)", t.nsamp);
  }
  console::clear_console(run.screen);
  report.print("(/,/,/,' ','*** *** BEGIN FUZZY C-MEANS OUTPUT *** ***',/)");
}

void write_scaling_matrix(run::RunContext& run, const norms::Scaling& scaling, int ndim,
                          run::TextFile& scale) {
  write_plus_rule(run);
  run.report.print("(' ',/,7X,'SCALING MATRIX CC',/)");
  std::vector<float> row(static_cast<std::size_t>(ndim));
  for (int j = 1; j <= ndim; ++j) {
    for (int l = 1; l <= ndim; ++l) row[static_cast<std::size_t>(l - 1)] = scaling.cc(j, l);
    run.report.print("(1X,13(F9.3,1X),/,1X,13(F9.3,1X),/)", row);
    if (scale.is_open()) scale.print("(1X,13(F9.3,1X),/,1X,13(F9.3,1X),/)", row);
  }
}

void write_count_header(run::RunContext& run, const FuzzyArguments& args, int c) {
  write_plus_rule(run);
  if (*args.extragrade == 'Y') {
    run.report.print(
        "(' ',' NUMBER OF CLUSTERS = ',I3,'  DISTANCE NORM = ',I3,1X,' FUZZY EXPONENT = ',F4.2,"
        "' EXTRAGRADE ALFA = ',F4.3,/)",
        c, args.icon, args.q, args.alpha);
  } else {
    run.report.print(
        "(' ',' NUMBER OF CLUSTERS = ',I3,5X,' DISTANCE NORM = ',I3,5X,'FUZZY EXPONENT = ',F4.2,"
        "/)",
        c, args.icon, args.q);
  }
}

void write_error_listing(run::ReportFile& report, std::span<const float> err, int IT,
                         float last_change, int c) {
  report.print("(' LISTING OF MAXIMUM ERRORS IN EACH ITERATION: ',/)");
  report.print("(10F8.4)", err.first(static_cast<std::size_t>(IT)));
  report.print(
      "(/,' NUMBER OF ITERATIONS = ',I3,' MAXIMUM ERROR ','= ',F11.6,' NUMBER OF CLUSTERS = ',I2,"
      "/)",
      IT, last_change, c);
}

void write_validity_block(run::ReportFile& report, const Validity& v, int IT, int max_iterations) {
  report.print("(' ',/,' FSTOP',7X,'1-FSTOP',5X,'ENTROPY',5X,'PAYOFF',5X,/)");
  report.print("(' ',2(F6.3,4X),4X,F6.3,5X,E12.7)", v.F, v.one_minus_F, v.H, v.J);
  report.print("(1X,77('-'),/)");
  if (IT >= max_iterations) {
    report.print(
        "(' ','CONVERGENCE FLAG: UNABLE TO ACHIEVE SATISFACTORY ','CLUSTERS AFTER',I5,"
        "' ITERATIONS')",
        max_iterations);
  }
}

namespace {

// 10^V. An antilog beyond single precision is given the largest float,
// which fills its field with asterisks, and is said once per variable.
std::vector<float> antilogs(run::RunContext& run, const Tables& t, std::vector<float> values,
                            int j) {
  bool overflow = false;
  for (float& v : values) {
    v = std::pow(10.0f, v);
    if (!std::isfinite(v)) {
      overflow = true;
      v = std::numeric_limits<float>::max();
    }
  }
  if (overflow) {
    const std::string message =
        " ANTILOG OF A CENTRE ON " + t.name(j) + " EXCEEDS SINGLE PRECISION (LISTED AS ASTERISKS)";
    run.report.text(message + "\n");
    run.screen.line(message);
  }
  return values;
}

}  // namespace

void write_centres(run::RunContext& run, const Tables& t, int c, ResultFiles& files) {
  run.report.print("(/,15X,'CLUSTER CENTERS V(I,J)',/)");
  for (int j = 1; j <= t.ndim; ++j) {
    const std::vector<float> values = centres_on(t, c, j);
    run.report.print("(1X,A10,3X,20(F16.5,1X))", name_of(run, j), values);
    if (files.scale.is_open()) files.scale.list(values);
  }
  run.report.print("(/,' Cluster centers (antilog for ','logtransformed vars)')");
  files.open_centre_file();
  for (int j = 1; j <= t.ndim; ++j) {
    const int flag = run.table.log_flags[static_cast<std::size_t>(j - 1)];
    if (flag == 0) {
      const std::vector<float> values = centres_on(t, c, j);
      run.report.print("(1X,A10,3X,20(F16.5,1X))", name_of(run, j), values);
      files.cnt.print("(1X,A10,3X,20(F16.5,1X))", name_of(run, j), values);
    } else if (flag == 1) {
      const std::vector<float> values = antilogs(run, t, centres_on(t, c, j), j);
      run.report.print("(1X,A10,3X,20(F16.5,1X))", name_of(run, j), values);
      files.cnt.print("(1X,A10,' L ',20(F16.5,1X))", name_of(run, j), values);
    }
  }
}

void write_membership_listing(run::RunContext& run, const Tables& t, int C1,
                              const Classification& classes, parallel::Team& team) {
  write_plus_rule(run);
  run.report.print("(1X,77('-'),/)");
  run.report.print("(' ',/,25X,'MEMBERSHIP FUNCTIONS',/)");
  write_sample_lines(run.report, t.nsamp, "(' ',I4,2X,A10,1X,F6.3,2X,I2,2X,20(F5.3,2X))", team,
                     [&](int i) {
                       return format::values(i, id_of(run, i), weight_of(run, i),
                                             classes.cls[static_cast<std::size_t>(i - 1)],
                                             memberships_of(t, i, C1));
                     });
  run.report.print("(/,' TOTAL',T28,20I7,/)",
                   std::span<const int>(classes.T.data(), static_cast<std::size_t>(C1)));
}

void write_membership_block(run::TextFile& mem, const run::RunContext& run, const Tables& t,
                            const FuzzyArguments& args, int c, int C1, parallel::Team& team) {
  mem.list(t.nsamp, c, args.first_clusters, args.last_clusters, args.missing);
  write_sample_lines(mem, t.nsamp, "(' ',I4,2X,A10,1X,F6.3,2E12.6,3X,20(F6.4,3X))", team,
                     [&](int i) {
                       return format::values(i, id_of(run, i), weight_of(run, i), x_of(run, i),
                                             y_of(run, i), memberships_of(t, i, C1));
                     });
}

void write_average_extragrade(run::TextFile& file, float average) {
  file.print("(' AVERAGE EXTRAGRADE MEMBERSHIP = ',F6.4)", average);
}

void write_class_file(run::TextFile& cls, const run::RunContext& run, const Tables& t,
                      const RunRecord& record, int C1, parallel::Team& team) {
  write_sample_lines(cls, t.nsamp, "(I4,1X,A10,1X,F6.3,2F15.5,1X,35I3)", team, [&](int i) {
    std::vector<int> columns(static_cast<std::size_t>(C1));
    for (int col = 0; col < C1; ++col) {
      columns[static_cast<std::size_t>(col)] = record.G(RunRecord::first_column + col, i);
    }
    return format::values(i, id_of(run, i), weight_of(run, i), x_of(run, i), y_of(run, i), columns);
  });
}

namespace {

// One summary row; a count that ran to the iteration limit is marked.
void write_summary_row(run::TextFile& file, const CountRecord& count, int max_iterations) {
  const Validity& v = count.validity;
  const ScaledValidity s = scale_validity(v, count.C1);
  if (count.IT >= max_iterations) {
    file.print("(' ',I2,3X,F6.3,F8.3,3X,F6.3,5X,F6.3,F8.3,5X,F6.3,I8,1X,A)", count.c, v.F, s.Fmin,
               s.Fscaled, v.H, s.Hmax, s.Hscaled, count.IT, "*");
  } else {
    file.print("(' ',I2,3X,F6.3,2X,F6.3,3X,F6.3,5X,F6.3,2X,F6.3,5X,F6.3,I8)", count.c, v.F, s.Fmin,
               s.Fscaled, v.H, s.Hmax, s.Hscaled, count.IT);
  }
}

void write_summary_parameters(run::RunContext& run, const FuzzyArguments& args) {
  run::ReportFile& report = run.report;
  report.print("(' ','NUMBER OF SUBJECTS NSAMP = ',I4)", args.nsamp);
  if (args.weight_option == 'Y') {
    report.print("(' (WEIGHTED) NUMBER OF SAMPLES WITH SELECTION-','WEIGHT >0 = ',F9.3)",
                 run.storage.weighted_count);
  }
  report.print("(' ','NUMBER OF FEATURES NDIM = ',I4)", args.ndim);
  report.print("(' ','MEMBERSHIP DEFECT BOUND EPS = ',F6.4)", args.eps);
  report.print("(' ','NORM THIS RUN ICON = ',I1)", args.icon);
  report.print("(' ','FUZZY EXPONENT Q = ',F5.2)", args.q);
  if (*args.extragrade == 'Y') report.print("(' EXTRAGRADE ALPHA = ',F5.3)", args.alpha);
}

}  // namespace

void write_run_summary(run::RunContext& run, run::TextFile& opt, const FuzzyArguments& args,
                       const RunRecord& record) {
  run::ReportFile& report = run.report;
  write_plus_rule(run);
  report.print("(/,/,' ',10X,A,/,/,/)", run.table.title);
  report.print("(' ',/,/,25X,'RUN SUMMARY',/,/)");
  write_summary_parameters(run, args);
  constexpr const char* heading =
      "(/,/,' ',1X,'C',6X,'F',6X,'Fmin',3X,'Fscaled',7X,'H',6X,'Hmax',5X,'Hscaled',5X,'IT',/,"
      "' ',14X,'(1/c)',2X,'(min<F<1)',10X,'(log c)',2X,'(1-F<H<max)')";
  report.print(heading);
  opt.print(heading);
  bool marked = false;
  for (const CountRecord& count : record.counts) {
    if (!count.computed) {
      // No numbers exist for it; the validity file, read back by the
      // panels, keeps numeric rows only.
      report.print("(' ',I2,3X,A)", count.c, "NOT COMPUTED");
      continue;
    }
    write_summary_row(report, count, args.max_iterations);
    write_summary_row(opt, count, args.max_iterations);
    if (count.IT >= args.max_iterations) marked = true;
  }
  if (marked) {
    report.print("(/,' *: UNABLE TO ACHIEVE SATISFACTORY CLUSTERS ','AFTER',I5,' ITERATIONS')",
                 args.max_iterations);
  }
  report.print("(/,' Fmax = 1; Hmin = 0 and (1-F) < H',/)");
  report.print("(/,/,/,' ','NORMAL END OF FUZZY JOB ',A)", run.table.title);
  report.print("(/,77('#'))");
  console::clear_console(run.screen);
}

}  // namespace fuzzy
