// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SuiviTravail.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

namespace parvel::ui {

namespace {

// Events from the user, which must neither act during the work nor wait to act after it.
bool EstSaisie(QEvent::Type t) {
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::TabletPress:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

} // namespace

SuiviTravail::SuiviTravail(QWidget* fenetre, QWidget* zone, QAction* quitter)
    : fenetre_(fenetre), zone_(zone), quitter_action_(quitter) {
    panneau_ = new QFrame(zone);
    panneau_->setObjectName("Avancement");
    panneau_->setFrameShape(QFrame::Panel);
    panneau_->setFrameShadow(QFrame::Raised);
    panneau_->setAutoFillBackground(true);
    auto* disposition = new QHBoxLayout(panneau_);
    disposition->setContentsMargins(6, 3, 6, 3);
    texte_ = new QLabel(panneau_);
    barre_ = new QProgressBar(panneau_);
    barre_->setRange(0, 100);
    barre_->setFixedWidth(120);
    annuler_ = new QPushButton("Annuler", panneau_);
    annuler_->setObjectName("Annuler");
    annuler_->setFocusPolicy(Qt::NoFocus);
    disposition->addWidget(texte_);
    disposition->addWidget(barre_);
    disposition->addWidget(annuler_);
    panneau_->hide();
    connect(annuler_, &QPushButton::clicked, this, [this] { Annule(false); });
    cache_.setSingleShot(true);
    connect(&cache_, &QTimer::timeout, panneau_, &QWidget::hide);
    horloge_.start();
    qApp->installEventFilter(this);
}

SuiviTravail::~SuiviTravail() {
    qApp->removeEventFilter(this);
    CachePanneau();
}

void SuiviTravail::Place() {
    panneau_->adjustSize();
    panneau_->move(4, zone_->height() - panneau_->height() - 4);
    panneau_->show();
    panneau_->raise();
}

void SuiviTravail::MontrePanneau(const std::string& etape) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    attente_ = true;
    cache_.stop();
    barre_->show();
    annuler_->show();
    texte_->setText(QString::fromStdString(etape));
    Place();
}

void SuiviTravail::CachePanneau() {
    if (!attente_)
        return;
    attente_ = false;
    QApplication::restoreOverrideCursor();
    panneau_->hide();
}

void SuiviTravail::MontreEtape(const std::string& etape) {
    texte_->setText(QString::fromStdString(etape));
    barre_->setValue(0);
    panneau_->adjustSize();
}

void SuiviTravail::MontrePourcentage(int pourcent) {
    barre_->setValue(pourcent);
}

void SuiviTravail::MontreAnnulation(const std::string& texte) {
    texte_->setText(QString::fromStdString(texte));
    barre_->hide();
    annuler_->hide();
    Place();
    cache_.start(3000);
}

void SuiviTravail::TraiteEvenements() {
    // Only the events handled here are filtered: a message box after the work gets its clicks.
    dansLaLecture_ = true;
    QApplication::processEvents(QEventLoop::AllEvents);
    dansLaLecture_ = false;
}

SuiviTravaux::Saisie SuiviTravail::Juge(QObject* objet, QEvent* e) const {
    if (e->type() == QEvent::Close && objet == fenetre_)
        return Saisie::Fermeture;
    if (!EstSaisie(e->type()))
        return Saisie::Aucune;
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
        return Saisie::Echap;
    if (objet == annuler_)
        return Saisie::SurAnnuler;
    if (e->type() == QEvent::MouseButtonPress) {
        auto* barre = qobject_cast<QMenuBar*>(objet);
        if (barre && barre->actionAt(static_cast<QMouseEvent*>(e)->position().toPoint()) == quitter_action_)
            return Saisie::Quitter;
    }
    return Saisie::Autre;
}

bool SuiviTravail::eventFilter(QObject* objet, QEvent* e) {
    // The window system's events reach a window first, then its widgets: only the
    // widgets' copies are judged, so that "Annuler" and "Quitter" get their clicks.
    if (!dansLaLecture_ || objet->isWindowType())
        return false;
    const Saisie saisie = Juge(objet, e);
    if (Laisse(saisie))
        return false;
    if (saisie == Saisie::Fermeture)
        e->ignore(); // the window closes once the work has stopped
    return true;
}

} // namespace parvel::ui
