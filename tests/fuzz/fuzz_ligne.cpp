// SPDX-License-Identifier: GPL-3.0-or-later
// Any line goes through the interpreter without failing, except on overflow, and a
// token the interpreter does not know changes nothing.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cut/Erreur.h"
#include "cut/Interpreteur.h"

using namespace parvel;

namespace {
struct Compteur : RecepteurSegments {
    int segments = 0;
    void Recoit(const Segment&) override { ++segments; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t taille) {
    Compteur compteur;
    Interpreteur interp;
    interp.MmParPasX = 0.025;
    interp.MmParPasY = 1.0 / 48;
    interp.Recepteur = &compteur;
    interp.Etat.TraceActif = taille % 2 == 0;
    interp.Etat.ZeroX = 12.5f;
    std::string_view ligne(reinterpret_cast<const char*>(data), taille);
    try {
        interp.AnalyseLigne(ligne);
    } catch (const ErreurParvel& e) {
        if (e.Numero() != ErrDepassement)
            std::abort();
        return 0;
    }
    const EtatCut& e = interp.Etat;
    for (double v : {e.XG, e.YG, e.XD, double(e.YD), e.RelXG, e.RelYG, e.RelXD, double(e.RelYD),
                     e.DureeSegment, double(e.TempsTotal)})
        if (!std::isfinite(v))
            std::abort();
    if (!e.Commande.empty() || e.PosYG < 0 || e.PosYG > static_cast<std::int64_t>(taille) + 2)
        std::abort();
    // No segment while drawing is off.
    if (!e.TraceActif && compteur.segments > 0)
        std::abort();
    return 0;
}
