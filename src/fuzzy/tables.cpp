#include "fuzzy/tables.hpp"

namespace fuzzy {

Tables::Tables(const input::SampleTable& table, std::span<const float> weights, int ndim_,
               int nsamp_, float missing_)
    : ndim(ndim_),
      nsamp(nsamp_),
      missing(missing_),
      w(weights),
      names(&table.names),
      x(static_cast<std::size_t>(nsamp_) * static_cast<std::size_t>(ndim_)),
      U(static_cast<std::size_t>(limits::max_classes) * static_cast<std::size_t>(nsamp_), 0.0f),
      D(U.size(), 0.0f),
      V(static_cast<std::size_t>(limits::max_classes) * static_cast<std::size_t>(ndim_), 0.0f) {
  for (int i = 1; i <= nsamp; ++i) {
    for (int j = 1; j <= ndim; ++j) {
      float value = table.value(i, j);
      x[index(i, j, ndim)] = value;
      if (!present(value)) any_missing = true;
    }
  }
}

std::string Tables::name(int j) const {
  std::string text = (*names)[static_cast<std::size_t>(j - 1)];
  while (!text.empty() && text.back() == ' ') text.pop_back();
  while (!text.empty() && text.front() == ' ') text.erase(text.begin());
  return text;
}

}  // namespace fuzzy
