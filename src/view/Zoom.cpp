// SPDX-License-Identifier: GPL-3.0-or-later
// The cursor readout and the two-click zoom with its rubber band.
#include <cfloat>
#include <cmath>
#include <optional>
#include <string>

#include "cut/Nombres.h"
#include "view/Vitesses.h"
#include "view/Vue.h"

namespace parvel {

namespace {

constexpr short BoutonGauche = 1;
constexpr short ToucheCtrl = 2;

// The position cut down to the hundredth, in single precision.
float Centieme(float v) {
    const float cent = v * 100.0f;
    // Beyond the float range a hundredth no longer shows anyway.
    if (!std::isfinite(cent))
        return v;
    return std::floor(cent) / 100.0f;
}

std::string TexteSurvol(float v) {
    std::string t = TexteFixe(v, ChiffresSimple);
    if (!(v < 0))
        t.insert(t.begin(), ' ');
    return t;
}

// |a / b| rounded to single precision, held within the float range.
float RapportAbsolu(float a, float b) {
    const double r = std::fabs(static_cast<double>(a) / b);
    return r > FLT_MAX ? FLT_MAX : static_cast<float>(r);
}

} // namespace

void VueCut::Image1_MouseMove(short, short, float X, float Y) {
    std::string texte = "X: " + TexteSurvol(Centieme(X)) + " Y: " + TexteSurvol(Centieme(Y));
    if (const std::optional<InfoTrait> trait = Image1.TraitPres(X, Y)) {
        if (trait->Face != 0)
            texte += trait->Face == 1 ? " | face proche" : " | face éloignée";
        texte += " | ligne " + std::to_string(trait->Ligne);
        if (trait->Vitesse >= 0)
            texte += " | " + TexteVitesse(trait->Vitesse, Separateur);
        texte += " | " + TexteTemps(trait->Temps);
    }
    Image1.DefinitTexteSurvol(std::move(texte));

    EtatZoom& z = Zoom;
    if (z.EtatSelection != 1)
        return;
    Placement s = Image1.LitForme(Forme::Selection);
    if (Y > z.YDebutSel) {
        s.Top = Y;
        s.Height = Y - z.YDebutSel;
    }
    if (X > z.XDebutSel)
        s.Width = X - z.XDebutSel;
    Image1.PlaceForme(Forme::Selection, s);
}

SuiteZoom VueCut::Image1_MouseDown(short Button, short Shift, float X, float Y) {
    EtatZoom& z = Zoom;
    if (Button != BoutonGauche) {
        AnnuleSelection();
        return SuiteZoom::Rien;
    }

    if (z.EtatSelection == 1) {
        const Placement s = Image1.LitForme(Forme::Selection);
        // A band without width or height has no ratio: wait for a click that gives it one.
        if (X < z.XDebutSel || Y < z.YDebutSel || !(s.Width > 0) || !(s.Height > 0))
            return SuiteZoom::Rien;
        z.EtatSelection = 2;
        const Mapping m = Image1.LitMapping();
        const float rW = RapportAbsolu(m.ScaleWidth, s.Width);
        const float rH = RapportAbsolu(m.ScaleHeight, s.Height);
        const float rapport = rH < rW ? rH : rW;
        // A ratio of 0 comes from a mapping without extent, which no zoom can divide.
        if (!(rapport > 0))
            return SuiteZoom::TropGrand;
        z.RapportZoom = rapport;
        const float hauteur = m.ScaleHeight / rapport;
        const float largeur = m.ScaleWidth / rapport;
        if (std::fabs(hauteur) < 0.5f || std::fabs(largeur) < 0.5f)
            return SuiteZoom::TropGrand;
        // Zooming out past the float range cannot be mapped.
        if (!std::isfinite(hauteur) || !std::isfinite(largeur)) {
            AnnuleSelection();
            return SuiteZoom::Rien;
        }
        Image1.DefinitMapping({z.XDebutSel, Y, largeur, hauteur});
        Image1.MontreForme(Forme::Selection, false);
        return SuiteZoom::Applique;
    }

    if (z.EtatSelection == 0 && Shift == 0) {
        z.EtatSelection = 1;
        Image1.PlaceForme(Forme::Selection, {X, Y, 0, 0});
        z.XDebutSel = X;
        z.YDebutSel = Y;
        Image1.MontreForme(Forme::Selection, true);
    }
    return Shift == ToucheCtrl ? SuiteZoom::MessageCtrl : SuiteZoom::Rien;
}

SuiteZoom VueCut::Molette(float X, float Y, int crans) {
    const Mapping m = Image1.LitMapping();
    if (crans == 0 || !(m.ScaleHeight < 0))
        return SuiteZoom::Rien;
    AnnuleSelection();
    const double facteur = std::pow(1.25, crans);
    const double largeur = m.ScaleWidth / facteur, hauteur = m.ScaleHeight / facteur;
    if (std::fabs(hauteur) < 0.5 || std::fabs(largeur) < 0.5)
        return SuiteZoom::TropGrand;
    const double gauche = X - (X - m.ScaleLeft) / facteur, haut = Y - (Y - m.ScaleTop) / facteur;
    const float fl = static_cast<float>(largeur), fh = static_cast<float>(hauteur);
    const float fg = static_cast<float>(gauche), ft = static_cast<float>(haut);
    if (!std::isfinite(fl) || !std::isfinite(fh) || !std::isfinite(fg) || !std::isfinite(ft))
        return SuiteZoom::Rien;
    Zoom.RapportZoom = static_cast<float>(facteur);
    Image1.DefinitMapping({fg, ft, fl, fh});
    return SuiteZoom::Applique;
}

SuiteZoom VueCut::Decale(float dX, float dY) {
    const Mapping m = Image1.LitMapping();
    if (!(m.ScaleHeight < 0) || (dX == 0 && dY == 0))
        return SuiteZoom::Rien;
    AnnuleSelection();
    const float gauche = m.ScaleLeft + dX, haut = m.ScaleTop + dY;
    if (!std::isfinite(gauche) || !std::isfinite(haut))
        return SuiteZoom::Rien;
    Image1.DefinitMapping({gauche, haut, m.ScaleWidth, m.ScaleHeight});
    return SuiteZoom::Applique;
}

void VueCut::AnnuleSelection() {
    Zoom.EtatSelection = 0;
    Image1.MontreForme(Forme::Selection, false);
}

} // namespace parvel
