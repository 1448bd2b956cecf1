// SPDX-License-Identifier: GPL-3.0-or-later
// The view set-up that ends every load, and the full-extent mapping shared with "Etendu".
#include "view/Vue.h"

#include <algorithm>
#include <cmath>

#include "cut/Calcul.h"
#include "cut/Chargeur.h"

namespace parvel {

void VueCut::CadreVue(const BilanCut& b, ParamFraisage& param) {
    EtatVue& v = Etat;
    v.XMax = b.XDMax > b.XGMax ? b.XDMax : b.XGMax;
    v.YMax = b.YDMax > b.YGMax ? b.YDMax : EnSimple(b.YGMax);
    v.XMin = b.XDMin < b.XGMin ? b.XDMin : b.XGMin;
    v.YMin = b.YDMin < b.YGMin ? b.YDMin : EnSimple(b.YGMin);

    if (v.YMax < param.YFraise)
        param.YFraise = v.YMax;
    if (v.XMax < param.XFraise)
        param.XFraise = 0;
    CalculeEchelle();
}

void VueCut::CalculeEchelle() {
    EtatVue& v = Etat;
    // A file without extent, or an area without size, gives no scale: the previous one
    // stays so that the mapping keeps a usable extent.
    const double w = Image1.Largeur();
    const double h = Image1.Hauteur();
    if (w > 0 && h > 0) {
        const double rx = Verifie(v.XMax - v.XMin) / w;
        const double ry = static_cast<float>(v.YMax - v.YMin) / h;
        const float echelle = EnSimple((rx > ry ? rx : ry) / 0.99);
        if (echelle > 0)
            v.Echelle = echelle;
    }
}

void VueCut::MappingEtendu() {
    const double w = Image1.Largeur();
    const double h = Image1.Hauteur();
    // An area without size keeps its mapping rather than getting one without extent.
    if (!(w > 0 && h > 0))
        return;
    const float hauteur = EnSimple(-h * Etat.Echelle);
    const float largeur = EnSimple(w * Etat.Echelle);
    if (hauteur == 0 || largeur == 0)
        return;
    Image1.DefinitMapping({EnSimple(Etat.XMin), -hauteur, largeur, hauteur});
}

float HauteurPourMarge(float hauteurFenetre, float hauteurClient, float marge) {
    // The area ends at Image1Top + (hauteurFenetre - 1.5 Image1Top) in the client area.
    const float naturelle = hauteurClient - (hauteurFenetre - 0.5f * Image1Top);
    return hauteurFenetre - std::max(0.0f, marge - naturelle);
}

void VueCut::Form_Resize(float largeurFenetre, float hauteurFenetre, bool minimisee) {
    if (minimisee)
        return;
    const double largeur = largeurFenetre * 0.99 - Image1Left;
    const double hauteur = hauteurFenetre - 1.5 * Image1Top;
    // The area cannot take a size of 0 or less: such a side keeps its last size.
    const auto valide = [](double v) {
        const float f = static_cast<float>(v);
        return f > 0 && std::isfinite(f);
    };
    Image1.DefinitTaille(valide(largeur) ? static_cast<float>(largeur) : Image1.Largeur(),
                         valide(hauteur) ? static_cast<float>(hauteur) : Image1.Hauteur());
}

void VueCut::GardeEchelle(float largeurAvant, float hauteurAvant, bool etendu) {
    const Mapping m = Image1.LitMapping();
    const float largeur = Image1.Largeur(), hauteur = Image1.Hauteur();
    if (!(m.ScaleHeight < 0) || !(largeurAvant > 0 && hauteurAvant > 0))
        return;
    if (etendu) {
        CalculeEchelle();
        MappingEtendu();
        return;
    }
    const double l = static_cast<double>(m.ScaleWidth) * largeur / largeurAvant;
    const double h = static_cast<double>(m.ScaleHeight) * hauteur / hauteurAvant;
    const double cx = m.ScaleLeft + m.ScaleWidth / 2.0, cy = m.ScaleTop + m.ScaleHeight / 2.0;
    const float fl = static_cast<float>(l), fh = static_cast<float>(h);
    if (!std::isfinite(fl) || !std::isfinite(fh) || fl == 0 || fh == 0)
        return;
    Image1.DefinitMapping({static_cast<float>(cx - l / 2), static_cast<float>(cy - h / 2), fl, fh});
}

} // namespace parvel
