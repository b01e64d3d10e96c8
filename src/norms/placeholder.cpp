// Placeholder until the scaling routine lands: the Euclidean norm only.
#include "norms/scaling.hpp"

namespace norms {

Scaling::Scaling() : cc_(static_cast<std::size_t>(limits::max_variables) * limits::max_variables) {}
void Scaling::scale(const std::string&, int ndim, int, float missing, int norm, run::RunContext&) {
  ndim_ = ndim;
  norm_ = norm;
  missing_ = missing;
}
float Scaling::distance(const float* a, const float* b) const {
  float s = 0;
  for (int j = 0; j < ndim_; ++j) s += (a[j] - b[j]) * (a[j] - b[j]);
  return ndim_ > 0 ? s / static_cast<float>(ndim_) : 0.0f;
}
float Scaling::cc(int row, int column) const { return row == column ? 1.0f : 0.0f; }

}  // namespace norms
