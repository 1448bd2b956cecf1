#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"

namespace parvel {
namespace {

using test::Banc;
using test::DossierTemporaire;
using test::PointDessine;
using test::Trait;

class Options : public testing::Test {
  protected:
    Banc b;
    DossierTemporaire dossier;

    void Charge() {
        b.p.Config.MmParPasX = 0.5;
        b.p.Config.MmParPasY = 0.5;
        b.p.CommonDialog1.NomFichier =
            dossier.Ecrit("o.cut", "XG:0 YG:0 XD:0 YD:0\r\n+XG +YD\r\nT:1 XG:150 YG:80 XD:120 YD:60\r\n");
        b.p.ChargeCut();
    }
    long Traits(int couleur) const {
        return std::count_if(b.image.traits.begin(), b.image.traits.end(),
                             [couleur](const Trait& t) { return t.couleur == couleur; });
    }
    long Points(int couleur) const {
        return std::count_if(b.image.points.begin(), b.image.points.end(),
                             [couleur](const PointDessine& p) { return p.couleur == couleur; });
    }
    void Zoome() {
        b.p.Image1_MouseDown(1, 0, 10, 10);
        b.p.Image1_MouseMove(0, 0, 30, 20);
        b.p.Image1_MouseDown(1, 0, 30, 20);
    }
};

struct CasPas {
    Case boite;
    int couleurAbsente, couleurPresente;
};

class CasePas : public Options, public testing::WithParamInterface<CasPas> {};

TEST_P(CasePas, UncheckingClearsThenDessineDrawsWithoutThoseSteps) {
    const CasPas& c = GetParam();
    Charge();
    const int bips = b.dialogues.bips;
    b.p.DefinitCoche(c.boite, false);
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_TRUE(b.image.points.empty());
    EXPECT_EQ(b.dialogues.bips, bips);

    b.p.Commande1_Click();
    EXPECT_EQ(Points(c.couleurAbsente), 0);
    EXPECT_EQ(Points(c.couleurPresente), 3);
    EXPECT_EQ(Traits(CouleurGauche), 2);
    EXPECT_EQ(Traits(CouleurDroite), 2);

    // Checking it again clears as well.
    b.p.DefinitCoche(c.boite, true);
    EXPECT_TRUE(b.image.points.empty());
}

INSTANTIATE_TEST_SUITE_P(Boites, CasePas,
                         testing::Values(CasPas{Case::PDroite, 2, 4}, CasPas{Case::PGauche, 4, 2}));

struct CasCoordonnees {
    Case boite;
    Option mode;
    int couleurAbsente, couleurPresente;
};

class CaseCoordonnees : public Options, public testing::WithParamInterface<CasCoordonnees> {};

TEST_P(CaseCoordonnees, UncheckingClearsAndRedrawsWithoutThatSide) {
    const CasCoordonnees& c = GetParam();
    Charge();
    b.p.Choisit(c.mode);
    const int bips = b.dialogues.bips;
    const int effacements = b.image.effacements;
    b.p.DefinitCoche(c.boite, false);
    EXPECT_EQ(b.dialogues.bips, bips + 1);
    EXPECT_GE(b.image.effacements, effacements + 1);
    EXPECT_EQ(Traits(c.couleurAbsente), 0);
    EXPECT_EQ(Traits(c.couleurPresente), 2); // once: the redraw went onto a cleared area
    EXPECT_EQ(Points(2), 3);
}

INSTANTIATE_TEST_SUITE_P(
    BoitesEtModes, CaseCoordonnees,
    testing::Values(CasCoordonnees{Case::CGauche, Option::Etendu, CouleurGauche, CouleurDroite},
                    CasCoordonnees{Case::CGauche, Option::Fige, CouleurGauche, CouleurDroite},
                    CasCoordonnees{Case::CGauche, Option::Variable, CouleurGauche, CouleurDroite},
                    CasCoordonnees{Case::CDroite, Option::Etendu, CouleurDroite, CouleurGauche},
                    CasCoordonnees{Case::CDroite, Option::Fige, CouleurDroite, CouleurGauche}));

TEST_F(Options, CoordonneesBoxBeforeAnyLoadOnlyClears) {
    b.p.DefinitCoche(Case::CGauche, false);
    b.p.DefinitCoche(Case::CDroite, false);
    EXPECT_EQ(b.image.effacements, 2);
    EXPECT_EQ(b.dialogues.bips, 0);
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Options, EtenduAfterAZoomReturnsToTheFullView) {
    Charge();
    const Mapping plein = b.image.mapping;
    Zoome();
    ASSERT_TRUE(b.controles.Choisie(Option::Variable));
    ASSERT_NE(b.image.mapping.ScaleWidth, plein.ScaleWidth);
    const int bips = b.dialogues.bips;
    const int effacements = b.image.effacements;

    b.p.Choisit(Option::Etendu);
    EXPECT_EQ(b.image.mapping.ScaleLeft, plein.ScaleLeft);
    EXPECT_EQ(b.image.mapping.ScaleTop, plein.ScaleTop);
    EXPECT_EQ(b.image.mapping.ScaleWidth, plein.ScaleWidth);
    EXPECT_EQ(b.image.mapping.ScaleHeight, plein.ScaleHeight);
    EXPECT_EQ(b.image.effacements, effacements + 1);
    EXPECT_EQ(b.dialogues.bips, bips + 1);
    EXPECT_EQ(Traits(CouleurGauche), 2);
}

TEST_F(Options, EtenduBeforeAnyLoadMapsTwipsUpwardAndDrawsNothing) {
    b.p.Choisit(Option::Etendu);
    EXPECT_EQ(b.image.mapping.ScaleLeft, 0);
    EXPECT_EQ(b.image.mapping.ScaleWidth, 7212);
    EXPECT_EQ(b.image.mapping.ScaleHeight, -5055);
    EXPECT_EQ(b.image.mapping.ScaleTop, 5055);
    EXPECT_EQ(b.dialogues.bips, 0);
    EXPECT_EQ(b.image.effacements, 0);
}

TEST_F(Options, FigeAndVariableDoNothingWhenSelected) {
    Charge();
    const Mapping m = b.image.mapping;
    const int bips = b.dialogues.bips;
    const int effacements = b.image.effacements;
    b.p.Choisit(Option::Fige);
    b.p.Choisit(Option::Variable);
    EXPECT_EQ(b.dialogues.bips, bips);
    EXPECT_EQ(b.image.effacements, effacements);
    EXPECT_EQ(b.image.mapping.ScaleWidth, m.ScaleWidth);
    EXPECT_EQ(b.image.mapping.ScaleTop, m.ScaleTop);
}

struct CasFenetre {
    float largeur, hauteur;
    bool minimisee;
    float largeurAire, hauteurAire; // from an area of 7212 x 5055
};

class Redimension : public testing::TestWithParam<CasFenetre> {};

TEST_P(Redimension, AreaFollowsTheWindow) {
    const CasFenetre& c = GetParam();
    Banc b;
    b.p.Form_Resize(c.largeur, c.hauteur, c.minimisee);
    EXPECT_FLOAT_EQ(b.image.Largeur(), c.largeurAire);
    EXPECT_FLOAT_EQ(b.image.Hauteur(), c.hauteurAire);
    EXPECT_EQ(b.image.effacements, 0);
    EXPECT_FALSE(b.image.mappingDefini);
}

INSTANTIATE_TEST_SUITE_P(
    Fenetres, Redimension,
    testing::Values(CasFenetre{12000, 9000, false, 11760, 5760}, CasFenetre{12000, 9000, true, 7212, 5055},
                    CasFenetre{11364, 7500, false, 11130.36f, 4260},
                    // Too small for a side: that side keeps its size.
                    CasFenetre{12000, 3240, false, 11760, 5055}, CasFenetre{100, 9000, false, 7212, 5760},
                    CasFenetre{0, 0, false, 7212, 5055}, CasFenetre{-500, 2000, false, 7212, 5055}));

// X and Y keep one scale whatever the size: "Etendu" fits the drawing again, a zoom
// keeps its centre and scale; the redraw that follows does not beep.
TEST_F(Options, ResizeKeepsOneScale) {
    Charge();
    const int bips = b.dialogues.bips;
    auto echelles = [&] {
        const Mapping m = b.image.mapping;
        return std::pair{m.ScaleWidth / b.image.Largeur(), -m.ScaleHeight / b.image.Hauteur()};
    };
    b.p.Form_Resize(15000, 10000, false);
    auto [ex, ey] = echelles();
    EXPECT_FLOAT_EQ(ex, ey);
    EXPECT_FLOAT_EQ(ex, b.p.Vue.Etat.Echelle);
    EXPECT_EQ(b.image.mapping.ScaleLeft, static_cast<float>(b.p.Vue.Etat.XMin));
    EXPECT_EQ(b.dialogues.bips, bips);
    EXPECT_FALSE(b.image.traits.empty()) << "redessiné";

    b.p.Choisit(Option::Variable);
    const Mapping avant = b.image.mapping;
    const float echelle = ex;
    b.p.Form_Resize(12000, 9000, false);
    std::tie(ex, ey) = echelles();
    EXPECT_FLOAT_EQ(ex, ey);
    EXPECT_FLOAT_EQ(ex, echelle);
    EXPECT_FLOAT_EQ(b.image.mapping.ScaleLeft + b.image.mapping.ScaleWidth / 2,
                    avant.ScaleLeft + avant.ScaleWidth / 2);
    EXPECT_FLOAT_EQ(b.image.mapping.ScaleTop + b.image.mapping.ScaleHeight / 2,
                    avant.ScaleTop + avant.ScaleHeight / 2);
}

// A window so small that a side stays, after a valid size: the last valid one is kept.
TEST_F(Options, TooSmallAfterAResizeKeepsTheLastValidSize) {
    b.p.Form_Resize(12000, 9000, false);
    b.p.Form_Resize(50, 3000, false);
    EXPECT_EQ(b.image.Largeur(), 11760);
    EXPECT_EQ(b.image.Hauteur(), 5760);
}

} // namespace
} // namespace parvel
