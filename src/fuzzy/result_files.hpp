#pragma once

// The clustering's result files: centres (.CNT), memberships (.MEM), classes
// (.CLS) and validity (.OPT), named from the output base name, and the
// scaling file SCALE.MMB. Each is created (or emptied) when it is first
// opened in the run; the blocks of later cluster counts follow in the same
// file.

#include "run/storage.hpp"
#include "run/text_file.hpp"

namespace fuzzy {

inline constexpr const char* scaling_file_name = "SCALE.MMB";

struct ResultFiles {
  explicit ResultFiles(const run::RunStorage& storage) : storage_(storage) {}

  run::TextFile cnt;
  run::TextFile mem;
  run::TextFile cls;
  run::TextFile opt;
  run::TextFile scale;  // open only when the scaling is saved

  void open_centre_file();
  // The membership, class and validity files open together.
  void open_membership_files();
  void close_all();

 private:
  void open_once(run::TextFile& file, const char* extension);
  const run::RunStorage& storage_;
};

}  // namespace fuzzy
