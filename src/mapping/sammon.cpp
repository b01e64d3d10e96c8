#include "mapping/sammon.hpp"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>

#include "console/run_stop.hpp"
#include "mapping/progress.hpp"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

// The pair loops are compiled twice, for any x86-64 and for one with AVX2,
// and the machine's own is picked when the program starts. Both give the same
// bits: every operation is rounded as written, and nothing is fused. The
// thread sanitizer cannot run the code that picks (it runs before the
// sanitizer is set up), so its builds get the one for any x86-64.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define WITHOUT_WIDER_VECTORS
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define WITHOUT_WIDER_VECTORS
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(WITHOUT_WIDER_VECTORS)
#define WITH_WIDER_VECTORS [[gnu::target_clones("avx2", "default")]]
#else
#define WITH_WIDER_VECTORS
#endif

namespace mapping {

namespace {

// Pair terms are computed a block at a time in single precision, where they
// need no particular order, and then added into the double sums in pair order.
constexpr int block = 128;

// Pairs shared out among threads go in blocks of at least this many.
constexpr std::size_t pairs_per_task = 16384;

// The pair number of (i, i+1), the first pair of row i (0-based).
std::size_t row_start(int i, int n) {
  const auto r = static_cast<std::size_t>(i);
  return r * (2 * static_cast<std::size_t>(n) - r - 1) / 2;
}

// The row that holds pair k.
int row_of_pair(std::size_t k, int n) {
  int low = 0, high = n - 2;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (row_start(middle, n) <= k) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

// Calls visit(i, j0, len, k) for the pieces of rows that make up pairs
// [first, last), in pair order: pairs (i, j0 .. j0+len-1), numbered from k.
template <class Visit>
void visit_pairs(int n, std::size_t first, std::size_t last, Visit visit) {
  if (first >= last) return;
  int i = row_of_pair(first, n);
  std::size_t k = first;
  int j0 = i + 1 + static_cast<int>(first - row_start(i, n));
  while (k < last) {
    const int len = static_cast<int>(std::min<std::size_t>(n - j0, last - k));
    visit(i, j0, len, k);
    k += static_cast<std::size_t>(len);
    ++i;
    j0 = i + 1;
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

// d of pairs (i, j0 .. j0+len-1) with xi = x(i), xj = x(j0..), and so for y.
[[gnu::always_inline]] inline void row_distances(const float* xj, const float* yj, float xi,
                                                 float yi, int len, float* d) {
  for (int b = 0; b < len; ++b) {
    const float dx = xi - xj[b];
    const float dy = yi - yj[b];
    d[b] = dx * dx + dy * dy;
  }
  square_roots(d, len);
  for (int b = 0; b < len; ++b) d[b] = d[b] == 0.0f ? smallest_distance : d[b];
}

struct PairTerms {
  double g[block];  // first-derivative term
  double h[block];  // second-derivative term
};

// The derivative terms of pairs (i, j0 .. j0+len-1), with yi = Y(i,a) and
// yj = Y(j0..,a), each computed in single precision and then widened for the
// sums.
void derivative_terms(const float* Ds, const float* w, const float* d, const float* yj, float yi,
                      int len, PairTerms& out) {
  for (int b = 0; b < len; ++b) {
    const float delta = yi - yj[b];
    const float q = Ds[b] / d[b];
    const float ratio = delta / d[b];
    const float g = w[b] * (1.0f - q) * delta;
    const float h = w[b] * ((1.0f - q) + q * (ratio * ratio));
    out.g[b] = g;
    out.h[b] = h;
  }
}

// r^2 * D*^p with r = (d - D*) / D*.
void pair_errors(const float* Ds, const float* Dsp, const float* d, int len, float* error) {
  for (int b = 0; b < len; ++b) {
    const float r = (d[b] - Ds[b]) / Ds[b];
    error[b] = r * r * Dsp[b];
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

// Y(i,a) - step * s1 / |s2|, in double, stored in single precision. A zero
// s2 gives no move; so does a move that single precision cannot hold.
float moved(float y, double step, double s1, double s2) {
  if (s2 == 0.0) return y;
  const float next = static_cast<float>(static_cast<double>(y) - step * s1 / std::fabs(s2));
  return std::isfinite(next) ? next : y;
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

// G1 and G2 of one pass.
struct Accumulators {
  explicit Accumulators(std::size_t n) : G1(n, 0.0), G2(n, 0.0) {}
  std::vector<double> G1, G2;
};

void keep_best(IterationResult& result, double E, int t, std::span<const float> x,
               std::span<const float> y) {
  if (!(E < static_cast<double>(result.best_error))) return;
  result.best_error = static_cast<float>(E);
  result.best_iteration = t;
  std::copy(x.begin(), x.end(), result.best_x.begin());
  std::copy(y.begin(), y.end(), result.best_y.begin());
}

// What one block of pairs found besides its distances.
struct TargetBlock {
  std::size_t negative = 0;
  bool weights_finite = true;
  bool powers_are_distances = true;  // every D*^p equals D* bit for bit
};

TargetBlock target_block(std::span<const float> rows, int n, int m, const norms::Scaling& scaling,
                         float p, std::size_t first, std::size_t last, PairTables& pairs) {
  TargetBlock found;
  const float p_minus_2 = p - 2.0f;
  visit_pairs(n, first, last, [&](int i, int j0, int len, std::size_t k) {
    const float* a = rows.data() + static_cast<std::size_t>(i) * m;
    for (int b = 0; b < len; ++b) {
      const float* other = rows.data() + static_cast<std::size_t>(j0 + b) * m;
      const float twice = 2.0f * scaling.distance(a, other);
      if (twice < 0.0f) ++found.negative;
      // sqrt of a positive float is positive: only zero (or less) needs the stand-in.
      const float Ds = twice > 0.0f ? std::sqrt(twice) : smallest_distance;
      const float Dsp = std::pow(Ds, p);
      const float w = std::pow(Ds, p_minus_2);
      if (!std::isfinite(Dsp) || !std::isfinite(w)) found.weights_finite = false;
      if (std::bit_cast<std::uint32_t>(Dsp) != std::bit_cast<std::uint32_t>(Ds)) {
        found.powers_are_distances = false;
      }
      pairs.target[k + b] = Ds;
      pairs.target_p[k + b] = Dsp;
      pairs.weight[k + b] = w;
    }
  });
  return found;
}

}  // namespace

std::size_t pair_count(int n) {
  if (n < 2) return 0;
  const auto samples = static_cast<std::size_t>(n);
  return samples * (samples - 1) / 2;
}

TargetSummary target_distances(std::span<const float> rows, int n, int m,
                               const norms::Scaling& scaling, float p, PairTables& pairs,
                               parallel::Team& team) {
  const std::size_t count = pair_count(n);
  pairs.target.assign(count, 0.0f);
  pairs.target_p.assign(count, 0.0f);
  pairs.weight.assign(count, 0.0f);
  std::vector<TargetBlock> blocks;
  std::mutex blocks_mutex;
  team.for_blocks(count, pairs_per_task, [&](std::size_t first, std::size_t last) {
    const TargetBlock found = target_block(rows, n, m, scaling, p, first, last, pairs);
    const std::lock_guard<std::mutex> lock(blocks_mutex);
    blocks.push_back(found);
  });
  TargetSummary summary;
  bool powers_are_distances = true;
  for (const TargetBlock& found : blocks) {
    summary.negative += found.negative;
    summary.weights_finite = summary.weights_finite && found.weights_finite;
    powers_are_distances = powers_are_distances && found.powers_are_distances;
  }
  // With p = 1 the powers are the distances themselves: one table serves both.
  if (powers_are_distances) std::vector<float>().swap(pairs.target_p);
  double sum = 0.0;
  const float* Dsp = pairs.powers();
  for (std::size_t k = 0; k < count; ++k) sum += Dsp[k];
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

void map_distances(std::span<const float> x, std::span<const float> y, int n, std::span<float> d,
                   parallel::Team& team) {
  team.for_blocks(pair_count(n), pairs_per_task, [&](std::size_t first, std::size_t last) {
    visit_pairs(n, first, last, [&](int i, int j0, int len, std::size_t k) {
      row_distances(&x[j0], &y[j0], x[i], y[i], len, &d[k]);
    });
  });
}

WITH_WIDER_VECTORS void coordinate_pass(const PairTables& pairs, const StartingPoints& start, int a,
                                        std::span<float> Y, float step, std::span<double> G1,
                                        std::span<double> G2) {
  const int n = static_cast<int>(Y.size());
  const std::span<const float> Y0 = a == 0 ? start.x : start.y;
  const double factor = step;
  float d[block];
  PairTerms terms;
  std::size_t k = 0;
  for (int i = 0; i < n; ++i) {
    double s1 = 0.0;
    double s2 = 0.0;
    for (int j0 = i + 1; j0 < n; j0 += block) {
      const int len = std::min(block, n - j0);
      row_distances(&start.x[j0], &start.y[j0], start.x[i], start.y[i], len, d);
      derivative_terms(&pairs.target[k], &pairs.weight[k], d, &Y0[j0], Y0[i], len, terms);
      carry_terms(terms, len, &G1[j0], &G2[j0]);
      for (int b = 0; b < len; ++b) {
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
    Y[i] = moved(Y0[i], factor, s1, s2);
  }
}

WITH_WIDER_VECTORS double add_error_terms(const PairTables& pairs, const StartingPoints& start,
                                          double E) {
  const int n = static_cast<int>(start.x.size());
  const float* Dsp = pairs.powers();
  float d[block];
  float e[block];
  std::size_t k = 0;
  for (int i = 0; i < n; ++i) {
    for (int j0 = i + 1; j0 < n; j0 += block) {
      const int len = std::min(block, n - j0);
      row_distances(&start.x[j0], &start.y[j0], start.x[i], start.y[i], len, d);
      pair_errors(&pairs.target[k], &Dsp[k], d, len, e);
      for (int b = 0; b < len; ++b) E += e[b];
      k += static_cast<std::size_t>(len);
    }
  }
  return E;
}

namespace {

// The moves of one iteration, into x and y, and its error sum E.
//
// Both passes and the error terms come from the configuration as the
// iteration found it (start), and the passes move different coordinates, so
// all of it can run side by side. The error terms are the same in both
// passes: they are added up once in pair order and once more, in the same
// order, onto that sum. The second sum waits for the first; on one thread
// the first task runs before the second.
double move_samples(const PairTables& pairs, const StartingPoints& start, std::span<float> x,
                    std::span<float> y, float step, Accumulators (&G)[2], parallel::Team& team) {
  double E = 0.0;
  std::atomic<bool> first_sum_done{false};
  team.run(2, [&](std::size_t task) {
    if (task == 0) {
      E = add_error_terms(pairs, start, 0.0);
      first_sum_done.store(true);
      first_sum_done.notify_all();
      coordinate_pass(pairs, start, 1, y, step, G[1].G1, G[1].G2);
    } else {
      coordinate_pass(pairs, start, 0, x, step, G[0].G1, G[0].G2);
      first_sum_done.wait(false);
      E = add_error_terms(pairs, start, E);
    }
  });
  return E;
}

}  // namespace

IterationResult iterate(run::RunContext& run, const IterationSetup& setup, const PairTables& pairs,
                        parallel::Team& team, display::IterationPlots* plots,
                        const AfterIteration& after) {
  run::RunStorage& storage = run.storage;
  const int n = setup.n;
  const auto samples = static_cast<std::size_t>(n);
  const std::span<float> x(storage.config_x.data(), samples);
  const std::span<float> y(storage.config_y.data(), samples);
  IterationResult result;
  result.best_x.assign(samples, 0.0f);
  result.best_y.assign(samples, 0.0f);
  std::vector<float> x0(samples), y0(samples);
  Accumulators G[2] = {Accumulators(samples), Accumulators(samples)};  // one pair for each pass

  run.report.print("(/,77('+'))");
  run.report.print("(' MAPPING ERROR:',/)");
  for (int t = 1; t <= setup.iterations; ++t) {
    std::copy(x.begin(), x.end(), x0.begin());
    std::copy(y.begin(), y.end(), y0.begin());
    double E = move_samples(pairs, {x0, y0}, x, y, setup.step, G, team);
    E = iteration_error(E, setup.SW, t);
    keep_best(result, E, t, x, y);
    storage.errors[static_cast<std::size_t>(t) - 1] = static_cast<float>(E);
    if (plots != nullptr) {
      plots->plot_configuration(storage.config_x, storage.config_y, n, storage.colours,
                                setup.missing, t);
      plots->plot_error_curve(t, setup.missing, t, "NLM", 0.0f, storage.errors);
    }
    run.screen.status([&] { return progress_text(t, setup.iterations, E); });
    if (after) after(t);
  }
  return result;
}

}  // namespace mapping
