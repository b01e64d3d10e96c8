#include <csignal>
#include <exception>
#include <iostream>

#include "console/console.hpp"
#include "console/run_stop.hpp"
#include "driver/run_driver.hpp"

int main() {
  // At a file-size limit the write fails and the run ends with its own line
  // naming the file, as on a full disk, instead of the process being killed.
  std::signal(SIGXFSZ, SIG_IGN);
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
