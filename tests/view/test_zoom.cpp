#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"

namespace parvel {
namespace {

using test::Banc;
using test::DossierTemporaire;

constexpr short Gauche = 1, Droit = 2, Milieu = 4;
constexpr short Maj = 1, Ctrl = 2, Alt = 4;

const char* const TropGrand = "Zoom trop grand";
const char* const Futur = "Bouton droit + CTRL pour traitement futur";

// A loaded file, then a view set by hand: the zoom works on whatever mapping is current.
class Zoom : public testing::Test {
  protected:
    Banc b;
    DossierTemporaire dossier;

    void SetUp() override {
        b.p.CommonDialog1.NomFichier =
            dossier.Ecrit("z.cut", "XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:150 YG:80 XD:120 YD:60\r\n");
        b.p.ChargeCut();
        Vue({0, 100, 200, -100});
    }
    void Vue(Mapping m) {
        b.image.DefinitScaleHeight(m.ScaleHeight);
        b.image.DefinitScaleWidth(m.ScaleWidth);
        b.image.DefinitScaleLeft(m.ScaleLeft);
        b.image.DefinitScaleTop(m.ScaleTop);
    }
    void Clic(float x, float y, short bouton = Gauche, short maj = 0) {
        b.p.Image1_MouseDown(bouton, maj, x, y);
    }
    void Bouge(float x, float y) { b.p.Image1_MouseMove(0, 0, x, y); }
    // First corner, one movement, second click at the movement's end.
    void Selectionne(float x0, float y0, float x1, float y1) {
        Clic(x0, y0);
        Bouge(x1, y1);
        Clic(x1, y1);
    }
    Placement Bande() const { return b.image.LitForme(Forme::Selection); }
    bool BandeVisible() const { return b.image.FormeVisible(Forme::Selection); }
    void AttendMapping(Mapping m) const {
        EXPECT_FLOAT_EQ(b.image.mapping.ScaleLeft, m.ScaleLeft);
        EXPECT_FLOAT_EQ(b.image.mapping.ScaleTop, m.ScaleTop);
        EXPECT_FLOAT_EQ(b.image.mapping.ScaleWidth, m.ScaleWidth);
        EXPECT_FLOAT_EQ(b.image.mapping.ScaleHeight, m.ScaleHeight);
    }
};

struct CasZoom {
    const char* nom;
    Mapping vue;
    float x0, y0, x1, y1;
    Mapping attendu;
    float rapport;
};

class ZoomAccepte : public Zoom, public testing::WithParamInterface<CasZoom> {};

TEST_P(ZoomAccepte, NewMappingVariableClearAndRedraw) {
    const CasZoom& c = GetParam();
    Vue(c.vue);
    const int bips = b.dialogues.bips;
    const int effacements = b.image.effacements;

    Selectionne(c.x0, c.y0, c.x1, c.y1);
    AttendMapping(c.attendu);
    EXPECT_FLOAT_EQ(b.p.Zoom.RapportZoom, c.rapport);
    EXPECT_EQ(b.p.Zoom.EtatSelection, 0);
    EXPECT_FALSE(BandeVisible());
    EXPECT_TRUE(b.controles.Choisie(Option::Variable));
    EXPECT_EQ(b.image.effacements, effacements + 1);
    EXPECT_EQ(b.dialogues.bips, bips + 1);
    EXPECT_FALSE(b.image.traits.empty());
    EXPECT_TRUE(b.dialogues.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Vues, ZoomAccepte,
    testing::Values(
        // The band has the view's proportions: it fills the new view.
        CasZoom{"BandeProportionnee", {0, 100, 200, -100}, 10, 10, 30, 20, {10, 20, 20, -10}, 10},
        // Wider than the view's proportions: the width decides, the view reaches below.
        CasZoom{"BandeLarge", {0, 100, 200, -100}, 10, 10, 50, 20, {10, 20, 40, -20}, 5},
        // Taller: the height decides, the view reaches to the right.
        CasZoom{"BandeHaute", {0, 100, 200, -100}, 10, 10, 20, 60, {10, 60, 100, -50}, 2},
        CasZoom{"VueDecalee", {-50, 40, 80, -40}, -40, 0, 0, 20, {-40, 20, 40, -20}, 2}),
    [](const testing::TestParamInfo<CasZoom>& i) { return std::string(i.param.nom); });

TEST_F(Zoom, SuccessiveZoomsMultiply) {
    Selectionne(10, 10, 30, 20);
    Selectionne(12, 12, 14, 13);
    AttendMapping({12, 13, 2, -1});
    EXPECT_FLOAT_EQ(b.p.Zoom.RapportZoom, 10);
}

TEST_F(Zoom, TooLargeIsRefusedAndNothingChanges) {
    Vue({0, 50, 100, -50});
    const int bips = b.dialogues.bips;
    const int effacements = b.image.effacements;
    Selectionne(10, 10, 10.4f, 10.3f);
    EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{TropGrand});
    AttendMapping({0, 50, 100, -50});
    EXPECT_NEAR(b.p.Zoom.RapportZoom, 166.67, 0.01);
    EXPECT_EQ(b.p.Zoom.EtatSelection, 0);
    EXPECT_FALSE(BandeVisible());
    EXPECT_EQ(b.image.effacements, effacements);
    EXPECT_EQ(b.dialogues.bips, bips);
    EXPECT_FALSE(b.controles.Choisie(Option::Variable));
}

TEST_F(Zoom, SecondClickLeftOfOrBelowTheFirstCornerIsIgnored) {
    Clic(10, 10);
    Bouge(30, 20);
    for (auto [x, y] : {std::pair{30.0f, 5.0f}, std::pair{5.0f, 20.0f}, std::pair{9.99f, 9.99f}}) {
        Clic(x, y);
        EXPECT_EQ(b.p.Zoom.EtatSelection, 1);
        EXPECT_TRUE(BandeVisible());
        AttendMapping({0, 100, 200, -100});
    }
    Clic(30, 20);
    AttendMapping({10, 20, 20, -10});
}

TEST_F(Zoom, BandWithoutWidthOrHeightIsIgnored) {
    Clic(10, 10);
    Bouge(5, 20); // up but not to the right: no width
    Clic(10, 20);
    EXPECT_EQ(b.p.Zoom.EtatSelection, 1);
    EXPECT_TRUE(BandeVisible());
    Clic(0, 0, Droit);

    Clic(10, 10);
    Bouge(30, 5); // to the right but not up: no height
    Clic(30, 10);
    EXPECT_EQ(b.p.Zoom.EtatSelection, 1);
    EXPECT_TRUE(b.dialogues.messages.empty());
    AttendMapping({0, 100, 200, -100});
    EXPECT_TRUE(std::isfinite(b.p.Zoom.RapportZoom));

    Bouge(30, 20);
    Clic(30, 20);
    AttendMapping({10, 20, 20, -10});
}

TEST_F(Zoom, MappingWithoutExtentIsRefusedWithoutDividingByZero) {
    for (Mapping m : {Mapping{0, 100, 0, -100}, Mapping{0, 100, 200, 0}}) {
        Vue(m);
        b.dialogues.messages.clear();
        Selectionne(10, 10, 30, 20);
        EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{TropGrand});
        AttendMapping(m);
        EXPECT_EQ(b.p.Zoom.EtatSelection, 0);
        EXPECT_TRUE(std::isfinite(b.p.Zoom.RapportZoom));
        EXPECT_GT(b.p.Zoom.RapportZoom, 0);
    }
}

TEST_F(Zoom, OtherButtonsCancelTheSelection) {
    for (short bouton : {Droit, Milieu}) {
        Clic(10, 10);
        Bouge(30, 20);
        Clic(30, 20, bouton);
        EXPECT_EQ(b.p.Zoom.EtatSelection, 0);
        EXPECT_FALSE(BandeVisible());
        AttendMapping({0, 100, 200, -100});
    }
    // The next left click starts afresh.
    Clic(50, 50);
    EXPECT_EQ(b.p.Zoom.EtatSelection, 1);
    EXPECT_EQ(b.p.Zoom.XDebutSel, 50);
    EXPECT_EQ(Bande().Width, 0);
    EXPECT_EQ(Bande().Left, 50);
    Clic(60, 60, Droit, Ctrl);
    EXPECT_TRUE(b.dialogues.messages.empty());
}

struct CasModificateur {
    short maj;
    bool commence;
    bool message;
};

class ClicModifie : public Zoom, public testing::WithParamInterface<CasModificateur> {};

TEST_P(ClicModifie, WhileIdle) {
    const CasModificateur& c = GetParam();
    Clic(10, 10, Gauche, c.maj);
    EXPECT_EQ(b.p.Zoom.EtatSelection, c.commence ? 1 : 0);
    EXPECT_EQ(BandeVisible(), c.commence);
    EXPECT_EQ(b.dialogues.messages, c.message ? std::vector<std::string>{Futur} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Touches, ClicModifie,
                         testing::Values(CasModificateur{0, true, false}, CasModificateur{Maj, false, false},
                                         CasModificateur{Ctrl, false, true},
                                         CasModificateur{Alt, false, false},
                                         CasModificateur{Maj | Ctrl, false, false}));

TEST_F(Zoom, CtrlClickWhileSelectingCompletesWithoutMessage) {
    Clic(10, 10);
    Bouge(30, 20);
    Clic(30, 20, Gauche, Ctrl);
    AttendMapping({10, 20, 20, -10});
    EXPECT_TRUE(b.dialogues.messages.empty());
}

TEST_F(Zoom, RubberBandGrowsOnlyUpAndRight) {
    Clic(10, 10);
    EXPECT_TRUE(BandeVisible());
    Placement s = Bande();
    EXPECT_EQ(s.Left, 10);
    EXPECT_EQ(s.Top, 10);
    EXPECT_EQ(s.Width, 0);
    EXPECT_EQ(s.Height, 0);

    Bouge(30, 25);
    s = Bande();
    EXPECT_EQ(s.Left, 10);
    EXPECT_EQ(s.Top, 25);
    EXPECT_EQ(s.Width, 20);
    EXPECT_EQ(s.Height, 15);

    Bouge(5, 18); // left of the corner: the width stays
    s = Bande();
    EXPECT_EQ(s.Width, 20);
    EXPECT_EQ(s.Top, 18);
    EXPECT_EQ(s.Height, 8);

    Bouge(40, 2); // below the corner: the height stays
    s = Bande();
    EXPECT_EQ(s.Width, 30);
    EXPECT_EQ(s.Top, 18);
    EXPECT_EQ(s.Height, 8);
}

TEST_F(Zoom, MovingWhileIdleLeavesTheBandAlone) {
    const Placement avant = Bande();
    Bouge(30, 30);
    EXPECT_EQ(Bande().Width, avant.Width);
    EXPECT_EQ(Bande().Top, avant.Top);
}

TEST_F(Zoom, SelectionBegunBeforeALoadCompletesAgainstTheNewMapping) {
    Clic(10, 10);
    Bouge(30, 20);
    b.p.ChargeCut();
    EXPECT_EQ(b.p.Zoom.RapportZoom, 1);
    EXPECT_EQ(b.p.Zoom.EtatSelection, 1);
    const Mapping m = b.image.mapping;
    Clic(30, 20);
    const float r = std::min(std::fabs(m.ScaleWidth / 20), std::fabs(m.ScaleHeight / 10));
    EXPECT_FLOAT_EQ(b.p.Zoom.RapportZoom, r);
    AttendMapping({10, 20, m.ScaleWidth / r, m.ScaleHeight / r});
}

struct CasSurvol {
    float x, y;
    const char* texte;
};

class Survol : public testing::TestWithParam<CasSurvol> {};

TEST_P(Survol, PositionCutDownToTheHundredth) {
    Banc b;
    b.p.Image1_MouseMove(0, 0, GetParam().x, GetParam().y);
    EXPECT_EQ(b.image.survol, GetParam().texte);
}

INSTANTIATE_TEST_SUITE_P(Positions, Survol,
                         testing::Values(CasSurvol{12.345f, -3.456f, "X:  12.34 Y: -3.46"},
                                         CasSurvol{-0.004f, 7, "X: -.01 Y:  7"},
                                         CasSurvol{0.5f, 0, "X:  .5 Y:  0"},
                                         CasSurvol{0.29f, -0.0f, "X:  .29 Y:  0"},
                                         CasSurvol{3607, 2527.5f, "X:  3607 Y:  2527.5"},
                                         CasSurvol{-151.519f, 106.199f, "X: -151.52 Y:  106.19"},
                                         CasSurvol{1e30f, -1e-9f, "X:  1E+30 Y: -.01"},
                                         CasSurvol{3e38f, -3e38f, "X:  3E+38 Y: -3E+38"}));

} // namespace
} // namespace parvel
