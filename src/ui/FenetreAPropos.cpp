// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FenetreAPropos.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "controleur/Disposition.h"
#include "settings/APropos.h"
#include "ui/Apparence.h"

namespace parvel::ui {

namespace {

// Design rectangle of a label: a centred label keeps its centre when it sizes to its
// text, a left-aligned one its left edge.
constexpr const char* ProprieteGauche = "parvelGauche";
constexpr const char* ProprieteLargeur = "parvelLargeur";
constexpr const char* ProprieteCentree = "parvelCentree";

using namespace disposition::apropos;

void Couleur(QLabel* l, const QColor& c) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
}

QFont Modifie(QFont f, bool gras, bool italique) {
    f.setBold(gras);
    f.setItalic(italique);
    return f;
}

} // namespace

FenetreAPropos::FenetreAPropos(Registre& registre, const std::string& separateur, Dialogues& dialogues)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    // No parent: the box outlives a main window closed by the window system, and the
    // program ends only once both are closed. The tool kind keeps it out of the task bar.
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    // Qt leaves tool windows out of the last-window count; this box must keep the program alive.
    setAttribute(Qt::WA_QuitOnClose);
    setModal(false);
    setWindowIcon(QIcon());

    const Twips tw = Twips::De(this);
    QFont sansSerif = PoliceSansSerif();
    // The standard dialog font of the platform the box was drawn on: MS Sans Serif 8.25 pt.
    QFont dialogue = sansSerif;
    dialogue.setPointSizeF(8.25);
    setFont(dialogue);

    // Form_Load.
    const TextesAPropos t = LitAPropos(registre, separateur);
    for (int i = 0; i < 10; ++i) {
        const ModeleEtiquette& m = Etiquettes[i];
        QLabel* l =
            NouvelleEtiquette(m.nom, QString::fromStdString(TexteEtiquette(t, i)), m.l, m.t, m.w, m.centree);
        if (m.police == Police::Titre)
            l->setFont(Modifie(PoliceTimes(28.8), true, false));
        else if (m.police != Police::Dialogue)
            l->setFont(Modifie(sansSerif, m.police == Police::Entete, m.police == Police::Version));
        if (i == EtiquetteDescription) {
            Couleur(l, QColor(0, 128, 0));
            l->hide();
        } else if (m.police != Police::Titre && m.police != Police::Version) {
            Couleur(l, Qt::black);
        }
    }

    cmdOK_ = new QPushButton("OK", this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setGeometry(tw.Rectangle(OK.l, OK.t, OK.w, OK.h));
    cmdOK_->setDefault(true);
    cmdOK_->setFocus();
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    setWindowTitle(QString::fromStdString(t.Caption));
    for (QLabel* l : findChildren<QLabel*>())
        Ajuste(l);

    // The client area sits at a fixed place of the screen whatever the frame.
    const QRect client = tw.Rectangle(Client.l, Client.t, Client.w, Client.h);
    setFixedSize(client.size());
    setGeometry(client);

    if (t.MessageErreur)
        dialogues.Message(*t.MessageErreur);
    if (t.FinProgramme) {
        termine_ = true;
        dialogues.Termine();
    }
}

QLabel* FenetreAPropos::Etiquette(const char* nom) const {
    return findChild<QLabel*>(nom, Qt::FindDirectChildrenOnly);
}

QLabel* FenetreAPropos::NouvelleEtiquette(const char* nom, const QString& texte, double left, double top,
                                          double width, bool centree) {
    auto* l = new QLabel(texte, this);
    l->setObjectName(nom);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment((centree ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    l->setProperty(ProprieteGauche, left);
    l->setProperty(ProprieteLargeur, width);
    l->setProperty(ProprieteCentree, centree);
    const Twips tw = Twips::De(this);
    l->move(tw.EnPixelsX(left), tw.EnPixelsY(top));
    return l;
}

void FenetreAPropos::Ajuste(QLabel* l) {
    const Twips tw = Twips::De(this);
    const double left = l->property(ProprieteGauche).toDouble();
    const double width = l->property(ProprieteLargeur).toDouble();
    const QSize taille = l->sizeHint();
    const int x = disposition::GaucheEtiquette(left, width, l->property(ProprieteCentree).toBool(),
                                               tw.parPixelX, taille.width());
    l->setGeometry(x, l->y(), taille.width(), taille.height());
}

void FenetreAPropos::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    // Etched separator: a white line two pixels wide under a grey one pixel wide.
    const Twips tw = Twips::De(this);
    const int y = tw.EnPixelsY(LigneY);
    QPainter p(this);
    const int x0 = tw.EnPixelsX(LigneGauche);
    p.fillRect(QRect(QPoint(x0, y), QPoint(tw.EnPixelsX(LigneDroite) - 1, y + 1)), Qt::white);
    p.fillRect(QRect(QPoint(x0, y), QPoint(tw.EnPixelsX(LigneOmbre) - 1, y)), QColor(128, 128, 128));
}

} // namespace parvel::ui
