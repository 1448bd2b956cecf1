// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box `frmAbout`: title, version and the configuration as stored, read again
// each time the box is created; not modal. OK, Enter, Esc and the close button close it.
#include "win32/Systeme.h"

#include <functional>
#include <string>
#include <vector>

#include "plateforme/Dialogues.h"
#include "plateforme/Registre.h"
#include "win32/Controles32.h"

namespace parvel::win32 {

class APropos32 {
  public:
    // Runs the box's load; a failure is reported through `dialogues`, and one that ends
    // the program leaves the box closed (Ouverte() false).
    // `fermee` runs once the box's window is gone.
    APropos32(HWND proprietaire, const Twips& twips, Registre& registre, const std::string& separateur,
              Dialogues& dialogues, std::function<void()> fermee);
    ~APropos32();
    APropos32(const APropos32&) = delete;
    APropos32& operator=(const APropos32&) = delete;

    bool Ouverte() const { return hwnd_ != nullptr; }
    HWND Hwnd() const { return hwnd_; }
    void Montre();

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    std::function<void()> fermee_;
    Twips twips_;
    std::vector<HFONT> polices_;
    Etiquette etiquettes_[10];
    Bouton ok_;
};

} // namespace parvel::win32
