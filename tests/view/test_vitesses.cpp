// SPDX-License-Identifier: GPL-3.0-or-later
// The speed map and the segment readout on the software raster: colours by speed, the
// legend, and the hover text of examples/aile.cut against this test's own reading of it.
#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Chargeur.h"
#include "view/ImageRaster.h"
#include "view/Vitesses.h"
#include "view/Vue.h"

namespace parvel {
namespace {

struct Dessin {
    ImageRaster image{481, 337};
    VueCut vue{image};
    Interpreteur interp;
    BilanCut bilan;
    ParamFraisage param;
    OptionsDessin options;

    explicit Dessin(const std::string& chemin, bool carte, const std::string& separateur = ".") {
        PasseChargement(chemin, interp, bilan);
        vue.CadreVue(bilan, param);
        vue.MappingEtendu();
        vue.Separateur = separateur;
        options.Separateur = separateur;
        options.CarteVitesses = carte;
        options.VitesseLente = bilan.VitesseMinFichier;
        options.VitesseRapide = bilan.VitesseMax;
        EXPECT_FALSE(vue.DessineCut(chemin, interp, options, {}, param).has_value());
    }
    std::pair<int, int> Pixel(double x, double y) const {
        const Mapping m = image.LitMapping();
        return {static_cast<int>(std::floor((x - m.ScaleLeft) / m.ScaleWidth * image.LargeurPx())),
                static_cast<int>(std::floor((y - m.ScaleTop) / m.ScaleHeight * image.HauteurPx()))};
    }
    // The colour drawn at (x, y) or next to it, the background when none.
    std::uint32_t Couleur(double x, double y) const {
        const auto [px, py] = Pixel(x, y);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (image.Pixel(px + dx, py + dy) != ImageRaster::Fond)
                    return image.Pixel(px + dx, py + dy);
        return ImageRaster::Fond;
    }
};

// A slow rise (1.41 mm/s), a fast fall (14.1 mm/s), then a rise at 7.07 mm/s.
const char* const LentRapide = "T:0 XG:0 YG:0 XD:0 YD:0\nT:10 XG:10 YG:10 XD:10 YD:10\n"
                               "T:1 XG:20 YG:0 XD:20 YD:0\nT:2 XG:30 YG:10 XD:30 YD:10\n";

TEST(CarteVitesses, LentEnBleuRapideEnRougeAvecLaLegende) {
    const test::DossierTemporaire dossier;
    const std::string chemin = dossier.Ecrit("v.cut", LentRapide);
    const Dessin carte(chemin, true);
    EXPECT_EQ(carte.Couleur(5, 5), 0x0000FFu);
    EXPECT_EQ(carte.Couleur(15, 5), 0xFF0000u);
    const std::uint32_t milieu = carte.Couleur(25, 5);
    EXPECT_EQ(milieu,
              CouleurVitesse(std::sqrt(200.0) / 2, carte.bilan.VitesseMinFichier, carte.bilan.VitesseMax));
    EXPECT_NE(milieu & 0x00FF00u, 0u) << "entre les deux, du vert ou du jaune";
    ASSERT_TRUE(carte.image.Legende().has_value());
    EXPECT_DOUBLE_EQ(carte.image.Legende()->Min, std::sqrt(200.0) / 10);
    // The legend's strip runs blue to red in the upper-right corner, over the picture only.
    const std::vector<std::uint32_t> compose = carte.image.Compose();
    int bleus = 0, rouges = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = carte.image.LargeurPx() - 160; x < carte.image.LargeurPx(); ++x) {
            const std::uint32_t c =
                compose[static_cast<std::size_t>(y * carte.image.LargeurPx() + x)] & 0xFFFFFF;
            bleus += c == 0x0000FF;
            rouges += c == 0xFF0000;
        }
    EXPECT_GT(bleus, 0);
    EXPECT_GT(rouges, 0);
    EXPECT_EQ(carte.image.Pixel(carte.image.LargeurPx() - 10, 10), ImageRaster::Fond);

    const Dessin normal(chemin, false);
    EXPECT_EQ(normal.Couleur(5, 5), Palette[CouleurGauche]);
    EXPECT_FALSE(normal.image.Legende().has_value());
}

// Without their side's colours, the two paths stay apart: the right one is dashed, even
// made of steps shorter than a pixel. The drawing without the map keeps both whole.
TEST(CarteVitesses, GaucheEnTraitPleinDroiteEnTirets) {
    std::string t = "T:0 XG:0 YG:5 XD:0 YD:25\n";
    for (int i = 1; i <= 1000; ++i)
        t += "T:0.1 XG:" + std::to_string(i / 10.0) + " YG:5 XD:" + std::to_string(i / 10.0) + " YD:25\n";
    const test::DossierTemporaire dossier;
    const std::string chemin = dossier.Ecrit("gd.cut", t + "T:1 XG:100 YG:0 XD:100 YD:30\n");
    for (const bool carte : {false, true}) {
        const Dessin d(chemin, carte);
        const int debut = d.Pixel(10, 5).first, fin = d.Pixel(90, 5).first;
        int trous[2] = {0, 0};
        for (int px = debut; px < fin; ++px)
            for (int cote : {0, 1})
                trous[cote] += d.image.Pixel(px, d.Pixel(50, cote ? 25 : 5).second) == ImageRaster::Fond;
        EXPECT_EQ(trous[0], 0) << carte;
        EXPECT_EQ(trous[1] > (fin - debut) / 4, carte) << trous[1];
        EXPECT_EQ(trous[1] == 0, !carte) << trous[1];
    }
}

// The speed and time texts of the legend, the readout and playback: the user's decimal
// separator, hours past an hour.
TEST(CarteVitesses, TextesDesVitessesEtDesTemps) {
    for (const auto& l : test::LitTable("vue/textes_vitesses.tsv")) {
        const double v = test::Nombres(l[1]).at(0);
        EXPECT_EQ(l[0] == "vitesse" ? TexteVitesse(v, l[2]) : TexteTemps(v), l[3]) << l[0] << " " << l[1];
    }
    const test::DossierTemporaire dossier;
    Dessin d(dossier.Ecrit("v.cut", "T:0 XG:0 YG:0 XD:0 YD:0\nT:10 XG:10 YG:10 XD:10 YD:10\n"), true, ",");
    ASSERT_TRUE(d.image.Legende().has_value());
    EXPECT_EQ(d.image.Legende()->Separateur, ",");
    const auto [px, py] = d.Pixel(5, 5);
    const PointUtilisateur p = d.image.VersUtilisateur(px, py);
    d.vue.Image1_MouseMove(0, 0, p.X, p.Y);
    EXPECT_NE(d.image.TexteSurvol().find("| 1,4 mm/s |"), std::string::npos) << d.image.TexteSurvol();
}

// One line of the file as this test reads it: positions after the X zero shift.
struct LigneLue {
    int numero;
    double xg, yg, xd, yd, debut, duree, vitesse;
};

std::vector<LigneLue> LitAile(const std::string& chemin) {
    std::ifstream f(chemin);
    std::vector<LigneLue> lignes;
    std::string texte;
    double xg = 0, yg = 0, xd = 0, yd = 0, temps = 0, zero = 0;
    bool premier = true;
    for (int n = 1; std::getline(f, texte); ++n) {
        std::istringstream mots(texte);
        std::string m;
        double t = 0;
        double p[4] = {xg + zero, yg, xd + zero, yd};
        bool position = false;
        while (mots >> m) {
            const auto v = [&] { return std::stod(m.substr(m.find(':') + 1)); };
            for (int i = 0; i < 4; ++i)
                if (m.rfind(std::string("XGYGXDYD").substr(2 * i, 2) + ":", 0) == 0) {
                    p[i] = v();
                    position = true;
                }
            if (m.rfind("T:", 0) == 0)
                t = v();
        }
        if (!position) {
            temps += t;
            continue;
        }
        if (premier)
            zero = p[0];
        const double lg = std::hypot(p[0] - zero - xg, p[1] - yg),
                     ld = std::hypot(p[2] - zero - xd, p[3] - yd);
        lignes.push_back(
            {n, p[0] - zero, p[1], p[2] - zero, p[3], temps, t, premier ? -1 : std::max(lg, ld) / t});
        xg = p[0] - zero, yg = p[1], xd = p[2] - zero, yd = p[3];
        temps += t;
        premier = false;
    }
    return lignes;
}

TEST(InspecteurSegments, AileLigneVitesseEtTemps) {
    const std::string chemin = std::string(PARVEL_EXEMPLES) + "/aile.cut";
    const std::vector<LigneLue> lignes = LitAile(chemin);
    ASSERT_GT(lignes.size(), 1500u);
    Dessin d(chemin, false);
    const std::regex forme(R"(^X: +-?[0-9.]+ Y: +-?[0-9.]+ \| ligne ([0-9]+) \| (.+ mm/s) \| (.+ s)$)");
    for (std::size_t k : {std::size_t{200}, std::size_t{700}, std::size_t{1200}, std::size_t{1700}}) {
        const LigneLue& l = lignes.at(k);
        // The middle of the line's left segment, as the mouse reports it.
        const LigneLue& avant = lignes.at(k - 1);
        const auto [px, py] = d.Pixel((avant.xg + l.xg) / 2, (avant.yg + l.yg) / 2);
        const PointUtilisateur souris = d.image.VersUtilisateur(px, py);
        d.vue.Image1_MouseMove(0, 0, souris.X, souris.Y);
        std::smatch m;
        const std::string texte = d.image.TexteSurvol();
        ASSERT_TRUE(std::regex_match(texte, m, forme)) << texte;
        // The nearest line drawn there may be a neighbour: its own values must match.
        const int numero = std::stoi(m[1]);
        const auto trouvee =
            std::find_if(lignes.begin(), lignes.end(), [&](const LigneLue& x) { return x.numero == numero; });
        ASSERT_NE(trouvee, lignes.end()) << texte;
        EXPECT_LE(std::abs(trouvee - (lignes.begin() + static_cast<std::ptrdiff_t>(k))), 3) << texte;
        EXPECT_EQ(m[2], TexteVitesse(trouvee->vitesse)) << texte;
        EXPECT_EQ(m[3], TexteTemps(trouvee->debut)) << texte;
        // The text shows whole seconds: the time kept is the line's start.
        EXPECT_NEAR(d.image.TraitPres(souris.X, souris.Y)->Temps, trouvee->debut, 1e-3) << texte;
    }
    // Away from every path the readout is the position alone.
    d.vue.Image1_MouseMove(0, 0, d.image.VersUtilisateur(5, 5).X, d.image.VersUtilisateur(5, 5).Y);
    EXPECT_EQ(d.image.TexteSurvol().find('|'), std::string::npos) << d.image.TexteSurvol();
}

} // namespace
} // namespace parvel
