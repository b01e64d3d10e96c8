#include "fuzzy/iteration.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace fuzzy {

namespace {

// Four single-precision values worked on side by side, each as it would be alone.
using FourLanes = float __attribute__((vector_size(16)));

bool finite(float v) {
  return std::isfinite(v);
}

std::string at_count(const Count& count) {
  return "CLUSTER COUNT " + std::to_string(count.c) + " CANNOT BE COMPUTED: ";
}

// t(k,i) * w(i) for the samples first..last (1-based, inclusive) that move
// the centres (weight above 0). U^Q and, in the extragrade phase,
// U(c+1,i)^Q are taken once per sample here rather than once per variable:
// the same values in fewer powers.
void centre_weights(const Tables& t, const Count& count, int first, int last, IterationScratch& s) {
  const bool extragrade = count.extragrade_phase();
  for (int i = first; i <= last; ++i) {
    const float wi = t.w[static_cast<std::size_t>(i - 1)];
    if (!(wi > 0.0f)) continue;
    const float extra_q = extragrade ? std::pow(t.u(count.c + 1, i), count.q) : 0.0f;
    for (int k = 1; k <= count.c; ++k) {
      float tk = std::pow(t.u(k, i), count.q);
      if (extragrade) {
        const float d = t.d(k, i);
        if (d >= zero_distance) tk = tk - 1.0f / (d * d) * count.A * extra_q;
      }
      s.tw[static_cast<std::size_t>(k - 1) * t.nsamp + (i - 1)] = tk * wi;
    }
  }
}

// num and den of centre k for variables j_first..j_last-1 (0-based), each
// accumulated in sample order.
void cluster_sums(const Tables& t, int k, int j_first, int j_last, IterationScratch& s) {
  const std::size_t row = static_cast<std::size_t>(k - 1) * t.ndim;
  float* num = s.num.data() + row;
  float* den = s.den.data() + row;
  const float* tw = s.tw.data() + static_cast<std::size_t>(k - 1) * t.nsamp;
  std::fill(num + j_first, num + j_last, 0.0f);
  std::fill(den + j_first, den + j_last, 0.0f);
  if (!t.any_missing) {
    // Every variable's den is then the same sum, taken once; the sums of num
    // go four variables at a time, one in each lane.
    const auto weighted = [&](int i) { return t.w[static_cast<std::size_t>(i - 1)] > 0.0f; };
    float total = 0.0f;
    for (int i = 1; i <= t.nsamp; ++i) {
      if (weighted(i)) total = total + tw[i - 1];
    }
    std::fill(den + j_first, den + j_last, total);
    int j = j_first;
    for (; j + 4 <= j_last; j += 4) {
      FourLanes sum{};
      for (int i = 1; i <= t.nsamp; ++i) {
        if (!weighted(i)) continue;
        FourLanes x;
        std::memcpy(&x, t.row(i) + j, sizeof x);
        sum = sum + tw[i - 1] * x;
      }
      std::memcpy(num + j, &sum, sizeof sum);
    }
    for (; j < j_last; ++j) {
      float sum = 0.0f;
      for (int i = 1; i <= t.nsamp; ++i) {
        if (weighted(i)) sum = sum + tw[i - 1] * t.row(i)[j];
      }
      num[j] = sum;
    }
    return;
  }
  for (int i = 1; i <= t.nsamp; ++i) {
    if (!(t.w[static_cast<std::size_t>(i - 1)] > 0.0f)) continue;
    const float* x = t.row(i);
    const float weight = tw[i - 1];
    for (int j = j_first; j < j_last; ++j) {
      if (!t.present(x[j])) continue;
      num[j] = num[j] + weight * x[j];
      den[j] = den[j] + weight;
    }
  }
}

// num and den of the centre elements first..last-1, element (k-1)*ndim +
// (j-1) for centre k and variable j.
void centre_sums(const Tables& t, std::size_t first, std::size_t last, IterationScratch& s) {
  const auto ndim = static_cast<std::size_t>(t.ndim);
  for (std::size_t row = first - first % ndim; row < last; row += ndim) {
    cluster_sums(t, static_cast<int>(row / ndim) + 1, static_cast<int>(std::max(first, row) - row),
                 static_cast<int>(std::min(last, row + ndim) - row), s);
  }
}

}  // namespace

IterationScratch::IterationScratch(const Tables& tables, int threads)
    : tw(static_cast<std::size_t>(limits::max_classes) * tables.nsamp, 0.0f),
      num(static_cast<std::size_t>(limits::max_classes) * tables.ndim, 0.0f),
      den(num.size(), 0.0f),
      centres(static_cast<std::size_t>(norms::Scaling::distance_lanes(limits::max_classes)) *
              tables.ndim),
      team(threads) {}

void update_centres(Tables& t, const Count& count, IterationScratch& s) {
  s.team.for_blocks(static_cast<std::size_t>(t.nsamp), samples_per_task,
                    [&](std::size_t first, std::size_t last) {
                      centre_weights(t, count, static_cast<int>(first) + 1, static_cast<int>(last),
                                     s);
                    });
  // One block of elements for each thread: every block goes through all samples.
  const std::size_t elements = static_cast<std::size_t>(count.c) * t.ndim;
  const auto threads = static_cast<std::size_t>(s.team.size());
  s.team.for_blocks(elements, (elements + threads - 1) / threads,
                    [&](std::size_t first, std::size_t last) { centre_sums(t, first, last, s); });
  for (int k = 1; k <= count.c; ++k) {
    for (int j = 1; j <= t.ndim; ++j) {
      const std::size_t at = static_cast<std::size_t>(k - 1) * t.ndim + (j - 1);
      if (s.den[at] == 0.0f) {
        throw CountNotComputed(at_count(count) + "CLUSTER " + std::to_string(k) +
                               " HAS NO WEIGHT ON VARIABLE " + t.name(j) +
                               " (ZERO DIVISOR IN ITS CENTRE)");
      }
      const float v = s.num[at] / s.den[at];
      if (!finite(v)) {
        throw CountNotComputed(at_count(count) + "THE CENTRE OF CLUSTER " + std::to_string(k) +
                               " ON VARIABLE " + t.name(j) + " EXCEEDS SINGLE PRECISION");
      }
      t.v(k, j) = v;
    }
  }
}

namespace {

// D(k,i)^e / sA can overflow or underflow to inf / inf or 0 / 0 for
// exponents near 1 or for very large distances. Relative to the smallest
// distance the same memberships come out in range; used only then, so all
// other results keep the plain formula.
float rescale_powers(const Tables& t, int i, int last, const Count& count, float* powers) {
  float smallest = std::numeric_limits<float>::max();
  for (int k = 1; k <= last; ++k) smallest = std::min(smallest, t.d(k, i));
  float sA = 0.0f;
  for (int k = 1; k <= last; ++k) {
    powers[k - 1] = std::pow(t.d(k, i) / smallest, count.e);
    sA = sA + powers[k - 1];
  }
  return sA;
}

float checked_distance(float d, const Count& count, int i, int k) {
  if (!finite(d)) {
    throw CountNotComputed(at_count(count) + "THE DISTANCE OF SAMPLE " + std::to_string(i) +
                           " TO CLASS " + std::to_string(k) + " IS NOT A FINITE NUMBER");
  }
  return d;
}

}  // namespace

namespace {

// Distances and memberships of samples first..last (1-based, inclusive);
// gives their largest membership change.
float sample_memberships(Tables& t, const Count& count, const norms::Scaling& scaling,
                         std::span<const float> centres, bool centres_complete, int first,
                         int last) {
  const int c = count.c;
  const bool extragrade = count.extragrade_phase();
  const int classes = extragrade ? c + 1 : c;
  // to the centres, at k - 1, with room for the lanes past c
  std::array<float, norms::Scaling::distance_lanes(limits::max_classes)> distances;
  std::array<float, limits::max_classes> powers;  // D(k,i)^e of one sample, at k - 1
  float max_change = 0.0f;
  for (int i = first; i <= last; ++i) {
    float sA = 0.0f;
    float sB = 0.0f;
    int z = 0;
    scaling.distances(t.row(i), centres.data(), c, centres_complete, distances.data());
    for (int k = 1; k <= c; ++k) {
      const float d = checked_distance(distances[k - 1], count, i, k);
      t.d(k, i) = d;
      if (d >= zero_distance) {
        powers[k - 1] = std::pow(d, count.e);
        sA = sA + powers[k - 1];
        sB = sB + 1.0f / d;
      } else {
        z = k;
      }
    }
    if (extragrade && z == 0) {
      const float d = checked_distance(count.A * sB, count, i, c + 1);
      t.d(c + 1, i) = d;
      if (d >= zero_distance) {
        powers[c] = std::pow(d, count.e);
        sA = sA + powers[c];
      } else {
        z = c + 1;
      }
    }
    if (z == 0 && !(sA > 0.0f && finite(sA)))
      sA = rescale_powers(t, i, classes, count, powers.data());
    for (int k = 1; k <= classes; ++k) {
      const float fresh = z == 0 ? powers[k - 1] / sA : (k == z ? 1.0f : 0.0f);
      const float change = std::fabs(t.u(k, i) - fresh);
      if (change > max_change) max_change = change;
      t.u(k, i) = fresh;
    }
  }
  return max_change;
}

}  // namespace

// The largest change is the same whichever way the samples are grouped.
float update_memberships(Tables& t, const Count& count, const norms::Scaling& scaling,
                         IterationScratch& s) {
  // The centres variable by variable, as the distances take them.
  const int c = count.c;
  const int lanes = norms::Scaling::distance_lanes(c);
  std::fill(s.centres.begin(), s.centres.end(), 0.0f);
  for (int k = 1; k <= c; ++k) {
    for (int j = 1; j <= t.ndim; ++j) {
      s.centres[static_cast<std::size_t>(j - 1) * lanes + (k - 1)] = t.v(k, j);
    }
  }
  const bool centres_complete = scaling.present({t.V.data(), static_cast<std::size_t>(c) * t.ndim});
  std::mutex largest;
  float max_change = 0.0f;
  s.team.for_blocks(static_cast<std::size_t>(t.nsamp), samples_per_task,
                    [&](std::size_t first, std::size_t last) {
                      const float change =
                          sample_memberships(t, count, scaling, s.centres, centres_complete,
                                             static_cast<int>(first) + 1, static_cast<int>(last));
                      const std::lock_guard<std::mutex> lock(largest);
                      if (change > max_change) max_change = change;
                    });
  return max_change;
}

LargestMembership largest_membership(const Tables& t, int i, int C1) {
  LargestMembership largest;
  for (int k = 1; k <= C1; ++k) {
    const float u = t.u(k, i);
    if (u > largest.best) largest.best = u;
    if (u == largest.best) largest.cls = k;
  }
  return largest;
}

void store_classes(const Tables& t, int C1, std::span<int> colours, parallel::Team& team) {
  team.for_blocks(static_cast<std::size_t>(t.nsamp), samples_per_task,
                  [&](std::size_t first, std::size_t last) {
                    for (std::size_t i = first; i < last; ++i) {
                      colours[i] = largest_membership(t, static_cast<int>(i) + 1, C1).cls;
                    }
                  });
}

namespace {

// The error goes into the shared list before the plots read it, and into the
// count's own list after them.
void record_error(int IT, float change, int nsamp, IterationLog& log) {
  const std::size_t at = static_cast<std::size_t>(IT - 1);
  log.storage.errors[at] = change;
  if (log.plots) {
    log.plots->plot_configuration(log.storage.config_x, log.storage.config_y, nsamp,
                                  log.storage.colours, log.missing, IT);
    log.plots->plot_error_curve(IT, log.missing, IT, log.tag, log.eps, log.storage.errors);
  }
  if (log.progress) log.progress(IT, change);
  log.err[at] = change;
}

}  // namespace

IterationOutcome iterate_count(Tables& tables, Count& count, float alpha, int max_iterations,
                               const norms::Scaling& scaling, IterationScratch& scratch,
                               IterationLog& log) {
  IterationOutcome outcome;
  for (;;) {
    update_centres(tables, count, scratch);
    outcome.last_change = update_memberships(tables, count, scaling, scratch);
    store_classes(tables, count.C1, log.storage.colours, scratch.team);
    record_error(outcome.IT, outcome.last_change, tables.nsamp, log);
    if (outcome.last_change > log.eps) {
      outcome.IT = outcome.IT + 1;
      if (outcome.IT <= max_iterations) continue;
    }
    if (count.marker != 'Y') break;
    // The extragrade phase goes on from the plain solution with the same
    // iteration number: its first error replaces the last plain one.
    count.marker = 'X';
    count.A = (1.0f - alpha) / alpha;
  }
  return outcome;
}

}  // namespace fuzzy
