#pragma once

#include <stdexcept>
#include <string>

#include "console/printable.hpp"

namespace console {

// Thrown to end the run with one message line. main() prints the message on
// the console and returns the status; nothing already written is removed.
// Answers and file names quoted in the message show their control bytes
// escaped.
class RunStop : public std::runtime_error {
 public:
  explicit RunStop(const std::string& message, int status = 1)
      : std::runtime_error(printable(message)), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

}  // namespace console
