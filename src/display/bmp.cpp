#include "display/bmp.hpp"

#include <fstream>

#include "display/palette.hpp"

namespace display {

namespace {

constexpr int colour_table_size = 4 * palette_size;
constexpr int pixels_per_metre = 3780;  // 96 dots per inch

void put_u16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put_u32(std::string& out, std::uint32_t v) {
  put_u16(out, v & 0xFFFF);
  put_u16(out, v >> 16);
}

void put_file_header(std::string& out, std::uint32_t file_size) {
  out += "BM";
  put_u32(out, file_size);
  put_u32(out, 0);  // two reserved words
  put_u32(out, bmp_file_header_size + bmp_info_header_size + colour_table_size);
}

void put_info_header(std::string& out, int width, int height, std::uint32_t image_size) {
  put_u32(out, bmp_info_header_size);
  put_u32(out, static_cast<std::uint32_t>(width));
  put_u32(out, static_cast<std::uint32_t>(height));  // positive: rows from the bottom up
  put_u16(out, 1);                                   // planes
  put_u16(out, bmp_bits_per_pixel);
  put_u32(out, 0);  // no compression
  put_u32(out, image_size);
  put_u32(out, pixels_per_metre);
  put_u32(out, pixels_per_metre);
  put_u32(out, palette_size);  // colours used
  put_u32(out, 0);             // all colours important
}

void put_colour_table(std::string& out) {
  for (const Rgb& c : palette) {
    out.push_back(static_cast<char>(c.blue));
    out.push_back(static_cast<char>(c.green));
    out.push_back(static_cast<char>(c.red));
    out.push_back(0);
  }
}

// Two pixels to a byte, the left one in the high half.
void put_row(std::string& out, const std::uint8_t* row, int width) {
  std::string packed(static_cast<std::size_t>(bmp_row_size(width)), '\0');
  for (int x = 0; x < width; ++x) {
    auto index = static_cast<unsigned>(palette_index(row[x]));
    packed[static_cast<std::size_t>(x / 2)] |= static_cast<char>(x % 2 == 0 ? index << 4 : index);
  }
  out += packed;
}

}  // namespace

int bmp_row_size(int width) {
  return (width * bmp_bits_per_pixel + 31) / 32 * 4;
}

std::string encode_bmp(std::span<const std::uint8_t> indices, int width, int height) {
  const auto image_size = static_cast<std::uint32_t>(bmp_row_size(width) * height);
  const std::uint32_t file_size =
      bmp_file_header_size + bmp_info_header_size + colour_table_size + image_size;
  std::string out;
  out.reserve(file_size);
  put_file_header(out, file_size);
  put_info_header(out, width, height, image_size);
  put_colour_table(out);
  for (int y = height - 1; y >= 0; --y) {
    put_row(out, indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
            width);
  }
  return out;
}

bool write_bmp(const std::string& name, std::span<const std::uint8_t> indices, int width,
               int height) {
  std::ofstream file(name, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  const std::string bytes = encode_bmp(indices, width, height);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace display
