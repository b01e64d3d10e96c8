#include "norms/scaling.hpp"

#include <cmath>
#include <stdexcept>

#include "console/run_stop.hpp"
#include "limits/limits.hpp"
#include "norms/inversion.hpp"
#include "norms/statistics.hpp"

namespace norms {

namespace {

constexpr std::size_t matrix_capacity =
    static_cast<std::size_t>(limits::max_variables) * limits::max_variables;

bool diagonal_only(int norm) {
  return norm == 0 || norm == 1 || norm == 2;
}

// "VARIABLE 3 (CA)": the number as the user sees it and the name without padding.
std::string variable_label(const input::SampleTable& table, int j) {
  std::string label = "VARIABLE " + std::to_string(j);
  const std::string& name = table.names[j - 1];
  const auto end = name.find_last_not_of(' ');
  if (end != std::string::npos) label += " (" + name.substr(0, end + 1) + ")";
  return label;
}

// Why variable j cannot scale the distance under the norm, or nullptr.
const char* unmeasurable(const FeatureStatistics& stats, int j, int norm) {
  if (norm == 0) return nullptr;
  if (stats.count[j - 1] < 2) return "HAS FEWER THAN TWO USABLE VALUES";
  if (norm == 2) {
    const float mean = stats.mean[j - 1];
    if (!(mean > 0.0f) || !std::isfinite(1.0f / mean)) return "HAS A MEAN OF ZERO OR BELOW";
    return nullptr;
  }
  if (!std::isfinite(1.0f / stats.var[j - 1])) return "HAS NO SPREAD (ZERO VARIANCE)";
  return nullptr;
}

void warn(run::RunContext& run, const std::string& text) {
  run.screen.line(text);
  run.report.text(text + "\n");
}

}  // namespace

Scaling::Scaling()
    : diagonal_(limits::max_variables, 0.0f), measured_flag_(limits::max_variables, 0) {
  cc_.reserve(matrix_capacity);
  measured_.reserve(limits::max_variables);
}

void Scaling::scale(const std::string& tag, int ndim, int nsamp, float missing, int norm,
                    run::RunContext& run) {
  if (tag == "NON") return;
  if (tag != "ONE" && tag != "NLM" && tag != "FUZ") {
    throw std::invalid_argument("unknown analysis tag '" + tag + "'");
  }
  ndim_ = ndim;
  nsamp_ = nsamp;
  norm_ = norm;
  missing_ = missing;
  if (tag == "NLM" || (tag == "ONE" && norm != 0)) {
    compute_feature_statistics(run.table, run.storage.weights, ndim, nsamp, missing, stats_);
  }
  select_measured(run);
  build_cc(run);
}

void Scaling::select_measured(run::RunContext& run) {
  measured_.clear();
  for (int j = 1; j <= ndim_; ++j) {
    const char* reason = unmeasurable(stats_, j, norm_);
    measured_flag_[j - 1] = reason == nullptr;
    if (reason == nullptr) {
      measured_.push_back(j - 1);
    } else {
      warn(run, " WARNING: " + variable_label(run.table, j) + " " + reason +
                    "; LEFT OUT OF THE DISTANCE");
    }
  }
  if (measured_.empty() && ndim_ > 0) {
    throw console::RunStop("NO VARIABLE CAN SCALE DISTANCE NORM " + std::to_string(norm_) +
                           ": CHOOSE ANOTHER DISTANCE NORM");
  }
}

void Scaling::build_cc(run::RunContext& run) {
  const auto n = static_cast<std::size_t>(ndim_);
  cc_.assign(n * n, 0.0f);
  if (diagonal_only(norm_)) {
    for (int j : measured_) {
      const float value = norm_ == 0   ? 1.0f
                          : norm_ == 1 ? 1.0f / stats_.var[j]
                                       : 1.0f / stats_.mean[j];
      cc_[j * n + j] = value;
    }
  } else {
    build_mahalanobis(run);
  }
  for (std::size_t j = 0; j < n; ++j) diagonal_[j] = cc_[j * n + j];
}

// CC = the inverse of the covariance matrix of the measured variables; AA
// keeps the whole covariance matrix for the identity check.
void Scaling::build_mahalanobis(run::RunContext& run) {
  const auto n = static_cast<std::size_t>(ndim_);
  const std::vector<float> aa =
      covariance_matrix(run.table, run.storage.weights, ndim_, nsamp_, missing_, stats_);
  const auto k = measured_.size();
  std::vector<float> inverse(k * k);
  for (std::size_t r = 0; r < k; ++r) {
    for (std::size_t c = 0; c < k; ++c) inverse[r * k + c] = aa[measured_[r] * n + measured_[c]];
  }
  const int bad = invert_bordering(inverse, static_cast<int>(k));
  if (bad != 0) {
    throw console::RunStop("COVARIANCE MATRIX CANNOT BE INVERTED AT " +
                           variable_label(run.table, measured_[bad - 1] + 1) +
                           ": CHOOSE ANOTHER DISTANCE NORM");
  }
  for (std::size_t r = 0; r < k; ++r) {
    for (std::size_t c = 0; c < k; ++c) cc_[measured_[r] * n + measured_[c]] = inverse[r * k + c];
  }
  const std::vector<float> p = check_product(aa, cc_, ndim_);
  for (float v : p) {
    if (!std::isfinite(v)) {
      throw console::RunStop(
          "COVARIANCE MATRIX TOO NEARLY SINGULAR TO CHECK: CHOOSE ANOTHER DISTANCE NORM");
    }
  }
  write_identity_check(run.report, p, ndim_);
}

float Scaling::cc(int row, int column) const {
  if (row < 1 || row > ndim_ || column < 1 || column > ndim_) return 0.0f;
  return cc_[static_cast<std::size_t>(row - 1) * ndim_ + (column - 1)];
}

std::span<const float> Scaling::cc_row(int row) const {
  if (row < 1 || row > ndim_) return {};
  return {cc_.data() + static_cast<std::size_t>(row - 1) * ndim_, static_cast<std::size_t>(ndim_)};
}

std::vector<float> sample_rows(const input::SampleTable& table, int nsamp, int ndim) {
  const auto n = static_cast<std::size_t>(ndim);
  std::vector<float> rows(static_cast<std::size_t>(nsamp) * n);
  for (int j = 1; j <= ndim; ++j) {
    const auto column = table.column(j);
    for (int i = 0; i < nsamp; ++i) rows[i * n + (j - 1)] = column[i];
  }
  return rows;
}

}  // namespace norms
