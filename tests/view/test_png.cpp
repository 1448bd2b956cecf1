// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <zlib.h>

#include "Doubles.h"
#include "view/Png.h"

namespace parvel {
namespace {

using Octets = std::vector<std::uint8_t>;

std::uint32_t Lit32(const Octets& d, std::size_t i) {
    return (std::uint32_t(d.at(i)) << 24) | (std::uint32_t(d.at(i + 1)) << 16) |
           (std::uint32_t(d.at(i + 2)) << 8) | d.at(i + 3);
}

// The file written, read back: the size from IHDR, the IDAT chunks inflated, each row
// after its filter byte (none) as RGB; the pixels' high byte is no part of the colour.
TEST(Png, RelectureDesPixels) {
    const test::DossierTemporaire dossier;
    const std::string chemin = (dossier.Chemin() / "vue.png").string();
    std::mt19937 alea(11);
    for (const auto& [l, h] : {std::pair{37, 23}, std::pair{800, 600}}) { // noise: several IDAT chunks
        std::vector<std::uint32_t> pixels(std::size_t(l) * h);
        for (auto& p : pixels)
            p = alea();
        std::string erreur = "inchangé";
        ASSERT_TRUE(EcritPng(chemin, l, h, pixels.data(), &erreur));
        EXPECT_EQ(erreur, "inchangé");
        const std::string s = test::LitFichier(chemin);
        const Octets png(s.begin(), s.end());
        ASSERT_EQ(std::string(s, 0, 8), "\x89PNG\r\n\x1a\n");
        Octets z, ihdr;
        for (std::size_t i = 8, n; i + 12 <= png.size(); i += 12 + n) {
            n = Lit32(png, i);
            const std::string type(s, i + 4, 4);
            ASSERT_EQ(Lit32(png, i + 8 + n), crc32(0, png.data() + i + 4, unsigned(n + 4))) << type;
            (type == "IHDR" ? ihdr : z)
                .insert((type == "IHDR" ? ihdr : z).end(), png.begin() + i + 8, png.begin() + i + 8 + n);
        }
        ASSERT_EQ(ihdr.size(), 13u);
        EXPECT_EQ(std::pair(Lit32(ihdr, 0), Lit32(ihdr, 4)), std::pair(std::uint32_t(l), std::uint32_t(h)));
        EXPECT_EQ(Octets(ihdr.begin() + 8, ihdr.end()), (Octets{8, 2, 0, 0, 0}));
        Octets brut((3 * std::size_t(l) + 1) * h + 1);
        uLongf taille = brut.size();
        ASSERT_EQ(uncompress(brut.data(), &taille, z.data(), uLong(z.size())), Z_OK);
        ASSERT_EQ(taille, brut.size() - 1);
        for (int y = 0; y < h; ++y) {
            ASSERT_EQ(brut[y * (3 * l + 1)], 0);
            for (int x = 0; x < l; ++x) {
                const std::uint8_t* o = &brut[y * (3 * l + 1) + 1 + 3 * x];
                ASSERT_EQ((o[0] << 16) | (o[1] << 8) | o[2], pixels[y * l + x] & 0xFFFFFF) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dossier.Chemin()), {}), 1); // no temporary
}

TEST(Png, EchecsSignalesSansRienLaisser) {
    const test::DossierTemporaire dossier;
    const auto& d = dossier.Chemin();
    const std::uint32_t pixel = 0;
    const struct {
        std::string chemin;
        int l;
        const std::uint32_t* pixels;
    } cas[] = {{(d / "absent" / "vue.png").string(), 1, &pixel},
               {"", 1, &pixel},
               {(d / "vide.png").string(), 0, &pixel},
               {(d / "nul.png").string(), 1, nullptr},
               {d.string(), 1, &pixel},
#ifndef _WIN32
               {"/dev/null", 1, &pixel}
#endif
    };
    for (const auto& c : cas) {
        std::string erreur;
        EXPECT_FALSE(EcritPng(c.chemin, c.l, 1, c.pixels, &erreur)) << c.chemin;
        EXPECT_EQ(erreur.rfind("Erreur ", 0), 0u) << erreur;
        EXPECT_NE(erreur.find(" : image" + (c.chemin.empty() ? "" : " " + c.chemin)), std::string::npos)
            << erreur;
        EXPECT_FALSE(EcritPng(c.chemin, c.l, 1, c.pixels, nullptr));
        EXPECT_TRUE(std::filesystem::is_empty(d));
    }
    std::string erreur;
    EcritPng(cas[0].chemin, 1, 1, &pixel, &erreur);
    EXPECT_EQ(erreur, "Erreur 76 : Chemin d'accès introuvable : image " + cas[0].chemin);
}

} // namespace
} // namespace parvel
