// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A load or a redraw in the window: after a moment it shows the wait cursor and, over
// the bottom of the drawing area, the share of the file read and an "Annuler" button,
// and it keeps the window painted. Until the work ends the user's input goes nowhere,
// except what stops it: Esc, "Annuler", closing the window.
#include <cstdint>

#include "cut/Avancement.h"
#include "win32/Controles32.h"

namespace parvel::win32 {

class Suivi32 : public Avancement {
  public:
    static constexpr int IdAnnuler = 180;
    // The panel lies over the bottom of `zone`, a child of `fenetre`.
    Suivi32(HWND fenetre, HWND zone);

    void Commence();
    void Termine();
    // "Annuler" was clicked, or the window was asked to close (`quitter`).
    void Annule(bool quitter) {
        annule_ = true;
        quitter_ = quitter_ || quitter;
    }
    bool Occupe() const { return occupe_; }
    bool QuitterDemande() const { return quitter_; }
    void DefinitPolice(HFONT police);

    bool Continue(std::uint64_t lus, std::uint64_t total) override;

    static constexpr ULONGLONG DelaiMs = 300; // shown after this long
    static constexpr ULONGLONG PasMs = 50;    // messages looked at this often

  private:
    void Montre();

    HWND fenetre_, zone_;
    HWND barre_ = nullptr;
    Bouton annuler_;
    ULONGLONG debut_ = 0, dernier_ = 0;
    bool occupe_ = false, annule_ = false, quitter_ = false, montre_ = false, premier_ = true;
    HCURSOR curseur_ = nullptr;
};

} // namespace parvel::win32
