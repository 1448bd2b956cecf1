#include <array>
#include <cmath>
#include <string>
#include <tuple>
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
    std::array<float, 4> ChampsBande() const {
        return {Bande().Left, Bande().Top, Bande().Width, Bande().Height};
    }
    bool BandeVisible() const { return b.image.FormeVisible(Forme::Selection); }
    void AttendMapping(Mapping m) const {
        const Mapping& v = b.image.mapping;
        const float lu[] = {v.ScaleLeft, v.ScaleTop, v.ScaleWidth, v.ScaleHeight};
        const float attendu[] = {m.ScaleLeft, m.ScaleTop, m.ScaleWidth, m.ScaleHeight};
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(lu[i], attendu[i]) << i;
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
    EXPECT_FLOAT_EQ(b.p.Vue.Zoom.RapportZoom, c.rapport);
    EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, 0);
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
    EXPECT_FLOAT_EQ(b.p.Vue.Zoom.RapportZoom, 10);
}

TEST_F(Zoom, TooLargeIsRefusedAndNothingChanges) {
    Vue({0, 50, 100, -50});
    const int bips = b.dialogues.bips;
    const int effacements = b.image.effacements;
    Selectionne(10, 10, 10.4f, 10.3f);
    EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{TropGrand});
    AttendMapping({0, 50, 100, -50});
    EXPECT_NEAR(b.p.Vue.Zoom.RapportZoom, 166.67, 0.01);
    EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, 0);
    EXPECT_FALSE(BandeVisible());
    EXPECT_EQ(b.image.effacements, effacements);
    EXPECT_EQ(b.dialogues.bips, bips);
    EXPECT_FALSE(b.controles.Choisie(Option::Variable));
}

// From the corner (10, 10): a second click left of or below it, or on a band without
// width or height, is ignored and the selection goes on.
TEST_F(Zoom, SecondClickThatMakesNoBandIsIgnored) {
    const std::array<float, 4> cas[] = {
        {30, 20, 30, 5}, {30, 20, 5, 20}, {30, 20, 9.99f, 9.99f}, {5, 20, 10, 20}, {30, 5, 30, 10}};
    for (const auto& [xb, yb, x, y] : cas) {
        SCOPED_TRACE(testing::Message() << xb << "," << yb << " " << x << "," << y);
        Clic(0, 0, Droit);
        Clic(10, 10);
        Bouge(xb, yb);
        Clic(x, y);
        EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, 1);
        EXPECT_TRUE(BandeVisible());
        AttendMapping({0, 100, 200, -100});
        EXPECT_TRUE(std::isfinite(b.p.Vue.Zoom.RapportZoom));
    }
    EXPECT_TRUE(b.dialogues.messages.empty());
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
        EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, 0);
        EXPECT_TRUE(std::isfinite(b.p.Vue.Zoom.RapportZoom));
        EXPECT_GT(b.p.Vue.Zoom.RapportZoom, 0);
    }
}

TEST_F(Zoom, OtherButtonsCancelTheSelection) {
    for (short bouton : {Droit, Milieu}) {
        Clic(10, 10);
        Bouge(30, 20);
        Clic(30, 20, bouton);
        EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, 0);
        EXPECT_FALSE(BandeVisible());
        AttendMapping({0, 100, 200, -100});
    }
    // The next left click starts afresh.
    Clic(50, 50);
    EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, 1);
    EXPECT_EQ(b.p.Vue.Zoom.XDebutSel, 50);
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
    EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, c.commence ? 1 : 0);
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
    const auto avant = ChampsBande();
    Bouge(30, 30); // idle: the band is left alone
    EXPECT_EQ(ChampsBande(), avant);
    Clic(10, 10);
    EXPECT_TRUE(BandeVisible());
    EXPECT_EQ(ChampsBande(), (std::array<float, 4>{10, 10, 0, 0}));
    Bouge(30, 25);
    EXPECT_EQ(ChampsBande(), (std::array<float, 4>{10, 25, 20, 15}));
    Bouge(5, 18); // left of the corner: the width stays
    EXPECT_EQ(ChampsBande(), (std::array<float, 4>{10, 18, 20, 8}));
    Bouge(40, 2); // below the corner: the height stays
    EXPECT_EQ(ChampsBande(), (std::array<float, 4>{10, 18, 30, 8}));
}

TEST_F(Zoom, SelectionBegunBeforeALoadCompletesAgainstTheNewMapping) {
    Clic(10, 10);
    Bouge(30, 20);
    b.p.ChargeCut();
    EXPECT_EQ(b.p.Vue.Zoom.RapportZoom, 1);
    EXPECT_EQ(b.p.Vue.Zoom.EtatSelection, 1);
    const Mapping m = b.image.mapping;
    Clic(30, 20);
    const float r = std::min(std::fabs(m.ScaleWidth / 20), std::fabs(m.ScaleHeight / 10));
    EXPECT_FLOAT_EQ(b.p.Vue.Zoom.RapportZoom, r);
    AttendMapping({10, 20, m.ScaleWidth / r, m.ScaleHeight / r});
}

TEST(Survol, PositionCutDownToTheHundredth) {
    const std::tuple<float, float, const char*> cas[] = {{12.345f, -3.456f, "X:  12.34 Y: -3.46"},
                                                         {-0.004f, 7, "X: -.01 Y:  7"},
                                                         {0.5f, 0, "X:  .5 Y:  0"},
                                                         {0.29f, -0.0f, "X:  .29 Y:  0"},
                                                         {3607, 2527.5f, "X:  3607 Y:  2527.5"},
                                                         {-151.519f, 106.199f, "X: -151.52 Y:  106.19"},
                                                         {1e30f, -1e-9f, "X:  1E+30 Y: -.01"},
                                                         {3e38f, -3e38f, "X:  3E+38 Y: -3E+38"}};
    Banc b;
    for (const auto& [x, y, texte] : cas) {
        b.p.Image1_MouseMove(0, 0, x, y);
        EXPECT_EQ(b.image.survol, texte);
    }
}

} // namespace
} // namespace parvel
