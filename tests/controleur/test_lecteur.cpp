// SPDX-License-Identifier: GPL-3.0-or-later
// Playback on its own: the clock moves only an indexed file that plays, the end stops
// it and playing again starts over, and the windows' slider and speed follow the state.
#include <cmath>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "controleur/Lecteur.h"

namespace parvel {
namespace {

TEST(Lecteur, HorlogeFinEtPresentation) {
    test::DossierTemporaire d;
    Lecteur l;
    l.DefinitFacteur(0);
    EXPECT_EQ(l.IndiceFacteur(), 0) << "un facteur nul revient à x1";
    l.Lance();
    EXPECT_FALSE(l.Echeance(1)) << "sans index, l'horloge ne fait rien";
    l.Pause();

    Interpreteur interp;
    l.Indexe(d.Ecrit("a.cut", "XG:0 YG:0 XD:0 YD:0\r\nT:12 XG:12 YG:0 XD:12 YD:0\r\n"), interp, nullptr);
    EXPECT_EQ(l.CurseurMax(), 120);
    EXPECT_FALSE(l.Echeance(1)) << "à l'arrêt";
    l.DefinitFacteur(100);
    EXPECT_EQ(l.IndiceFacteur(), 2);
    EXPECT_EQ(l.Lance(), 0);
    EXPECT_STREQ(l.TexteBouton(), "Pause");
    EXPECT_FALSE(l.Echeance(0) || l.Echeance(-1) || l.Echeance(std::nan("")));
    ASSERT_TRUE(l.Echeance(0.05));
    EXPECT_DOUBLE_EQ(*l.Echeance(0.05), 5);
    ASSERT_TRUE(l.Va(*l.Echeance(0.05)));
    EXPECT_EQ(l.CurseurPosition(), 50);
    EXPECT_EQ(l.TexteLecture(), "0 mn 05 s / 0 mn 12 s | ligne 2");

    // Past the end: held at the end, stopped; played again, from the start.
    ASSERT_TRUE(l.Va(1e9));
    EXPECT_EQ(l.Etat().Temps, 12);
    EXPECT_EQ(l.CurseurPosition(), l.CurseurMax());
    EXPECT_STREQ(l.TexteBouton(), "Lire");
    EXPECT_EQ(l.Lance(), 0);

    // A new load forgets the index and the moment, not the speed.
    l.DefinitFacteur(7);
    l.Oublie();
    EXPECT_FALSE(l.Indexe() || l.Etat().EnLecture || l.Etat().Total != 0);
    EXPECT_EQ(l.Etat().Facteur, 7);
    EXPECT_EQ(l.IndiceFacteur(), -1);
}

} // namespace
} // namespace parvel
