// SPDX-License-Identifier: GPL-3.0-or-later
// Several processes on one store file: writers killed at any moment, writers at the same time.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "settings/BancRegistre.h"
#include "settings/RegistreFichier.h"

namespace parvel::essais_registre {
namespace {

namespace fs = std::filesystem;

const std::string Voisine = R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Local AppWizard-Generated Applications\Tavik\TavikConfig]
"XNtour"=dword:000000c8
"XPas"=dword:000004e2
"RepProjet"="/home/utilisateur/projets"

)";
const std::string Fraisage = "Software\\Local Appwizard-Generated Applications\\Parvel\\Fraisage";

// Runs `corps` in a child process that never returns into the test framework.
template <typename F> pid_t Lance(F corps) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        corps();
        ::_exit(0);
    }
    return pid;
}

TEST(RegistreProcessus, EcrivainTueAToutMomentNeLaissePasDeFichierAbime) {
    DossierEssai dossier;
    const fs::path fichier = dossier.Chemin() / "registre.reg";
    EcritOctets(fichier, Voisine);
    RegistreFichier reg(fichier);
    std::mt19937 alea(std::random_device{}());
    // Kill delays span a few writes' time, measured here: a slow machine (or a sanitizer
    // build) must still see children that complete writes as well as ones cut short.
    const auto etalon = std::chrono::steady_clock::now();
    for (int k = 0; k < 3; ++k)
        reg.EcritEntierRegistre(HKEY_CURRENT_USER, Fraisage, "Etalon", k);
    const auto ecriture =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - etalon) / 3;
    const auto delaiMax = 4 * ecriture + std::chrono::microseconds(2000);
    const auto fin = std::chrono::steady_clock::now() + std::max<std::chrono::steady_clock::duration>(
                                                            std::chrono::milliseconds(2500), 20 * delaiMax);
    std::int32_t dernier = 0;
    int tours = 0;
    for (; tours < 200 && std::chrono::steady_clock::now() < fin; ++tours) {
        const std::int32_t depart = (tours + 1) * 100000;
        const pid_t pid = Lance([&] {
            RegistreFichier enfant(fichier);
            for (std::int32_t i = 0;; ++i) {
                enfant.EcritEntierRegistre(HKEY_CURRENT_USER, Fraisage, "Compteur", depart + i);
                enfant.EcritEntierRegistre(HKEY_CURRENT_USER,
                                           Fraisage + "\\Tour" + std::to_string(tours % 20),
                                           "N" + std::to_string(i % 7), i);
            }
        });
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(alea() % delaiMax.count()));
        ::kill(pid, SIGKILL);
        int etat = 0;
        ASSERT_EQ(::waitpid(pid, &etat, 0), pid);

        const std::string octets = LitFichier(fichier);
        ASSERT_EQ(octets.compare(0, Voisine.size(), Voisine), 0) << "tour " << tours << ":\n" << octets;
        testing::internal::CaptureStderr();
        const std::int32_t compteur = reg.LitEntierRegistre(HKEY_CURRENT_USER, Fraisage, "Compteur");
        ASSERT_EQ(testing::internal::GetCapturedStderr(), "") << "tour " << tours;
        // Either the last round's value or one of this round's.
        ASSERT_TRUE(compteur == dernier || (compteur >= depart && compteur < depart + 100000))
            << "tour " << tours << ": " << compteur;
        dernier = compteur;
    }
    EXPECT_GE(tours, 10);
    EXPECT_NE(dernier, 0) << "no child ever completed a write";
    EXPECT_EQ(reg.LitEntierRegistre(HKEY_CURRENT_USER,
                                    "Software\\Local AppWizard-Generated Applications\\Tavik\\TavikConfig",
                                    "XPas"),
              1250);
}

TEST(RegistreProcessus, EcrivainsSimultanesNePerdentRien) {
    DossierEssai dossier;
    const fs::path fichier = dossier.Chemin() / "registre.reg";
    EcritOctets(fichier, Voisine);
    constexpr int Ecritures = 50;
    int depart[2];
    ASSERT_EQ(::pipe(depart), 0);
    pid_t enfants[2];
    for (int e = 0; e < 2; ++e) {
        enfants[e] = Lance([&, e] {
            char c;
            // Both start together, once the parent closes the pipe.
            ::close(depart[1]);
            [[maybe_unused]] auto lu = ::read(depart[0], &c, 1);
            RegistreFichier reg(fichier);
            for (int i = 0; i < Ecritures; ++i)
                reg.EcritEntierRegistre(HKEY_CURRENT_USER, Fraisage,
                                        std::string(1, "AB"[e]) + std::to_string(i), e * 1000 + i);
        });
        ASSERT_GT(enfants[e], 0);
    }
    ::close(depart[0]);
    ::close(depart[1]);
    for (const pid_t pid : enfants) {
        int etat = 0;
        ASSERT_EQ(::waitpid(pid, &etat, 0), pid);
        EXPECT_TRUE(WIFEXITED(etat) && WEXITSTATUS(etat) == 0);
    }

    RegistreFichier reg(fichier);
    for (int e = 0; e < 2; ++e)
        for (int i = 0; i < Ecritures; ++i)
            EXPECT_EQ(reg.LitEntierRegistre(HKEY_CURRENT_USER, Fraisage,
                                            std::string(1, "AB"[e]) + std::to_string(i)),
                      e * 1000 + i)
                << "AB"[e] << i;
    EXPECT_EQ(LitFichier(fichier).compare(0, Voisine.size(), Voisine), 0);
}

} // namespace
} // namespace parvel::essais_registre
#endif
