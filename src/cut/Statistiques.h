// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file's statistics for other programs: the report's values at full precision, the
// counts, each carriage's path length and the time spent per speed band, written as
// one JSON object.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cut/Chargeur.h"
#include "cut/Faces.h"
#include "cut/Verifications.h"

namespace parvel {

class Avancement;

inline constexpr int NombreBandesVitesse = 10;

// A speed band: the lines whose speed is in [VitesseBasse, VitesseHaute), the top
// speed going into the last band, and the time they take.
struct BandeVitesse {
    double VitesseBasse = 0, VitesseHaute = 0; // mm/s
    double Duree = 0;                          // s
};

struct StatistiquesCut {
    std::string Chemin;
    BilanCut Bilan;                                // as the load pass leaves it
    float TempsTotal = 0, ZeroX = 0;               // the report's, from the interpreter's state
    std::int64_t NombreSegments = 0;               // lines after the first that carry a position
    std::int64_t NombrePauses = 0;                 // lines with a duration and no position
    double LongueurGauche = 0, LongueurDroite = 0; // path lengths, mm
    double DureeTotale = 0;                        // every line's duration, summed in double
    double DureeSansVitesse = 0;                   // the time of the lines outside the bands
    // NombreBandesVitesse equal bands from the slowest speed to the fastest; none when no
    // line has a speed.
    std::vector<BandeVitesse> Bandes;
    // The checks of the first reading, when asked for.
    std::optional<Verifications> Verif;
    // The block's faces, when a geometry is given.
    std::optional<FiguresFaces> Faces;
};

// Reads `chemin` twice through `interp` (its step sizes are used): the load pass, then
// a pass that measures the lines against the speed range found. Fails as the load pass
// does, and with ErrAccesChemin when the second reading did not read the same lines as
// the first (the file changed between them). With `geometrie` the block's face figures
// are measured in the first pass, with `seuils` the file is checked there. `avancement` is
// told both passes.
StatistiquesCut CalculeStatistiques(const std::string& chemin, Interpreteur& interp,
                                    const GeometrieBloc* geometrie = nullptr,
                                    Avancement* avancement = nullptr,
                                    const SeuilsVerification* seuils = nullptr);

// The statistics as one JSON object ending with a line feed; each number written with
// the shortest text that reads back to the same value of its own type, "." as the point.
std::string TexteJson(const StatistiquesCut& s);

// The checks alone, as one JSON object: the file, the checks run with their thresholds,
// and the findings.
std::string TexteJsonVerifications(const std::string& chemin, const Verifications& v);

} // namespace parvel
