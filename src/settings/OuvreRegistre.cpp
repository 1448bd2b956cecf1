// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/OuvreRegistre.h"

#include <cstdlib>
#include <filesystem>

#include "cut/Fichiers.h"
#include "settings/RegistreFichier.h"
#include "settings/RegistreWin32.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace parvel {

#ifndef _WIN32
namespace {

std::string Variable(const char* nom) {
    const char* valeur = std::getenv(nom);
    return valeur ? valeur : "";
}

} // namespace
#endif

std::string CheminRegistreParDefaut() {
    namespace fs = std::filesystem;
#ifdef _WIN32
    // The environment in UTF-16: a profile folder may hold characters the code page lacks.
    const auto variable = [](const wchar_t* nom) { return fs::path(_wgetenv(nom) ? _wgetenv(nom) : L""); };
    fs::path base = variable(L"APPDATA");
    if (base.empty()) {
        const fs::path profil = variable(L"USERPROFILE");
        base = profil.empty() ? fs::path(".") : profil / "AppData" / "Roaming";
    }
    return TexteChemin(base / "parvel" / "registre.reg");
#else
    // A relative XDG_CONFIG_HOME is to be ignored, as an empty one is.
    const fs::path xdg = Variable("XDG_CONFIG_HOME");
    if (xdg.is_absolute())
        return (xdg / "parvel" / "registre.reg").string();
    std::string maison = Variable("HOME");
    if (maison.empty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
            maison = pw->pw_dir;
    }
    const fs::path base = maison.empty() ? fs::path(".") : fs::path(maison);
    return (base / ".config" / "parvel" / "registre.reg").string();
#endif
}

std::unique_ptr<Registre> OuvreRegistre(const std::string& fichier) {
    if (!fichier.empty())
        return std::make_unique<RegistreFichier>(CheminNatif(fichier));
#ifdef _WIN32
    return std::make_unique<RegistreWin32>();
#else
    return std::make_unique<RegistreFichier>(CheminRegistreParDefaut());
#endif
}

} // namespace parvel
