#pragma once

// Windows BMP files of palette images: a 14-byte file header, a 40-byte
// information header, the 16-colour table and 4-bit pixels, the rows stored
// from the bottom up and each padded to a multiple of four bytes.

#include <cstdint>
#include <span>
#include <string>

namespace display {

inline constexpr int bmp_file_header_size = 14;
inline constexpr int bmp_info_header_size = 40;
inline constexpr int bmp_bits_per_pixel = 4;

// Bytes of one stored pixel row, padding included.
int bmp_row_size(int width);

// The whole file for an image of palette indices given row by row from the
// top, width * height of them.
std::string encode_bmp(std::span<const std::uint8_t> indices, int width, int height);

// Creates or overwrites the file; false when it cannot be written.
bool write_bmp(const std::string& name, std::span<const std::uint8_t> indices, int width,
               int height);

}  // namespace display
