// SPDX-License-Identifier: GPL-3.0-or-later
#ifdef _WIN32
#include "settings/RegistreWin32.h"

#include <algorithm>
#include <vector>

// After our headers: windows.h turns HKEY_CURRENT_USER into a macro.
#include <windows.h>

namespace parvel {

namespace {

HKEY VersHkey(Racine racine) {
    switch (racine) {
    case Racine::CurrentUser:
        return HKEY_CURRENT_USER;
    }
    return nullptr;
}

// Closes the key on every path out.
class CleOuverte {
  public:
    CleOuverte() = default;
    CleOuverte(const CleOuverte&) = delete;
    CleOuverte& operator=(const CleOuverte&) = delete;
    ~CleOuverte() {
        if (Ouverte)
            RegCloseKey(Hkey);
    }
    bool Ouvre(Racine racine, const std::string& cle) {
        HKEY parent = VersHkey(racine);
        Ouverte = parent && RegOpenKeyA(parent, cle.c_str(), &Hkey) == ERROR_SUCCESS;
        return Ouverte;
    }
    bool Cree(Racine racine, const std::string& cle) {
        HKEY parent = VersHkey(racine);
        Ouverte = parent && RegCreateKeyA(parent, cle.c_str(), &Hkey) == ERROR_SUCCESS;
        return Ouverte;
    }
    HKEY Hkey = nullptr;

  private:
    bool Ouverte = false;
};

} // namespace

std::string RegistreWin32::LitTexteRegistre(Racine racine, std::string cle, std::string nom) {
    CleOuverte k;
    if (!k.Ouvre(racine, cle))
        return "";
    DWORD type = 0, taille = 0;
    if (RegQueryValueExA(k.Hkey, nom.c_str(), nullptr, &type, nullptr, &taille) != ERROR_SUCCESS ||
        type != REG_SZ || taille == 0)
        return "";
    std::vector<char> tampon(taille);
    if (RegQueryValueExA(k.Hkey, nom.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(tampon.data()),
                         &taille) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    // The data may or may not hold its terminating NUL, and may hold one early.
    std::string texte(tampon.data(), std::min<std::size_t>(taille, tampon.size()));
    return texte.substr(0, texte.find('\0'));
}

std::int32_t RegistreWin32::LitEntierRegistre(Racine racine, std::string cle, std::string nom) {
    CleOuverte k;
    if (!k.Ouvre(racine, cle))
        return 0;
    DWORD type = 0, taille = sizeof(DWORD);
    DWORD valeur = 0;
    if (RegQueryValueExA(k.Hkey, nom.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&valeur), &taille) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return static_cast<std::int32_t>(valeur);
}

void RegistreWin32::EcritEntierRegistre(Racine racine, std::string cle, std::string nom,
                                        std::int32_t valeur) {
    CleOuverte k;
    if (!k.Cree(racine, cle))
        return;
    DWORD donnee = static_cast<DWORD>(valeur);
    RegSetValueExA(k.Hkey, nom.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&donnee), sizeof donnee);
}

void RegistreWin32::EcritTexteRegistre(Racine racine, std::string cle, std::string nom, std::string valeur) {
    CleOuverte k;
    if (!k.Cree(racine, cle))
        return;
    // With its terminating NUL, as REG_SZ wants it.
    RegSetValueExA(k.Hkey, nom.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(valeur.c_str()),
                   static_cast<DWORD>(valeur.size() + 1));
}

} // namespace parvel
#endif
