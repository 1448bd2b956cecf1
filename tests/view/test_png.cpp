#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "Doubles.h"
#include "view/ImageRaster.h"
#include "view/Png.h"

namespace parvel {
namespace {

using Octets = std::vector<std::uint8_t>;

// Independent checks: bit-by-bit CRC-32, naive Adler-32, and an inflater for the
// stored and fixed-Huffman blocks the writer may produce.
std::uint32_t CrcLente(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

std::uint32_t AdlerLente(const Octets& d) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t o : d) {
        a = (a + o) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::uint32_t Lit32(const Octets& d, std::size_t i) {
    return (std::uint32_t(d.at(i)) << 24) | (std::uint32_t(d.at(i + 1)) << 16) |
           (std::uint32_t(d.at(i + 2)) << 8) | d.at(i + 3);
}

struct Inflateur {
    const Octets& d;
    std::size_t bit;
    // Values are packed least significant bit first, Huffman codes most significant first.
    unsigned Bits(int n, bool code = false) {
        unsigned v = 0;
        for (int i = 0; i < n; ++i, ++bit) {
            if (bit / 8 >= d.size())
                throw std::runtime_error("flux tronqué");
            const unsigned b = (d[bit / 8] >> (bit % 8)) & 1u;
            v = code ? (v << 1) | b : v | (b << i);
        }
        return v;
    }
    unsigned Symbole() {
        unsigned c = Bits(7, true);
        if (c <= 0x17)
            return 256 + c;
        c = (c << 1) | Bits(1);
        if (c <= 0xBF)
            return c - 0x30;
        if (c <= 0xC7)
            return 280 + (c - 0xC0);
        return 144 + (((c << 1) | Bits(1)) - 0x190);
    }
    Octets Inflate() {
        Octets s;
        for (bool dernier = false; !dernier;) {
            dernier = Bits(1);
            const unsigned type = Bits(2);
            if (type == 0) {
                bit = (bit + 7) / 8 * 8;
                const unsigned n = Bits(16);
                if ((Bits(16) ^ 0xFFFF) != n)
                    throw std::runtime_error("bloc stocké invalide");
                for (unsigned i = 0; i < n; ++i)
                    s.push_back(static_cast<std::uint8_t>(Bits(8)));
                continue;
            }
            if (type != 1)
                throw std::runtime_error("type de bloc inattendu");
            for (unsigned sym; (sym = Symbole()) != 256;) {
                if (sym < 256) {
                    s.push_back(static_cast<std::uint8_t>(sym));
                    continue;
                }
                if (sym > 285)
                    throw std::runtime_error("longueur invalide");
                // Bases: lengths 3 to 10, then doubling groups of four, and 258; distances 1 to 4, then
                // doubling pairs.
                const unsigned i = sym - 257;
                const int el = i < 8 || i == 28 ? 0 : int(i / 4) - 1;
                const unsigned longueur = (i < 8     ? 3 + i
                                           : i == 28 ? 258
                                                     : ((4 + (i & 3)) << el) + 3) +
                                          Bits(el);
                const unsigned cd = Bits(5, true);
                if (cd > 29)
                    throw std::runtime_error("distance invalide");
                const int ed = cd < 4 ? 0 : int(cd / 2) - 1;
                const std::size_t distance = (cd < 4 ? cd + 1 : ((2 + (cd & 1)) << ed) + 1) + Bits(ed);
                if (distance > s.size() || distance > 32768)
                    throw std::runtime_error("distance hors fenêtre");
                for (unsigned k = 0; k < longueur; ++k)
                    s.push_back(s[s.size() - distance]);
            }
        }
        bit = (bit + 7) / 8 * 8;
        return s;
    }
};

// Checks the zlib wrapper and returns the data it holds.
Octets DecompresseZlib(const Octets& z) {
    EXPECT_GE(z.size(), 6u);
    EXPECT_EQ(z[0] & 0x0F, 8); // deflate
    EXPECT_LE(z[0] >> 4, 7);   // window of at most 32 KiB
    EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0);
    EXPECT_EQ(z[1] & 0x20, 0); // no preset dictionary
    Inflateur l{z, 16};
    Octets d = l.Inflate();
    EXPECT_EQ(l.bit / 8 + 4, z.size());
    EXPECT_EQ(Lit32(z, z.size() - 4), AdlerLente(d));
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
        EXPECT_EQ(Lit32(png, i + 8 + n), CrcLente(png.data() + i + 4, n + 4)) << "chunk at " << i;
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
    return DecompresseZlib(zlib);
}

TEST(Zlib, AllerRetour) {
    std::mt19937 alea(3);
    auto aleatoire = [&](std::size_t n) {
        Octets d(n);
        for (auto& o : d)
            o = static_cast<std::uint8_t>(alea());
        return d;
    };
    Octets motif3, tous;
    for (int i = 0; i < 60000; ++i)
        motif3.push_back(static_cast<std::uint8_t>(i % 3 == 0 ? 0xC0 : i % 3 == 1 ? 0x80 : 0x10));
    for (int i = 0; i < 256 * 3; ++i)
        tous.push_back(static_cast<std::uint8_t>(i));
    // A random block repeated at the farthest distance deflate allows, and just beyond it.
    auto repete = [&](std::size_t n) {
        Octets d = aleatoire(n);
        const Octets debut(d.begin(), d.begin() + 1000);
        d.insert(d.end(), debut.begin(), debut.end());
        return d;
    };
    Octets melange = aleatoire(5000);
    melange.resize(20000, 7);
    const Octets graine = aleatoire(300);
    for (int i = 0; i < 50; ++i)
        melange.insert(melange.end(), graine.begin() + i, graine.end());
    const struct {
        const char* nom;
        Octets donnees;
        double tauxMax; // compressed size over input size
    } cas[] = {
        {"vide", {}, 100},
        {"un octet", {42}, 100},
        {"trois octets", {1, 2, 3}, 100},
        {"zéros", Octets(100000, 0), 0.01},
        {"motif RVB", motif3, 0.01},
        {"aléatoire", aleatoire(70000), 1.2},
        {"distance 32768", repete(32768), 1.2},
        {"distance 32769", repete(32769), 1.2},
        {"mélange", melange, 0.8},
        {"tous les octets", tous, 1.2},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const Octets z = CompresseZlib(c.donnees.data(), c.donnees.size());
        EXPECT_EQ(DecompresseZlib(z), c.donnees);
        EXPECT_LE(double(z.size()), c.tauxMax * double(c.donnees.size()) + 12);
    }
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
