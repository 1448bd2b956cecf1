#pragma once
// The small bitmap font the drawing area writes its labels with: 5 x 7 pixel glyphs
// for printable ASCII in a 6 x 8 cell, so the output is the same on every system.
#include <cstdint>
#include <string_view>

namespace parvel::police {

inline constexpr int LargeurGlyphe = 5;
inline constexpr int HauteurGlyphe = 7;
inline constexpr int AvanceX = 6;      // from one character to the next
inline constexpr int HauteurLigne = 8; // the cell height, one blank row below the glyph

// Seven rows, top first; bit 4 is the leftmost column. Bytes outside 32-126 get a
// hollow box so that a stray character still shows.
const std::uint8_t* Glyphe(unsigned char c);

// Width in pixels of a single-line text, the spacing after the last character excluded.
int LargeurTexte(std::string_view texte);

} // namespace parvel::police
