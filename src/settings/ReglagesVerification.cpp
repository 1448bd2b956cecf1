// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ReglagesVerification.h"

#include <cmath>

namespace parvel {

SeuilsVerification LitSeuilsVerification(Registre& reg, const ConfigMachine& config) {
    auto entier = [&](const char* nom) {
        return static_cast<double>(reg.LitEntierRegistre(HKEY_CURRENT_USER, CleVerifications, nom));
    };
    SeuilsVerification s;
    s.VitMaxY = std::isfinite(config.VitMaxY) && config.VitMaxY > 0 ? config.VitMaxY : 0;
    // Below 1 no two speeds could pass: taken as missing.
    if (const double r = entier("RapportVitesses") / 100; r >= 1)
        s.RapportVitessesMax = r;
    s.CourseX = std::fmax(entier("CourseX"), 0);
    s.CourseY = std::fmax(entier("CourseY"), 0);
    return s;
}

} // namespace parvel
