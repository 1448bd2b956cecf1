// SPDX-License-Identifier: GPL-3.0-or-later
// The load pass on the files of tests/data/chargement. For each <cas>.cut: the report
// (<cas>.rapport, its five lines), or the failure (<cas>.erreur); with <cas>.fraisage,
// a load in milling mode whose output must be that file, with the markers of
// <cas>.marques ("X Y Label Couleur" a line). <cas>.param ("nom=valeur" lines) sets the
// report's separator and the milling parameters over the defaults below. The statistics
// of each case with a report agree with it; <cas>.json is their JSON form, the path
// written "@ENTREE@".
#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "Doubles.h"
#include "cut/Avancement.h"
#include "cut/Chargeur.h"
#include "cut/Erreur.h"
#include "cut/Fraisage.h"
#include "cut/Nombres.h"
#include "cut/Statistiques.h"

namespace parvel {
namespace {

namespace fs = std::filesystem;

const fs::path Dossier = fs::path(PARVEL_DONNEES_TEST) / "chargement";

std::vector<std::string> Cas() {
    std::vector<std::string> noms;
    for (const auto& f : fs::directory_iterator(Dossier))
        if (f.path().extension() == ".cut")
            noms.push_back(f.path().stem().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

std::optional<std::string> Lit(const std::string& chemin) {
    if (!fs::exists(chemin))
        return std::nullopt;
    return test::LitFichier(chemin);
}

struct Reglages {
    std::string separateur = ".";
    // Zone: X above 5 and Y at most 50; lift height 2.5 on the right Y axis, 0.5 s a move.
    ParamFraisage param{.XFraise = 5, .YFraise = 50, .TempsZ = 0.5f, .DegZYD = 2.5};
};

// <cas>.param: "nom=valeur" pairs over the defaults, virgule=1 for the decimal comma.
Reglages LitReglages(const std::string& chemin) {
    Reglages r;
    for (const auto& [nom, v] : test::Paires(Lit(chemin).value_or(""))) {
        double* const champ = nom == "DegZYD"    ? &r.param.DegZYD
                              : nom == "XFraise" ? &r.param.XFraise
                              : nom == "YFraise" ? &r.param.YFraise
                                                 : nullptr;
        if (nom == "virgule")
            r.separateur = ",";
        else if (nom == "TempsZ")
            r.param.TempsZ = static_cast<float>(v);
        else if (champ)
            *champ = v;
        else
            ADD_FAILURE() << "réglage inconnu: " << nom;
    }
    return r;
}

// The number after `"nom": `, read back in its own type.
template <class T> T Valeur(const std::string& json, const std::string& nom) {
    const std::size_t p = json.find("\"" + nom + "\": ");
    T v{};
    if (p == std::string::npos) {
        ADD_FAILURE() << nom << " absent";
        return v;
    }
    const auto r = std::from_chars(json.data() + p + nom.size() + 4, json.data() + json.size(), v);
    EXPECT_TRUE(r.ec == std::errc() && (*r.ptr == ',' || *r.ptr == '\n')) << nom;
    return v;
}

// The report made from the JSON's numbers is the file's report; the bands share the whole
// time out from the slowest speed to the fastest.
void VerifieStatistiques(const std::string& base, const std::string& separateur, const std::string& rapport) {
    Interpreteur interp;
    const SeuilsVerification seuils;
    StatistiquesCut s = CalculeStatistiques(base + ".cut", interp, nullptr, nullptr, &seuils);
    EXPECT_EQ(s.Chemin, base + ".cut");
    s.Chemin = "@ENTREE@";
    const std::string texte = TexteJson(s);
    if (const auto json = Lit(base + ".json")) {
        EXPECT_EQ(texte, *json);
    }
    BilanCut b;
    b.VitesseMin = Valeur<float>(texte, "vitesse_min"), b.VitesseMax = Valeur<double>(texte, "vitesse_max");
    b.XGMin = Valeur<double>(texte, "xg_min"), b.XGMax = Valeur<double>(texte, "xg_max");
    b.YGMin = Valeur<double>(texte, "yg_min"), b.YGMax = Valeur<double>(texte, "yg_max");
    b.XDMin = Valeur<double>(texte, "xd_min"), b.XDMax = Valeur<double>(texte, "xd_max");
    b.YDMin = Valeur<float>(texte, "yd_min"), b.YDMax = Valeur<float>(texte, "yd_max");
    EtatCut e;
    e.TempsTotal = Valeur<float>(texte, "temps_total"), e.ZeroX = Valeur<float>(texte, "zero_x");
    std::string lignes;
    for (const LigneRapport& l : FaitRapport(b, e, separateur))
        lignes += l.Texte + "\n";
    EXPECT_EQ(lignes, rapport);

    double somme = s.DureeSansVitesse, bas = s.Bilan.VitesseMinFichier;
    for (const BandeVitesse& x : s.Bandes) {
        EXPECT_EQ(x.VitesseBasse, bas);
        EXPECT_LE(x.VitesseBasse, x.VitesseHaute);
        bas = x.VitesseHaute;
        somme += x.Duree;
    }
    EXPECT_NEAR(somme, s.DureeTotale, 1e-9 * std::abs(s.DureeTotale));
    EXPECT_EQ(s.Bandes.size(), s.Bilan.VitesseMinFichier > 0 ? std::size_t{NombreBandesVitesse} : 0);
    EXPECT_EQ(bas, s.Bandes.empty() ? 0 : s.Bilan.VitesseMax);
}

class Fichier : public testing::TestWithParam<std::string> {};

TEST_P(Fichier, DonneCeQuiEstAttendu) {
    const std::string base = (Dossier / GetParam()).string();
    const Reglages r = LitReglages(base + ".param");
    const auto rapport = Lit(base + ".rapport"), erreur = Lit(base + ".erreur");
    const auto fraisage = Lit(base + ".fraisage"), marques = Lit(base + ".marques");
    ASSERT_TRUE(rapport || erreur || fraisage) << "rien d'attendu";

    test::DossierTemporaire sortie;
    const std::string cible = (sortie.Chemin() / "Fr+a.cut").string();
    Interpreteur interp;
    BilanCut bilan;
    EcrivainFraisage ecrivain;
    ecrivain.Prepare(cible, r.param);
    try {
        PasseChargement(base + ".cut", interp, bilan, fraisage ? &ecrivain : nullptr);
    } catch (const ErreurParvel& e) {
        EXPECT_EQ(e.Description() + "\n", erreur.value_or("aucun échec attendu\n"));
        return;
    }
    ASSERT_FALSE(erreur) << "le chargement aurait dû échouer";
    EXPECT_TRUE(interp.Etat.TraceActif);
    if (rapport) {
        std::string texte;
        for (const LigneRapport& l : FaitRapport(bilan, interp.Etat, r.separateur))
            texte += l.Texte + "\n";
        EXPECT_EQ(texte, *rapport);
        VerifieStatistiques(base, r.separateur, *rapport);
    }
    if (fraisage) {
        EXPECT_EQ(test::LitFichier(cible), *fraisage);
    }
    if (marques) {
        std::ostringstream m;
        for (const Marque& x : ecrivain.Marques)
            m << x.X << ' ' << x.Y << ' ' << x.Label << ' ' << x.Couleur << '\n';
        EXPECT_EQ(m.str(), *marques);
    }
}

INSTANTIATE_TEST_SUITE_P(Chargement, Fichier, testing::ValuesIn(Cas()),
                         [](const testing::TestParamInfo<std::string>& i) { return i.param; });

TEST(StatistiquesJson, CheminEchappe) {
    StatistiquesCut s;
    // Escaped up to 0x1F (the space and DEL pass as they are).
    s.Chemin = "C:\\a \"b\"\t\x01\x1f\x7f/é.cut";
    EXPECT_NE(TexteJson(s).find(R"("chemin": "C:\\a \"b\"\t\u0001\u001f)"
                                "\x7f/é.cut\",\n"),
              std::string::npos);
}

TEST(StatistiquesJson, CheminEnUtf8Valide) {
    for (const auto& cas : test::LitTable("json_chemins.tsv")) {
        StatistiquesCut s;
        s.Chemin = cas.at(1);
        EXPECT_NE(TexteJson(s).find("\"chemin\": \"" + cas.at(2) + "\",\n"), std::string::npos) << cas[0];
    }
}

#ifndef _WIN32
// The file is replaced while the first reading is under way (it is already in the
// reader's buffer): the second reading sees another file, and the figures are refused.
TEST(StatistiquesJson, FichierChangeEntreLesDeuxLectures) {
    test::DossierTemporaire d;
    auto fichier = [](const char* vitesse) {
        std::string f;
        for (int i = 0; i < 5000; ++i)
            f += "T:" + std::string(vitesse) + " XG:" + std::to_string(i) + " YG:0 XD:0 YD:0\r\n";
        return f;
    };
    const std::string chemin = d.Ecrit("a.cut", fichier("1"));
    struct Remplace : Avancement {
        std::function<void()> quoi;
        bool Continue(std::uint64_t, std::uint64_t) override {
            if (quoi)
                std::exchange(quoi, nullptr)();
            return true;
        }
    } remplace;
    remplace.quoi = [&] { d.Ecrit("a.cut", fichier("2")); };
    Interpreteur interp;
    try {
        CalculeStatistiques(chemin, interp, nullptr, &remplace);
        ADD_FAILURE();
    } catch (const ErreurParvel& e) {
        EXPECT_EQ(e.Message(), "Erreur d'accès au chemin/fichier : entrée " + chemin +
                                   " : le fichier a changé pendant la lecture");
    }
    EXPECT_EQ(CalculeStatistiques(chemin, interp, nullptr, &remplace).Bilan.NombreLignes, 5000);
}
#endif

class Chargement : public testing::Test {
  protected:
    test::DossierTemporaire dossier;
    Interpreteur interp;
    BilanCut bilan;
    Rapport Charge(const std::string& contenu) {
        PasseChargement(dossier.Ecrit("a.cut", contenu), interp, bilan);
        return FaitRapport(bilan, interp.Etat, ".");
    }
};

TEST_F(Chargement, ChaqueChargementRepartDeZero) {
    Charge("T:30 XG:10 YG:10 XD:300 YD:300\r\nT:1 XG:500 YG:0 XD:0 YD:0\r\n");
    interp.Etat.RelXG = 4;
    const Rapport r = Charge("XG:1 YG:0 XD:1 YD:0\r\n");
    EXPECT_EQ(r[0].Texte, "  Vitesse min/max : 50 / 0 mm/s");
    EXPECT_EQ(r[1].Texte, "  Temps de découpe : 0 mn 0 s");
    EXPECT_EQ(r[3].Texte, "  A gauche : X de 0 à 0  et Y de 0 à 0 ");
    EXPECT_EQ(r[4].Texte, "  A droite : X de 0 à 0  et Y de 0 à 0 ");
    EXPECT_EQ(interp.Etat.RelXG, 0);
}

TEST_F(Chargement, EchecsDOuverture) {
    auto echec = [&](const std::string& chemin) {
        try {
            PasseChargement(chemin, interp, bilan);
        } catch (const ErreurParvel& e) {
            return e.Description();
        }
        return std::string("aucun échec");
    };
    const std::string d = dossier.Chemin().string();
    EXPECT_EQ(echec(d + "/absent.cut"), "Fichier introuvable");
    EXPECT_EQ(echec(d + "/absent/a.cut"), "Chemin d'accès introuvable");
    EXPECT_EQ(echec(d), "Erreur d'accès au chemin/fichier");
    EXPECT_EQ(echec(""), "Nom ou numéro de fichier incorrect");
#ifndef _WIN32
    if (::geteuid() != 0) {
        const std::string p = dossier.Ecrit("prive.cut", "XG:1\r\n");
        fs::permissions(p, fs::perms::none);
        EXPECT_EQ(echec(p), "Permission refusée");
    }
#endif
}

} // namespace
} // namespace parvel
