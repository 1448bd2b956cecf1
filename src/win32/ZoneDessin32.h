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

#include "controleur/Interactions.h"
#include "view/SurfaceRaster.h"

namespace parvel::win32 {

class ZoneDessin32 : public SurfaceRaster {
  public:
    // Button (1 left, 2 right, 4 middle), Shift (1 Shift, 2 Ctrl, 4 Alt), position in the mapping's units.
    using Souris = std::function<void(short, short, float, float)>;
    static constexpr int Bord = 2; // pixels of the sunken border

    ZoneDessin32(HWND parent, int id, double twipsParPixel);
    ZoneDessin32(const ZoneDessin32&) = delete;
    ZoneDessin32& operator=(const ZoneDessin32&) = delete;

    HWND Hwnd() const { return hwnd_; }
    void PlaceEnPixels(int x, int y);
    void DefinitTwipsParPixel(double twipsParPixel) { Raster().DefinitTwipsParPixel(twipsParPixel); }

    Souris SurAppui, SurMouvement;
    std::function<void(float, float, int)> SurMolette;
    std::function<void(float, float)> SurGlisse;
    std::function<void(int, int)> SurFleche;
    std::function<void()> SurEchap;

    // Wheel notches from a WM_MOUSEWHEEL at a screen point, wherever the focus is.
    void Molette(int delta, POINT ecran);

  protected:
    // A redraw changes the picture millions of times; SurfaceRaster asks once until the next paint.
    void Rafraichit() override { InvalidateRect(hwnd_, nullptr, FALSE); }
    void TailleChangee() override;
    void SurvolChange(const std::string& texte) override;

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp);
    void Peint();
    void Appelle(const Souris& f, short bouton, short shift, int x, int y);

    HWND hwnd_ = nullptr;
    HWND bulle_ = nullptr; // the hover text's tooltip
    std::wstring texteBulle_;
    std::vector<std::uint32_t> compose_;
    std::optional<POINT> debutGlisse_;
    POINT decalage_{0, 0};
    CompteurCrans molette_;
};

} // namespace parvel::win32
