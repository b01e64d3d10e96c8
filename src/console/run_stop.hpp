#pragma once

#include <stdexcept>
#include <string>

namespace console {

// Thrown to end the run with one message line. main() prints the message on
// the console and returns the status; nothing already written is removed.
class RunStop : public std::runtime_error {
 public:
  explicit RunStop(const std::string& message, int status = 1)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

}  // namespace console
