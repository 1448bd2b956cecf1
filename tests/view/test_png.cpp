#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

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

class LecteurBits {
  public:
    LecteurBits(const Octets& d, std::size_t debut, std::size_t fin) : d_(d), pos_(debut), fin_(fin) {}
    unsigned Bit() {
        if (pos_ >= fin_)
            throw std::runtime_error("flux tronqué");
        const unsigned b = (d_[pos_] >> bit_) & 1u;
        if (++bit_ == 8) {
            bit_ = 0;
            ++pos_;
        }
        return b;
    }
    unsigned Bits(int n) { // least significant first
        unsigned v = 0;
        for (int i = 0; i < n; ++i)
            v |= Bit() << i;
        return v;
    }
    unsigned Code(int n) { // Huffman code, most significant first
        unsigned v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 1) | Bit();
        return v;
    }
    void Aligne() {
        if (bit_) {
            bit_ = 0;
            ++pos_;
        }
    }
    std::size_t Position() const { return pos_; }
    void Saute(std::size_t n) { pos_ += n; }

  private:
    const Octets& d_;
    std::size_t pos_, fin_;
    int bit_ = 0;
};

unsigned SymboleFixe(LecteurBits& l) {
    unsigned c = l.Code(7);
    if (c <= 0x17)
        return 256 + c;
    c = (c << 1) | l.Bit();
    if (c >= 0x30 && c <= 0xBF)
        return c - 0x30;
    if (c >= 0xC0 && c <= 0xC7)
        return 280 + (c - 0xC0);
    c = (c << 1) | l.Bit();
    return 144 + (c - 0x190);
}

// Returns the inflated data; the reader ends just past the last block.
Octets Inflate(LecteurBits& l) {
    static const unsigned baseL[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int extraL[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    Octets sortie;
    for (bool dernier = false; !dernier;) {
        dernier = l.Bit();
        const unsigned type = l.Bits(2);
        if (type == 0) {
            l.Aligne();
            const unsigned len = l.Bits(16), nlen = l.Bits(16);
            if ((len ^ 0xFFFF) != nlen)
                throw std::runtime_error("bloc stocké invalide");
            for (unsigned i = 0; i < len; ++i)
                sortie.push_back(static_cast<std::uint8_t>(l.Bits(8)));
        } else if (type == 1) {
            for (;;) {
                const unsigned s = SymboleFixe(l);
                if (s < 256) {
                    sortie.push_back(static_cast<std::uint8_t>(s));
                    continue;
                }
                if (s == 256)
                    break;
                if (s > 285)
                    throw std::runtime_error("longueur invalide");
                const unsigned longueur = baseL[s - 257] + l.Bits(extraL[s - 257]);
                const unsigned cd = l.Code(5);
                if (cd > 29)
                    throw std::runtime_error("distance invalide");
                // Distance bases: 1, 2, 3, 4, then doubling pairs.
                unsigned base = cd < 4 ? cd + 1 : ((2u + (cd & 1u)) << ((cd >> 1) - 1)) + 1;
                const int extra = cd < 4 ? 0 : int(cd >> 1) - 1;
                const std::size_t distance = base + l.Bits(extra);
                if (distance > sortie.size() || distance > 32768)
                    throw std::runtime_error("distance hors fenêtre");
                for (unsigned i = 0; i < longueur; ++i)
                    sortie.push_back(sortie[sortie.size() - distance]);
            }
        } else {
            throw std::runtime_error("type de bloc inattendu");
        }
    }
    l.Aligne();
    return sortie;
}

// Checks the zlib wrapper and returns the data it holds.
Octets DecompresseZlib(const Octets& z) {
    EXPECT_GE(z.size(), 6u);
    EXPECT_EQ(z[0] & 0x0F, 8); // deflate
    EXPECT_LE(z[0] >> 4, 7);   // window of at most 32 KiB
    EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0);
    EXPECT_EQ(z[1] & 0x20, 0); // no preset dictionary
    LecteurBits l(z, 2, z.size());
    Octets d = Inflate(l);
    EXPECT_EQ(l.Position() + 4, z.size());
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
    std::size_t i = 8;
    while (i < png.size()) {
        const std::uint32_t n = Lit32(png, i);
        EXPECT_LE(i + 12 + n, png.size());
        if (i + 12 + n > png.size())
            break;
        EXPECT_EQ(Lit32(png, i + 8 + n), CrcLente(png.data() + i + 4, n + 4)) << "chunk at " << i;
        chunks.push_back({std::string(png.begin() + i + 4, png.begin() + i + 8),
                          Octets(png.begin() + i + 8, png.begin() + i + 8 + n)});
        i += 12 + n;
    }
    return chunks;
}

// The raw image data of a PNG whose structure is checked on the way.
Octets DonneesImage(const Octets& png, int largeur, int hauteur) {
    const auto chunks = LitChunks(png);
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

Octets LignesAttendues(int largeur, int hauteur, const std::uint32_t* pixels) {
    Octets d;
    for (int y = 0; y < hauteur; ++y) {
        d.push_back(0);
        for (int x = 0; x < largeur; ++x) {
            const std::uint32_t p = pixels[y * largeur + x];
            d.insert(d.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
        }
    }
    return d;
}

TEST(Zlib, AllerRetour) {
    std::mt19937 alea(3);
    auto aleatoire = [&](std::size_t n) {
        Octets d(n);
        for (auto& o : d)
            o = static_cast<std::uint8_t>(alea());
        return d;
    };
    struct Cas {
        const char* nom;
        Octets donnees;
        double tauxMax; // compressed size over input size
    };
    Octets motif3;
    for (int i = 0; i < 60000; ++i)
        motif3.push_back(static_cast<std::uint8_t>(i % 3 == 0 ? 0xC0 : i % 3 == 1 ? 0x80 : 0x10));
    // A random block repeated at the farthest distance deflate allows, and just beyond it.
    Octets loin = aleatoire(32768), tropLoin = aleatoire(32769);
    {
        const Octets a(loin), b(tropLoin);
        loin.insert(loin.end(), a.begin(), a.begin() + 1000);
        tropLoin.insert(tropLoin.end(), b.begin(), b.begin() + 1000);
    }
    Octets melange = aleatoire(5000);
    melange.resize(20000, 7);
    const Octets graine = aleatoire(300);
    for (int i = 0; i < 50; ++i)
        melange.insert(melange.end(), graine.begin() + i, graine.end());
    const Cas cas[] = {
        {"vide", {}, 100},
        {"un octet", {42}, 100},
        {"trois octets", {1, 2, 3}, 100},
        {"zéros", Octets(100000, 0), 0.01},
        {"motif RVB", motif3, 0.01},
        {"aléatoire", aleatoire(70000), 1.2},
        {"distance 32768", loin, 1.2},
        {"distance 32769", tropLoin, 1.2},
        {"mélange", melange, 0.8},
        {"tous les octets",
         [] {
             Octets d;
             for (int i = 0; i < 256 * 3; ++i)
                 d.push_back(static_cast<std::uint8_t>(i));
             return d;
         }(),
         1.2},
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
    std::vector<std::uint32_t> pixels = img.Compose();
    pixels[5] = 0x12345678; // the high byte is not part of the colour
    const Octets png = EncodePng(37, 23, pixels.data());
    EXPECT_EQ(DonneesImage(png, 37, 23), LignesAttendues(37, 23, pixels.data()));
}

TEST(Png, GrandeImageEnPlusieursIdat) {
    const int l = 800, h = 600;
    std::vector<std::uint32_t> bruit(l * h);
    std::mt19937 alea(11);
    for (auto& p : bruit)
        p = alea();
    const Octets png = EncodePng(l, h, bruit.data());
    int idat = 0;
    for (const auto& c : LitChunks(png))
        idat += c.type == "IDAT";
    EXPECT_GE(idat, 2);
    EXPECT_EQ(DonneesImage(png, l, h), LignesAttendues(l, h, bruit.data()));
}

TEST(Png, EntreesInvalides) {
    const std::uint32_t p = 0;
    EXPECT_TRUE(EncodePng(0, 1, &p).empty());
    EXPECT_TRUE(EncodePng(1, -1, &p).empty());
    EXPECT_TRUE(EncodePng(1, 1, nullptr).empty());
    EXPECT_FALSE(EncodePng(1, 1, &p).empty());
}

class PngFichier : public ::testing::Test {
  protected:
    void SetUp() override {
        dossier_ = std::filesystem::temp_directory_path() /
                   ("parvel-png-" + std::to_string(std::random_device{}()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dossier_);
    }
    void TearDown() override { std::filesystem::remove_all(dossier_); }
    static Octets Lit(const std::filesystem::path& f) {
        std::ifstream flux(f, std::ios::binary);
        return Octets(std::istreambuf_iterator<char>(flux), {});
    }
    std::vector<std::string> Contenu() const {
        std::vector<std::string> noms;
        for (const auto& e : std::filesystem::directory_iterator(dossier_))
            noms.push_back(e.path().filename().string());
        return noms;
    }
    std::filesystem::path dossier_;
};

TEST_F(PngFichier, EcritPuisRemplace) {
    const auto chemin = (dossier_ / "vue.png").string();
    ImageRaster img(64, 32);
    img.Ligne(0, 0, 960, 480, 0);
    std::string erreur = "inchangé";
    ASSERT_TRUE(EcritPng(chemin, 64, 32, img.Pixels(), &erreur));
    EXPECT_EQ(erreur, "inchangé");
    EXPECT_EQ(Lit(chemin), EncodePng(64, 32, img.Pixels()));

    img.Efface();
    ASSERT_TRUE(EcritPng(chemin, 64, 32, img.Pixels(), nullptr));
    EXPECT_EQ(Lit(chemin), EncodePng(64, 32, img.Pixels()));
    EXPECT_EQ(Contenu(), std::vector<std::string>{"vue.png"}); // no temporary left behind
}

TEST_F(PngFichier, EchecsSignales) {
    const std::uint32_t pixel = 0;
    struct Cas {
        const char* nom;
        std::string chemin;
        int l, h;
        const std::uint32_t* pixels;
    };
    const Cas cas[] = {
        {"dossier absent", (dossier_ / "absent" / "vue.png").string(), 1, 1, &pixel},
        {"chemin vide", "", 1, 1, &pixel},
        {"taille nulle", (dossier_ / "vide.png").string(), 0, 1, &pixel},
        {"pas de pixels", (dossier_ / "nul.png").string(), 1, 1, nullptr},
        {"un dossier à la place", dossier_.string(), 1, 1, &pixel},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        std::string erreur;
        EXPECT_FALSE(EcritPng(c.chemin, c.l, c.h, c.pixels, &erreur));
        EXPECT_FALSE(erreur.empty());
        EXPECT_FALSE(EcritPng(c.chemin, c.l, c.h, c.pixels, nullptr));
        EXPECT_TRUE(Contenu().empty());
    }
}

} // namespace
} // namespace parvel
