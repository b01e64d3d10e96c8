#pragma once

// Lines of a text data file as spreadsheets and editors write them: a UTF-8
// byte-order mark at the start and CR LF line ends are taken away, and a last
// line without a line end is still a line.

#include <istream>
#include <string>

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
};

}  // namespace input
