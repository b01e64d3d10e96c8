#include "run/storage.hpp"

namespace run {

RunStorage::RunStorage()
    : weights(limits::max_samples, 1.0f),
      config_x(limits::max_samples, 0.0f),
      config_y(limits::max_samples, 0.0f),
      colours(limits::max_samples, 1),
      errors(limits::max_iterations + 2, 0.0f) {}

}  // namespace run
