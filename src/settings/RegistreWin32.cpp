// SPDX-License-Identifier: GPL-3.0-or-later
#ifdef _WIN32
#include "settings/RegistreWin32.h"

#include <algorithm>
#include <vector>

#include "cut/Fichiers.h"

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
        Ouverte = parent && RegOpenKeyExW(parent, Large(cle).c_str(), 0, KEY_READ, &Hkey) == ERROR_SUCCESS;
        return Ouverte;
    }
    bool Cree(Racine racine, const std::string& cle) {
        HKEY parent = VersHkey(racine);
        Ouverte = parent && RegCreateKeyExW(parent, Large(cle).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                            nullptr, &Hkey, nullptr) == ERROR_SUCCESS;
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
    const std::wstring n = Large(nom);
    DWORD type = 0, taille = 0;
    if (RegQueryValueExW(k.Hkey, n.c_str(), nullptr, &type, nullptr, &taille) != ERROR_SUCCESS ||
        type != REG_SZ || taille == 0)
        return "";
    std::vector<wchar_t> tampon(taille / sizeof(wchar_t) + 1);
    if (RegQueryValueExW(k.Hkey, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(tampon.data()),
                         &taille) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    // The data may or may not hold its terminating NUL, and may hold one early.
    std::wstring texte(tampon.data(), std::min<std::size_t>(taille / sizeof(wchar_t), tampon.size()));
    return Utf8(texte.substr(0, texte.find(L'\0')));
}

std::int32_t RegistreWin32::LitEntierRegistre(Racine racine, std::string cle, std::string nom) {
    CleOuverte k;
    if (!k.Ouvre(racine, cle))
        return 0;
    DWORD type = 0, taille = sizeof(DWORD);
    DWORD valeur = 0;
    if (RegQueryValueExW(k.Hkey, Large(nom).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&valeur),
                         &taille) != ERROR_SUCCESS ||
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
    RegSetValueExW(k.Hkey, Large(nom).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&donnee),
                   sizeof donnee);
}

void RegistreWin32::EcritTexteRegistre(Racine racine, std::string cle, std::string nom, std::string valeur) {
    CleOuverte k;
    if (!k.Cree(racine, cle))
        return;
    // With its terminating NUL, as REG_SZ wants it.
    const std::wstring texte = Large(valeur);
    RegSetValueExW(k.Hkey, Large(nom).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(texte.c_str()),
                   static_cast<DWORD>((texte.size() + 1) * sizeof(wchar_t)));
}

} // namespace parvel
#endif
