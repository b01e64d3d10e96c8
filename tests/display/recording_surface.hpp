#pragma once

// A surface that records the calls made on it, for checking what the plots
// and panels ask the surface to draw.

#include <string>
#include <vector>

#include "display/surface.hpp"

namespace display::testing {

struct Call {
  std::string
      op;  // "viewport", "clear", "colour", "rectangle", "ellipse", "move", "line", "text", "save"
  int a = 0, b = 0, c = 0, d = 0;
  std::string text;
  int colour = 0;  // the colour set when the call was made
  std::vector<int> corners() const { return {a, b, c, d}; }
};

class RecordingSurface : public Surface {
 public:
  RecordingSurface(int width = 1024, int height = 768, bool mode_ok = true)
      : width_(width), height_(height), mode_ok_(mode_ok) {}

  bool set_graphics_mode() override {
    ++mode_calls;
    return mode_ok_;
  }
  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_viewport(int x1, int y1, int x2, int y2) override { add("viewport", x1, y1, x2, y2); }
  void clear_window() override { add("clear_window"); }
  void clear_viewport() override { add("clear"); }
  void set_colour(int index) override {
    colour_ = index;
    add("colour", index);
  }
  void rectangle(int x1, int y1, int x2, int y2) override { add("rectangle", x1, y1, x2, y2); }
  void fill_ellipse(int x1, int y1, int x2, int y2) override { add("ellipse", x1, y1, x2, y2); }
  void move_to(int x, int y) override { add("move", x, y); }
  void line_to(int x, int y) override { add("line", x, y); }
  TextBounds text_bounds() const override { return {1, 48, 1, 128}; }
  void write_text(int row, int column, const std::string& text) override {
    add("text", row, column).text = text;
  }
  bool save_image(const std::string& name, int x1, int y1, int x2, int y2) override {
    add("save", x1, y1, x2, y2).text = name;
    return true;
  }
  void keep_window_open() override { add("keep_open"); }
  void show_frame() override { add("show"); }

  std::vector<Call> of(const std::string& op) const {
    std::vector<Call> out;
    for (const Call& call : calls) {
      if (call.op == op) out.push_back(call);
    }
    return out;
  }

  std::vector<Call> calls;
  int mode_calls = 0;

 private:
  Call& add(const std::string& op, int a = 0, int b = 0, int c = 0, int d = 0) {
    calls.push_back({op, a, b, c, d, {}, colour_});
    return calls.back();
  }
  int width_, height_;
  bool mode_ok_;
  int colour_ = -1;
};

}  // namespace display::testing
