// SPDX-License-Identifier: GPL-3.0-or-later
// The about box's texts, read from the store as stored.
#include <string>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/APropos.h"
#include "settings/Configuration.h"

namespace parvel {
namespace {

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;

std::string Ligne(const TextesAPropos& t, int n) {
    const std::string* lignes[] = {&t.Config1, &t.Config2, &t.Config3, &t.Config4, &t.Config5};
    return *lignes[n - 1];
}

// One value stored a row, under the key the row names: the sibling application's, or
// the program's own section as it reads or as it writes it (another letter case).
TEST(APropos, ChaqueValeurStockee) {
    for (const auto& l : test::LitTable("reglages/apropos.tsv")) {
        SCOPED_TRACE(l[1] + " " + l[3]);
        test::RegistreMemoire reg;
        const std::string cle = l[0] == "Tavik"      ? CleTavik
                                : l[0] == "Fraisage" ? CleFraisageLue
                                                     : CleFraisageEcrite;
        if (l[1].rfind("Rep", 0) == 0)
            reg.PoseTexte(cle, l[1], l[2]);
        else
            reg.PoseEntier(cle, l[1], std::stoi(l[2]));
        const TextesAPropos t = LitAPropos(reg, l[3]);
        EXPECT_EQ(Ligne(t, std::stoi(l[4])), l[5]);
        EXPECT_FALSE(t.MessageErreur.has_value());
    }
}

TEST(APropos, EchecNumeriqueRemetLaMecaniqueParDefaut) {
    test::RegistreMemoire reg;
    reg.PoseEntier(CleTavik, "XNtour", 200);
    reg.PoseEntier(CleTavik, "XPas", 1250);
    reg.echecsLecture["VitZ"] = ErrDivisionZero;
    const TextesAPropos t = LitAPropos(reg, ",");
    EXPECT_EQ(t.MessageErreur, "Erreur : 11 " + DescriptionErreur(11));
    EXPECT_FALSE(t.FinProgramme);
    EXPECT_EQ(t.Caption, "À propos de Parvel");
    EXPECT_EQ(t.Config1, "Axe X, moteur de 48 pas/tour, vis de 1 mm/tour ");
    EXPECT_EQ(t.Config2, "Axe Y, moteur de 48 pas/tour, vis de 1 mm/tour ");
    // The load stopped before the lines were built: the others keep their design text.
    EXPECT_EQ(t.Config3, TexteConfigDesign);
    EXPECT_EQ(t.Config5, TexteConfigDesign);
}

TEST(APropos, AutreEchecTermineLeProgramme) {
    test::RegistreMemoire reg;
    reg.echecsLecture["XNtour"] = ErrFichierIntrouvable;
    const TextesAPropos t = LitAPropos(reg, ",");
    EXPECT_EQ(t.MessageErreur, "Erreur : 53 " + DescriptionErreur(53));
    EXPECT_TRUE(t.FinProgramme);
    EXPECT_EQ(t.Version, std::string("Version ") + PARVEL_VERSION_PROJET);
    EXPECT_EQ(t.Config1, TexteConfigDesign);
}

} // namespace
} // namespace parvel
