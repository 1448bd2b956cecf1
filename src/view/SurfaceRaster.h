// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area of a window: the software raster inside a border of a few pixels,
// which tells the window showing it when to put it on screen again. Each front end
// derives from it and adds only its widget work: the hooks below, the blit of Compose
// and the mouse. Its Largeur and Hauteur are the outer size, border included.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "view/ImageRaster.h"

namespace parvel {

class SurfaceRaster : public SurfaceDessin {
  public:
    // Outer size in pixels; the raster is what the border leaves inside.
    SurfaceRaster(int largeurPx, int hauteurPx, double twipsParPixel, int bordPx);
    SurfaceRaster(const SurfaceRaster&) = delete;
    SurfaceRaster& operator=(const SurfaceRaster&) = delete;

    ImageRaster& Raster() { return raster_; }
    const ImageRaster& Raster() const { return raster_; }
    int BordPx() const { return bordPx_; }
    // The picture with its overlays, for the window's paint; the next change asks for a
    // refresh again.
    void Compose(std::vector<std::uint32_t>& sortie) {
        rafraichissementDemande_ = false;
        raster_.Compose(sortie);
    }
    // The point of the mapping under pixel (x, y) of the area, border included; none on the border.
    std::optional<PointUtilisateur> PointSous(int x, int y) const;

    float Largeur() const override;
    float Hauteur() const override;
    void DefinitTaille(float largeur, float hauteur) override;
    Mapping LitMapping() const override { return raster_.LitMapping(); }
    void DefinitMapping(const Mapping& m) override { raster_.DefinitMapping(m); }

    void Efface() override;
    void Ligne(double x1, double y1, double x2, double y2, int couleur) override;
    void LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) override;
    void DefinitTirets(bool tirets) override { raster_.DefinitTirets(tirets); }
    void DefinitTrait(const InfoTrait* info) override { raster_.DefinitTrait(info); }
    std::optional<InfoTrait> TraitPres(float x, float y) const override { return raster_.TraitPres(x, y); }
    void Point(double x, double y, int couleur) override;
    void Cercle(double x, double y, double rayon, int couleur) override;
    void DefinitPosition(double x, double y) override { raster_.DefinitPosition(x, y); }
    void DefinitCouleurTexte(int couleur) override { raster_.DefinitCouleurTexte(couleur); }
    void Imprime(std::string_view texte) override;
    void ImprimeAcote(std::string_view texte, double rayon) override;
    void DefinitTexteSurvol(std::string texte) override;

    Placement LitForme(Forme f) const override { return raster_.LitForme(f); }
    void PlaceForme(Forme f, Placement p) override;
    bool FormeVisible(Forme f) const override { return raster_.FormeVisible(f); }
    void MontreForme(Forme f, bool visible) override;
    void MontreFil(std::optional<Fil> fil) override;
    void MontreSurlignage(std::optional<Surlignage> s) override;
    void MontreLegende(std::optional<LegendeVitesses> legende) override;

  protected:
    // The picture or what lies over it changed: called once until the next Compose, since
    // a redraw changes the picture millions of times.
    virtual void Rafraichit() = 0;
    // The outer size changed (already counted in Largeur and Hauteur).
    virtual void TailleChangee() = 0;
    virtual void SurvolChange(const std::string& texte) = 0;

  private:
    void Change() {
        if (rafraichissementDemande_)
            return;
        rafraichissementDemande_ = true;
        Rafraichit();
    }

    ImageRaster raster_;
    int bordPx_;
    bool rafraichissementDemande_ = false;
};

} // namespace parvel
