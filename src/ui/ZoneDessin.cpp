// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ZoneDessin.h"

#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "controleur/Interactions.h"

namespace parvel::ui {

namespace {

short Boutons(Qt::MouseButtons b) {
    short r = 0;
    if (b & Qt::LeftButton)
        r |= 1;
    if (b & Qt::RightButton)
        r |= 2;
    if (b & Qt::MiddleButton)
        r |= 4;
    return r;
}

short Touches(Qt::KeyboardModifiers m) {
    short r = 0;
    if (m & Qt::ShiftModifier)
        r |= 1;
    if (m & Qt::ControlModifier)
        r |= 2;
    if (m & Qt::AltModifier)
        r |= 4;
    return r;
}

} // namespace

ZoneDessin::ZoneDessin(int largeurPx, int hauteurPx, double twipsParPixel, QWidget* parent)
    : QWidget(parent), SurfaceRaster(largeurPx, hauteurPx, twipsParPixel, BordBoite) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

QSize ZoneDessin::sizeHint() const {
    return QSize(Raster().LargeurPx() + 2 * BordBoite, Raster().HauteurPx() + 2 * BordBoite);
}

void ZoneDessin::SurvolChange(const std::string& texte) {
    const QString t = QString::fromStdString(texte);
    setToolTip(t);
    // A tip already on screen follows the cursor's readout instead of keeping the old text.
    if (QToolTip::isVisible() && underMouse())
        QToolTip::showText(QCursor::pos(), t, this);
}

void ZoneDessin::paintEvent(QPaintEvent*) {
    Compose(compose_);
    const ImageRaster& raster = Raster();
    const QImage image(reinterpret_cast<const uchar*>(compose_.data()), raster.LargeurPx(),
                       raster.HauteurPx(), raster.LargeurPx() * static_cast<int>(sizeof(std::uint32_t)),
                       QImage::Format_RGB32);
    QPainter p(this);
    const QRect interieur(OrigineRaster(), image.size());
    // Anything beyond raster and border (only for a moment while resizing) shows the face colour.
    for (const QRect& r : QRegion(rect()).subtracted(interieur))
        p.fillRect(r, Gris);
    if (!decalage_.isNull()) {
        // During a pan the picture follows the hand; the redraw comes on release.
        p.fillRect(interieur, QColor::fromRgb(ImageRaster::Fond));
        p.setClipRect(interieur);
    }
    p.drawImage(interieur.topLeft() + decalage_, image);
    p.setClipping(false);
    DessineBordEnfonce(p, interieur.adjusted(-BordBoite, -BordBoite, BordBoite, BordBoite));
    if (hasFocus()) {
        // The focus mark: a dotted frame just inside the border.
        QPen pointille(Qt::black, 1, Qt::DotLine);
        p.setPen(pointille);
        p.drawRect(interieur.adjusted(1, 1, -2, -2));
    }
}

void ZoneDessin::Appelle(const Souris& f, short bouton, short shift, QPointF position) {
    // The border is not part of the area: no events there.
    const auto u =
        PointSous(static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y())));
    if (f && u)
        f(bouton, shift, u->X, u->Y);
}

void ZoneDessin::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::MiddleButton || !debutGlisse_)
        return;
    const QPoint debut = *debutGlisse_ - OrigineRaster(), fin = e->position().toPoint() - OrigineRaster();
    debutGlisse_.reset();
    decalage_ = {};
    update();
    if (const auto g = GlissementVue(Raster(), debut.x(), debut.y(), fin.x(), fin.y()); g && surGlisse_)
        surGlisse_(g->dX, g->dY);
}

void ZoneDessin::wheelEvent(QWheelEvent* e) {
    const int crans = molette_.Ajoute(e->angleDelta().y());
    if (crans == 0 || !surMolette_)
        return;
    const QPoint p = e->position().toPoint();
    if (const auto u = PointSous(p.x(), p.y()))
        surMolette_(u->X, u->Y, crans);
}

namespace {
// The keys the drawing area takes itself; the window's table says what they do.
std::optional<Touche> ToucheDeZone(int k) {
    switch (k) {
    case Qt::Key_Left:
        return Touche::Gauche;
    case Qt::Key_Right:
        return Touche::Droite;
    case Qt::Key_Up:
        return Touche::Haut;
    case Qt::Key_Down:
        return Touche::Bas;
    case Qt::Key_Escape:
        return Touche::Echap;
    default:
        return std::nullopt;
    }
}
} // namespace

void ZoneDessin::keyPressEvent(QKeyEvent* e) {
    const auto t = ToucheDeZone(e->key());
    const auto g = t ? GestePour(*t, e->modifiers() & Qt::ControlModifier, true) : std::nullopt;
    if (g == Geste::Abandon && surEchap_) {
        surEchap_();
        return;
    }
    if (const auto [x, y] = g ? DeplacementDe(*g) : std::pair{0, 0}; (x || y) && surFleche_) {
        surFleche_(x, y);
        return;
    }
    QWidget::keyPressEvent(e);
}

void ZoneDessin::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    update();
}

void ZoneDessin::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    update();
}

void ZoneDessin::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton)
        debutGlisse_ = e->position().toPoint();
    const short bouton = Boutons(e->button());
    if (bouton == 0)
        return;
    Appelle(surAppui_, bouton, Touches(e->modifiers()), e->position());
}

void ZoneDessin::mouseMoveEvent(QMouseEvent* e) {
    if (debutGlisse_ && (e->buttons() & Qt::MiddleButton)) {
        decalage_ = e->position().toPoint() - *debutGlisse_;
        update();
    }
    Appelle(surMouvement_, Boutons(e->buttons()), Touches(e->modifiers()), e->position());
}

} // namespace parvel::ui
