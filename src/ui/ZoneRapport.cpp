#include "ui/ZoneRapport.h"

#include <QPainter>

#include "ui/Apparence.h"

namespace parvel::ui {

ZoneRapport::ZoneRapport(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ZoneRapport::Efface() {
    lignes_.clear();
    update();
}

void ZoneRapport::Imprime(int couleur, std::string_view ligne) {
    lignes_.push_back({couleur, QString::fromUtf8(ligne.data(), static_cast<qsizetype>(ligne.size()))});
    update();
}

void ZoneRapport::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Gris);
    DessineBordEnfonce(p, rect());
    p.setClipRect(rect().adjusted(BordBoite, BordBoite, -BordBoite, -BordBoite));
    p.setFont(font());
    const QFontMetrics fm(font());
    int y = BordBoite + fm.ascent();
    for (const Ligne& l : lignes_) {
        p.setPen(CouleurPalette(l.couleur));
        p.drawText(BordBoite, y, l.texte);
        y += fm.height();
    }
}

} // namespace parvel::ui
