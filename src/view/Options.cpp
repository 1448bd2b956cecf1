// The scale mode, the side check boxes and the drawing area following the window's size.
#include <cmath>

#include "Principale.h"

namespace parvel {

void Principale::Option1_Click() {}

void Principale::Option2_Click() {
    MappingEtendu();
    DessineCut();
}

void Principale::Option3_Click() {}

void Principale::PGauche_Click() {
    Image1.Efface();
}

void Principale::PDroite_Click() {
    Image1.Efface();
}

void Principale::CGauche_Click() {
    Image1.Efface();
    if (!CheminCourant().empty())
        DessineCut();
}

void Principale::CDroite_Click() {
    Image1.Efface();
    if (!CheminCourant().empty())
        DessineCut();
}

void Principale::Form_Resize(float largeurFenetre, float hauteurFenetre, bool minimisee) {
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

} // namespace parvel
