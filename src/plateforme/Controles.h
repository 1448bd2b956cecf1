// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of the window's check boxes, option buttons and the "Activation" menu
// check mark. Changing them through this interface runs no handler: the controller
// runs the handler of each change it makes, as the platform does for a user's click.
namespace parvel {

enum class Case { PGauche, PDroite, CGauche, CDroite };
enum class Option { Variable, Etendu, Fige };

class Controles {
  public:
    virtual ~Controles() = default;
    virtual bool Coche(Case c) const = 0;
    virtual void DefinitCoche(Case c, bool coche) = 0;
    virtual bool Choisie(Option o) const = 0;
    virtual void Choisit(Option o) = 0;
    virtual bool Active(Option o) const = 0;
    virtual void DefinitActive(Option o, bool active) = 0;
    virtual bool FraisageActif() const = 0;
    virtual void DefinitFraisageActif(bool coche) = 0;
};

} // namespace parvel
