#pragma once

// What the clustering keeps of every cluster count for the run summary and
// the class file.

#include <cstddef>
#include <vector>

#include "fuzzy/validity.hpp"
#include "limits/limits.hpp"

namespace fuzzy {

struct CountRecord {
  int c = 0;
  int C1 = 0;
  bool computed = false;  // false when the count could not be computed
  int IT = 0;
  Validity validity;
};

// Defuzzified classes G(c,i) for the cluster counts 2 .. max_classes + 1
// (the class file's columns); 0 for a count that did not run.
class RunRecord {
 public:
  static constexpr int first_column = 2;
  static constexpr int last_column = limits::max_classes + 1;

  explicit RunRecord(int nsamp)
      : nsamp_(nsamp), G_(static_cast<std::size_t>(limits::max_classes) * nsamp, 0) {}

  std::vector<CountRecord> counts;

  int& G(int c, int i) { return G_[at(c, i)]; }
  int G(int c, int i) const { return G_[at(c, i)]; }

 private:
  std::size_t at(int c, int i) const {
    return static_cast<std::size_t>(c - first_column) * static_cast<std::size_t>(nsamp_) +
           static_cast<std::size_t>(i - 1);
  }
  int nsamp_;
  std::vector<int> G_;
};

}  // namespace fuzzy
