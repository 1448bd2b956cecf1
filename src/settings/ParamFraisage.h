// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The milling parameters: their loading at start-up and their saving in the program's
// own section of the settings store, and the "Réglage" prompts.
#include <optional>
#include <string>

#include "cut/Parametres.h"
#include "plateforme/Dialogues.h"
#include "plateforme/Registre.h"

namespace parvel {

// Reads the parameters, with defaults (saved) after a numeric failure. Returns the
// message to show before the program ends when a step fails in an unexpected way.
std::optional<std::string> Recup_Param_Parvel(Registre& registre, const ConfigMachine& config,
                                              ParamFraisage& param);

// Writes the six stored values; raises ErreurParvel, before any write, when one cannot
// be stored.
void SauveRegistre(Registre& registre, const ParamFraisage& param);

// The prompts of "Réglage", each answer checked; the derived values follow.
// `separateur` is the user's decimal separator.
void DemandeParamFraisage(Dialogues& dialogues, const ConfigMachine& config, ParamFraisage& param,
                          const std::string& separateur);

} // namespace parvel
