#include "console/printable.hpp"

namespace console {

namespace {

bool is_control(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

}  // namespace

std::string printable(std::string_view text) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (!is_control(c)) {
      out += ch;
    } else if (c == 0) {
      out += "\\0";
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 0xF];
    }
  }
  return out;
}

}  // namespace console
