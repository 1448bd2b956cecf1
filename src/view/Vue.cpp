// The view set-up that ends every load, and the full-extent mapping shared with "Etendu".
#include <cmath>

#include "Principale.h"
#include "cut/Calcul.h"

namespace parvel {

void Principale::CadreVue() {
    const BilanCut& b = Bilan;
    EtatVue& v = Vue;
    v.XMax = b.XDMax > b.XGMax ? b.XDMax : b.XGMax;
    v.YMax = b.YDMax > b.YGMax ? b.YDMax : EnSimple(b.YGMax);
    v.XMin = b.XDMin < b.XGMin ? b.XDMin : b.XGMin;
    v.YMin = b.YDMin < b.YGMin ? b.YDMin : EnSimple(b.YGMin);

    if (v.YMax < Param.YFraise)
        Param.YFraise = v.YMax;
    if (v.XMax < Param.XFraise)
        Param.XFraise = 0;

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

    if (!Ctl.Choisie(Option::Fige)) {
        MappingEtendu();
        Ctl.Choisit(Option::Etendu);
    }
}

void Principale::MappingEtendu() {
    const double w = Image1.Largeur();
    const double h = Image1.Hauteur();
    // An area without size keeps its mapping rather than getting one without extent.
    if (!(w > 0 && h > 0))
        return;
    const float hauteur = EnSimple(-h * Vue.Echelle);
    const float largeur = EnSimple(w * Vue.Echelle);
    if (hauteur == 0 || largeur == 0)
        return;
    Image1.DefinitScaleHeight(hauteur);
    Image1.DefinitScaleWidth(largeur);
    Image1.DefinitScaleLeft(EnSimple(Vue.XMin));
    Image1.DefinitScaleTop(-Image1.LitMapping().ScaleHeight);
}

} // namespace parvel
