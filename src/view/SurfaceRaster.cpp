// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/SurfaceRaster.h"

#include <algorithm>
#include <utility>

namespace parvel {

SurfaceRaster::SurfaceRaster(int largeurPx, int hauteurPx, double twipsParPixel, int bordPx)
    : raster_(std::max(1, largeurPx - 2 * bordPx), std::max(1, hauteurPx - 2 * bordPx), twipsParPixel),
      bordPx_(bordPx) {}

std::optional<PointUtilisateur> SurfaceRaster::PointSous(int x, int y) const {
    const int px = x - bordPx_, py = y - bordPx_;
    if (px < 0 || py < 0 || px >= raster_.LargeurPx() || py >= raster_.HauteurPx())
        return std::nullopt;
    return raster_.VersUtilisateur(px, py);
}

float SurfaceRaster::Largeur() const {
    return static_cast<float>((raster_.LargeurPx() + 2 * bordPx_) * raster_.TwipsParPixel());
}

float SurfaceRaster::Hauteur() const {
    return static_cast<float>((raster_.HauteurPx() + 2 * bordPx_) * raster_.TwipsParPixel());
}

void SurfaceRaster::DefinitTaille(float largeur, float hauteur) {
    const double bord = 2 * bordPx_ * raster_.TwipsParPixel();
    raster_.DefinitTaille(static_cast<float>(largeur - bord), static_cast<float>(hauteur - bord));
    TailleChangee();
    Change();
}

void SurfaceRaster::Efface() {
    raster_.Efface();
    Change();
}

void SurfaceRaster::Ligne(double x1, double y1, double x2, double y2, int couleur) {
    raster_.Ligne(x1, y1, x2, y2, couleur);
    Change();
}

void SurfaceRaster::LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) {
    raster_.LigneRGB(x1, y1, x2, y2, rgb);
    Change();
}

void SurfaceRaster::Point(double x, double y, int couleur) {
    raster_.Point(x, y, couleur);
    Change();
}

void SurfaceRaster::Cercle(double x, double y, double rayon, int couleur) {
    raster_.Cercle(x, y, rayon, couleur);
    Change();
}

void SurfaceRaster::Imprime(std::string_view texte) {
    raster_.Imprime(texte);
    Change();
}

void SurfaceRaster::ImprimeAcote(std::string_view texte, double rayon) {
    raster_.ImprimeAcote(texte, rayon);
    Change();
}

void SurfaceRaster::DefinitTexteSurvol(std::string texte) {
    raster_.DefinitTexteSurvol(std::move(texte));
    SurvolChange(raster_.TexteSurvol());
}

void SurfaceRaster::PlaceForme(Forme f, Placement p) {
    raster_.PlaceForme(f, p);
    Change();
}

void SurfaceRaster::MontreForme(Forme f, bool visible) {
    raster_.MontreForme(f, visible);
    Change();
}

void SurfaceRaster::MontreFil(std::optional<Fil> fil) {
    raster_.MontreFil(fil);
    Change();
}

void SurfaceRaster::MontreSurlignage(std::optional<Surlignage> s) {
    raster_.MontreSurlignage(s);
    Change();
}

void SurfaceRaster::MontreLegende(std::optional<LegendeVitesses> legende) {
    raster_.MontreLegende(legende);
    Change();
}

} // namespace parvel
