#include "input/sample_table.hpp"

#include <algorithm>

namespace input {

std::string fixed_width(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, std::min(text.size(), width)));
  out.resize(width, ' ');
  return out;
}

SampleTable::SampleTable()
    : title(80, ' '),
      values(static_cast<std::size_t>(limits::max_samples) * limits::max_variables, 0.0f),
      ids(limits::max_samples, std::string(10, ' ')),
      names(limits::max_variables, std::string(10, ' ')),
      log_flags(limits::max_variables, 0) {}

void SampleTable::remove_column(int w) {
  if (w < 1 || w > variable_count) return;
  for (int k = w; k < variable_count; ++k) {
    names[k - 1] = names[k];
    log_flags[k - 1] = log_flags[k];
    std::copy(column(k + 1).begin(), column(k + 1).end(), column(k).begin());
  }
  --variable_count;
}

}  // namespace input
