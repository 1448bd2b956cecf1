// Any line goes through the interpreter without failing, except on overflow, and a
// token the interpreter does not know changes nothing.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Doubles.h"
#include "cut/Erreur.h"

using namespace parvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t taille) {
    static test::Banc* banc = [] {
        auto* b = new test::Banc;
        b->p.Config.MmParPasX = 0.025;
        b->p.Config.MmParPasY = 1.0 / 48;
        return b;
    }();
    Principale& p = banc->p;
    p.Interp.Etat = EtatCut{};
    p.Interp.Etat.TraceActif = taille % 2 == 0;
    p.Interp.Etat.ZeroX = 12.5f;
    banc->image.traits.clear();
    std::string_view ligne(reinterpret_cast<const char*>(data), taille);
    try {
        p.Interp.AnalyseLigne(ligne);
    } catch (const ErreurParvel& e) {
        if (e.Numero() != ErrDepassement)
            std::abort();
        return 0;
    }
    const EtatCut& e = p.Interp.Etat;
    for (double v : {e.XG, e.YG, e.XD, double(e.YD), e.RelXG, e.RelYG, e.RelXD, double(e.RelYD),
                     e.DureeSegment, double(e.TempsTotal)})
        if (!std::isfinite(v))
            std::abort();
    if (!e.Commande.empty() || e.PosYG < 0 || e.PosYG > static_cast<std::int64_t>(taille) + 2)
        std::abort();
    // Two segments per "YD:" at most, and none while drawing is off.
    if (!e.TraceActif && !banc->image.traits.empty())
        std::abort();
    return 0;
}
