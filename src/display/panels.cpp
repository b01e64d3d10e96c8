#include "display/panels.hpp"

#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "display/panel_files.hpp"
#include "display/plots.hpp"

namespace display {

namespace {

constexpr std::array<float, 4> thirds = {0.0f, 0.33f, 0.66f, 1.0f};
constexpr std::array<float, 5> quarters = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
constexpr float margin = 0.1f;  // of the validity panel, on every side
constexpr int tick_length = 10;
constexpr int max_panels = 15;  // clusterings that fit the 4 x 4 grid beside the validity panel

// The cluster counts must run from CN(1) up by one for the panels to mean
// anything; ncl is the number of clustering panels.
int clustering_panels(const std::vector<ValidityLine>& validity, const std::string& name) {
  const int ncl = validity.empty() ? 0 : validity.back().clusters - validity.front().clusters + 1;
  if (ncl < 2 || ncl > max_panels || ncl > static_cast<int>(validity.size())) {
    throw std::runtime_error("NO RANGE OF CLUSTER COUNTS IN VALIDITY FILE " + name);
  }
  return ncl;
}

struct Coordinates {
  std::vector<float> x, y;  // Q(1..nsamp, 1..2), scaled to the panel extents
};

Coordinates scaled_coordinates(const std::vector<ClassLine>& classes, const PanelGrid& grid) {
  Coordinates q;
  for (const ClassLine& c : classes) {
    q.x.push_back(c.x);
    q.y.push_back(c.y);
  }
  const int nsamp = static_cast<int>(classes.size());
  float xmax = 0.0f, xmin = 0.0f, ymax = 0.0f, ymin = 0.0f;
  plot_range(q.x, nsamp, panel_missing, xmax, xmin);
  plot_range(q.y, nsamp, panel_missing, ymax, ymin);
  scale_to_pixels(q.x, xmax, xmin, static_cast<std::int16_t>(grid.PW), panel_missing, nsamp);
  scale_to_pixels(q.y, ymax, ymin, static_cast<std::int16_t>(grid.PH), panel_missing, nsamp);
  return q;
}

void draw_clustering_panel(Surface& surface, const PanelBox& box, int p,
                           const std::vector<ClassLine>& classes, const Coordinates& q) {
  for (std::size_t i = 0; i < classes.size(); ++i) {
    surface.set_colour(class_colour(classes[i].codes[static_cast<std::size_t>(p - 1)]));
    fill_disc(surface, static_cast<float>(box.x1) + q.x[i],
              static_cast<float>(box.y2 - 1) - q.y[i]);
  }
}

// The validity panel: the scaled F and H against the cluster count, inside
// an inner box whose bottom is 0 and whose top is near 1.
class ValidityPanel {
 public:
  ValidityPanel(Surface& surface, const PanelBox& box, const PanelGrid& grid, int ncl)
      : surface_(surface), box_(box), grid_(grid), ncl_(ncl) {
    left_ = to_pixel(static_cast<float>(box.x1) + margin * grid.PW);
    top_ = to_pixel(static_cast<float>(box.y1) + margin * grid.PH);
    right_ = to_pixel(static_cast<float>(box.x2) - margin * grid.PW);
    bottom_ = to_pixel(static_cast<float>(box.y2) - margin * grid.PH);
  }

  void draw(const std::vector<ValidityLine>& validity) {
    surface_.rectangle(left_, top_, right_, bottom_);
    surface_.set_colour(10);
    draw_curve(validity, &ValidityLine::fscaled, false);
    surface_.set_colour(11);
    draw_curve(validity, &ValidityLine::hscaled, true);
    surface_.set_colour(12);
    draw_ticks();
  }

 private:
  float position(int k) const {
    return static_cast<float>(box_.x1) + margin * grid_.PW +
           0.8f * static_cast<float>(k - 1) * grid_.PW / static_cast<float>(ncl_ - 1);
  }
  // The last point of the H curve and the last tick sit on the right edge.
  int x_of(int k, bool last_at_edge) const {
    return last_at_edge && k == ncl_ ? right_ : to_pixel(position(k));
  }
  int y_of(float v) const {
    return to_pixel(static_cast<float>(box_.y2) - margin * grid_.PH - 0.8f * grid_.PH * v);
  }

  void draw_curve(const std::vector<ValidityLine>& validity, float ValidityLine::*measure,
                  bool last_at_edge) {
    surface_.move_to(x_of(1, last_at_edge), y_of(validity[0].*measure));
    for (int k = 1; k <= ncl_; ++k) {
      surface_.line_to(x_of(k, last_at_edge),
                       y_of(validity[static_cast<std::size_t>(k - 1)].*measure));
    }
  }

  void draw_ticks() {
    for (int k = 1; k <= ncl_; ++k) {
      surface_.move_to(x_of(k, true), bottom_);
      surface_.line_to(x_of(k, true), bottom_ - tick_length);
    }
  }

  Surface& surface_;
  PanelBox box_;
  PanelGrid grid_;
  int ncl_;
  int left_, top_, right_, bottom_;
};

void draw_panels(Surface& surface, const PanelGrid& grid, int ncl,
                 const std::vector<ValidityLine>& validity, const std::vector<ClassLine>& classes,
                 const Coordinates& q) {
  const int width = surface.width(), height = surface.height();
  surface.set_viewport(0, 0, width - 1, height - 1);
  for (int p = 1; p <= ncl + 1; ++p) {
    const int slot = p <= ncl ? p : grid.validity_slot();
    const PanelBox box = slot_box(grid, slot, width, height);
    surface.set_colour(1);
    surface.rectangle(box.x1, box.y1, box.x2, box.y2);
    if (p <= ncl) {
      draw_clustering_panel(surface, box, p, classes, q);
    } else {
      ValidityPanel(surface, box, grid, ncl).draw(validity);
    }
  }
}

}  // namespace

PanelGrid choose_grid(int ncl, int width, int height) {
  PanelGrid grid;
  grid.columns = ncl < 9 ? 3 : 4;
  grid.PW = width / grid.columns - 1;
  grid.PH = height / grid.columns - 1;
  return grid;
}

PanelBox slot_box(const PanelGrid& grid, int slot, int width, int height) {
  const float* edges = grid.columns == 3 ? thirds.data() : quarters.data();
  const int column = (slot - 1) % grid.columns, row = (slot - 1) / grid.columns;
  const auto w = static_cast<float>(width), h = static_cast<float>(height);
  return {to_pixel(w * edges[column]), to_pixel(h * edges[row]),
          to_pixel(w * edges[column + 1] - 1.0f), to_pixel(h * edges[row + 1] - 1.0f)};
}

int class_colour(int code) {
  switch (code) {
    case 15:
      return 21;
    case 16:
      return 22;
    case 20:
      return 15;
    default:
      return code;
  }
}

// The analyses have closed their files by now: the clustering writes its
// files completely before it returns, and the run driver closes the report.
void show_clustering_panels(Surface& surface, const std::string& report_name,
                            [[maybe_unused]] int last_clusters, const std::string& bitmap_name) {
  const std::string opt_name = result_file_name(report_name, ".OPT");
  const std::vector<ValidityLine> validity = read_validity_file(opt_name);
  const int ncl = clustering_panels(validity, opt_name);
  const std::vector<ClassLine> classes =
      read_class_file(result_file_name(report_name, ".CLS"), ncl);
  const PanelGrid grid = choose_grid(ncl, surface.width(), surface.height());
  const Coordinates q = scaled_coordinates(classes, grid);
  draw_panels(surface, grid, ncl, validity, classes, q);
  // The picture is the display's one lasting result: a failed save is said,
  // not passed over as success.
  if (!surface.save_image(bitmap_name, 0, 0, surface.width(), surface.height())) {
    throw std::runtime_error("CANNOT WRITE BITMAP FILE " + bitmap_name);
  }
  surface.keep_window_open();
}

}  // namespace display
