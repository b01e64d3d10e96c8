#include "mapping/configuration.hpp"

#include <cmath>
#include <string>

#include "console/dialogue.hpp"

namespace mapping {

namespace {

constexpr int euclidean = 0;
constexpr int by_means = 2;

// Index (0-based) of the largest of v[0..m), ties to the lower index.
int largest(const std::vector<float>& v, int m) {
  int best = 0;
  for (int k = 1; k < m; ++k) {
    if (v[k] > v[best]) best = k;
  }
  return best;
}

int ask_coordinate(run::RunContext& run, const char* prompt, int offered, int m) {
  for (;;) {
    run.screen.print(prompt, offered);
    const int answer = console::ask_integer(run.dialogue, offered);
    if (answer >= 1 && answer <= m) return answer;
    run.screen.print("(' THERE IS NO VARIABLE ',I0,': GIVE A NUMBER FROM 1 TO ',I0)", answer, m);
  }
}

// The divisor of one coordinate variable, or 0 when there is none to use.
float coordinate_divisor(int norm, const norms::FeatureStatistics& stats, int variable) {
  if (norm == by_means) return stats.mean[variable - 1];
  return standard_deviation(stats.var[variable - 1]);
}

void report_raw_coordinate(run::RunContext& run, int norm, char axis, int variable) {
  const char* layout =
      "(1X,A1,'-COORDINATE VARIABLE',I4,1X,A10,' HAS ZERO ',A,': ITS RAW VALUES ARE USED')";
  const char* what = norm == by_means ? "MEAN" : "VARIANCE";
  const std::string& name = run.table.names[variable - 1];
  report_and_show(run, layout, std::string(1, axis), variable, name, what);
}

// One coordinate of every sample from one variable, divided by divisor
// unless it is 1 (raw values); a missing value leaves the missing code.
void fill_coordinate(const input::SampleTable& table, int variable, float divisor, int n,
                     float missing, std::vector<float>& out) {
  const std::span<const float> column = table.column(variable);
  for (int i = 0; i < n; ++i) {
    const float v = column[i];
    out[i] = v == missing ? missing : v / divisor;
  }
}

}  // namespace

float standard_deviation(float variance) {
  return variance > 0.0f ? std::sqrt(variance) : 0.0f;
}

void list_statistics(run::RunContext& run, const norms::FeatureStatistics& stats, int m) {
  report_and_show(run, "(' Means, Stand. dev. and Numb. of observations')");
  for (int k = 1; k <= m; ++k) {
    const std::string& name = run.table.names[k - 1];
    const float mean = stats.mean[k - 1];
    const float sd = standard_deviation(stats.var[k - 1]);
    const int count = stats.count[k - 1];
    run.report.print("(1X,A10,2F14.6,I6)", name, mean, sd, count);
    run.screen.print("(1X,I3,1X,A10,2F14.6,I6)", k, name, mean, sd, count);
  }
}

Coordinates offered_coordinates(int norm, const norms::FeatureStatistics& stats, int m) {
  if (norm != euclidean) return {1, m > 1 ? 2 : 1};
  std::vector<float> variance(stats.var.begin(), stats.var.begin() + m);
  Coordinates c;
  c.x = largest(variance, m) + 1;
  variance[c.x - 1] = 0.0f;
  c.y = largest(variance, m) + 1;
  return c;
}

float step_factor(int norm) {
  return norm == euclidean ? 0.3f : 0.2f;
}

void announce_coordinates(run::RunContext& run, int norm, const Coordinates& offered) {
  if (norm == euclidean) {
    report_and_show(run, "(' COORDINATE DIRECTIONS WITH MAXIMUM VARIANCE ARE',I3,' AND',I4)",
                    offered.x, offered.y);
  } else {
    run.report.print("(/,' COORDINATE VARIANCE HAS BEEN NORMALISED',/)");
  }
}

Coordinates confirm_coordinates(run::RunContext& run, Coordinates offered, int m) {
  run.screen.print("(' Select independent variables for initial NLM ','setting')");
  Coordinates c;
  c.x = ask_coordinate(run, "(' Enter number of X-coordinate: <',I3,'>',$)", offered.x, m);
  c.y = ask_coordinate(run, "(' Enter number of Y-coordinate: <',I3,'>',$)", offered.y, m);
  console::clear_console(run.screen);
  return c;
}

void sample_colours(const input::SampleTable& table, int n, int m, float missing,
                    std::span<int> colours) {
  for (int i = 0; i < n; ++i) colours[i] = colour_complete;
  for (int k = 1; k <= m; ++k) {
    const std::span<const float> column = table.column(k);
    for (int i = 0; i < n; ++i) {
      if (column[i] == missing) colours[i] = colour_missing;
    }
  }
}

void initial_configuration(run::RunContext& run, int norm, const Coordinates& c,
                           const norms::FeatureStatistics& stats, int n, float missing) {
  float divisor_x = 1.0f;
  float divisor_y = 1.0f;
  if (norm != euclidean) {
    divisor_x = coordinate_divisor(norm, stats, c.x);
    divisor_y = coordinate_divisor(norm, stats, c.y);
    if (divisor_x == 0.0f) {
      report_raw_coordinate(run, norm, 'X', c.x);
      divisor_x = 1.0f;
    }
    if (divisor_y == 0.0f) {
      report_raw_coordinate(run, norm, 'Y', c.y);
      divisor_y = 1.0f;
    }
  }
  fill_coordinate(run.table, c.x, divisor_x, n, missing, run.storage.config_x);
  fill_coordinate(run.table, c.y, divisor_y, n, missing, run.storage.config_y);
}

void list_configuration(run::TextFile& out, const input::SampleTable& table,
                        std::span<const float> x, std::span<const float> y, int n) {
  for (int i = 1; i <= n; ++i) {
    out.print("(1X,I3,2X,A10,2X,2F11.4)", i, table.ids[i - 1], x[i - 1], y[i - 1]);
  }
}

}  // namespace mapping
