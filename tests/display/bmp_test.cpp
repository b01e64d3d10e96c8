#include "display/bmp.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "decoders.hpp"
#include "display/offscreen_surface.hpp"

namespace display {
namespace {

using testing::Ppm;
using testing::TempFolder;

std::uint32_t u32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
std::uint32_t u16(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}
unsigned byte(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]);
}

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

// A 5 x 3 image: every pixel a different index.
const std::vector<std::uint8_t> five_by_three = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

TEST(Bmp, HeaderFields) {
  const std::string b = encode_bmp(five_by_three, 5, 3);
  const std::uint32_t offset = 14 + 40 + 16 * 4, row = 4;
  ASSERT_EQ(b.size(), offset + 3 * row);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(u32(b, 2), b.size());
  EXPECT_EQ(u32(b, 6), 0u);
  EXPECT_EQ(u32(b, 10), offset);
  EXPECT_EQ(u32(b, 14), 40u);
  EXPECT_EQ(u32(b, 18), 5u);  // width
  EXPECT_EQ(u32(b, 22), 3u);  // height, positive: bottom-up rows
  EXPECT_EQ(u16(b, 26), 1u);  // planes
  EXPECT_EQ(u16(b, 28), 4u);  // bits per pixel
  EXPECT_EQ(u32(b, 30), 0u);  // no compression
  EXPECT_EQ(u32(b, 34), 3 * row);
  EXPECT_EQ(u32(b, 46), 16u);  // colours used
}

TEST(Bmp, ColourTableHoldsTheSixteenColoursAsBlueGreenRed) {
  const unsigned want[16][3] = {{0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
                                {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {128, 128, 128},
                                {192, 192, 192}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
                                {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
  const std::string b = encode_bmp(five_by_three, 5, 3);
  for (std::size_t i = 0; i < 16; ++i) {
    const std::size_t at = 54 + 4 * i;
    EXPECT_EQ(
        (std::vector<unsigned>{byte(b, at + 2), byte(b, at + 1), byte(b, at), byte(b, at + 3)}),
        (std::vector<unsigned>{want[i][0], want[i][1], want[i][2], 0}))
        << "entry " << i;
  }
}

TEST(Bmp, RowsGoFromTheBottomUpTwoPixelsToAByteAndArePadded) {
  const std::string b = encode_bmp(five_by_three, 5, 3);
  const std::size_t pixels = 118;
  const std::vector<unsigned> want = {0xBC, 0xDE, 0xF0, 0,   // bottom row: 11..15, padding
                                      0x67, 0x89, 0xA0, 0,   // 6..10
                                      0x12, 0x34, 0x50, 0};  // top row: 1..5
  std::vector<unsigned> got;
  for (std::size_t i = pixels; i < b.size(); ++i) got.push_back(byte(b, i));
  EXPECT_EQ(got, want);
  EXPECT_EQ(bmp_row_size(1), 4);
  EXPECT_EQ(bmp_row_size(8), 4);
  EXPECT_EQ(bmp_row_size(9), 8);
  EXPECT_EQ(bmp_row_size(1024), 512);
}

TEST(Bmp, SavingTheWholeSurfaceGivesExactlyItsSize) {
  TempFolder folder("display-bmp");
  OffscreenSurface s(30, 20);
  s.set_colour(12);
  s.rectangle(0, 0, 29, 19);
  const auto name = folder / "WHOLE.BMP";
  EXPECT_TRUE(s.save_image(name.string() + "   ", 0, 0, s.width(), s.height()));
  const std::string b = file_bytes(name);
  ASSERT_GE(b.size(), 54u);
  EXPECT_EQ(u32(b, 18), 30u);
  EXPECT_EQ(u32(b, 22), 20u);
  EXPECT_EQ(b.size(), 118u + 20 * 16);
}

TEST(Bmp, SavingARectangleTakesItRelativeToTheViewport) {
  TempFolder folder("display-bmp");
  OffscreenSurface s(30, 20);
  s.set_viewport(10, 5, 29, 19);
  s.set_colour(14);
  s.move_to(0, 0);
  s.line_to(0, 0);
  const auto name = folder / "PART.BMP";
  ASSERT_TRUE(s.save_image(name.string(), 0, 0, 2, 1));
  const std::string b = file_bytes(name);
  EXPECT_EQ(u32(b, 18), 3u);
  EXPECT_EQ(u32(b, 22), 2u);
  EXPECT_EQ(byte(b, 118 + 4), 0xE0u);  // top row, stored second: the yellow pixel first
  EXPECT_FALSE(s.save_image((folder / "no-such-folder" / "X.BMP").string(), 0, 0, 2, 1));
}

// A picture with every colour, lines, discs and text, read back by
// decoders that share nothing with the writer.
OffscreenSurface test_picture() {
  OffscreenSurface s;
  for (int c = 0; c < 16; ++c) {
    s.set_colour(c);
    s.fill_ellipse(c * 60, 10, c * 60 + 57, 90);
  }
  s.set_colour(12);
  s.move_to(0, 767);
  s.line_to(1023, 100);
  s.set_viewport(700, 300, 900, 500);
  s.set_colour(10);
  s.rectangle(0, 0, 200, 200);
  s.fill_ellipse(190, 190, 230, 230);
  s.set_colour(15);
  s.write_text(40, 10, "iteration:  37");
  s.set_viewport(0, 0, 1023, 767);  // saving is relative to the viewport
  return s;
}

void expect_decoded_back(bool (*decode)(const std::filesystem::path&, Ppm&)) {
  TempFolder folder("display-bmp");
  OffscreenSurface s = test_picture();
  const auto name = folder / "PICTURE.BMP";
  ASSERT_TRUE(s.save_image(name.string(), 0, 0, 1024, 768));
  Ppm image;
  ASSERT_TRUE(decode(name, image));
  testing::expect_same_picture(s, image);
}

TEST(Bmp, ThePythonDecoderReadsBackTheSamePixels) {
  if (!testing::python_available()) GTEST_SKIP() << "python3 is not installed";
  expect_decoded_back(testing::decode_with_python);
}

TEST(Bmp, ImageMagickReadsBackTheSamePixels) {
  if (!testing::imagemagick_available()) GTEST_SKIP() << "ImageMagick is not installed";
  expect_decoded_back(testing::decode_with_imagemagick);
}

}  // namespace
}  // namespace display
