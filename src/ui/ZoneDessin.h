// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area `Image1`: a widget that shows the software raster the core draws
// into, so that the picture survives any repaint, and turns mouse events into the
// area's Button/Shift/X/Y arguments. Like a picture box it has a sunken border: its
// Width and Height are the outer size, the raster is the interior.
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "controleur/Interactions.h"
#include "ui/Apparence.h"
#include "view/SurfaceRaster.h"

namespace parvel::ui {

class ZoneDessin : public QWidget, public SurfaceRaster {
    Q_OBJECT
  public:
    // Button (1 left, 2 right, 4 middle), Shift (1 Shift, 2 Ctrl, 4 Alt), position in the mapping's units.
    using Souris = std::function<void(short, short, float, float)>;

    // Outer size in pixels.
    ZoneDessin(int largeurPx, int hauteurPx, double twipsParPixel, QWidget* parent = nullptr);
    // Widget position of the raster's pixel (0, 0).
    static QPoint OrigineRaster() { return QPoint(BordBoite, BordBoite); }

    void SurAppui(Souris f) { surAppui_ = std::move(f); }
    void SurMouvement(Souris f) { surMouvement_ = std::move(f); }
    // Wheel notches (positive: away from the user) at a point of the mapping.
    void SurMolette(std::function<void(float, float, int)> f) { surMolette_ = std::move(f); }
    // A middle-button drag, as the move of the view in the mapping's units.
    void SurGlisse(std::function<void(float, float)> f) { surGlisse_ = std::move(f); }
    // Arrow keys (-1, 0 or 1 each way) and Esc while the area has the focus.
    void SurFleche(std::function<void(int, int)> f) { surFleche_ = std::move(f); }
    void SurEchap(std::function<void()> f) { surEchap_ = std::move(f); }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    // Every change shows, even behind a dialog opened in the middle of a procedure.
    void Rafraichit() override { update(); }
    void TailleChangee() override { resize(sizeHint()); }
    void SurvolChange(const std::string& texte) override;

  private:
    void Appelle(const Souris& f, short bouton, short shift, QPointF position);

    std::vector<std::uint32_t> compose_; // reused by every paint
    Souris surAppui_, surMouvement_;
    std::function<void(float, float, int)> surMolette_;
    std::function<void(float, float)> surGlisse_;
    std::function<void(int, int)> surFleche_;
    std::function<void()> surEchap_;
    // The middle-button drag: where it started, and the picture's offset meanwhile.
    std::optional<QPoint> debutGlisse_;
    QPoint decalage_;
    CompteurCrans molette_;
};

} // namespace parvel::ui
