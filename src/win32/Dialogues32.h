// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The standard dialogs: MessageBoxW titled "Parvel", MessageBeep, the input prompt (a
// dialog of the program's resources) and GetOpenFileNameW. The about box and the end
// of the program go through the main window.
#include "win32/Systeme.h"

#include <functional>
#include <string>

#include "plateforme/Dialogues.h"

namespace parvel::win32 {

class Dialogues32 : public Dialogues {
  public:
    Dialogues32(std::function<void()> montreAPropos, std::function<void()> termine)
        : montreAPropos_(std::move(montreAPropos)), termine_(std::move(termine)) {}
    void DefinitProprietaire(HWND proprietaire) { proprietaire_ = proprietaire; }

    void Message(std::string_view texte) override;
    void Bip() override;
    std::string Saisie(std::string_view titre, std::string_view invite, std::string_view defaut) override;
    std::optional<std::string> ChoisitFichier(const ParamOuverture& p) override;
    void MontreAPropos() override { montreAPropos_(); }
    void Termine() override { termine_(); }

  private:
    HWND proprietaire_ = nullptr;
    std::function<void()> montreAPropos_, termine_;
};

// "Fichiers CUT | *.cut" (description and pattern pairs) as the open dialog wants it:
// each part ended by a NUL, the whole by one more.
std::wstring FiltreWin32(const std::string& filtre);

} // namespace parvel::win32
