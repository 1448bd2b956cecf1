// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A load or a redraw in the window, whatever draws it: after a moment the wait cursor
// and a panel with the share of the file read and an "Annuler" button show, and the
// window is kept painted at a steady pace. Until the work ends, the user's input goes
// nowhere, except what stops it: Esc, "Annuler", closing the window or "Quitter".
// A front end draws the panel and translates its events into `Saisie`.
#include <cstdint>
#include <string>

#include "controleur/Interactions.h"

namespace parvel {

class SuiviTravaux : public SuiviFenetre {
  public:
    static constexpr std::int64_t DelaiMs = 300; // the panel shows after this long
    static constexpr std::int64_t PasMs = 30;    // the window's events are looked at this often

    // An event that reaches the window during the work, as the front end sees it.
    enum class Saisie {
        Aucune,     // no user input (painting, timers): it goes on
        Echap,      // the Esc key: stops the work
        Fermeture,  // the window asked to close: stops the work, then the program
        Quitter,    // a click on "Quitter": the same
        SurAnnuler, // input aimed at the "Annuler" button: it goes on
        Autre,      // any other input: dropped, so that it neither acts now nor later
    };
    // True when the event goes on its way; false when it is dropped.
    bool Laisse(Saisie saisie);
    // "Annuler" was clicked, or the window was asked to close (`quitter`).
    void Annule(bool quitter);

    void Commence() override;
    void Termine(const char* annulation) override;
    bool QuitterDemande() const override { return quitter_; }
    bool Occupe() const { return occupe_; }
    bool Continue(std::uint64_t lus, std::uint64_t total) override;
    void Etape(const char* quoi) override;

  protected:
    // The front end's clock, in milliseconds.
    virtual std::int64_t Maintenant() const = 0;
    // The panel and the wait cursor, with the step's text; hidden again.
    virtual void MontrePanneau(const std::string& etape) = 0;
    virtual void CachePanneau() = 0;
    virtual void MontreEtape(const std::string& etape) = 0;
    virtual void MontrePourcentage(int pourcent) = 0;
    // What a stopped work says, shown for a moment.
    virtual void MontreAnnulation(const std::string& texte) = 0;
    // Handles the window's pending events, judging the user's through Laisse.
    virtual void TraiteEvenements() = 0;

  private:
    std::string etape_;
    std::int64_t debut_ = 0, dernier_ = 0;
    bool occupe_ = false, annule_ = false, quitter_ = false, montre_ = false, premier_ = true;
};

} // namespace parvel
