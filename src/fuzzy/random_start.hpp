#pragma once

// The random start of every cluster count: memberships drawn from a fixed
// table of 200 numbers, so that a run can be repeated exactly.

#include <array>

namespace fuzzy {

struct Tables;

inline constexpr int start_table_size = 200;

// Entry n (1..200) of the random start table.
float start_table_entry(int n);

// Brings a start counter into 1..200 the way the draws would wrap it, so that
// any integer selects the same entries as its remainder modulo 200.
int wrap_start_counter(int counter);

// Advances the counter (200 wraps to 1) and gives the table entry it points at.
float draw_start_number(int& counter);

// Start memberships of samples 1..nsamp for c clusters: c - 1 draws per
// sample, the last cluster taking the rest. With extragrades the extragrade
// class starts at 0. Distances to the clusters are reset to 0.
void random_start(Tables& tables, int c, bool extragrades, int& counter);

}  // namespace fuzzy
