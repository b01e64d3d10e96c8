#pragma once

// The fixed sizes of the program's tables. Every table is sized by these for
// the whole run; nothing grows with the data beyond them.
namespace limits {

inline constexpr int max_samples = 5000;
inline constexpr int max_variables = 200;
inline constexpr int max_iterations = 500;
inline constexpr int max_classes = 35;

}  // namespace limits
