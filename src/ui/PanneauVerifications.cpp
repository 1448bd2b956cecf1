// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PanneauVerifications.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace parvel::ui {

PanneauVerifications::PanneauVerifications(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName("Verifications");
    setWindowTitle("Vérifications");
    auto* boite = new QVBoxLayout(this);
    resume_ = new QLabel(this);
    resume_->setObjectName("ResumeVerifications");
    resume_->setWordWrap(true);
    liste_ = new QListWidget(this);
    liste_->setObjectName("ListeVerifications");
    liste_->setWordWrap(true);
    controles_ = new QLabel(this);
    controles_->setObjectName("ControlesVerifications");
    controles_->setWordWrap(true);
    boite->addWidget(resume_);
    boite->addWidget(liste_, 1);
    boite->addWidget(controles_);
    // A click, or Enter on the row the arrows reached.
    auto choix = [this](QListWidgetItem* e) {
        if (surChoix_ && e)
            surChoix_(liste_->row(e));
    };
    connect(liste_, &QListWidget::itemClicked, this, choix);
    connect(liste_, &QListWidget::itemActivated, this, choix);
    resize(620, 320);
}

void PanneauVerifications::Montre(const Verifications& v, const QString& fichier, const std::string& sep) {
    const QSignalBlocker muet(liste_);
    liste_->clear();
    for (const Constat& c : v.Constats)
        liste_->addItem(QString::fromStdString(TexteConstat(c, sep)));
    liste_->setVisible(!v.Constats.empty());
    resume_->setText(QString::fromStdString(TexteResumeFenetre(v, fichier.toStdString())));
    QStringList controles;
    for (const std::string& t : TextesControles(v, sep))
        controles << QString::fromStdString(t);
    controles_->setText(controles.join('\n'));
}

} // namespace parvel::ui
