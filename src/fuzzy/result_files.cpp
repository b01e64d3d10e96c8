#include "fuzzy/result_files.hpp"

namespace fuzzy {

void ResultFiles::open_once(run::TextFile& file, const char* extension) {
  if (!file.is_open()) file.open(storage_.result_name(extension));
}

void ResultFiles::open_centre_file() {
  open_once(cnt, ".CNT");
}

void ResultFiles::open_membership_files() {
  open_once(mem, ".MEM");
  open_once(cls, ".CLS");
  open_once(opt, ".OPT");
}

// Closed before the routine returns, so that the cluster panels can read
// the class and validity files back.
void ResultFiles::close_all() {
  cnt.close();
  mem.close();
  cls.close();
  opt.close();
  scale.close();
}

}  // namespace fuzzy
