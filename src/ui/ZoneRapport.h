#pragma once
// The report area `Sortie`: keeps the printed lines with their colours and paints
// them, one under the other from the top-left corner, in the window's font.
#include <QString>
#include <QWidget>
#include <vector>

#include "plateforme/ZoneTexte.h"

namespace parvel::ui {

class ZoneRapport : public QWidget, public ZoneTexte {
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

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    std::vector<Ligne> lignes_;
};

} // namespace parvel::ui
