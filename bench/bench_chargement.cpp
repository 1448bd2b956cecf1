// Measures the load pass and the redraw on a generated wing core of a million lines.
// The file is generated once into the build folder (or taken from $PARVEL_BANC_CUT).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "GenerateurAile.h"
#include "cut/Chargeur.h"
#include "view/ImageRaster.h"
#include "view/Vue.h"

#ifndef PARVEL_BANC_CUT
#define PARVEL_BANC_CUT "aile-1000000.cut"
#endif

namespace {

using namespace parvel;

constexpr long long LignesBanc = 1'000'000;

struct Fichier {
    std::string chemin;
    long long lignes = 0;
    long long octets = 0;
};

// The benchmark file, generated on first use; a partial file never takes its name.
const Fichier& FichierBanc() {
    static const Fichier f = [] {
        Fichier r;
        const char* env = std::getenv("PARVEL_BANC_CUT");
        r.chemin = env && *env ? env : PARVEL_BANC_CUT;
        std::error_code ec;
        if (!std::filesystem::exists(r.chemin, ec)) {
            aile::ParamAile p;
            p.Lignes = LignesBanc;
            const std::string provisoire = r.chemin + ".tmp";
            aile::EcritAile(p, provisoire);
            std::filesystem::rename(provisoire, r.chemin);
        }
        std::ifstream in(r.chemin, std::ios::binary);
        std::vector<char> tampon(1 << 20);
        while (in) {
            in.read(tampon.data(), static_cast<std::streamsize>(tampon.size()));
            const std::streamsize n = in.gcount();
            r.octets += n;
            for (std::streamsize i = 0; i < n; ++i)
                r.lignes += tampon[static_cast<std::size_t>(i)] == '\n';
        }
        return r;
    }();
    return f;
}

void BM_PasseChargement(benchmark::State& state) {
    const Fichier& f = FichierBanc();
    Interpreteur interp;
    BilanCut bilan;
    for (auto _ : state) {
        PasseChargement(f.chemin, interp, bilan);
        benchmark::DoNotOptimize(bilan);
    }
    state.SetItemsProcessed(state.iterations() * f.lignes);
    state.SetBytesProcessed(state.iterations() * f.octets);
}
BENCHMARK(BM_PasseChargement)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The redraw of the loaded file into the window's default drawing area, whole extent.
void BM_DessineCut(benchmark::State& state) {
    const Fichier& f = FichierBanc();
    ImageRaster image(481, 337);
    VueCut vue(image);
    Interpreteur interp;
    BilanCut bilan;
    ParamFraisage param;
    PasseChargement(f.chemin, interp, bilan);
    vue.CadreVue(bilan, param);
    vue.MappingEtendu();
    OptionsDessin options;
    options.Etendu = true;
    auto dessine = [&] {
        if (auto e = vue.DessineCut(f.chemin, interp, options, {}, param))
            state.SkipWithError(e->Description().c_str());
    };
    dessine();
    // A redraw that lands outside the picture would measure nothing worth having.
    long long traces = 0;
    for (int y = 0; y < image.HauteurPx(); ++y)
        for (int x = 0; x < image.LargeurPx(); ++x)
            traces += image.Pixel(x, y) != ImageRaster::Fond;
    if (traces == 0) {
        state.SkipWithError("le dessin ne touche aucun pixel");
        return;
    }
    for (auto _ : state) {
        dessine();
        benchmark::DoNotOptimize(image.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * f.lignes);
    state.SetBytesProcessed(state.iterations() * f.octets);
}
BENCHMARK(BM_DessineCut)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
