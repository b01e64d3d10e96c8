#pragma once

// The 16-colour palette of the drawing surface. Indices outside it select
// its last entry, so the callers' 21 and 22 (and an unclassified 99) are white.

#include <array>
#include <cstdint>

namespace display {

struct Rgb {
  std::uint8_t red, green, blue;
};

inline constexpr int palette_size = 16;

inline constexpr std::array<Rgb, palette_size> palette = {{
    {0, 0, 0},
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
    {128, 128, 128},
    {192, 192, 192},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {255, 255, 255},
}};

// The palette entry an index selects.
constexpr int palette_index(int index) {
  return index >= 0 && index < palette_size ? index : palette_size - 1;
}

}  // namespace display
