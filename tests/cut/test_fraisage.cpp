#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Erreur.h"

namespace parvel {
namespace {

namespace fs = std::filesystem;
using test::Banc;
using test::DossierTemporaire;
using test::LitFichier;

std::string Joint(const std::vector<std::string>& lignes, const std::string& fin) {
    std::string s;
    for (const std::string& l : lignes)
        s += l + fin;
    return s;
}
std::string Crlf(const std::vector<std::string>& lignes) {
    return Joint(lignes, "\r\n");
}

// Files open in this process, where the system lists them.
int DescripteursOuverts() {
    std::error_code ec;
    int n = 0;
    for (auto it = fs::directory_iterator("/proc/self/fd", ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        ++n;
    return n;
}

std::vector<std::string> Contenu(const fs::path& dossier) {
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(dossier))
        noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

struct MarqueAttendue {
    double x, y;
    std::string label;
    int couleur;
};

// Zone: X above 5 (from the first point) and Y at most 50; lift height 2.5 on the
// right Y axis, 0.5 s per lift or plunge; the project folder is a fresh folder.
class Fraisage : public testing::Test {
  protected:
    Banc b;
    DossierTemporaire dossier;

    void SetUp() override {
        b.controles.DefinitFraisageActif(true);
        b.p.Config.RepProjet = dossier.Chemin().string();
        b.p.Param.XFraise = 5;
        b.p.Param.YFraise = 50;
        b.p.Param.DegZYD = 2.5;
        b.p.Param.TempsZ = 0.5f;
    }

    std::string Sortie(const std::string& nom = "a.cut") const {
        return (dossier.Chemin() / ("Fr+" + nom)).string();
    }

    void ChargeChemin(const std::string& chemin) {
        b.p.CommonDialog1.NomFichier = chemin;
        b.p.NomCourt = NomCourtPour(chemin);
        b.p.PasseChargement();
    }

    // Loads `contenu` from the project folder and returns the milling output.
    std::string Charge(const std::string& contenu, const std::string& nom = "a.cut") {
        ChargeChemin(dossier.Ecrit(nom, contenu));
        return LitFichier(Sortie(nom));
    }

    void VerifieMarques(const std::vector<MarqueAttendue>& attendues) {
        ASSERT_EQ(b.p.Fraiseuse.Marques.size(), attendues.size());
        EXPECT_EQ(b.p.NbMarques(), static_cast<int>(attendues.size()) + 1);
        for (std::size_t i = 0; i < attendues.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_DOUBLE_EQ(b.p.Fraiseuse.Marques[i].X, attendues[i].x);
            EXPECT_DOUBLE_EQ(b.p.Fraiseuse.Marques[i].Y, attendues[i].y);
            EXPECT_EQ(b.p.Fraiseuse.Marques[i].Label, attendues[i].label);
            EXPECT_EQ(b.p.Fraiseuse.Marques[i].Couleur, attendues[i].couleur);
        }
    }
};

// The first point sets X zero at 100; the path enters the zone, leaves it and comes back.
const std::vector<std::string> AllerRetour = {
    "T:0 XG:100 YG:0 XD:100 YD:0",   "T:1 XG:110 YG:10 XD:110 YD:10", "T:1 XG:120 YG:20 XD:120 YD:20",
    "T:1 XG:130 YG:60 XD:130 YD:60", "T:1 XG:140 YG:70 XD:140 YD:70", "T:1 XG:150 YG:30 XD:150 YD:30",
    "T:1 XG:160 YG:40 XD:160 YD:40",
};
const std::vector<std::string> AllerRetourFraise = {
    "T:0 XG:100 YG:0 XD:100 YD:0",     // first line copied
    "T:1 XG:110 YG:10 XD:110 YD:2.5",  // into the zone at the clearance height...
    "T:1 XG:120 YG:20 XD:120 YD:0",    // ...no plunge: the tool counts as down
    "T:.5 XG:120 YG:20 XD:120 YD:2.5", // lift at the last point inside
    "T:1 XG:130 YG:60 XD:130 YD:2.5",  //
    "T:1 XG:140 YG:70 XD:140 YD:2.5",  //
    "T:1 XG:150 YG:30 XD:150 YD:2.5",  // back inside, still up
    "T:.5 XG:150 YG:30 XD:150 YD:0",   // plunge there
    "T:1 XG:160 YG:40 XD:160 YD:0",
};

TEST_F(Fraisage, QuitteLaZoneEtYRevient) {
    EXPECT_EQ(Charge(Crlf(AllerRetour)), Crlf(AllerRetourFraise));
    VerifieMarques({{0, 0, "Up", 2}, {20, 20, "Up", 2}, {50, 30, "Down", 4}});
}

TEST_F(Fraisage, FinsDeLigneDeLEntreeIndifferentes) {
    for (const std::string fin : {"\r\n", "\r", "\n"}) {
        SCOPED_TRACE(testing::PrintToString(fin));
        EXPECT_EQ(Charge(Joint(AllerRetour, fin)), Crlf(AllerRetourFraise));
    }
    // No line end after the last line.
    std::string sansFin = Crlf(AllerRetour);
    sansFin.resize(sansFin.size() - 2);
    EXPECT_EQ(Charge(sansFin), Crlf(AllerRetourFraise));
}

TEST_F(Fraisage, ResteDansLaZone) {
    EXPECT_EQ(Charge(Crlf({"T:0 XG:100 YG:0 XD:100 YD:0", "T:1 XG:110 YG:10 XD:110 YD:10",
                           "T:1 XG:120 YG:20 XD:0 YD:7", "T:1 XG:130 YG:50 XD:5 YD:8"})),
              Crlf({"T:0 XG:100 YG:0 XD:100 YD:0", "T:1 XG:110 YG:10 XD:110 YD:2.5",
                    "T:1 XG:120 YG:20 XD:120 YD:0", "T:1 XG:130 YG:50 XD:130 YD:0"}));
    VerifieMarques({{0, 0, "Up", 2}});
}

TEST_F(Fraisage, FinitHorsDeLaZone) {
    std::vector<std::string> entree(AllerRetour.begin(), AllerRetour.begin() + 4);
    EXPECT_EQ(Charge(Crlf(entree)),
              Crlf({"T:0 XG:100 YG:0 XD:100 YD:0", "T:1 XG:110 YG:10 XD:110 YD:2.5",
                    "T:1 XG:120 YG:20 XD:120 YD:0", "T:.5 XG:120 YG:20 XD:120 YD:2.5",
                    "T:1 XG:130 YG:60 XD:130 YD:2.5", "T:.5 XG:130 YG:60 XD:130 YD:0"}));
    VerifieMarques({{0, 0, "Up", 2}, {20, 20, "Up", 2}, {30, 60, "Down", 4}});
}

TEST_F(Fraisage, DeuxiemeLigneHorsZoneLeveAuPremierPoint) {
    // The first line leaves the tool counted as down, so the next line outside lifts it.
    EXPECT_EQ(Charge(Crlf({"T:0 XG:0 YG:0 XD:0 YD:0", "T:1 XG:3 YG:0 XD:3 YD:0"})),
              Crlf({"T:0 XG:0 YG:0 XD:0 YD:0", "T:.5 XG:0 YG:0 XD:0 YD:2.5", "T:1 XG:3 YG:0 XD:3 YD:2.5",
                    "T:.5 XG:3 YG:0 XD:3 YD:0"}));
    VerifieMarques({{0, 0, "Up", 2}, {0, 0, "Up", 2}, {3, 0, "Down", 4}});
}

TEST_F(Fraisage, LigneDeMouvementGardeLeDebutEtRemplaceLaDroite) {
    // X zero 0: the right X becomes the left X; the right Y the tool height (up, then down).
    EXPECT_EQ(Charge(Crlf({"XG:0 YG:0 XD:0 YD:0", "T:1 XG:10 YG:5 XD:3 YD:4", "T:1 XG:10 YG:5 XD:3 YD:4"})),
              Crlf({"XG:0 YG:0 XD:0 YD:0", "T:1 XG:10 YG:5 XD:10 YD:2.5", "T:1 XG:10 YG:5 XD:10 YD:0"}));
}

TEST_F(Fraisage, LignesSansYGCoupeesAuDernierYG) {
    // The cut stays at the blank after the last "YG:" seen (position 15 here): an empty
    // line keeps nothing, a short line all of itself, a longer one its first 14 characters;
    // a "YG:" that ends its line keeps the whole line.
    EXPECT_EQ(Charge(Crlf({"XG:0 YG:0 XD:0 YD:0", "T:1 XG:10 YG:5 XD:3 YD:4", "", "T:2",
                           "T:3 XG:11 XD:11 YD:1", "XG:12 YG:6"})),
              Crlf({"XG:0 YG:0 XD:0 YD:0", "T:1 XG:10 YG:5 XD:10 YD:2.5", " XD:10 YD:0", "T:2 XD:10 YD:0",
                    "T:3 XG:11 XD:1 XD:11 YD:0", "XG:12 YG:6 XD:12 YD:0"}));
}

TEST_F(Fraisage, DeuxCommentairesDeSuite) {
    // The second comment line is read as commands; a comment as the last line ends the file.
    EXPECT_EQ(Charge(Crlf({"XG:0 YG:0 XD:0 YD:0", "// commentaire", "// XG:9 YG:1",
                           "T:1 XG:10 YG:5 XD:10 YD:5", "// fin"})),
              Crlf({"XG:0 YG:0 XD:0 YD:0", "// XG:9 YG:1 XD:9 YD:2.5", "T:1 XG:10 YG:5 XD:10 YD:0"}));
}

TEST_F(Fraisage, TexteDesNombres) {
    // Single-precision duration with 7 digits, positions with 15, no leading zero, "."
    // whatever the report's separator.
    b.p.Separateur = ",";
    b.p.Param.TempsZ = 0.1f;
    b.p.Param.DegZYD = 1.0 / 3.0;
    b.p.Param.XFraise = -1000;
    b.p.Param.YFraise = -1;
    EXPECT_EQ(Charge(Crlf({"XG:0.25 YG:0 XD:0 YD:0", "T:1 XG:-0.5 YG:0.125 XD:0 YD:0"})),
              Crlf({"XG:0.25 YG:0 XD:0 YD:0", "T:.1 XG:.25 YG:0 XD:.25 YD:.333333333333333",
                    "T:1 XG:-0.5 YG:0.125 XD:-.5 YD:.333333333333333", "T:.1 XG:-.5 YG:.125 XD:-.5 YD:0"}));
}

TEST_F(Fraisage, PlusDeCinquanteMarques) {
    // Thirty trips into the zone and out again.
    std::vector<std::string> entree = {"XG:0 YG:0 XD:0 YD:0"};
    std::vector<MarqueAttendue> attendues = {{0, 0, "Up", 2}};
    for (int k = 1; k <= 30; ++k) {
        const std::string x = std::to_string(10 * k), xs = std::to_string(10 * k + 5);
        entree.push_back("T:1 XG:" + x + " YG:10 XD:0 YD:0");
        entree.push_back("T:1 XG:" + xs + " YG:60 XD:0 YD:0");
        if (k > 1)
            attendues.push_back({10.0 * k, 10, "Down", 4});
        attendues.push_back({10.0 * k, 10, "Up", 2});
    }
    attendues.push_back({305, 60, "Down", 4});
    const std::string sortie = Charge(Crlf(entree));
    VerifieMarques(attendues);
    EXPECT_EQ(b.p.NbMarques(), 62);
    // Each marker but the first line's is a lift or plunge line.
    std::size_t lignes = 0;
    for (std::size_t p = sortie.find("\r\n"); p != std::string::npos; p = sortie.find("\r\n", p + 2))
        ++lignes;
    EXPECT_EQ(lignes, entree.size() + attendues.size() - 1);
    EXPECT_NE(sortie.find("T:.5 XG:300 YG:10 XD:300 YD:2.5\r\n"), std::string::npos);
}

TEST_F(Fraisage, ChaqueChargementRemetLesMarques) {
    Charge(Crlf(AllerRetour));
    ASSERT_EQ(b.p.Fraiseuse.Marques.size(), 3u);
    Charge(Crlf({"XG:0 YG:0 XD:0 YD:0"}));
    VerifieMarques({{0, 0, "Up", 2}});
}

TEST_F(Fraisage, SuffixeConserveDUnChargementAuSuivant) {
    // A first point inside the zone is written as a move line with the suffix the last
    // load left: none yet, then the " YD:0" of the final plunge.
    b.p.Param.XFraise = -1;
    EXPECT_EQ(Charge(Crlf({"XG:0 YG:0 XD:0 YD:0"})), Crlf({"XG:0 YG:0 XD:0"}));
    EXPECT_EQ(Charge(Crlf({"XG:0 YG:0 XD:0 YD:0"})), Crlf({"XG:0 YG:0 XD:0 YD:0"}));
    EXPECT_TRUE(b.p.Fraiseuse.Marques.empty());
}

TEST_F(Fraisage, EmplacementDeLaSortie) {
    const fs::path projet = dossier.Chemin() / "projet", ailleurs = dossier.Chemin() / "ailleurs";
    fs::create_directories(projet);
    fs::create_directories(ailleurs / "sous");
    const std::string entree = Crlf({"XG:0 YG:0 XD:0 YD:0"});

    // A file outside the project folder: its own name, in the project folder.
    b.p.Config.RepProjet = projet.string();
    ChargeChemin(dossier.Ecrit("ailleurs/sous/b.cut", entree));
    EXPECT_EQ(b.p.NomCourt, "b.cut");
    EXPECT_EQ(LitFichier((projet / "Fr+b.cut").string()), entree);
    EXPECT_EQ(Contenu(ailleurs / "sous"), std::vector<std::string>{"b.cut"});

    // No machine configuration: beside the loaded file.
    b.p.Config.RepProjet.clear();
    ChargeChemin(dossier.Ecrit("ailleurs/c.cut", entree));
    EXPECT_EQ(Contenu(ailleurs), (std::vector<std::string>{"Fr+c.cut", "c.cut", "sous"}));
    EXPECT_EQ(LitFichier((ailleurs / "Fr+c.cut").string()), entree);
    EXPECT_FALSE(fs::exists(fs::path("/") / "Fr+c.cut"));
}

TEST_F(Fraisage, SortieImpossibleACreer) {
    const int avant = DescripteursOuverts();
    const std::string entree = dossier.Ecrit("a.cut", Crlf(AllerRetour));
    auto echec = [&](const std::string& projet) {
        b.p.Config.RepProjet = projet;
        try {
            ChargeChemin(entree);
        } catch (const ErreurParvel& e) {
            return e.Description();
        }
        return std::string("aucun échec");
    };
    EXPECT_EQ(echec((dossier.Chemin() / "absent").string()), "Chemin d'accès introuvable");
    EXPECT_EQ(echec(entree), "Chemin d'accès introuvable") << "le dossier projet est un fichier";
    EXPECT_EQ(DescripteursOuverts(), avant);
    EXPECT_EQ(Contenu(dossier.Chemin()), std::vector<std::string>{"a.cut"});
    EXPECT_TRUE(b.sortie.lignes.empty()) << "pas de rapport";
}

TEST_F(Fraisage, MouvementAvantToutYGEchoue) {
    const int avant = DescripteursOuverts();
    const std::string entree = dossier.Ecrit("a.cut", Crlf({"XG:0 YD:0", "XG:10 YD:0", "XG:20 YD:0"}));
    try {
        ChargeChemin(entree);
        FAIL() << "le chargement aurait dû échouer";
    } catch (const ErreurParvel& e) {
        EXPECT_EQ(e.Numero(), 5);
        EXPECT_EQ(e.Description(), "Appel de procédure ou argument incorrect");
    }
    EXPECT_EQ(DescripteursOuverts(), avant);
    EXPECT_EQ(Contenu(dossier.Chemin()), std::vector<std::string>{"a.cut"})
        << "ni sortie ni fichier provisoire";

    // Nothing stays in the way of the next load.
    EXPECT_EQ(Charge(Crlf({"XG:0 YG:0 XD:0 YD:0"}), "b.cut"), Crlf({"XG:0 YG:0 XD:0 YD:0"}));
}

TEST_F(Fraisage, EchecGardeLaSortiePrecedente) {
    const std::string premiere = Charge(Crlf(AllerRetour));
    b.p.Interp.Etat.PosYG = 0;
    EXPECT_THROW(Charge(Crlf({"XG:0 YD:0", "XG:10 YD:0"})), ErreurParvel);
    EXPECT_EQ(LitFichier(Sortie()), premiere);
}

TEST_F(Fraisage, ModeArreteNEcritRien) {
    b.controles.DefinitFraisageActif(false);
    ChargeChemin(dossier.Ecrit("a.cut", Crlf(AllerRetour)));
    EXPECT_EQ(Contenu(dossier.Chemin()), std::vector<std::string>{"a.cut"});
    EXPECT_TRUE(b.p.Fraiseuse.Marques.empty());
}

} // namespace
} // namespace parvel
