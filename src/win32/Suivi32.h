// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The long work's panel for Windows: the wait cursor and, over the bottom of the drawing
// area, the share of the file read and an "Annuler" button. When it shows and which
// input passes meanwhile is the controller's rule (SuiviTravaux).
#include "controleur/SuiviTravaux.h"
#include "win32/Controles32.h"

namespace parvel::win32 {

class Suivi32 : public SuiviTravaux {
  public:
    static constexpr int IdAnnuler = 180;
    // The panel lies over the bottom of `zone`, a child of `fenetre`.
    Suivi32(HWND fenetre, HWND zone);
    void DefinitPolice(HFONT police);

  protected:
    std::int64_t Maintenant() const override { return static_cast<std::int64_t>(GetTickCount64()); }
    void MontrePanneau(const std::string& etape) override;
    void CachePanneau() override;
    void MontreEtape(const std::string&) override {}
    void MontrePourcentage(int pourcent) override;
    void MontreAnnulation(const std::string&) override {}
    void TraiteEvenements() override;

  private:
    HWND fenetre_, zone_;
    HWND barre_ = nullptr;
    Bouton annuler_;
    HCURSOR curseur_ = nullptr;
};

} // namespace parvel::win32
