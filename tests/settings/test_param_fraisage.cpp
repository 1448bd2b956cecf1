// SPDX-License-Identifier: GPL-3.0-or-later
// The milling parameters: their loading with its recovery, their saving and the
// "Réglage" prompts, on an in-memory store and scripted dialogs, with the tables of
// tests/data/reglages.
#include <array>
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
const char* const Noms[] = {"DegZ", "VitZ", "XFraise", "YFraise", "ZNtour", "ZPas"};

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
    for (const auto& l : test::LitTable("reglages/recuperations.tsv")) {
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
        for (const auto& [nom, numero] : test::Paires(l[9]))
            registre.echecsLecture[nom] = static_cast<int>(numero);
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
    for (const auto& l : test::LitTable("reglages/sauvegardes.tsv")) {
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

// A field of the parameters or of the machine, by its name in the table.
double& Champ(ParamFraisage& p, ConfigMachine& c, const std::string& nom) {
    const std::array<std::string, 14> noms = {"DegZ",     "VitZ",    "XFraise", "YFraise",  "ZNtour",
                                              "ZPas",     "DegZYD",  "VitMaxZ", "VitZPrec", "ZNtourPrec",
                                              "ZPasPrec", "VitMaxY", "YNtour",  "YPas"};
    const std::array<double*, 14> champs = {&p.DegZ,     &p.VitZ,    &p.XFraise, &p.YFraise,  &p.ZNtour,
                                            &p.ZPas,     &p.DegZYD,  &p.VitMaxZ, &p.VitZPrec, &p.ZNtourPrec,
                                            &p.ZPasPrec, &c.VitMaxY, &c.YNtour,  &c.YPas};
    return *champs.at(std::find(noms.begin(), noms.end(), nom) - noms.begin());
}

// One "Réglage" a row of reglages/reglage.tsv: the prompts answered, then the save.
TEST(Reglage, Lancements) {
    const std::string textes[] = {"Dégagement en Z (mm)", "Distance de dégagement en X (mm)",
                                  "Distance de dégagement en Y (mm)", "Nombre de pas par tour pour l'axe Z",
                                  "Pas de la vis pour l'axe Z (mm/t)"};
    for (const auto& l : test::LitTable("reglages/reglage.tsv")) {
        SCOPED_TRACE(l[0] + " / " + l[1] + " / " + l[2]);
        test::RegistreMemoire registre;
        test::DialoguesScriptes dialogues;
        dialogues.limiteInvites = 50;
        ConfigMachine config;
        ParamFraisage p;
        if (l[0] == "Tavik") {
            for (auto [nom, v] :
                 {std::pair{"XNtour", 48}, {"XPas", 1000}, {"YNtour", 48}, {"YPas", 1000}, {"YVmax", 200}})
                registre.PoseEntier(CleTavik, nom, v);
            PoseFraisage(registre, {10, 200, 15, 40, 48, 1});
            std::string dossier;
            ASSERT_FALSE(LitConfigMachine(registre, config, dossier));
            ASSERT_FALSE(Recup_Param_Parvel(registre, config, p));
        }
        for (const auto& [nom, v] : test::Paires(l[1]))
            Champ(p, config, nom) = v;
        std::istringstream reponses(l[2]);
        for (std::string r; std::getline(reponses, r, '|');)
            dialogues.reponses.push_back(r);
        DemandeParamFraisage(dialogues, config, p, l[3]);
        registre.ecritures.clear();
        SauveRegistre(registre, p);
        for (const auto& [nom, v] : test::Paires(l[4]))
            EXPECT_EQ(nom == "invites" ? dialogues.invites.size() : Champ(p, config, nom), v) << nom;
        // Every run ends with the copies of what it accepted and the lift time they give.
        EXPECT_EQ(Precedentes(p), Valeurs(p));
        EXPECT_EQ(p.TempsZ, static_cast<float>(p.DegZ / p.VitZ));
        if (l[5] != "-") {
            EXPECT_EQ(Ecrits(registre), test::Nombres(l[5]));
        }
        std::string defauts;
        for (std::size_t i = 0; i < dialogues.invites.size(); ++i) {
            const test::Invite& invite = dialogues.invites[i];
            EXPECT_EQ(invite.titre, "Paramètres Fraisage 2.5");
            EXPECT_EQ(invite.texte, i < 5         ? textes[i]
                                    : l[7] == "-" ? invite.texte
                                                  : "Vitesse de dégagement en Z (mm/s). Max :" + l[7]);
            defauts += (i ? "|" : "") + invite.defaut;
        }
        EXPECT_EQ(l[6] == "-" ? l[6] : defauts, l[6]);
    }
}

} // namespace
} // namespace parvel
