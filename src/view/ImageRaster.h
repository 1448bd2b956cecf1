// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area as a software raster: the window shows its pixels and `parvel-cut
// image` writes them to PNG, so both draw with the same code. One-pixel pen, no
// anti-aliasing, pixels stored as 0xFFRRGGBB, row-major, top row first. A point maps to
// the pixel its position falls in, except that the mapping's bottom edge (Y = 0 of a
// block in a full view) lies on the last row rather than just below it.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plateforme/Surface.h"

namespace parvel {

namespace police {
struct Masque;
}

// A point in the mapping's units, as the mouse reports it.
struct PointUtilisateur {
    float X = 0, Y = 0;
};

class ImageRaster final : public SurfaceDessin {
  public:
    static constexpr std::uint32_t Fond = 0xC0C0C0;
    // Bound on each side so that a runaway size computed by the caller cannot exhaust memory.
    static constexpr int TailleMaxPx = 16384;

    ImageRaster(int largeurPx, int hauteurPx, double twipsParPixel = 15.0);

    float Largeur() const override;
    float Hauteur() const override;
    // Rounds to whole pixels (1 to TailleMaxPx), keeping the picture at the top-left.
    void DefinitTaille(float largeur, float hauteur) override;
    void Redimensionne(int largeurPx, int hauteurPx);
    double TwipsParPixel() const { return twipsParPixel_; }
    // Ignored unless finite and positive. The pixels stay; the size in twips follows.
    void DefinitTwipsParPixel(double twipsParPixel);

    Mapping LitMapping() const override;
    void DefinitMapping(const Mapping& m) override;

    // Also puts the current position back at (0, 0), as the platform's Cls does.
    void Efface() override;
    // The end point (x2, y2) becomes the current position. Colours outside 0-15 draw nothing.
    void Ligne(double x1, double y1, double x2, double y2, int couleur) override;
    void LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) override;
    // Dashes of LongueurTiret pixels every PeriodeTirets, the pattern running on from one
    // line to the next so that a path of short segments still reads as dashed.
    void DefinitTirets(bool tirets) override { tirets_ = tirets; }
    static constexpr int LongueurTiret = 5, PeriodeTirets = 8;
    void Point(double x, double y, int couleur) override;
    // The radius is in X units; the centre becomes the current position.
    void Cercle(double x, double y, double rayon, int couleur) override;
    void DefinitPosition(double x, double y) override;
    void DefinitCouleurTexte(int couleur) override;
    // Transparent background; the current position does not move.
    void Imprime(std::string_view texte) override;
    // Right of the circle, else left, above or below it, else one to three lines further
    // out: the first place inside the area and clear of the labels placed since Efface,
    // failing that the first of the four inside it. The same label again (a redraw over
    // the picture) goes where it went. Nothing when the centre is off the area.
    void ImprimeAcote(std::string_view texte, double rayon) override;
    // Width and height in pixels of the box Imprime fills from the current position.
    std::pair<int, int> TailleTextePx(std::string_view texte) const;

    void DefinitTexteSurvol(std::string texte) override;
    const std::string& TexteSurvol() const { return texteSurvol_; }

    // Lines keep their info per pixel (16 bytes a pixel, allocated on first use) until
    // Efface or a change of size; TraitPres looks RayonTraitPx pixels around the point.
    void DefinitTrait(const InfoTrait* info) override;
    std::optional<InfoTrait> TraitPres(float x, float y) const override;
    static constexpr int RayonTraitPx = 4;
    // Efface hides the legend with the picture it belongs to.
    void MontreLegende(std::optional<LegendeVitesses> legende) override { legende_ = legende; }
    const std::optional<LegendeVitesses>& Legende() const { return legende_; }

    Placement LitForme(Forme f) const override;
    void PlaceForme(Forme f, Placement p) override;
    bool FormeVisible(Forme f) const override;
    void MontreForme(Forme f, bool visible) override;
    // Drawn by Compose, over the shapes and under the rubber band.
    void MontreFil(std::optional<Fil> fil) override { fil_ = fil; }
    const std::optional<Fil>& FilMontre() const { return fil_; }
    // Drawn by Compose under the wire: both paths' segments thick in light red, with a
    // ring round where each starts, so that a line is found in a whole drawing.
    void MontreSurlignage(std::optional<Surlignage> s) override { surlignage_ = s; }
    const std::optional<Surlignage>& SurlignageMontre() const { return surlignage_; }
    static constexpr std::uint32_t CouleurSurlignage = 0xFF0000;

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    int CouleurTexte() const { return couleurTexte_; }

    // The mouse position of pixel (px, py) in the mapping's units; the point found
    // lies in that same pixel whenever a float can express it.
    PointUtilisateur VersUtilisateur(int px, int py) const;

    int LargeurPx() const { return largeurPx_; }
    int HauteurPx() const { return hauteurPx_; }
    // 0xRRGGBB of the retained picture; outside the image reads as the background.
    std::uint32_t Pixel(int x, int y) const;
    const std::uint32_t* Pixels() const { return pixels_.data(); }

    // The picture with the visible shapes laid over it: ZoneX, ZoneY, then Selection.
    std::vector<std::uint32_t> Compose() const;
    // Same, reusing the caller's buffer (the window composes on every paint).
    void Compose(std::vector<std::uint32_t>& sortie) const;

  private:
    struct Echelle {
        double l, t, w, h;
    };
    // The mapping as every primitive needs it, refreshed when the mapping or the size changes.
    struct Repere {
        Echelle e;
        double xmin, xmax, ymin, ymax;
        double pxParX, pxParY; // pixels per unit
        bool vide;             // a zero extent: nothing is drawn
        bool borne;            // a finite box: its points convert to pixels safely
    };
    // The last point converted in each colour, and one more for lines of any colour: a
    // path is drawn in one colour, so each segment finds its start there and converts
    // only its end.
    struct PointPx {
        double x, y;
        int px, py;
    };
    // A label ImprimeAcote placed: its circle in pixels and its box.
    struct Etiquette {
        std::string texte;
        int cx, cy, r;
        int x, y, l, h;
    };
    struct RectPx {
        int x0, y0, x1, y1; // x1 and y1 exclusive
    };

    Echelle EchelleCourante() const { return repere_.e; }
    void MetAJourRepere();
    bool DansCadre(double x, double y) const {
        return x >= repere_.xmin && x <= repere_.xmax && y >= repere_.ymin && y <= repere_.ymax;
    }
    // Pixel of a point of the closed box, its right and bottom edges giving W and H.
    std::pair<int, int> PxDansCadre(double x, double y, int couleur);
    // Row of a pixel coordinate: the area's bottom edge (hauteurPx_ exactly), which
    // is where the lowest Y of a full view lies, goes to the last row.
    double Rangee(double v) const { return v == hauteurPx_ ? hauteurPx_ - 1 : std::floor(v); }
    // Empty when the mapping has a zero extent.
    std::optional<RectPx> RectangleForme(const Placement& p) const;
    // A line in `argb`; `cache` is the slot of dernierPoint_ its ends go through.
    void LigneArgb(double x1, double y1, double x2, double y2, std::uint32_t argb, int cache);
    void TraceSegment(int x0, int y0, int x1, int y1, std::uint32_t c);
    // The wire as a black line and the carriages as squares of their colours.
    void ComposeFil(std::vector<std::uint32_t>& sortie) const;
    void ComposeSurlignage(std::vector<std::uint32_t>& sortie) const;
    void TraceCercleMilieu(int cx, int cy, int r, std::uint32_t c);
    void TraceGrandCercle(double cx, double cy, double r, std::uint32_t c);
    void PoseMasque(const police::Masque& m, long long x, long long y, std::uint32_t c);
    void Pose(long long x, long long y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < largeurPx_ && y < hauteurPx_)
            pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeurPx_) +
                    static_cast<std::size_t>(x)] = c;
    }

    int largeurPx_ = 1, hauteurPx_ = 1;
    double twipsParPixel_ = 15.0;
    std::vector<std::uint32_t> pixels_;
    bool mappingFige_ = false;
    Mapping mapping_;
    double currentX_ = 0, currentY_ = 0;
    int couleurTexte_ = 0;
    std::string texteSurvol_;
    std::array<Placement, 3> formes_{};
    std::array<bool, 3> formesVisibles_{};
    std::optional<Fil> fil_;
    std::optional<Surlignage> surlignage_;
    Repere repere_{};
    static constexpr int CacheRGB = 16;
    std::array<PointPx, 17> dernierPoint_{};
    std::vector<InfoTrait> traits_; // per pixel, empty until a line keeps its info
    InfoTrait trait_;
    bool traitActif_ = false;
    bool tirets_ = false;
    unsigned phaseTirets_ = 0;
    std::pair<int, int> derniersTirets_[2] = {{-1, -1}, {-1, -1}};
    std::optional<LegendeVitesses> legende_;
    std::vector<Etiquette> etiquettes_; // since the last Efface, so that labels keep apart
};

} // namespace parvel
