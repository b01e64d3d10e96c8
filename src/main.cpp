#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>

#include "console/console.hpp"
#include "console/run_stop.hpp"
#include "driver/run_driver.hpp"

namespace {

namespace fs = std::filesystem;

// The folder of the guide and the examples: the configured one, or the same
// folder relative to this program when it was installed under another prefix.
fs::path installed_docs() {
  std::error_code failure;
  const fs::path program = fs::read_symlink("/proc/self/exe", failure);
  if (!failure) {
    const fs::path beside =
        (program.parent_path() / TARNWICK_DOCDIR_FROM_PROGRAM).lexically_normal();
    if (fs::is_regular_file(beside / "guide.md", failure)) return beside;
  }
  return TARNWICK_DOCDIR;
}

void print_help(std::ostream& out) {
  const fs::path docs = installed_docs();
  out << "Usage: tarnwick\n"
         "       tarnwick --help | --version\n"
         "\n"
         "Tarnwick reads a table of samples by variables (comma-separated, dBase III\n"
         "or fixed-layout text) and runs fuzzy c-means clustering, with an optional\n"
         "extragrade class, and/or Sammon non-linear mapping on it. It writes a report\n"
         "file, result files and a BMP picture of the clusterings.\n"
         "\n"
         "It takes no arguments: it asks for everything in a dialogue on the console,\n"
         "and Return takes the default shown in <>. After the first two answers\n"
         "(Y turns graphics off; then the name of a dialogue file) the remaining\n"
         "answers are read from that file, one per line, for a repeatable run:\n"
         "\n"
         "  printf 'Y\\nrun.dlg\\n' | tarnwick\n"
         "\n"
         "Guide:    "
      << (docs / "guide.md").string()
      << "\n"
         "Examples: "
      << (docs / "examples").string()
      << "\n"
         "Manual:   man tarnwick\n";
}

void print_version(std::ostream& out) {
  out << "tarnwick " TARNWICK_VERSION
         "\n"
         "Fuzzy c-means clustering with extragrades and Sammon mapping of sample data.\n"
         "It takes no arguments; tarnwick --help tells how to run it.\n"
         "Guide: "
      << (installed_docs() / "guide.md").string() << '\n';
}

// The dialogue asks for everything, so the only arguments are the two that
// describe the program. Returns the exit status when there were arguments.
std::optional<int> answer_arguments(int argc, char** argv) {
  if (argc <= 1) return std::nullopt;
  const std::string_view only = argv[1];
  if (argc == 2 && (only == "--help" || only == "--version")) {
    if (only == "--help") {
      print_help(std::cout);
    } else {
      print_version(std::cout);
    }
    // Text that could not be written (a full disk) is a failure, not a help.
    if (std::cout.flush()) return 0;
    std::cerr << "tarnwick cannot write to its standard output" << std::endl;
    return 1;
  }
  std::cerr << "tarnwick takes no arguments: it asks for everything in its dialogue"
               " (see tarnwick --help)"
            << std::endl;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // At a file-size limit the write fails and the run ends with its own line
  // naming the file, as on a full disk, instead of the process being killed.
  std::signal(SIGXFSZ, SIG_IGN);
  if (const std::optional<int> status = answer_arguments(argc, argv)) return *status;
  console::TerminalConsole screen;
  try {
    return driver::run_program(screen);
  } catch (const console::RunStop& stop) {
    std::cout << '\n' << stop.what() << std::endl;
    return stop.status();
  } catch (const std::exception& failure) {
    std::cout << '\n' << failure.what() << std::endl;
    return 1;
  }
}
