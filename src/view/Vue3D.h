// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cut in 3D, drawn in software so that it needs no graphics card: the machine seen
// from an angle (orthographic), with the wire's ruled surface from the left carriage's
// plane (z = 0) to the right one's (z = L), faint outside the block and shaded inside
// it, the block as a box, both carriages' paths in their planes and the faces' profiles
// on the block's faces. The file is streamed as a redraw streams it; the wire's
// successive positions are kept only where they move by a pixel, so the time follows
// the picture more than the file and memory stays that of the picture.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cut/Erreur.h"
#include "cut/Faces.h"
#include "plateforme/Surface.h"

namespace parvel {

class Avancement;
class Interpreteur;

// Degrees: the turn about the vertical axis and the height of the eye; the zoom
// multiplies the fitted scale.
struct Camera3D {
    static constexpr double AzimutDefaut = 55, ElevationDefaut = 25;
    double Azimut = AzimutDefaut, Elevation = ElevationDefaut, Zoom = 1;
    // Left-drag: a pixel turns the view by a third of a degree; the eye stays within the poles.
    void Orbite(double dxPx, double dyPx);
    // Wheel notches, 1.25 each, within 1/20 to 50.
    void Zoome(int crans);
};

// What the picture frames: the carriages' extents (after the X zero shift), the
// geometry, and the block's outline in X and Y (from its faces' figures).
struct Scene3D {
    GeometrieBloc Geometrie;
    double XMin = 0, XMax = 0, YMin = 0, YMax = 0;
    double BlocXMin = 0, BlocXMax = 0, BlocYMin = 0, BlocYMax = 0;
};

struct PointEcran {
    double X = 0, Y = 0;   // pixel coordinates, (0, 0) the upper-left corner of the first pixel
    double Profondeur = 0; // larger is nearer the eye
};

class Rendu3D {
  public:
    static constexpr std::uint32_t Fond = 0xC0C0C0;
    static constexpr std::uint32_t CouleurBloc = 0xF0BE50;    // the block's part of the surface, lit
    static constexpr std::uint32_t CouleurVoile = 0x5A6EAA;   // the surface outside the block
    static constexpr std::uint32_t CouleurInverse = 0xE02828; // an inverted line's part in the block
    static constexpr std::uint32_t CouleurArete = 0x303030;   // the box's edges in sight
    static constexpr std::uint32_t CouleurAreteCachee = 0x8C8C8C;

    Rendu3D(int largeurPx, int hauteurPx);
    void Redimensionne(int largeurPx, int hauteurPx);
    int LargeurPx() const { return largeur_; }
    int HauteurPx() const { return hauteur_; }

    // Reads `chemin` again through `interp` (its X zero and step sizes, as the last load
    // left them) and draws the scene from `camera`. A file that cannot be opened leaves
    // the picture as it was and returns its failure; `avancement` may stop the drawing.
    std::optional<ErreurParvel> Dessine(const std::string& chemin, Interpreteur& interp, const Scene3D& scene,
                                        const Camera3D& camera, Avancement* avancement = nullptr);

    // Where a point of the machine lands in the last drawing's projection.
    PointEcran Projette(double x, double y, double z) const;

    // 0xRRGGBB; the picture, then the wire of `fil` (carriage positions) across the machine.
    std::uint32_t Pixel(int x, int y) const;
    void Compose(std::vector<std::uint32_t>& sortie, const std::optional<Fil>& fil) const;

  private:
    struct Sommet {
        double x, y, p; // screen position and depth
    };
    void Prepare(const Scene3D& scene, const Camera3D& camera);
    void Triangle(const Sommet& a, const Sommet& b, const Sommet& c, std::uint32_t couleur, bool voile);
    // Pixels in sight (within the bias) in `couleur`, the others in `cachee`; none: not drawn.
    void Trait(const Sommet& a, const Sommet& b, std::optional<std::uint32_t> couleur,
               std::optional<std::uint32_t> cachee);
    void Quadrilatere(const double g0[2], const double d0[2], const double g1[2], const double d1[2],
                      bool inverse);
    friend class TraceurRendu3D;

    int largeur_ = 1, hauteur_ = 1;
    std::vector<std::uint32_t> couleurs_;
    std::vector<float> profondeurs_;
    std::vector<float> voileProfondeur_; // the nearest faint layer of each pixel
    std::vector<std::uint8_t> voileCouches_;
    // Projection: centre of the scene, rotation, scale.
    double cx_ = 0, cy_ = 0, cz_ = 0, ca_ = 1, sa_ = 0, ce_ = 1, se_ = 0, echelle_ = 1;
    double biais_ = 0; // depth a line may lie behind the surface and still show
    GeometrieBloc geometrie_;
};

} // namespace parvel
