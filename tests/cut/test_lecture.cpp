// Playback: the wire in tests/data/lecture/trajet.cut at moments worked out by hand,
// whatever the index step and the order of the moments; then a generated file read
// through a fine index against a reading from its start, and a file changed after it was
// indexed.
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

namespace fs = std::filesystem;

// The index of `chemin` as the window builds it: after the load pass, with its X zero.
LectureCut Indexe(const std::string& chemin, std::int64_t pas) {
    Interpreteur interp;
    BilanCut bilan;
    PasseChargement(chemin, interp, bilan);
    return LectureCut(chemin, interp, nullptr, pas);
}

std::vector<double> Valeurs(const PositionFil& p) {
    return {p.XG, p.YG, p.XD, p.YD, static_cast<double>(p.Ligne), p.Temps, p.TempsTotal};
}

TEST(Lecture, TrajetCalculeALaMain) {
    const fs::path dossier = fs::path(PARVEL_DONNEES_TEST) / "lecture";
    auto lignes = test::LitTable(dossier / "trajet.tsv");
    ASSERT_GT(lignes.size(), 8u);
    for (const std::int64_t pas : {1, 2, 3, 4096})
        for (const bool enArriere : {false, true}) {
            LectureCut lecture = Indexe((dossier / "trajet.cut").string(), pas);
            EXPECT_EQ(lecture.NombreLignes(), 7);
            EXPECT_EQ(lecture.NombreReperes(), static_cast<std::size_t>(7 / pas + 1));
            if (enArriere)
                std::reverse(lignes.begin(), lignes.end());
            for (const auto& l : lignes) {
                SCOPED_TRACE("pas " + std::to_string(pas) + ", t = " + l[0]);
                std::vector<double> attendu = test::Nombres(l[1]);
                attendu.push_back(test::Nombres(l[2]).at(0));
                for (double v : test::Nombres(l[3]))
                    attendu.push_back(v);
                const std::optional<PositionFil> p = lecture.Position(test::Nombres(l[0]).at(0));
                ASSERT_TRUE(p);
                EXPECT_EQ(Valeurs(*p), attendu);
            }
        }
}

// Moves, pauses, lines of no time, step tokens, a comment and every line end, in any order.
std::string FichierAuHasard(int lignes, unsigned graine) {
    std::mt19937 alea(graine);
    auto nombre = [&](int n) { return std::to_string(static_cast<int>(alea() % n) - n / 4); };
    const char* const fins[] = {"\n", "\r\n", "\r"};
    std::string t = "// genere\nXG:" + nombre(50) + " YG:3 XD:" + nombre(50) + " YD:4\n";
    for (int i = 0; i < lignes; ++i) {
        switch (alea() % 5) {
        case 0:
            t += "T:" + std::to_string(alea() % 3) + ".25";
            break;
        case 1:
            t += "T:0 XG:" + nombre(200) + " YG:" + nombre(80) + " XD:" + nombre(200) + " YD:" + nombre(80);
            break;
        case 2:
            t += "+XG -YD T:0.5";
            break;
        default:
            t += "T:" + std::to_string(1 + alea() % 4) + " XG:" + nombre(200) + ".5 YG:" + nombre(80) +
                 " XD:" + nombre(200) + " YD:" + nombre(80) + ".125";
        }
        t += fins[alea() % 3];
    }
    return t;
}

TEST(Lecture, IndexFinCommeLectureDepuisLeDebut) {
    test::DossierTemporaire d;
    const std::string chemin = d.Ecrit("g.cut", FichierAuHasard(1500, 7));
    LectureCut fine = Indexe(chemin, 3);
    EXPECT_EQ(fine.NombreLignes(), 1502);
    EXPECT_EQ(fine.NombreReperes(), 1502u / 3 + 1);
    const double total = fine.TempsTotal();
    ASSERT_GT(total, 100);
    // Random moments (back and forth), then a forward sweep as playback asks them.
    std::mt19937 alea(11);
    std::vector<double> moments;
    for (int i = 0; i < 150; ++i)
        moments.push_back(std::uniform_real_distribution<double>(-1, total + 1)(alea));
    for (int i = 0; i <= 150; ++i)
        moments.push_back(total * i / 150);
    for (double t : moments) {
        SCOPED_TRACE(t);
        // A step larger than the file: every moment is read from the first line.
        const std::optional<PositionFil> attendu = Indexe(chemin, 1 << 30).Position(t);
        const std::optional<PositionFil> p = fine.Position(t);
        ASSERT_TRUE(p && attendu);
        EXPECT_EQ(Valeurs(*p), Valeurs(*attendu));
    }
}

TEST(Lecture, FichierChangeOuDisparu) {
    test::DossierTemporaire d;
    const std::string contenu = FichierAuHasard(50, 3);
    const std::string chemin = d.Ecrit("c.cut", contenu);
    LectureCut lecture = Indexe(chemin, 4);
    ASSERT_TRUE(lecture.Position(lecture.TempsTotal() / 2));
    // Shorter, then longer, then gone: no answer, whatever the moment.
    for (const std::string& autre : {contenu.substr(0, contenu.size() / 3), contenu + contenu}) {
        d.Ecrit("c.cut", autre);
        for (double t : {0.0, lecture.TempsTotal() / 2, lecture.TempsTotal()})
            EXPECT_FALSE(lecture.Position(t));
    }
    fs::remove(chemin);
    EXPECT_FALSE(lecture.Position(0));
}

} // namespace
} // namespace parvel
