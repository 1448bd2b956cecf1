#include <string>

#include <gtest/gtest.h>

#include "Doubles.h"

namespace parvel {
namespace {

using test::Banc;
using test::Trait;

class Interpreteur : public testing::Test {
  protected:
    Banc b;
    EtatCut& e = b.p.Etat;
    void Ligne(const std::string& l) { b.p.AnalyseLigne(l); }
};

TEST_F(Interpreteur, MotsMalFormesNeChangentRien) {
    e.XG = 7;
    e.YG = 8;
    e.TempsTotal = 3;
    for (const char* l :
         {"T5", "xg:3", "X", "  ", "XG", "XG3", "yd:4", "TT:4", "G:5", "Xg:1", "ZG:4", "*XG", "", "//"}) {
        Ligne(l);
        EXPECT_EQ(e.XG, 7) << l;
        EXPECT_EQ(e.YG, 8) << l;
        EXPECT_EQ(e.TempsTotal, 3) << l;
        EXPECT_EQ(e.RelXG, 0) << l;
        EXPECT_TRUE(e.Commande.empty()) << l;
    }
}

TEST_F(Interpreteur, PositionsAbsoluesEtPrecedentes) {
    Ligne("XG:12.5 YG:30 XD:-4");
    EXPECT_EQ(e.XG, 12.5);
    EXPECT_EQ(e.YG, 30);
    EXPECT_EQ(e.XD, -4);
    Ligne("XG: YG:12abc XD:1,5");
    EXPECT_EQ(e.XG, 0) << "XG: sans chiffres lit 0";
    EXPECT_EQ(e.XGPrec, 12.5);
    EXPECT_EQ(e.YG, 12);
    EXPECT_EQ(e.YGPrec, 30);
    EXPECT_EQ(e.XD, 1);
    EXPECT_EQ(e.XDPrec, -4);
}

TEST_F(Interpreteur, UneTabulationJointDeuxMots) {
    Ligne("XG:10\tYG:20");
    EXPECT_EQ(e.XG, 10) << "le Y est perdu";
    EXPECT_EQ(e.YG, 0);
    Ligne("XG:\t-\t3");
    EXPECT_EQ(e.XG, -3);
}

TEST_F(Interpreteur, DureesEtTempsTotalEnSimplePrecision) {
    Ligne("T:");
    EXPECT_EQ(e.DureeSegment, 0);
    EXPECT_EQ(e.TempsTotal, 0);
    float attendu = 0;
    for (int i = 0; i < 10; ++i) {
        Ligne("T:0.1 XG:1");
        attendu = static_cast<float>(attendu + 0.1);
    }
    EXPECT_EQ(e.DureeSegment, 0.1);
    EXPECT_EQ(e.TempsTotal, attendu);
    EXPECT_NE(static_cast<double>(e.TempsTotal), 1.0) << "la somme garde l'arrondi simple précision";
}

TEST_F(Interpreteur, PasMoteurs) {
    b.p.Config.MmParPasX = 0.25;
    b.p.Config.MmParPasY = 0.1;
    Ligne("+XG5 +XG -XD +YG +YG -YD +YD +YD xx +XD");
    EXPECT_EQ(e.RelXG, 0.5);
    EXPECT_EQ(e.RelXD, 0);
    EXPECT_EQ(e.RelYG, 0.2);
    EXPECT_EQ(e.RelYD, static_cast<float>(static_cast<float>(static_cast<float>(0 - 0.1) + 0.1) + 0.1));
    EXPECT_EQ(e.XG, 0) << "les pas ne touchent pas aux positions absolues";
    EXPECT_EQ(e.TempsTotal, 0);
}

TEST_F(Interpreteur, YDFermeLePointEtDecaleLesX) {
    e.ZeroX = 10;
    Ligne("XG:10 YG:5 XD:10 YD:5");
    EXPECT_EQ(e.XG, 0);
    EXPECT_EQ(e.XD, 0);
    Ligne("XG:25 YG:6 XD:30 YD:7.1");
    EXPECT_EQ(e.XG, 15);
    EXPECT_EQ(e.XD, 20);
    EXPECT_EQ(e.XGPrec, 0) << "la position précédente est déjà décalée";
    EXPECT_EQ(e.XDPrec, 0);
    EXPECT_EQ(e.YD, 7.1f);
    EXPECT_EQ(e.YDPrec, 5.0f);
}

TEST_F(Interpreteur, YDAvantXGNeDecalePasLeNouveauX) {
    e.ZeroX = 10;
    e.TraceActif = true;
    Ligne("YD:1 XG:50");
    EXPECT_EQ(e.XG, 50);
    ASSERT_EQ(b.image.traits.size(), 2u);
    EXPECT_EQ(b.image.traits[1], (Trait{0, 0, -10, 0, CouleurGauche}));
}

TEST_F(Interpreteur, TraceLesDeuxCotesQuandActif) {
    Ligne("XG:1 YG:2 XD:3 YD:4");
    EXPECT_TRUE(b.image.traits.empty()) << "rien n'est dessiné pendant le chargement";
    e.TraceActif = true;
    Ligne("XG:11 YG:12 XD:13 YD:14");
    ASSERT_EQ(b.image.traits.size(), 2u);
    EXPECT_EQ(b.image.traits[0], (Trait{3, 4, 13, 14, CouleurDroite}));
    EXPECT_EQ(b.image.traits[1], (Trait{1, 2, 11, 12, CouleurGauche}));

    b.image.traits.clear();
    b.controles.DefinitCoche(Case::CDroite, false);
    Ligne("XG:21 YG:22 XD:23 YD:24");
    ASSERT_EQ(b.image.traits.size(), 1u);
    EXPECT_EQ(b.image.traits[0].couleur, CouleurGauche);

    b.image.traits.clear();
    b.controles.DefinitCoche(Case::CGauche, false);
    Ligne("XG:31 YG:32 XD:33 YD:34");
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_EQ(e.XG, 31) << "l'état avance même sans dessin";
}

TEST_F(Interpreteur, PositionDuMotYG) {
    Ligne("T:1 XG:2 YG:3 XD:4 YD:5");
    EXPECT_EQ(e.PosYG, 14) << "le blanc qui suit YG:3";
    const std::string fin = "XG:2 YG:3";
    Ligne(fin);
    EXPECT_EQ(e.PosYG, static_cast<std::int64_t>(fin.size()) + 2);
    Ligne("XG:9");
    EXPECT_EQ(e.PosYG, static_cast<std::int64_t>(fin.size()) + 2) << "gardée jusqu'au prochain YG:";
}

TEST_F(Interpreteur, RapportZoomNulDevientUn) {
    b.p.Zoom.RapportZoom = 0;
    Ligne("");
    EXPECT_EQ(b.p.Zoom.RapportZoom, 1);
    b.p.Zoom.RapportZoom = 4;
    Ligne("XG:1");
    EXPECT_EQ(b.p.Zoom.RapportZoom, 4);
}

TEST_F(Interpreteur, OctetsHuitBitsIgnores) {
    Ligne("\xe9t\xe9 XG:\xff"
          "5 YG:2\xa0");
    EXPECT_EQ(e.XG, 0);
    EXPECT_EQ(e.YG, 2);
}

} // namespace
} // namespace parvel
