// SPDX-License-Identifier: GPL-3.0-or-later
// A whole load from file bytes, with and without the milling mode: its pass either ends
// with a five-line report (and a finished milling output) and findings within their
// bounds, or fails with a known error leaving no output; no temporary file stays behind.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/ReglagesVerification.h"

using namespace parvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t taille) {
    static test::DossierTemporaire* dossier = new test::DossierTemporaire;
    const bool fraisage = taille > 0 && (data[0] & 1);
    test::Banc b;
    // Every check on: a top Y speed and a travel.
    ConfigMachine config;
    config.RepProjet = dossier->Chemin().string();
    config.VitMaxY = 10;
    b.p.DefinitReglages(config, {.XFraise = 15, .YFraise = 40, .TempsZ = 0.5f, .DegZYD = 2.5});
    b.registre.PoseEntier(CleVerifications, "CourseX", 500);
    b.registre.PoseEntier(CleVerifications, "CourseY", 200);
    const std::string entree =
        dossier->Ecrit("entree.cut", std::string(reinterpret_cast<const char*>(data), taille));
    b.controles.DefinitFraisageActif(fraisage);
    const std::filesystem::path sortie = dossier->Chemin() / "Fr+entree.cut";
    std::filesystem::remove(sortie);
    bool reussi = true;
    try {
        b.p.ChargeFichier(entree);
    } catch (const ErreurParvel& e) {
        reussi = false;
        if (e.Numero() != ErrDepassement && e.Numero() != ErrAppelIncorrect)
            std::abort();
    }
    // The report comes at the end of the pass; framing the drawing may still overflow
    // after it, on a huge extent, and that failure leaves the report and the output.
    const bool passeFinie = b.sortie.lignes.size() == 5;
    if (reussi && !passeFinie)
        std::abort();
    // Each finding keeps a few ranges of lines, in order, within the lines it counts.
    for (const Constat& c : passeFinie ? b.p.Verif().Constats : std::vector<Constat>{}) {
        if (c.Plages.size() > PlagesGardees || c.Lignes < static_cast<std::int64_t>(c.Plages.size()))
            std::abort();
        for (std::size_t i = 0; i < c.Plages.size(); ++i)
            if (c.Plages[i].Debut > c.Plages[i].Fin || (i > 0 && c.Plages[i].Debut <= c.Plages[i - 1].Fin))
                std::abort();
    }
    if (fraisage && passeFinie != std::filesystem::exists(sortie))
        std::abort();
    if (!fraisage && std::filesystem::exists(sortie))
        std::abort();
    for (const auto& f : std::filesystem::directory_iterator(dossier->Chemin()))
        if (f.path().filename().string().find("parvel-tmp") != std::string::npos)
            std::abort();
    if (passeFinie && fraisage) {
        const std::string s = test::LitFichier(sortie.string());
        if (!s.empty() && (s.size() < 2 || s.substr(s.size() - 2) != "\r\n"))
            std::abort();
    }
    return 0;
}
