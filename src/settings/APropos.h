// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the about box, read from the settings store each time the box loads:
// the title and version, then the machine and milling configuration as stored (not
// the defaults the main window may have put in their place).
#include <optional>
#include <string>

#include "plateforme/Registre.h"

namespace parvel {

// Texts the box starts with; a load that stops early leaves the rest as they are.
inline constexpr const char* TexteConfigDesign = "Configuration de la table";

struct TextesAPropos {
    std::string Caption;
    std::string Version = "Version";
    std::string Titre = "Parvel";
    std::string Config1 = TexteConfigDesign;
    std::string Config2 = TexteConfigDesign;
    std::string Config3 = TexteConfigDesign;
    std::string Config4 = TexteConfigDesign;
    std::string Config5 = TexteConfigDesign;
    // Set when the load failed: the box shows it in a message box before it opens.
    std::optional<std::string> MessageErreur;
    // Set with the message when the failure was not a numeric one: the program ends.
    bool FinProgramme = false;
};

// `separateur` is the user's decimal separator.
TextesAPropos LitAPropos(Registre& registre, const std::string& separateur);

} // namespace parvel
