// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "Doubles.h"
#include "cut/Erreur.h"
#include "cut/LecteurLignes.h"

namespace parvel {
namespace {

using V = std::vector<std::string>;

V Lignes(const std::string& contenu, std::size_t limite = LongueurLigneMax) {
    test::DossierTemporaire d;
    LecteurLignes l(d.Ecrit("f.cut", contenu), limite);
    V v;
    while (!l.Fin())
        v.emplace_back(l.LitLigne());
    return v;
}

// Every kind of end, raw bytes, a CR as the last byte of the 1 MiB read buffer and its LF
// as the next one, a line longer than the buffer, and random runs of CR, LF and text over
// several buffers: the lines of a plain splitter.
TEST(LecteurLignes, CommeUnDecoupageSimple) {
    auto decoupe = [](const std::string& contenu) {
        V v;
        for (std::size_t i = 0; i < contenu.size();) {
            const std::size_t k = std::min(contenu.find_first_of("\r\n", i), contenu.size());
            v.push_back(contenu.substr(i, k - i));
            i = k + (k + 1 < contenu.size() && contenu[k] == '\r' && contenu[k + 1] == '\n' ? 2 : 1);
        }
        return v;
    };
    ASSERT_EQ(decoupe("a\n\rb\r\r\nc\r"), (V{"a", "", "b", "", "c"}));
    std::mt19937 alea(5);
    std::string melange;
    while (melange.size() < (3u << 20))
        melange +=
            alea() % 3 == 0 ? std::string(alea() % 4, "\r\n"[alea() % 2]) : std::string(alea() % 300, 'x');
    const std::string x((1 << 20) - 1, 'x');
    for (const std::string& contenu :
         {std::string(), std::string("a\r\nb"), std::string("a\rb\r"), std::string("a\n\rb"),
          std::string("a\r\r\nb"), std::string("a\0b\r\n\xff", 6), x + "\r\nfin", x + "\r",
          "a\r\n" + std::string(5 << 20, 'z') + "\r\nb", melange})
        EXPECT_TRUE(Lignes(contenu) == decoupe(contenu)) << contenu.size();
    // Each line's start as the reader gives it, then readings resumed there, with a chunk
    // small enough to split many CR LF pairs.
    const V attendu = decoupe(melange);
    test::DossierTemporaire d;
    LecteurLignes l(d.Ecrit("f.cut", melange), LongueurLigneMax, 64);
    std::vector<std::uint64_t> debuts{l.Position()};
    for (std::size_t i = 0; !l.Fin(); ++i, debuts.push_back(l.Position()))
        ASSERT_EQ(l.LitLigne(), attendu.at(i));
    ASSERT_EQ(debuts.back(), melange.size());
    for (std::size_t i = attendu.size() - 1; i < attendu.size(); i -= 97) {
        l.Reprend(debuts[i]);
        ASSERT_EQ(l.LitLigne(), attendu[i]) << i;
        EXPECT_EQ(l.Position(), debuts[i + 1]);
    }
}

TEST(LecteurLignes, LigneTropLongue) {
    EXPECT_EQ(Lignes(std::string(1000, 'a') + "\r\nb", 1000).size(), 2u);
    // The last is found before it is all read.
    for (const std::string& contenu :
         {std::string(1001, 'a') + "\r\nb", "b\n" + std::string(1001, 'a'), std::string(3u << 20, 'a')}) {
        try {
            Lignes(contenu, 1000);
            ADD_FAILURE() << contenu.size();
        } catch (const ErreurParvel& e) {
            EXPECT_EQ(e.Numero(), ErrDepassement);
            EXPECT_EQ(e.Role(), RoleFichier::Entree);
            EXPECT_NE(e.Message().find("ligne de plus de 1000 octets"), std::string::npos) << e.Message();
        }
    }
}

#ifndef _WIN32
// Nothing that could give endless bytes or wait for a writer is read.
TEST(LecteurLignes, FichiersSpeciauxRefusesSansAttendre) {
    test::DossierTemporaire d;
    const std::string tube = (d.Chemin() / "tube").string();
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    for (const std::string chemin : {"/dev/zero", tube.c_str()}) {
        const auto debut = std::chrono::steady_clock::now();
        try {
            LecteurLignes l(chemin);
            ADD_FAILURE() << chemin;
        } catch (const ErreurParvel& e) {
            EXPECT_EQ(e.Numero(), ErrAccesChemin);
            EXPECT_EQ(e.Chemin(), chemin);
            EXPECT_EQ(e.Message().rfind("Erreur d'accès au chemin/fichier : entrée " + chemin +
                                            " : pas un fichier ordinaire (",
                                        0),
                      0u)
                << e.Message();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - debut, std::chrono::seconds(1));
    }
}
#endif

} // namespace
} // namespace parvel
