#pragma once
// The interpreter state of the CUT language. `AnalyseLigne` and `TraiteCommande`
// are procedures of the owner `Principale`, which also holds the inputs they read
// (motor step sizes, zoom ratio, the "Coordonnées" boxes, the drawing surface).
#include <cstdint>
#include <string_view>

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

} // namespace parvel
