#pragma once

// Independent readers of the BMP files: the Python decoder beside these
// tests, and ImageMagick where it is installed. Both give a binary PPM.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "display/offscreen_surface.hpp"
#include "display/palette.hpp"

namespace display::testing {

struct Ppm {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // row by row from the top
  Rgb at(int x, int y) const {
    const std::size_t i = 3 * (static_cast<std::size_t>(y) * width + x);
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

inline bool read_ppm(const std::filesystem::path& path, Ppm& image) {
  std::ifstream file(path, std::ios::binary);
  std::string magic;
  int maximum = 0;
  if (!(file >> magic >> image.width >> image.height >> maximum) || magic != "P6" ||
      maximum != 255) {
    return false;
  }
  file.get();  // the one white-space character after the header
  image.rgb.resize(3 * static_cast<std::size_t>(image.width) * image.height);
  file.read(reinterpret_cast<char*>(image.rgb.data()),
            static_cast<std::streamsize>(image.rgb.size()));
  return static_cast<bool>(file);
}

inline std::string shell_quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

inline bool command_works(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool python_available() {
  return command_works("python3 -c pass");
}

// The real ImageMagick only: a stand-in that cannot read BMP files says
// something else for -version.
inline bool imagemagick_available() {
  return command_works("convert -version | grep -q '^Version: ImageMagick'");
}

inline std::filesystem::path python_decoder() {
  return std::filesystem::path(TARNWICK_SOURCE_DIR) / "tests" / "display" / "bmp_decode.py";
}

inline bool decode_with_python(const std::filesystem::path& bmp, Ppm& image) {
  const std::filesystem::path out = bmp.string() + ".python.ppm";
  return command_works("python3 " + shell_quoted(python_decoder()) + " " + shell_quoted(bmp) + " " +
                       shell_quoted(out)) &&
         read_ppm(out, image);
}

inline bool decode_with_imagemagick(const std::filesystem::path& bmp, Ppm& image) {
  const std::filesystem::path out = bmp.string() + ".magick.ppm";
  return command_works("convert " + shell_quoted(bmp) + " -depth 8 " +
                       shell_quoted("ppm:" + out.string())) &&
         read_ppm(out, image);
}

// Every pixel of the decoded picture has the palette colour of the surface's pixel.
inline void expect_same_picture(const OffscreenSurface& surface, const Ppm& image) {
  ASSERT_EQ(image.width, surface.width());
  ASSERT_EQ(image.height, surface.height());
  int mismatches = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb want = palette[static_cast<std::size_t>(surface.pixel(x, y))];
      const Rgb got = image.at(x, y);
      if (got.red != want.red || got.green != want.green || got.blue != want.blue) {
        if (++mismatches <= 5) ADD_FAILURE() << "pixel (" << x << "," << y << ") differs";
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() /
              (name + "-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace display::testing
