#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cut/Interpreteur.h"

namespace parvel {
namespace {

struct Recepteur : RecepteurSegments {
    std::vector<Segment> segments;
    void Recoit(const Segment& s) override { segments.push_back(s); }
};

class Interprete : public testing::Test {
  protected:
    Interpreteur interp;
    Recepteur recu;
    EtatCut& e = interp.Etat;
    void SetUp() override { interp.Recepteur = &recu; }
    void Ligne(const std::string& l) { interp.AnalyseLigne(l); }
};

TEST_F(Interprete, MotsMalFormesNeChangentRien) {
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

TEST_F(Interprete, PositionsAbsoluesEtPrecedentes) {
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

TEST_F(Interprete, UneTabulationJointDeuxMots) {
    Ligne("XG:10\tYG:20");
    EXPECT_EQ(e.XG, 10) << "le Y est perdu";
    EXPECT_EQ(e.YG, 0);
    Ligne("XG:\t-\t3");
    EXPECT_EQ(e.XG, -3);
}

TEST_F(Interprete, DureesEtTempsTotalEnSimplePrecision) {
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

TEST_F(Interprete, PasMoteurs) {
    interp.MmParPasX = 0.25;
    interp.MmParPasY = 0.1;
    Ligne("+XG5 +XG -XD +YG +YG -YD +YD +YD xx +XD");
    EXPECT_EQ(e.RelXG, 0.5);
    EXPECT_EQ(e.RelXD, 0);
    EXPECT_EQ(e.RelYG, 0.2);
    EXPECT_EQ(e.RelYD, static_cast<float>(static_cast<float>(static_cast<float>(0 - 0.1) + 0.1) + 0.1));
    EXPECT_EQ(e.XG, 0) << "les pas ne touchent pas aux positions absolues";
    EXPECT_EQ(e.TempsTotal, 0);
}

TEST_F(Interprete, YDFermeLePointEtDecaleLesX) {
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

TEST_F(Interprete, YDAvantXGNeDecalePasLeNouveauX) {
    e.ZeroX = 10;
    e.TraceActif = true;
    Ligne("YD:1 XG:50");
    EXPECT_EQ(e.XG, 50);
    ASSERT_EQ(recu.segments.size(), 1u);
    EXPECT_EQ(recu.segments[0].XG, -10);
}

TEST_F(Interprete, SegmentsSeulementQuandLeTraceEstActif) {
    Ligne("XG:1 YG:2 XD:3 YD:4");
    EXPECT_TRUE(recu.segments.empty()) << "rien n'est reçu pendant le chargement";
    e.TraceActif = true;
    interp.NumeroLigne = 7;
    Ligne("T:2 XG:11 YG:12 XD:13 YD:14");
    ASSERT_EQ(recu.segments.size(), 1u);
    const Segment& s = recu.segments[0];
    EXPECT_EQ((std::vector<double>{s.XGPrec, s.YGPrec, s.XG, s.YG, s.XDPrec, s.YDPrec, s.XD, s.YD}),
              (std::vector<double>{1, 2, 11, 12, 3, 4, 13, 14}));
    EXPECT_EQ(s.Ligne, 7);
    EXPECT_EQ(s.Duree, 2);
}

TEST_F(Interprete, PositionDuMotYG) {
    Ligne("T:1 XG:2 YG:3 XD:4 YD:5");
    EXPECT_EQ(e.PosYG, 14) << "le blanc qui suit YG:3";
    const std::string fin = "XG:2 YG:3";
    Ligne(fin);
    EXPECT_EQ(e.PosYG, static_cast<std::int64_t>(fin.size()) + 2);
    Ligne("XG:9");
    EXPECT_EQ(e.PosYG, static_cast<std::int64_t>(fin.size()) + 2) << "gardée jusqu'au prochain YG:";
}

TEST_F(Interprete, OctetsHuitBitsIgnores) {
    Ligne("\xe9t\xe9 XG:\xff"
          "5 YG:2\xa0");
    EXPECT_EQ(e.XG, 0);
    EXPECT_EQ(e.YG, 2);
}

} // namespace
} // namespace parvel
