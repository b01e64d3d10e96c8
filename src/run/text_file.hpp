#pragma once

// A text file written through edit-descriptor layouts: the report file and
// the result files. Every character of a line is written as it stands (no
// carriage control); lines end in '\n'. A file that cannot be opened or
// written ends the run with one line naming it.

#include <fstream>
#include <string>
#include <string_view>

#include "format/layout.hpp"

namespace run {

class TextFile {
 public:
  TextFile() = default;
  explicit TextFile(const std::string& name) { open(name); }

  // Creates the file, or empties an existing one.
  void open(const std::string& name);
  bool is_open() const { return out_.is_open(); }
  const std::string& name() const { return name_; }

  void text(std::string_view text);  // as it stands
  template <class... Args>
  void print(std::string_view layout, const Args&... args) {
    text(format::render(layout, args...));
  }
  // One free-format (list-directed) record.
  template <class... Args>
  void list(const Args&... args) {
    text(format::render_list(args...));
  }
  void flush();
  void close();

 private:
  void check();
  std::ofstream out_;
  std::string name_;
};

using ReportFile = TextFile;

}  // namespace run
