#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "cut/Erreur.h"
#include "cut/Interpreteur.h"
#include "cut/Nombres.h"

namespace parvel {
namespace {

struct CasLecture {
    const char* nom;
    const char* texte;
    double attendu;
};

class Lecture : public testing::TestWithParam<CasLecture> {};

TEST_P(Lecture, LitLePlusLongNombreEnTete) {
    EXPECT_DOUBLE_EQ(LitNombre(GetParam().texte), GetParam().attendu) << GetParam().texte;
}

INSTANTIATE_TEST_SUITE_P(
    Nombres, Lecture,
    testing::Values(CasLecture{"entier", "12", 12}, CasLecture{"decimal", "12.5", 12.5},
                    CasLecture{"sans_zero", ".5", 0.5}, CasLecture{"point_final", "5.", 5},
                    CasLecture{"negatif", "-3.25", -3.25}, CasLecture{"plus", "+4", 4},
                    CasLecture{"exposant", "1.5E2", 150}, CasLecture{"exposant_minuscule", "2e-1", 0.2},
                    CasLecture{"exposant_incomplet", "1e", 1}, CasLecture{"exposant_sans_chiffre", "3E+x", 3},
                    CasLecture{"blancs_internes", "1 2", 12},
                    CasLecture{"tabulation_interne", "1\t2.5", 12.5},
                    CasLecture{"blancs_devant", "  \t7.5 mm", 7.5}, CasLecture{"signe_puis_blanc", "- 5", -5},
                    CasLecture{"exposant_separe", "1e 3", 1000}, CasLecture{"virgule_arrete", "12,5", 12},
                    CasLecture{"suffixe", "12abc", 12}, CasLecture{"vide", "", 0},
                    CasLecture{"texte", "abc", 0}, CasLecture{"signe_seul", "-", 0},
                    CasLecture{"point_seul", ".", 0}, CasLecture{"double_signe", "+-5", 0},
                    CasLecture{"deux_points", "1.2.3", 1.2}, CasLecture{"moins_au_milieu", "1-2", 1},
                    CasLecture{"infini_refuse", "inf", 0}, CasLecture{"nan_refuse", "nan", 0},
                    CasLecture{"hexa_refuse", "0x10", 0}, CasLecture{"sous_depassement", "1e-400", 0},
                    CasLecture{"zeros_longs", "0.000000000001", 1e-12},
                    CasLecture{"ligne_coupee", "3\n4", 34}),
    [](const testing::TestParamInfo<CasLecture>& i) { return std::string(i.param.nom); });

TEST(Lecture, UnNombreHorsDesDoublesEstUnDepassement) {
    const std::string quatreCentsChiffres = "1" + std::string(400, '0');
    for (const std::string& t : {std::string("1e400"), std::string("-1e400"), quatreCentsChiffres,
                                 std::string("0.00001e400"), std::string("1\t0e400")}) {
        try {
            LitNombre(t);
            ADD_FAILURE() << t << " devrait dépasser";
        } catch (const ErreurParvel& e) {
            EXPECT_EQ(e.Numero(), 6);
            EXPECT_EQ(e.Description(), "Dépassement de capacité");
        }
    }
    EXPECT_DOUBLE_EQ(LitNombre("1" + std::string(300, '0')), 1e300);
}

struct CasEcriture {
    double v;
    int chiffres;
    const char* rapport; // with "," as the separator
    const char* fixe;
    const char* general;
};

class Ecriture : public testing::TestWithParam<CasEcriture> {};

TEST_P(Ecriture, LesTroisFormes) {
    const CasEcriture& c = GetParam();
    EXPECT_EQ(TexteRapport(c.v, c.chiffres, ","), c.rapport);
    EXPECT_EQ(TexteFixe(c.v, c.chiffres), c.fixe);
    EXPECT_EQ(TexteGeneral(c.v, c.chiffres, ","), c.general);
}

INSTANTIATE_TEST_SUITE_P(
    Nombres, Ecriture,
    testing::Values(CasEcriture{0, 15, " 0 ", "0", "0"}, CasEcriture{-0.0, 15, " 0 ", "0", "0"},
                    CasEcriture{12.5, 15, " 12,5 ", "12.5", "12,5"},
                    CasEcriture{0.5, 15, " ,5 ", ".5", "0,5"},
                    CasEcriture{-0.25, 15, "-,25 ", "-.25", "-0,25"},
                    CasEcriture{100, 15, " 100 ", "100", "100"}, CasEcriture{-1, 15, "-1 ", "-1", "-1"},
                    CasEcriture{0.1 + 0.2, 15, " ,3 ", ".3", "0,3"},
                    CasEcriture{1.0 / 3, 15, " ,333333333333333 ", ".333333333333333", "0,333333333333333"},
                    CasEcriture{double(4.2f), 7, " 4,2 ", "4.2", "4,2"},
                    CasEcriture{double(0.1f), 7, " ,1 ", ".1", "0,1"},
                    CasEcriture{123456789, 7, " 1,234568E+08 ", "1.234568E+08", "1,234568E+08"},
                    CasEcriture{123456789, 15, " 123456789 ", "123456789", "123456789"},
                    CasEcriture{1e15, 15, " 1E+15 ", "1E+15", "1E+15"},
                    CasEcriture{0.0001, 15, " ,0001 ", ".0001", "0,0001"},
                    CasEcriture{0.00001, 15, " 1E-05 ", "1E-05", "1E-05"},
                    CasEcriture{-2.5e-7, 7, "-2,5E-07 ", "-2.5E-07", "-2,5E-07"},
                    CasEcriture{999999.96, 7, " 1000000 ", "1000000", "1000000"}));

#ifndef _WIN32
TEST(Ecriture, SeparateurPrisDansLcNumeric) {
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

namespace parvel {
namespace {

// Short decimals take a fast path: it must round exactly as a correctly rounded reading does.
TEST(Lecture, CheminRapideArrondiCorrectement) {
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
        double attendu = 0;
        const char* debut = t.data() + (t[0] == '-' ? 1 : 0);
        std::from_chars(debut, t.data() + t.size(), attendu);
        if (t[0] == '-')
            attendu = -attendu;
        ASSERT_EQ(LitNombre(t), attendu) << t;
        const std::string suivi = t + (alea() % 2 ? "7 XG:1" : "x"); // the bytes after the view are not read
        ASSERT_EQ(LitNombre(std::string_view(suivi).substr(0, t.size())), attendu) << t;
        Interpreteur interp; // and within a line, at its end or before another token
        interp.AnalyseLigne("XG:" + t + (alea() % 2 ? " YG:1" : ""));
        ASSERT_EQ(interp.Etat.XG, attendu) << t;
    }
}

} // namespace
} // namespace parvel
