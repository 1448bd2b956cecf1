// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area `Image1` as the core sees it: a retained picture with a user
// mapping (four single-precision numbers), drawing in the 16-colour palette, a hover
// text and three shapes laid over it. Sizes are in twips; drawing coordinates and
// shape placements are in the mapping's units.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvel {

enum class Forme { ZoneX, ZoneY, Selection };

// Left/Top is the upper-left corner; Height is a positive extent downward, so a shape
// covers Y from Top - Height to Top once the mapping has Y upward.
struct Placement {
    float Left = 0, Top = 0, Width = 0, Height = 0;
};

struct Mapping {
    float ScaleLeft = 0, ScaleTop = 0, ScaleWidth = 0, ScaleHeight = 0;
};

// The wire during playback: where each carriage is, in the mapping's units.
struct Fil {
    double XG = 0, YG = 0, XD = 0, YD = 0;
};

// A line of both paths shown apart (a finding's line): the wire where it starts and ends.
struct Surlignage {
    Fil Debut, Fin;
};

// The 16-colour palette, as 0xRRGGBB.
inline constexpr std::uint32_t Palette[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// What a line of the drawn paths stands for: the file's line (0: none), its speed in
// mm/s (negative: it has none), the time from the start of the cut when it begins, and
// the path it belongs to (0 a carriage's, 1 the block's near face, 2 its far face).
struct InfoTrait {
    std::uint32_t Ligne = 0;
    float Vitesse = -1;
    float Temps = 0;
    std::uint8_t Face = 0;
};

// The speed map's legend: the speeds of its two ends, in mm/s.
struct LegendeVitesses {
    double Min = 0, Max = 0;
    std::string Separateur = "."; // decimal separator of the two speeds
};

class SurfaceDessin {
  public:
    virtual ~SurfaceDessin() = default;

    // Size of the area in twips; its position in the window is fixed (120, 2160).
    virtual float Largeur() const = 0;
    virtual float Hauteur() const = 0;
    virtual void DefinitTaille(float largeur, float hauteur) = 0;

    // Until a mapping is first set, the area counts twips from its upper-left corner.
    virtual Mapping LitMapping() const = 0;
    virtual void DefinitScaleLeft(float v) = 0;
    virtual void DefinitScaleTop(float v) = 0;
    virtual void DefinitScaleWidth(float v) = 0;
    virtual void DefinitScaleHeight(float v) = 0;

    virtual void Efface() = 0;
    virtual void Ligne(double x1, double y1, double x2, double y2, int couleur) = 0;
    // Sets one point; (x, y) becomes the current position.
    virtual void Point(double x, double y, int couleur) = 0;
    virtual void Cercle(double x, double y, double rayon, int couleur) = 0;
    virtual void DefinitPosition(double x, double y) = 0;
    virtual void DefinitCouleurTexte(int couleur) = 0;
    // Writes text with its upper-left corner at the current position.
    virtual void Imprime(std::string_view texte) = 0;
    // Writes a marker's label beside the circle of radius `rayon` (X units) centred on
    // the current position, inside the area. A surface that cannot measure its text
    // writes it at the current position.
    virtual void ImprimeAcote(std::string_view texte, double /*rayon*/) { Imprime(texte); }

    virtual void DefinitTexteSurvol(std::string texte) = 0;

    // A line in any colour (0xRRGGBB); a surface with the palette alone draws it black.
    virtual void LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) {
        (void)rgb;
        Ligne(x1, y1, x2, y2, 0);
    }
    // Lines drawn until the next call are dashed (the right path on the speed map, so that
    // left and right stay apart without their colours); a surface that cannot dash draws
    // them whole.
    virtual void DefinitTirets(bool tirets) { (void)tirets; }
    // The lines drawn until the next call keep `info` in their pixels (none: nullptr),
    // for TraitPres; a surface that keeps nothing finds nothing.
    virtual void DefinitTrait(const InfoTrait* info) { (void)info; }
    // The line kept nearest to (x, y), within a few pixels.
    virtual std::optional<InfoTrait> TraitPres(float x, float y) const {
        (void)x;
        (void)y;
        return std::nullopt;
    }
    // The speed legend laid in a corner over the picture, or none.
    virtual void MontreLegende(std::optional<LegendeVitesses> legende) { (void)legende; }

    virtual Placement LitForme(Forme f) const = 0;
    virtual void PlaceForme(Forme f, Placement p) = 0;
    virtual bool FormeVisible(Forme f) const = 0;
    virtual void MontreForme(Forme f, bool visible) = 0;

    // Lays the wire over the picture without drawing into it; none takes it away.
    virtual void MontreFil(std::optional<Fil> /*fil*/) {}
    // The same for a line shown apart, under the wire.
    virtual void MontreSurlignage(std::optional<Surlignage> /*surlignage*/) {}
};

} // namespace parvel
