#include "view/ControlesMemoire.h"

#include "Principale.h"

namespace parvel {

ControlesMemoire::ControlesMemoire() = default;

void ControlesMemoire::DefinitCoche(Case c, bool coche) {
    bool& v = cases_[static_cast<int>(c)];
    if (v == coche)
        return;
    v = coche;
    if (!principale_)
        return;
    switch (c) {
    case Case::PGauche:
        principale_->PGauche_Click();
        break;
    case Case::PDroite:
        principale_->PDroite_Click();
        break;
    case Case::CGauche:
        principale_->CGauche_Click();
        break;
    case Case::CDroite:
        principale_->CDroite_Click();
        break;
    }
}

void ControlesMemoire::Choisit(Option o) {
    if (choisie_ == static_cast<int>(o))
        return;
    choisie_ = static_cast<int>(o);
    if (!principale_)
        return;
    switch (o) {
    case Option::Variable:
        principale_->Option1_Click();
        break;
    case Option::Etendu:
        principale_->Option2_Click();
        break;
    case Option::Fige:
        principale_->Option3_Click();
        break;
    }
}

} // namespace parvel
