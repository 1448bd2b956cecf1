// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Apparence.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <QWidget>
#include <cmath>

#include "plateforme/Surface.h"

namespace parvel::ui {

Twips Twips::De(const QWidget* w) {
    Twips t;
    const int dx = w->logicalDpiX(), dy = w->logicalDpiY();
    if (dx > 0)
        t.parPixelX = TwipsParPouce / dx;
    if (dy > 0)
        t.parPixelY = TwipsParPouce / dy;
    return t;
}

int Twips::EnPixelsX(double twips) const {
    return static_cast<int>(std::lround(twips / parPixelX));
}

int Twips::EnPixelsY(double twips) const {
    return static_cast<int>(std::lround(twips / parPixelY));
}

QRect Twips::Rectangle(double left, double top, double width, double height) const {
    // Both edges are rounded, so that neighbours in twips stay neighbours in pixels.
    const int x0 = EnPixelsX(left), y0 = EnPixelsY(top);
    return QRect(x0, y0, EnPixelsX(left + width) - x0, EnPixelsY(top + height) - y0);
}

namespace {

QFont Police(const QStringList& familles, double points) {
    QFont f(familles.front());
    f.setFamilies(familles);
    f.setPointSizeF(points);
    return f;
}

} // namespace

QFont PoliceArial() {
    return Police({"Arial", "Liberation Sans", "Arimo", "Helvetica", "DejaVu Sans"}, 9.6);
}

QFont PoliceSansSerif() {
    return Police({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"}, 9.6);
}

QFont PoliceTimes(double points) {
    return Police({"Times New Roman", "Liberation Serif", "Tinos", "Times", "DejaVu Serif"}, points);
}

QColor CouleurPalette(int indice) {
    if (indice < 0 || indice > 15)
        return QColor(0, 0, 0);
    return QColor::fromRgb(Palette[indice]);
}

void AppliqueApparence(QApplication& app) {
    if (QStyle* style = QStyleFactory::create("Windows"))
        app.setStyle(style);
    QPalette p = app.style()->standardPalette();
    for (QPalette::ColorRole r : {QPalette::Window, QPalette::Button}) {
        p.setColor(QPalette::All, r, Gris);
    }
    p.setColor(QPalette::All, QPalette::Light, Qt::white);
    p.setColor(QPalette::All, QPalette::Midlight, QColor(223, 223, 223));
    p.setColor(QPalette::All, QPalette::Mid, QColor(160, 160, 160));
    p.setColor(QPalette::All, QPalette::Dark, QColor(128, 128, 128));
    p.setColor(QPalette::All, QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Active, r, Qt::black);
        p.setColor(QPalette::Inactive, r, Qt::black);
        p.setColor(QPalette::Disabled, r, QColor(128, 128, 128));
    }
    app.setPalette(p);
}

void DessineBordEnfonce(QPainter& p, const QRect& r) {
    // Outer edge grey over white, inner edge black over the face colour.
    const QColor haut[] = {QColor(128, 128, 128), Qt::black};
    const QColor bas[] = {Qt::white, Gris};
    for (int i = 0; i < BordBoite; ++i) {
        const QRect c = r.adjusted(i, i, -i, -i);
        p.fillRect(QRect(c.left(), c.top(), c.width(), 1), haut[i]);
        p.fillRect(QRect(c.left(), c.top(), 1, c.height()), haut[i]);
        p.fillRect(QRect(c.left(), c.bottom(), c.width(), 1), bas[i]);
        p.fillRect(QRect(c.right(), c.top(), 1, c.height()), bas[i]);
    }
}

} // namespace parvel::ui

namespace parvel::ui {

void ChargeTraductions(QCoreApplication& app) {
    auto* traduction = new QTranslator(&app);
    if (traduction->load(QLocale(QLocale::French, QLocale::France), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(traduction);
    else
        delete traduction;
}

} // namespace parvel::ui
