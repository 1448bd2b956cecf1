// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report area `Sortie`: the printed lines in their palette colours, one under the
// other from the top-left corner, in the window's font. Its text can be selected and
// copied, and it scrolls when a line is longer than the area.
#include <QString>
#include <QTextEdit>
#include <vector>

#include "plateforme/ZoneTexte.h"

namespace parvel::ui {

class ZoneRapport : public QTextEdit, public ZoneTexte {
    Q_OBJECT
  public:
    struct Ligne {
        int couleur;
        QString texte;
    };

    explicit ZoneRapport(QWidget* parent = nullptr);

    void Efface() override;
    void Imprime(int couleur, std::string_view ligne) override;
    const std::vector<Ligne>& Lignes() const { return lignes_; }

  private:
    std::vector<Ligne> lignes_;
};

} // namespace parvel::ui
