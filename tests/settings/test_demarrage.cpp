// SPDX-License-Identifier: GPL-3.0-or-later
// The machine configuration read at start-up, with its recovery.
#include <cstdlib>
#include <optional>
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

    void SetUp() override {
        if (const char* v = std::getenv(VariableAccueil))
            ancienAccueil = v;
        PoseVariable(VariableAccueil, Accueil.c_str());
    }
    void TearDown() override {
        PoseVariable(VariableAccueil, ancienAccueil ? ancienAccueil->c_str() : nullptr);
    }
};

TEST_F(Demarrage, Configurations) {
    for (const auto& l : test::LitTable("reglages/configurations.tsv")) {
        SCOPED_TRACE(l[0]);
        test::RegistreMemoire registre;
        for (const auto& [nom, v] : test::Paires(l[0]))
            registre.PoseEntier(CleTavik, nom, static_cast<std::int32_t>(v));
        if (l[1] != "-")
            registre.PoseTexte(CleTavik, "RepProjet", l[1]);
        registre.PoseTexte(CleTavik, "RepIns", "/tavik");
        for (const auto& [nom, numero] : test::Paires(l[6]))
            registre.echecsLecture[nom] = static_cast<int>(numero);
        const auto avant = test::Nombres(l[5]);
        ConfigMachine config;
        config.MmParPasX = avant[0];
        config.VitMaxY = avant[1];
        std::string dossierInitial;
        EXPECT_EQ(LitConfigMachine(registre, config, dossierInitial).value_or(""), l[7]);
        EXPECT_EQ((std::vector<double>{config.XNtour, config.XPas, config.YNtour, config.YPas, config.YVmax}),
                  test::Nombres(l[2]));
        const auto derives = test::Nombres(l[3]);
        EXPECT_DOUBLE_EQ(config.MmParPasX, derives[0]);
        EXPECT_DOUBLE_EQ(config.MmParPasY, derives[1]);
        EXPECT_DOUBLE_EQ(config.VitMaxY, derives[2]);
        // After a stop, nothing further is read.
        const bool arret = !l[7].empty();
        EXPECT_EQ(config.RepIns, arret ? "" : "/tavik");
        EXPECT_EQ(config.RepProjet, arret || l[1] == "-" ? "" : l[1]);
        EXPECT_EQ(dossierInitial, l[4] == "~" ? Accueil : l[4]);
    }
}

} // namespace
} // namespace parvel
