#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "view/ImageRaster.h"

namespace parvel {
namespace {

using test::Banc;
using test::DossierTemporaire;
using test::PointDessine;
using test::Trait;

std::string Cut(const std::vector<std::string>& lignes) {
    std::string t;
    for (const std::string& l : lignes)
        t += l + "\r\n";
    return t;
}

// X from -100 to 50 and Y from 0 to 30 over both sides.
const std::string FichierLarge =
    Cut({"XG:0 YG:0 XD:0 YD:0", "T:0.05 XG:-100 YG:30 XD:50 YD:10", "T:0.05 XG:-20 YG:5 XD:10 YD:2"});

class Dessin : public testing::Test {
  protected:
    Banc b;
    DossierTemporaire dossier;

    std::string Charge(const std::string& contenu, const std::string& nom = "a.cut") {
        std::string chemin = dossier.Ecrit(nom, contenu);
        b.p.CommonDialog1.NomFichier = chemin;
        b.p.ChargeCut();
        return chemin;
    }
    std::vector<Trait> TraitsDeCouleur(int c) const {
        std::vector<Trait> t;
        std::copy_if(b.image.traits.begin(), b.image.traits.end(), std::back_inserter(t),
                     [c](const Trait& x) { return x.couleur == c; });
        return t;
    }
    long PointsDeCouleur(int c) const {
        return std::count_if(b.image.points.begin(), b.image.points.end(),
                             [c](const PointDessine& p) { return p.couleur == c; });
    }
};

std::array<float, 4> Champs(const Mapping& m) {
    return {m.ScaleLeft, m.ScaleTop, m.ScaleWidth, m.ScaleHeight};
}
std::array<float, 4> Champs(const Placement& p) {
    return {p.Left, p.Top, p.Width, p.Height};
}

struct CasCadre {
    const char* nom;
    const char *zero, *ligne;
    std::array<double, 4> etendue; // XMin, XMax, YMin, YMax
    double echelle;                // expected millimetres per twip in a 7212 x 5055 area
};

class Cadre : public Dessin, public testing::WithParamInterface<CasCadre> {};

TEST_P(Cadre, ExtentsScaleAndFullExtentMapping) {
    const CasCadre& c = GetParam();
    Charge(Cut({c.zero, c.ligne}));
    const EtatVue& v = b.p.Vue.Etat;
    EXPECT_EQ((std::array<double, 4>{v.XMin, v.XMax, v.YMin, v.YMax}), c.etendue);
    EXPECT_NEAR(v.Echelle, c.echelle, c.echelle * 1e-5);

    // The larger range fills 99 % of its side; the lower edge is Y = 0, not YMin.
    const Mapping m = b.image.mapping;
    ASSERT_TRUE(b.image.mappingDefini);
    EXPECT_FLOAT_EQ(m.ScaleLeft, static_cast<float>(c.etendue[0]));
    EXPECT_NEAR(m.ScaleWidth, 7212 * c.echelle, 1e-3);
    EXPECT_NEAR(m.ScaleHeight, -5055 * c.echelle, 1e-3);
    EXPECT_EQ(m.ScaleTop, -m.ScaleHeight);
    EXPECT_NEAR(std::max((c.etendue[1] - c.etendue[0]) / m.ScaleWidth,
                         (c.etendue[3] - c.etendue[2]) / -m.ScaleHeight),
                0.99, 1e-5);
    EXPECT_TRUE(b.controles.Choisie(Option::Etendu));
}

const char* const Z0 = "XG:0 YG:0 XD:0 YD:0";
const CasCadre Cadres[] = {
    {"LargeurDominante", Z0, "T:0.05 XG:-100 YG:30 XD:50 YD:10", {-100, 50, 0, 30}, 0.0210088},
    {"HauteurDominante", Z0, "T:1 XG:10 YG:100 XD:5 YD:60", {0, 10, 0, 100}, 100.0 / 5055 / 0.99},
    {"YNegatifs", Z0, "T:1 XG:60 YG:-20 XD:30 YD:10", {0, 60, -20, 10}, 60.0 / 7212 / 0.99},
    {"ZeroXDeLaPremiereLigne",
     "XG:200 YG:0 XD:210 YD:0",
     "T:1 XG:260 YG:20 XD:150 YD:4",
     {-50, 60, 0, 20},
     110.0 / 7212 / 0.99},
};
INSTANTIATE_TEST_SUITE_P(Fichiers, Cadre, testing::ValuesIn(Cadres),
                         [](const testing::TestParamInfo<CasCadre>& i) { return std::string(i.param.nom); });

TEST_F(Dessin, FirstLoadDrawsTwiceThenOnceWithEtenduSelected) {
    Charge(FichierLarge);
    EXPECT_EQ(b.dialogues.bips, 2);
    const auto traits = b.image.traits;
    EXPECT_EQ(traits.size(), 6u); // one clear before each drawing: one copy left
    EXPECT_EQ(b.image.effacements, 2);

    Charge(FichierLarge, "b.cut");
    EXPECT_EQ(b.dialogues.bips, 3);
    EXPECT_EQ(b.image.effacements, 3);
    EXPECT_EQ(b.image.traits, traits);
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Dessin, CoordinateLinesFollowTheFileInBothColours) {
    Charge(FichierLarge);
    EXPECT_EQ(TraitsDeCouleur(CouleurGauche),
              (std::vector<Trait>{{0, 0, 0, 0, 5}, {0, 0, -100, 30, 5}, {-100, 30, -20, 5, 5}}));
    EXPECT_EQ(TraitsDeCouleur(CouleurDroite),
              (std::vector<Trait>{{0, 0, 0, 0, 15}, {0, 0, 50, 10, 15}, {50, 10, 10, 2, 15}}));
    EXPECT_TRUE(b.p.Interp.Etat.TraceActif);
}

TEST_F(Dessin, FigeKeepsTheMappingAndDrawsOverTheOldDrawing) {
    Charge(FichierLarge);
    const Mapping avant = b.image.mapping;
    const float echelleAvant = b.p.Vue.Etat.Echelle;
    const std::size_t traitsAvant = b.image.traits.size();
    const int effacementsAvant = b.image.effacements;
    b.p.Choisit(Option::Fige);

    Charge(Cut({"XG:0 YG:0 XD:0 YD:0", "T:1 XG:500 YG:400 XD:500 YD:400"}), "grand.cut");
    EXPECT_EQ(Champs(b.image.mapping), Champs(avant));
    EXPECT_NE(b.p.Vue.Etat.Echelle, echelleAvant); // the extents and the scale are new
    EXPECT_EQ(b.p.Vue.Etat.XMax, 500);
    EXPECT_EQ(b.image.effacements, effacementsAvant);
    EXPECT_EQ(b.image.traits.size(), traitsAvant + 4);
    EXPECT_TRUE(b.controles.Choisie(Option::Fige));
}

struct CasDessine {
    Option mode;
    bool efface;
};

class BoutonDessine : public Dessin, public testing::WithParamInterface<CasDessine> {};

TEST_P(BoutonDessine, ClearsOnlyWithEtendu) {
    Charge(FichierLarge);
    b.controles.DefinitActive(Option::Variable, true);
    b.p.Choisit(GetParam().mode);
    const std::size_t traits = b.image.traits.size();
    const int effacements = b.image.effacements;
    const int bips = b.dialogues.bips;

    b.p.Commande1_Click();
    EXPECT_EQ(b.image.effacements, effacements + (GetParam().efface ? 1 : 0));
    EXPECT_EQ(b.image.traits.size(), GetParam().efface ? traits : 2 * traits);
    EXPECT_EQ(b.dialogues.bips, bips + 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, BoutonDessine,
                         testing::Values(CasDessine{Option::Etendu, true},
                                         CasDessine{Option::Variable, false},
                                         CasDessine{Option::Fige, false}));

TEST_F(Dessin, EffaceClearsAndLeavesTheShapesAlone) {
    Charge(FichierLarge);
    b.image.MontreForme(Forme::ZoneX, true);
    const int bips = b.dialogues.bips;
    const int effacements = b.image.effacements;
    b.p.Commande2_Click();
    EXPECT_EQ(b.image.effacements, effacements + 1);
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_TRUE(b.image.FormeVisible(Forme::ZoneX));
    EXPECT_EQ(b.dialogues.bips, bips);
}

TEST_F(Dessin, WithoutFileNothingIsDrawnAndNothingSounds) {
    b.p.DessineCut();
    b.p.Commande1_Click();
    EXPECT_EQ(b.dialogues.bips, 0);
    EXPECT_EQ(b.image.effacements, 0);
    EXPECT_TRUE(b.image.points.empty());
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Dessin, AllBoxesUncheckedDrawNothingAndStillBeep) {
    b.p.Config.MmParPasX = 0.5;
    Charge(Cut({"XG:0 YG:0 XD:0 YD:0", "+XG +XD", "T:1 XG:10 YG:10 XD:10 YD:10"}));
    for (Case c : {Case::PGauche, Case::PDroite, Case::CGauche, Case::CDroite})
        b.p.DefinitCoche(c, false);
    const int bips = b.dialogues.bips;
    b.p.Commande1_Click();
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_TRUE(b.image.points.empty());
    EXPECT_EQ(b.dialogues.bips, bips + 1);
}

TEST_F(Dessin, StepPointsAfterEveryLineInTheirColours) {
    b.p.Config.MmParPasX = 0.5;
    b.p.Config.MmParPasY = 0.25;
    Charge(Cut({"+XG +YG +YG", "-XD +YD", "+XG -YD -YD"}));
    b.image.OublieDessins();
    b.p.Commande1_Click();
    // Right point, then left point, after each of the three lines.
    EXPECT_EQ(b.image.points,
              (std::vector<PointDessine>{
                  {0, 0, 2}, {0.5, 0.5, 4}, {-0.5, 0.25, 2}, {0.5, 0.5, 4}, {-0.5, -0.25, 2}, {1, 0.5, 4}}));

    b.p.DefinitCoche(Case::PDroite, false);
    b.p.Commande1_Click();
    EXPECT_EQ(PointsDeCouleur(2), 0);
    EXPECT_EQ(PointsDeCouleur(4), 3);
}

TEST_F(Dessin, RedrawStartsFromZeroPositionsAndKeepsTheLoadsZeroX) {
    Charge(Cut({"XG:100 YG:0 XD:100 YD:0", "T:1 XG:130 YG:10 XD:120 YD:5"}));
    b.p.Interp.Etat.RelXG = 7;
    b.p.Interp.Etat.XG = 99;
    b.p.Commande1_Click();
    EXPECT_EQ(b.p.Interp.Etat.ZeroX, 100);
    EXPECT_EQ(TraitsDeCouleur(CouleurGauche), (std::vector<Trait>{{0, 0, 0, 0, 5}, {0, 0, 30, 10, 5}}));
    EXPECT_EQ(b.p.Interp.Etat.RelXG, 0);
}

// A load that stopped half-way leaves the drawing off: the next redraw turns it back on.
TEST_F(Dessin, RedrawSwitchesTheLinesOnForTheNextOne) {
    Charge(FichierLarge);
    b.p.Interp.Etat.TraceActif = false;
    b.p.Commande1_Click();
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_TRUE(b.p.Interp.Etat.TraceActif);
    b.p.Commande1_Click();
    EXPECT_EQ(b.image.traits.size(), 6u);
}

TEST_F(Dessin, CommentLineIsInterpretedByTheRedraw) {
    Charge(Cut({"XG:0 YG:0 XD:0 YD:0", "// XG:20 YG:5 XD:0 YD:0", "T:1 XG:10 YG:2 XD:10 YD:2"}));
    EXPECT_EQ(b.p.Bilan.XGMax, 10); // the load skipped the comment
    EXPECT_EQ(TraitsDeCouleur(CouleurGauche),
              (std::vector<Trait>{{0, 0, 0, 0, 5}, {0, 0, 20, 5, 5}, {20, 5, 10, 2, 5}}));
}

// Loaded outside milling mode, then switched on with markers as the milling writer leaves them.
class Fraisage : public Dessin {
  protected:
    void RedessineEnFraisage(bool actif = true) {
        b.p.Fraiseuse.Marques = {{10, 20, "Up", 2}, {-5, 3, "Down", 4}, {40, 25, "Up", 2}};
        b.controles.DefinitFraisageActif(actif);
        b.image.OublieDessins();
        b.p.Commande1_Click();
    }
};

TEST_F(Fraisage, MarkersAreCircleDotAndLabelInTheirColour) {
    Charge(FichierLarge);
    const int bips = b.dialogues.bips;
    RedessineEnFraisage();
    EXPECT_EQ(b.dialogues.bips, bips + 1);
    ASSERT_EQ(b.image.cercles.size(), 3u);
    ASSERT_EQ(b.image.textes.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const Marque& m = b.p.Fraiseuse.Marques[i];
        const auto& c = b.image.cercles[i];
        const auto& t = b.image.textes[i];
        EXPECT_EQ(std::tuple(c.x, c.y, c.rayon, c.couleur), std::tuple(m.X, m.Y, 1.0, m.Couleur)) << i;
        EXPECT_EQ(std::tuple(t.x, t.y, t.couleur, t.texte), std::tuple(m.X, m.Y, m.Couleur, m.Label)) << i;
        EXPECT_NE(std::find(b.image.points.begin(), b.image.points.end(), PointDessine{m.X, m.Y, m.Couleur}),
                  b.image.points.end());
    }
}

struct CasBandes {
    double xFraise, yFraise;
    double xFraiseGardee, yFraiseGardee;
};

class Bandes : public Fraisage, public testing::WithParamInterface<CasBandes> {};

TEST_P(Bandes, LimitsClampedAtLoadAndBandsPlaced) {
    const CasBandes& c = GetParam();
    b.p.Param.XFraise = c.xFraise;
    b.p.Param.YFraise = c.yFraise;
    Charge(FichierLarge); // X up to 50, Y up to 30
    EXPECT_EQ(b.p.Param.XFraise, c.xFraiseGardee);
    EXPECT_EQ(b.p.Param.YFraise, c.yFraiseGardee);
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneX));
    RedessineEnFraisage();

    EXPECT_EQ(Champs(b.image.LitForme(Forme::ZoneX)),
              (std::array<float, 4>{0, 30, float(c.xFraiseGardee), 30}));
    EXPECT_EQ(Champs(b.image.LitForme(Forme::ZoneY)),
              (std::array<float, 4>{0, 30, 50, float(30 - c.yFraiseGardee)}));
    EXPECT_TRUE(b.image.FormeVisible(Forme::ZoneX));
    EXPECT_TRUE(b.image.FormeVisible(Forme::ZoneY));
}

INSTANTIATE_TEST_SUITE_P(Limites, Bandes,
                         testing::Values(CasBandes{20, 10, 20, 10}, CasBandes{1000, 1000, 0, 30},
                                         CasBandes{50, 30, 50, 30}, CasBandes{50.5, -4, 0, -4}));

TEST_F(Fraisage, OutsideMillingModeNeitherMarkersNorBands) {
    Charge(FichierLarge);
    RedessineEnFraisage(false);
    EXPECT_TRUE(b.image.cercles.empty());
    EXPECT_TRUE(b.image.textes.empty());
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneX));
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneY));
}

TEST_F(Dessin, FileWithoutExtentKeepsThePreviousScale) {
    Charge(Cut({"XG:0 YG:0 XD:0 YD:0", "T:1 XG:0 YG:0 XD:0 YD:0"}));
    EXPECT_EQ(b.p.Vue.Etat.Echelle, 1.0f);
    EXPECT_EQ(Champs(b.image.mapping), (std::array<float, 4>{0, 5055, 7212, -5055}));
    EXPECT_EQ(b.dialogues.bips, 2);

    Charge(FichierLarge, "large.cut");
    const float echelle = b.p.Vue.Etat.Echelle;
    Charge(Cut({"XG:3 YG:0 XD:3 YD:0"}), "plat.cut");
    EXPECT_EQ(b.p.Vue.Etat.Echelle, echelle);
    EXPECT_EQ(b.image.mapping.ScaleWidth, static_cast<float>(7212.0 * echelle));
    EXPECT_TRUE(std::isfinite(b.image.mapping.ScaleHeight));
    EXPECT_LT(b.image.mapping.ScaleHeight, 0);
}

TEST_F(Dessin, AreaWithoutSizeKeepsScaleAndMapping) {
    Charge(FichierLarge);
    const float echelle = b.p.Vue.Etat.Echelle;
    const Mapping avant = b.image.mapping;
    for (auto [l, h] : {std::pair{0.0f, 5055.0f}, std::pair{7212.0f, 0.0f}}) {
        b.image.largeur = l;
        b.image.hauteur = h;
        b.p.Choisit(Option::Fige);
        b.p.Choisit(Option::Etendu);
        Charge(Cut({"XG:0 YG:0 XD:0 YD:0", "T:1 XG:9 YG:3 XD:1 YD:1"}), "petit.cut");
        EXPECT_EQ(b.p.Vue.Etat.Echelle, echelle);
        EXPECT_EQ(Champs(b.image.mapping), Champs(avant));
    }
}

TEST_F(Dessin, VanishedFileLeavesTheViewAsItWas) {
    const std::string chemin = Charge(FichierLarge);
    b.image.MontreForme(Forme::Selection, true);
    std::filesystem::remove(chemin);
    const auto traits = b.image.traits;
    const int effacements = b.image.effacements;
    const int bips = b.dialogues.bips;
    const EtatCut etat = b.p.Interp.Etat;

    b.p.Commande1_Click();
    ASSERT_EQ(b.dialogues.messages.size(), 1u);
    EXPECT_NE(b.dialogues.messages[0].find(DescriptionErreur(ErrFichierIntrouvable)), std::string::npos);
    EXPECT_EQ(b.dialogues.bips, bips);
    EXPECT_EQ(b.image.effacements, effacements);
    EXPECT_EQ(b.image.traits, traits);
    EXPECT_EQ(std::tie(b.p.Interp.Etat.XG, b.p.Interp.Etat.YD, b.p.Interp.Etat.XGPrec),
              std::tie(etat.XG, etat.YD, etat.XGPrec));
    EXPECT_TRUE(b.image.FormeVisible(Forme::Selection));
}

// The same load on the raster that the window shows and parvel-cut writes.
TEST_F(Dessin, LoadOnTheRasterPaintsBothSides) {
    ImageRaster raster(481, 337);
    test::ZoneTexteMemoire sortie;
    ControlesMemoire controles;
    test::DialoguesScriptes dialogues;
    test::RegistreMemoire registre;
    Principale p(Plateforme{raster, sortie, controles, dialogues, registre});
    p.CommonDialog1.NomFichier = dossier.Ecrit("r.cut", FichierLarge);
    p.ChargeCut();

    const std::vector<std::uint32_t> image = raster.Compose();
    auto compte = [&](std::uint32_t rgb) {
        return std::count_if(image.begin(), image.end(),
                             [rgb](std::uint32_t px) { return (px & 0xFFFFFF) == rgb; });
    };
    EXPECT_GT(compte(Palette[CouleurGauche]), 100);
    EXPECT_GT(compte(Palette[CouleurDroite]), 50);
    // Y = 0 lies on the lower edge and X = -100 on the left one.
    const PointUtilisateur basGauche = raster.VersUtilisateur(0, raster.HauteurPx() - 1);
    EXPECT_NEAR(basGauche.X, -100, 0.5);
    EXPECT_NEAR(basGauche.Y, 0, 0.5);
    EXPECT_EQ(dialogues.bips, 2);
}

} // namespace
} // namespace parvel
