// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Standard dialogs and feedback: message box (OK only, title "Parvel"), the system
// beep, the input prompt (OK/Cancel), the open-file dialog, the about box and the end
// of the program.
#include <optional>
#include <string>
#include <string_view>

namespace parvel {

struct ParamOuverture {
    std::string Titre = "Fichier CUT à ouvrir";
    std::string Filtre; // "Fichiers CUT | *.cut" once the start-up has set it
    bool FichierExistant = false;
    std::string DossierInitial;
    std::string NomFichier; // the current path: the dialog's file name
};

class Dialogues {
  public:
    virtual ~Dialogues() = default;
    virtual void Message(std::string_view texte) = 0;
    virtual void Bip() = 0;
    // Returns the edited text on OK and "" on Cancel.
    virtual std::string Saisie(std::string_view titre, std::string_view invite, std::string_view defaut) = 0;
    // Returns the chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> ChoisitFichier(const ParamOuverture& p) = 0;
    virtual void MontreAPropos() = 0;
    virtual void Termine() = 0;
};

} // namespace parvel
