// SPDX-License-Identifier: GPL-3.0-or-later
// The window's rules that both front ends share: procedures run one at a time with
// their failures told, the key table, the recent files' entries, the open dialog's
// filter, the drop, the report's copy, wheel notches and the drag's pan.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Doubles.h"
#include "controleur/Interactions.h"
#include "cut/Erreur.h"

namespace parvel {
namespace {

class SuiviNote : public SuiviFenetre {
  public:
    bool Continue(std::uint64_t, std::uint64_t) override { return true; }
    void Commence() override { ++commences; }
    void Termine(const char* a) override { annulations.push_back(a ? a : "-"); }
    bool QuitterDemande() const override { return false; }
    int commences = 0;
    std::vector<std::string> annulations;
};

TEST(Routeur, UneProcedureALaFoisEtSesEchecsDits) {
    test::DialoguesScriptes dialogues;
    SuiviNote suivi;
    Routeur r(dialogues, suivi);
    bool imbriquee = true, occupeDansEnsuite = false;
    EXPECT_TRUE(r.Route([&] { imbriquee = r.Route([] { FAIL() << "run during another"; }); },
                        [&] { occupeDansEnsuite = r.Occupe(); }));
    EXPECT_FALSE(imbriquee);
    EXPECT_TRUE(occupeDansEnsuite);
    EXPECT_FALSE(r.Occupe());
    r.Route([] { throw ErreurParvel(ErrMemoire); });
    r.Route([] { throw std::runtime_error("disque plein"); });
    r.Route([] { throw Annulation("Chargement annulé"); });
    ASSERT_EQ(dialogues.messages.size(), 2u);
    EXPECT_EQ(dialogues.messages[0], *TexteErreur(ErreurParvel(ErrMemoire)));
    EXPECT_EQ(dialogues.messages[0].rfind("Erreur " + std::to_string(ErrMemoire) + " : ", 0), 0u);
    EXPECT_EQ(dialogues.messages[1], "Erreur : disque plein");
    EXPECT_EQ(suivi.commences, 4);
    EXPECT_EQ(suivi.annulations, (std::vector<std::string>{"-", "-", "-", "Chargement annulé"}));
    // A procedure that failed leaves the next one free to run.
    EXPECT_TRUE(r.Route([] {}));
}

TEST(Touches, LaTableDesTouches) {
    const char* touches[] = {"Plus",  "Moins", "Egal", "Gauche", "Droite", "Haut", "Bas", "Echap", "Origine",
                             "Inser", "F5",    "F7",   "Espace", "C",      "M",    "O",   "Trois"};
    const char* gestes[] = {"ZoomAvant",  "ZoomArriere",   "Etendu",   "Recharger",      "Verifications",
                            "Copie",      "CarteVitesses", "Ouvrir",   "LectureBascule", "Vue3D",
                            "VersGauche", "VersDroite",    "VersHaut", "VersBas",        "Abandon"};
    const auto indice = [](const auto& noms, const std::string& nom) {
        for (std::size_t i = 0; i < std::size(noms); ++i)
            if (nom == noms[i])
                return static_cast<int>(i);
        ADD_FAILURE() << "inconnu: " << nom;
        return 0;
    };
    for (const auto& l : test::LitTable("interactions/touches.tsv")) {
        const auto g = GestePour(static_cast<Touche>(indice(touches, l[0])), l[1] == "1", l[2] == "1");
        EXPECT_EQ(g ? gestes[static_cast<int>(*g)] : "-", l[3]) << l[0] << " " << l[1] << " " << l[2];
    }
    EXPECT_EQ(TexteRaccourci(Geste::Recharger), "F5");
    EXPECT_EQ(TexteRaccourci(Geste::CarteVitesses), "Ctrl+M");
    EXPECT_EQ(TexteRaccourci(Geste::LectureBascule), "Ctrl+Espace");
    EXPECT_EQ(TexteRaccourci(Geste::Vue3D), "Ctrl+3");
    EXPECT_EQ(CransDe(Geste::ZoomArriere), -1);
    EXPECT_EQ(DeplacementDe(Geste::VersBas), std::make_pair(0, -1));
}

TEST(Recents, LibellesNumerotesEtBullesAuCheminEntier) {
    std::vector<std::string> chemins;
    for (const auto& l : test::LitTable("interactions/recents.tsv")) {
        const auto e = EntreesRecentes({l[0]});
        ASSERT_EQ(e.size(), 1u);
        EXPECT_EQ(e[0].Libelle, l[1]);
        EXPECT_EQ(e[0].Bulle, l[0]);
        chemins.push_back(l[0]);
    }
    const auto toutes = EntreesRecentes(chemins);
    ASSERT_EQ(toutes.size(), chemins.size());
    for (std::size_t i = 0; i < toutes.size(); ++i)
        EXPECT_EQ(toutes[i].Libelle.rfind("&" + std::to_string(i + 1) + " ", 0), 0u) << toutes[i].Libelle;
}

TEST(Ouverture, FiltreEnPaires) {
    for (const auto& l : test::LitTable("interactions/filtres.tsv")) {
        std::string obtenu;
        for (const auto& [libelle, motifs] : FiltresOuverture(l[0]))
            obtenu += (obtenu.empty() ? "" : "|") + libelle + "=" + motifs;
        EXPECT_EQ(obtenu, l.size() > 1 ? l[1] : "") << l[0];
    }
}

TEST(Depot, UnSeulFichierCut) {
    for (const auto& l : test::LitTable("interactions/depots.tsv")) {
        const std::vector<std::string> chemins(l.begin() + 1, l.end());
        EXPECT_EQ(DepotAccepte(chemins), l[0] == "1") << (chemins.empty() ? "" : chemins[0]);
    }
}

TEST(Rapport, LaCopieSuitCeQuiEstImprime) {
    test::ZoneTexteMemoire zone;
    RapportCopiable r(zone);
    r.Imprime(0, "ancien");
    r.Efface();
    r.Imprime(0, "  Vitesse min/max : 4 / 8 mm/s");
    r.Imprime(12, "  Temps de découpe : 2 mn 34 s");
    EXPECT_EQ(r.Texte(), "  Vitesse min/max : 4 / 8 mm/s\n  Temps de découpe : 2 mn 34 s");
    ASSERT_EQ(zone.lignes.size(), 2u);
    EXPECT_EQ(zone.lignes[1].Couleur, 12);
    EXPECT_EQ(zone.effacements, 1);
}

TEST(Molette, LesDeltasFontDesCrans) {
    for (const auto& l : test::LitTable("interactions/molette.tsv")) {
        CompteurCrans c;
        std::vector<double> crans;
        for (double d : test::Nombres(l[0]))
            crans.push_back(c.Ajoute(static_cast<int>(d)));
        EXPECT_EQ(crans, test::Nombres(l[1])) << l[0];
    }
}

TEST(Glisse, LeDessinSuitLaMain) {
    ImageRaster raster(200, 100, 15.0);
    raster.DefinitMapping({0, 50, 400, -200}); // 2 units a pixel
    EXPECT_FALSE(GlissementVue(raster, 10, 10, 10, 10));
    const auto g = GlissementVue(raster, 10, 10, 30, 5);
    ASSERT_TRUE(g);
    // Dragged 20 pixels right and 5 up: the view moves 40 units left and 10 down.
    EXPECT_NEAR(g->dX, -40, 1e-3);
    EXPECT_NEAR(g->dY, -10, 1e-3);
}

} // namespace
} // namespace parvel
