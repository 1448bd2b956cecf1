// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area `Image1` as the core sees it: a retained picture with a user
// mapping (four single-precision numbers), drawing in the 16-colour palette, a hover
// text, and overlays laid over it. Sizes are in twips; drawing coordinates and
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

// What lies over the picture without being drawn into it, so that it comes and goes
// without a redraw: the three shapes (the two zones' hatched bands and the rubber band),
// the playback wire, a line shown apart and the speed legend.
class Surcouches {
  public:
    virtual ~Surcouches() = default;

    virtual Placement LitForme(Forme f) const = 0;
    virtual void PlaceForme(Forme f, Placement p) = 0;
    virtual bool FormeVisible(Forme f) const = 0;
    virtual void MontreForme(Forme f, bool visible) = 0;
    // The wire during playback; none takes it away.
    virtual void MontreFil(std::optional<Fil> fil) = 0;
    // A line shown apart, under the wire.
    virtual void MontreSurlignage(std::optional<Surlignage> surlignage) = 0;
    // The speed legend in a corner; the next Efface takes it away with its picture.
    virtual void MontreLegende(std::optional<LegendeVitesses> legende) = 0;
};

class SurfaceDessin : public Surcouches {
  public:
    // Size of the area in twips; its position in the window is fixed (120, 2160).
    virtual float Largeur() const = 0;
    virtual float Hauteur() const = 0;
    virtual void DefinitTaille(float largeur, float hauteur) = 0;

    // Until a mapping is first set, the area counts twips from its upper-left corner.
    virtual Mapping LitMapping() const = 0;
    virtual void DefinitMapping(const Mapping& m) = 0;

    // The retained picture.
    virtual void Efface() = 0;
    virtual void Ligne(double x1, double y1, double x2, double y2, int couleur) = 0;
    // A line in any colour (0xRRGGBB).
    virtual void LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) = 0;
    // Lines drawn until the next call are dashed (the right path on the speed map, so that
    // left and right stay apart without their colours).
    virtual void DefinitTirets(bool tirets) = 0;
    // The lines drawn until the next call keep `info` in their pixels (none: nullptr), for TraitPres.
    virtual void DefinitTrait(const InfoTrait* info) = 0;
    // The line kept nearest to (x, y), within a few pixels.
    virtual std::optional<InfoTrait> TraitPres(float x, float y) const = 0;
    // Sets one point; (x, y) becomes the current position.
    virtual void Point(double x, double y, int couleur) = 0;
    virtual void Cercle(double x, double y, double rayon, int couleur) = 0;
    virtual void DefinitPosition(double x, double y) = 0;
    virtual void DefinitCouleurTexte(int couleur) = 0;
    // Writes text with its upper-left corner at the current position.
    virtual void Imprime(std::string_view texte) = 0;
    // Writes a marker's label beside the circle of radius `rayon` (X units) centred on
    // the current position, inside the area.
    virtual void ImprimeAcote(std::string_view texte, double rayon) = 0;

    // The readout shown where the mouse hovers.
    virtual void DefinitTexteSurvol(std::string texte) = 0;
};

} // namespace parvel
