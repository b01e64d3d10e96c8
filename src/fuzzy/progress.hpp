#pragma once

#include <string>

namespace fuzzy {

// The status line while the clustering iterates: the cluster count c of the
// range first .. last, the iteration IT and its largest membership change.
std::string progress_text(int c, int first, int last, int IT, float change);

}  // namespace fuzzy
