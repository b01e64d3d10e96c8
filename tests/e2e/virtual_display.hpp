#pragma once

// A virtual X server of its own for the tests that need a display, and what a
// user does with a window on it: find it by its title, look at its pixels,
// press a key in it, close it. Built only where the tests can use Xlib.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// A window's picture as the X server holds it.
struct WindowPicture {
  int width = 0, height = 0;
  std::vector<unsigned long> rgb;  // 0xRRGGBB, row by row from the top
  unsigned long at(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

class VirtualDisplay {
 public:
  // Starts Xvfb on a free display number, with a screen large enough for the
  // program's window at its own size.
  VirtualDisplay() {
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) return;
    server_ = ::fork();
    if (server_ == 0) {
      ::close(pipe_ends[0]);
      const std::string fd = std::to_string(pipe_ends[1]);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    ::close(pipe_ends[1]);
    const std::string number = read_display_number(pipe_ends[0]);
    ::close(pipe_ends[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    connection_ = XOpenDisplay(name_.c_str());
    if (connection_ != nullptr) XSetErrorHandler(ignore_error);
  }
  ~VirtualDisplay() { stop(); }

  // Ends the X server, as a display that goes away under its clients.
  void stop() {
    if (connection_ != nullptr) XCloseDisplay(connection_);
    connection_ = nullptr;
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      ::waitpid(server_, nullptr, 0);
    }
    server_ = -1;
  }
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  bool running() const { return connection_ != nullptr; }
  const std::string& name() const { return name_; }

  // The top-level window with this title; 0 when there is none.
  ::Window find_window(const std::string& title) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    ::Window found = 0;
    if (XQueryTree(connection_, DefaultRootWindow(connection_), &root, &parent, &children,
                   &count) != 0) {
      for (unsigned int i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(connection_, children[i], &name) != 0 && name != nullptr) {
          if (title == name && is_viewable(children[i])) found = children[i];
          XFree(name);
        }
      }
      if (children != nullptr) XFree(children);
    }
    return found;
  }

  // Looks for the window until it shows or the limit (a guard against a
  // hanging test, no measure) runs out.
  ::Window wait_for_window(const std::string& title, int limit_seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limit_seconds);
    for (;;) {
      if (const ::Window w = find_window(title); w != 0) return w;
      if (std::chrono::steady_clock::now() >= end) return 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  std::optional<WindowPicture> picture(::Window w) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(connection_, w, &attributes) == 0) return std::nullopt;
    XImage* image = XGetImage(connection_, w, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return std::nullopt;
    WindowPicture picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.reserve(static_cast<std::size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const unsigned long p = XGetPixel(image, x, y);
        picture.rgb.push_back(channel(p, image->red_mask) << 16 |
                              channel(p, image->green_mask) << 8 | channel(p, image->blue_mask));
      }
    }
    XDestroyImage(image);
    return picture;
  }

  // A key pressed and let go with the pointer in the window.
  void press_key(::Window w) {
    XSetInputFocus(connection_, w, RevertToParent, CurrentTime);
    XKeyEvent key{};
    key.display = connection_;
    key.window = w;
    key.root = DefaultRootWindow(connection_);
    key.same_screen = True;
    key.keycode = XKeysymToKeycode(connection_, XK_space);
    for (const int type : {KeyPress, KeyRelease}) {
      key.type = type;
      XSendEvent(connection_, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                 reinterpret_cast<XEvent*>(&key));
    }
    XFlush(connection_);
  }

  // What a window manager sends when the user clicks the window's close box.
  void close_window(::Window w) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = w;
    message.xclient.message_type = XInternAtom(connection_, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] =
        static_cast<long>(XInternAtom(connection_, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(connection_, w, False, NoEventMask, &message);
    XFlush(connection_);
  }

 private:
  static int ignore_error(Display*, XErrorEvent*) { return 0; }

  // Xvfb writes the number of the display it took once it accepts clients.
  static std::string read_display_number(int fd) {
    std::string number;
    pollfd ready{fd, POLLIN, 0};
    char c = 0;
    while (::poll(&ready, 1, 20000) > 0 && ::read(fd, &c, 1) == 1 && c != '\n') number += c;
    return c == '\n' ? number : std::string();
  }

  bool is_viewable(::Window w) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(connection_, w, &attributes) != 0 &&
           attributes.map_state == IsViewable;
  }

  static unsigned long channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long top = mask >> shift;
    return top == 255 ? value : value * 255 / top;
  }

  pid_t server_ = -1;
  std::string name_;
  Display* connection_ = nullptr;
};

}  // namespace e2e
