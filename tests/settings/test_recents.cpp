// SPDX-License-Identifier: GPL-3.0-or-later
// The recent files in the real file store: most recent first, each once, at most eight,
// in the program's own section, every other byte of the file kept.
#include <string>
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
    EXPECT_NE(octets.find("Parvel\\Fenetre]"), std::string::npos);
    // A text with a line end cannot be kept by the format: it is not written.
    AjouteRecent(r, "/x\r\ny.cut");
    EXPECT_EQ(LitRecents(r).front(), "/f9.cut");
}

} // namespace
} // namespace parvel
