// The machine configuration read at start-up, with its recovery.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "settings/Configuration.h"
#include "settings/Demarrage.h"

namespace parvel {
namespace {

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

const std::string Accueil = "/accueil/utilisateur";

class Demarrage : public testing::Test {
  protected:
    std::optional<std::string> ancienAccueil;
    test::RegistreMemoire registre;
    ConfigMachine config;
    std::string dossierInitial;

    void SetUp() override {
        if (const char* v = std::getenv(VariableAccueil))
            ancienAccueil = v;
        PoseVariable(VariableAccueil, Accueil.c_str());
    }
    void TearDown() override {
        PoseVariable(VariableAccueil, ancienAccueil ? ancienAccueil->c_str() : nullptr);
    }
    void Pose(const char* nom, std::int32_t v) { registre.PoseEntier(CleTavik, nom, v); }
    std::optional<std::string> Lit() { return LitConfigMachine(registre, config, dossierInitial); }
};

TEST_F(Demarrage, Configurations) {
    for (const auto& l :
         test::LitTable(std::filesystem::path(PARVEL_DONNEES_TEST) / "reglages" / "configurations.tsv")) {
        SCOPED_TRACE(l[0]);
        registre = {};
        config = {};
        std::istringstream entiers(l[0]);
        for (std::string e; entiers >> e;)
            Pose(e.substr(0, e.find('=')).c_str(), std::stoi(e.substr(e.find('=') + 1)));
        if (l[1] != "-")
            registre.PoseTexte(CleTavik, "RepProjet", l[1]);
        registre.PoseTexte(CleTavik, "RepIns", "/tavik");
        EXPECT_EQ(Lit(), std::nullopt);
        EXPECT_EQ((std::vector<double>{config.XNtour, config.XPas, config.YNtour, config.YPas, config.YVmax}),
                  test::Nombres(l[2]));
        const auto derives = test::Nombres(l[3]);
        EXPECT_DOUBLE_EQ(config.MmParPasX, derives[0]);
        EXPECT_DOUBLE_EQ(config.MmParPasY, derives[1]);
        EXPECT_DOUBLE_EQ(config.VitMaxY, derives[2]);
        EXPECT_EQ(config.RepIns, "/tavik");
        EXPECT_EQ(config.RepProjet, l[1] == "-" ? "" : l[1]);
        EXPECT_EQ(dossierInitial, l[4] == "~" ? Accueil : l[4]);
    }
}

TEST_F(Demarrage, EtapeEnEchecNeStockeRien) {
    // The X step size fails (0 / 0) and the top speed (1 / 0): both keep what they held.
    config.MmParPasX = 7;
    config.VitMaxY = 9;
    Pose("YNtour", 48);
    Pose("YPas", 1000);
    EXPECT_EQ(Lit(), std::nullopt);
    EXPECT_EQ(config.MmParPasX, 7);
    EXPECT_EQ(config.VitMaxY, 9);
    EXPECT_DOUBLE_EQ(config.MmParPasY, 1.0 / 48);
}

TEST_F(Demarrage, TypeIncompatibleRattrape) {
    // A type mismatch is recovered like the numeric failures; the steps after it run.
    registre.echecsLecture["XNtour"] = 13;
    Pose("XPas", 2000);
    Pose("YNtour", 100);
    Pose("YPas", 1000);
    Pose("YVmax", 100);
    registre.PoseTexte(CleTavik, "RepProjet", "/projet");
    EXPECT_EQ(Lit(), std::nullopt);
    EXPECT_EQ(config.XNtour, 48);
    EXPECT_EQ(config.XPas, 2);
    EXPECT_DOUBLE_EQ(config.MmParPasX, 2.0 / 48);
    EXPECT_EQ(config.YNtour, 100);
    EXPECT_DOUBLE_EQ(config.VitMaxY, 1000.0 / 100);
    EXPECT_EQ(dossierInitial, "/projet");
}

TEST_F(Demarrage, AutreEchecArreteLeProgramme) {
    registre.echecsLecture["YPas"] = 5;
    Pose("XNtour", 200);
    Pose("XPas", 1000);
    registre.PoseTexte(CleTavik, "RepProjet", "/projet");
    EXPECT_EQ(Lit(), "Erreur : 5 dans chargement Feuille Appel de procédure ou argument incorrect");
    // Done before the failure, and nothing after it.
    EXPECT_EQ(config.XPas, 1);
    EXPECT_TRUE(config.RepProjet.empty());
}

} // namespace
} // namespace parvel
