// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Chooses the settings store: the registry on Windows, a file elsewhere, or the file
// named on the command line.
#include <memory>
#include <string>

#include "plateforme/Registre.h"

namespace parvel {

// An empty `fichier` gives the platform's store: the registry on Windows, the file at
// CheminRegistreParDefaut() elsewhere. Otherwise the file store on `fichier`.
std::unique_ptr<Registre> OuvreRegistre(const std::string& fichier);

// $XDG_CONFIG_HOME/parvel/registre.reg, or ~/.config/parvel/registre.reg when that
// variable is unset, empty or not absolute; %APPDATA%\parvel\registre.reg on Windows.
std::string CheminRegistreParDefaut();

} // namespace parvel
