#pragma once

// A run of the program on a terminal of its own, as a user at the keyboard has
// it: standard input, output and error are one pseudo-terminal of a chosen
// size, the answers are typed into it, and everything the program sends to
// the terminal (escape sequences included) is kept.

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace e2e {

class TerminalRun {
 public:
  // Starts the program in `folder` on a terminal of columns x rows; it sees
  // the X display `display` (":N"), or none when that is empty.
  TerminalRun(const std::filesystem::path& folder, int columns, int rows,
              const std::string& display = "") {
    winsize size{};
    size.ws_col = static_cast<unsigned short>(columns);
    size.ws_row = static_cast<unsigned short>(rows);
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
      if (::chdir(folder.c_str()) != 0) _exit(126);
      ::unsetenv("WAYLAND_DISPLAY");
      if (display.empty()) {
        ::unsetenv("DISPLAY");
      } else {
        ::setenv("DISPLAY", display.c_str(), 1);
      }
      ::execl(TARNWICK_BINARY, TARNWICK_BINARY, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~TerminalRun() {
    if (started() && running()) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }
  TerminalRun(const TerminalRun&) = delete;
  TerminalRun& operator=(const TerminalRun&) = delete;

  bool started() const { return pid_ > 0; }
  bool running() {
    if (pid_ > 0 && !ended_ && ::waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
    return pid_ > 0 && !ended_;
  }

  // A line typed at the keyboard.
  void type(const std::string& line) {
    const std::string typed = line + "\r";
    [[maybe_unused]] const ssize_t n = ::write(master_, typed.data(), typed.size());
  }

  // Reads what the program writes until `text` has come or the program has
  // closed the terminal; the limit only keeps a broken run from hanging the test.
  bool read_until(const std::string& text, int limit_seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limit_seconds);
    while (output_.find(text) == std::string::npos) {
      if (!read_some(end)) return false;
    }
    return true;
  }

  // Takes in what the program has written so far, without waiting.
  void read_available() {
    pollfd ready{master_, POLLIN, 0};
    char buffer[4096];
    while (::poll(&ready, 1, 0) > 0) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) return;
      output_.append(buffer, static_cast<std::size_t>(n));
    }
  }

  // Reads to the end and gives the exit status; -1 when the program had to
  // be killed after the limit.
  int finish(int limit_seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limit_seconds);
    while (read_some(end)) {
    }
    while (running() && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (running()) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status_, 0);
      ended_ = true;
      return -1;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }

  const std::string& output() const { return output_; }

 private:
  // One read; false at the end of the output or of the time.
  bool read_some(std::chrono::steady_clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{master_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) return false;  // EIO: the program has closed the terminal
    output_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int master_ = -1;
  bool ended_ = false;
  int status_ = 0;
  std::string output_;
};

}  // namespace e2e
