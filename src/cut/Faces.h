// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The foam block between the carriages: where the straight wire crosses its two faces.
// At distance z from the left carriage's plane the wire passes through
// P(z) = G + (D - G) * z / L; the near face lies at z = d, the far face at z = d + w.
// The face figures (extents, path length, inverted lines) are gathered as the load pass
// goes, as a receiver of its lines.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cut/Chargeur.h"

namespace parvel {

// Millimetres along the wire: carriage to carriage, left carriage to the near face, and
// the block's width.
struct GeometrieBloc {
    double L = 0, d = 0, w = 0;
    bool operator==(const GeometrieBloc&) const = default;
};

// Why a geometry cannot be used (a French sentence for the user), none when it can:
// every value finite and 0 <= d < d + w <= L.
std::optional<std::string> DefautGeometrie(const GeometrieBloc& g);

// Both carriages at one moment, after the X zero shift.
struct PositionsChariots {
    double XG = 0, YG = 0, XD = 0, YD = 0;
};

struct PointFace {
    double X = 0, Y = 0;
};

// Where the wire crosses the plane at `z` from the left carriage's plane.
PointFace PointSurPlan(const PositionsChariots& p, double z, double L);

// A line that runs one way on the near face and the other way on the far face (the dot
// product of its two displacements is negative): the surface it cuts pinches to a point
// inside the block, and the part comes out inverted there.
bool LigneInversee(const PositionsChariots& avant, const PositionsChariots& apres, const GeometrieBloc& g);

// One face's path: its extents (chord along X, thickness along Y) and length, mm.
struct FiguresFace {
    double XMin = 0, XMax = 0, YMin = 0, YMax = 0;
    double Longueur = 0;
    bool Vide = true; // no point yet
    double Corde() const { return XMax - XMin; }
    double Epaisseur() const { return YMax - YMin; }
};

struct FiguresFaces {
    static constexpr std::size_t PremieresMax = 10;
    GeometrieBloc Geometrie;
    FiguresFace Proche, Loin;
    std::int64_t NombreInversions = 0;
    std::vector<std::int64_t> PremieresInversions; // the file's line numbers, at most PremieresMax
};

// Gathers the face figures from the lines of a load pass, each line's point after the
// one before (the first point starts both paths).
class MesureFaces final : public RecepteurLignes {
  public:
    explicit MesureFaces(const GeometrieBloc& g) { f_.Geometrie = g; }
    void Ligne(const Interpreteur& interp, std::optional<double> vitesse) override;
    const FiguresFaces& Figures() const { return f_; }

  private:
    FiguresFaces f_;
    std::optional<PositionsChariots> avant_;
};

// The figures as lines of text for the window, numbers with `separateur`.
std::vector<std::string> TexteFaces(const FiguresFaces& f, const std::string& separateur);

} // namespace parvel
