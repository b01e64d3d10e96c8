#pragma once

// The built-in font of the text grid: 5 x 7 glyphs for the printable ASCII
// characters, drawn with doubled rows into 8 x 16 pixel cells.

namespace display {

inline constexpr int cell_width = 8;
inline constexpr int cell_height = 16;
inline constexpr int glyph_columns = 5;
inline constexpr int glyph_rows = 7;

// Seven rows of five characters, '#' for a lit dot. A character outside
// the printable range shows as '?'.
const char* const* glyph(char c);

}  // namespace display
