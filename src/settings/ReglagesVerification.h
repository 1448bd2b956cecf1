// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thresholds of the checks: the machine's top Y speed from its configuration, the
// others from the program's own section of the settings store (never the sibling
// application's). A missing or senseless value gives the default, or leaves its check
// off.
#include "cut/Parametres.h"
#include "cut/Verifications.h"
#include "plateforme/Registre.h"

namespace parvel {

inline constexpr const char* CleVerifications =
    "Software\\Local AppWizard-Generated Applications\\Parvel\\Verifications";

// "RapportVitesses" in hundredths (500: 5), "CourseX" and "CourseY" in millimetres.
SeuilsVerification LitSeuilsVerification(Registre& registre, const ConfigMachine& config);

} // namespace parvel
