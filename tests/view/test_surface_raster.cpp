// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "view/SurfaceRaster.h"

namespace parvel {
namespace {

// Counts what the surface asks of its window.
class ZoneComptee : public SurfaceRaster {
  public:
    ZoneComptee() : SurfaceRaster(104, 54, 15.0, 2) {}
    int rafraichissements = 0, tailles = 0;
    std::string survol;

  protected:
    void Rafraichit() override { ++rafraichissements; }
    void TailleChangee() override { ++tailles; }
    void SurvolChange(const std::string& t) override { survol = t; }
};

// Every change of the picture or of what lies over it asks the window once, until it
// has composed the picture again; what changes neither asks nothing.
TEST(SurfaceRaster, ChaqueChangementDemandeUnRafraichissement) {
    const Fil fil{10, 10, 90, 40};
    const std::vector<std::function<void(SurfaceDessin&)>> changements = {
        [](SurfaceDessin& s) { s.Efface(); },
        [](SurfaceDessin& s) { s.Ligne(0, 0, 1500, 750, 4); },
        [](SurfaceDessin& s) { s.LigneRGB(0, 0, 1500, 750, 0x123456); },
        [](SurfaceDessin& s) { s.Point(30, 30, 4); },
        [](SurfaceDessin& s) { s.Cercle(300, 300, 30, 4); },
        [](SurfaceDessin& s) { s.Imprime("A"); },
        [](SurfaceDessin& s) { s.ImprimeAcote("B", 15); },
        [](SurfaceDessin& s) { s.DefinitTaille(3000, 1500); },
        [](SurfaceDessin& s) {
            s.PlaceForme(Forme::Selection, {0, 0, 300, 300});
        },
        [](SurfaceDessin& s) { s.MontreForme(Forme::ZoneX, true); },
        [&](SurfaceDessin& s) { s.MontreFil(fil); },
        [&](SurfaceDessin& s) {
            s.MontreSurlignage(Surlignage{fil, fil});
        },
        [](SurfaceDessin& s) {
            s.MontreLegende(LegendeVitesses{1, 2, ","});
        },
    };
    std::vector<std::uint32_t> pixels;
    for (std::size_t i = 0; i < changements.size(); ++i) {
        ZoneComptee z;
        changements[i](z);
        changements[i](z);
        EXPECT_EQ(z.rafraichissements, 1) << i;
        z.Compose(pixels);
        changements[i](z);
        EXPECT_EQ(z.rafraichissements, 2) << i;
    }
    ZoneComptee z;
    z.DefinitPosition(10, 10);
    z.DefinitCouleurTexte(3);
    z.DefinitTirets(true);
    z.DefinitTexteSurvol("X : 1");
    EXPECT_EQ(z.rafraichissements, 0);
    EXPECT_EQ(z.survol, "X : 1");
}

// The outer size counts the border; the border gives no point of the mapping.
TEST(SurfaceRaster, TailleEtPointsAvecLeBord) {
    ZoneComptee z;
    EXPECT_EQ(z.Raster().LargeurPx(), 100);
    EXPECT_FLOAT_EQ(z.Largeur(), 104 * 15);
    z.DefinitTaille(204 * 15, 64 * 15);
    EXPECT_EQ(z.tailles, 1);
    EXPECT_EQ(z.Raster().LargeurPx(), 200);
    EXPECT_EQ(z.Raster().HauteurPx(), 60);
    EXPECT_FLOAT_EQ(z.Hauteur(), 64 * 15);
    for (const auto& [x, y] : {std::pair{1, 10}, {10, 1}, {202, 10}, {10, 62}})
        EXPECT_FALSE(z.PointSous(x, y)) << x << "," << y;
    const auto p = z.PointSous(2, 2);
    ASSERT_TRUE(p);
    const PointUtilisateur u = z.Raster().VersUtilisateur(0, 0);
    EXPECT_EQ(p->X, u.X);
    EXPECT_EQ(p->Y, u.Y);
}

} // namespace
} // namespace parvel
