#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <zlib.h>

#include "Doubles.h"
#include "view/ImageRaster.h"
#include "view/Png.h"

namespace parvel {
namespace {

using Octets = std::vector<std::uint8_t>;

std::uint32_t Lit32(const Octets& d, std::size_t i) {
    return (std::uint32_t(d.at(i)) << 24) | (std::uint32_t(d.at(i + 1)) << 16) |
           (std::uint32_t(d.at(i + 2)) << 8) | d.at(i + 3);
}

// Checks the zlib wrapper and returns the data it holds.
Octets DecompresseZlib(const Octets& z, std::size_t taille) {
    Octets d(taille + 1);
    uLongf n = d.size();
    EXPECT_EQ(uncompress(d.data(), &n, z.data(), z.size()), Z_OK);
    d.resize(n);
    return d;
}

struct Chunk {
    std::string type;
    Octets donnees;
};

std::vector<Chunk> LitChunks(const Octets& png) {
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(png.size() >= 8 && std::equal(signature, signature + 8, png.begin()));
    std::vector<Chunk> chunks;
    for (std::size_t i = 8, n; i < png.size(); i += 12 + n) {
        n = Lit32(png, i);
        if (i + 12 + n > png.size()) {
            ADD_FAILURE() << "chunk at " << i << " runs past the end";
            break;
        }
        EXPECT_EQ(Lit32(png, i + 8 + n), crc32(0, png.data() + i + 4, n + 4)) << "chunk at " << i;
        chunks.push_back({std::string(png.begin() + i + 4, png.begin() + i + 8),
                          Octets(png.begin() + i + 8, png.begin() + i + 8 + n)});
    }
    return chunks;
}

// The raw image data of a PNG whose structure is checked on the way.
Octets DonneesImage(const std::vector<Chunk>& chunks, int largeur, int hauteur) {
    EXPECT_GE(chunks.size(), 3u);
    if (chunks.size() < 3)
        return {};
    EXPECT_EQ(chunks.front().type, "IHDR");
    const Octets& ihdr = chunks.front().donnees;
    EXPECT_EQ(ihdr.size(), 13u);
    EXPECT_EQ(Lit32(ihdr, 0), std::uint32_t(largeur));
    EXPECT_EQ(Lit32(ihdr, 4), std::uint32_t(hauteur));
    EXPECT_EQ(Octets(ihdr.begin() + 8, ihdr.end()), (Octets{8, 2, 0, 0, 0}));
    EXPECT_EQ(chunks.back().type, "IEND");
    EXPECT_TRUE(chunks.back().donnees.empty());
    Octets zlib;
    for (std::size_t k = 1; k + 1 < chunks.size(); ++k) {
        EXPECT_EQ(chunks[k].type, "IDAT");
        zlib.insert(zlib.end(), chunks[k].donnees.begin(), chunks[k].donnees.end());
    }
    return DecompresseZlib(zlib, (3 * std::size_t(largeur) + 1) * std::size_t(hauteur));
}

TEST(Png, StructureEtPixels) {
    ImageRaster img(37, 23);
    img.DefinitScaleLeft(0);
    img.DefinitScaleTop(23);
    img.DefinitScaleWidth(37);
    img.DefinitScaleHeight(-23);
    img.Ligne(0, 0, 37, 23, 12);
    img.Cercle(18, 11, 8, 5);
    img.PlaceForme(Forme::Selection, {2, 20, 10, 10});
    img.MontreForme(Forme::Selection, true);
    std::vector<std::uint32_t> dessin = img.Compose();
    dessin[5] = 0x12345678; // the high byte is not part of the colour
    std::vector<std::uint32_t> bruit(800 * 600);
    std::mt19937 alea(11);
    for (auto& p : bruit)
        p = alea();
    // The large one is noise: its stream spans several IDAT chunks.
    for (const auto& [l, h, pixels, idatMin] :
         {std::tuple{37, 23, &dessin, 1}, std::tuple{800, 600, &bruit, 2}}) {
        const auto chunks = LitChunks(EncodePng(l, h, pixels->data()));
        EXPECT_GE(
            std::count_if(chunks.begin(), chunks.end(), [](const Chunk& c) { return c.type == "IDAT"; }),
            idatMin);
        Octets lignes;
        for (int y = 0; y < h; ++y) {
            lignes.push_back(0);
            for (int x = 0; x < l; ++x) {
                const std::uint32_t p = (*pixels)[y * l + x];
                lignes.insert(lignes.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
            }
        }
        EXPECT_EQ(DonneesImage(chunks, l, h), lignes);
    }
}

TEST(Png, EntreesInvalides) {
    const std::uint32_t p = 0;
    EXPECT_TRUE(EncodePng(0, 1, &p).empty());
    EXPECT_TRUE(EncodePng(1, -1, &p).empty());
    EXPECT_TRUE(EncodePng(1, 1, nullptr).empty());
    EXPECT_FALSE(EncodePng(1, 1, &p).empty());
}

std::vector<std::string> Contenu(const std::filesystem::path& dossier) {
    std::vector<std::string> noms;
    for (const auto& e : std::filesystem::directory_iterator(dossier))
        noms.push_back(e.path().filename().string());
    return noms;
}

TEST(PngFichier, EcritPuisRemplace) {
    const test::DossierTemporaire dossier;
    const auto chemin = (dossier.Chemin() / "vue.png").string();
    ImageRaster img(64, 32);
    img.Ligne(0, 0, 960, 480, 0);
    std::string erreur = "inchangé";
    ASSERT_TRUE(EcritPng(chemin, 64, 32, img.Pixels(), &erreur));
    EXPECT_EQ(erreur, "inchangé");
    auto octets = [&] {
        const std::string s = test::LitFichier(chemin);
        return Octets(s.begin(), s.end());
    };
    EXPECT_EQ(octets(), EncodePng(64, 32, img.Pixels()));

    img.Efface();
    ASSERT_TRUE(EcritPng(chemin, 64, 32, img.Pixels(), nullptr));
    EXPECT_EQ(octets(), EncodePng(64, 32, img.Pixels()));
    EXPECT_EQ(Contenu(dossier.Chemin()), std::vector<std::string>{"vue.png"}); // no temporary left behind
}

TEST(PngFichier, EchecsSignales) {
    const test::DossierTemporaire dossier;
    const auto& d = dossier.Chemin();
    const std::uint32_t pixel = 0;
    const struct {
        const char* nom;
        std::string chemin;
        int l;
        const std::uint32_t* pixels;
    } cas[] = {
        {"dossier absent", (d / "absent" / "vue.png").string(), 1, &pixel},
        {"chemin vide", "", 1, &pixel},
        {"taille nulle", (d / "vide.png").string(), 0, &pixel},
        {"pas de pixels", (d / "nul.png").string(), 1, nullptr},
        {"un dossier à la place", d.string(), 1, &pixel},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        std::string erreur;
        EXPECT_FALSE(EcritPng(c.chemin, c.l, 1, c.pixels, &erreur));
        EXPECT_FALSE(erreur.empty());
        EXPECT_FALSE(EcritPng(c.chemin, c.l, 1, c.pixels, nullptr));
        EXPECT_TRUE(Contenu(d).empty());
    }
}

} // namespace
} // namespace parvel
