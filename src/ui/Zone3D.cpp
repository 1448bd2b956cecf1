// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Zone3D.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace parvel::ui {

Zone3D::Zone3D(QWidget* parent) : QWidget(parent) {
    setObjectName("Image3D");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(120, 80);
    rendu_.Redimensionne(sizeHint().width(), sizeHint().height());
}

void Zone3D::Change() {
    if (surChangement_)
        surChangement_();
    update();
}

void Zone3D::MontreFil(const std::optional<Fil>& fil) {
    fil_ = fil;
    update();
}

const std::vector<std::uint32_t>& Zone3D::Compose() {
    rendu_.Compose(compose_, fil_);
    return compose_;
}

void Zone3D::paintEvent(QPaintEvent*) {
    const std::vector<std::uint32_t>& p = Compose();
    const QImage image(reinterpret_cast<const uchar*>(p.data()), rendu_.LargeurPx(), rendu_.HauteurPx(),
                       QImage::Format_RGB32);
    QPainter peintre(this);
    peintre.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
    peintre.drawImage(0, 0, image);
}

void Zone3D::resizeEvent(QResizeEvent*) {
    if (width() == rendu_.LargeurPx() && height() == rendu_.HauteurPx())
        return;
    rendu_.Redimensionne(width(), height());
    Change();
}

void Zone3D::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        dernier_ = e->position().toPoint();
}

void Zone3D::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || !dernier_) {
        dernier_.reset();
        return;
    }
    const QPoint p = e->position().toPoint();
    const QPoint d = p - *dernier_;
    dernier_ = p;
    if (d.isNull())
        return;
    camera_.Orbite(d.x(), d.y());
    Change();
}

void Zone3D::wheelEvent(QWheelEvent* e) {
    const int crans = molette_.Ajoute(e->angleDelta().y());
    if (crans == 0)
        return;
    camera_.Zoome(crans);
    Change();
}

void Zone3D::keyPressEvent(QKeyEvent* e) {
    if (e->key() != Qt::Key_Home)
        return QWidget::keyPressEvent(e);
    camera_ = Camera3D{};
    Change();
}

} // namespace parvel::ui
