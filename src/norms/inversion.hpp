#pragma once

// The bordering inversion of a covariance matrix in place, and the check
// product AA * AA(inverse) that the report shows.

#include <span>
#include <vector>

#include "run/text_file.hpp"

namespace norms {

// Replaces c (n x n, row by row) by its inverse: the inverse of the leading
// 1 x 1 block is bordered by one row and one column at a time, in single
// precision, without pivoting. Returns 0, or the 1-based number of the row
// whose pivot was not finite, or not above the rounding noise of its sum
// (zero, negative or zero but for rounding), or whose border overflowed;
// c then holds partial results. A covariance matrix has only positive pivots
// unless it is singular (or, with missing values, not a covariance at all).
int invert_bordering(std::span<float> c, int n);

// P = AA * C, each entry summed from 0.0 in the order of the inner index.
std::vector<float> check_product(std::span<const float> aa, std::span<const float> c, int n);

// The heading and one (10X,20F6.2) write per row of P.
void write_identity_check(run::TextFile& report, std::span<const float> p, int n);

}  // namespace norms
