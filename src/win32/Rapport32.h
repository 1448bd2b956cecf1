// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report area `Sortie`: a read-only rich edit control on the window's grey, each
// printed line in its palette colour, in Arial. Its text can be selected, scrolled and
// copied.
#include "win32/Systeme.h"

#include <string>

#include "plateforme/ZoneTexte.h"

namespace parvel::win32 {

class Rapport32 : public ZoneTexte {
  public:
    Rapport32(HWND parent, int id);
    HWND Hwnd() const { return hwnd_; }
    // Arial 9.6 pt at the window's resolution, for the lines already printed and the next ones.
    void DefinitPolice(double points);

    void Efface() override;
    void Imprime(int couleur, std::string_view ligne) override;
    std::size_t NombreLignes() const { return lignes_; }

  private:
    HWND hwnd_ = nullptr;
    bool vide_ = true;       // nothing printed since the last clearing
    std::size_t lignes_ = 0; // lines printed since then
};

} // namespace parvel::win32
