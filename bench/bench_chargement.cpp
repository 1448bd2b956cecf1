// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the load pass, the redraw and playback (its index, the wire at random
// moments and at consecutive ones) on a generated wing core of a million lines.
// The file is generated once into the build folder (or taken from $PARVEL_BANC_CUT).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "GenerateurAile.h"
#include "cut/Chargeur.h"
#include "cut/Lecture.h"
#include "cut/Verifications.h"
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

// The same with every check on, as the window loads: a machine's top Y speed and travel set,
// and with the argument 1 the block's geometry too.
void BM_PasseChargementVerifiee(benchmark::State& state) {
    const Fichier& f = FichierBanc();
    Interpreteur interp;
    BilanCut bilan;
    SeuilsVerification seuils;
    seuils.VitMaxY = 10.4;
    seuils.CourseX = 1000;
    seuils.CourseY = 500;
    if (state.range(0))
        seuils.Bloc = GeometrieBloc{1000, 200, 400};
    for (auto _ : state) {
        Verificateur verificateur(seuils);
        PasseChargement(f.chemin, interp, bilan, nullptr, nullptr, nullptr, &verificateur);
        benchmark::DoNotOptimize(verificateur.Resultat());
    }
    state.SetItemsProcessed(state.iterations() * f.lignes);
    state.SetBytesProcessed(state.iterations() * f.octets);
}
BENCHMARK(BM_PasseChargementVerifiee)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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

// The playback index: one more pass over the file, at the first playback after a load.
void BM_IndexeLecture(benchmark::State& state) {
    const Fichier& f = FichierBanc();
    Interpreteur interp;
    BilanCut bilan;
    PasseChargement(f.chemin, interp, bilan);
    std::size_t reperes = 0;
    for (auto _ : state) {
        LectureCut lecture(f.chemin, interp);
        reperes = lecture.NombreReperes();
        benchmark::DoNotOptimize(reperes);
    }
    state.counters["reperes"] = static_cast<double>(reperes);
    state.SetItemsProcessed(state.iterations() * f.lignes);
}
BENCHMARK(BM_IndexeLecture)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The wire at a moment: random moments (scrubbing), or each 30 s of cut after the last
// (playing at x1000 with a 30 ms clock).
void Lecture(benchmark::State& state, bool auHasard) {
    const Fichier& f = FichierBanc();
    Interpreteur interp;
    BilanCut bilan;
    PasseChargement(f.chemin, interp, bilan);
    LectureCut lecture(f.chemin, interp);
    const double total = lecture.TempsTotal();
    std::mt19937 alea(1);
    std::uniform_real_distribution<double> moment(0, total);
    double t = 0;
    for (auto _ : state) {
        t = auHasard ? moment(alea) : t + 30 > total ? 0 : t + 30;
        const std::optional<PositionFil> p = lecture.Position(t);
        if (!p) {
            state.SkipWithError("pas de réponse");
            return;
        }
        benchmark::DoNotOptimize(p->XG);
    }
    state.SetItemsProcessed(state.iterations());
}
void BM_LectureAuHasard(benchmark::State& state) {
    Lecture(state, true);
}
void BM_LectureSuivie(benchmark::State& state) {
    Lecture(state, false);
}
BENCHMARK(BM_LectureAuHasard)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_LectureSuivie)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
