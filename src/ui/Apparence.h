// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fonts, colours and twip conversions shared by the windows.
#include <QColor>
#include <QFont>
#include <QRect>

class QApplication;
class QCoreApplication;
class QPainter;
class QWidget;

namespace parvel::ui {

inline constexpr double TwipsParPouce = 1440.0;

// Twips of the widget's screen, from its logical resolution.
struct Twips {
    double parPixelX = 15.0, parPixelY = 15.0;

    static Twips De(const QWidget* w);
    int EnPixelsX(double twips) const;
    int EnPixelsY(double twips) const;
    QRect Rectangle(double left, double top, double width, double height) const;
};

// "Arial" 9.6 pt, or the metric-compatible face installed in its place.
QFont PoliceArial();
// "MS Sans Serif" 9.6 pt, mapped to a sans face that is present.
QFont PoliceSansSerif();
// "Times New Roman", mapped to a serif face that is present.
QFont PoliceTimes(double points);

// The light grey face of the window and of its picture boxes.
inline const QColor Gris(192, 192, 192);

// Entry of the 16-colour palette; out of range reads as black.
QColor CouleurPalette(int indice);

// The classic look the layout was drawn for: 3D controls on a light grey face, frame
// captions set into the border line, greyed text readable on the face colour.
void AppliqueApparence(QApplication& app);

// Qt's own French texts for the standard dialogs and buttons ("Ouvrir", "Annuler").
void ChargeTraductions(QCoreApplication& app);

// Width in pixels of the sunken border of the picture boxes.
inline constexpr int BordBoite = 2;
// Draws that border along the edges of `r`.
void DessineBordEnfonce(QPainter& p, const QRect& r);

} // namespace parvel::ui
