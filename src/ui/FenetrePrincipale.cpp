// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FenetrePrincipale.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "controleur/Disposition.h"
#include "controleur/Presentation.h"
#include "cut/Chargeur.h"
#include "settings/OuvreRegistre.h"
#include "settings/Preferences.h"
#include "ui/DialoguesQt.h"
#include "ui/FenetreAPropos.h"
#include "ui/PanneauVerifications.h"
#include "ui/SuiviTravail.h"
#include "ui/ZoneDessin.h"
#include "ui/ZoneRapport.h"

#include "parvel.xpm"

namespace parvel::ui {

// Check boxes, option buttons and the "Activation" check mark as the controller sees
// them. A change made here emits no signal: the controller runs the handler itself,
// and the toggled signal stands for the user's clicks alone.
class ControlesQt : public Controles {
  public:
    ControlesQt(QCheckBox* const* cases, QRadioButton* const* options, QAction* activation)
        : activation_(activation) {
        std::copy(cases, cases + 4, cases_);
        std::copy(options, options + 3, options_);
    }
    bool Coche(Case c) const override { return cases_[static_cast<int>(c)]->isChecked(); }
    void DefinitCoche(Case c, bool coche) override {
        const QSignalBlocker muet(cases_[static_cast<int>(c)]);
        cases_[static_cast<int>(c)]->setChecked(coche);
    }
    bool Choisie(Option o) const override { return options_[static_cast<int>(o)]->isChecked(); }
    void Choisit(Option o) override {
        const QSignalBlocker muet(options_[static_cast<int>(o)]);
        options_[static_cast<int>(o)]->setChecked(true);
    }
    bool Active(Option o) const override { return options_[static_cast<int>(o)]->isEnabled(); }
    void DefinitActive(Option o, bool active) override { options_[static_cast<int>(o)]->setEnabled(active); }
    bool FraisageActif() const override { return activation_->isChecked(); }
    void DefinitFraisageActif(bool coche) override { activation_->setChecked(coche); }

  private:
    QCheckBox* cases_[4];
    QRadioButton* options_[3];
    QAction* activation_;
};

namespace {

using disposition::Rect;

void CouleurTexte(QWidget* w, const QColor& texte) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, texte);
    // Buttons paint their background with the Button role.
    p.setColor(QPalette::Window, Gris);
    p.setColor(QPalette::Button, Gris);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QColor Couleur(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// The Qt name of a key of the table, and the table's keys of a gesture.
Qt::Key CleQt(Touche t) {
    static constexpr Qt::Key Cles[] = {
        Qt::Key_Plus,  Qt::Key_Minus,  Qt::Key_Equal, Qt::Key_Left,   Qt::Key_Right, Qt::Key_Up,
        Qt::Key_Down,  Qt::Key_Escape, Qt::Key_Home,  Qt::Key_Insert, Qt::Key_F5,    Qt::Key_F7,
        Qt::Key_Space, Qt::Key_C,      Qt::Key_M,     Qt::Key_O,      Qt::Key_3};
    return Cles[static_cast<int>(t)];
}

QList<QKeySequence> Touches(Geste g) {
    QList<QKeySequence> r;
    for (const Raccourci& k : Raccourcis)
        if (k.geste == g)
            r << QKeySequence(k.ctrl ? Qt::CTRL | CleQt(k.touche) : QKeyCombination(CleQt(k.touche)));
    return r;
}

} // namespace

FenetrePrincipale::FenetrePrincipale(Dialogues* dialogues, Registre* registre) {
    setObjectName("Principale");
    setWindowTitle("Parvel");
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowIcon(QIcon(QPixmap(parvel_xpm)));
    twips_ = Twips::De(this);

    Construit();
    ConstruitMenus();
    ConstruitMenuLecture();
    ConstruitVerifications();

    controles_ = std::make_unique<ControlesQt>(cases_, options_, activation_);
    copiable_ = std::make_unique<RapportCopiable>(*sortie_);
    dialoguesQt_ = std::make_unique<DialoguesQt>(
        this, [this] { MontreAPropos(); }, [this] { Termine(); });
    dialogues_ = dialogues ? dialogues : dialoguesQt_.get();
    if (!registre) {
        registrePropre_ = OuvreRegistre("");
        registre = registrePropre_.get();
    }
    registre_ = registre;
    AppliqueCadre(LitFenetreEncadree(*registre_));
    principale_ =
        std::make_unique<Principale>(Plateforme{*image1_, *copiable_, *controles_, *dialogues_, *registre_});
    principale_->DefinitSortieFaces(sortieFaces_);
    suivi_ = std::make_unique<SuiviTravail>(this, image1_, fin_);
    principale_->DefinitSuivi(suivi_.get());
    routeur_ = std::make_unique<Routeur>(*dialogues_, *suivi_);
    taille_.setSingleShot(true);
    connect(&taille_, &QTimer::timeout, this, [this] { RouteTaille(); });
    stabilite_.setSingleShot(true);
    stabilite_.setInterval(Rechargement::DelaiMs);
    connect(&stabilite_, &QTimer::timeout, this, [this] { FichierModifie(); });
    horloge_.setInterval(Lecteur::TicMs);
    connect(&horloge_, &QTimer::timeout, this, [this] {
        const double secondes = static_cast<double>(chrono_.nsecsElapsed()) / 1e9;
        chrono_.restart();
        // The hand on the slider has the last word.
        if (!curseur_->isSliderDown())
            Route([&] { principale_->Lecture_Avance(secondes); });
    });
    connect(&veille_, &QFileSystemWatcher::fileChanged, this, [this] {
        // A file replaced by a rename leaves the watch: it is set again after the reload.
        rechargement_.Change();
        stabilite_.start();
    });
    setAcceptDrops(true);

    resize(twips_.EnPixelsX(disposition::LargeurClient),
           menuBar()->sizeHint().height() + twips_.EnPixelsY(disposition::HauteurClient));
    // Every control whole, and a drawing area of a usable size below them.
    setMinimumSize(twips_.EnPixelsX(disposition::LargeurClient),
                   menuBar()->sizeHint().height() +
                       twips_.EnPixelsY(1.5 * disposition::Image1.t + disposition::HauteurDessinMin));
    Route([this] { principale_->Form_Load(); });
    {
        const QSignalBlocker muet(rechargementAuto_);
        rechargementAuto_->setChecked(LitRechargementAuto(*registre_));
    }
}

FenetrePrincipale::~FenetrePrincipale() {
    // The controls outlive the owner for a moment: nothing may reach it any more.
    principale_.reset();
    delete aPropos_;
    delete fenetre3D_;
}

void FenetrePrincipale::Construit() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    QPalette fond = client->palette();
    fond.setColor(QPalette::Window, Gris);
    client->setPalette(fond);
    client->setAutoFillBackground(true);
    client->setFont(PoliceArial());
    setCentralWidget(client);

    auto place = [&](QWidget* w, const char* nom, Rect r) {
        w->setObjectName(nom);
        w->setGeometry(twips_.Rectangle(r.l, r.t, r.w, r.h));
    };

    // Created from the last listed to the first, so that the first lies on top: the
    // frames stay behind the check boxes and option buttons drawn over them.
    for (int i = 2; i >= 0; --i) {
        const disposition::ModeleCadre& c = disposition::Cadres[i];
        auto* g = new QGroupBox(QString::fromUtf8(c.titre), client);
        g->setFocusPolicy(Qt::NoFocus);
        place(g, c.nom, c.r);
    }

    const Rect& zone = disposition::Image1;
    image1_ = new ZoneDessin(twips_.EnPixelsX(zone.w), twips_.EnPixelsY(zone.h), twips_.parPixelX, client);
    place(image1_, "Image1", zone);
    image1_->SurAppui([this](short b, short s, float x, float y) {
        Route([&] { principale_->Image1_MouseDown(b, s, x, y); });
    });
    image1_->SurMouvement([this](short b, short s, float x, float y) {
        Route([&] { principale_->Image1_MouseMove(b, s, x, y); });
    });
    image1_->SurMolette(
        [this](float x, float y, int crans) { Route([&] { principale_->Image1_Molette(x, y, crans); }); });
    image1_->SurGlisse([this](float dx, float dy) { Route([&] { principale_->Image1_Glisse(dx, dy); }); });
    image1_->SurFleche([this](int dx, int dy) { Route([&] { principale_->Deplace(dx, dy); }); });
    image1_->SurEchap([this] { Route([this] { principale_->Image1_Echap(); }); });

    auto* groupe = new QButtonGroup(this);
    groupe->setExclusive(true);
    for (const auto& o : disposition::Options) {
        auto* b = new QRadioButton(QString::fromUtf8(o.titre), client);
        place(b, o.nom, o.r);
        groupe->addButton(b);
        options_[static_cast<int>(o.o)] = b;
        // Only the button that becomes selected runs its handler.
        connect(b, &QAbstractButton::toggled, this, [this, clic = o.clic](bool choisi) {
            if (choisi)
                Route([&] { (principale_.get()->*clic)(); });
        });
    }
    options_[static_cast<int>(Option::Variable)]->setEnabled(false);

    auto* chargeOut = new QPushButton("Out.Cut", client);
    place(chargeOut, "ChargeOut", disposition::ChargeOut);
    connect(chargeOut, &QPushButton::clicked, this,
            [this] { Route([this] { principale_->ChargeOut_Click(); }); });

    for (const auto& c : disposition::Cases) {
        auto* b = new QCheckBox(QString::fromUtf8(c.titre), client);
        place(b, c.nom, c.r);
        b->setFont(PoliceSansSerif());
        CouleurTexte(b, Couleur(c.couleur));
        b->setChecked(true);
        cases_[static_cast<int>(c.c)] = b;
        // Only the user's click reaches here: the controller runs the handler of its own changes.
        connect(b, &QAbstractButton::toggled, this,
                [this, clic = c.clic] { Route([&] { (principale_.get()->*clic)(); }); });
    }

    sortie_ = new ZoneRapport(client);
    place(sortie_, "Sortie", disposition::Sortie);

    auto* dessine = new QPushButton("Dessine", client);
    place(dessine, "Commande1", disposition::Commande1);
    connect(dessine, &QPushButton::clicked, this,
            [this] { Route([this] { principale_->Commande1_Click(); }); });
    auto* efface = new QPushButton("Efface", client);
    place(efface, "Commande2", disposition::Commande2);
    connect(efface, &QPushButton::clicked, this,
            [this] { Route([this] { principale_->Commande2_Click(); }); });

    for (QPushButton* b : {chargeOut, dessine, efface})
        b->setAutoDefault(false);
    ConstruitLecture(client);

    // Keyboard order of the design, starting at the drawing area.
    const QList<QWidget*> ordre = {image1_,
                                   options_[static_cast<int>(Option::Variable)],
                                   options_[static_cast<int>(Option::Etendu)],
                                   options_[static_cast<int>(Option::Fige)],
                                   chargeOut,
                                   cases_[static_cast<int>(Case::CDroite)],
                                   cases_[static_cast<int>(Case::CGauche)],
                                   cases_[static_cast<int>(Case::PDroite)],
                                   cases_[static_cast<int>(Case::PGauche)],
                                   sortie_,
                                   dessine,
                                   efface,
                                   lire_,
                                   vitesse_,
                                   curseur_};
    for (qsizetype i = 0; i + 1 < ordre.size(); ++i)
        setTabOrder(ordre[i], ordre[i + 1]);
    image1_->setFocus();
}

void FenetrePrincipale::ConstruitMenus() {
    QMenuBar* barre = menuBar();
    // Commands placed on the bar itself run at once, without a drop-down menu.
    QAction* fin = barre->addAction("&Quitter");
    fin->setObjectName("Fin");
    fin_ = fin;
    connect(fin, &QAction::triggered, this, [this] { Route([this] { principale_->Fin_Click(); }); });

    QAction* ouvrir = barre->addAction("&Ouvrir");
    ouvrir->setObjectName("Ouvrir");
    connect(ouvrir, &QAction::triggered, this, [this] { Route([this] { principale_->Ouvrir_Click(); }); });

    QMenu* fraisage = barre->addMenu("&Fraisage");
    fraisage->setObjectName("Fraisage");
    fraisage->menuAction()->setObjectName("FraisageMenu");
    activation_ = fraisage->addAction("Activation");
    activation_->setObjectName("Act_Fraisage");
    activation_->setCheckable(true);
    connect(activation_, &QAction::triggered, this, [this](bool coche) {
        // Qt has already moved the check mark; the handler reads it to decide, then sets it itself.
        activation_->setChecked(!coche);
        Route([this] { principale_->Act_Fraisage_Click(); });
    });
    QAction* reglage = fraisage->addAction("Réglage");
    reglage->setObjectName("Réglage");
    connect(reglage, &QAction::triggered, this, [this] { Route([this] { principale_->Réglage_Click(); }); });

    QAction* aPropos = barre->addAction("&A propos");
    aPropos->setObjectName("A_propos");
    connect(aPropos, &QAction::triggered, this, [this] { Route([this] { principale_->A_propos_Click(); }); });

    // Added after the original commands, which keep their places.
    QMenu* fichiers = barre->addMenu("Fichie&rs");
    fichiers->setObjectName("Fichiers");
    // The recent files head the menu, filled each time it opens.
    connect(fichiers, &QMenu::aboutToShow, this, [this, fichiers] {
        for (QAction* a : recents_) {
            fichiers->removeAction(a);
            a->deleteLater();
        }
        recents_.clear();
        QAction* avant = fichiers->actions().value(0);
        for (const EntreeRecente& e : EntreesRecentes(LitRecents(*registre_))) {
            // Shown as Qt reads the name, opened by its bytes.
            const QString c = QFile::decodeName(QByteArray::fromStdString(e.Bulle));
            auto* a = new QAction(QFile::decodeName(QByteArray::fromStdString(e.Libelle)), fichiers);
            a->setToolTip(c);
            a->setStatusTip(c);
            connect(a, &QAction::triggered, this, [this, chemin = e.Bulle] { Ouvre(chemin); });
            fichiers->insertAction(avant, a);
            recents_.push_back(a);
        }
        if (!recents_.empty())
            recents_.push_back(fichiers->insertSeparator(avant));
    });
    fichiers->setToolTipsVisible(true);
    QAction* recharger = fichiers->addAction("Recharger");
    recharger_ = recharger;
    recharger->setEnabled(false);
    recharger->setObjectName("Recharger");
    recharger->setShortcuts(Touches(Geste::Recharger));
    connect(recharger, &QAction::triggered, this, [this] { Route([this] { principale_->Recharge(); }); });
    rechargementAuto_ = fichiers->addAction("Rechargement automatique");
    rechargementAuto_->setObjectName("RechargementAuto");
    rechargementAuto_->setCheckable(true);
    connect(rechargementAuto_, &QAction::toggled, this, [this](bool actif) {
        if (registre_)
            EcritRechargementAuto(*registre_, actif);
        SuitFichier();
    });

    QMenu* vue = barre->addMenu("&Vue");
    vue->setObjectName("Vue");
    carteVitesses_ = vue->addAction("Carte des &vitesses");
    carteVitesses_->setObjectName("CarteVitesses");
    carteVitesses_->setCheckable(true);
    carteVitesses_->setShortcuts(Touches(Geste::CarteVitesses));
    connect(carteVitesses_, &QAction::triggered, this, [this] {
        Route([this] { principale_->Vitesses_Click(); });
        carteVitesses_->setChecked(principale_->CarteVitesses());
    });
    cadre_ = vue->addAction("Fenêtre avec ca&dre");
    cadre_->setObjectName("Cadre");
    cadre_->setCheckable(true);
    connect(cadre_, &QAction::triggered, this, [this](bool encadree) {
        if (registre_)
            EcritFenetreEncadree(*registre_, encadree);
        AppliqueCadre(encadree);
    });
    ConstruitBloc(vue, centralWidget());

    ouvrir->setShortcuts(Touches(Geste::Ouvrir));
    addAction(recharger);
    auto raccourci = [this](Geste g, auto action) {
        auto* a = new QAction(this);
        a->setShortcuts(Touches(g));
        connect(a, &QAction::triggered, this, action);
        addAction(a);
    };
    raccourci(Geste::Etendu, [this] { Route([this] { principale_->Choisit(Option::Etendu); }); });
    raccourci(Geste::Copie, [this] { CopieRapport(); });
    // + and - zoom about the centre of the view.
    for (Geste g : {Geste::ZoomAvant, Geste::ZoomArriere})
        raccourci(g, [this, g] { Route([&] { principale_->ZoomeAuCentre(CransDe(g)); }); });
}

void FenetrePrincipale::ConstruitLecture(QWidget* client) {
    // In the free space right of the report, above the drawing area.
    cadreLecture_ = new QGroupBox("Lecture", client);
    cadreLecture_->setObjectName("Lecture");
    cadreLecture_->setFocusPolicy(Qt::NoFocus);
    const Rect& cadre = disposition::Lecture;
    cadreLecture_->setGeometry(twips_.Rectangle(cadre.l, cadre.t, cadre.w, cadre.h));
    // The table places them in the window; here they lie in the frame.
    auto place = [&](QWidget* w, const char* nom, Rect r) {
        w->setObjectName(nom);
        w->setGeometry(twips_.Rectangle(r.l - cadre.l, r.t - cadre.t, r.w, r.h));
    };
    lire_ = new QPushButton("Lire", cadreLecture_);
    place(lire_, "Lire", disposition::Lire);
    lire_->setAutoDefault(false);
    connect(lire_, &QPushButton::clicked, this,
            [this] { Route([this] { principale_->Lecture_Bascule(); }); });
    vitesse_ = new QComboBox(cadreLecture_);
    place(vitesse_, "VitesseLecture", disposition::VitesseLecture);
    for (int f : Lecteur::Facteurs)
        vitesse_->addItem(QString("x%1").arg(f));
    connect(vitesse_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0 && i < 4)
            Route([&] { principale_->Lecture_Vitesse(Lecteur::Facteurs[i]); });
    });
    // Tenths of a second.
    curseur_ = new QSlider(Qt::Horizontal, cadreLecture_);
    place(curseur_, "CurseurLecture", disposition::CurseurLecture);
    connect(curseur_, &QSlider::valueChanged, this,
            [this](int v) { Route([&] { principale_->Lecture_Temps(Lecteur::TempsDuCurseur(v)); }); });
    texteLecture_ = new QLabel(cadreLecture_);
    place(texteLecture_, "TexteLecture", disposition::TexteLecture);
}

void FenetrePrincipale::ConstruitMenuLecture() {
    QMenu* menu = menuBar()->addMenu("&Lecture");
    menu->setObjectName("MenuLecture");
    lireAction_ = menu->addAction("Lire");
    lireAction_->setObjectName("LectureBascule");
    lireAction_->setShortcuts(Touches(Geste::LectureBascule));
    connect(lireAction_, &QAction::triggered, this,
            [this] { Route([this] { principale_->Lecture_Bascule(); }); });
    menu->addSeparator();
    auto* groupe = new QActionGroup(this);
    for (int f : Lecteur::Facteurs) {
        QAction* a = menu->addAction(QString("x%1").arg(f));
        a->setCheckable(true);
        groupe->addAction(a);
        vitesses_.push_back(a);
        connect(a, &QAction::triggered, this, [this, f] { Route([&] { principale_->Lecture_Vitesse(f); }); });
    }
    // The shortcut works wherever the focus is in the window.
    addAction(lireAction_);
}

void FenetrePrincipale::MontreLecture() {
    if (!principale_ || !curseur_)
        return;
    const VueLecture l = PresenteLecture(*principale_);
    cadreLecture_->setEnabled(l.Disponible);
    lireAction_->setEnabled(l.Disponible);
    lire_->setText(l.Bouton);
    lireAction_->setText(l.Bouton);
    {
        const QSignalBlocker muet(curseur_);
        curseur_->setMaximum(l.Maximum);
        curseur_->setValue(l.Position);
    }
    if (l.Facteur >= 0) {
        const QSignalBlocker muet(vitesse_);
        vitesse_->setCurrentIndex(l.Facteur);
        vitesses_[static_cast<std::size_t>(l.Facteur)]->setChecked(true);
    }
    texteLecture_->setText(QString::fromStdString(l.Texte));
    if (!l.EnLecture)
        horloge_.stop();
    else if (!horloge_.isActive()) {
        chrono_.start();
        horloge_.start();
    }
}

void FenetrePrincipale::ConstruitVerifications() {
    QAction* action = menuBar()->findChild<QMenu*>("Vue")->addAction("Vé&rifications");
    action->setObjectName("MenuVerifications");
    // The key of spelling checks in office programs.
    action->setShortcuts(Touches(Geste::Verifications));
    connect(action, &QAction::triggered, this, [this] { MontrePanneauVerifications(); });
    etatVerifications_ = new QLabel(centralWidget());
    etatVerifications_->setObjectName("EtatVerifications");
    etatVerifications_->setTextFormat(Qt::RichText);
    connect(etatVerifications_, &QLabel::linkActivated, this, [this] { MontrePanneauVerifications(); });
}

void FenetrePrincipale::MontreVerifications() {
    if (!principale_ || !etatVerifications_)
        return;
    // At the foot of the margin under the drawing area, which follows the window's size.
    const QRect zone = image1_->geometry();
    etatVerifications_->setGeometry(zone.left(), HautEtatVerifications(), zone.width(),
                                    etatVerifications_->sizeHint().height());
    VueVerifications v = PresenteVerifications(*principale_);
    if (v.Textes == verifMontrees_)
        return;
    verifMontrees_ = std::move(v.Textes);
    QPalette palette = etatVerifications_->palette();
    palette.setColor(QPalette::WindowText, QColor(Palette[v.Couleur]));
    etatVerifications_->setPalette(palette);
    const QString resume = QString::fromStdString(v.Resume);
    etatVerifications_->setText(resume.isEmpty() ? QString()
                                                 : resume.toHtmlEscaped() + " — <a href=\"verifications\">" +
                                                       LienVerifications + "</a>");
    if (panneauVerif_)
        panneauVerif_->Montre(principale_->Verif(), QFile::decodeName(QByteArray::fromStdString(v.Fichier)),
                              principale_->Separateur());
}

int FenetrePrincipale::HautEtatVerifications() const {
    return etatVerifications_->parentWidget()->height() - etatVerifications_->sizeHint().height() - 1;
}

void FenetrePrincipale::MontrePanneauVerifications() {
    if (!panneauVerif_) {
        panneauVerif_ = new PanneauVerifications(this);
        panneauVerif_->SurChoix([this](int i) { Route([&] { principale_->Verification_Click(i); }); });
        verifMontrees_.clear();
        MontreVerifications();
        // Beside the window when the screen has room, so that the drawing stays in sight.
        QPoint place = frameGeometry().topRight() + QPoint(8, 0);
        if (const QScreen* ecran = screen()) {
            const QRect libre = ecran->availableGeometry();
            place.setX(std::max(libre.left(), std::min(place.x(), libre.right() - panneauVerif_->width())));
            place.setY(std::max(libre.top(), std::min(place.y(), libre.bottom() - panneauVerif_->height())));
        }
        panneauVerif_->move(place);
    }
    panneauVerif_->show();
    panneauVerif_->raise();
    panneauVerif_->activateWindow();
}

PanneauVerifications* FenetrePrincipale::PanneauVerif() const {
    return panneauVerif_.data();
}

void FenetrePrincipale::CopieRapport() {
    QApplication::clipboard()->setText(QString::fromStdString(copiable_->Texte()));
}

void FenetrePrincipale::Ouvre(const std::string& chemin) {
    Route([&] { principale_->OuvreFichier(chemin); });
}

void FenetrePrincipale::AppliqueCadre(bool encadree) {
    if (cadre_)
        cadre_->setChecked(encadree);
    if (encadree == !windowFlags().testFlag(Qt::FramelessWindowHint))
        return;
    const bool visible = isVisible();
    // A change of frame recreates the window, which Qt then hides.
    setWindowFlag(Qt::FramelessWindowHint, !encadree);
    MontreEtat();
    if (visible)
        show();
}

void FenetrePrincipale::MontreEtat() {
    if (!principale_)
        return;
    const bool encadree = !windowFlags().testFlag(Qt::FramelessWindowHint);
    setWindowTitle(encadree ? QFile::decodeName(QByteArray::fromStdString(principale_->Titre())) : "Parvel");
    recharger_->setEnabled(!principale_->CheminCourant().empty());
}

void FenetrePrincipale::SuitFichier() {
    const QString chemin = principale_ ? QString::fromStdString(principale_->CheminCourant()) : QString();
    if (principale_)
        rechargement_.Suit(principale_->CheminCourant(), principale_->Chargements());
    const QStringList suivis = veille_.files();
    const bool actif = rechargementAuto_->isChecked() && !chemin.isEmpty();
    if (suivis.size() == 1 && suivis.front() == chemin && actif)
        return;
    if (!suivis.isEmpty())
        veille_.removePaths(suivis);
    if (actif && QFileInfo::exists(chemin))
        veille_.addPath(chemin);
}

void FenetrePrincipale::FichierModifie() {
    switch (rechargement_.Regarde(routeur_->Occupe())) {
    case Rechargement::Suite::Attendre:
        stabilite_.start();
        break;
    case Rechargement::Suite::Recharger:
        Route([this] { principale_->Recharge(); });
        break;
    case Rechargement::Suite::Rien:
        break;
    }
}

void FenetrePrincipale::dragEnterEvent(QDragEnterEvent* e) {
    std::vector<std::string> chemins;
    for (const QUrl& u : e->mimeData()->urls())
        chemins.push_back(u.isLocalFile() ? OctetsDeLUrl(u) : std::string());
    if (DepotAccepte(chemins))
        e->acceptProposedAction();
}

void FenetrePrincipale::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return;
    e->acceptProposedAction();
    // After the drop has ended, so that the dragging application is not kept waiting.
    QTimer::singleShot(0, this, [this, chemin = OctetsDeLUrl(urls.front())] { Ouvre(chemin); });
}

void FenetrePrincipale::Route(const std::function<void()>& procedure) {
    if (!principale_)
        return;
    routeur_->Route(procedure, [this] {
        MontreLecture();
        MontreVerifications();
        MontreEtat();
        MontreBloc();
        image1_->update();
        sortie_->update();
        SuitFichier();
        if (suivi_->QuitterDemande())
            Termine();
    });
}

void FenetrePrincipale::RouteTaille() {
    if (routeur_ && routeur_->Occupe()) {
        taille_.start(DelaiTailleMs);
        return;
    }
    const QSize s = frameGeometry().size();
    const bool minimisee = isMinimized();
    // The drawing area gives up what the faces' figures and the checks' line need.
    margeDemandee_ = MargeBasse();
    const float hauteur = HauteurPourMarge(static_cast<float>(s.height() * twips_.parPixelY),
                                           static_cast<float>(centralWidget()->height() * twips_.parPixelY),
                                           static_cast<float>(margeDemandee_ * twips_.parPixelY));
    Route([&] {
        principale_->Form_Resize(static_cast<float>(s.width() * twips_.parPixelX), hauteur, minimisee);
    });
}

int FenetrePrincipale::MargeBasse() const {
    const std::size_t lignes = sortieFaces_ ? sortieFaces_->Lignes().size() : 0;
    const bool etat = !verifMontrees_.empty() && !verifMontrees_.front().empty();
    int marge = etat ? etatVerifications_->sizeHint().height() + 1 : 0;
    if (lignes > 0)
        marge +=
            3 + static_cast<int>(lignes) * sortieFaces_->fontMetrics().lineSpacing() +
            2 * (sortieFaces_->frameWidth() + static_cast<int>(sortieFaces_->document()->documentMargin())) +
            2;
    return marge;
}

void FenetrePrincipale::TailleChangee() {
    // With a file loaded every size redraws it: while the edge is dragged, one redraw
    // once the size has settled.
    if (const int delai = DelaiTaille(principale_ && !principale_->CheminCourant().empty()))
        taille_.start(delai);
    else
        RouteTaille();
}

void FenetrePrincipale::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    TailleChangee();
}

void FenetrePrincipale::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange)
        TailleChangee();
}

void FenetrePrincipale::MontreAPropos() {
    if (!aPropos_) {
        auto* boite = new FenetreAPropos(*registre_, principale_->Separateur(), *dialogues_);
        if (boite->Termine()) {
            delete boite;
            return;
        }
        aPropos_ = boite;
    }
    aPropos_->show();
    aPropos_->raise();
    aPropos_->activateWindow();
}

FenetreAPropos* FenetrePrincipale::APropos() const {
    return aPropos_.data();
}

void FenetrePrincipale::Termine() {
    terminee_ = true;
    QApplication::closeAllWindows();
    // Queued, so that it also ends a program whose event loop has not started yet.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace parvel::ui
