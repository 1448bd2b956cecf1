// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Vérifications" window: the last load's findings in French, one a row with its
// count and lines, and the checks that ran. Choosing a row only tells the window which
// one; the controller moves playback there.
#include <QWidget>
#include <functional>

#include "cut/Verifications.h"

class QLabel;
class QListWidget;

namespace parvel::ui {

class PanneauVerifications : public QWidget {
    Q_OBJECT
  public:
    explicit PanneauVerifications(QWidget* parent = nullptr);
    // `fichier` names the file checked; `separateur` is the user's decimal separator.
    void Montre(const Verifications& v, const QString& fichier, const std::string& separateur);
    void SurChoix(std::function<void(int)> f) { surChoix_ = std::move(f); }
    QListWidget* Liste() const { return liste_; }
    QLabel* Resume() const { return resume_; }
    QLabel* Controles() const { return controles_; }

  private:
    QLabel* resume_;
    QListWidget* liste_;
    QLabel* controles_;
    std::function<void(int)> surChoix_;
};

} // namespace parvel::ui
