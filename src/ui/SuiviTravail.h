// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A load or a redraw in the window: after a moment it shows the wait cursor and a panel
// with the share of the file read and an "Annuler" button, and it keeps the window
// painted. Until the work ends, the user's input goes nowhere, except what stops it:
// Esc, "Annuler", closing the window or "Quitter".
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include "cut/Avancement.h"

class QAction;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace parvel::ui {

class SuiviTravail : public QObject, public Avancement {
    Q_OBJECT
  public:
    // The panel lies over the bottom of `zone`; `fenetre` is the window whose closing
    // and whose `quitter` command stop the work.
    SuiviTravail(QWidget* fenetre, QWidget* zone, QAction* quitter);
    ~SuiviTravail() override;

    void Commence();
    // Ends the work; `annulation` is what a stopped work says, or null.
    void Termine(const char* annulation);
    bool Occupe() const { return occupe_; }
    // Closing the window or "Quitter" came during the work.
    bool QuitterDemande() const { return quitter_; }

    bool Continue(std::uint64_t lus, std::uint64_t total) override;
    // The panel's text from now on.
    void Etape(const char* quoi) override;

    // Shown after this long.
    static constexpr int DelaiMs = 300;

  protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

  private:
    void Montre();

    QWidget* fenetre_;
    QWidget* zone_;
    QAction* quitter_action_;
    QFrame* panneau_;
    QLabel* texte_;
    QProgressBar* barre_;
    QPushButton* annuler_;
    QTimer cache_;
    QString etape_;
    QElapsedTimer debut_, dernier_;
    bool occupe_ = false, annule_ = false, quitter_ = false, montre_ = false, premier_ = true;
    bool dansLaLecture_ = false;
};

} // namespace parvel::ui
