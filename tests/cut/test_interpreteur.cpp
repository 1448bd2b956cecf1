// The interpreter: lines of tests/data/interpreteur.tsv run from a given state to an
// expected one, then the segments it hands to its receiver.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Interpreteur.h"

namespace parvel {
namespace {

std::map<std::string, double> Champs(const Interpreteur& i) {
    const EtatCut& e = i.Etat;
    return {{"XG", e.XG},
            {"YG", e.YG},
            {"XD", e.XD},
            {"YD", e.YD},
            {"XGPrec", e.XGPrec},
            {"YGPrec", e.YGPrec},
            {"XDPrec", e.XDPrec},
            {"YDPrec", e.YDPrec},
            {"RelXG", e.RelXG},
            {"RelYG", e.RelYG},
            {"RelXD", e.RelXD},
            {"RelYD", e.RelYD},
            {"TempsTotal", e.TempsTotal},
            {"DureeSegment", e.DureeSegment},
            {"PosYG", static_cast<double>(e.PosYG)}};
}

TEST(Interpreteur, DUnEtatAUnAutre) {
    for (const auto& l : test::LitTable("interpreteur.tsv")) {
        SCOPED_TRACE(testing::PrintToString(l[1]));
        Interpreteur interp;
        for (const auto& [nom, v] : test::Paires(l[0])) {
            EtatCut& e = interp.Etat;
            double* champ = nom == "XG"          ? &e.XG
                            : nom == "YG"        ? &e.YG
                            : nom == "MmParPasX" ? &interp.MmParPasX
                            : nom == "MmParPasY" ? &interp.MmParPasY
                                                 : nullptr;
            if (champ)
                *champ = v;
            else if (nom == "TempsTotal")
                e.TempsTotal = static_cast<float>(v);
            else if (nom == "ZeroX")
                e.ZeroX = static_cast<float>(v);
            else
                FAIL() << nom;
        }
        std::istringstream lignes(l[1]);
        for (std::string ligne; std::getline(lignes, ligne);)
            interp.AnalyseLigne(ligne);
        const auto champs = Champs(interp);
        for (const auto& [nom, v] : test::Paires(l[2]))
            EXPECT_EQ(champs.at(nom), v) << nom;
    }
}

struct Recepteur : RecepteurSegments {
    std::vector<Segment> segments;
    void Recoit(const Segment& s) override { segments.push_back(s); }
};

TEST(Interpreteur, SegmentsSeulementQuandLeTraceEstActif) {
    Interpreteur interp;
    Recepteur recu;
    interp.Recepteur = &recu;
    interp.AnalyseLigne("XG:1 YG:2 XD:3 YD:4");
    EXPECT_TRUE(recu.segments.empty()) << "rien n'est reçu pendant le chargement";
    interp.Etat.TraceActif = true;
    interp.NumeroLigne = 7;
    interp.AnalyseLigne("T:2 XG:11 YG:12 XD:13 YD:14");
    ASSERT_EQ(recu.segments.size(), 1u);
    const Segment& s = recu.segments[0];
    EXPECT_EQ((std::vector<double>{s.XGPrec, s.YGPrec, s.XG, s.YG, s.XDPrec, s.YDPrec, s.XD, s.YD}),
              (std::vector<double>{1, 2, 11, 12, 3, 4, 13, 14}));
    EXPECT_EQ(s.Ligne, 7);
    EXPECT_EQ(s.Duree, 2);
    // "YD:" before "XG:" closes the point with the previous X, shifted.
    interp.Etat.ZeroX = 10;
    interp.AnalyseLigne("YD:1 XG:50");
    EXPECT_EQ(recu.segments.at(1).XG, 1);
}

} // namespace
} // namespace parvel
