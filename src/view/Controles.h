#pragma once
// The state of the window's check boxes, option buttons and the "Activation" menu
// check mark. As on the platform, a change made through this interface runs the
// control's click handler at once (a box when its value changes, an option when it
// becomes selected).
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
