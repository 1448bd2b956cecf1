// SPDX-License-Identifier: GPL-3.0-or-later
// Playback: the wire in tests/data/lecture/trajet.cut at moments worked out by hand, for
// any index step and order of the moments; a generated file through a fine index against
// a reading from its start; a file changed after it was indexed.
#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Chargeur.h"
#include "cut/Lecture.h"

namespace parvel {
namespace {

// The index of `chemin` as the window builds it: after the load pass, with its X zero.
LectureCut Indexe(const std::string& chemin, std::int64_t pas) {
    Interpreteur interp;
    BilanCut bilan;
    PasseChargement(chemin, interp, bilan);
    return LectureCut(chemin, interp, nullptr, pas);
}

std::vector<double> Valeurs(const std::optional<PositionFil>& p) {
    if (!p)
        return {};
    return {p->XG, p->YG, p->XD, p->YD, static_cast<double>(p->Ligne), p->Temps, p->TempsTotal};
}

TEST(Lecture, TrajetCalculeALaMain) {
    const std::filesystem::path dossier = std::filesystem::path(PARVEL_DONNEES_TEST) / "lecture";
    auto lignes = test::LitTable(dossier / "trajet.tsv");
    ASSERT_GT(lignes.size(), 8u);
    for (const std::int64_t pas : {1, 2, 3, 4096}) {
        for (int sens = 0; sens < 2; ++sens) {
            LectureCut lecture = Indexe((dossier / "trajet.cut").string(), pas);
            EXPECT_EQ(lecture.NombreReperes(), static_cast<std::size_t>(7 / pas + 1));
            std::reverse(lignes.begin(), lignes.end());
            for (const auto& l : lignes)
                EXPECT_EQ(Valeurs(lecture.Position(test::Nombres(l[0]).at(0))), test::Nombres(l[1]))
                    << "pas " << pas << ", t = " << l[0];
        }
    }
}

// Moves, pauses, lines of no time, step tokens, a comment and every line end.
std::string FichierAuHasard(int lignes, unsigned graine) {
    std::mt19937 alea(graine);
    auto nombre = [&](int n) { return std::to_string(static_cast<int>(alea() % n) - n / 4); };
    const char* const fins[] = {"\n", "\r\n", "\r"};
    std::string t = "// genere\nXG:" + nombre(50) + " YG:3 XD:" + nombre(50) + " YD:4\n";
    for (int i = 0; i < lignes; ++i) {
        const unsigned k = alea() % 5;
        t += k == 0   ? "T:" + std::to_string(alea() % 3) + ".25"
             : k == 1 ? "+XG -YD T:0.5"
                      : "T:" + std::to_string(k == 2 ? 0 : 1 + alea() % 4) + " XG:" + nombre(200) +
                            ".5 YG:" + nombre(80) + " XD:" + nombre(200) + " YD:" + nombre(80) + ".125";
        t += fins[alea() % 3];
    }
    return t;
}

TEST(Lecture, IndexFinCommeLectureDepuisLeDebut) {
    test::DossierTemporaire d;
    const std::string contenu = FichierAuHasard(1500, 7);
    const std::string chemin = d.Ecrit("g.cut", contenu);
    LectureCut fine = Indexe(chemin, 3);
    EXPECT_EQ(fine.NombreReperes(), 1502u / 3 + 1);
    const double total = fine.TempsTotal();
    // Random moments (back and forth), then a forward sweep as playback asks them; the
    // reference has a step larger than the file: each moment is read from the first line.
    std::mt19937 alea(11);
    for (int i = 0; i <= 300; ++i) {
        const double t =
            i < 150 ? std::uniform_real_distribution<double>(-1, total + 1)(alea) : total * (i - 150) / 150;
        const std::vector<double> attendu = Valeurs(Indexe(chemin, 1 << 30).Position(t));
        ASSERT_FALSE(attendu.empty());
        EXPECT_EQ(Valeurs(fine.Position(t)), attendu) << t;
    }
    // Rewritten with as many bytes and its date put back, shorter, longer, or gone since
    // it was indexed: no answer, whatever the moment.
    const auto date = std::filesystem::last_write_time(chemin);
    std::string meme_taille = contenu;
    std::replace(meme_taille.begin(), meme_taille.end(), '1', '2');
    d.Ecrit("g.cut", meme_taille);
    std::filesystem::last_write_time(chemin, date);
    for (double t : {0.0, total / 2, total})
        EXPECT_FALSE(fine.Position(t));
    for (const std::string& autre :
         {contenu.substr(0, contenu.size() / 3), contenu + contenu, std::string()}) {
        if (autre.empty())
            std::filesystem::remove(chemin);
        else
            d.Ecrit("g.cut", autre);
        for (double t : {0.0, total / 2, total})
            EXPECT_FALSE(fine.Position(t));
    }
}

} // namespace
} // namespace parvel
