// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area's labels, in the window's font (Arial 9.6 pt, or the metric-compatible
// Liberation Sans) through FreeType, so that the window and `parvel-cut image` draw the
// same pixels. Without a font file, or in a build without FreeType, a small bitmap
// font: 5 x 7 pixel glyphs for printable ASCII in a 6 x 8 cell.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// A single-line text as pixels, no anti-aliasing: its box runs from the ascender line
// to the descender line and over the advance width (the bitmap font: its 6 x 8 cells).
struct Masque {
    int largeur = 0, hauteur = 0;
    std::vector<std::uint8_t> encre; // row-major, 1 where the text colour goes
    bool Encre(int x, int y) const {
        return encre[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeur) +
                     static_cast<std::size_t>(x)] != 0;
    }
};

inline constexpr double Points = 9.6;

// The font file the labels use, empty for the bitmap font; looked up once per process:
// $PARVEL_POLICE if set (empty or unreadable: the bitmap font), else Arial, else
// Liberation Sans, in Debian's font folders.
const std::string& FichierPolice();

// `texte` (UTF-8) at 9.6 points on an area of `twipsParPixel`; pixels whose coverage
// is at least half are ink.
Masque Rend(std::string_view texte, double twipsParPixel);

// A window that draws text with its platform's own font engine (the Windows window:
// Arial through GDI) renders the labels in place of the above; null puts it back.
using RenduTexte = Masque (*)(std::string_view texte, double twipsParPixel);
void DefinitRendu(RenduTexte rendu);

} // namespace parvel::police
