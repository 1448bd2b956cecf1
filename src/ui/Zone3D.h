// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 3D view's area: shows the picture the core renders, lays the playback's wire over
// it, and turns a left-drag into an orbit, the wheel into a zoom and Home into the
// starting view; each asks the window to draw again.
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "controleur/Interactions.h"
#include "view/Vue3D.h"

namespace parvel::ui {

class Zone3D : public QWidget {
    Q_OBJECT
  public:
    explicit Zone3D(QWidget* parent = nullptr);

    Rendu3D& Rendu() { return rendu_; }
    Camera3D& Camera() { return camera_; }
    // Runs whenever the view needs drawing again (a new angle, zoom or size).
    void SurChangement(std::function<void()> f) { surChangement_ = std::move(f); }
    void MontreFil(const std::optional<Fil>& fil);
    const std::optional<Fil>& FilMontre() const { return fil_; }
    // The picture as shown, wire included, 0xFFRRGGBB.
    const std::vector<std::uint32_t>& Compose();

    QSize sizeHint() const override { return QSize(640, 420); }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void Change();
    Rendu3D rendu_{1, 1};
    Camera3D camera_;
    std::optional<Fil> fil_;
    std::vector<std::uint32_t> compose_;
    std::function<void()> surChangement_;
    std::optional<QPoint> dernier_; // the left-drag's last position
    CompteurCrans molette_;
};

} // namespace parvel::ui
