// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FenetreAPropos.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "settings/APropos.h"
#include "ui/Apparence.h"

namespace parvel::ui {

namespace {

// Design rectangle of a label: a centred label keeps its centre when it sizes to its
// text, a left-aligned one its left edge.
constexpr const char* ProprieteGauche = "parvelGauche";
constexpr const char* ProprieteLargeur = "parvelLargeur";
constexpr const char* ProprieteCentree = "parvelCentree";

constexpr double LargeurClient = 5736, HauteurClient = 4068;
constexpr double PositionX = 2340, PositionY = 1932;
constexpr double LigneY = 3480;

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

    QLabel* titre = NouvelleEtiquette("lblTitle", "Parvel", 1524, 36, 1668, true);
    titre->setFont(PoliceTimes(28.8));
    titre->setFont(Modifie(titre->font(), true, false));
    QLabel* version = NouvelleEtiquette("lblVersion", "Version", 3372, 360, 804, false);
    version->setFont(Modifie(sansSerif, false, true));
    QLabel* description = NouvelleEtiquette("lblDescription", "Affichage de fichier CUT générés par Tavik",
                                            1320, 720, 3012, true);
    Couleur(description, QColor(0, 128, 0));
    description->hide();
    QLabel* label1 = NouvelleEtiquette("Label1", "Configuration de la table", 1680, 1080, 2460, true);
    label1->setFont(Modifie(sansSerif, true, false));
    Couleur(label1, Qt::black);
    const QString design = QString::fromUtf8(TexteConfigDesign);
    for (auto [nom, left, top] : {std::tuple{"lblConfig1", 1980, 1440}, std::tuple{"lblConfig2", 1980, 1680},
                                  std::tuple{"lblConfig3", 1980, 1920}})
        Couleur(NouvelleEtiquette(nom, design, left, top, 1740, true), Qt::black);
    QLabel* label2 = NouvelleEtiquette("Label2", "Configuration pour Fraisage", 1464, 2400, 2820, true);
    label2->setFont(Modifie(sansSerif, true, false));
    Couleur(label2, Qt::black);
    for (auto [nom, left, top] : {std::tuple{"lblConfig4", 1992, 2760}, std::tuple{"lblConfig5", 2040, 3000}})
        Couleur(NouvelleEtiquette(nom, design, left, top, 1740, true), Qt::black);

    cmdOK_ = new QPushButton("OK", this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setGeometry(tw.Rectangle(2280, 3600, 1260, 435));
    cmdOK_->setDefault(true);
    cmdOK_->setFocus();
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    // Form_Load.
    const TextesAPropos t = LitAPropos(registre, separateur);
    setWindowTitle(QString::fromStdString(t.Caption));
    version->setText(QString::fromStdString(t.Version));
    titre->setText(QString::fromStdString(t.Titre));
    const std::string* lignes[] = {&t.Config1, &t.Config2, &t.Config3, &t.Config4, &t.Config5};
    for (int i = 0; i < 5; ++i)
        Etiquette(("lblConfig" + std::to_string(i + 1)).c_str())->setText(QString::fromStdString(*lignes[i]));
    for (QLabel* l : findChildren<QLabel*>())
        Ajuste(l);

    // The client area sits at a fixed place of the screen whatever the frame.
    const QRect client = tw.Rectangle(PositionX, PositionY, LargeurClient, HauteurClient);
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
    const int x =
        l->property(ProprieteCentree).toBool()
            ? static_cast<int>(std::lround((left + width / 2) / tw.parPixelX - taille.width() / 2.0))
            : tw.EnPixelsX(left);
    l->setGeometry(x, l->y(), taille.width(), taille.height());
}

void FenetreAPropos::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    // Etched separator: a white line two pixels wide under a grey one pixel wide.
    const Twips tw = Twips::De(this);
    const int y = tw.EnPixelsY(LigneY);
    QPainter p(this);
    p.fillRect(QRect(QPoint(tw.EnPixelsX(120), y), QPoint(tw.EnPixelsX(5675) - 1, y + 1)), Qt::white);
    p.fillRect(QRect(QPoint(tw.EnPixelsX(120), y), QPoint(tw.EnPixelsX(5690) - 1, y)), QColor(128, 128, 128));
}

} // namespace parvel::ui
