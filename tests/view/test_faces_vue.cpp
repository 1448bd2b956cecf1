// SPDX-License-Identifier: GPL-3.0-or-later
// The block's faces in the 2D view (a prism's faces drawn on its path, inverted lines in
// the warning colour, the hover readout naming the face) and a 3D picture of a simple
// cut checked by pixels against the projection worked by hand.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Chargeur.h"
#include "view/ImageRaster.h"
#include "view/Vue.h"
#include "view/Vue3D.h"

namespace parvel {
namespace {

const std::filesystem::path Dossier = std::filesystem::path(PARVEL_DONNEES_TEST) / "faces";

// The load, then a redraw of `fichier` with the faces in `mode`, onto `image`.
template <class Surface>
void Dessine(Surface& image, const std::string& fichier, GeometrieBloc g, ModeFaces mode) {
    VueCut vue(image);
    Interpreteur interp;
    BilanCut bilan;
    ParamFraisage param;
    const std::string chemin = (Dossier / fichier).string();
    PasseChargement(chemin, interp, bilan);
    vue.CadreVue(bilan, param);
    vue.MappingEtendu();
    OptionsDessin o;
    o.PasDroite = o.PasGauche = false;
    o.Faces = mode;
    o.Geometrie = g;
    ASSERT_FALSE(vue.DessineCut(chemin, interp, o, {}, param));
    // The hover readout over the first pixel in the near face's colour.
    if constexpr (std::is_same_v<Surface, ImageRaster>) {
        for (int y = 0; y < image.HauteurPx(); ++y)
            for (int x = 0; x < image.LargeurPx(); ++x)
                if (image.Pixel(x, y) == Palette[CouleurFaceProche] && y > 60) {
                    const PointUtilisateur p = image.VersUtilisateur(x, y);
                    vue.Image1_MouseMove(0, 0, p.X, p.Y);
                    return;
                }
    }
}

std::vector<test::Trait> DeCouleur(const test::SurfaceEnregistreuse& s, int couleur) {
    std::vector<test::Trait> t;
    for (const test::Trait& l : s.traits)
        if (l.couleur == couleur)
            t.push_back(l);
    return t;
}

TEST(FacesVue, PrismeDroitFacesSurLeTrajet) {
    for (const auto& l : test::LitTable(Dossier / "prismes.tsv")) {
        test::SurfaceEnregistreuse s;
        Dessine(s, "prisme.cut", {std::stod(l[0]), std::stod(l[1]), std::stod(l[2])}, ModeFaces::SurChariots);
        const std::vector<test::Trait> gauche = DeCouleur(s, CouleurGauche);
        for (int couleur : {CouleurFaceProche, CouleurFaceLoin}) {
            std::vector<test::Trait> face = DeCouleur(s, couleur);
            ASSERT_FALSE(face.empty());
            face.pop_back(); // the legend's stroke
            ASSERT_EQ(face.size(), gauche.size());
            for (std::size_t i = 0; i < face.size(); ++i) {
                EXPECT_DOUBLE_EQ(face[i].x1, gauche[i].x1);
                EXPECT_DOUBLE_EQ(face[i].y1, gauche[i].y1);
                EXPECT_DOUBLE_EQ(face[i].x2, gauche[i].x2);
                EXPECT_DOUBLE_EQ(face[i].y2, gauche[i].y2);
            }
        }
    }
}

TEST(FacesVue, FacesSeulesInversionsEtSurvol) {
    test::SurfaceEnregistreuse s;
    Dessine(s, "inversions.cut", {100, 40, 20}, ModeFaces::Seules);
    EXPECT_TRUE(DeCouleur(s, CouleurGauche).empty());
    EXPECT_TRUE(DeCouleur(s, CouleurDroite).empty());
    // Lines 3, 5 and 7 on both faces, and the legend's stroke.
    EXPECT_EQ(DeCouleur(s, CouleurInversion).size(), 7u);
    ASSERT_FALSE(s.inscriptions.empty());
    EXPECT_EQ(s.inscriptions[0].texte, "Face proche (z = 40 mm)");

    ImageRaster image(481, 337);
    Dessine(image, "inversions.cut", {100, 40, 20}, ModeFaces::Seules);
    EXPECT_NE(image.TexteSurvol().find(" | face proche | ligne "), std::string::npos) << image.TexteSurvol();
}

// Both carriages on one path up and down at X = 0: the surface is the plane X = 0, seen
// face on from the side (azimuth 0, elevation 0: z across, Y up, X toward the eye).
TEST(Vue3D, CoupeSimpleVueDeCote) {
    test::DossierTemporaire d;
    const std::string chemin =
        d.Ecrit("a.cut", "XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:0 YG:10 XD:0 YD:10\r\nT:1 XG:0 YG:0 XD:0 YD:0\r\n");
    Interpreteur interp;
    BilanCut bilan;
    PasseChargement(chemin, interp, bilan);
    Scene3D scene{{100, 30, 40}, -5, 5, 0, 10, -5, 5, 0, 10};
    Camera3D camera;
    camera.Azimut = camera.Elevation = 0;
    Rendu3D r(200, 100);
    ASSERT_FALSE(r.Dessine(chemin, interp, scene, camera));
    // Fitted: 0.92 x min(200 / 100, 100 / 10) = 1.84 pixels per mm about (z 50, Y 5); the
    // block from z = 30 to 70 and Y 0 to 10 lies in x 63.2 to 136.8, y 40.8 to 59.2.
    const PointEcran coin = r.Projette(5, 10, 30);
    EXPECT_NEAR(coin.X, 63.2, 1e-9);
    EXPECT_NEAR(coin.Y, 40.8, 1e-9);
    EXPECT_EQ(r.Pixel(63, 50), Rendu3D::CouleurArete);
    EXPECT_EQ(r.Pixel(136, 50), Rendu3D::CouleurArete);
    EXPECT_EQ(r.Pixel(100, 40), Rendu3D::CouleurArete);
    EXPECT_EQ(r.Pixel(100, 20), Rendu3D::Fond);
    const std::uint32_t voile = r.Pixel(20, 50); // z = 6.8: outside the block, faint
    EXPECT_GT(voile & 0xFF, voile >> 16);
    int ombrees = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const std::uint32_t c = r.Pixel(x, y);
            const int rr = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
            if (rr > b + 60 && g > b) { // the block's shaded part
                ++ombrees;
                EXPECT_TRUE(x >= 63 && x <= 136 && y >= 40 && y <= 59) << x << "," << y;
            }
        }
    EXPECT_GT(ombrees, 60 * 15);

    // The wire laid over the picture at a moment: black across, the carriages in their colours.
    std::vector<std::uint32_t> p;
    r.Compose(p, Fil{0, 5, 0, 5});
    EXPECT_EQ(p[50 * 200 + 100], 0xFF000000u);
    EXPECT_EQ(p[50 * 200 + 8], 0xFF000000u | Palette[CouleurGauche]);
}

} // namespace
} // namespace parvel
