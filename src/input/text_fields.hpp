#pragma once

// Pieces of screen lines and identifiers written through a layout, without
// the line end that every written record gets.

#include <string>
#include <string_view>

#include "format/layout.hpp"

namespace input {

template <class... Args>
std::string render_field(std::string_view layout, const Args&... args) {
  std::string text = format::render(layout, args...);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace input
