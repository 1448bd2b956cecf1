#pragma once
// Control state held in memory, for the headless tool and the tests: it behaves as
// the window's controls do, running the owner's click handler on each change.
#include "view/Controles.h"

namespace parvel {

class Principale;

class ControlesMemoire : public Controles {
  public:
    // Start-up state of the window: four boxes checked, no option selected,
    // "Variable" disabled, milling mode off.
    ControlesMemoire();
    void Relie(Principale* p) { principale_ = p; }

    bool Coche(Case c) const override { return cases_[static_cast<int>(c)]; }
    void DefinitCoche(Case c, bool coche) override;
    bool Choisie(Option o) const override { return choisie_ == static_cast<int>(o); }
    void Choisit(Option o) override;
    bool Active(Option o) const override { return actives_[static_cast<int>(o)]; }
    void DefinitActive(Option o, bool active) override { actives_[static_cast<int>(o)] = active; }
    bool FraisageActif() const override { return fraisage_; }
    void DefinitFraisageActif(bool coche) override { fraisage_ = coche; }

  private:
    Principale* principale_ = nullptr;
    bool cases_[4] = {true, true, true, true};
    int choisie_ = -1;
    bool actives_[3] = {false, true, true};
    bool fraisage_ = false;
};

} // namespace parvel
