#include "Principale.h"

#include "cut/SortieFraisage.h"

namespace parvel {

Principale::Principale(Plateforme p)
    : Image1(p.Image1), Sortie(p.Sortie), Ctl(p.Controles_), Dlg(p.Dialogues_), Reg(p.Registre_) {}

Principale::~Principale() = default;

} // namespace parvel
