#include "mapping/sammon.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <future>
#include <string>

#include "console/run_stop.hpp"
#include "mapping/progress.hpp"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace mapping {

namespace {

using Clock = std::chrono::steady_clock;

// Adds the time of its own life to a total.
class Stopwatch {
 public:
  explicit Stopwatch(double& total) : total_(total), start_(Clock::now()) {}
  ~Stopwatch() { total_ += std::chrono::duration<double>(Clock::now() - start_).count(); }
  Stopwatch(const Stopwatch&) = delete;
  Stopwatch& operator=(const Stopwatch&) = delete;

 private:
  double& total_;
  Clock::time_point start_;
};

// Pair terms are computed a block at a time in single precision, where they
// need no particular order, and then added into the double sums in pair order.
constexpr int block = 256;

struct PairTerms {
  double error[block];  // r^2 * D*^p
  double g[block];      // first-derivative term
  double h[block];      // second-derivative term
};

// The terms of pairs (i, j0 .. j0+len-1), with yi = Y(i,a) and yj = Y(j0..,a),
// each computed in single precision and then widened for the sums.
void pair_terms(const float* Ds, const float* d, const float* Dsp, const float* w, const float* yj,
                float yi, int len, PairTerms& out) {
  for (int b = 0; b < len; ++b) {
    const float r = (d[b] - Ds[b]) / Ds[b];
    const float error = r * r * Dsp[b];
    const float delta = yi - yj[b];
    const float q = Ds[b] / d[b];
    const float ratio = delta / d[b];
    const float g = w[b] * (1.0f - q) * delta;
    const float h = w[b] * ((1.0f - q) + q * (ratio * ratio));
    out.error[b] = error;
    out.g[b] = g;
    out.h[b] = h;
  }
}

// G1(j) and G2(j) of the later partners: each its own sum, so they can be
// added side by side.
void carry_terms(const PairTerms& terms, int len, double* G1, double* G2) {
  for (int b = 0; b < len; ++b) {
    G1[b] += terms.g[b];
    G2[b] += terms.h[b];
  }
}

// Square roots in place. Sums of squares are never negative, so the roots
// need no error path; the compiler would not take std::sqrt four at a time
// for the errno of a negative argument. The values are the same.
void square_roots(float* v, int len) {
  int b = 0;
#if defined(__SSE__)
  for (; b + 4 <= len; b += 4) _mm_storeu_ps(v + b, _mm_sqrt_ps(_mm_loadu_ps(v + b)));
#endif
  for (; b < len; ++b) v[b] = std::sqrt(v[b]);
}

// Y(i,a) - step * s1 / |s2|, in double, stored in single precision. A zero
// s2 gives no move; so does a move that single precision cannot hold.
float moved(float y, double step, double s1, double s2) {
  if (s2 == 0.0) return y;
  const float next = static_cast<float>(static_cast<double>(y) - step * s1 / std::fabs(s2));
  return std::isfinite(next) ? next : y;
}

void recompute_map(std::span<const float> x, std::span<const float> y, int n, PairTables& pairs,
                   ScratchFiles& scratch) {
  scratch.rewind_map();
  map_distances(x, y, n, pairs.map);
  scratch.keep_map(pairs);
}

// The error of iteration t, which the report and the error list must be able
// to show: a term that overflowed stops the run rather than print as garbage.
double iteration_error(double E, double SW, int t) {
  const double error = SW > 0.0 ? E / SW : 0.0;
  if (!std::isfinite(error) || !std::isfinite(static_cast<float>(error))) {
    throw console::RunStop("MAPPING ERROR OUT OF RANGE IN ITERATION " + std::to_string(t) +
                           ": CHECK THE MISSING-VALUE CODE AND THE POWER OF DISTANCES");
  }
  return error;
}

void keep_best(IterationResult& result, double E, int t, std::span<const float> x,
               std::span<const float> y) {
  if (!(E < static_cast<double>(result.best_error))) return;
  result.best_error = static_cast<float>(E);
  result.best_iteration = t;
  std::copy(x.begin(), x.end(), result.best_x.begin());
  std::copy(y.begin(), y.end(), result.best_y.begin());
}

}  // namespace

std::size_t pair_count(int n) {
  if (n < 2) return 0;
  const auto samples = static_cast<std::size_t>(n);
  return samples * (samples - 1) / 2;
}

void PairTables::resize(std::size_t pairs) {
  target.assign(pairs, 0.0f);
  target_p.assign(pairs, 0.0f);
  weight.assign(pairs, 0.0f);
  map.assign(pairs, 0.0f);
}

TargetSummary target_distances(std::span<const float> rows, int n, int m,
                               const norms::Scaling& scaling, float p, PairTables& pairs) {
  pairs.resize(pair_count(n));
  TargetSummary summary;
  const float p_minus_2 = p - 2.0f;
  double sum = 0.0;
  std::size_t k = 0;
  for (int i = 0; i + 1 < n; ++i) {
    const float* a = rows.data() + static_cast<std::size_t>(i) * m;
    for (int j = i + 1; j < n; ++j, ++k) {
      const float q = scaling.distance(a, rows.data() + static_cast<std::size_t>(j) * m);
      const float twice = 2.0f * q;
      if (twice < 0.0f) ++summary.negative;
      // sqrt of a positive float is positive: only zero (or less) needs the stand-in.
      const float Ds = twice > 0.0f ? std::sqrt(twice) : smallest_distance;
      const float Dsp = std::pow(Ds, p);
      const float w = std::pow(Ds, p_minus_2);
      if (!std::isfinite(Dsp) || !std::isfinite(w)) summary.weights_finite = false;
      pairs.target[k] = Ds;
      pairs.target_p[k] = Dsp;
      pairs.weight[k] = w;
      sum += Dsp;
    }
  }
  summary.SW = 2.0 * sum;
  return summary;
}

std::size_t pairs_without_common_variable(std::span<const float> rows, int n, int m, float missing,
                                          const norms::Scaling& scaling) {
  const int words = (m + 63) / 64;
  std::vector<std::uint64_t> present(static_cast<std::size_t>(n) * words, 0);
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < m; ++k) {
      if (rows[static_cast<std::size_t>(i) * m + k] != missing && scaling.measures(k + 1)) {
        present[static_cast<std::size_t>(i) * words + k / 64] |= std::uint64_t{1} << (k % 64);
      }
    }
  }
  std::size_t count = 0;
  for (int i = 0; i + 1 < n; ++i) {
    const std::uint64_t* a = present.data() + static_cast<std::size_t>(i) * words;
    for (int j = i + 1; j < n; ++j) {
      const std::uint64_t* b = present.data() + static_cast<std::size_t>(j) * words;
      std::uint64_t common = 0;
      for (int w = 0; w < words; ++w) common |= a[w] & b[w];
      if (common == 0) ++count;
    }
  }
  return count;
}

void map_distances(std::span<const float> x, std::span<const float> y, int n, std::span<float> d) {
  std::size_t k = 0;
  for (int i = 0; i + 1 < n; ++i) {
    const float xi = x[i];
    const float yi = y[i];
    const float* xj = &x[i + 1];
    const float* yj = &y[i + 1];
    float* row = &d[k];
    const int len = n - i - 1;
    for (int b = 0; b < len; ++b) {
      const float dx = xi - xj[b];
      const float dy = yi - yj[b];
      row[b] = dx * dx + dy * dy;
    }
    square_roots(row, len);
    for (int b = 0; b < len; ++b) row[b] = row[b] == 0.0f ? smallest_distance : row[b];
    k += static_cast<std::size_t>(len);
  }
}

void coordinate_pass(const PairTables& pairs, std::span<float> Y, int n, float step,
                     std::span<double> G1, std::span<double> G2, double& E) {
  const double factor = step;
  double error = E;  // a local sum: E itself could share memory with G1 and G2
  PairTerms terms;
  std::size_t k = 0;
  for (int i = 0; i < n; ++i) {
    double s1 = 0.0;
    double s2 = 0.0;
    for (int j0 = i + 1; j0 < n; j0 += block) {
      const int len = std::min(block, n - j0);
      pair_terms(&pairs.target[k], &pairs.map[k], &pairs.target_p[k], &pairs.weight[k], &Y[j0],
                 Y[i], len, terms);
      carry_terms(terms, len, &G1[j0], &G2[j0]);
      for (int b = 0; b < len; ++b) {
        error += terms.error[b];
        s1 += terms.g[b];
        s2 += terms.h[b];
      }
      k += static_cast<std::size_t>(len);
    }
    // The terms of the earlier partners, carried in G1 and G2; the sign of
    // delta is reversed for them, so G1 is taken off and G2 added. The last
    // sample has only these, and its sums are cleared like every other's.
    s1 = s1 - G1[i];
    s2 = s2 + G2[i];
    G1[i] = 0.0;
    G2[i] = 0.0;
    Y[i] = moved(Y[i], factor, s1, s2);
  }
  E = error;
}

void ScratchFiles::open(int n) {
  const Stopwatch watch(seconds_);
  target_.open("NLMA.TMP");
  map_.open("NLMB.TMP");
  in_use_ = n > scratch_threshold;
}

void ScratchFiles::keep_target(const PairTables& pairs) {
  if (!in_use_) return;
  const Stopwatch watch(seconds_);
  target_.dump(pairs.target);
}

void ScratchFiles::rewind_map() {
  if (!in_use_) return;
  const Stopwatch watch(seconds_);
  map_.rewind();
}

void ScratchFiles::keep_map(const PairTables& pairs) {
  if (!in_use_) return;
  const Stopwatch watch(seconds_);
  map_.dump(pairs.map);
}

void ScratchFiles::restore(PairTables& pairs) {
  if (!in_use_) return;
  const Stopwatch watch(seconds_);
  target_.rewind();
  map_.rewind();
  std::future<void> target = std::async(std::launch::async, [&] { target_.read(pairs.target); });
  map_.read(pairs.map);
  target.get();
}

IterationResult iterate(run::RunContext& run, const IterationSetup& setup, PairTables& pairs,
                        ScratchFiles& scratch, display::IterationPlots* plots) {
  run::RunStorage& storage = run.storage;
  const int n = setup.n;
  const std::span<float> x(storage.config_x.data(), static_cast<std::size_t>(n));
  const std::span<float> y(storage.config_y.data(), static_cast<std::size_t>(n));
  IterationResult result;
  result.best_x.assign(x.size(), 0.0f);
  result.best_y.assign(y.size(), 0.0f);
  std::vector<double> G1(x.size(), 0.0);
  std::vector<double> G2(x.size(), 0.0);

  run.report.print("(/,77('+'))");
  recompute_map(x, y, n, pairs, scratch);
  run.report.print("(' MAPPING ERROR:',/)");
  for (int t = 1; t <= setup.iterations; ++t) {
    double E = 0.0;
    for (const std::span<float> Y : {x, y}) {
      scratch.restore(pairs);
      coordinate_pass(pairs, Y, n, setup.step, G1, G2, E);
    }
    recompute_map(x, y, n, pairs, scratch);
    E = iteration_error(E, setup.SW, t);
    keep_best(result, E, t, x, y);
    storage.errors[static_cast<std::size_t>(t) - 1] = static_cast<float>(E);
    if (plots != nullptr) {
      plots->plot_configuration(storage.config_x, storage.config_y, n, storage.colours,
                                setup.missing, t);
      plots->plot_error_curve(t, setup.missing, t, "NLM", 0.0f, storage.errors);
    }
    run.screen.status([&] { return progress_text(t, setup.iterations, E); });
  }
  return result;
}

}  // namespace mapping
