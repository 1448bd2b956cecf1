// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter: lines of tests/data/interpreteur.tsv run from a given state
// to an expected one, then the segments it hands to its receiver.
#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Interpreteur.h"

namespace parvel {
namespace {

// A field of the interpreter by its name in the table, whatever its type.
using Champ = std::variant<double*, float*, std::int64_t*>;
Champ Trouve(Interpreteur& i, const std::string& nom) {
    EtatCut& e = i.Etat;
    const std::array<std::string, 18> noms = {
        "MmParPasX", "MmParPasY", "XG",    "YG",    "XD",    "YD",    "XGPrec",     "YGPrec",       "XDPrec",
        "YDPrec",    "RelXG",     "RelYG", "RelXD", "RelYD", "ZeroX", "TempsTotal", "DureeSegment", "PosYG"};
    const std::array<Champ, 18> champs = {&i.MmParPasX,  &i.MmParPasY,    &e.XG,     &e.YG,     &e.XD,
                                          &e.YD,         &e.XGPrec,       &e.YGPrec, &e.XDPrec, &e.YDPrec,
                                          &e.RelXG,      &e.RelYG,        &e.RelXD,  &e.RelYD,  &e.ZeroX,
                                          &e.TempsTotal, &e.DureeSegment, &e.PosYG};
    return champs.at(std::find(noms.begin(), noms.end(), nom) - noms.begin());
}

TEST(Interpreteur, DUnEtatAUnAutre) {
    for (const auto& l : test::LitTable("interpreteur.tsv")) {
        SCOPED_TRACE(testing::PrintToString(l[1]));
        Interpreteur interp;
        for (const auto& paire : test::Paires(l[0]))
            std::visit(
                [v = paire.second](auto* c) { *c = static_cast<std::remove_pointer_t<decltype(c)>>(v); },
                Trouve(interp, paire.first));
        std::istringstream lignes(l[1]);
        for (std::string ligne; std::getline(lignes, ligne);)
            interp.AnalyseLigne(ligne);
        for (const auto& [nom, v] : test::Paires(l[2]))
            EXPECT_EQ(std::visit([](auto* c) { return static_cast<double>(*c); }, Trouve(interp, nom)), v)
                << nom;
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
