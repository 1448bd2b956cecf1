// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the machine configuration and the milling parameters live in the settings store.
#include "cut/Parametres.h"

namespace parvel {

inline constexpr const char* CleTavikDebut = "Software\\Local AppWizard-Generated Applications\\";
inline constexpr const char* CleTavikFin = "\\TavikConfig";
inline constexpr const char* CleFraisageLue =
    "Software\\Local AppWizard-Generated Applications\\Parvel\\Fraisage";
inline constexpr const char* CleFraisageEcrite =
    "Software\\Local Appwizard-Generated Applications\\Parvel\\Fraisage";

} // namespace parvel
