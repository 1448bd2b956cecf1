// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Control state held in memory, for `parvel-cut image` and the tests: plain values;
// the controller runs the handlers of the changes it makes.
#include "plateforme/Controles.h"

namespace parvel {

class ControlesMemoire : public Controles {
  public:
    // Start-up state of the window: four boxes checked, no option selected,
    // "Variable" disabled, milling mode off.
    bool Coche(Case c) const override { return cases_[static_cast<int>(c)]; }
    void DefinitCoche(Case c, bool coche) override { cases_[static_cast<int>(c)] = coche; }
    bool Choisie(Option o) const override { return choisie_ == static_cast<int>(o); }
    void Choisit(Option o) override { choisie_ = static_cast<int>(o); }
    bool Active(Option o) const override { return actives_[static_cast<int>(o)]; }
    void DefinitActive(Option o, bool active) override { actives_[static_cast<int>(o)] = active; }
    bool FraisageActif() const override { return fraisage_; }
    void DefinitFraisageActif(bool coche) override { fraisage_ = coche; }

  private:
    bool cases_[4] = {true, true, true, true};
    int choisie_ = -1;
    bool actives_[3] = {false, true, true};
    bool fraisage_ = false;
};

} // namespace parvel
