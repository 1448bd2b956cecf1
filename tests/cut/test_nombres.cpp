// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing numbers: the tables of tests/data/nombres, then what a table cannot
// hold (the fast path against a correct reading, the locale's separator).
#include <clocale>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "cut/Interpreteur.h"
#include "cut/Nombres.h"

namespace parvel {
namespace {

double Double(const std::string& t) {
    return test::Nombres(t).at(0);
}

TEST(Nombres, Lecture) {
    for (const auto& l : test::LitTable("nombres/lecture.tsv")) {
        ASSERT_EQ(l.size(), 2u);
        SCOPED_TRACE(testing::PrintToString(l[0]));
        if (l[1] != "dépassement") {
            EXPECT_EQ(LitNombre(l[0]), Double(l[1]));
            continue;
        }
        try {
            LitNombre(l[0]);
            ADD_FAILURE() << "devrait dépasser";
        } catch (const ErreurParvel& e) {
            EXPECT_EQ(e.Numero(), ErrDepassement);
        }
    }
}

TEST(Nombres, LesTroisFormesDEcriture) {
    for (const auto& l : test::LitTable("nombres/ecriture.tsv")) {
        ASSERT_EQ(l.size(), 5u);
        SCOPED_TRACE(l[0] + " " + l[1]);
        const double v = Double(l[0]);
        const int chiffres = std::stoi(l[1]);
        EXPECT_EQ(TexteRapport(v, chiffres, ","), l[2]);
        EXPECT_EQ(TexteFixe(v, chiffres), l[3]);
        EXPECT_EQ(TexteGeneral(v, chiffres, ","), l[4]);
    }
}

// Short decimals take a fast path: it must round exactly as a correctly rounded reading does.
TEST(Nombres, CheminRapideArrondiCorrectement) {
    std::mt19937_64 alea(7);
    for (int i = 0; i < 200000; ++i) {
        const int chiffres = 1 + static_cast<int>(alea() % 15);
        std::string t = (alea() % 2) ? "-" : "";
        const int point = static_cast<int>(alea() % (chiffres + 1));
        for (int k = 0; k < chiffres; ++k) {
            if (k == point)
                t += '.';
            t += static_cast<char>('0' + alea() % 10);
        }
        const double attendu = Double(t);
        ASSERT_EQ(LitNombre(t), attendu) << t;
        const std::string suivi = t + (alea() % 2 ? "7 XG:1" : "x"); // the bytes after the view are not read
        ASSERT_EQ(LitNombre(std::string_view(suivi).substr(0, t.size())), attendu) << t;
        Interpreteur interp; // and within a line, at its end or before another token
        interp.AnalyseLigne("XG:" + t + (alea() % 2 ? " YG:1" : ""));
        ASSERT_EQ(interp.Etat.XG, attendu) << t;
    }
}

#ifndef _WIN32
TEST(Nombres, SeparateurPrisDansLcNumeric) {
    const std::string avant = std::setlocale(LC_NUMERIC, nullptr);
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(SeparateurDecimalLocale(), ".");
    if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "locale fr_FR.UTF-8 absente";
    std::setlocale(LC_NUMERIC, avant.c_str());
    ::unsetenv("LC_ALL");
    ::setenv("LC_NUMERIC", "fr_FR.UTF-8", 1);
    EXPECT_EQ(SeparateurDecimalLocale(), ",");
    EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), avant) << "la locale du processus ne change pas";
    ::unsetenv("LC_NUMERIC");
}
#endif

} // namespace
} // namespace parvel
