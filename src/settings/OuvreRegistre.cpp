// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/OuvreRegistre.h"

#include <cstdlib>
#include <filesystem>

#include "settings/RegistreFichier.h"
#include "settings/RegistreWin32.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace parvel {

namespace {

std::string Variable(const char* nom) {
    const char* valeur = std::getenv(nom);
    return valeur ? valeur : "";
}

} // namespace

std::string CheminRegistreParDefaut() {
    namespace fs = std::filesystem;
#ifdef _WIN32
    fs::path base = Variable("APPDATA");
    if (base.empty()) {
        const std::string profil = Variable("USERPROFILE");
        base = profil.empty() ? fs::path(".") : fs::path(profil) / "AppData" / "Roaming";
    }
    return (base / "parvel" / "registre.reg").string();
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
        return std::make_unique<RegistreFichier>(fichier);
#ifdef _WIN32
    return std::make_unique<RegistreWin32>();
#else
    return std::make_unique<RegistreFichier>(CheminRegistreParDefaut());
#endif
}

} // namespace parvel
