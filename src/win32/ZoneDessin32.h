// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area `Image1`: a child window showing the retained picture the core draws
// into (the same software raster as the Linux window and `parvel-cut image`, put on
// screen with GDI), with a sunken border, a cross-hair cursor and the hover text in a
// tooltip. It turns the mouse and the keys into the area's Button/Shift/X/Y arguments.
#include "win32/Systeme.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "view/ImageRaster.h"

namespace parvel::win32 {

class ZoneDessin32 : public SurfaceDessin {
  public:
    // Button (1 left, 2 right, 4 middle), Shift (1 Shift, 2 Ctrl, 4 Alt), position in the mapping's units.
    using Souris = std::function<void(short, short, float, float)>;
    static constexpr int Bord = 2; // pixels of the sunken border

    ZoneDessin32(HWND parent, int id, double twipsParPixel);
    ZoneDessin32(const ZoneDessin32&) = delete;
    ZoneDessin32& operator=(const ZoneDessin32&) = delete;

    HWND Hwnd() const { return hwnd_; }
    ImageRaster& Raster() { return raster_; }
    void PlaceEnPixels(int x, int y);
    void DefinitTwipsParPixel(double twipsParPixel);

    Souris SurAppui, SurMouvement;
    std::function<void(float, float, int)> SurMolette;
    std::function<void(float, float)> SurGlisse;
    std::function<void(int, int)> SurFleche;
    std::function<void()> SurEchap;

    // Wheel notches from a WM_MOUSEWHEEL at a screen point, wherever the focus is.
    void Molette(int delta, POINT ecran);

    float Largeur() const override;
    float Hauteur() const override;
    void DefinitTaille(float largeur, float hauteur) override;
    Mapping LitMapping() const override { return raster_.LitMapping(); }
    void DefinitScaleLeft(float v) override { raster_.DefinitScaleLeft(v); }
    void DefinitScaleTop(float v) override { raster_.DefinitScaleTop(v); }
    void DefinitScaleWidth(float v) override { raster_.DefinitScaleWidth(v); }
    void DefinitScaleHeight(float v) override { raster_.DefinitScaleHeight(v); }
    void Efface() override;
    void Ligne(double x1, double y1, double x2, double y2, int couleur) override;
    void LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) override;
    void DefinitTirets(bool tirets) override { raster_.DefinitTirets(tirets); }
    void DefinitTrait(const InfoTrait* info) override { raster_.DefinitTrait(info); }
    std::optional<InfoTrait> TraitPres(float x, float y) const override { return raster_.TraitPres(x, y); }
    void MontreLegende(std::optional<LegendeVitesses> legende) override;
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

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp);
    void Peint();
    // A redraw changes the picture millions of times, and each invalidation is a call to
    // the window system: one until the next paint.
    void Rafraichit() {
        if (rafraichissementDemande_)
            return;
        rafraichissementDemande_ = true;
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
    void Appelle(const Souris& f, short bouton, short shift, int x, int y);
    void AjusteFenetre();

    HWND hwnd_ = nullptr;
    HWND bulle_ = nullptr; // the hover text's tooltip
    std::wstring texteBulle_;
    ImageRaster raster_;
    std::vector<std::uint32_t> compose_;
    std::optional<POINT> debutGlisse_;
    POINT decalage_{0, 0};
    int resteMolette_ = 0;
    bool rafraichissementDemande_ = false;
};

} // namespace parvel::win32
