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

constexpr int PasMs = 30; // the window repaints at this pace during the work

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
    connect(annuler_, &QPushButton::clicked, this, [this] { annule_ = true; });
    cache_.setSingleShot(true);
    connect(&cache_, &QTimer::timeout, panneau_, &QWidget::hide);
    qApp->installEventFilter(this);
}

SuiviTravail::~SuiviTravail() {
    qApp->removeEventFilter(this);
    if (montre_)
        QApplication::restoreOverrideCursor();
}

void SuiviTravail::Commence() {
    occupe_ = true;
    etape_ = "Lecture du fichier…";
    annule_ = quitter_ = montre_ = false;
    premier_ = true;
    debut_.start();
    dernier_.start();
}

void SuiviTravail::Termine(const char* annulation) {
    occupe_ = false;
    if (montre_) {
        QApplication::restoreOverrideCursor();
        montre_ = false;
        panneau_->hide();
    }
    if (annulation) {
        texte_->setText(QString::fromUtf8(annulation));
        barre_->hide();
        annuler_->hide();
        panneau_->adjustSize();
        panneau_->move(4, zone_->height() - panneau_->height() - 4);
        panneau_->show();
        panneau_->raise();
        cache_.start(3000);
    }
}

void SuiviTravail::Montre() {
    montre_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cache_.stop();
    barre_->show();
    annuler_->show();
    texte_->setText(etape_);
    panneau_->adjustSize();
    panneau_->move(4, zone_->height() - panneau_->height() - 4);
    panneau_->show();
    panneau_->raise();
}

void SuiviTravail::Etape(const char* quoi) {
    etape_ = QString::fromUtf8(quoi);
    if (montre_) {
        texte_->setText(etape_);
        barre_->setValue(0);
        panneau_->adjustSize();
    }
}

bool SuiviTravail::Continue(std::uint64_t lus, std::uint64_t total) {
    // Events are looked at the first time, then at a steady pace: a stop asked before
    // the work began is seen at once, and the cost stays out of the reading.
    if (!premier_ && dernier_.elapsed() < PasMs)
        return !annule_;
    premier_ = false;
    dernier_.restart();
    if (!montre_ && debut_.elapsed() >= DelaiMs)
        Montre();
    if (montre_ && total > 0)
        barre_->setValue(static_cast<int>(100 * lus / total));
    // Only the events handled here are filtered: a message box after the work gets its clicks.
    dansLaLecture_ = true;
    QApplication::processEvents(QEventLoop::AllEvents);
    dansLaLecture_ = false;
    return !annule_;
}

bool SuiviTravail::eventFilter(QObject* objet, QEvent* e) {
    // The window system's events reach a window first, then its widgets: only the
    // widgets' copies are judged, so that "Annuler" and "Quitter" get their clicks.
    if (!dansLaLecture_ || objet->isWindowType())
        return false;
    if (e->type() == QEvent::Close && objet == fenetre_) {
        annule_ = quitter_ = true;
        e->ignore();
        return true;
    }
    if (!EstSaisie(e->type()))
        return false;
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        annule_ = true;
        return true;
    }
    if (objet == annuler_)
        return false;
    if (e->type() == QEvent::MouseButtonPress) {
        auto* barre = qobject_cast<QMenuBar*>(objet);
        if (barre && barre->actionAt(static_cast<QMouseEvent*>(e)->position().toPoint()) == quitter_action_)
            annule_ = quitter_ = true;
    }
    return true;
}

} // namespace parvel::ui
