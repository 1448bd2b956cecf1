// SPDX-License-Identifier: GPL-3.0-or-later
// The checks of the load pass on the hand-written files of tests/data/verifications:
// each case of cas.tsv gives the thresholds and every finding expected, with its lines,
// ranges and worst value; and the memory a finding keeps, however many lines it has.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Chargeur.h"
#include "cut/Verifications.h"

namespace parvel {
namespace {

const std::string Dossier = std::string(PARVEL_DONNEES_TEST) + "/verifications/";

// The checker as the load pass calls it, and as any receiver of lines: the pass skips
// the travel check on lines inside the extents, the receiver checks every line; both
// find the same.
Verifications Verifie(const std::string& chemin, const SeuilsVerification& seuils) {
    Interpreteur interp;
    BilanCut bilan;
    Verificateur direct(seuils), recepteur(seuils);
    PasseChargement(chemin, interp, bilan, nullptr, nullptr, nullptr, &direct);
    PasseChargement(chemin, interp, bilan, nullptr, nullptr, &recepteur);
    Verifications v = direct.Resultat(), r = recepteur.Resultat();
    EXPECT_EQ(v.Constats.size(), r.Constats.size());
    for (std::size_t i = 0; i < std::min(v.Constats.size(), r.Constats.size()); ++i) {
        EXPECT_EQ(TexteConstat(v.Constats[i], "."), TexteConstat(r.Constats[i], "."));
        EXPECT_EQ(v.Constats[i].Temps, r.Constats[i].Temps);
    }
    return v;
}

SeuilsVerification LitSeuils(const std::string& champ) {
    SeuilsVerification s;
    if (champ == "-")
        return s;
    for (const auto& [nom, v] : test::Paires(champ)) {
        if (nom == "L" || nom == "d" || nom == "w") {
            GeometrieBloc& g = s.Bloc ? *s.Bloc : s.Bloc.emplace();
            (nom == "L" ? g.L : nom == "d" ? g.d : g.w) = v;
            continue;
        }
        double* const c = nom == "VitMaxY"   ? &s.VitMaxY
                          : nom == "CourseX" ? &s.CourseX
                          : nom == "CourseY" ? &s.CourseY
                          : nom == "Rapport" ? &s.RapportVitessesMax
                                             : nullptr;
        if (!c)
            ADD_FAILURE() << "seuil inconnu: " << nom;
        else
            *c = v;
    }
    return s;
}

std::string TextePlages(const Constat& c) {
    std::string t;
    for (const PlageLignes& p : c.Plages)
        t += (t.empty() ? "" : ",") + std::to_string(p.Debut) +
             (p.Fin != p.Debut ? "-" + std::to_string(p.Fin) : std::string());
    return t.empty() ? "-" : t;
}

TEST(Verifications, Cas) {
    for (const auto& ligne : test::LitTable("verifications/cas.tsv")) {
        ASSERT_EQ(ligne.size(), 4u);
        SCOPED_TRACE(ligne[0]);
        const std::string chemin =
            ligne[1] == "@aile" ? std::string(PARVEL_EXEMPLES) + "/aile.cut" : Dossier + ligne[1];
        const Verifications v = Verifie(chemin, LitSeuils(ligne[2]));
        std::vector<std::string> attendus;
        if (ligne[3] != "-") {
            std::istringstream s(ligne[3]);
            for (std::string a; std::getline(s, a, ';');)
                attendus.push_back(a);
        }
        ASSERT_EQ(v.Constats.size(), attendus.size());
        for (std::size_t i = 0; i < attendus.size(); ++i) {
            std::istringstream a(attendus[i]);
            std::string sorte, plages, pire;
            std::int64_t lignes = 0, lignePire = 0;
            a >> sorte >> lignes >> plages >> pire >> lignePire;
            const Constat& c = v.Constats[i];
            EXPECT_EQ(Description(c.Sorte).Cle, sorte);
            EXPECT_EQ(c.Lignes, lignes);
            EXPECT_EQ(TextePlages(c), plages);
            EXPECT_EQ(c.PlagesOmises, 0);
            EXPECT_EQ(c.LignePire, lignePire);
            if (pire != "-") {
                EXPECT_NEAR(c.Pire, test::Nombres(pire).at(0), 1e-12 * std::max(1.0, std::abs(c.Pire)));
            }
        }
        // A check without its setting is said to be skipped, the others done.
        const SeuilsVerification s = LitSeuils(ligne[2]);
        for (const Controle& c : v.Controles)
            EXPECT_EQ(c.Fait, c.Sorte == SorteConstat::VitesseY        ? s.VitMaxY > 0
                              : c.Sorte == SorteConstat::HorsCourse    ? s.CourseX > 0 || s.CourseY > 0
                              : c.Sorte == SorteConstat::ProfilInverse ? s.Bloc.has_value()
                                                                       : true)
                << Description(c.Sorte).Cle;
    }
}

// Many separate lines of one kind: a count, the worst value and the first few ranges, no more.
TEST(Verifications, MemoireBornee) {
    test::DossierTemporaire d;
    std::string f = "T:0 XG:0 YG:0 XD:0 YD:0\n";
    for (int i = 1; i <= 1000; ++i)
        f += "T:" + std::string(i == 700 ? "-3" : "0") + " XG:" + std::to_string(i) +
             " YG:0 XD:" + std::to_string(i) + " YD:0\nT:1 XG:" + std::to_string(i) +
             ".5 YG:0 XD:" + std::to_string(i) + ".5 YD:0\n";
    const Verifications v = Verifie(d.Ecrit("long.cut", f), SeuilsVerification{});
    ASSERT_EQ(v.Constats.size(), 1u);
    const Constat& c = v.Constats[0];
    EXPECT_EQ(c.Lignes, 1000);
    EXPECT_EQ(c.Plages.size(), PlagesGardees);
    EXPECT_EQ(c.PlagesOmises, 1000 - static_cast<std::int64_t>(PlagesGardees));
    EXPECT_EQ(c.Plages.back(), (PlageLignes{10, 10}));
    EXPECT_EQ(c.Pire, -3);
    EXPECT_EQ(c.LignePire, 1400);
    EXPECT_EQ(TexteConstat(c, ","),
              "Déplacement de durée nulle ou négative : 1000 lignes (2, 4, 6, 8, 10, …), "
              "pire : -3 s à la ligne 1400");
}

} // namespace
} // namespace parvel
