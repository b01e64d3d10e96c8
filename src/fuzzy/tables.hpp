#pragma once

// The working tables of the clustering, sized once for the whole call:
// memberships U(k,i), distances D(k,i), centres V(k,j) and a row-major copy
// of the value matrix, so that a sample's values lie next to each other for
// the distance. Classes, samples and variables are numbered from 1.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "input/sample_table.hpp"
#include "limits/limits.hpp"

namespace fuzzy {

struct Tables {
  Tables(const input::SampleTable& table, std::span<const float> weights, int ndim, int nsamp,
         float missing);

  int ndim;
  int nsamp;
  float missing;
  bool any_missing = false;               // some value of the nsamp x ndim matrix is missing
  std::span<const float> w;               // sample weights
  const std::vector<std::string>* names;  // variable names, for messages

  std::vector<float> x;  // x(i,j) at (i-1)*ndim + (j-1)
  std::vector<float> U;  // U(k,i) at (i-1)*max_classes + (k-1)
  std::vector<float> D;  // D(k,i), same places
  std::vector<float> V;  // V(k,j) at (k-1)*ndim + (j-1)

  const float* row(int i) const { return x.data() + index(i, 1, ndim); }
  float value(int i, int j) const { return x[index(i, j, ndim)]; }
  bool present(float v) const { return v != missing; }
  // The variable's name without its padding.
  std::string name(int j) const;
  float& u(int k, int i) { return U[index(i, k, limits::max_classes)]; }
  float u(int k, int i) const { return U[index(i, k, limits::max_classes)]; }
  float& d(int k, int i) { return D[index(i, k, limits::max_classes)]; }
  float d(int k, int i) const { return D[index(i, k, limits::max_classes)]; }
  float* centre(int k) { return V.data() + index(k, 1, ndim); }
  const float* centre(int k) const { return V.data() + index(k, 1, ndim); }
  float& v(int k, int j) { return V[index(k, j, ndim)]; }
  float v(int k, int j) const { return V[index(k, j, ndim)]; }

 private:
  static std::size_t index(int outer, int inner, int stride) {
    return static_cast<std::size_t>(outer - 1) * static_cast<std::size_t>(stride) +
           static_cast<std::size_t>(inner - 1);
  }
};

}  // namespace fuzzy
