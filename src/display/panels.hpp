#pragma once

// The final display of a clustering over a range of cluster counts: one panel
// per count with the samples in their class colours, and a panel with the
// scaled validity measures, saved as a bitmap.

#include <string>

#include "display/surface.hpp"

namespace display {

// Reads the .opt and .cls files named after the report file and draws the
// panels. A missing or unreadable file throws std::runtime_error with one
// line naming it.
void show_clustering_panels(Surface& surface, const std::string& report_name, int last_clusters,
                            const std::string& bitmap_name);

}  // namespace display
