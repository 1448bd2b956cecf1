#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "settings/Configuration.h"

namespace parvel {
namespace {

using test::Banc;

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;

#ifdef _WIN32
constexpr const char* VariableAccueil = "USERPROFILE";
#else
constexpr const char* VariableAccueil = "HOME";
#endif

void PoseVariable(const char* nom, const char* valeur) { // null: unset
#ifdef _WIN32
    _putenv_s(nom, valeur ? valeur : "");
#else
    valeur ? setenv(nom, valeur, 1) : unsetenv(nom);
#endif
}

// Sets an environment variable for the life of the object.
struct VariableTemporaire {
    const char* nom;
    std::optional<std::string> ancienne;
    VariableTemporaire(const char* n, const std::string& valeur) : nom(n) {
        if (const char* v = std::getenv(nom))
            ancienne = v;
        PoseVariable(nom, valeur.c_str());
    }
    ~VariableTemporaire() { PoseVariable(nom, ancienne ? ancienne->c_str() : nullptr); }
};

const std::string Accueil = "/accueil/utilisateur";

class Demarrage : public testing::Test {
  protected:
    Banc b;
    VariableTemporaire accueil{VariableAccueil, Accueil};

    void Pose(const char* nom, std::int32_t v) { b.registre.PoseEntier(CleTavik, nom, v); }
};

TEST_F(Demarrage, PremierEtatDesControles) {
    b.p.Vue.Etat.Echelle = 3;
    b.image.posX = 12;
    b.image.posY = -4;
    for (bool& v : b.image.visibles)
        v = true;
    b.controles.DefinitActive(Option::Fige, true);

    b.p.Form_Load();

    EXPECT_EQ(b.p.CommonDialog1.Filtre, "Fichiers CUT | *.cut");
    EXPECT_TRUE(b.p.CommonDialog1.FichierExistant);
    EXPECT_EQ(b.p.Vue.Etat.Echelle, 1.0f);
    EXPECT_EQ(b.image.posX, 0);
    EXPECT_EQ(b.image.posY, 0);
    for (Forme f : {Forme::Selection, Forme::ZoneX, Forme::ZoneY})
        EXPECT_FALSE(b.image.FormeVisible(f)) << static_cast<int>(f);
    EXPECT_FALSE(b.controles.Active(Option::Fige));
    // Nothing is loaded, drawn or said.
    EXPECT_TRUE(b.p.CheminCourant().empty());
    EXPECT_TRUE(b.sortie.lignes.empty());
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_TRUE(b.dialogues.messages.empty());
    EXPECT_EQ(b.dialogues.bips, 0);
    EXPECT_EQ(b.dialogues.terminaisons, 0);
}

using Entiers = std::vector<std::pair<const char*, std::int32_t>>;

struct CasConfiguration {
    const char* nom;
    Entiers entiers;
    std::optional<std::string> repProjet;
    std::array<double, 5> mecanique; // XNtour, XPas, YNtour, YPas, YVmax
    std::array<double, 3> derives;   // MmParPasX, MmParPasY, VitMaxY
    std::string dossierInitial;
};

TEST_F(Demarrage, ConfigurationMachine) {
    const Entiers complet = {{"XNtour", 200}, {"XPas", 1250}, {"YNtour", 48}, {"YPas", 1000}, {"YVmax", 200}};
    const Entiers sansVmax = {{"XNtour", 200}, {"XPas", 1250}, {"YNtour", 400}, {"YPas", 2000}};
    const Entiers negatifs = {
        {"XNtour", -200}, {"XPas", 1000}, {"YNtour", 50}, {"YPas", -500}, {"YVmax", 100}};
    const std::array<double, 3> derivesComplet = {0.00625, 1.0 / 48, 1000.0 / 96}; // 1000 / (2 x 48) mm/s
    const CasConfiguration cas[] = {
        // No key: 0 / 0 at the X step size, then 1000 / 0 at the Y speed, both recovered;
        // the Y step size in between already uses the defaults.
        {"aucune clé", {}, std::nullopt, {48, 1, 48, 1, 0}, {0, 1.0 / 48, 0}, Accueil},
        // All but the Y top speed: the step sizes keep the stored mechanics, the
        // recovery at the top speed sets the defaults for what follows.
        {"tout sauf YVmax", sansVmax, "/projet", {48, 1, 48, 1, 0}, {0.00625, 0.005, 0}, Accueil},
        {"complète", complet, "/projet", {200, 1.25, 48, 1, 2}, derivesComplet, "/projet"},
        // No project folder: an empty initial folder, no recovery.
        {"sans RepProjet", complet, std::nullopt, {200, 1.25, 48, 1, 2}, derivesComplet, ""},
        // Negative mechanics read as missing: the X step size divides by zero and the
        // recovery sets the defaults for what follows.
        {"négatifs", negatifs, "/p", {48, 1, 48, 1, 1}, {0, 1.0 / 48, 1000.0 / 48}, Accueil},
    };
    for (const CasConfiguration& c : cas) {
        SCOPED_TRACE(c.nom);
        Banc banc;
        for (const auto& [nom, v] : c.entiers)
            banc.registre.PoseEntier(CleTavik, nom, v);
        if (c.repProjet)
            banc.registre.PoseTexte(CleTavik, "RepProjet", *c.repProjet);
        banc.registre.PoseTexte(CleTavik, "RepIns", "/tavik");
        banc.p.Form_Load();
        const ConfigMachine& m = banc.p.Config;
        EXPECT_EQ((std::array<double, 5>{m.XNtour, m.XPas, m.YNtour, m.YPas, m.YVmax}), c.mecanique);
        EXPECT_DOUBLE_EQ(m.MmParPasX, c.derives[0]);
        EXPECT_DOUBLE_EQ(m.MmParPasY, c.derives[1]);
        EXPECT_DOUBLE_EQ(m.VitMaxY, c.derives[2]);
        EXPECT_EQ(m.RepIns, "/tavik");
        EXPECT_EQ(m.RepProjet, c.repProjet.value_or(""));
        EXPECT_EQ(banc.p.CommonDialog1.DossierInitial, c.dossierInitial);
        EXPECT_TRUE(banc.dialogues.messages.empty());
        EXPECT_EQ(banc.dialogues.terminaisons, 0);
        // The milling parameters come last and see the Y mechanics as they ended.
        EXPECT_EQ(banc.p.Param.ZNtour, c.mecanique[2]);
        EXPECT_EQ(banc.p.Param.ZPas, c.mecanique[3]);
    }
}

// A speed stored as 0xffffffff (-1) would give lifts of negative duration: it reads as
// missing, and the milling defaults are taken.
TEST_F(Demarrage, VitesseZNegativeLueCommeAbsente) {
    Banc b;
    b.registre.PoseEntier(CleFraisageLue, "DegZ", 10);
    b.registre.PoseEntier(CleFraisageLue, "VitZ", -1);
    b.Recup_Param_Parvel();
    EXPECT_EQ(b.p.Param.VitZ, 2);
    EXPECT_GE(b.p.Param.TempsZ, 0);
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Demarrage, EtapeEnEchecNeStockeRien) {
    // The X step size fails (0 / 0) and the top speed (1 / 0): both keep what they held.
    b.p.Config.MmParPasX = 7;
    b.p.Config.VitMaxY = 9;
    Pose("YNtour", 48);
    Pose("YPas", 1000);
    b.p.Form_Load();
    EXPECT_EQ(b.p.Config.MmParPasX, 7);
    EXPECT_EQ(b.p.Config.VitMaxY, 9);
    EXPECT_DOUBLE_EQ(b.p.Config.MmParPasY, 1.0 / 48);
}

TEST_F(Demarrage, TypeIncompatibleRattrape) {
    // A type mismatch is recovered like the numeric failures; the steps after it run,
    // so the project folder read later still sets the initial folder.
    b.registre.echecsLecture["XNtour"] = 13;
    Pose("XPas", 2000);
    Pose("YNtour", 100);
    Pose("YPas", 1000);
    Pose("YVmax", 100);
    b.registre.PoseTexte(CleTavik, "RepProjet", "/projet");
    b.p.Form_Load();
    EXPECT_EQ(b.p.Config.XNtour, 48);
    EXPECT_EQ(b.p.Config.XPas, 2);
    EXPECT_DOUBLE_EQ(b.p.Config.MmParPasX, 2.0 / 48);
    EXPECT_EQ(b.p.Config.YNtour, 100);
    EXPECT_DOUBLE_EQ(b.p.Config.VitMaxY, 1000.0 / 100);
    EXPECT_EQ(b.p.CommonDialog1.DossierInitial, "/projet");
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Demarrage, AutreEchecArreteLeProgramme) {
    b.registre.echecsLecture["YPas"] = 5;
    Pose("XNtour", 200);
    Pose("XPas", 1000);
    b.registre.PoseTexte(CleTavik, "RepProjet", "/projet");
    b.p.Form_Load();
    ASSERT_EQ(b.dialogues.messages.size(), 1u);
    EXPECT_EQ(b.dialogues.messages[0],
              "Erreur : 5 dans chargement Feuille Appel de procédure ou argument incorrect");
    EXPECT_EQ(b.dialogues.terminaisons, 1);
    // Done before the failure, and nothing after it.
    EXPECT_EQ(b.p.Config.XPas, 1);
    EXPECT_TRUE(b.p.Config.RepProjet.empty());
    EXPECT_TRUE(b.registre.ecritures.empty()) << "les paramètres de fraisage ne sont pas chargés";
}

TEST_F(Demarrage, EchecDesParametresDeFraisageAUnMessageASoi) {
    b.registre.echecsLecture["ZPas"] = 53;
    b.p.Form_Load();
    ASSERT_EQ(b.dialogues.messages.size(), 1u);
    EXPECT_EQ(b.dialogues.messages[0], "Erreur dans Parvel : 53 Fichier introuvable");
    EXPECT_EQ(b.dialogues.terminaisons, 1);
}

TEST_F(Demarrage, CommandesQuitterEtAPropos) {
    b.p.A_propos_Click();
    EXPECT_EQ(b.dialogues.aPropos, 1);
    EXPECT_EQ(b.dialogues.terminaisons, 0);
    b.p.Fin_Click();
    EXPECT_EQ(b.dialogues.terminaisons, 1);
    EXPECT_TRUE(b.dialogues.messages.empty());
}

} // namespace
} // namespace parvel
