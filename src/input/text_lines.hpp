#pragma once

// Lines of a text data file as spreadsheets and editors write them: a UTF-8
// byte-order mark at the start and CR LF line ends are taken away, a lone CR
// (the line end of older Macintosh exports) ends a line too, and a last line
// without a line end is still a line.

#include <istream>
#include <string>
#include <vector>

#include "format/layout.hpp"

namespace input {

class FileLines : public format::LineSource {
 public:
  explicit FileLines(std::istream& in) : in_(in) {}
  bool next_line(std::string& line) override;
  // Number of the line last given, from 1.
  int line_number() const { return line_number_; }

 private:
  std::istream& in_;
  int line_number_ = 0;
  std::string rest_;  // what followed a lone CR on the line read last
  bool has_rest_ = false;
};

// The lines of a fixed-layout data file, without the blank lines at its end:
// editors leave them, and read as records they would be samples of zeros.
class RecordLines : public format::LineSource {
 public:
  explicit RecordLines(std::istream& in) : lines_(in) {}
  bool next_line(std::string& line) override;

 private:
  FileLines lines_;
  std::vector<std::string> held_;  // blank lines, and the line that followed them, reversed
};

}  // namespace input
