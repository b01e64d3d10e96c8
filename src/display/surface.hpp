#pragma once

// The drawing surface: a raster with the 16-colour palette, viewports with
// clipping, outlines, filled ellipses, lines, text on a character grid, and
// saving a rectangle as a Windows BMP file. The plots draw only through this
// interface, so a live window can stand in for the off-screen image.

#include <cstdint>
#include <string>
#include <vector>

namespace display {

class Surface {
 public:
  virtual ~Surface() = default;

  virtual bool set_graphics_mode() = 0;  // highest resolution available
  virtual int width() const = 0;
  virtual int height() const = 0;

  // Later coordinates are relative to (x1,y1); drawing is clipped to the rectangle.
  virtual void set_viewport(int x1, int y1, int x2, int y2) = 0;
  virtual void clear_window() = 0;         // whole window, text included
  virtual void clear_viewport() = 0;       // the current viewport, colour 0
  virtual void set_colour(int index) = 0;  // beyond the palette: its last entry
  virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void fill_ellipse(int x1, int y1, int x2, int y2) = 0;  // inscribed in the box
  virtual void move_to(int x, int y) = 0;
  virtual void line_to(int x, int y) = 0;

  struct TextBounds {
    int first_row, last_row, first_column, last_column;
  };
  virtual TextBounds text_bounds() const = 0;
  virtual void write_text(int row, int column, const std::string& text) = 0;

  // Writes the rectangle to a BMP file (trailing blanks of the name removed),
  // creating or overwriting it; false on failure.
  virtual bool save_image(const std::string& name, int x1, int y1, int x2, int y2) = 0;
  virtual void keep_window_open() = 0;

  // Shows what has been drawn, where the surface has a window; each plot
  // ends with it. A window may hold back a frame that follows the last one
  // too closely: show_last_frame() shows such a frame at the end of an
  // analysis, so that the picture left on screen is the final one.
  virtual void show_frame() {}
  virtual void show_last_frame() {}
};

}  // namespace display
