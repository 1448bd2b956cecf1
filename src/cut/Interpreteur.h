// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CUT language's interpreter: its state, the motor step sizes it moves by in step
// mode, and the receiver of the segments it closes. It draws nothing itself: a redraw
// gives it a receiver, the load pass gives none.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "cut/Calcul.h"

namespace parvel {

struct EtatCut {
    double XG = 0, YG = 0, XD = 0;
    float YD = 0;
    double XGPrec = 0, YGPrec = 0, XDPrec = 0;
    float YDPrec = 0;
    double RelXG = 0, RelYG = 0, RelXD = 0;
    float RelYD = 0;
    double DureeSegment = 0;
    float TempsTotal = 0;
    float ZeroX = 0;
    // 1-based position of the blank that ended the last "YG:" token. Held as an
    // integer so that lines longer than 2^24 characters keep an exact cut position.
    std::int64_t PosYG = 0;
    bool TraceActif = false;

    // Scanner: the current line, its length, the position being scanned and the token
    // being interpreted. Views into the line buffer, valid while the line is handled.
    std::string_view Ligne;
    std::int64_t LongLigne = 0;
    std::int64_t IndexCar = 0;
    std::string_view Commande;

    // Sets the twelve positions (absolute, previous and step-mode) to 0.
    void RemetPositions();
};

// One point closed by "YD:": both carriages' previous and new positions, after the X
// zero shift, with the line it comes from and the line's duration.
struct Segment {
    double XGPrec, YGPrec, XG, YG;
    double XDPrec;
    float YDPrec;
    double XD;
    float YD;
    std::int64_t Ligne;
    double Duree;
};

class RecepteurSegments {
  public:
    virtual ~RecepteurSegments() = default;
    virtual void Recoit(const Segment& s) = 0;
};

class Interpreteur {
  public:
    EtatCut Etat;
    // Millimetres per motor step, for the "+XG"-style step tokens.
    double MmParPasX = 0, MmParPasY = 0;
    // The file's line being interpreted (1-based), set by whoever reads the file.
    std::int64_t NumeroLigne = 0;
    // The line being interpreted carried a position ("XG:", "YG:", "XD:" or "YD:"): a
    // line without one is a pause, whatever its duration.
    bool PositionLue = false;
    // The sum of the line's "T:" durations: the time the line takes, as the total counts it.
    double DureeLue = 0;
    // Receives every segment while TraceActif is set; none during the load pass.
    RecepteurSegments* Recepteur = nullptr;

    // Splits the line at blanks and interprets each token.
    void AnalyseLigne(std::string_view ligne);
    // Interprets Etat.Commande.
    void TraiteCommande();
};

// The speed of the line just interpreted, as the run report counts it: the longer
// carriage's displacement over the line's duration. None for a line that moved nothing
// (a pause) or has no duration.
// Inline: the load pass asks it of every line.
inline std::optional<double> VitesseLigne(const Interpreteur& in) {
    const EtatCut& e = in.Etat;
    if (!(e.DureeSegment > 0 && in.PositionLue))
        return std::nullopt;
    const double dxg = e.XG - e.XGPrec, dyg = e.YG - e.YGPrec;
    const double dxd = e.XD - e.XDPrec;
    const double dyd = static_cast<float>(e.YD - e.YDPrec); // single-precision difference
    // The longer side's length: one square root, as the root keeps the order.
    const double dL2 = Verifie(dxg * dxg + dyg * dyg);
    const double dR2 = Verifie(dxd * dxd + dyd * dyd);
    return Verifie(std::sqrt(dR2 < dL2 ? dL2 : dR2) / e.DureeSegment);
}

} // namespace parvel
