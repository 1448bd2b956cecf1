// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs that are not CUT files at all, or unlucky ones: the load ends with a report
// or a clear failure, never a crash, a hang or unbounded memory.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "Doubles.h"
#include "cut/Chargeur.h"
#include "cut/Erreur.h"

namespace parvel {
namespace {

Rapport Charge(const std::string& chemin) {
    Interpreteur interp;
    BilanCut bilan;
    PasseChargement(chemin, interp, bilan);
    return FaitRapport(bilan, interp.Etat, ",");
}

std::string Echec(const std::string& chemin) {
    try {
        Charge(chemin);
    } catch (const ErreurParvel& e) {
        return e.Description();
    }
    return "aucune erreur";
}

TEST(Hostile, OctetsQuelconques) {
    const test::DossierTemporaire dossier;
    std::mt19937 alea(42);
    std::string octets(1 << 20, '\0');
    for (char& c : octets)
        c = static_cast<char>(alea());
    EXPECT_EQ(Charge(dossier.Ecrit("binaire.cut", octets))[0].Texte.rfind("  Vitesse min/max :", 0), 0u);
    // "XG:1\0" reads 1, "XD:\0""3" reads 0, "T:2\0" reads 2: a NUL ends a number like any other byte.
    const char brut[] = "XG:1\0 YG:2 XD:\0"
                        "3 YD:4\r\nT:2\0 XG:11 YG:2 XD:1 YD:4\r\n";
    const auto r = Charge(dossier.Ecrit("nuls.cut", std::string(brut, sizeof brut - 1)));
    EXPECT_EQ(r[2].Texte, "  Position Zéro en X:  1 ");
    EXPECT_EQ(r[0].Texte, "  Vitesse min/max : 5 / 5 mm/s");
}

#ifndef _WIN32
TEST(Hostile, UneLigneDe200MoLueUneSeuleFois) {
    const test::DossierTemporaire dossier;
    const std::string chemin = (dossier.Chemin() / "long.cut").string();
    std::FILE* f = std::fopen(chemin.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string bloc(1 << 20, ' ');
    std::fputs("T:3 XG:5 YG:6 ", f);
    for (int i = 0; i < 200; ++i)
        std::fwrite(bloc.data(), 1, bloc.size(), f);
    std::fputs("XD:7 YD:8", f);
    std::fclose(f);
    rusage avant{}, apres{};
    getrusage(RUSAGE_SELF, &avant);
    const auto r = Charge(chemin);
    getrusage(RUSAGE_SELF, &apres);
    EXPECT_EQ(r[1].Texte, "  Temps de découpe : 0 mn 3 s");
    EXPECT_EQ(r[4].Texte, "  A droite : X de 0 à 2  et Y de 0 à 8 ");
    // Held once, in a buffer grown in place (AddressSanitizer's quarantine defeats the bound).
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PARVEL_ASAN 1
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(PARVEL_ASAN)
    EXPECT_LT(apres.ru_maxrss - avant.ru_maxrss, 260L * 1024) << "Ko";
#endif
}
#endif

TEST(Hostile, FichierIllisibleOuRemplaceParUnDossier) {
#ifdef __linux__
    // Opens, but unmapped memory reads fail with EIO, even for root.
    EXPECT_EQ(Echec("/proc/self/mem"), "Erreur d'entrée/sortie de périphérique");
#endif
    const test::DossierTemporaire dossier;
    const std::string chemin = dossier.Ecrit("a.cut", "XG:1\r\n");
    Charge(chemin);
    std::filesystem::remove(chemin);
    std::filesystem::create_directory(chemin);
    EXPECT_EQ(Echec(chemin), "Erreur d'accès au chemin/fichier");
    EXPECT_EQ(NumeroErreurFichier(EACCES, true), 70);
    EXPECT_EQ(NumeroErreurFichier(EROFS, true), 70);
    EXPECT_EQ(NumeroErreurFichier(ENOSPC, true), 61);
    EXPECT_EQ(DescriptionErreur(61), "Disque plein");
}

} // namespace
} // namespace parvel
