#pragma once

#include <string>

namespace mapping {

// The status line while the mapping iterates: iteration t of the iterations
// asked and the mapping error E of that iteration.
std::string progress_text(int t, int iterations, double E);

}  // namespace mapping
