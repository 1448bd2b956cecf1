// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ZoneRapport.h"

#include <QTextBlock>
#include <QTextCursor>

#include "ui/Apparence.h"

namespace parvel::ui {

ZoneRapport::ZoneRapport(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette p = palette();
    p.setColor(QPalette::Base, Gris);
    setPalette(p);
    document()->setDocumentMargin(1);
}

void ZoneRapport::Efface() {
    lignes_.clear();
    clear();
}

void ZoneRapport::Imprime(int couleur, std::string_view ligne) {
    lignes_.push_back({couleur, QString::fromUtf8(ligne.data(), static_cast<qsizetype>(ligne.size()))});
    QTextCharFormat format;
    format.setForeground(CouleurPalette(couleur));
    QTextCursor c(document());
    c.movePosition(QTextCursor::End);
    if (lignes_.size() > 1)
        c.insertBlock();
    c.insertText(lignes_.back().texte, format);
}

} // namespace parvel::ui
