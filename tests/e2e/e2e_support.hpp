#pragma once

// Whole runs of the built program in a fresh folder: the answers go in on
// standard input, the screen comes back as text, the files stay to be read.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

inline std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> read_lines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

inline void write_file(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::string join_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

struct RunResult {
  int status = -1;
  std::string screen;
};

// A scratch folder for one test, removed at the end unless the test failed.
class Folder {
 public:
  // A test with more than one folder tells them apart by a suffix.
  explicit Folder(const std::string& suffix = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process number keeps two builds that run the same test apart.
    path_ = fs::temp_directory_path() / ("tarnwick_e2e_" + std::to_string(::getpid()) + "_" +
                                         info->test_suite_name() + "_" + info->name() + suffix);
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~Folder() {
    if (!::testing::Test::HasFailure()) fs::remove_all(path_);
  }
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

  void write(const std::string& name, const std::string& text) const {
    write_file(path_ / name, text);
  }
  std::string read(const std::string& name) const { return read_file(path_ / name); }
  std::vector<std::string> lines(const std::string& name) const { return read_lines(path_ / name); }
  bool exists(const std::string& name) const { return fs::exists(path_ / name); }

  // Runs the program in this folder with the given answer lines on standard input;
  // with a time limit, a run that hangs is killed and gives the status 124. The
  // run sees no display unless one is named (":N"): the tests open no windows on
  // the desktop of whoever runs them.
  RunResult run(const std::vector<std::string>& answers, int time_limit_seconds = 0,
                const std::string& display = "") const {
    write("stdin.txt", join_lines(answers));
    const std::string limit =
        time_limit_seconds > 0 ? "timeout " + std::to_string(time_limit_seconds) + " " : "";
    const std::string environment = display.empty()
                                        ? "env -u DISPLAY -u WAYLAND_DISPLAY "
                                        : "env -u WAYLAND_DISPLAY DISPLAY=" + display + " ";
    std::string command = "cd '" + path_.string() + "' && " + environment + limit + "'" +
                          TARNWICK_BINARY + "' < stdin.txt > screen.txt 2>&1";
    int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.screen = read("screen.txt");
    return result;
  }

 private:
  fs::path path_;
};

// The last non-empty line of a screen transcript.
inline std::string last_line(const std::string& screen) {
  std::istringstream in(screen);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty()) last = line;
  }
  return last;
}

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace e2e

namespace e2e {

// Checks that the parts appear in the text in this order.
inline ::testing::AssertionResult in_order(const std::string& text,
                                           const std::vector<std::string>& parts) {
  std::size_t at = 0;
  for (const auto& part : parts) {
    std::size_t found = text.find(part, at);
    if (found == std::string::npos) {
      return ::testing::AssertionFailure()
             << "missing (in order): \"" << part << "\" after offset " << at;
    }
    at = found + part.size();
  }
  return ::testing::AssertionSuccess();
}

// Counts how often a part occurs in the text.
inline int count_of(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace e2e

namespace e2e {

// Copies the data and dialogue files of one example (examples/<name>/) into the
// folder. Dialogue files name their data relative to a folder beside examples/;
// the copies name the local files instead.
inline void copy_example(const Folder& dir, const std::string& name) {
  const fs::path source = fs::path(TARNWICK_SOURCE_DIR) / "examples" / name;
  const std::string prefix = "../examples/" + name + "/";
  for (const auto& entry : fs::directory_iterator(source)) {
    const std::string file = entry.path().filename().string();
    std::string text = read_file(entry.path());
    if (entry.path().extension() == ".dlg") {
      std::size_t at = 0;
      while ((at = text.find(prefix, at)) != std::string::npos) text.erase(at, prefix.size());
    }
    dir.write(file, text);
  }
}

// The lines of a text, without their line ends.
inline std::vector<std::string> split_lines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

}  // namespace e2e

namespace e2e {

struct CommandResult {
  int status = -1;
  std::string out, err;
};

// Runs shell commands in the folder with no standard input, keeping their two
// output streams apart; commands that hang are killed and give the status 124.
inline CommandResult run_command(const Folder& dir, const std::string& command,
                                 int time_limit_seconds = 60) {
  dir.write("command.sh", command + "\n");
  const std::string line = "cd '" + dir.path().string() + "' && timeout " +
                           std::to_string(time_limit_seconds) +
                           " sh command.sh < /dev/null > command.out 2> command.err";
  const int raw = std::system(line.c_str());
  CommandResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = dir.read("command.out");
  result.err = dir.read("command.err");
  return result;
}

}  // namespace e2e
