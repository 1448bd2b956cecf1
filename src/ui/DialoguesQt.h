// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The standard dialogs of the platform: message box, beep, input prompt, open-file
// dialog; the about box and the end of the program go through the main window.
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

#include "plateforme/Dialogues.h"

class QWidget;

namespace parvel::ui {

class DialoguesQt : public Dialogues {
  public:
    DialoguesQt(QWidget* parent, std::function<void()> montreAPropos, std::function<void()> termine);

    void Message(std::string_view texte) override;
    void Bip() override;
    std::string Saisie(std::string_view titre, std::string_view invite, std::string_view defaut) override;
    std::optional<std::string> ChoisitFichier(const ParamOuverture& p) override;
    void MontreAPropos() override { montreAPropos_(); }
    void Termine() override { termine_(); }

  private:
    QWidget* parent_;
    std::function<void()> montreAPropos_, termine_;
};

// "Fichiers CUT | *.cut" (description and pattern pairs) as Qt writes a filter.
QString FiltreQt(const std::string& filtre);

// The width a dialog needs for the window system to show its whole title beside the
// title bar's icon and buttons.
int LargeurPourTitre(const QWidget* w, const QString& titre);

// The file system's bytes of a path Qt shows: a name that is not valid UTF-8 comes back
// from Qt with replacement characters, and is found again among its folder's entries.
std::string OctetsDuChemin(const QString& chemin);
// The same for a dropped or chosen file's URL, whose percent-encoding keeps the bytes.
std::string OctetsDeLUrl(const QUrl& url);

} // namespace parvel::ui
