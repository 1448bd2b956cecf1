// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box `frmAbout`: the title, the version and the configuration as stored,
// read again each time the box is created. It deletes itself when closed, so the next
// opening reads the store anew.
#include <QDialog>
#include <string>

#include "plateforme/Dialogues.h"
#include "plateforme/Registre.h"

class QLabel;
class QPushButton;

namespace parvel::ui {

class FenetreAPropos : public QDialog {
    Q_OBJECT
  public:
    // Runs the load: reads the store, sets the texts, reports a failure through `dialogues`.
    FenetreAPropos(Registre& registre, const std::string& separateur, Dialogues& dialogues);

    QLabel* Etiquette(const char* nom) const;
    QPushButton* BoutonOK() const { return cmdOK_; }
    // The load failed in a way that ends the program; the box is not to be shown.
    bool Termine() const { return termine_; }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    QLabel* NouvelleEtiquette(const char* nom, const QString& texte, double left, double top, double width,
                              bool centree);
    void Ajuste(QLabel* l);

    QPushButton* cmdOK_ = nullptr;
    bool termine_ = false;
};

} // namespace parvel::ui
