// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the drawing primitives alone: the two carriage paths of a generated wing
// core, with their step points, replayed into the window's default drawing area.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "GenerateurAile.h"
#include "cut/Chargeur.h"
#include "view/ImageRaster.h"

namespace {

using namespace parvel;

struct Pas {
    double xg, yg, xd, yd;
};

// The carriage positions of every line that sets all four coordinates.
const std::vector<Pas>& Trajet() {
    static const std::vector<Pas> t = [] {
        aile::ParamAile p;
        p.Lignes = 200'000;
        std::ostringstream sortie;
        aile::EcritAile(p, sortie);
        std::istringstream entree(sortie.str());
        std::vector<Pas> r;
        std::string ligne;
        auto valeur = [&](const char* cle) {
            const std::size_t i = ligne.find(cle);
            return i == std::string::npos ? 0.0 : std::strtod(ligne.c_str() + i + 3, nullptr);
        };
        while (std::getline(entree, ligne))
            if (ligne.find("YD:") != std::string::npos)
                r.push_back({valeur("XG:"), valeur("YG:"), valeur("XD:"), valeur("YD:")});
        return r;
    }();
    return t;
}

// Argument: the share of the drawing's width shown, in percent (100: the whole block,
// Y = 0 on the bottom edge; less: a zoom on the lower left, so that most segments are clipped).
void BM_TraceRaster(benchmark::State& state) {
    const std::vector<Pas>& t = Trajet();
    double xmin = 0, xmax = 0, ymax = 0;
    for (const Pas& p : t) {
        xmin = std::min({xmin, p.xg, p.xd});
        xmax = std::max({xmax, p.xg, p.xd});
        ymax = std::max({ymax, p.yg, p.yd});
    }
    const double part = static_cast<double>(state.range(0)) / 100.0;
    ImageRaster image(481, 337);
    image.DefinitMapping({static_cast<float>(xmin), static_cast<float>(ymax * part),
                          static_cast<float>((xmax - xmin) * part), static_cast<float>(-ymax * part)});
    for (auto _ : state) {
        Pas avant{};
        for (const Pas& p : t) {
            image.Ligne(avant.xd, avant.yd, p.xd, p.yd, CouleurDroite);
            image.Ligne(avant.xg, avant.yg, p.xg, p.yg, CouleurGauche);
            image.Point(0, 0, 2);
            image.Point(0, 0, 4);
            avant = p;
        }
        benchmark::DoNotOptimize(image.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(t.size()));
}
BENCHMARK(BM_TraceRaster)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
