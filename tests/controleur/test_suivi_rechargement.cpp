// SPDX-License-Identifier: GPL-3.0-or-later
// The long work's panel policy and the live reload's settle rule, on a clock the test turns.
#include <gtest/gtest.h>

#include <algorithm>

#include "Doubles.h"
#include "controleur/Rechargement.h"
#include "controleur/SuiviTravaux.h"

namespace parvel {
namespace {

class SuiviHorloge : public SuiviTravaux {
  public:
    std::int64_t temps = 1000;
    std::vector<std::string> vu;   // what the panel did
    std::vector<Saisie> enAttente; // the user's input waiting in the window's queue
    std::vector<Saisie> passees;

  protected:
    std::int64_t Maintenant() const override { return temps; }
    void MontrePanneau(const std::string& e) override { vu.push_back("montre " + e); }
    void CachePanneau() override { vu.push_back("cache"); }
    void MontreEtape(const std::string& e) override { vu.push_back("etape " + e); }
    void MontrePourcentage(int p) override { vu.push_back(std::to_string(p) + " %"); }
    void MontreAnnulation(const std::string& t) override { vu.push_back("annule " + t); }
    void TraiteEvenements() override {
        vu.push_back("evenements");
        for (Saisie s : enAttente)
            if (Laisse(s))
                passees.push_back(s);
        enAttente.clear();
    }
};

TEST(SuiviTravaux, LePanneauApresUnMomentEtLesEvenementsAuPas) {
    SuiviHorloge s;
    s.Commence();
    EXPECT_TRUE(s.Occupe());
    EXPECT_TRUE(s.Continue(0, 100)); // the first report looks at the events at once
    s.temps += SuiviTravaux::PasMs - 1;
    EXPECT_TRUE(s.Continue(10, 100)); // too soon: nothing
    EXPECT_EQ(s.vu, std::vector<std::string>{"evenements"});
    s.temps = 1000 + SuiviTravaux::DelaiMs - 1;
    s.Continue(20, 100);
    EXPECT_EQ(s.vu.back(), "evenements"); // still hidden
    s.temps += SuiviTravaux::PasMs;
    s.Continue(50, 200);
    s.Etape("Dessin du fichier…");
    s.Termine(nullptr);
    EXPECT_FALSE(s.Occupe());
    EXPECT_EQ(s.vu, (std::vector<std::string>{"evenements", "evenements", "montre Lecture du fichier…",
                                              "25 %", "evenements", "etape Dessin du fichier…", "cache"}));
}

TEST(SuiviTravaux, CeQuiPassePendantLeTravail) {
    const char* noms[] = {"Aucune", "Echap", "Fermeture", "Quitter", "SurAnnuler", "Autre"};
    for (const auto& l : test::LitTable("interactions/saisies.tsv")) {
        SuiviHorloge s;
        s.Commence();
        const auto n = std::find(std::begin(noms), std::end(noms), l[0]) - std::begin(noms);
        ASSERT_LT(n, 6) << l[0];
        s.enAttente = {static_cast<SuiviTravaux::Saisie>(n)};
        EXPECT_EQ(s.Continue(1, 2), l[2] == "0") << l[0];
        EXPECT_EQ(s.passees.size(), l[1] == "1" ? 1u : 0u) << l[0];
        EXPECT_EQ(s.QuitterDemande(), l[3] == "1") << l[0];
    }
}

TEST(SuiviTravaux, UnTravailArreteLeDitEtLeSuivantRepartDeZero) {
    SuiviHorloge s;
    s.Commence();
    s.enAttente = {SuiviTravaux::Saisie::Fermeture};
    EXPECT_FALSE(s.Continue(1, 2));
    s.Termine("Chargement annulé");
    EXPECT_EQ(s.vu.back(), "annule Chargement annulé");
    s.Commence();
    EXPECT_FALSE(s.QuitterDemande());
    EXPECT_TRUE(s.Continue(1, 2));
}

using Suite = Rechargement::Suite;

TEST(Rechargement, PrevenuRechargeQuandLaTailleEtLaDateTiennent) {
    Rechargement r;
    const EtatFichier a{100, 1}, b{200, 2};
    r.Change();
    EXPECT_EQ(r.Regarde(a, false), Suite::Attendre);            // one look proves nothing
    EXPECT_EQ(r.Regarde(b, false), Suite::Attendre);            // still being written
    EXPECT_EQ(r.Regarde(b, true), Suite::Attendre);             // a procedure runs
    EXPECT_EQ(r.Regarde(std::nullopt, false), Suite::Attendre); // replaced, not there yet
    EXPECT_EQ(r.Regarde(b, false), Suite::Attendre);
    EXPECT_EQ(r.Regarde(b, false), Suite::Recharger);
    EXPECT_EQ(r.Regarde(b, false), Suite::Rien); // loaded: nothing changed since
    r.Change();
    EXPECT_EQ(r.Regarde(b, false), Suite::Attendre); // a look from before the news counts for nothing
    EXPECT_EQ(r.Regarde(b, false), Suite::Recharger);
}

TEST(Rechargement, AuxAguetsVoitLeChangementLuiMeme) {
    test::DossierTemporaire d;
    const std::string chemin = d.Ecrit("aile.cut", "G1 X1\n");
    Rechargement r;
    r.Suit(chemin, 1);
    EXPECT_EQ(r.Regarde(false), Suite::Rien);
    d.Ecrit("aile.cut", "G1 X1\nG1 X2\n");
    EXPECT_EQ(r.Regarde(false), Suite::Attendre);
    EXPECT_EQ(r.Regarde(false), Suite::Recharger);
    EXPECT_EQ(r.Regarde(false), Suite::Rien);
    // The user loaded it again meanwhile: that load is the reference.
    d.Ecrit("aile.cut", "G1 X3\n");
    EXPECT_EQ(r.Regarde(false), Suite::Attendre);
    r.Suit(chemin, 2);
    EXPECT_EQ(r.Regarde(false), Suite::Rien);
    // No file: nothing to look at.
    r.Suit("", 2);
    EXPECT_EQ(r.Regarde(false), Suite::Rien);
    EXPECT_FALSE(EtatDuFichier((d.Chemin() / "absent.cut").string()));
    EXPECT_EQ(EtatDuFichier(chemin)->Taille, 6u);
}

} // namespace
} // namespace parvel
