#pragma once

// The mapping's iteration computed the plain way, on one thread: every power
// taken where it is used, one pair at a time, both passes one after the
// other over shared accumulators, the map distances recomputed after every
// iteration, the last sample moved by its own formula.

#include <cmath>
#include <vector>

#include "mapping_support.hpp"

namespace mapping_test {

struct Literal {
  std::vector<float> x, y;  // configuration after the last iteration
  std::vector<float> errors;
  float best_error = 10000.0f;
  int best_iteration = 0;
  std::vector<float> target;  // D* of every pair
  std::vector<float> map;     // d of every pair after the last iteration
};

inline void literal_map(const std::vector<float>& x, const std::vector<float>& y,
                        std::vector<float>& d) {
  const int n = static_cast<int>(x.size());
  d.clear();
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      float v = std::sqrt((x[i] - x[j]) * (x[i] - x[j]) + (y[i] - y[j]) * (y[i] - y[j]));
      if (v == 0.0f) v = 0.001f;
      d.push_back(v);
    }
  }
}

// The power as the mapping gets it, an answer known only at run time: with a
// constant power the compiler may turn pow(D*, -1) into 1 / D*, which differs
// from the library's pow in the last bit now and then.
inline float run_time(float v) {
  volatile float held = v;
  return held;
}

inline Literal literal_mapping(const MappingRun& r, std::vector<float> x, std::vector<float> y,
                               float power, float step, int iterations) {
  const float p = run_time(power);
  const int n = r.table.sample_count;
  const int m = r.table.variable_count;
  const std::vector<float> rows = norms::sample_rows(r.table, n, m);
  Literal out;
  std::vector<float>& target = out.target;
  double SW = 0.0;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      float Ds = std::sqrt(2.0f * r.scaling.distance(&rows[i * m], &rows[j * m]));
      if (Ds == 0.0f) Ds = 0.001f;
      target.push_back(Ds);
      SW += std::pow(Ds, p);
    }
  }
  SW = SW * 2.0;
  std::vector<float>& d = out.map;
  literal_map(x, y, d);
  std::vector<double> G1(n, 0.0), G2(n, 0.0);
  for (int t = 1; t <= iterations; ++t) {
    double E = 0.0;
    for (std::vector<float>* Y : {&x, &y}) {
      std::size_t pair = 0;
      for (int i = 0; i < n - 1; ++i) {
        double s1 = 0.0, s2 = 0.0;
        for (int j = i + 1; j < n; ++j, ++pair) {
          const float Ds = target[pair], dd = d[pair];
          const float rr = (dd - Ds) / Ds;
          E += rr * rr * std::pow(Ds, p);
          const float delta = (*Y)[i] - (*Y)[j];
          const float q = Ds / dd;
          const float w = std::pow(Ds, p - 2.0f);
          const float g = w * (1.0f - q) * delta;
          G1[j] += g;
          s1 += g;
          const float h = w * ((1.0f - q) + q * ((delta / dd) * (delta / dd)));
          G2[j] += h;
          s2 += h;
        }
        s1 = s1 - G1[i];
        s2 = s2 + G2[i];
        G1[i] = G2[i] = 0.0;
        (*Y)[i] = static_cast<float>((*Y)[i] - static_cast<double>(step) * s1 / std::fabs(s2));
      }
      (*Y)[n - 1] = static_cast<float>((*Y)[n - 1] + static_cast<double>(step) * G1[n - 1] /
                                                         std::fabs(G2[n - 1]));
      G1[n - 1] = G2[n - 1] = 0.0;
    }
    literal_map(x, y, d);
    E = E / SW;
    if (E < out.best_error) {
      out.best_error = static_cast<float>(E);
      out.best_iteration = t;
    }
    out.errors.push_back(static_cast<float>(E));
  }
  out.x = x;
  out.y = y;
  return out;
}

// The configuration the mapping starts from on variables 1 and 2: the values
// themselves under the Euclidean norm, divided by their standard deviations
// under the others.
inline std::vector<float> starting_coordinate(const MappingRun& r, int k, int norm) {
  std::vector<float> v;
  for (int i = 1; i <= r.table.sample_count; ++i) v.push_back(r.table.value(i, k));
  if (norm != 0) {
    const float sd = std::sqrt(r.scaling.statistics().var[static_cast<std::size_t>(k) - 1]);
    for (float& value : v) value /= sd;
  }
  return v;
}

}  // namespace mapping_test
