// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/Presentation.h"

#include <algorithm>
#include <cmath>

#include "controleur/Disposition.h"

namespace parvel {

VueLecture PresenteLecture(const Principale& p) {
    const EtatLecture& l = p.Lecture;
    const double max = std::clamp(std::ceil(l.Total * 10), 0.0, 2e9);
    int facteur = -1;
    for (int i = 0; i < 4; ++i)
        if (disposition::FacteursLecture[i] == l.Facteur)
            facteur = i;
    return {p.LectureDisponible(),
            l.EnLecture,
            l.EnLecture ? "Pause" : "Lire",
            static_cast<int>(max),
            static_cast<int>(std::clamp(std::round(l.Temps * 10), 0.0, max)),
            facteur,
            p.TexteLecture()};
}

VueVerifications PresenteVerifications(const Principale& p) {
    VueVerifications v{
        TexteResume(p.Verif), p.Verif.Constats.empty() ? 0 : 4, NomCourtPour(p.CheminCourant()), {}};
    v.Textes = {v.Resume, p.CheminCourant()};
    for (const Constat& c : p.Verif.Constats)
        v.Textes.push_back(TexteConstat(c, p.Separateur));
    for (const std::string& t : TextesControles(p.Verif, p.Separateur))
        v.Textes.push_back(t);
    return v;
}

Marge MargeFaces(int basImage, int basLibre) {
    const int haut = basImage + 3, hauteur = std::max(0, basLibre - 2 - haut);
    return {haut, hauteur, hauteur > 12};
}

} // namespace parvel
