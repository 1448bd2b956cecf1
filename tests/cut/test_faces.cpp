// SPDX-License-Identifier: GPL-3.0-or-later
// The block's faces measured during the load pass, against figures worked by hand:
// tapers, an apex between the faces, and a straight prism whose faces are its path.
#include <cmath>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Faces.h"
#include "cut/Statistiques.h"

namespace parvel {
namespace {

const std::filesystem::path Dossier = std::filesystem::path(PARVEL_DONNEES_TEST) / "faces";

FiguresFaces Mesure(const std::string& fichier, const GeometrieBloc& g) {
    Interpreteur interp;
    BilanCut bilan;
    MesureFaces mesure(g);
    PasseChargement((Dossier / fichier).string(), interp, bilan, nullptr, nullptr, &mesure);
    return mesure.Figures();
}

void Compare(const FiguresFace& f, const std::vector<double>& attendu, const std::string& quoi) {
    ASSERT_EQ(attendu.size(), 3u) << quoi;
    const double mesure[3] = {f.Corde(), f.Epaisseur(), f.Longueur};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(mesure[i], attendu[i], 1e-9 * attendu[i]) << quoi << " figure " << i;
}

TEST(Faces, EffilementsEtInversions) {
    for (const auto& l : test::LitTable(Dossier / "faces.tsv")) {
        const std::vector<double> g = test::Nombres(l[1]);
        const std::string quoi = l[0] + " " + l[1];
        const FiguresFaces f = Mesure(l[0], {g[0], g[1], g[2]});
        Compare(f.Proche, test::Nombres(l[2]), quoi + " proche");
        Compare(f.Loin, test::Nombres(l[3]), quoi + " loin");
        std::vector<std::int64_t> attendues;
        if (l[4] != "-")
            for (double n : test::Nombres(l[4]))
                attendues.push_back(static_cast<std::int64_t>(n));
        EXPECT_EQ(f.PremieresInversions, attendues) << quoi;
        EXPECT_EQ(f.NombreInversions, static_cast<std::int64_t>(attendues.size())) << quoi;
    }
}

TEST(Faces, PrismeDroitLesFacesSontLeTrajet) {
    Interpreteur interp;
    const StatistiquesCut s = CalculeStatistiques((Dossier / "prisme.cut").string(), interp);
    for (const auto& l : test::LitTable(Dossier / "prismes.tsv")) {
        const GeometrieBloc g{std::stod(l[0]), std::stod(l[1]), std::stod(l[2])};
        const FiguresFaces f = Mesure("prisme.cut", g);
        for (const FiguresFace* face : {&f.Proche, &f.Loin}) {
            // The path after the X zero of 50: X from 0 to 45.5, Y from 5 to 30.
            EXPECT_EQ(face->XMin, 0);
            EXPECT_EQ(face->XMax, 45.5);
            EXPECT_EQ(face->YMin, 5);
            EXPECT_EQ(face->YMax, 30);
            EXPECT_DOUBLE_EQ(face->Longueur, s.LongueurGauche);
        }
        EXPECT_EQ(f.NombreInversions, 0);
    }
}

TEST(Faces, GeometrieRefuseeAvecSaRaison) {
    EXPECT_FALSE(DefautGeometrie({800, 0, 800}));
    EXPECT_FALSE(DefautGeometrie({800, 100, 400}));
    EXPECT_NE(DefautGeometrie({0, 0, 0}).value_or("").find("L"), std::string::npos);
    EXPECT_NE(DefautGeometrie({800, -1, 400}).value_or("").find("négative"), std::string::npos);
    EXPECT_NE(DefautGeometrie({800, 100, 0}).value_or("").find("w"), std::string::npos);
    EXPECT_NE(DefautGeometrie({800, 500, 400}).value_or("").find("d + w <= L"), std::string::npos);
    EXPECT_TRUE(DefautGeometrie({800, 100, std::nan("")}));
}

TEST(Faces, JsonSeulementAvecLaGeometrie) {
    Interpreteur interp;
    const std::string chemin = (Dossier / "inversions.cut").string();
    const std::string sans = TexteJson(CalculeStatistiques(chemin, interp));
    EXPECT_EQ(sans.find("\"faces\""), std::string::npos);
    const GeometrieBloc g{100, 40, 20};
    const std::string avec = TexteJson(CalculeStatistiques(chemin, interp, &g));
    // The statistics before the faces are the same text.
    EXPECT_EQ(avec.substr(0, sans.size() - 3), sans.substr(0, sans.size() - 3));
    EXPECT_NE(avec.find("\"nombre_inversions\": 3"), std::string::npos);
    EXPECT_NE(avec.find("\"premieres_inversions\": [3, 5, 7]"), std::string::npos);
    EXPECT_NE(avec.find("\"corde\": 12, \"epaisseur\": 2, \"longueur\": 26}"), std::string::npos);
}

} // namespace
} // namespace parvel
