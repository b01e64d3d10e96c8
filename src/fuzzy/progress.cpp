#include "fuzzy/progress.hpp"

#include "format/layout.hpp"

namespace fuzzy {

std::string progress_text(int c, int first, int last, int IT, float change) {
  return format::render(
      "(1X,I2,' CLUSTERS (',I2,' TO',I3,')   ITERATION',I4,"
      "'   LARGEST MEMBERSHIP CHANGE',E11.4,$)",
      c, first, last, IT, change);
}

}  // namespace fuzzy
