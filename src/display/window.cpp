#include "display/window.hpp"

#include <algorithm>
#include <array>

#include "display/palette.hpp"

#ifdef TARNWICK_WITH_WINDOW
#include <SDL.h>

#include <cstdlib>
#include <string>
#include <vector>

#ifdef TARNWICK_WITH_X11
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#endif
#endif

namespace display {

void to_argb(std::span<const std::uint8_t> raster, std::span<std::uint32_t> argb) {
  std::array<std::uint32_t, 256> colour{};
  for (std::size_t i = 0; i < colour.size(); ++i) {
    const Rgb rgb = palette[static_cast<std::size_t>(palette_index(static_cast<int>(i)))];
    colour[i] = 0xff000000u | static_cast<std::uint32_t>(rgb.red) << 16 |
                static_cast<std::uint32_t>(rgb.green) << 8 | rgb.blue;
  }
  const std::size_t n = std::min(raster.size(), argb.size());
  for (std::size_t i = 0; i < n; ++i) argb[i] = colour[raster[i]];
}

WindowArea fit_picture(int width, int height, int box_width, int box_height) {
  if (width <= 0 || height <= 0) return {};
  const long long w = width, h = height;
  const long long bw = std::max(box_width, 1), bh = std::max(box_height, 1);
  WindowArea area;
  if (bw * h <= bh * w) {  // the box is narrower than the picture: full width
    area.width = static_cast<int>(bw);
    area.height = static_cast<int>(std::max(1LL, h * bw / w));
  } else {
    area.height = static_cast<int>(bh);
    area.width = static_cast<int>(std::max(1LL, w * bh / h));
  }
  area.x = static_cast<int>((bw - area.width) / 2);
  area.y = static_cast<int>((bh - area.height) / 2);
  return area;
}

#ifdef TARNWICK_WITH_WINDOW

namespace {

constexpr const char* window_title = "Tarnwick";

bool named(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// The desktops whose display the environment names: a window on one of them,
// never the whole screen of a text console. Without a display SDL is not
// started at all, so that the run is exactly one without a window (the
// Wayland library, tried in vain, writes to the error output). A driver
// that the user chose through SDL's own variable is left to SDL.
std::string video_drivers() {
  if (named("SDL_VIDEODRIVER")) return std::getenv("SDL_VIDEODRIVER");
  std::string drivers = named("DISPLAY") ? "x11" : "";
  if (named("WAYLAND_DISPLAY")) drivers += drivers.empty() ? "wayland" : ",wayland";
  return drivers;
}

// Only SDL's own hints are set here; a user's SDL_* environment variables
// still decide over them.
void set_hints(const std::string& drivers) {
  // Ctrl-C at the terminal must still end the program: without this hint
  // SDL would turn it into a quit event that nobody asks for.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  // The window's pixels go to the display as they are, through no graphics
  // driver: exact, and quiet where the driver would complain (a virtual
  // display, a remote one).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // A plot window has no reason to keep the screen saver away.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
}

// The display can go away under a running analysis (a remote session that
// drops, a display server that ends), and a request about the window can
// fail as it goes (a key event that SDL passes on to a window just closed).
// Xlib would end the program in both cases, with the analysis unfinished and
// its files unwritten, or with a failure status after a run that went
// through. The window is no part of the results: a failed request is passed
// over, and without its display the window counts as closed and the run goes
// on.
bool display_lost = false;

#ifdef TARNWICK_WITH_X11
int pass_over(Display*, XErrorEvent*) {
  return 0;
}
int say_nothing(Display*) {
  return 0;
}
void lose_display(Display*, void*) {
  display_lost = true;
}
void outlive_the_display(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
    XSetErrorHandler(pass_over);
    XSetIOErrorHandler(say_nothing);
    XSetIOErrorExitHandler(info.info.x11.display, lose_display, nullptr);
  }
}
#else
void outlive_the_display(SDL_Window*) {}
#endif

class SdlWindow final : public Window {
 public:
  SdlWindow(int width, int height) : width_(width), height_(height) {}
  // SDL's video is not taken down: the program ends soon after, which ends
  // the connection to the display anyway, and taking it down would give
  // Xlib back its own error handling while late replies about the closed
  // window may still come in (or talk to a display that is gone).
  ~SdlWindow() override { close(); }
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool create();
  bool is_open() const override { return window_ != nullptr && !display_lost; }
  void handle_events() override;
  void show(std::span<const std::uint8_t> raster) override;
  void wait_for_close_or_key() override;

 private:
  WindowArea first_size() const;
  // What one event asks for; true for a key pressed.
  bool handle(const SDL_Event& event);
  void redraw();
  void close();

  int width_, height_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::vector<std::uint32_t> argb_;
};

// The picture's own size, or less where the screen is smaller.
WindowArea SdlWindow::first_size() const {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || (usable.w >= width_ && usable.h >= height_)) {
    return {0, 0, width_, height_};
  }
  return fit_picture(width_, height_, usable.w, usable.h);
}

// The software renderer copies the pixels exactly; where the display offers
// no window pixels of its own (Wayland) SDL's other renderers do.
bool SdlWindow::create() {
  const WindowArea size = first_size();
  window_ = SDL_CreateWindow(window_title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                             size.width, size.height, SDL_WINDOW_RESIZABLE);
  if (window_ == nullptr) return false;
  outlive_the_display(window_);
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ != nullptr) {
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 width_, height_);
  }
  if (texture_ == nullptr) {
    close();
    return false;
  }
  SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
  argb_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0xff000000u);
  return true;
}

void SdlWindow::close() {
  if (!display_lost) {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
  }
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

bool SdlWindow::handle(const SDL_Event& event) {
  if (event.type == SDL_QUIT) {
    close();
  } else if (event.type == SDL_WINDOWEVENT) {
    switch (event.window.event) {
      case SDL_WINDOWEVENT_CLOSE:
        close();
        break;
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        redraw();
        break;
      default:
        break;
    }
  }
  return event.type == SDL_KEYDOWN;
}

void SdlWindow::handle_events() {
  SDL_Event event;
  while (is_open() && SDL_PollEvent(&event) != 0) handle(event);
}

void SdlWindow::redraw() {
  if (!is_open()) return;
  int output_width = 0, output_height = 0;
  SDL_GetRendererOutputSize(renderer_, &output_width, &output_height);
  const WindowArea area = fit_picture(width_, height_, output_width, output_height);
  const SDL_Rect target{area.x, area.y, area.width, area.height};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  SDL_RenderPresent(renderer_);
}

void SdlWindow::show(std::span<const std::uint8_t> raster) {
  if (!is_open()) return;
  to_argb(raster, argb_);
  SDL_UpdateTexture(texture_, nullptr, argb_.data(), width_ * 4);
  redraw();
}

// The wait looks up now and then, so that a display that went away ends it.
void SdlWindow::wait_for_close_or_key() {
  handle_events();  // keys pressed before the wait do not end it
  constexpr int look_every_ms = 200;
  SDL_Event event;
  while (is_open()) {
    if (SDL_WaitEventTimeout(&event, look_every_ms) != 0 && handle(event)) return;
  }
}

}  // namespace

std::unique_ptr<Window> Window::open(int width, int height) {
  const std::string drivers = video_drivers();
  if (width <= 0 || height <= 0 || drivers.empty()) return nullptr;
  set_hints(drivers);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  auto window = std::make_unique<SdlWindow>(width, height);
  if (window->create()) return window;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return nullptr;
}

#else

std::unique_ptr<Window> Window::open(int, int) {
  return nullptr;
}

#endif

}  // namespace display
