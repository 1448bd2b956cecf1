// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The machine configuration read from the sibling application's section of the store at
// start-up, with its recovery: a numeric failure gives the default mechanics and the
// sequence goes on.
#include <optional>
#include <string>

#include "cut/Parametres.h"
#include "plateforme/Registre.h"

namespace parvel {

// Fills `config` and the open dialog's starting folder. Returns the message to show
// before the program ends when a step fails in an unexpected way.
std::optional<std::string> LitConfigMachine(Registre& registre, ConfigMachine& config,
                                            std::string& dossierInitial);

} // namespace parvel
