// The about box's texts, read from the store as stored.
#include <filesystem>
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

TEST(APropos, MagasinVideMontreDesZeros) {
    test::RegistreMemoire reg;
    const TextesAPropos t = LitAPropos(reg, ",");
    EXPECT_EQ(t.Caption, "À propos de Parvel");
    EXPECT_EQ(t.Version, "Version 2.0.10");
    EXPECT_EQ(t.Config1, "Axe X, moteur de 0 pas/tour, vis de 0 mm/tour ");
    EXPECT_EQ(t.Config2, "Axe Y, moteur de 0 pas/tour, vis de 0 mm/tour ");
    EXPECT_EQ(t.Config3, " Répertoire des projets : ");
    EXPECT_EQ(t.Config4, " Hauteur de dégagement en Z :0mm à 0 mm/s pour X< 0 et Y> 0 mm");
    EXPECT_EQ(t.Config5, "Axe Z, moteur de 0 pas/tour, vis de 0 mm/tour ");
    EXPECT_FALSE(t.MessageErreur.has_value());
}

TEST(APropos, ChaqueValeurStockee) {
    for (const auto& l :
         test::LitTable(std::filesystem::path(PARVEL_DONNEES_TEST) / "reglages" / "apropos.tsv")) {
        SCOPED_TRACE(l[1] + " " + l[3]);
        test::RegistreMemoire reg;
        reg.PoseEntier(l[0] == "Fraisage" ? CleFraisageLue : CleTavik, l[1], std::stoi(l[2]));
        EXPECT_EQ(Ligne(LitAPropos(reg, l[3]), std::stoi(l[4])), l[5]);
    }
}

TEST(APropos, DossierDesProjetsEtCasseDesNoms) {
    test::RegistreMemoire reg;
    reg.PoseTexte(CleTavik, "RepProjet", "/home/atelier/projets");
    // The program writes its own section under a differently cased key and names.
    reg.PoseEntier(CleFraisageEcrite, "Xfraise", 15);
    reg.PoseEntier(CleTavik, "ynTOUR", 48);
    const TextesAPropos t = LitAPropos(reg, ",");
    EXPECT_EQ(t.Config3, " Répertoire des projets : /home/atelier/projets");
    EXPECT_EQ(t.Config2, "Axe Y, moteur de 48 pas/tour, vis de 0 mm/tour ");
    EXPECT_EQ(t.Config4, " Hauteur de dégagement en Z :0mm à 0 mm/s pour X< 15 et Y> 0 mm");
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
    EXPECT_EQ(t.Version, "Version 2.0.10");
    EXPECT_EQ(t.Config1, TexteConfigDesign);
}

} // namespace
} // namespace parvel
