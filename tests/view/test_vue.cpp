// SPDX-License-Identifier: GPL-3.0-or-later
// The view on a recording surface: framing, redraw, zoom, hover text and resizing, with
// the tables of tests/data/vue.
#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Chargeur.h"
#include "view/Vue.h"

namespace parvel {
namespace {

using test::FichierLarge;
using test::Inscription;
using test::PointDessine;
using test::Trait;

std::vector<float> Champs(const Mapping& m) {
    return {m.ScaleLeft, m.ScaleTop, m.ScaleWidth, m.ScaleHeight};
}
std::vector<float> Champs(const Placement& p) {
    return {p.Left, p.Top, p.Width, p.Height};
}
std::vector<float> Simples(const std::string& champ) {
    const std::vector<double> v = test::Nombres(champ);
    return std::vector<float>(v.begin(), v.end());
}

class Vue : public testing::Test {
  protected:
    test::SurfaceEnregistreuse image;
    VueCut vue{image};
    test::DossierTemporaire dossier;
    Interpreteur interp;
    BilanCut bilan;
    ParamFraisage param;
    OptionsDessin options; // every box checked, not cleared first, not in milling mode
    std::vector<Marque> marques;
    std::string chemin;

    // Loads `contenu` and maps the whole drawing, as a first load does.
    void Charge(const std::string& contenu) {
        chemin = dossier.Ecrit("a.cut", contenu);
        PasseChargement(chemin, interp, bilan);
        vue.CadreVue(bilan, param);
        vue.MappingEtendu();
    }
    void Dessine() {
        image.OublieDessins();
        EXPECT_FALSE(vue.DessineCut(chemin, interp, options, marques, param).has_value());
    }
    std::vector<Trait> Traits(int c) const {
        std::vector<Trait> t;
        std::copy_if(image.traits.begin(), image.traits.end(), std::back_inserter(t),
                     [c](const Trait& x) { return x.couleur == c; });
        return t;
    }
    long Points(int c) const {
        return std::count_if(image.points.begin(), image.points.end(),
                             [c](const PointDessine& p) { return p.couleur == c; });
    }
};

// One load after another: extents, scale, the milling limits held within the extents,
// and the full-extent mapping (Y = 0 on the lower edge); without extent or without an
// area, the scale and the mapping stay.
TEST_F(Vue, Cadres) {
    for (const auto& l : test::LitTable("vue/cadres.tsv")) {
        SCOPED_TRACE(l[0] + " " + l[1]);
        const auto limites = test::Nombres(l[1]), etendue = test::Nombres(l[2]);
        const double echelle = test::Nombres(l[3]).at(0);
        param = {.XFraise = limites[0], .YFraise = limites[1]};
        const auto aire = Simples(l.size() > 5 ? l[5] : "7212 5055");
        image.DefinitTaille(aire[0], aire[1]);
        Charge(l[0]);
        const EtatVue& v = vue.Etat;
        EXPECT_EQ((std::vector<double>{v.XMin, v.XMax, v.YMin, v.YMax}), etendue);
        EXPECT_NEAR(v.Echelle, echelle, echelle * 1e-6);
        EXPECT_EQ((std::vector<double>{param.XFraise, param.YFraise}), test::Nombres(l[4]));
        const std::vector<float> etendu = {static_cast<float>(etendue[0]), 5055 * v.Echelle, 7212 * v.Echelle,
                                           -5055 * v.Echelle};
        EXPECT_EQ(Champs(image.mapping), l.size() > 6 ? Simples(l[6]) : etendu);
    }
}

TEST_F(Vue, SegmentsEtPasSelonLesCases) {
    interp.MmParPasX = 0.5;
    interp.MmParPasY = 0.25;
    Charge("XG:0 YG:0 XD:0 YD:0\r\n+XG +YG +YG -XD +YD\r\nT:1 XG:-100 YG:30 XD:50 YD:10 +XG -YD -YD\r\n");
    Dessine();
    EXPECT_EQ(Traits(CouleurGauche), (std::vector<Trait>{{0, 0, 0, 0, 5}, {0, 0, -100, 30, 5}}));
    EXPECT_EQ(Traits(CouleurDroite), (std::vector<Trait>{{0, 0, 0, 0, 15}, {0, 0, 50, 10, 15}}));
    // Right point, then left point, after each line.
    EXPECT_EQ(image.points,
              (std::vector<PointDessine>{
                  {0, 0, 2}, {0, 0, 4}, {-0.5, 0.25, 2}, {0.5, 0.5, 4}, {-0.5, -0.25, 2}, {1, 0.5, 4}}));
    EXPECT_EQ(image.effacements, 0);
    const std::tuple<bool OptionsDessin::*, std::vector<long>> cas[] = {
        {&OptionsDessin::CoordDroite, {2, 0, 3, 3}},
        {&OptionsDessin::CoordGauche, {0, 2, 3, 3}},
        {&OptionsDessin::PasDroite, {2, 2, 0, 3}},
        {&OptionsDessin::PasGauche, {2, 2, 3, 0}}};
    for (const auto& [option, attendu] : cas) {
        options = {};
        options.*option = false;
        Dessine();
        EXPECT_EQ((std::vector<long>{static_cast<long>(Traits(CouleurGauche).size()),
                                     static_cast<long>(Traits(CouleurDroite).size()), Points(2), Points(4)}),
                  attendu);
    }
    options = {};
    options.Etendu = true;
    Dessine();
    EXPECT_EQ(image.effacements, 1) << "Etendu efface d'abord";
}

TEST_F(Vue, RedessinDepuisDesPositionsNullesAvecLeZeroDuChargement) {
    Charge("XG:100 YG:0 XD:100 YD:0\r\n// XG:120 YG:5 XD:0 YD:0\r\nT:1 XG:130 YG:10 XD:120 YD:5\r\n");
    interp.Etat.RelXG = 7;
    interp.Etat.XG = 99;
    interp.Etat.TraceActif = false; // as a load that stopped half-way leaves it
    Dessine();
    EXPECT_TRUE(image.traits.empty());
    Dessine();
    EXPECT_EQ(interp.Etat.ZeroX, 100);
    EXPECT_EQ(interp.Etat.RelXG, 0);
    // The load skipped the comment line; the redraw reads it as commands.
    EXPECT_EQ(bilan.XGMax, 30);
    EXPECT_EQ(Traits(CouleurGauche),
              (std::vector<Trait>{{0, 0, 0, 0, 5}, {0, 0, 20, 5, 5}, {20, 5, 30, 10, 5}}));
}

TEST_F(Vue, MarquesEtBandesEnFraisage) {
    param = {.XFraise = 20, .YFraise = 10};
    Charge(FichierLarge);
    marques = {{10, 20, "Up", 2}, {-5, 3, "Down", 4}};
    Dessine();
    EXPECT_TRUE(image.inscriptions.empty());
    EXPECT_FALSE(image.FormeVisible(Forme::ZoneX));
    options.Fraisage = true;
    Dessine();
    // Each marker: a circle of radius 1, a dot and its label, in its colour.
    EXPECT_EQ(
        image.inscriptions,
        (std::vector<Inscription>{{10, 20, 2, ""}, {10, 20, 2, "Up"}, {-5, 3, 4, ""}, {-5, 3, 4, "Down"}}));
    EXPECT_EQ(Points(2), 3 + 1);
    EXPECT_EQ(Champs(image.LitForme(Forme::ZoneX)), (std::vector<float>{0, 30, 20, 30}));
    EXPECT_EQ(Champs(image.LitForme(Forme::ZoneY)), (std::vector<float>{0, 30, 50, 20}));
    EXPECT_TRUE(image.FormeVisible(Forme::ZoneX) && image.FormeVisible(Forme::ZoneY));
}

// Mouse scripts on a set view: what each press asks of the window, the selection, its
// band and the view they leave.
TEST(VueSouris, Scripts) {
    for (const auto& l : test::LitTable("vue/souris.tsv")) {
        SCOPED_TRACE(l[0] + " / " + l[1]);
        test::SurfaceEnregistreuse image;
        VueCut vue(image);
        const auto depart = Simples(l[0]);
        image.DefinitMapping({depart[0], depart[1], depart[2], depart[3]});
        std::string suites;
        std::istringstream evenements(l[1]);
        for (std::string e; std::getline(evenements, e, ';');) {
            std::istringstream mots(e);
            char quoi = 0;
            mots >> quoi;
            const auto n = Simples(e.substr(e.find(quoi) + 1));
            if (quoi == 'M')
                vue.Image1_MouseMove(0, 0, n[0], n[1]);
            else if (quoi == 'X')
                vue.AnnuleSelection();
            else
                suites += std::string(suites.empty() ? "" : " ") +
                          "RTAC"[static_cast<int>(vue.Image1_MouseDown(
                              static_cast<short>(n[0]), static_cast<short>(n[1]), n[2], n[3]))];
        }
        EXPECT_EQ(suites, l[2]);
        EXPECT_EQ(vue.Zoom.EtatSelection, std::stoi(l[3]));
        if (l[4] != "-") {
            EXPECT_EQ(Champs(image.LitForme(Forme::Selection)), Simples(l[4]));
        }
        EXPECT_EQ(image.FormeVisible(Forme::Selection), l[5] == "1");
        EXPECT_EQ(Champs(image.LitMapping()), Simples(l[6]));
        if (l[7] != "-") {
            const double rapport = test::Nombres(l[7]).at(0);
            EXPECT_NEAR(vue.Zoom.RapportZoom, rapport, rapport * 1e-6);
        }
    }
}

TEST_F(Vue, TexteDeSurvolEtAireQuiSuitLaFenetre) {
    for (const auto& l : test::LitTable("vue/survols.tsv")) {
        const auto xy = Simples(l[0]);
        vue.Image1_MouseMove(0, 0, xy[0], xy[1]);
        EXPECT_EQ(image.survol, l[1]);
    }
    for (const auto& l : test::LitTable("vue/fenetres.tsv")) {
        SCOPED_TRACE(l[0]);
        const auto f = Simples(l[0]), aire = Simples(l[1]);
        image.DefinitTaille(7212, 5055);
        vue.Form_Resize(f[0], f[1], f[2] != 0);
        EXPECT_EQ((std::vector<float>{image.Largeur(), image.Hauteur()}), aire);
    }
    // Too small after a valid size: the last valid one stays.
    vue.Form_Resize(12000, 9000, false);
    vue.Form_Resize(50, 3000, false);
    EXPECT_EQ((std::vector<float>{image.Largeur(), image.Hauteur()}), (std::vector<float>{11760, 5760}));
    EXPECT_FALSE(image.mappingDefini);
    // The full view follows the new size at the same scale.
    vue.MappingEtendu();
    EXPECT_EQ(image.mapping.ScaleWidth, static_cast<float>(11760.0 * vue.Etat.Echelle));
}

} // namespace
} // namespace parvel
