// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A settings store under test, with the means to put in values that the store itself
// cannot write (text, binary), so that one behavioural suite runs on every backend.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "Doubles.h"
#include "plateforme/Registre.h"

namespace parvel::essais_registre {

inline std::string NomUnique(const std::string& prefixe) {
    static std::mt19937_64 alea(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return prefixe + std::to_string(alea() % 1000000000000ull);
}

using DossierEssai = test::DossierTemporaire;
using test::LitFichier;

inline void EcritOctets(const std::filesystem::path& fichier, const std::string& octets) {
    std::ofstream f(fichier, std::ios::binary | std::ios::trunc);
    f << octets;
}

// Key paths are relative to the current user's root.
class BancRegistre {
  public:
    virtual ~BancRegistre() = default;
    virtual Registre& Reg() = 0;
    // A throwaway key of this bench; nothing below it exists at first.
    virtual const std::string& Base() const = 0;
    // A text value stored as these bytes, NULs included, plus the terminating NUL.
    virtual void PoseTexte(const std::string& cle, const std::string& nom, const std::string& octets) = 0;
    // A value that is neither text nor integer.
    virtual void PoseBinaire(const std::string& cle, const std::string& nom, const std::string& octets) = 0;
    virtual bool CleExiste(const std::string& cle) = 0;
};

struct FabriqueBanc {
    std::string Nom;
    std::function<std::unique_ptr<BancRegistre>()> Cree;
};

std::unique_ptr<BancRegistre> CreeBancFichier();
#ifdef _WIN32
std::unique_ptr<BancRegistre> CreeBancWin32();
#endif

} // namespace parvel::essais_registre
