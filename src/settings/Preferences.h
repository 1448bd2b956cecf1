#pragma once
// The window's own preferences, kept in the program's section of the settings store
// (never the sibling application's).
#include "plateforme/Registre.h"

namespace parvel {

inline constexpr const char* CleFenetre = "Software\\Local AppWizard-Generated Applications\\Parvel\\Fenetre";

// Whether the loaded file is loaded again when it changes on disk: on unless switched off.
inline bool LitRechargementAuto(Registre& registre) {
    return registre.LitEntierRegistre(HKEY_CURRENT_USER, CleFenetre, "SansRechargement") == 0;
}

inline void EcritRechargementAuto(Registre& registre, bool actif) {
    registre.EcritEntierRegistre(HKEY_CURRENT_USER, CleFenetre, "SansRechargement", actif ? 0 : 1);
}

} // namespace parvel
