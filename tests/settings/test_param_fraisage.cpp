#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/Configuration.h"

namespace parvel {
namespace {

using test::Banc;
using test::DossierTemporaire;
using test::LitFichier;

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;
const std::string Titre = "Paramètres Fraisage 2.5";

// The writes made to the store, as "name=value", after checking they all went to the
// program's key (in the letter case it writes with).
std::vector<std::string> Ecritures(const test::RegistreMemoire& r) {
    std::vector<std::string> v;
    const std::string cle = std::string(CleFraisageEcrite) + "|";
    for (const std::string& e : r.ecritures) {
        EXPECT_EQ(e.compare(0, cle.size(), cle), 0) << e;
        v.push_back(e.substr(cle.size()));
    }
    return v;
}

using Six = std::array<double, 6>;
constexpr const char* Noms[] = {"DegZ", "VitZ", "XFraise", "YFraise", "ZNtour", "ZPas"};

void PoseFraisage(test::RegistreMemoire& r, Six stockes) {
    for (int i = 0; i < 6; ++i)
        r.PoseEntier(CleFraisageLue, Noms[i], static_cast<std::int32_t>(stockes[i]));
}

// The six writes of a save storing these numbers, in its order and spelling.
std::vector<std::string> Stockes(Six stockes) {
    const char* const ecrits[] = {"DegZ", "VitZ", "Xfraise", "Yfraise", "ZNtour", "ZPas"};
    std::vector<std::string> v;
    for (int i = 0; i < 6; ++i)
        v.push_back(std::string(ecrits[i]) + "=" + std::to_string(static_cast<std::int32_t>(stockes[i])));
    return v;
}

Six Valeurs(const ParamFraisage& p) {
    return {p.DegZ, p.VitZ, p.XFraise, p.YFraise, p.ZNtour, p.ZPas};
}
Six Precedentes(const ParamFraisage& p) {
    return {p.DegZPrec, p.VitZPrec, p.XFraisePrec, p.YFraisePrec, p.ZNtourPrec, p.ZPasPrec};
}

class Recuperation : public testing::Test {
  protected:
    Banc b;
    void SetUp() override {
        b.p.Config.YNtour = 48;
        b.p.Config.YPas = 1;
    }
};

TEST_F(Recuperation, PremierDemarrage) {
    b.Recup_Param_Parvel();
    const ParamFraisage& p = b.p.Param;
    EXPECT_EQ(Ecritures(b.registre), Stockes({10, 200, 15, 0, 48, 1}));
    EXPECT_EQ(Valeurs(p), (Six{10, 2, 15, 0, 48, 1}));
    EXPECT_EQ(Precedentes(p), Valeurs(p));
    EXPECT_EQ(p.TempsZ, 0) << "l'étape en échec ne stocke rien";
    EXPECT_DOUBLE_EQ(p.DegZYD, 10);
    EXPECT_TRUE(b.dialogues.messages.empty());

    // The next start reads what was stored, and writes nothing.
    b.registre.ecritures.clear();
    b.Recup_Param_Parvel();
    EXPECT_EQ(b.p.Param.TempsZ, 5);
    EXPECT_TRUE(b.registre.ecritures.empty());
}

TEST_F(Recuperation, PasFractionnairePerduAuStockage) {
    b.p.Config.YPas = 1.25;
    b.Recup_Param_Parvel();
    EXPECT_EQ(b.p.Param.ZPas, 1.25);
    EXPECT_DOUBLE_EQ(b.p.Param.DegZYD, 10);
    EXPECT_EQ(b.registre.Entier(CleFraisageLue, "ZPas"), 1);
    b.Recup_Param_Parvel();
    EXPECT_EQ(b.p.Param.ZPas, 1);
    EXPECT_DOUBLE_EQ(b.p.Param.DegZYD, 10 * 48 * (1.25 / 48));
}

TEST_F(Recuperation, ZNtourNulPrendLaMecaniqueY) {
    b.p.Config.YNtour = 200;
    b.p.Config.YPas = 5;
    PoseFraisage(b.registre, {5, 250, 20, 30, 0, 0});
    b.Recup_Param_Parvel();
    const ParamFraisage& p = b.p.Param;
    EXPECT_EQ(p.TempsZ, 2);
    EXPECT_EQ(Valeurs(p), (Six{5, 2.5, 20, 30, 200, 5}));
    EXPECT_EQ(Precedentes(p), (Six{5, 2.5, 20, 30, 0, 0})) << "les copies précèdent la règle";
    EXPECT_DOUBLE_EQ(p.DegZYD, 5);
    EXPECT_EQ(Ecritures(b.registre), Stockes({5, 250, 20, 30, 200, 5}));
}

TEST_F(Recuperation, RattrapageEnFinDeSequence) {
    // A zero pitch with a nonzero step count fails the lift height only.
    PoseFraisage(b.registre, {5, 100, 20, -30, 200, 0});
    b.p.Param.DegZYD = 3;
    b.Recup_Param_Parvel();
    const ParamFraisage& p = b.p.Param;
    EXPECT_EQ(Valeurs(p), (Six{10, 2, 15, -30, 48, 1})) << "YFraise n'a pas de valeur par défaut";
    EXPECT_EQ(p.DegZYD, 3);
    EXPECT_EQ(p.TempsZ, 5);
    EXPECT_EQ(p.DegZPrec, 5);
    EXPECT_EQ(p.ZNtourPrec, 200);
    EXPECT_EQ(Ecritures(b.registre), Stockes({10, 200, 15, -30, 48, 1}));
}

TEST(RecuperationEnEchec, ArreteLeProgrammeSansRienEcrire) {
    // Y mechanics the store cannot hold (never from the store itself) overflow the
    // recovery's save, which ends the program instead of recovering again.
    const struct {
        double yNtour;
        bool zNtourNul;
        int echecXFraise;
        const char* message;
    } cas[] = {
        {1e12, false, 0, "Erreur dans Parvel : 6 Dépassement de capacité"},
        {1e12, true, 0, "Erreur dans Parvel : 6 Dépassement de capacité"},
        {48, false, 70, "Erreur dans Parvel : 70 Permission refusée"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.message);
        Banc b;
        b.p.Config.YNtour = c.yNtour;
        b.p.Config.YPas = 1;
        if (c.zNtourNul)
            PoseFraisage(b.registre, {5, 250, 20, 30, 0, 1});
        if (c.echecXFraise)
            b.registre.echecsLecture["XFraise"] = c.echecXFraise;
        b.Recup_Param_Parvel();
        EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(b.dialogues.terminaisons, 1);
        EXPECT_TRUE(b.registre.ecritures.empty());
    }
}

// Rounded half to even after scaling; out of the 32-bit range, error 6 before any write.
TEST(SauveRegistre, ArrondiAuPairEchelleEtDepassement) {
    const double infini = std::numeric_limits<double>::infinity();
    const struct {
        double ParamFraisage::*champ;
        double valeur;
        const char* nom;
        std::optional<std::int32_t> stocke; // nothing: overflow
    } cas[] = {
        {&ParamFraisage::DegZ, 2.5, "DegZ", 2},
        {&ParamFraisage::DegZ, 3.5, "DegZ", 4},
        {&ParamFraisage::DegZ, -2.5, "DegZ", -2},
        {&ParamFraisage::DegZ, -3.5, "DegZ", -4},
        {&ParamFraisage::DegZ, 2.4999, "DegZ", 2},
        {&ParamFraisage::DegZ, 2.5001, "DegZ", 3},
        {&ParamFraisage::VitZ, 2.125, "VitZ", 212},
        {&ParamFraisage::VitZ, 0.125, "VitZ", 12},
        {&ParamFraisage::XFraise, 1.25, "Xfraise", 1},
        {&ParamFraisage::YFraise, -0.5, "Yfraise", 0},
        {&ParamFraisage::ZNtour, 2147483647, "ZNtour", 2147483647},
        {&ParamFraisage::ZPas, -2147483648.5, "ZPas", -2147483648},
        {&ParamFraisage::DegZ, 2147483647.5, "DegZ", std::nullopt},
        {&ParamFraisage::VitZ, 21474836.48, "VitZ", std::nullopt},
        {&ParamFraisage::XFraise, 1e12, "Xfraise", std::nullopt},
        {&ParamFraisage::YFraise, -2147483649, "Yfraise", std::nullopt},
        {&ParamFraisage::ZNtour, infini, "ZNtour", std::nullopt},
        {&ParamFraisage::ZPas, std::nan(""), "ZPas", std::nullopt},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.nom) + " " + std::to_string(c.valeur));
        Banc b;
        b.p.Param.*c.champ = c.valeur;
        int numero = 0;
        try {
            SauveRegistre(b.registre, b.p.Param);
        } catch (const ErreurParvel& e) {
            numero = e.Numero();
        }
        EXPECT_EQ(numero, c.stocke ? 0 : 6);
        EXPECT_EQ(b.registre.ecritures.size(), c.stocke ? 6u : 0u);
        EXPECT_EQ(b.registre.Entier(CleFraisageLue, c.nom), c.stocke);
    }
}

// A complete machine (Y: 48 steps of a 1 mm screw, 2 ms a step, so 10.4166 mm/s) and
// stored milling parameters with the same mechanics for Z.
class Reglage : public testing::Test {
  protected:
    Banc b;
    void SetUp() override {
        for (auto [nom, v] :
             {std::pair{"XNtour", 48}, {"XPas", 1000}, {"YNtour", 48}, {"YPas", 1000}, {"YVmax", 200}})
            b.registre.PoseEntier(CleTavik, nom, v);
        PoseFraisage(b.registre, {10, 200, 15, 40, 48, 1});
        b.p.Form_Load();
        b.registre.ecritures.clear();
        b.dialogues.limiteInvites = 50;
    }
    void Lance(std::vector<std::string> reponses) {
        b.dialogues.reponses.assign(reponses.begin(), reponses.end());
        b.dialogues.invites.clear();
        b.p.Réglage_Click();
    }
    // Z and Y mechanics in powers of two: the top Z speed is exactly the top Y speed.
    void MecaniqueExacte(double vitMaxY) {
        b.p.Config.VitMaxY = vitMaxY;
        b.p.Config.YNtour = 64;
        b.p.Config.YPas = 2;
        b.p.Param.ZNtour = b.p.Param.ZNtourPrec = 64;
        b.p.Param.ZPas = b.p.Param.ZPasPrec = 2;
    }
    int InvitesVitesse() const {
        int n = 0;
        for (const test::Invite& i : b.dialogues.invites)
            n += i.texte.rfind("Vitesse", 0) == 0;
        return n;
    }
};

TEST_F(Reglage, InvitesEtTextesParDefaut) {
    b.p.Separateur = ",";
    b.p.Param.XFraise = 2.5;
    b.p.Param.YFraise = 0.5;
    Lance({});
    const std::vector<std::pair<std::string, std::string>> attendu = {
        {"Dégagement en Z (mm)", "10"},
        {"Distance de dégagement en X (mm)", "2.5"},
        {"Distance de dégagement en Y (mm)", "0.5"},
        {"Nombre de pas par tour pour l'axe Z", "48"},
        {"Pas de la vis pour l'axe Z (mm/t)", "1"},
        {"Vitesse de dégagement en Z (mm/s). Max :10,41", "2"},
    };
    ASSERT_EQ(b.dialogues.invites.size(), attendu.size());
    for (std::size_t i = 0; i < attendu.size(); ++i) {
        EXPECT_EQ(b.dialogues.invites[i].titre, Titre);
        EXPECT_EQ(b.dialogues.invites[i].texte, attendu[i].first);
        EXPECT_EQ(b.dialogues.invites[i].defaut, attendu[i].second);
    }
}

TEST_F(Reglage, LectureDesReponses) {
    const std::vector<std::pair<std::string, double>> cas = {
        {"  7.5", 7.5}, {"1 2", 12}, {"12,5", 12},  {"abc", 0},   {"-3", -3},
        {"1.5E1", 15},  {"", 10},    {"1e400", 10}, {"1e12", 10}, {"-3e9", 10},
    };
    for (const auto& [reponse, degZ] : cas) {
        SCOPED_TRACE(reponse);
        Lance({reponse});
        EXPECT_EQ(b.p.Param.DegZ, degZ);
        EXPECT_EQ(b.p.Param.DegZPrec, degZ);
        EXPECT_EQ(b.dialogues.invites.size(), 6u);
        // Back to the stored state for the next case.
        Lance({"10"});
    }
    EXPECT_EQ(b.sortie.effacements, 0) << "sans fichier courant, rien n'est rechargé";
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Reglage, ParametresDeriveesEtStockage) {
    Lance({"4", "20", "30", "96", "2", "2.125"});
    const ParamFraisage& p = b.p.Param;
    EXPECT_DOUBLE_EQ(p.DegZYD, 4 * (96.0 / 2) * (1.0 / 48));
    EXPECT_DOUBLE_EQ(p.VitMaxZ, 1000.0 / 96 / (96.0 / 2) / (1.0 / 48));
    EXPECT_EQ(p.TempsZ, static_cast<float>(4 / 2.125));
    EXPECT_EQ(p.VitZPrec, 2.125);
    EXPECT_EQ(p.ZNtourPrec, 96);
    EXPECT_EQ(Ecritures(b.registre), Stockes({4, 212, 20, 30, 96, 2}));
    b.Recup_Param_Parvel();
    EXPECT_EQ(b.p.Param.VitZ, 2.12);
}

TEST_F(Reglage, VitesseSousLeMaximum) {
    struct Cas {
        std::vector<std::string> vitesses;
        double vitZ;
        int invites;
    };
    const std::vector<Cas> cas = {
        {{"10.41"}, 10.41, 1},
        {{"10.42", "3"}, 3, 2},
        {{"11", "10.4166666666667", "1"}, 1, 3},
        // A speed must be positive: 0, a negative one and text without a number are asked again.
        {{"0", "-1", "abc", "0.004", "0.01"}, 0.01, 5},
        // Cancel keeps the last accepted speed, which passes.
        {{"12", ""}, 2, 2},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.vitesses.front());
        std::vector<std::string> r(5, "");
        r.insert(r.end(), c.vitesses.begin(), c.vitesses.end());
        Lance(r);
        EXPECT_EQ(b.p.Param.VitZ, c.vitZ);
        EXPECT_EQ(InvitesVitesse(), c.invites);
        for (std::size_t i = 5; i < b.dialogues.invites.size(); ++i)
            EXPECT_EQ(b.dialogues.invites[i].texte, "Vitesse de dégagement en Z (mm/s). Max :10.41");
        Lance({"", "", "", "", "", "2"});
    }
}

TEST_F(Reglage, DefautDeLaVitesseRedemandee) {
    Lance({"", "", "", "", "", "50", "3"});
    ASSERT_EQ(b.dialogues.invites.size(), 7u);
    EXPECT_EQ(b.dialogues.invites[5].defaut, "2");
    EXPECT_EQ(b.dialogues.invites[6].defaut, "50");
}

TEST_F(Reglage, MaximumExactementAtteint) {
    MecaniqueExacte(1.5);
    Lance({"", "", "", "", "", "1.5", "1.49"});
    EXPECT_EQ(b.p.Param.VitMaxZ, 1.5);
    EXPECT_EQ(b.dialogues.invites[5].texte, "Vitesse de dégagement en Z (mm/s). Max :1.5");
    EXPECT_EQ(InvitesVitesse(), 2);
    EXPECT_EQ(b.p.Param.VitZ, 1.49);
}

TEST_F(Reglage, AnnulerPartoutRevientAuxDernieresValeurs) {
    DossierTemporaire dossier;
    b.p.CommonDialog1.NomFichier = dossier.Ecrit("a.cut", "T:1 XG:3 YG:0 XD:3 YD:0\r\n");
    b.p.NomCourt = "a.cut";
    // As a load's view set-up may leave them, and an edited speed that was not accepted.
    b.p.Param.XFraise = 0;
    b.p.Param.YFraise = 3;
    b.p.Param.VitZ = 7;
    const int effacements = b.sortie.effacements;
    Lance({});
    // The reload's view set-up may change the limits again: look at their copies.
    EXPECT_EQ(Precedentes(b.p.Param), (Six{10, 2, 15, 40, 48, 1}));
    EXPECT_EQ(b.p.Param.VitZ, 2);
    EXPECT_EQ(b.p.Param.TempsZ, 5);
    EXPECT_EQ(Ecritures(b.registre), Stockes({10, 200, 15, 40, 48, 1}));
    EXPECT_EQ(b.sortie.effacements, effacements + 1) << "le fichier est rechargé";
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  3 ");
}

TEST_F(Reglage, LimiteXRemiseAZeroParLaVue) {
    b.p.Param.XFraise = 0;
    Lance({"", ""});
    EXPECT_EQ(b.p.Param.XFraise, 15) << "Annuler rend la dernière valeur acceptée";
    ASSERT_GE(b.dialogues.invites.size(), 2u);
    EXPECT_EQ(b.dialogues.invites[1].defaut, "0");

    b.p.Param.XFraise = 0;
    Lance({"", "0"});
    EXPECT_EQ(b.p.Param.XFraise, 0);
    EXPECT_EQ(b.registre.Entier(CleFraisageLue, "XFraise"), 0);
}

TEST_F(Reglage, RechargementSuitLesNouveauxParametres) {
    DossierTemporaire dossier;
    b.p.Config.RepProjet = dossier.Chemin().string();
    b.controles.DefinitFraisageActif(true);
    b.p.CommonDialog1.NomFichier =
        dossier.Ecrit("a.cut", "XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:3 YG:0 XD:3 YD:0\r\n");
    b.p.NomCourt = "a.cut";
    Lance({"4", "", "", "", "", "2"});
    EXPECT_EQ(LitFichier((dossier.Chemin() / "Fr+a.cut").string()),
              "XG:0 YG:0 XD:0 YD:0\r\nT:2 XG:0 YG:0 XD:0 YD:4\r\nT:1 XG:3 YG:0 XD:3 YD:4\r\nT:2 XG:3 YG:0 "
              "XD:3 YD:0\r\n");
}

TEST_F(Reglage, EchecDuRechargementSignale) {
    DossierTemporaire dossier;
    b.p.CommonDialog1.NomFichier = (dossier.Chemin() / "absent.cut").string();
    Lance({});
    EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{"Fichier introuvable"});
    EXPECT_EQ(Ecritures(b.registre).size(), 6u) << "les paramètres sont enregistrés avant";
}

// Cases the dialog must settle so that it always ends.
TEST_F(Reglage, AnnulerAvecUneVitesseTropGrandeNeBouclePas) {
    struct Cas {
        double vitMaxY;
        double vitZPrec;
        double vitZ;
    };
    const std::vector<Cas> cas = {
        {1000.0 / 96, 20, 10.41},  // the fastest hundredth under the shown maximum
        {1.5, 2, 1.49},            // strictly under a maximum of whole hundredths
        {0.015, 2, 0.01},          //
        {1e12, 2e12, 21474836.47}, // no faster than the store holds
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.vitMaxY);
        MecaniqueExacte(c.vitMaxY);
        b.p.Param.VitZPrec = c.vitZPrec;
        Lance({});
        EXPECT_EQ(InvitesVitesse(), 1);
        EXPECT_DOUBLE_EQ(b.p.Param.VitZ, c.vitZ);
        EXPECT_LT(b.p.Param.VitZ, b.p.Param.VitMaxZ);
        EXPECT_EQ(b.p.Param.VitZPrec, b.p.Param.VitZ);
        EXPECT_TRUE(b.dialogues.messages.empty());
    }
}

TEST_F(Reglage, SansMaximumUtilisableUneSeuleInvite) {
    struct Cas {
        double vitMaxY;
        double vitZPrec;
        std::string reponse;
        double vitZ;
        const char* max;
    };
    const std::vector<Cas> cas = {
        {0, 2, "7", 7, "0"},               // no machine configuration: any speed is taken
        {0, 2, "", 2, "0"},                // Cancel keeps the last one
        {0, 2, "0", 2, "0"},               // a speed that is not positive too
        {0, 2, "-4", 2, "0"},              //
        {0, -1, "", 2, "0"},               // and when that one is not positive, the usual 2 mm/s
        {-10.25, 2, "500", 500, "-10.25"}, // negative mechanics
        {0.005, 2, "0.5", 0.5, "0"},       // no hundredth fits under the maximum
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.reponse + " " + std::to_string(c.vitMaxY));
        MecaniqueExacte(c.vitMaxY);
        b.p.Param.VitZPrec = c.vitZPrec;
        Lance({"", "", "", "", "", c.reponse, "9"});
        EXPECT_EQ(InvitesVitesse(), 1);
        EXPECT_EQ(b.dialogues.invites.back().texte,
                  std::string("Vitesse de dégagement en Z (mm/s). Max :") + c.max);
        EXPECT_EQ(b.p.Param.VitZ, c.vitZ);
        EXPECT_EQ(b.p.Param.TempsZ, static_cast<float>(10 / c.vitZ));
    }
}

TEST_F(Reglage, MecaniqueZAvecUnZeroPrendCelleDeY) {
    b.p.Config.YNtour = 200;
    b.p.Config.YPas = 5;
    for (const std::vector<std::string>& r :
         {std::vector<std::string>{"", "", "", "", "0"}, std::vector<std::string>{"", "", "", "0", ""}}) {
        Lance(r);
        EXPECT_EQ(b.p.Param.ZNtour, 200);
        EXPECT_EQ(b.p.Param.ZPas, 5);
        EXPECT_DOUBLE_EQ(b.p.Param.DegZYD, 10);
        EXPECT_EQ(b.registre.Entier(CleFraisageLue, "ZNtour"), 200);
        EXPECT_EQ(b.registre.Entier(CleFraisageLue, "ZPas"), 5);
        Lance({"", "", "", "48", "1"});
    }
}

TEST(ReglageSansDemarrage, MecaniqueYInutilisable) {
    // No start-up ran: the Y mechanics are 0 and nothing can be converted.
    Banc nu;
    nu.p.Param.DegZYD = 3.5;
    nu.dialogues.reponses = {"10", "", "", "48", "1", "0"};
    nu.dialogues.limiteInvites = 50;
    nu.p.Réglage_Click();
    EXPECT_EQ(nu.p.Param.DegZYD, 3.5) << "la hauteur garde sa valeur";
    EXPECT_EQ(nu.p.Param.VitMaxZ, 0);
    EXPECT_EQ(nu.dialogues.invites.size(), 6u);
    EXPECT_EQ(nu.p.Param.VitZ, 2);
    EXPECT_EQ(nu.p.Param.TempsZ, 5);
    EXPECT_TRUE(nu.dialogues.messages.empty());
}

TEST_F(Reglage, ValeurImpossibleAStockerSignalee) {
    // Y mechanics beyond the store's range (set by hand, the store cannot hold them)
    // reach the save through the zero rule: the values stay in memory, nothing is written.
    b.p.Config.YNtour = 1e12;
    Lance({"", "", "", "0", ""});
    EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{"Dépassement de capacité"});
    EXPECT_TRUE(b.registre.ecritures.empty());
    EXPECT_EQ(b.p.Param.ZNtour, 1e12);
    EXPECT_EQ(b.p.Param.ZNtourPrec, 1e12);
}

class Interrupteur : public testing::Test {
  protected:
    Banc b;
    DossierTemporaire dossier;
    std::string Sortie() const { return (dossier.Chemin() / "Fr+a.cut").string(); }
    void OuvreFichier() {
        b.p.Config.RepProjet = dossier.Chemin().string();
        b.p.CommonDialog1.NomFichier =
            dossier.Ecrit("a.cut", "XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:30 YG:0 XD:30 YD:0\r\n");
        b.p.NomCourt = "a.cut";
    }
};

TEST_F(Interrupteur, SansFichier) {
    for (Forme f : {Forme::ZoneX, Forme::ZoneY})
        b.image.MontreForme(f, true);
    b.p.Act_Fraisage_Click();
    EXPECT_TRUE(b.controles.FraisageActif());
    EXPECT_FALSE(b.controles.Coche(Case::CDroite));
    EXPECT_EQ(b.dialogues.bips, 1);
    EXPECT_EQ(b.sortie.effacements, 0);
    EXPECT_TRUE(b.dialogues.messages.empty());

    b.p.Act_Fraisage_Click();
    EXPECT_FALSE(b.controles.FraisageActif());
    EXPECT_TRUE(b.controles.Coche(Case::CDroite));
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneX));
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneY));
    EXPECT_EQ(b.dialogues.bips, 2);
    EXPECT_EQ(b.sortie.effacements, 0);
}

TEST_F(Interrupteur, MiseEnMarcheRecharge) {
    OuvreFichier();
    bool sortieAuBip = false, actifAuBip = false;
    b.dialogues.surBip = [&] {
        sortieAuBip = std::filesystem::exists(Sortie());
        actifAuBip = b.controles.FraisageActif() && !b.controles.Coche(Case::CDroite);
    };
    b.p.Act_Fraisage_Click();
    EXPECT_TRUE(sortieAuBip) << "le bip vient après le rechargement";
    EXPECT_TRUE(actifAuBip);
    EXPECT_EQ(b.sortie.lignes.size(), 5u);
    EXPECT_EQ(b.p.NbMarques(), 2) << "la levée de la première ligne";
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Interrupteur, ArretRedessineSansRecharger) {
    OuvreFichier();
    b.p.Act_Fraisage_Click();
    // One redraw in the state the switch leaves, for reference.
    b.controles.DefinitFraisageActif(false);
    b.controles.DefinitCoche(Case::CDroite, true);
    b.image.OublieDessins();
    const int bipsAvant = b.dialogues.bips;
    b.p.DessineCut();
    const int bipsDUnDessin = b.dialogues.bips - bipsAvant;
    const auto traitsDUnDessin = b.image.traits;
    const auto pointsDUnDessin = b.image.points;
    b.controles.DefinitFraisageActif(true);
    b.controles.DefinitCoche(Case::CDroite, false);

    b.image.OublieDessins();
    b.image.MontreForme(Forme::ZoneX, true);
    b.image.MontreForme(Forme::ZoneY, true);
    const int effacements = b.sortie.effacements;
    const int bips = b.dialogues.bips;
    b.p.Act_Fraisage_Click();
    EXPECT_FALSE(b.controles.FraisageActif());
    EXPECT_TRUE(b.controles.Coche(Case::CDroite));
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneX));
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneY));
    EXPECT_EQ(b.sortie.effacements, effacements) << "pas de rechargement";
    // The check box's handler redraws, then the switch redraws without reloading.
    EXPECT_EQ(b.dialogues.bips, bips + 2 * bipsDUnDessin + 1);
    EXPECT_EQ(b.image.traits, traitsDUnDessin);
    EXPECT_EQ(b.image.points, pointsDUnDessin);
}

TEST_F(Interrupteur, EchecDuRechargementSignale) {
    OuvreFichier();
    std::filesystem::remove(b.p.CheminCourant());
    b.p.Act_Fraisage_Click();
    // The check box's redraw reports the missing file, then the reload does.
    EXPECT_EQ(b.dialogues.messages, (std::vector<std::string>{"Fichier introuvable", "Fichier introuvable"}));
    EXPECT_TRUE(b.controles.FraisageActif());
    EXPECT_EQ(b.dialogues.bips, 1);
    EXPECT_FALSE(std::filesystem::exists(Sortie()));
}

} // namespace
} // namespace parvel
