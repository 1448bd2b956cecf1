// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A generator of CUT files for a hot-wire foam cutter cutting a wing core: the root
// airfoil lies on the block's left face, the smaller, swept and twisted tip airfoil on
// its right face, and the wire line through both is extended to the two carriage
// planes, as the machine needs. The output is deterministic for a given set of
// parameters (the seed included), and has exactly the requested number of lines.
#include <cstdint>
#include <iosfwd>
#include <string>

namespace parvel::aile {

struct ParamAile {
    // NACA 4-digit airfoils ("2412": 2 % camber at 40 % of the chord, 12 % thick).
    std::string ProfilEmplanture = "2412";
    std::string ProfilSaumon = "2410";
    double CordeEmplanture = 250; // mm
    double Effilement = 0.6;      // tip chord / root chord
    double Fleche = 40;           // X offset of the tip's leading edge from the root's, mm
    double Vrillage = 2;          // washout, degrees: the tip turned nose down about its trailing edge
    // Machine and block along the wire: left carriage at 0, right carriage at
    // LargeurMachine, the block's faces at BlocGauche and BlocDroit (mm).
    double LargeurMachine = 1000;
    double BlocGauche = 200;
    double BlocDroit = 800;
    // Placement on the root face: X of the leading edge, Y of the chord line, mm.
    double BordAttaque = 60;
    double Hauteur = 40;
    double Entree = 20;         // the start point lies this far behind each trailing edge, mm
    double Vitesse = 4;         // cutting feed of the faster carriage, mm/s
    double VitesseApproche = 8; // lead-in and lead-out, mm/s
    double Chauffe = 3;         // pause at the start while the wire heats, s
    double PauseBord = 0.5;     // pause at the trailing edge before and after each profile, s
    long long Lignes = 2000;    // exact number of lines in the file
    long long PointsMax = 2000; // profile points per pass; more lines give more passes
    double Bruit = 0;           // uniform jitter of the profile points, +/- mm (0: none)
    std::uint64_t Graine = 1;   // seed of the jitter
};

// What was written, as the generator counted it.
struct ResumeAile {
    long long Lignes = 0;
    long long Passes = 0;
    long long PointsParPasse = 0; // of the first pass; later ones may have one fewer
    double TempsTotal = 0;        // sum of the written durations, s
    std::uint64_t Octets = 0;
};

// The fewest lines a file can have: the fixed lines and one pass with the smallest profile.
long long LignesMin();

// Empty when the parameters make a cuttable file, else the reason, in French.
std::string VerifieParam(const ParamAile& p);

// Writes the file to `sortie`; raises std::invalid_argument for parameters that
// VerifieParam rejects.
ResumeAile EcritAile(const ParamAile& p, std::ostream& sortie);

// Same, into the file `chemin`; raises std::runtime_error when it cannot be written.
ResumeAile EcritAile(const ParamAile& p, const std::string& chemin);

} // namespace parvel::aile
