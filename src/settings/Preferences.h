// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's own preferences, kept in the program's section of the settings store
// (never the sibling application's): automatic reload, the window frame and the recent
// files.
#include <string>
#include <vector>

#include "plateforme/Registre.h"

namespace parvel {

inline constexpr const char* CleFenetre = "Software\\Local AppWizard-Generated Applications\\Parvel\\Fenetre";
inline constexpr int NbRecents = 8;

// Whether the loaded file is loaded again when it changes on disk: on unless switched off.
bool LitRechargementAuto(Registre& registre);
void EcritRechargementAuto(Registre& registre, bool actif);

// Whether the window has an ordinary frame (title bar, borders): off unless chosen.
bool LitFenetreEncadree(Registre& registre);
void EcritFenetreEncadree(Registre& registre, bool encadree);

// The recent files, most recent first.
std::vector<std::string> LitRecents(Registre& registre);
// Puts `chemin` first, the others after it, at most NbRecents.
void AjouteRecent(Registre& registre, const std::string& chemin);

} // namespace parvel
