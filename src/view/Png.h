// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG output of the drawing area: 8-bit RGB, no filtering, one zlib stream. Line
// drawings on a plain background compress well without the row filters.
#include <cstdint>
#include <string>
#include <vector>

namespace parvel {

// Pixels are 0x??RRGGBB, row-major, top row first; the high byte is ignored.
// Writes through a temporary file in the same folder renamed over `chemin`, so a
// failure leaves any previous file intact; only a regular file is replaced. On failure,
// says why in `erreur` (may be null): "Erreur <n> : <description> : image <path>".
bool EcritPng(const std::string& chemin, int largeur, int hauteur, const std::uint32_t* pixels,
              std::string* erreur);

// The whole file in memory; empty when the size is not positive or the pixels are null.
std::vector<std::uint8_t> EncodePng(int largeur, int hauteur, const std::uint32_t* pixels);

} // namespace parvel
