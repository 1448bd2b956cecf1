#include "view/Png.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace parvel {

namespace {

constexpr std::array<std::uint32_t, 256> TableCrc = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}();

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i)
        crc = TableCrc[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* p, std::size_t n) {
    constexpr std::uint32_t Base = 65521;
    // 5552 bytes is the longest run whose sums cannot overflow 32 bits before the modulo.
    std::uint32_t a = 1, b = 0;
    while (n > 0) {
        const std::size_t bloc = n < 5552 ? n : 5552;
        for (std::size_t i = 0; i < bloc; ++i) {
            a += p[i];
            b += a;
        }
        a %= Base;
        b %= Base;
        p += bloc;
        n -= bloc;
    }
    return (b << 16) | a;
}

// Bits go out least significant first, as deflate packs them.
class Bits {
  public:
    explicit Bits(std::vector<std::uint8_t>& sortie) : sortie_(sortie) {}
    void Ecrit(std::uint32_t valeur, int nombre) {
        acc_ |= static_cast<std::uint64_t>(valeur) << n_;
        n_ += nombre;
        while (n_ >= 8) {
            sortie_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            n_ -= 8;
        }
    }
    // Huffman codes are defined most significant bit first.
    void EcritCode(std::uint32_t code, int longueur) {
        std::uint32_t inverse = 0;
        for (int i = 0; i < longueur; ++i)
            inverse |= ((code >> i) & 1u) << (longueur - 1 - i);
        Ecrit(inverse, longueur);
    }
    void Termine() {
        if (n_ > 0)
            sortie_.push_back(static_cast<std::uint8_t>(acc_));
        acc_ = 0;
        n_ = 0;
    }

  private:
    std::vector<std::uint8_t>& sortie_;
    std::uint64_t acc_ = 0;
    int n_ = 0;
};

void EcritLitteral(Bits& b, unsigned symbole) {
    if (symbole < 144)
        b.EcritCode(0x30 + symbole, 8);
    else if (symbole < 256)
        b.EcritCode(0x190 + (symbole - 144), 9);
    else if (symbole < 280)
        b.EcritCode(symbole - 256, 7);
    else
        b.EcritCode(0xC0 + (symbole - 280), 8);
}

constexpr std::uint16_t BaseLongueur[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                            31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t ExtraLongueur[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                            2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t BaseDistance[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                            33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                            1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t ExtraDistance[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void EcritCorrespondance(Bits& b, unsigned longueur, unsigned distance) {
    int i = 28;
    while (BaseLongueur[i] > longueur)
        --i;
    EcritLitteral(b, 257 + static_cast<unsigned>(i));
    b.Ecrit(longueur - BaseLongueur[i], ExtraLongueur[i]);
    int j = 29;
    while (BaseDistance[j] > distance)
        --j;
    b.EcritCode(static_cast<std::uint32_t>(j), 5);
    b.Ecrit(distance - BaseDistance[j], ExtraDistance[j]);
}

constexpr std::size_t Fenetre = 32768;
constexpr unsigned LongueurMin = 3, LongueurMax = 258;
constexpr int BitsHachage = 15;
constexpr int EssaisMax = 32;

std::uint32_t Hachage(const std::uint8_t* p) {
    const std::uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
    return (v * 2654435761u) >> (32 - BitsHachage);
}

// Greedy LZ77 over hash chains, in one final fixed-Huffman block.
void Deflate(const std::uint8_t* d, std::size_t n, std::vector<std::uint8_t>& sortie) {
    Bits b(sortie);
    b.Ecrit(1, 1); // last block
    b.Ecrit(1, 2); // fixed Huffman codes
    // Positions are stored plus one so that 0 means "none".
    std::vector<std::uint32_t> tete(std::size_t{1} << BitsHachage, 0);
    std::vector<std::uint32_t> precedent(Fenetre, 0);
    auto insere = [&](std::size_t pos) {
        const std::uint32_t h = Hachage(d + pos);
        precedent[pos % Fenetre] = tete[h];
        tete[h] = static_cast<std::uint32_t>(pos + 1);
    };
    std::size_t pos = 0;
    while (pos < n) {
        unsigned meilleure = 0;
        std::size_t distance = 0;
        if (n - pos >= LongueurMin) {
            const std::size_t limite = std::min<std::size_t>(LongueurMax, n - pos);
            std::uint32_t candidat = tete[Hachage(d + pos)];
            for (int essai = 0; essai < EssaisMax && candidat != 0; ++essai) {
                const std::size_t c = candidat - 1;
                if (pos - c > Fenetre)
                    break;
                std::size_t l = 0;
                while (l < limite && d[c + l] == d[pos + l])
                    ++l;
                if (l > meilleure) {
                    meilleure = static_cast<unsigned>(l);
                    distance = pos - c;
                    if (l == limite)
                        break;
                }
                const std::uint32_t suivant = precedent[c % Fenetre];
                // The slot may have been reused by a newer position: chains only go back.
                if (suivant == 0 || suivant - 1 >= c)
                    break;
                candidat = suivant;
            }
            insere(pos);
        }
        if (meilleure >= LongueurMin) {
            EcritCorrespondance(b, meilleure, static_cast<unsigned>(distance));
            for (std::size_t k = pos + 1; k < pos + meilleure && k + LongueurMin <= n; ++k)
                insere(k);
            pos += meilleure;
        } else {
            EcritLitteral(b, d[pos]);
            ++pos;
        }
    }
    EcritLitteral(b, 256);
    b.Termine();
}

void Ajoute32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(static_cast<std::uint8_t>(x >> 24));
    v.push_back(static_cast<std::uint8_t>(x >> 16));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
    v.push_back(static_cast<std::uint8_t>(x));
}

void AjouteChunk(std::vector<std::uint8_t>& png, const char type[4], const std::uint8_t* donnees,
                 std::size_t n) {
    Ajoute32(png, static_cast<std::uint32_t>(n));
    const std::size_t debut = png.size();
    png.insert(png.end(), type, type + 4);
    if (n > 0)
        png.insert(png.end(), donnees, donnees + n);
    Ajoute32(png, Crc32(png.data() + debut, png.size() - debut));
}

std::filesystem::path CheminNatif(const std::string& chemin) {
#ifdef _WIN32
    // The program's strings are UTF-8; the narrow Windows API would read them in the ANSI code page.
    return std::filesystem::path(std::u8string(chemin.begin(), chemin.end()));
#else
    return std::filesystem::path(chemin);
#endif
}

bool Echec(std::string* erreur, std::string message) {
    if (erreur)
        *erreur = std::move(message);
    return false;
}

} // namespace

std::vector<std::uint8_t> CompresseZlib(const std::uint8_t* donnees, std::size_t taille) {
    std::vector<std::uint8_t> sortie;
    sortie.reserve(taille / 8 + 64);
    // Deflate with a 32 KiB window; 0x7801 is a multiple of 31 as the header check requires.
    sortie.push_back(0x78);
    sortie.push_back(0x01);
    Deflate(donnees, taille, sortie);
    Ajoute32(sortie, Adler32(donnees, taille));
    return sortie;
}

std::vector<std::uint8_t> EncodePng(int largeur, int hauteur, const std::uint32_t* pixels) {
    if (largeur <= 0 || hauteur <= 0 || pixels == nullptr)
        return {};
    const std::size_t w = static_cast<std::size_t>(largeur), h = static_cast<std::size_t>(hauteur);
    const std::size_t ligne = 1 + 3 * w;
    if (w > (SIZE_MAX - 1) / 3 || ligne > SIZE_MAX / h)
        return {};
    std::vector<std::uint8_t> brut(ligne * h);
    for (std::size_t y = 0; y < h; ++y) {
        std::uint8_t* o = brut.data() + y * ligne;
        *o++ = 0; // filter type None
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[y * w + x];
            *o++ = static_cast<std::uint8_t>(p >> 16);
            *o++ = static_cast<std::uint8_t>(p >> 8);
            *o++ = static_cast<std::uint8_t>(p);
        }
    }
    const std::vector<std::uint8_t> zlib = CompresseZlib(brut.data(), brut.size());

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    Ajoute32(ihdr, static_cast<std::uint32_t>(largeur));
    Ajoute32(ihdr, static_cast<std::uint32_t>(hauteur));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter variant, not interlaced
    AjouteChunk(png, "IHDR", ihdr.data(), ihdr.size());
    // Chunks are kept well below the format's 2^31 - 1 byte limit.
    constexpr std::size_t MaxIdat = std::size_t{1} << 20;
    for (std::size_t debut = 0; debut < zlib.size(); debut += MaxIdat)
        AjouteChunk(png, "IDAT", zlib.data() + debut, std::min(MaxIdat, zlib.size() - debut));
    AjouteChunk(png, "IEND", nullptr, 0);
    return png;
}

bool EcritPng(const std::string& chemin, int largeur, int hauteur, const std::uint32_t* pixels,
              std::string* erreur) {
    if (chemin.empty())
        return Echec(erreur, "Nom de fichier vide");
    const std::vector<std::uint8_t> png = EncodePng(largeur, hauteur, pixels);
    if (png.empty())
        return Echec(erreur, "Image vide ou trop grande (" + std::to_string(largeur) + " x " +
                                 std::to_string(hauteur) + ")");

    namespace fs = std::filesystem;
    const fs::path cible = CheminNatif(chemin);
    // Unique enough for two writers of the same file at once.
    static std::atomic<unsigned> compteur{0};
    const auto tic = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path temporaire = cible;
    temporaire += ".tmp" + std::to_string(static_cast<unsigned long long>(tic) % 1000000007ull) + "-" +
                  std::to_string(compteur++);

    std::error_code ec;
    {
        errno = 0;
        std::ofstream flux(temporaire, std::ios::binary | std::ios::trunc);
        if (!flux) {
            const int e = errno;
            return Echec(erreur,
                         "Impossible de créer un fichier temporaire pour " + chemin + " : " +
                             (e ? std::generic_category().message(e) : std::string("erreur d'ouverture")));
        }
        flux.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        flux.close();
        if (flux.fail()) {
            const int e = errno;
            fs::remove(temporaire, ec);
            return Echec(erreur,
                         "Écriture impossible dans " + chemin + " : " +
                             (e ? std::generic_category().message(e) : std::string("erreur d'écriture")));
        }
    }
    fs::rename(temporaire, cible, ec);
    if (ec) {
        const std::string message = ec.message();
        fs::remove(temporaire, ec);
        return Echec(erreur, "Impossible de remplacer " + chemin + " : " + message);
    }
    return true;
}

} // namespace parvel
