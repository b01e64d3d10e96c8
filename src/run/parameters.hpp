#pragma once

// The answers that steer the two analyses, and the run-level answers of the
// run driver. Parameters of an analysis that the mode excludes keep their
// initial values (0, 0.0, false or blank).

#include <string>

namespace run {

// The defaults a blank answer gives.
namespace defaults {
inline constexpr int norm = 1;
inline constexpr float power = 1.0f;
inline constexpr int nlm_iterations = 100;
inline constexpr char extragrade = 'N';
inline constexpr float alpha = 0.1f;
inline constexpr float exponent = 1.5f;
inline constexpr int first_clusters = 2;
inline constexpr int last_clusters = 9;
inline constexpr int fcm_iterations = 100;
inline constexpr float eps = 0.0001f;
inline constexpr int random_start = 1;
inline constexpr float threshold = 0.75f;
inline constexpr int sort_column = 1;
}  // namespace defaults

inline constexpr int min_nlm_iterations = 25;

struct RunParameters {
  // Mapping (modes N and B).
  int nlm_norm = 0;
  float power = 0.0f;
  int nlm_iteration_answer = 0;
  int nlm_iterations = 0;  // effective count, 25 .. 500

  // Clustering (modes F and B).
  int fcm_norm = 0;
  char extragrade = ' ';
  float alpha = 0.0f;
  float exponent = 0.0f;
  int first_clusters = 0;
  int last_clusters = 0;
  bool save_scaling = false;  // once true, true for the run
  int max_fcm_iterations = 0;
  float eps = 0.0f;
  int random_start = 0;
  float threshold = 0.0f;
  int sort_column = 0;
};

// Analysis modes.
inline constexpr char mode_mapping = 'N';
inline constexpr char mode_clustering = 'F';
inline constexpr char mode_both = 'B';

}  // namespace run
