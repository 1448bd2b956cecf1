#include <gtest/gtest.h>

#include <string>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/APropos.h"
#include "settings/Configuration.h"

namespace parvel {
namespace {

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;

TEST(APropos, MagasinVideMontreDesZeros) {
    test::RegistreMemoire reg;
    TextesAPropos t = LitAPropos(reg, ",");
    EXPECT_EQ(t.Caption, "À propos de Parvel");
    EXPECT_EQ(t.Version, "Version 2.0.10");
    EXPECT_EQ(t.Titre, "Parvel");
    EXPECT_EQ(t.Config1, "Axe X, moteur de 0 pas/tour, vis de 0 mm/tour ");
    EXPECT_EQ(t.Config2, "Axe Y, moteur de 0 pas/tour, vis de 0 mm/tour ");
    EXPECT_EQ(t.Config3, " Répertoire des projets : ");
    EXPECT_EQ(t.Config4, " Hauteur de dégagement en Z :0mm à 0 mm/s pour X< 0 et Y> 0 mm");
    EXPECT_EQ(t.Config5, "Axe Z, moteur de 0 pas/tour, vis de 0 mm/tour ");
    EXPECT_FALSE(t.MessageErreur.has_value());
    EXPECT_FALSE(t.FinProgramme);
}

struct CasAPropos {
    const char* nom;
    bool fraisage; // the value lives in the program's own section, else in Tavik's
    const char* valeur;
    std::int32_t stocke;
    const char* separateur;
    std::string TextesAPropos::*ligne;
    const char* attendu;
};

class AProposValeurs : public ::testing::TestWithParam<CasAPropos> {};

TEST_P(AProposValeurs, MontreLaValeurStockee) {
    const CasAPropos& c = GetParam();
    test::RegistreMemoire reg;
    reg.PoseEntier(c.fraisage ? CleFraisageLue : CleTavik, c.valeur, c.stocke);
    TextesAPropos t = LitAPropos(reg, c.separateur);
    EXPECT_EQ(t.*c.ligne, c.attendu);
}

INSTANTIATE_TEST_SUITE_P(
    Lignes, AProposValeurs,
    ::testing::Values(CasAPropos{"XPasMillimes", false, "XPas", 1250, ",", &TextesAPropos::Config1,
                                 "Axe X, moteur de 0 pas/tour, vis de 1,25 mm/tour "},
                      CasAPropos{"XPasPoint", false, "XPas", 1250, ".", &TextesAPropos::Config1,
                                 "Axe X, moteur de 0 pas/tour, vis de 1.25 mm/tour "},
                      CasAPropos{"XNtour", false, "XNtour", 200, ",", &TextesAPropos::Config1,
                                 "Axe X, moteur de 200 pas/tour, vis de 0 mm/tour "},
                      CasAPropos{"YPasSousUn", false, "YPas", 500, ",", &TextesAPropos::Config2,
                                 "Axe Y, moteur de 0 pas/tour, vis de 0,5 mm/tour "},
                      CasAPropos{"YNtourNegatif", false, "YNtour", -48, ",", &TextesAPropos::Config2,
                                 "Axe Y, moteur de -48 pas/tour, vis de 0 mm/tour "},
                      CasAPropos{"VitZCentiemes", true, "VitZ", 250, ",", &TextesAPropos::Config4,
                                 " Hauteur de dégagement en Z :0mm à 2,5 mm/s pour X< 0 et Y> 0 mm"},
                      CasAPropos{"DegZ", true, "DegZ", 10, ",", &TextesAPropos::Config4,
                                 " Hauteur de dégagement en Z :10mm à 0 mm/s pour X< 0 et Y> 0 mm"},
                      CasAPropos{"XFraiseGrand", true, "XFraise", 123456789, ",", &TextesAPropos::Config4,
                                 " Hauteur de dégagement en Z :0mm à 0 mm/s pour X< 123456789 et Y> 0 mm"},
                      CasAPropos{"YFraiseSimple", true, "YFraise", 123456789, ",", &TextesAPropos::Config4,
                                 " Hauteur de dégagement en Z :0mm à 0 mm/s pour X< 0 et Y> 1,234568E+08 mm"},
                      CasAPropos{"ZPasEntier", true, "ZPas", 2, ",", &TextesAPropos::Config5,
                                 "Axe Z, moteur de 0 pas/tour, vis de 2 mm/tour "},
                      CasAPropos{"ZNtour", true, "ZNtour", 400, ",", &TextesAPropos::Config5,
                                 "Axe Z, moteur de 400 pas/tour, vis de 0 mm/tour "}),
    [](const ::testing::TestParamInfo<CasAPropos>& i) { return std::string(i.param.nom); });

TEST(APropos, RepertoireDesProjets) {
    test::RegistreMemoire reg;
    reg.PoseTexte(CleTavik, "RepProjet", "/home/atelier/projets");
    EXPECT_EQ(LitAPropos(reg, ",").Config3, " Répertoire des projets : /home/atelier/projets");
}

TEST(APropos, LitLesDeuxSectionsSansTenirCompteDeLaCasse) {
    test::RegistreMemoire reg;
    // The program writes its own section under a differently cased key and names.
    reg.PoseEntier("Software\\Local Appwizard-Generated Applications\\Parvel\\Fraisage", "Xfraise", 15);
    reg.PoseEntier(CleTavik, "ynTOUR", 48);
    TextesAPropos t = LitAPropos(reg, ",");
    EXPECT_EQ(t.Config2, "Axe Y, moteur de 48 pas/tour, vis de 0 mm/tour ");
    EXPECT_EQ(t.Config4, " Hauteur de dégagement en Z :0mm à 0 mm/s pour X< 15 et Y> 0 mm");
}

// A store that fails at one read, as only the platform could.
class RegistreDefaillant : public test::RegistreMemoire {
  public:
    std::string nomFatal;
    int erreur = 0;
    std::int32_t LitEntierRegistre(Racine r, std::string cle, std::string nom) override {
        if (nom == nomFatal)
            throw ErreurParvel(erreur);
        return RegistreMemoire::LitEntierRegistre(r, cle, nom);
    }
};

TEST(APropos, EchecNumeriqueRemetLaMecaniqueParDefaut) {
    RegistreDefaillant reg;
    reg.PoseEntier(CleTavik, "XNtour", 200);
    reg.PoseEntier(CleTavik, "XPas", 1250);
    reg.nomFatal = "VitZ";
    reg.erreur = ErrDivisionZero;
    TextesAPropos t = LitAPropos(reg, ",");
    ASSERT_TRUE(t.MessageErreur.has_value());
    EXPECT_EQ(*t.MessageErreur, "Erreur : 11 " + DescriptionErreur(11));
    EXPECT_FALSE(t.FinProgramme);
    EXPECT_EQ(t.Caption, "À propos de Parvel");
    EXPECT_EQ(t.Config1, "Axe X, moteur de 48 pas/tour, vis de 1 mm/tour ");
    EXPECT_EQ(t.Config2, "Axe Y, moteur de 48 pas/tour, vis de 1 mm/tour ");
    // The load stopped before the lines were built: the others keep their design text.
    EXPECT_EQ(t.Config3, TexteConfigDesign);
    EXPECT_EQ(t.Config5, TexteConfigDesign);
}

TEST(APropos, AutreEchecTermineLeProgramme) {
    RegistreDefaillant reg;
    reg.nomFatal = "XNtour";
    reg.erreur = ErrFichierIntrouvable;
    TextesAPropos t = LitAPropos(reg, ",");
    ASSERT_TRUE(t.MessageErreur.has_value());
    EXPECT_EQ(*t.MessageErreur, "Erreur : 53 " + DescriptionErreur(53));
    EXPECT_TRUE(t.FinProgramme);
    EXPECT_EQ(t.Version, "Version 2.0.10");
    EXPECT_EQ(t.Config1, TexteConfigDesign);
}

} // namespace
} // namespace parvel
