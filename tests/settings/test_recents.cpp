// SPDX-License-Identifier: GPL-3.0-or-later
// The recent files in the real file store: most recent first, each once, at most eight,
// in the program's own section, every other byte of the file kept.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "settings/Preferences.h"
#include "settings/RegistreFichier.h"

namespace parvel {
namespace {

TEST(Recents, PlusRecentDEnTeteSansDoublonHuitAuPlus) {
    test::DossierTemporaire dossier;
    const std::string tavik =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\Tavik\\TavikConfig]\r\n"
        "\"RepProjet\"=\"C:\\\\projets\"\r\n";
    const std::string fichier = dossier.Ecrit("registre.reg", tavik);
    RegistreFichier r(fichier);

    const std::string drole = "/tmp/été \"guillemets\" \\ a.cut";
    AjouteRecent(r, "/a.cut");
    AjouteRecent(r, drole);
    AjouteRecent(r, "/a.cut");
    EXPECT_EQ(LitRecents(r), (std::vector<std::string>{"/a.cut", drole}));
    for (int i = 0; i < 10; ++i)
        AjouteRecent(r, "/f" + std::to_string(i) + ".cut");
    const std::vector<std::string> recents = LitRecents(r);
    ASSERT_EQ(recents.size(), 8u);
    EXPECT_EQ(recents.front(), "/f9.cut");
    EXPECT_EQ(recents.back(), "/f2.cut");

    // The sibling application's section stays byte for byte, and the list is not in it.
    const std::string octets = test::LitFichier(fichier);
    EXPECT_EQ(octets.substr(0, tavik.size()), tavik);
    const std::size_t section = octets.find("Parvel\\Fenetre]");
    EXPECT_NE(section, std::string::npos);
    EXPECT_EQ(octets.find("Parvel\\Fenetre]", section + 1), std::string::npos) << octets;
    // Names the format cannot hold as they are come back whole, each once, the oldest
    // entry going out as for any other name.
    for (const std::string& nom :
         {std::string("/x\r\ny.cut"), std::string("%25 \n%0A.cut"), std::string("/z\n")})
        AjouteRecent(r, nom);
    EXPECT_EQ(LitRecents(r), (std::vector<std::string>{"/z\n", "%25 \n%0A.cut", "/x\r\ny.cut", "/f9.cut",
                                                       "/f8.cut", "/f7.cut", "/f6.cut", "/f5.cut"}));
}

// Viewers adding a file each at the same moment: every file is in the list.
TEST(Recents, AjoutsSimultanesTousGardes) {
    test::DossierTemporaire dossier;
    const std::string fichier = (dossier.Chemin() / "registre.reg").string();
    constexpr int Viewers = 4;
    for (int tour = 0; tour < 10; ++tour) {
        std::filesystem::remove(fichier);
        std::atomic<int> prets{0};
        std::vector<std::thread> t;
        for (int i = 0; i < Viewers; ++i)
            t.emplace_back([&, i] {
                RegistreFichier r(fichier);
                for (++prets; prets < Viewers;) {
                }
                AjouteRecent(r, "/v" + std::to_string(i) + ".cut");
            });
        for (auto& x : t)
            x.join();
        RegistreFichier r(fichier);
        std::vector<std::string> recents = LitRecents(r);
        std::sort(recents.begin(), recents.end());
        ASSERT_EQ(recents, (std::vector<std::string>{"/v0.cut", "/v1.cut", "/v2.cut", "/v3.cut"}))
            << "tour " << tour;
    }
}

} // namespace
} // namespace parvel
