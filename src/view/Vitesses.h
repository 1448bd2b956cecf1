// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The speed map: the colour of a speed on the scale from the file's slowest (blue)
// through green and yellow to its fastest (red), the legend laid over the picture, and
// the texts of speeds and times the legend and the hover readout show.
#include <cstdint>
#include <string>
#include <vector>

#include "plateforme/Surface.h"

namespace parvel {

// Lines without a speed (the first point, a move without duration).
inline constexpr std::uint32_t CouleurSansVitesse = 0x808080;

// 0xRRGGBB of `v` on the scale [min, max]; one speed alone sits in the middle.
std::uint32_t CouleurVitesse(double v, double min, double max);

// "4.2 mm/s" (two decimals below 1 mm/s), with `separateur` as the decimal point.
std::string TexteVitesse(double v, const std::string& separateur = ".");
// "12 mn 03 s", whole seconds; "1 h 02 mn 03 s" from an hour on.
std::string TexteTemps(double secondes);

// Draws the legend (the colour strip, the two speeds) in the upper-right corner of an
// image of `largeur` x `hauteur` pixels, with the labels' font at `twipsParPixel`.
void PoseLegende(std::vector<std::uint32_t>& pixels, int largeur, int hauteur, const LegendeVitesses& legende,
                 double twipsParPixel);

} // namespace parvel
