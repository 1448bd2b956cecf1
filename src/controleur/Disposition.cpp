// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/Disposition.h"

#include <cmath>

namespace parvel::disposition {

int GaucheEtiquette(double left, double width, bool centree, double twipsParPixel, int largeurPx) {
    const double x = centree ? (left + width / 2) / twipsParPixel - largeurPx / 2.0 : left / twipsParPixel;
    return static_cast<int>(std::lround(x));
}

namespace apropos {

std::string TexteEtiquette(const TextesAPropos& t, int i) {
    switch (i) {
    case 0:
        return t.Titre;
    case 1:
        return t.Version;
    case 4:
        return t.Config1;
    case 5:
        return t.Config2;
    case 6:
        return t.Config3;
    case 8:
        return t.Config4;
    case 9:
        return t.Config5;
    default:
        return Etiquettes[i].texte;
    }
}

} // namespace apropos

} // namespace parvel::disposition
