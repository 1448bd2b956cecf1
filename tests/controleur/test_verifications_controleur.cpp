// SPDX-License-Identifier: GPL-3.0-or-later
// The controller's side of the checks: they come with each load and go back with a load
// stopped during its pass; a finding of the whole file moves playback to its first line.
#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Avancement.h"

namespace parvel {
namespace {

const std::string Dossier = std::string(PARVEL_DONNEES_TEST) + "/verifications/";

class Arret : public Avancement {
  public:
    bool Continue(std::uint64_t, std::uint64_t) override { return false; }
};

TEST(VerificationsControleur, SuiventLeChargement) {
    test::Banc b;
    b.p.OuvreFichier(Dossier + "defauts.cut");
    const std::string defauts = b.p.CheminCourant(); // made absolute in the system's form
    // No machine configuration nor travel: the Y speed and the travel are not checked.
    ASSERT_EQ(b.p.Verif().Constats.size(), 2u);
    EXPECT_EQ(b.p.Verif().Constats[1].Sorte, SorteConstat::RapportVitesses);

    // A load stopped while it reads leaves the checks of the file shown.
    test::DossierTemporaire d;
    std::string long_;
    for (int i = 0; i < 20000; ++i)
        long_ += "T:1 XG:" + std::to_string(i) + " YG:0 XD:0 YD:0\n";
    Arret arret;
    b.p.DefinitSuivi(&arret);
    EXPECT_THROW(b.p.OuvreFichier(d.Ecrit("long.cut", long_)), Annulation);
    b.p.DefinitSuivi(nullptr);
    EXPECT_EQ(b.p.Verif().Constats.size(), 2u);
    EXPECT_EQ(b.p.CheminCourant(), defauts);

    // Not a CUT file: the finding is the whole file, and choosing it goes to its first line.
    b.p.OuvreFichier(Dossier + "texte.cut");
    ASSERT_EQ(b.p.Verif().Constats.size(), 1u);
    b.p.Verification_Click(5);
    EXPECT_EQ(b.p.Lecture().Etat().Ligne, 0);
    b.p.Verification_Click(0);
    EXPECT_EQ(b.p.Lecture().Etat().Ligne, 1);
    EXPECT_TRUE(b.dialogues.messages.empty());
}

} // namespace
} // namespace parvel
