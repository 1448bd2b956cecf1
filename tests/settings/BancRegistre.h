#pragma once
// A settings store under test, with the means to put in values that the store itself
// cannot write (text, binary), so that one behavioural suite runs on every backend.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <ostream>
#include <random>
#include <string>

#include "plateforme/Registre.h"

namespace parvel::essais_registre {

inline std::string NomUnique(const std::string& prefixe) {
    static std::mt19937_64 alea(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return prefixe + std::to_string(alea() % 1000000000000ull);
}

// A fresh folder under the system's temporary folder, removed with its content.
class DossierEssai {
  public:
    DossierEssai() : Chemin(std::filesystem::temp_directory_path() / NomUnique("parvel-registre-")) {
        std::filesystem::create_directories(Chemin);
    }
    ~DossierEssai() {
        std::error_code ec;
        // Give back the write bits a test may have taken, or the removal fails.
        for (auto it = std::filesystem::recursive_directory_iterator(Chemin, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(Chemin, ec);
    }
    DossierEssai(const DossierEssai&) = delete;
    DossierEssai& operator=(const DossierEssai&) = delete;
    const std::filesystem::path Chemin;
};

inline std::string LitOctets(const std::filesystem::path& fichier) {
    std::ifstream f(fichier, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

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

// Names the bench in failure messages.
inline void PrintTo(const FabriqueBanc& f, std::ostream* os) {
    *os << f.Nom;
}

std::unique_ptr<BancRegistre> CreeBancFichier();
#ifdef _WIN32
std::unique_ptr<BancRegistre> CreeBancWin32();
#endif

} // namespace parvel::essais_registre
