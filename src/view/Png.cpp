// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Png.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string_view>

#include <zlib.h>

#include "cut/Fichiers.h"

namespace parvel {

namespace {

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
    Ajoute32(png, static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), png.data() + debut,
                                                   static_cast<uInt>(png.size() - debut))));
}

// "Erreur <n> : <description> : image <path>", as parvel-cut shows its failures.
bool Echec(std::string* erreur, const ErreurParvel& e) {
    if (erreur)
        *erreur = "Erreur " + std::to_string(e.Numero()) + " : " + e.Message();
    return false;
}

} // namespace

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
    if (brut.size() > std::numeric_limits<uLong>::max() / 2)
        return {};
    uLongf taille = compressBound(static_cast<uLong>(brut.size()));
    std::vector<std::uint8_t> zlib(taille);
    if (compress2(zlib.data(), &taille, brut.data(), static_cast<uLong>(brut.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    zlib.resize(taille);

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
        return Echec(erreur, ErreurParvel(ErrNomFichier, RoleFichier::Image, chemin));
    const std::vector<std::uint8_t> png = EncodePng(largeur, hauteur, pixels);
    if (png.empty())
        return Echec(erreur, ErreurParvel(ErrDepassement, RoleFichier::Image, chemin,
                                          "image vide ou trop grande (" + std::to_string(largeur) + " x " +
                                              std::to_string(hauteur) + ")"));

    try {
        EcritureAtomique ecriture(CheminNatif(chemin), RoleFichier::Image);
        ecriture.Ecrit(std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
        ecriture.Valide();
    } catch (const ErreurParvel& e) {
        return Echec(erreur, e);
    }
    return true;
}

} // namespace parvel
