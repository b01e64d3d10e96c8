#include "mapping/progress.hpp"

#include "format/layout.hpp"

namespace mapping {

std::string progress_text(int t, int iterations, double E) {
  return format::render("(' MAPPING ITERATION',I4,' OF',I4,'   MAPPING ERROR',E13.6,$)", t,
                        iterations, E);
}

}  // namespace mapping
