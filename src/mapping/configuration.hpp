#pragma once

// The first half of the mapping: statistics listing, the choice of the two
// coordinate variables, the sample colours and the initial configuration.

#include <span>
#include <string_view>
#include <vector>

#include "input/sample_table.hpp"
#include "norms/scaling.hpp"
#include "run/run_context.hpp"

namespace mapping {

inline constexpr int colour_complete = 1;  // every variable present
inline constexpr int colour_missing = 12;  // some variable missing

// One line written to the report and then to the screen.
template <class... Args>
void report_and_show(run::RunContext& run, std::string_view layout, const Args&... args) {
  run.report.print(layout, args...);
  run.screen.print(layout, args...);
}

// Variable numbers (1-based) of the two initial coordinates.
struct Coordinates {
  int x = 1;
  int y = 2;
};

float standard_deviation(float variance);

// Means, standard deviations and counts to the report and the screen.
void list_statistics(run::RunContext& run, const norms::FeatureStatistics& stats, int m);

// Norm 0: the two variables of largest variance, ties to the lower number.
// Other norms: variables 1 and 2 (1 and 1 when there is one variable).
Coordinates offered_coordinates(int norm, const norms::FeatureStatistics& stats, int m);

// The step factor of the moves: 0.3 for the Euclidean norm, 0.2 otherwise.
float step_factor(int norm);

// Writes the line about the offered coordinates.
void announce_coordinates(run::RunContext& run, int norm, const Coordinates& offered);

// The X and Y prompts; a blank keeps the offered number, a number outside
// 1..m is refused and asked again. Clears the screen afterwards.
Coordinates confirm_coordinates(run::RunContext& run, Coordinates offered, int m);

// colour(i) = 12 when any of the m values of sample i is missing, else 1.
void sample_colours(const input::SampleTable& table, int n, int m, float missing,
                    std::span<int> colours);

// Y(i,1..2) from the coordinate variables: raw under norm 0, divided by the
// mean (norm 2) or the standard deviation (other norms); a missing value
// leaves the missing-value code. A zero divisor is reported in one line and
// that coordinate keeps the raw values.
void initial_configuration(run::RunContext& run, int norm, const Coordinates& c,
                           const norms::FeatureStatistics& stats, int n, float missing);

// The lines (1X,I3,2X,A10,2X,2F11.4) of a configuration: the initial and
// final listings and the .NLM file.
void list_configuration(run::TextFile& out, const input::SampleTable& table,
                        std::span<const float> x, std::span<const float> y, int n);

}  // namespace mapping
