// Placeholder until the view lands.
#include "Principale.h"

namespace parvel {
void Principale::CadreVue() {}
void Principale::DessineCut() {}
void Principale::Option1_Click() {}
void Principale::Option2_Click() {}
void Principale::Option3_Click() {}
void Principale::PGauche_Click() {}
void Principale::PDroite_Click() {}
void Principale::CGauche_Click() {}
void Principale::CDroite_Click() {}
} // namespace parvel
