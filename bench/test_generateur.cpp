// The wing-core generator: exact line counts, the file's form, determinism, and the
// geometry and timing as the loader reads them back.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Doubles.h"
#include "GenerateurAile.h"

namespace parvel::test {
namespace {

using aile::ParamAile;
using aile::ResumeAile;

std::string Genere(const ParamAile& p, ResumeAile* resume = nullptr) {
    std::ostringstream s;
    ResumeAile r = aile::EcritAile(p, s);
    if (resume)
        *resume = r;
    return s.str();
}

// Lines without their CR LF; fails the test on any other line end.
std::vector<std::string> Lignes(const std::string& texte) {
    std::vector<std::string> l;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        std::size_t fin = texte.find("\r\n", debut);
        EXPECT_NE(fin, std::string::npos) << "last line without CR LF";
        if (fin == std::string::npos)
            fin = texte.size();
        std::string ligne = texte.substr(debut, fin - debut);
        EXPECT_EQ(ligne.find_first_of("\r\n"), std::string::npos) << "stray line end in: " << ligne;
        l.push_back(std::move(ligne));
        debut = fin + 2;
    }
    return l;
}

bool EstCommentaire(const std::string& l) {
    return l.rfind("//", 0) == 0;
}

// A wing whose carriages trace the two faces themselves (block as wide as the
// machine), with symmetric airfoils and no washout, so that extents are plain sums.
ParamAile AileDroite(long long lignes) {
    ParamAile p;
    p.ProfilEmplanture = "0012";
    p.ProfilSaumon = "0012";
    p.Vrillage = 0;
    p.BlocGauche = 0;
    p.BlocDroit = p.LargeurMachine;
    p.Lignes = lignes;
    return p;
}

// Loads the generated text as the viewer's load pass does.
struct Chargement {
    Banc b;
    DossierTemporaire dossier;
    explicit Chargement(const std::string& texte) {
        b.p.CommonDialog1.NomFichier = dossier.Ecrit("aile.cut", texte);
        b.p.PasseChargement();
    }
    const BilanCut& bilan() const { return b.p.Bilan; }
};

struct CasLignes {
    long long lignes, pointsMax, passes;
};

class NombreDeLignes : public ::testing::TestWithParam<CasLignes> {};

TEST_P(NombreDeLignes, ExactEtBienFormé) {
    const CasLignes c = GetParam();
    ParamAile p;
    p.Lignes = c.lignes;
    p.PointsMax = c.pointsMax;
    ResumeAile r;
    const std::string texte = Genere(p, &r);
    const std::vector<std::string> l = Lignes(texte);
    ASSERT_EQ(static_cast<long long>(l.size()), c.lignes);
    EXPECT_EQ(r.Lignes, c.lignes);
    EXPECT_EQ(r.Octets, texte.size());
    EXPECT_EQ(r.Passes, c.passes);

    long long passes = 0;
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (EstCommentaire(l[i])) {
            // The loader skips only one comment line: a second one would be read as commands.
            ASSERT_LT(i + 1, l.size()) << "comment as the last line";
            EXPECT_FALSE(EstCommentaire(l[i + 1])) << "two comment lines at " << i + 1;
            passes += l[i].rfind("// Passe ", 0) == 0;
            continue;
        }
        // Every move or pause line has the five tokens in the order the interpreter needs.
        if (l[i].rfind("T:", 0) == 0) {
            std::istringstream s(l[i]);
            std::string t[5], reste;
            s >> t[0] >> t[1] >> t[2] >> t[3] >> t[4];
            EXPECT_EQ(t[1].substr(0, 3), "XG:") << l[i];
            EXPECT_EQ(t[2].substr(0, 3), "YG:") << l[i];
            EXPECT_EQ(t[3].substr(0, 3), "XD:") << l[i];
            EXPECT_EQ(t[4].substr(0, 3), "YD:") << l[i];
            EXPECT_FALSE(s >> reste) << l[i];
            EXPECT_EQ(l[i].find("  "), std::string::npos) << l[i];
        }
    }
    EXPECT_EQ(passes, c.passes);
}

INSTANTIATE_TEST_SUITE_P(Generateur, NombreDeLignes,
                         ::testing::Values(CasLignes{aile::LignesMin(), 2000, 1}, CasLignes{16, 2000, 1},
                                           CasLignes{1000, 2000, 1}, CasLignes{2011, 2000, 1},
                                           CasLignes{2012, 2000, 2}, CasLignes{1000, 100, 10},
                                           CasLignes{5003, 20, 200}));

TEST(Generateur, MemesParametresMemeFichier) {
    ParamAile p;
    p.Lignes = 500;
    EXPECT_EQ(Genere(p), Genere(p));
    // Without jitter the seed changes nothing.
    ParamAile autreGraine = p;
    autreGraine.Graine = 99;
    EXPECT_EQ(Genere(p), Genere(autreGraine));

    p.Bruit = 0.05;
    autreGraine.Bruit = 0.05;
    EXPECT_EQ(Genere(p), Genere(p));
    EXPECT_NE(Genere(p), Genere(autreGraine));
    EXPECT_NE(Genere(p), Genere(AileDroite(500)));
}

TEST(Generateur, LeChargementRetrouveLaGeometrie) {
    const ParamAile p = AileDroite(1000);
    ResumeAile r;
    Chargement c(Genere(p, &r));
    const BilanCut& b = c.bilan();
    const EtatCut& e = c.b.p.Etat;

    // The start point, behind the root's trailing edge, is the X zero.
    const double departG = p.BordAttaque + p.CordeEmplanture + p.Entree;
    EXPECT_FLOAT_EQ(e.ZeroX, static_cast<float>(departG));
    EXPECT_DOUBLE_EQ(b.XGMax, 0);
    EXPECT_NEAR(b.XGMin, p.BordAttaque - departG, 1e-9);
    // The tip: shorter and swept back, so its whole path lies left of the left start.
    const double ct = p.CordeEmplanture * p.Effilement;
    EXPECT_DOUBLE_EQ(b.XDMax, 0);
    EXPECT_NEAR(b.XDMin, p.BordAttaque + p.Fleche - departG, 1e-9);
    // Half of 12 % of each chord above the chord line; nothing below 0.
    EXPECT_NEAR(b.YGMax, p.Hauteur + 0.06 * p.CordeEmplanture, 0.05);
    EXPECT_NEAR(b.YDMax, p.Hauteur + 0.06 * ct, 0.05);
    EXPECT_DOUBLE_EQ(b.YGMin, 0);

    // Profiles at the feed speed (never below it), lead-in and lead-out at the approach speed.
    EXPECT_GE(b.VitesseMin, p.Vitesse * (1 - 1e-6));
    EXPECT_LT(b.VitesseMin, p.Vitesse * 1.01);
    EXPECT_NEAR(b.VitesseMax, p.VitesseApproche, 0.01 * p.VitesseApproche);
    EXPECT_GT(r.TempsTotal, 0);
    EXPECT_NEAR(e.TempsTotal, r.TempsTotal, 0.01);
    // The cutting time is at least the root's perimeter at the feed speed.
    EXPECT_GT(r.TempsTotal, 2 * p.CordeEmplanture / p.Vitesse);

    const std::string& temps = c.b.p.DernierRapport[1].Texte;
    const int mn = static_cast<int>(r.TempsTotal) / 60, s = static_cast<int>(r.TempsTotal) % 60;
    EXPECT_EQ(temps, "  Temps de découpe : " + std::to_string(mn) + " mn " + std::to_string(s) + " s");
}

TEST(Generateur, LeFilEstProlongeJusquAuxChariots) {
    // Block from 200 to 800 mm in a 1000 mm machine: the wire line extends the taper
    // beyond each face, widening the left path and narrowing the right one.
    ParamAile p = AileDroite(1000);
    p.BlocGauche = 200;
    p.BlocDroit = 800;
    Chargement c(Genere(p));
    const BilanCut& b = c.bilan();
    const double kG = -200.0 / 600.0, kD = 800.0 / 600.0;
    auto versG = [&](double r, double t) { return r + kG * (t - r); };
    auto versD = [&](double r, double t) { return r + kD * (t - r); };
    const double ct = p.CordeEmplanture * p.Effilement;
    const double departR = p.BordAttaque + p.CordeEmplanture + p.Entree;
    const double departT = p.BordAttaque + p.Fleche + ct + p.Entree;
    const double zero = versG(departR, departT);
    EXPECT_NEAR(c.b.p.Etat.ZeroX, zero, 1e-3);
    EXPECT_NEAR(b.XGMin, versG(p.BordAttaque, p.BordAttaque + p.Fleche) - zero, 2e-3);
    EXPECT_NEAR(b.XDMin, versD(p.BordAttaque, p.BordAttaque + p.Fleche) - zero, 2e-3);
    const double demiR = 0.06 * p.CordeEmplanture, demiT = 0.06 * ct;
    EXPECT_NEAR(b.YGMax, p.Hauteur + versG(demiR, demiT), 0.05);
    EXPECT_NEAR(b.YDMax, p.Hauteur + versD(demiR, demiT), 0.05);
    EXPECT_GT(b.YGMax - p.Hauteur, demiR);
    EXPECT_LT(b.YDMax - p.Hauteur, demiT);
}

TEST(Generateur, LeVrillageBaisseLeBordDAttaqueDuSaumon) {
    ParamAile plat = AileDroite(1000);
    plat.Hauteur = 0; // so that the lower surfaces show as negative extents
    ParamAile vrille = plat;
    vrille.Vrillage = 5;
    Chargement a(Genere(plat)), v(Genere(vrille));
    const double ct = plat.CordeEmplanture * plat.Effilement;
    EXPECT_NEAR(a.bilan().YDMin, -0.06 * ct, 0.05);
    // Nose down about the trailing edge: the leading edge alone drops by ct sin 5°.
    EXPECT_LT(v.bilan().YDMin, -ct * std::sin(5 * std::numbers::pi / 180));
    EXPECT_GT(v.bilan().YDMin, -ct * std::sin(5 * std::numbers::pi / 180) - 0.06 * ct);
    // The root is untouched.
    EXPECT_DOUBLE_EQ(v.bilan().YGMin, a.bilan().YGMin);
    EXPECT_DOUBLE_EQ(v.bilan().XGMin, a.bilan().XGMin);
}

TEST(Generateur, PlusieursPassesRepetentLaDecoupe) {
    ParamAile une = AileDroite(1000), dix = AileDroite(1000);
    dix.PointsMax = 100;
    ResumeAile r1, r10;
    Chargement c1(Genere(une, &r1)), c10(Genere(dix, &r10));
    ASSERT_EQ(r10.Passes, 10);
    // The same outline ten times: same extents, about ten times the profile time.
    EXPECT_DOUBLE_EQ(c10.bilan().XGMin, c1.bilan().XGMin);
    EXPECT_NEAR(c10.bilan().YGMax, c1.bilan().YGMax, 0.2);
    const double pauses = une.Chauffe + 1;
    EXPECT_NEAR(r10.TempsTotal - pauses, 10 * (r1.TempsTotal - pauses), 0.01 * r10.TempsTotal);
    EXPECT_NEAR(c10.b.p.Etat.TempsTotal, r10.TempsTotal, 0.01);
}

TEST(Generateur, RefuseLesParametresImpossibles) {
    struct Cas {
        const char* nom;
        void (*change)(ParamAile&);
    };
    const Cas cas[] = {
        {"trop peu de lignes", [](ParamAile& p) { p.Lignes = aile::LignesMin() - 1; }},
        {"profil à 3 chiffres", [](ParamAile& p) { p.ProfilEmplanture = "241"; }},
        {"profil non numérique", [](ParamAile& p) { p.ProfilSaumon = "24a2"; }},
        {"épaisseur nulle", [](ParamAile& p) { p.ProfilSaumon = "0000"; }},
        {"cambrure sans position", [](ParamAile& p) { p.ProfilEmplanture = "2012"; }},
        {"effilement nul", [](ParamAile& p) { p.Effilement = 0; }},
        {"corde non finie", [](ParamAile& p) { p.CordeEmplanture = std::nan(""); }},
        {"bloc inversé", [](ParamAile& p) { p.BlocDroit = p.BlocGauche; }},
        {"bloc hors machine", [](ParamAile& p) { p.LargeurMachine = p.BlocDroit - 1; }},
        {"vitesse nulle", [](ParamAile& p) { p.Vitesse = 0; }},
        {"approche négative", [](ParamAile& p) { p.VitesseApproche = -1; }},
        {"pause négative", [](ParamAile& p) { p.PauseBord = -0.1; }},
        {"passes trop courtes", [](ParamAile& p) { p.PointsMax = 19; }},
        {"bruit négatif", [](ParamAile& p) { p.Bruit = -1; }},
    };
    for (const Cas& c : cas) {
        ParamAile p;
        c.change(p);
        EXPECT_FALSE(aile::VerifieParam(p).empty()) << c.nom;
        std::ostringstream s;
        EXPECT_THROW(aile::EcritAile(p, s), std::invalid_argument) << c.nom;
        EXPECT_TRUE(s.str().empty()) << c.nom;
    }
    EXPECT_TRUE(aile::VerifieParam(ParamAile{}).empty());
}

TEST(Generateur, FichierImpossibleACreer) {
    DossierTemporaire d;
    const std::string chemin = (d.Chemin() / "absent" / "aile.cut").string();
    EXPECT_THROW(aile::EcritAile(ParamAile{}, chemin), std::runtime_error);
}

} // namespace
} // namespace parvel::test
