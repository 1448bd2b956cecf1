// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Vitesses.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "view/Police.h"

namespace parvel {

namespace {

struct Arret {
    double t;
    int r, g, b;
};
// Darker green and yellow than the pure ones, so that they read on the grey background.
constexpr Arret Echelle[] = {
    {0.0, 0, 0, 255}, {1.0 / 3, 0, 176, 0}, {2.0 / 3, 224, 192, 0}, {1.0, 255, 0, 0}};

std::string Fixe(double v, int decimales) {
    char t[64];
    const auto r = std::to_chars(t, t + sizeof t, v, std::chars_format::fixed, decimales);
    return std::string(t, r.ptr);
}

} // namespace

std::uint32_t CouleurVitesse(double v, double min, double max) {
    double t = max > min ? (v - min) / (max - min) : 0.5;
    t = std::isnan(t) ? 0.5 : std::clamp(t, 0.0, 1.0);
    std::size_t i = 1;
    while (i + 1 < std::size(Echelle) && t > Echelle[i].t)
        ++i;
    const Arret& a = Echelle[i - 1];
    const Arret& b = Echelle[i];
    const double f = (t - a.t) / (b.t - a.t);
    auto canal = [f](int x, int y) { return static_cast<std::uint32_t>(std::lround(x + (y - x) * f)); };
    return canal(a.r, b.r) << 16 | canal(a.g, b.g) << 8 | canal(a.b, b.b);
}

std::string TexteVitesse(double v, const std::string& separateur) {
    std::string t = Fixe(v, std::fabs(v) < 1 ? 2 : 1);
    if (const std::size_t point = t.find('.'); point != std::string::npos)
        t.replace(point, 1, separateur);
    return t + " mm/s";
}

std::string TexteTemps(double secondes) {
    const double total = std::isfinite(secondes) && secondes > 0 ? std::floor(secondes) : 0;
    const double h = std::floor(total / 3600), mn = std::floor((total - h * 3600) / 60);
    const double s = total - h * 3600 - mn * 60;
    auto deux = [](double v) { return (v < 10 ? "0" : "") + Fixe(v, 0); };
    if (h > 0)
        return Fixe(h, 0) + " h " + deux(mn) + " mn " + deux(s) + " s";
    return Fixe(mn, 0) + " mn " + deux(s) + " s";
}

void PoseLegende(std::vector<std::uint32_t>& pixels, int largeur, int hauteur, const LegendeVitesses& l,
                 double twipsParPixel) {
    constexpr std::uint32_t Opaque = 0xFF000000u;
    const police::Masque bas = police::Rend(TexteVitesse(l.Min, l.Separateur), twipsParPixel);
    const police::Masque haut = police::Rend(TexteVitesse(l.Max, l.Separateur), twipsParPixel);
    constexpr int Marge = 4, Bande = 8, Ecart = 2;
    const int bande = std::max(100, bas.largeur + haut.largeur + 3 * Marge);
    const int l0 = bande + 2 * Marge,
              h0 = Marge + Bande + Ecart + std::max(bas.hauteur, haut.hauteur) + Marge;
    const int x0 = largeur - l0 - Marge, y0 = Marge;
    auto pose = [&](int x, int y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < largeur && y < hauteur)
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeur) +
                   static_cast<std::size_t>(x)] = Opaque | c;
    };
    // A panel in the background colour with a dark outline, so that paths under it do not blur it.
    for (int y = 0; y < h0; ++y)
        for (int x = 0; x < l0; ++x)
            pose(x0 + x, y0 + y, x == 0 || y == 0 || x == l0 - 1 || y == h0 - 1 ? 0x404040 : 0xC0C0C0);
    for (int x = 0; x < bande; ++x) {
        const double v = l.Min + (l.Max - l.Min) * x / std::max(1, bande - 1);
        for (int y = 0; y < Bande; ++y)
            pose(x0 + Marge + x, y0 + Marge + y, CouleurVitesse(v, l.Min, l.Max));
    }
    auto texte = [&](const police::Masque& m, int x, int y) {
        for (int j = 0; j < m.hauteur; ++j)
            for (int i = 0; i < m.largeur; ++i)
                if (m.Encre(i, j))
                    pose(x + i, y + j, 0x000000);
    };
    const int yt = y0 + Marge + Bande + Ecart;
    texte(bas, x0 + Marge, yt);
    texte(haut, x0 + Marge + bande - haut.largeur, yt);
}

} // namespace parvel
