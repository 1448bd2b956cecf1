// The milling parameters: their loading with its recovery, their saving and the
// "Réglage" prompts, on an in-memory store and scripted dialogs, with the tables of
// tests/data/reglages.
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/Configuration.h"
#include "settings/Demarrage.h"
#include "settings/ParamFraisage.h"

namespace parvel {
namespace {

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;
const std::string Vitesse = "Vitesse de dégagement en Z (mm/s). Max :";
const char* const Noms[] = {"DegZ", "VitZ", "XFraise", "YFraise", "ZNtour", "ZPas"};

std::vector<std::vector<std::string>> Table(const char* nom) {
    return test::LitTable(std::filesystem::path(PARVEL_DONNEES_TEST) / "reglages" / nom);
}

void PoseFraisage(test::RegistreMemoire& r, const std::vector<double>& stockes) {
    for (std::size_t i = 0; i < stockes.size(); ++i)
        r.PoseEntier(CleFraisageLue, Noms[i], static_cast<std::int32_t>(stockes[i]));
}

// The numbers written, after checking they all went to the program's key, in the letter
// case and order it writes with.
std::vector<double> Ecrits(const test::RegistreMemoire& r) {
    const char* const ecrits[] = {"DegZ", "VitZ", "Xfraise", "Yfraise", "ZNtour", "ZPas"};
    std::vector<double> v;
    for (const std::string& e : r.ecritures) {
        const std::string attendu = std::string(CleFraisageEcrite) + "|" + ecrits[v.size() % 6] + "=";
        EXPECT_EQ(e.compare(0, attendu.size(), attendu), 0) << e;
        v.push_back(std::stod(e.substr(attendu.size())));
    }
    return v;
}

std::vector<double> Valeurs(const ParamFraisage& p) {
    return {p.DegZ, p.VitZ, p.XFraise, p.YFraise, p.ZNtour, p.ZPas};
}
std::vector<double> Precedentes(const ParamFraisage& p) {
    return {p.DegZPrec, p.VitZPrec, p.XFraisePrec, p.YFraisePrec, p.ZNtourPrec, p.ZPasPrec};
}

TEST(Recuperation, Demarrages) {
    for (const auto& l : Table("recuperations.tsv")) {
        SCOPED_TRACE(l[0] + " / " + l[1]);
        test::RegistreMemoire registre;
        const auto y = test::Nombres(l[1]);
        ConfigMachine config;
        config.YNtour = y[0];
        config.YPas = y[1];
        ParamFraisage p;
        p.DegZYD = test::Nombres(l[2]).at(0);
        if (l[0] != "-")
            PoseFraisage(registre, test::Nombres(l[0]));
        std::istringstream echec(l[9]);
        std::string nom;
        int numero = 0;
        if (echec >> nom >> numero)
            registre.echecsLecture[nom] = numero;
        const auto arret = Recup_Param_Parvel(registre, config, p);
        EXPECT_EQ(arret.value_or(""), l[8]);
        if (l[3] != "-") {
            EXPECT_EQ(Valeurs(p), test::Nombres(l[3]));
            EXPECT_EQ(Precedentes(p), test::Nombres(l[4]));
            EXPECT_EQ(p.TempsZ, static_cast<float>(test::Nombres(l[5]).at(0)));
            EXPECT_DOUBLE_EQ(p.DegZYD, test::Nombres(l[6]).at(0));
        }
        EXPECT_EQ(Ecrits(registre), l[7] == "-" ? std::vector<double>{} : test::Nombres(l[7]));
    }
}

// Rounded half to even after scaling; out of the 32-bit range, error 6 before any write.
TEST(SauveRegistre, ArrondiAuPairEchelleEtDepassement) {
    for (const auto& l : Table("sauvegardes.tsv")) {
        SCOPED_TRACE(l[0] + " " + l[1]);
        test::RegistreMemoire registre;
        ParamFraisage p;
        double* champs[] = {&p.DegZ, &p.VitZ, &p.XFraise, &p.YFraise, &p.ZNtour, &p.ZPas};
        for (int k = 0; k < 6; ++k)
            if (l[0] == Noms[k])
                *champs[k] = test::Nombres(l[1]).at(0);
        int numero = 0;
        try {
            SauveRegistre(registre, p);
        } catch (const ErreurParvel& e) {
            numero = e.Numero();
        }
        const bool depasse = l[3] == "dépassement";
        EXPECT_EQ(numero, depasse ? ErrDepassement : 0);
        EXPECT_EQ(registre.ecritures.size(), depasse ? 0u : 6u);
        EXPECT_EQ(registre.Entier(CleFraisageLue, l[2]),
                  depasse ? std::nullopt : std::optional<std::int32_t>(std::stoi(l[3])));
    }
}

// A complete machine (Y: 48 steps of a 1 mm screw, 2 ms a step, so 10.4166 mm/s) and
// stored milling parameters with the same mechanics for Z.
class Reglage : public testing::Test {
  protected:
    test::RegistreMemoire registre;
    test::DialoguesScriptes dialogues;
    ConfigMachine config;
    ParamFraisage p;
    void SetUp() override {
        for (auto [nom, v] :
             {std::pair{"XNtour", 48}, {"XPas", 1000}, {"YNtour", 48}, {"YPas", 1000}, {"YVmax", 200}})
            registre.PoseEntier(CleTavik, nom, v);
        PoseFraisage(registre, {10, 200, 15, 40, 48, 1});
        config = {};
        std::string dossier;
        ASSERT_FALSE(LitConfigMachine(registre, config, dossier));
        ASSERT_FALSE(Recup_Param_Parvel(registre, config, p));
        dialogues.limiteInvites = 50;
    }
    // The prompts, then the save, as "Réglage" runs them.
    void Lance(std::vector<std::string> reponses, const std::string& separateur = ".") {
        dialogues.reponses.assign(reponses.begin(), reponses.end());
        dialogues.invites.clear();
        registre.ecritures.clear();
        DemandeParamFraisage(dialogues, config, p, separateur);
        SauveRegistre(registre, p);
    }
};

TEST_F(Reglage, InvitesEtTextesParDefaut) {
    p.XFraise = 2.5;
    p.YFraise = 0.5;
    Lance({}, ",");
    const std::vector<std::pair<std::string, std::string>> attendu = {
        {"Dégagement en Z (mm)", "10"},
        {"Distance de dégagement en X (mm)", "2.5"},
        {"Distance de dégagement en Y (mm)", "0.5"},
        {"Nombre de pas par tour pour l'axe Z", "48"},
        {"Pas de la vis pour l'axe Z (mm/t)", "1"},
        {Vitesse + "10,41", "2"},
    };
    ASSERT_EQ(dialogues.invites.size(), attendu.size());
    for (std::size_t i = 0; i < attendu.size(); ++i) {
        EXPECT_EQ(dialogues.invites[i].titre, "Paramètres Fraisage 2.5");
        EXPECT_EQ(dialogues.invites[i].texte, attendu[i].first);
        EXPECT_EQ(dialogues.invites[i].defaut, attendu[i].second);
    }
    // Cancel everywhere comes back to the last accepted values, whatever a load's view
    // set-up or an unaccepted speed left in their place.
    p.XFraise = 0;
    p.YFraise = 3;
    p.VitZ = 7;
    Lance({});
    EXPECT_EQ(Valeurs(p), (std::vector<double>{10, 2, 15, 40, 48, 1}));
    EXPECT_EQ(Precedentes(p), Valeurs(p));
    EXPECT_EQ(p.TempsZ, 5);
    EXPECT_EQ(Ecrits(registre), (std::vector<double>{10, 200, 15, 40, 48, 1}));
}

TEST_F(Reglage, LectureDesReponses) {
    for (const auto& l : Table("reponses.tsv")) {
        SCOPED_TRACE(l[0]);
        Lance({l[0]});
        EXPECT_EQ(p.DegZ, test::Nombres(l[1]).at(0));
        EXPECT_EQ(p.DegZPrec, p.DegZ);
        EXPECT_EQ(dialogues.invites.size(), 6u);
        Lance({"10"}); // back to the stored state
    }
    // An X limit put to 0 by the view is shown as such; Cancel gives back the accepted one.
    p.XFraise = 0;
    Lance({"", ""});
    EXPECT_EQ(dialogues.invites.at(1).defaut, "0");
    EXPECT_EQ(p.XFraise, 15);
}

TEST_F(Reglage, ParametresDerivesEtStockage) {
    Lance({"4", "20", "30", "96", "2", "2.125"});
    EXPECT_DOUBLE_EQ(p.DegZYD, 4 * (96.0 / 2) * (1.0 / 48));
    EXPECT_DOUBLE_EQ(p.VitMaxZ, 1000.0 / 96 / (96.0 / 2) / (1.0 / 48));
    EXPECT_EQ(p.TempsZ, static_cast<float>(4 / 2.125));
    EXPECT_EQ(p.VitZPrec, 2.125);
    EXPECT_EQ(p.ZNtourPrec, 96);
    EXPECT_EQ(Ecrits(registre), (std::vector<double>{4, 212, 20, 30, 96, 2}));
    ASSERT_FALSE(Recup_Param_Parvel(registre, config, p));
    EXPECT_EQ(p.VitZ, 2.12);
    // A Z axis with a zero in its mechanics takes the Y axis's.
    config.YNtour = 200;
    config.YPas = 5;
    for (const std::vector<std::string>& r :
         {std::vector<std::string>{"", "", "", "", "0"}, {"", "", "", "0", ""}}) {
        Lance(r);
        EXPECT_EQ(Valeurs(p), (std::vector<double>{4, 2.12, 20, 30, 200, 5}));
        EXPECT_DOUBLE_EQ(p.DegZYD, 4);
        EXPECT_EQ(Ecrits(registre), (std::vector<double>{4, 212, 20, 30, 200, 5}));
        Lance({"", "", "", "96", "2"});
    }
}

TEST_F(Reglage, Vitesses) {
    for (const auto& l : Table("vitesses.tsv")) {
        SCOPED_TRACE(l[0] + " " + l[1] + " " + l[2]);
        SetUp(); // the stored state again
        if (l[0] != "-") {
            // Z and Y mechanics in powers of two: the top Z speed is exactly the top Y speed.
            config.VitMaxY = test::Nombres(l[0]).at(0);
            config.YNtour = p.ZNtour = p.ZNtourPrec = 64;
            config.YPas = p.ZPas = p.ZPasPrec = 2;
        }
        if (l[1] != "-")
            p.VitZPrec = test::Nombres(l[1]).at(0);
        std::vector<std::string> reponses(5, "");
        std::istringstream vitesses(l[2]);
        for (std::string r; !l[2].empty() && std::getline(vitesses, r, '|');)
            reponses.push_back(r);
        if (!l[2].empty() && l[2].back() == '|')
            reponses.push_back("");
        Lance(reponses);
        EXPECT_DOUBLE_EQ(p.VitZ, test::Nombres(l[3]).at(0));
        EXPECT_EQ(p.VitZPrec, p.VitZ);
        EXPECT_EQ(p.TempsZ, static_cast<float>(p.DegZ / p.VitZ));
        EXPECT_EQ(dialogues.invites.size(), 5 + std::stoul(l[4]));
        for (std::size_t i = 5; l[5] != "-" && i < dialogues.invites.size(); ++i)
            EXPECT_EQ(dialogues.invites[i].texte, Vitesse + l[5]);
    }
}

TEST_F(Reglage, VitesseRedemandeeAvecLaReponseRefusee) {
    Lance({"", "", "", "", "", "50", "3"});
    ASSERT_EQ(dialogues.invites.size(), 7u);
    EXPECT_EQ(dialogues.invites[5].defaut, "2");
    EXPECT_EQ(dialogues.invites[6].defaut, "50");
}

// The speed's default is written with the separator of the maximum shown beside it.
TEST(ReglageSansDemarrage, DefautAvecLeSeparateurDuMaximum) {
    test::DialoguesScriptes dialogues;
    dialogues.reponses = {"", "", "", "", "", "2,5"};
    ParamFraisage p;
    p.VitZ = p.VitZPrec = 2.25;
    DemandeParamFraisage(dialogues, ConfigMachine{}, p, ",");
    EXPECT_EQ(dialogues.invites.at(5).defaut, "2,25");
    EXPECT_EQ(p.VitZ, 2.5);
}

TEST(ReglageSansDemarrage, MecaniqueYInutilisable) {
    // No start-up ran: the Y mechanics are 0 and nothing can be converted.
    test::DialoguesScriptes dialogues;
    dialogues.reponses = {"10", "", "", "48", "1", "0"};
    ParamFraisage p;
    p.DegZYD = 3.5;
    DemandeParamFraisage(dialogues, ConfigMachine{}, p, ".");
    EXPECT_EQ(p.DegZYD, 3.5) << "la hauteur garde sa valeur";
    EXPECT_EQ(p.VitMaxZ, 0);
    EXPECT_EQ(dialogues.invites.size(), 6u);
    EXPECT_EQ(p.VitZ, 2);
    EXPECT_EQ(p.TempsZ, 5);
}

} // namespace
} // namespace parvel
