// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A load or a redraw in the window: after a moment it shows the wait cursor and a panel
// with the share of the file read and an "Annuler" button, and it keeps the window
// painted. Until the work ends, the user's input goes nowhere, except what stops it:
// Esc, "Annuler", closing the window or "Quitter".
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "controleur/SuiviTravaux.h"

class QAction;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace parvel::ui {

class SuiviTravail : public QObject, public SuiviTravaux {
    Q_OBJECT
  public:
    // The panel lies over the bottom of `zone`; `fenetre` is the window whose closing
    // and whose `quitter` command stop the work.
    SuiviTravail(QWidget* fenetre, QWidget* zone, QAction* quitter);
    ~SuiviTravail() override;

  protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    std::int64_t Maintenant() const override { return horloge_.elapsed(); }
    void MontrePanneau(const std::string& etape) override;
    void CachePanneau() override;
    void MontreEtape(const std::string& etape) override;
    void MontrePourcentage(int pourcent) override;
    void MontreAnnulation(const std::string& texte) override;
    void TraiteEvenements() override;

  private:
    // The user's input among the events, as the work judges it.
    Saisie Juge(QObject* objet, QEvent* e) const;
    void Place();

    QWidget* fenetre_;
    QWidget* zone_;
    QAction* quitter_action_;
    QFrame* panneau_;
    QLabel* texte_;
    QProgressBar* barre_;
    QPushButton* annuler_;
    QTimer cache_;
    QElapsedTimer horloge_;
    bool dansLaLecture_ = false, attente_ = false; // the wait cursor is on
};

} // namespace parvel::ui
