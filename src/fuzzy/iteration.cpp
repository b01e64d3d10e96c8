#include "fuzzy/iteration.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace fuzzy {

namespace {

bool finite(float v) {
  return std::isfinite(v);
}

std::string at_count(const Count& count) {
  return "CLUSTER COUNT " + std::to_string(count.c) + " CANNOT BE COMPUTED: ";
}

// t(k,i) * w(i) for the samples that move the centres (weight above 0).
// U^Q and, in the extragrade phase, U(c+1,i)^Q are taken once per sample
// here rather than once per variable: the same values in fewer powers.
void centre_weights(const Tables& t, const Count& count, IterationScratch& s) {
  const bool extragrade = count.extragrade_phase();
  for (int i = 1; i <= t.nsamp; ++i) {
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

// num and den of every centre and variable, accumulated in sample order.
void centre_sums(const Tables& t, const Count& count, IterationScratch& s) {
  const std::size_t n = static_cast<std::size_t>(count.c) * t.ndim;
  std::fill(s.num.begin(), s.num.begin() + n, 0.0f);
  std::fill(s.den.begin(), s.den.begin() + n, 0.0f);
  for (int i = 1; i <= t.nsamp; ++i) {
    if (!(t.w[static_cast<std::size_t>(i - 1)] > 0.0f)) continue;
    const float* x = t.row(i);
    for (int k = 1; k <= count.c; ++k) {
      const float tw = s.tw[static_cast<std::size_t>(k - 1) * t.nsamp + (i - 1)];
      float* num = s.num.data() + static_cast<std::size_t>(k - 1) * t.ndim;
      float* den = s.den.data() + static_cast<std::size_t>(k - 1) * t.ndim;
      if (!t.any_missing) {
        for (int j = 0; j < t.ndim; ++j) {
          num[j] = num[j] + tw * x[j];
          den[j] = den[j] + tw;
        }
      } else {
        for (int j = 0; j < t.ndim; ++j) {
          if (!t.present(x[j])) continue;
          num[j] = num[j] + tw * x[j];
          den[j] = den[j] + tw;
        }
      }
    }
  }
}

}  // namespace

IterationScratch::IterationScratch(const Tables& tables)
    : tw(static_cast<std::size_t>(limits::max_classes) * tables.nsamp, 0.0f),
      num(static_cast<std::size_t>(limits::max_classes) * tables.ndim, 0.0f),
      den(num.size(), 0.0f),
      powers(limits::max_classes, 0.0f) {}

void update_centres(Tables& t, const Count& count, IterationScratch& s) {
  centre_weights(t, count, s);
  centre_sums(t, count, s);
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

float update_memberships(Tables& t, const Count& count, const norms::Scaling& scaling,
                         IterationScratch& s) {
  const int c = count.c;
  const bool extragrade = count.extragrade_phase();
  const int last = extragrade ? c + 1 : c;
  float* powers = s.powers.data();
  float max_change = 0.0f;
  for (int i = 1; i <= t.nsamp; ++i) {
    float sA = 0.0f;
    float sB = 0.0f;
    int z = 0;
    const float* x = t.row(i);
    for (int k = 1; k <= c; ++k) {
      const float d = checked_distance(scaling.distance(x, t.centre(k)), count, i, k);
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
    if (z == 0 && !(sA > 0.0f && finite(sA))) sA = rescale_powers(t, i, last, count, powers);
    for (int k = 1; k <= last; ++k) {
      const float fresh = z == 0 ? powers[k - 1] / sA : (k == z ? 1.0f : 0.0f);
      const float change = std::fabs(t.u(k, i) - fresh);
      if (change > max_change) max_change = change;
      t.u(k, i) = fresh;
    }
  }
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

void store_classes(const Tables& t, int C1, std::span<int> colours) {
  for (int i = 1; i <= t.nsamp; ++i) {
    colours[static_cast<std::size_t>(i - 1)] = largest_membership(t, i, C1).cls;
  }
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
    store_classes(tables, count.C1, log.storage.colours);
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
