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

// The grid for ncl clustering panels and the validity panel: 3 x 3 below 9
// clusterings, else 4 x 4, with the panel extents PW and PH.
struct PanelGrid {
  int columns = 3;
  int PW = 0, PH = 0;
  int validity_slot() const { return columns * columns; }
};
PanelGrid choose_grid(int ncl, int width, int height);

struct PanelBox {
  int x1, y1, x2, y2;
};
// Slot s (1 = top left, row by row) of the grid on a width x height surface.
PanelBox slot_box(const PanelGrid& grid, int slot, int width, int height);

// The palette index of a class code: 15 -> 21, 16 -> 22, 20 -> 15.
int class_colour(int code);

}  // namespace display
