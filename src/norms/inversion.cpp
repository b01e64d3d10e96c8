#include "norms/inversion.hpp"

#include <cmath>
#include <limits>

namespace norms {

namespace {

// A pivot must be positive and stand above the rounding noise of the sum it
// came from, which grows with the square root of its m + 1 terms. An
// exactly dependent variable (shares that add up to 100, say) leaves such
// noise in place of its zero pivot, and an inverse built on it has no
// correct digit.
bool usable_pivot(float s, float size, int terms) {
  const float noise =
      16.0f * std::sqrt(static_cast<float>(terms)) * std::numeric_limits<float>::epsilon();
  return std::isfinite(s) && s > noise * size;
}

// Row p and column p of the new border, for the overflow test.
bool border_finite(std::span<const float> c, int n, int p) {
  for (int j = 0; j <= p; ++j) {
    if (!std::isfinite(c[j * n + p]) || !std::isfinite(c[p * n + j])) return false;
  }
  return true;
}

}  // namespace

int invert_bordering(std::span<float> c, int n) {
  if (n < 1) return 0;
  auto at = [&c, n](int row, int column) -> float& { return c[row * n + column]; };
  if (!usable_pivot(at(0, 0), at(0, 0), 1)) return 1;
  at(0, 0) = 1.0f / at(0, 0);
  if (!std::isfinite(at(0, 0))) return 1;

  std::vector<float> t1(n, 0.0f);
  std::vector<float> t2(n, 0.0f);
  std::vector<float> column(n, 0.0f);
  for (int m = 1; m < n; ++m) {
    const int p = m;  // the bordering row and column, 0-based
    // t1 = B times the entry column p.
    for (int k = 0; k < m; ++k) column[k] = at(k, p);
    for (int j = 0; j < m; ++j) {
      float s = 0.0f;
      for (int k = 0; k < m; ++k) s = s + at(j, k) * column[k];
      t1[j] = s;
    }
    // The pivot: entry CC(p,p) less entry row p times t1; size is the
    // magnitude of its terms, for the noise test.
    float s = 0.0f;
    float size = at(p, p);
    for (int j = 0; j < m; ++j) {
      s = s + at(p, j) * t1[j];
      size += std::fabs(at(p, j) * t1[j]);
    }
    s = at(p, p) - s;
    if (!usable_pivot(s, size, m + 1)) return p + 1;
    at(p, p) = 1.0f / s;
    for (int j = 0; j < m; ++j) at(j, p) = -t1[j] * at(p, p);
    // t2 = entry row p times B; each t2(k) still sums in the order of j.
    for (int k = 0; k < m; ++k) t2[k] = 0.0f;
    for (int j = 0; j < m; ++j) {
      const float cpj = at(p, j);
      const float* b = &at(j, 0);
      for (int k = 0; k < m; ++k) t2[k] = t2[k] + cpj * b[k];
    }
    for (int k = 0; k < m; ++k) at(p, k) = -t2[k] * at(p, p);
    const float* border = &at(p, 0);
    for (int j = 0; j < m; ++j) {
      float* b = &at(j, 0);
      const float tj = t1[j];
      for (int k = 0; k < m; ++k) b[k] = b[k] - tj * border[k];
    }
    if (!border_finite(c, n, p)) return p + 1;
  }
  // The last block update can still overflow without touching a border.
  for (float v : c.first(static_cast<std::size_t>(n) * n)) {
    if (!std::isfinite(v)) return n;
  }
  return 0;
}

std::vector<float> check_product(std::span<const float> aa, std::span<const float> c, int n) {
  const auto size = static_cast<std::size_t>(n);
  std::vector<float> p(size * size, 0.0f);
  // Row j of P gathers AA(j,l) * C(l,k) over l in order, for all k at once.
  for (std::size_t j = 0; j < size; ++j) {
    float* out = &p[j * size];
    for (std::size_t l = 0; l < size; ++l) {
      const float a = aa[j * size + l];
      const float* row = &c[l * size];
      for (std::size_t k = 0; k < size; ++k) out[k] = out[k] + a * row[k];
    }
  }
  return p;
}

void write_identity_check(run::TextFile& report, std::span<const float> p, int n) {
  report.print("(' ',/,' CHECK MATRIX AA*AA(INVERSE)=1, THE IDENTITY',/)");
  const auto size = static_cast<std::size_t>(n);
  for (std::size_t j = 0; j < size; ++j) report.print("(10X,20F6.2)", p.subspan(j * size, size));
}

}  // namespace norms
