#include "driver/run_driver.hpp"

namespace driver {

int run_program(console::Console& screen) {
  screen.line(" RUN DRIVER NOT YET BUILT");
  return 0;
}

}  // namespace driver
