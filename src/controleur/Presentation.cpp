// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/Presentation.h"

#include <algorithm>
#include <cmath>

#include "controleur/Disposition.h"

namespace parvel {

VueLecture PresenteLecture(const Principale& p) {
    const Lecteur& l = p.Lecture();
    return {p.LectureDisponible(), l.Etat().EnLecture, l.TexteBouton(), l.CurseurMax(),
            l.CurseurPosition(),   l.IndiceFacteur(),  l.TexteLecture()};
}

VueVerifications PresenteVerifications(const Principale& p) {
    const Verifications& v = p.Verif();
    VueVerifications r{TexteResume(v), v.Constats.empty() ? 0 : 4, NomCourtPour(p.CheminCourant()), {}};
    r.Textes = {r.Resume, p.CheminCourant()};
    for (const Constat& c : v.Constats)
        r.Textes.push_back(TexteConstat(c, p.Separateur()));
    for (const std::string& t : TextesControles(v, p.Separateur()))
        r.Textes.push_back(t);
    return r;
}

Marge MargeFaces(int basImage, int basLibre) {
    const int haut = basImage + 3, hauteur = std::max(0, basLibre - 2 - haut);
    return {haut, hauteur, hauteur > 12};
}

} // namespace parvel
