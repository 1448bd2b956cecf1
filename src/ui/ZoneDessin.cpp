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
    : QWidget(parent),
      raster_(std::max(1, largeurPx - 2 * BordBoite), std::max(1, hauteurPx - 2 * BordBoite), twipsParPixel) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

QSize ZoneDessin::sizeHint() const {
    return QSize(raster_.LargeurPx() + 2 * BordBoite, raster_.HauteurPx() + 2 * BordBoite);
}

float ZoneDessin::Largeur() const {
    return static_cast<float>((raster_.LargeurPx() + 2 * BordBoite) * raster_.TwipsParPixel());
}

float ZoneDessin::Hauteur() const {
    return static_cast<float>((raster_.HauteurPx() + 2 * BordBoite) * raster_.TwipsParPixel());
}

void ZoneDessin::DefinitTaille(float largeur, float hauteur) {
    const double bord = 2 * BordBoite * raster_.TwipsParPixel();
    raster_.DefinitTaille(static_cast<float>(largeur - bord), static_cast<float>(hauteur - bord));
    resize(sizeHint());
    Rafraichit();
}

void ZoneDessin::Efface() {
    raster_.Efface();
    Rafraichit();
}

void ZoneDessin::Ligne(double x1, double y1, double x2, double y2, int couleur) {
    raster_.Ligne(x1, y1, x2, y2, couleur);
    Rafraichit();
}

void ZoneDessin::LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) {
    raster_.LigneRGB(x1, y1, x2, y2, rgb);
    Rafraichit();
}

void ZoneDessin::MontreLegende(std::optional<LegendeVitesses> legende) {
    raster_.MontreLegende(legende);
    Rafraichit();
}

void ZoneDessin::Point(double x, double y, int couleur) {
    raster_.Point(x, y, couleur);
    Rafraichit();
}

void ZoneDessin::Cercle(double x, double y, double rayon, int couleur) {
    raster_.Cercle(x, y, rayon, couleur);
    Rafraichit();
}

void ZoneDessin::Imprime(std::string_view texte) {
    raster_.Imprime(texte);
    Rafraichit();
}

void ZoneDessin::ImprimeAcote(std::string_view texte, double rayon) {
    raster_.ImprimeAcote(texte, rayon);
    Rafraichit();
}

void ZoneDessin::DefinitTexteSurvol(std::string texte) {
    const QString t = QString::fromStdString(texte);
    raster_.DefinitTexteSurvol(std::move(texte));
    setToolTip(t);
    // A tip already on screen follows the cursor's readout instead of keeping the old text.
    if (QToolTip::isVisible() && underMouse())
        QToolTip::showText(QCursor::pos(), t, this);
}

void ZoneDessin::PlaceForme(Forme f, Placement p) {
    raster_.PlaceForme(f, p);
    Rafraichit();
}

void ZoneDessin::MontreForme(Forme f, bool visible) {
    raster_.MontreForme(f, visible);
    Rafraichit();
}

void ZoneDessin::MontreFil(std::optional<Fil> fil) {
    raster_.MontreFil(fil);
    Rafraichit();
}

void ZoneDessin::MontreSurlignage(std::optional<Surlignage> s) {
    raster_.MontreSurlignage(s);
    Rafraichit();
}

void ZoneDessin::Rafraichit() {
    // A redraw changes the picture millions of times: one request until the next paint.
    if (rafraichissementDemande_)
        return;
    rafraichissementDemande_ = true;
    update();
}

void ZoneDessin::paintEvent(QPaintEvent*) {
    rafraichissementDemande_ = false;
    raster_.Compose(compose_);
    const QImage image(reinterpret_cast<const uchar*>(compose_.data()), raster_.LargeurPx(),
                       raster_.HauteurPx(), raster_.LargeurPx() * static_cast<int>(sizeof(std::uint32_t)),
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
    if (!f)
        return;
    const int px = static_cast<int>(std::floor(position.x())) - BordBoite;
    const int py = static_cast<int>(std::floor(position.y())) - BordBoite;
    // The border is not part of the area: no events there.
    if (px < 0 || py < 0 || px >= raster_.LargeurPx() || py >= raster_.HauteurPx())
        return;
    const PointUtilisateur u = raster_.VersUtilisateur(px, py);
    f(bouton, shift, u.X, u.Y);
}

void ZoneDessin::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::MiddleButton || !debutGlisse_)
        return;
    const QPoint debut = *debutGlisse_ - OrigineRaster(), fin = e->position().toPoint() - OrigineRaster();
    debutGlisse_.reset();
    decalage_ = {};
    update();
    if (!surGlisse_ || debut == fin)
        return;
    const PointUtilisateur a = raster_.VersUtilisateur(debut.x(), debut.y());
    const PointUtilisateur b = raster_.VersUtilisateur(fin.x(), fin.y());
    surGlisse_(a.X - b.X, a.Y - b.Y);
}

void ZoneDessin::wheelEvent(QWheelEvent* e) {
    resteMolette_ += e->angleDelta().y();
    const int crans = resteMolette_ / 120;
    resteMolette_ %= 120;
    if (crans == 0 || !surMolette_)
        return;
    const QPoint p = e->position().toPoint() - OrigineRaster();
    if (p.x() < 0 || p.y() < 0 || p.x() >= raster_.LargeurPx() || p.y() >= raster_.HauteurPx())
        return;
    const PointUtilisateur u = raster_.VersUtilisateur(p.x(), p.y());
    surMolette_(u.X, u.Y, crans);
}

void ZoneDessin::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if (k == Qt::Key_Escape && surEchap_) {
        surEchap_();
        return;
    }
    if (surFleche_ && (k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down)) {
        surFleche_(k == Qt::Key_Right  ? 1
                   : k == Qt::Key_Left ? -1
                                       : 0,
                   k == Qt::Key_Up     ? 1
                   : k == Qt::Key_Down ? -1
                                       : 0);
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
