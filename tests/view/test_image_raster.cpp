// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Doubles.h"
#include "view/ImageRaster.h"
#include "view/Police.h"

namespace parvel {
namespace {

constexpr std::uint32_t FondRgb = 0xC0C0C0;
using Px = std::pair<int, int>;

std::vector<std::vector<std::string>> Table(const char* nom) {
    return test::LitTable(std::filesystem::path(PARVEL_DONNEES_TEST) / "vue" / nom);
}

// 200 x 100 pixels, one unit per pixel, Y upward: user (x, y) falls in pixel (floor(x), floor(100 - y)).
ImageRaster ImageYHaut(Mapping m = {0, 100, 200, -100}, int l = 200, int h = 100) {
    ImageRaster img(l, h);
    img.DefinitMapping(m);
    return img;
}

std::array<float, 4> Champs(const Mapping& m) {
    return {m.ScaleLeft, m.ScaleTop, m.ScaleWidth, m.ScaleHeight};
}

// The pixels of colour `rgb`, or of any colour but the background.
std::set<Px> Allumes(const ImageRaster& img, std::optional<std::uint32_t> rgb = std::nullopt) {
    std::set<Px> s;
    for (int y = 0; y < img.HauteurPx(); ++y)
        for (int x = 0; x < img.LargeurPx(); ++x)
            if (rgb ? img.Pixel(x, y) == *rgb : img.Pixel(x, y) != FondRgb)
                s.insert({x, y});
    return s;
}

// The pixels of the rectangle's outline (x0 y0 x1 y1).
std::set<Px> Rectangle(const std::vector<double>& r) {
    std::set<Px> s;
    for (int x = r.empty() ? 1 : std::max(int(r[0]), 0); !r.empty() && x <= r[2]; ++x)
        for (int y = int(r[1]); y <= r[3]; ++y)
            if (x == r[0] || x == r[2] || y == r[1] || y == r[3])
                s.insert({x, y});
    return s;
}

std::vector<std::uint32_t> Image(const ImageRaster& img) {
    return {img.Pixels(), img.Pixels() + static_cast<std::size_t>(img.LargeurPx()) * img.HauteurPx()};
}

TEST(ImageRasterLigne, PixelsAttendusEtInterdits) {
    for (const auto& l : Table("raster_lignes.tsv")) {
        const auto s = test::Nombres(l[1]), allumes = test::Nombres(l[2]), eteints = test::Nombres(l[3]);
        const bool cercle = l[0].rfind("cercle", 0) == 0;
        for (const bool inverse : {false, true}) {
            SCOPED_TRACE(l[0] + (inverse ? " inverse" : ""));
            ImageRaster img = ImageYHaut();
            for (std::size_t i = 0; cercle && i + 2 < s.size(); i += 3)
                img.Cercle(s[i], s[i + 1], s[i + 2], 12);
            for (std::size_t i = 0; !cercle && i + 3 < s.size(); i += 4)
                inverse ? img.Ligne(s[i + 2], s[i + 3], s[i], s[i + 1], 12)
                        : img.Ligne(s[i], s[i + 1], s[i + 2], s[i + 3], 12);
            const auto rouges = Allumes(img, 0xFF0000);
            for (std::size_t i = 0; i + 1 < allumes.size(); i += 2)
                EXPECT_TRUE(rouges.count({int(allumes[i]), int(allumes[i + 1])}))
                    << allumes[i] << "," << allumes[i + 1];
            for (std::size_t i = 0; i + 1 < eteints.size(); i += 2)
                EXPECT_FALSE(rouges.count({int(eteints[i]), int(eteints[i + 1])}))
                    << eteints[i] << "," << eteints[i + 1];
            EXPECT_TRUE((allumes.size() <= 4 && !allumes.empty()) || 2 * rouges.size() == allumes.size())
                << rouges.size();
        }
    }
}

// Any segment inside the image: both end pixels, one pixel per step along the major
// axis, each within half a pixel of the ideal line, and the same pixels either way.
TEST(ImageRasterLigne, TraceDeBresenhamDansLesDeuxSens) {
    std::mt19937 alea(7);
    std::uniform_real_distribution<double> ux(0.0, 200.0), uy(0.0, 100.0);
    for (int i = 0; i < 300; ++i) {
        const double x1 = ux(alea), y1 = uy(alea), x2 = ux(alea), y2 = uy(alea);
        ImageRaster a = ImageYHaut(), b = ImageYHaut();
        a.Ligne(x1, y1, x2, y2, 9);
        b.Ligne(x2, y2, x1, y1, 9);
        ASSERT_EQ(Image(a), Image(b));
        const int px1 = int(std::floor(x1)), py1 = int(std::floor(100 - y1));
        const int px2 = int(std::floor(x2)), py2 = int(std::floor(100 - y2));
        const int dx = std::abs(px2 - px1), dy = std::abs(py2 - py1);
        const auto s = Allumes(a);
        ASSERT_TRUE(s.count({px1, py1}) && s.count({px2, py2}));
        ASSERT_EQ(s.size(), static_cast<std::size_t>(std::max(dx, dy) + 1));
        // Distance along the minor axis to the line through the end pixels.
        for (const auto& [x, y] : s)
            ASSERT_LE(dx >= dy ? std::fabs(y - (py1 + (dx ? double(py2 - py1) * (x - px1) / (px2 - px1) : 0)))
                               : std::fabs(x - (px1 + double(px2 - px1) * (y - py1) / (py2 - py1))),
                      0.5 + 1e-9);
        ASSERT_EQ(std::pair(a.CurrentX(), a.CurrentY()), std::pair(x2, y2));
    }
    // Cut at the edges, the same pixels either way too.
    std::uniform_real_distribution<double> hx(-100.0, 300.0), hy(-50.0, 150.0);
    for (int i = 0; i < 300; ++i) {
        const double x1 = hx(alea), y1 = hy(alea), x2 = hx(alea), y2 = hy(alea);
        ImageRaster a = ImageYHaut(), b = ImageYHaut();
        a.Ligne(x1, y1, x2, y2, 9);
        b.Ligne(x2, y2, x1, y1, 9);
        ASSERT_EQ(Image(a), Image(b)) << x1 << " " << y1 << " " << x2 << " " << y2;
    }
}

TEST(ImageRasterLigne, SegmentsLointainsCoupesEtValeursExtremes) {
    // y = 100 - x falls on pixels (k, k), and leaves by the bottom edge at (100, 99).
    ImageRaster loin = ImageYHaut();
    loin.Ligne(-1e6, 100 + 1e6, 1e6, 100 - 1e6, 10);
    const auto diagonale = Allumes(loin);
    EXPECT_EQ(diagonale.size(), 101u);
    for (const auto& [x, y] : diagonale)
        EXPECT_LE(std::abs(x - y), 1) << x << "," << y;

    // Extreme values land inside the area or nowhere; a colour outside the palette or a
    // mapping of zero extent draws nothing at all.
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    const double valeurs[] = {0, 50, -1e300, 1e300, -1.7e308, 1.7e308, inf, -inf, nan, 1e-300, -3e9, 3e9};
    const std::pair<int, Mapping> cas[] = {{3, {0, 100, 200, -100}},
                                           {-1, {0, 100, 200, -100}},
                                           {16, {0, 100, 200, -100}},
                                           {3, {0, 100, 0, -100}},
                                           {3, {0, 100, 200, 0}}};
    for (const auto& [couleur, m] : cas) {
        ImageRaster img = ImageYHaut(m);
        img.DefinitCouleurTexte(couleur);
        for (double a : valeurs)
            for (double b : valeurs) {
                img.Ligne(a, b, b, a, couleur);
                img.Ligne(a, 50, b, 60, couleur);
                img.Point(a, b, couleur);
                img.Cercle(a, b, 40, couleur);
                img.Cercle(100, 50, a, couleur);
                img.DefinitPosition(a, b);
                img.Imprime("Up");
                img.ImprimeAcote("Up", a);
            }
        const bool encre = couleur == 3 && m.ScaleWidth != 0 && m.ScaleHeight != 0;
        for (std::uint32_t p : Image(img))
            ASSERT_TRUE((p & 0xFFFFFF) == FondRgb || (encre && (p & 0xFFFFFF) == Palette[3])) << couleur;
        EXPECT_EQ(Allumes(img).empty(), !encre) << couleur;
        const PointUtilisateur u = img.VersUtilisateur(50, 50);
        EXPECT_TRUE(std::isfinite(u.X) && std::isfinite(u.Y));
    }
    // A mapping that overflows the pixel arithmetic is just as harmless.
    ImageRaster minuscule(50, 50);
    minuscule.DefinitMapping({0, 0, 1e-38f, -1e-38f});
    minuscule.Ligne(-1e300, 0, 1e300, 0, 3); // the top row, whole width
    minuscule.Ligne(-1e300, 1, 1e300, 1, 3); // far above
    minuscule.Ligne(0, 0, 1e-40, -1e-40, 3); // within pixel (0, 0)
    EXPECT_EQ(Allumes(minuscule), Rectangle({0, 0, 49, 0}));
}

TEST(ImageRasterMapping, TwipsParDefautPuisFigesAuPremierReglage) {
    ImageRaster img(200, 100);
    EXPECT_EQ(Champs(img.LitMapping()), (std::array<float, 4>{0, 0, 3000, 1500}));
    img.Point(10 * 15 + 1, 20 * 15 + 14, 0); // Y downward, 15 twips a pixel
    EXPECT_EQ(Allumes(img), (std::set<Px>{{10, 20}}));
    img.Redimensionne(400, 120);
    EXPECT_EQ(Champs(img.LitMapping()), (std::array<float, 4>{0, 0, 6000, 1800}));
    img.DefinitTwipsParPixel(7.5);
    EXPECT_FLOAT_EQ(img.Largeur(), 3000);
    EXPECT_EQ(img.LitMapping().ScaleHeight, 900);
    img.DefinitTwipsParPixel(-1);
    EXPECT_FLOAT_EQ(img.Largeur(), 3000);

    ImageRaster fige(200, 100);
    fige.DefinitMapping({-5, 0, 3000, 1500});
    fige.Redimensionne(400, 50); // from now on a resize keeps the numbers and the units stretch
    EXPECT_EQ(Champs(fige.LitMapping()), (std::array<float, 4>{-5, 0, 3000, 1500}));
    fige.DefinitMapping({0, 0, 3000, 1500});
    fige.Redimensionne(400, 200);
    fige.Point(1500, 750, 0); // the middle of the 3000 x 1500 units, now pixel (200, 100)
    EXPECT_EQ(Allumes(fige), (std::set<Px>{{200, 100}}));
}

TEST(ImageRasterTaille, RedimensionnerGardeLeHautGauche) {
    ImageRaster img(20, 10);
    img.Point(5 * 15, 5 * 15, 4);
    img.Point(19 * 15, 9 * 15, 4);
    img.Redimensionne(30, 15);
    EXPECT_EQ(Allumes(img), (std::set<Px>{{5, 5}, {19, 9}}));
    img.Redimensionne(10, 10);
    img.Redimensionne(30, 15);
    EXPECT_EQ(Allumes(img), (std::set<Px>{{5, 5}}));
    for (const auto& l : Table("raster_tailles.tsv")) {
        const auto demande = test::Nombres(l[0]), px = test::Nombres(l[1]);
        img.DefinitTaille(float(demande[0]), float(demande[1]));
        EXPECT_EQ(std::pair(img.LargeurPx(), img.HauteurPx()), std::pair(int(px[0]), int(px[1]))) << l[0];
        EXPECT_FLOAT_EQ(img.Largeur(), float(px[0]) * 15);
        img.Redimensionne(1, 1); // keep the buffer small between cases
    }
}

TEST(ImageRasterCercle, ContourSymetriqueAuBonRayonEtCoupe) {
    for (const double rayon : {1.0, 5.0, 37.0, -20.0}) {
        SCOPED_TRACE(rayon);
        ImageRaster img = ImageYHaut();
        img.Cercle(100.5, 50.5, rayon, 13); // centre pixel (100, 49)
        const int r = static_cast<int>(std::fabs(rayon));
        const auto s = Allumes(img, Palette[13]);
        EXPECT_FALSE(s.count({100, 49}));
        for (const Px& p : {Px{100 + r, 49}, Px{100 - r, 49}, Px{100, 49 + r}, Px{100, 49 - r}})
            EXPECT_TRUE(s.count(p));
        for (const auto& [x, y] : s) {
            const int dx = x - 100, dy = y - 49;
            EXPECT_TRUE(s.count({100 - dx, 49 + dy}) && s.count({100 + dx, 49 - dy}) &&
                        s.count({100 + dy, 49 + dx}));
            EXPECT_LE(std::fabs(std::hypot(dx, dy) - r), 0.75);
        }
        EXPECT_EQ(img.CurrentX(), 100.5);
    }
    // Twice as many pixels per X unit as per Y unit: the radius follows X.
    ImageRaster large = ImageYHaut({0, 100, 100, -100});
    large.Cercle(50, 50, 10, 1);
    const auto s = Allumes(large);
    EXPECT_TRUE(s.count({120, 50}) && s.count({80, 50}) && s.count({100, 30}));
}

TEST(ImageRasterTexte, GlyphesALaPositionCouranteSurFondTransparent) {
    ImageRaster img = ImageYHaut();
    for (int k = 0; k < 7; ++k) // a blue band under the text, rows 20 to 26
        img.Ligne(0, 79.5 - k, 199, 79.5 - k, 9);
    img.DefinitCouleurTexte(12);
    img.DefinitPosition(10.5, 80.5); // pixel (10, 19)
    img.Imprime("Up");
    EXPECT_EQ(std::pair(img.CurrentX(), img.CurrentY()), std::pair(10.5, 80.5));
    const auto [l, h] = img.TailleTextePx("Up");
    const auto encre = Allumes(img, Palette[12]);
    EXPECT_GE(encre.size(), 20u);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (encre.count({x, y}))
                EXPECT_TRUE(x >= 10 && x < 10 + l && y >= 19 && y < 19 + h) << x << "," << y;
            else
                EXPECT_EQ(img.Pixel(x, y), (y >= 20 && y <= 26) ? Palette[9] : FondRgb) << x << "," << y;
    // 9.6 points at the area's resolution, in the window's font when one is installed.
    const int h2 = ImageRaster(10, 10, 7.5).TailleTextePx("Up").second;
    if (police::FichierPolice().empty())
        EXPECT_EQ(std::pair(h, h2), std::pair(police::HauteurLigne, police::HauteurLigne));
    else
        EXPECT_TRUE(h >= 13 && h <= 17 && std::abs(h2 - 2 * h) <= 3) << h << " " << h2;
    // Cut at the edges: the lower-left corner at pixel (-3, 90).
    ImageRaster bord = ImageYHaut();
    bord.DefinitPosition(-3, 10);
    bord.Imprime("Down");
    ASSERT_FALSE(Allumes(bord).empty());
    for (const auto& [x, y] : Allumes(bord))
        EXPECT_TRUE(x < bord.TailleTextePx("Down").first - 3 && y >= 90) << x << "," << y;
}

// Each label whole inside the area, clear of its circle and of the others, even at the
// edges and at one spot; none for a marker off the area; a redraw over it changes nothing.
TEST(ImageRasterTexte, EtiquettesACoteDesCercles) {
    ImageRaster img = ImageYHaut();
    auto pleine = [](const std::string& texte) {
        ImageRaster seul = ImageYHaut();
        seul.DefinitPosition(50, 50);
        seul.Imprime(texte);
        return Allumes(seul).size();
    };
    const auto cas = Table("raster_etiquettes.tsv");
    auto dessine = [&] {
        for (const auto& c : cas) {
            const auto p = test::Nombres(c[0]);
            img.Cercle(p[0], p[1], 3, 0);
            img.DefinitCouleurTexte(std::stoi(c[2]));
            img.Point(p[0], p[1], 0);
            img.ImprimeAcote(c[1], 3);
        }
    };
    dessine();
    const std::vector<std::uint32_t> premier = Image(img);
    for (const auto& c : cas) {
        const auto p = test::Nombres(c[0]);
        const auto encre = Allumes(img, Palette[std::stoi(c[2])]);
        EXPECT_EQ(encre.size(), p[0] < 0 ? 0 : pleine(c[1])) << c[0];
        const int px = static_cast<int>(p[0]), py = std::min(99, static_cast<int>(100 - p[1]));
        for (const auto& [x, y] : encre)
            EXPECT_TRUE(x < px - 3 || x > px + 3 || y < py - 3 || y > py + 3) << x << "," << y;
    }
    dessine();
    EXPECT_EQ(Image(img), premier);
    img.Efface();
    dessine();
    EXPECT_EQ(Image(img), premier);
}

TEST(Police, GlyphesDistinctsEtDansLaCellule) {
    std::set<std::vector<std::uint8_t>> vus;
    for (int c = 32; c <= 126; ++c) {
        const std::uint8_t* g = police::Glyphe(static_cast<unsigned char>(c));
        const std::vector<std::uint8_t> rangs(g, g + police::HauteurGlyphe);
        int encre = 0;
        for (std::uint8_t r : rangs) {
            EXPECT_EQ(r & ~0x1F, 0) << char(c);
            encre += std::popcount(r);
        }
        EXPECT_EQ(encre == 0, c == ' ') << char(c);
        EXPECT_TRUE(vus.insert(rangs).second) << "glyph of '" << char(c) << "' duplicates another";
    }
    EXPECT_EQ(police::Glyphe(0xE9)[1], 0x11); // a hollow box for what it cannot draw
    EXPECT_EQ(police::LargeurTexte("Up"), 11);
}

// Each pixel of the composed image against the picture under it; clearing keeps the shapes.
TEST(ImageRasterFormes, HachuresAligneesSurLOrigineEtTransparentes) {
    const std::pair<Forme, bool (*)(int, int)> cas[] = {
        {Forme::ZoneX, [](int x, int y) { return ((x - y) % 8 + 8) % 8 == 0; }},
        {Forme::ZoneY, [](int x, int y) { return (x + y) % 8 == 7; }},
    };
    for (const auto& [forme, encre] : cas) {
        ImageRaster img = ImageYHaut();
        img.Ligne(0, 30.5, 200, 30.5, 12); // row 69, partly under the zone
        EXPECT_FALSE(img.FormeVisible(forme));
        img.PlaceForme(forme, {23, 77, 40, 40}); // pixels x 23..62, y 23..62
        img.MontreForme(forme, true);
        const auto avant = Image(img);
        const auto compose = img.Compose();
        EXPECT_EQ(Image(img), avant); // the picture itself is untouched
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool dedans = x >= 23 && x < 63 && y >= 23 && y < 63;
                ASSERT_EQ(compose[y * 200 + x], dedans && encre(x, y) ? 0xFF000000u : avant[y * 200 + x])
                    << x << "," << y;
            }
        img.Efface();
        EXPECT_TRUE(Allumes(img).empty());
        EXPECT_EQ(std::pair(img.CurrentX(), img.CurrentY()), std::pair(0.0, 0.0));
        EXPECT_TRUE(img.FormeVisible(forme));
        img.PlaceForme(forme, {23, 77, 0, 40});
        EXPECT_EQ(img.Compose(), Image(img));
        img.PlaceForme(forme, {23, 77, 40, 0});
        EXPECT_EQ(img.Compose(), Image(img));
    }
}

// The pixels where the composed image differs from `dessous`, each by 0x00FF00 exactly.
std::set<Px> PixelsInverses(const ImageRaster& img, std::optional<std::vector<std::uint32_t>> dessous = {}) {
    const auto compose = img.Compose();
    const auto image = dessous ? *dessous : Image(img);
    std::set<Px> s;
    for (std::size_t i = 0; i < image.size(); ++i) {
        const std::uint32_t d = compose[i] ^ image[i];
        EXPECT_TRUE(d == 0 || d == 0x00FF00u);
        if (d)
            s.insert({int(i % img.LargeurPx()), int(i / img.LargeurPx())});
    }
    return s;
}

TEST(ImageRasterFormes, SelectionParOuExclusif) {
    for (const auto& l : Table("raster_selections.tsv")) {
        SCOPED_TRACE(l[0]);
        const auto p = test::Nombres(l[1]);
        ImageRaster img = ImageYHaut();
        img.Ligne(0, 75.5, 200, 75.5, 10); // row 24 crosses the outline and the interior
        img.PlaceForme(Forme::Selection, {float(p[0]), float(p[1]), float(p[2]), float(p[3])});
        EXPECT_EQ(PixelsInverses(img), std::set<Px>{}); // hidden at construction
        img.MontreForme(Forme::Selection, true);
        EXPECT_EQ(PixelsInverses(img), Rectangle(test::Nombres(l[2])));
        img.MontreForme(Forme::Selection, false);
        EXPECT_EQ(img.Compose(), Image(img));
    }
    // Laid last, over the hatching; placed in twips with Y downward before any mapping.
    ImageRaster img(200, 100);
    img.PlaceForme(Forme::ZoneX, {0, 0, 3000, 1500});
    img.MontreForme(Forme::ZoneX, true);
    const auto hachure = img.Compose();
    img.PlaceForme(Forme::Selection, {150, 300, 600, 450}); // pixels x 10..49, y 20..49
    img.MontreForme(Forme::Selection, true);
    EXPECT_EQ(PixelsInverses(img, hachure), Rectangle({10, 20, 49, 49}));
    const auto compose = img.Compose();
    EXPECT_EQ(compose[20 * 200 + 20], 0xFF00FF00u); // black hatch pixel, flipped
    EXPECT_EQ(compose[20 * 200 + 21], 0xFFC03FC0u); // background, flipped
    EXPECT_EQ(compose[21 * 200 + 21], 0xFF000000u); // hatch inside, untouched
    std::vector<std::uint32_t> tampon(3, 0);
    img.Compose(tampon);
    EXPECT_EQ(tampon, compose);
}

TEST(ImageRasterSouris, VersUtilisateurRetombeSurLeMemePixel) {
    auto ulp = [](double v) { return 4 * std::fabs(std::nextafter(float(v), INFINITY) - float(v)); };
    const int l = 480, h = 337;
    for (const auto& c : Table("raster_souris.tsv")) {
        const auto v = test::Nombres(c[0] == "twips" ? "" : c[0]);
        ImageRaster img = v.empty() ? ImageRaster(l, h)
                                    : ImageYHaut({float(v[0]), float(v[1]), float(v[2]), float(v[3])}, l, h);
        const Mapping m = img.LitMapping();
        SCOPED_TRACE(m.ScaleWidth);
        for (int py = 0; py < h; py += 7)
            for (int px = 0; px < l; ++px) {
                const PointUtilisateur p = img.VersUtilisateur(px, py);
                const double x = m.ScaleLeft + px * double(m.ScaleWidth) / l;
                const double y = m.ScaleTop + py * double(m.ScaleHeight) / h;
                ASSERT_LE(std::fabs(p.X - x), ulp(x));
                ASSERT_LE(std::fabs(p.Y - y), ulp(y));
                img.Point(p.X, p.Y, 0);
                ASSERT_EQ(img.Pixel(px, py), 0u) << px << "," << py;
                img.Point(p.X, p.Y, 7);
            }
        // The bottom edge itself shows on the last row, under that row's readout.
        for (int px = 0; px < l; ++px) {
            img.Point(img.VersUtilisateur(px, h - 1).X, double(m.ScaleTop) + m.ScaleHeight, 1);
            ASSERT_EQ(img.Pixel(px, h - 1), Palette[1]) << px;
        }
    }
}

} // namespace
} // namespace parvel
