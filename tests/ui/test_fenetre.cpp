// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real main window on the offscreen platform, with scripted dialogs and an
// in-memory settings store: what only the window adds to the controller, its additions for
// today's users (wheel, pan, keys, drop, reload) and its long work (progress, Esc, resize).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QtTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/APropos.h"
#include "settings/Configuration.h"
#include "settings/Preferences.h"
#include "ui/Apparence.h"
#include "ui/DialoguesQt.h"
#include "ui/FenetreAPropos.h"
#include "ui/FenetrePrincipale.h"
#include "ui/ZoneDessin.h"
#include "ui/ZoneRapport.h"

using namespace parvel;
using parvel::ui::FenetrePrincipale;

namespace {

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;

// Left path along Y = 20 and right path along Y = 60, from X 0 to 100; the last line
// climbs out of the milling zone (X > 15, Y <= 30) that the second one enters.
const char* const FichierEssai = "T:0 XG:0 YG:20 XD:0 YD:60\r\nT:2 XG:100 YG:20 XD:100 YD:60\r\n"
                                 "T:2 XG:100 YG:40 XD:100 YD:80\r\n";
constexpr std::uint32_t Magenta = 0x800080, Blanc = 0xFFFFFF;

const char* const Rectangle = "T:0 XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:100 YG:0 XD:100 YD:0\r\n"
                              "T:1 XG:100 YG:40 XD:100 YD:40\r\nT:1 XG:0 YG:40 XD:0 YD:40\r\n"
                              "T:1 XG:0 YG:0 XD:0 YD:0\r\n";

// A rectangle 100 x 40 run round `tours` times: enough lines to be stopped on the way.
std::string Rectangles(int tours) {
    std::string t = "T:0 XG:0 YG:0 XD:0 YD:0\r\n";
    for (int i = 0; i < tours; ++i)
        t += "T:1 XG:100 YG:0 XD:100 YD:0\r\nT:1 XG:100 YG:40 XD:100 YD:40\r\n"
             "T:1 XG:0 YG:40 XD:0 YD:40\r\nT:1 XG:0 YG:0 XD:0 YD:0\r\n";
    return t;
}

// Scripted dialogs whose about box is the window's own.
class DialoguesEspion : public test::DialoguesScriptes {
  public:
    FenetrePrincipale* fenetre = nullptr;
    void MontreAPropos() override { fenetre->MontreAPropos(); }
};

struct Poste {
    test::DossierTemporaire dossier;
    test::RegistreMemoire registre;
    DialoguesEspion dialogues;
    std::unique_ptr<FenetrePrincipale> f;

    Poste() {
        for (auto [nom, v] : {std::pair{"XNtour", 200}, {"XPas", 1250}, {"YNtour", 200}, {"YPas", 1250}})
            registre.PoseEntier(CleTavik, nom, v);
        registre.PoseEntier(CleTavik, "YVmax", 200);
        for (auto [nom, v] : {std::pair{"DegZ", 10}, {"VitZ", 200}, {"XFraise", 15}, {"YFraise", 30}})
            registre.PoseEntier(CleFraisageLue, nom, v);
        registre.PoseTexte(CleTavik, "RepProjet", dossier.Chemin().string());
        f = std::make_unique<FenetrePrincipale>(&dialogues, &registre);
        dialogues.fenetre = f.get();
        f->show();
    }
    ImageRaster& Raster() { return f->Image1()->Raster(); }
    QAction* Action(const char* nom) { return f->findChild<QAction*>(nom); }
    // Opens a file through "&Ouvrir" and the scripted open dialog, once the window is on screen.
    void Ouvre() {
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        dialogues.fichierChoisi = dossier.Ecrit("essai.cut", FichierEssai);
        Action("Ouvrir")->trigger();
    }
    // Mouse on the raster pixel (x, y).
    void Clic(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
        QTest::mouseClick(f->Image1(), b, m, Ecran(x, y));
    }
    void Bouge(int x, int y) { QTest::mouseMove(f->Image1(), Ecran(x, y)); }
    QPoint Ecran(int x, int y) const { return QPoint(x, y) + ui::ZoneDessin::OrigineRaster(); }
    // Raster pixel of a point in the mapping's units.
    QPoint PixelDe(double x, double y) {
        const Mapping m = Raster().LitMapping();
        return QPoint(static_cast<int>(std::floor((x - m.ScaleLeft) / m.ScaleWidth * Raster().LargeurPx())),
                      static_cast<int>(std::floor((y - m.ScaleTop) / m.ScaleHeight * Raster().HauteurPx())));
    }
    // Whether the retained picture has colour `c` at (x, y) or next to it.
    bool CouleurVers(double x, double y, std::uint32_t c) {
        const QPoint p = PixelDe(x, y);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Raster().Pixel(p.x() + dx, p.y() + dy) == c)
                    return true;
        return false;
    }
    // Opens a file by its name, as the command line and a drop do.
    void OuvreNom(const std::string& nom = "r.cut", const std::string& contenu = Rectangle) {
        [[maybe_unused]] const bool vu = QTest::qWaitForWindowExposed(f.get());
        f->Ouvre(dossier.Ecrit(nom, contenu));
    }
    int Compte(std::uint32_t couleur) {
        int n = 0;
        for (int y = 0; y < Raster().HauteurPx(); ++y)
            for (int x = 0; x < Raster().LargeurPx(); ++x)
                n += Raster().Pixel(x, y) == couleur;
        return n;
    }
    // Millimetres per pixel along X and along Y.
    std::pair<double, double> Echelles() {
        const Mapping m = Raster().LitMapping();
        return {m.ScaleWidth / Raster().LargeurPx(), -m.ScaleHeight / Raster().HauteurPx()};
    }
    void Redimensionne(int largeur, int hauteur) {
        f->resize(largeur, hauteur);
        // Redraws wait for the size to settle.
        QTest::qWait(400);
    }
    ui::ZoneDessin* Zone() { return f->Image1(); }
    Mapping Vue() { return Raster().LitMapping(); }
    // The hover readout at a widget position.
    std::pair<double, double> Lu(QPoint p) {
        QTest::mouseMove(Zone(), p);
        const QString t = Zone()->toolTip();
        const qsizetype y = t.indexOf(" Y: ");
        return {t.mid(3, y - 3).trimmed().toDouble(), t.mid(y + 4).trimmed().toDouble()};
    }
    // Drags `url` onto the window and drops it there; whether the window took the drag.
    bool Depose(const QUrl& url) {
        QMimeData donnees;
        donnees.setUrls({url});
        QDragEnterEvent entre(QPoint(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.get(), &entre);
        QDropEvent depose(QPointF(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.get(), &depose);
        return entre.isAccepted();
    }
    void Molette(QPoint p, int crans) {
        QWheelEvent e(p, Zone()->mapToGlobal(p), {}, QPoint(0, 120 * crans), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(Zone(), &e);
    }
};

bool Proche(double a, double b) {
    return std::fabs(a - b) <= 1e-4 * std::max(1.0, std::fabs(b));
}

// Chooses a file as a click in the list would (Qt's dialog leaves the name field alone
// while the field has the focus, as it may once shown), then runs the dialog's own
// accept, which checks the file; a dialog left open is closed, so that the test fails
// rather than waits for the watchdog.
void ChoisitEtAccepte(QFileDialog* d, const QString& chemin) {
    if (QWidget* w = QApplication::focusWidget())
        w->clearFocus();
    d->selectFile(chemin);
    static_cast<QDialog*>(d)->accept(); // virtual: the dialog's own accept
    if (d->isVisible())
        d->reject();
}

// Runs `action` on the next modal dialog once its event loop is running.
template <class Dialogue, class Action> void QuandModal(Action action) {
    auto* t = new QTimer;
    QObject::connect(t, &QTimer::timeout, [t, action] {
        if (auto* d = qobject_cast<Dialogue*>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            action(d);
        }
    });
    t->start(10);
}

} // namespace

class TestFenetre : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // Qt's file dialog keeps its history in the user's settings: a fresh folder keeps
        // runs apart and the user's own settings untouched.
        QVERIFY(reglagesQt_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(reglagesQt_.path()));
        ui::ChargeTraductions(*qApp);
    }
    void etatDeDepartEtMenus();
    void geometrieA96Dpi();
    void ordreDeTabulation();
    void ouvertureRapportEtImage();
    void survolEtZoomALaSouris();
    void casesParProgrammeEtParClic();
    void fraisageEtReglage();
    void aProposEtQuitter();
    void aProposMiseEnPage();
    void aProposFermeture_data();
    void aProposFermeture();
    void aProposEchecs();
    void fermetureParLeSysteme();
    void dialoguesDeLaPlateforme();
    void moletteVersLeCurseur();
    void glisserEtFleches();
    void touches();
    void deposerEtOuvrirParSonNom();
    void rechargementAutomatique();
    void rapportSelectionnable();
    void dialoguesEnFrancais();
    void chargementArreteParEchap();
    void saisiePendantLeChargementIgnoree();
    void redimensionnementGardeUneEchelle();
    void cheminSurYZeroDessine();
    void carteDesVitessesCommeParvelCut();
    void lectureDuFil();
    void cadreAuChoix();
    void nomsHorsUtf8();

  private:
    QTemporaryDir reglagesQt_;
};

void TestFenetre::etatDeDepartEtMenus() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    QVERIFY(p.f->windowFlags().testFlag(Qt::FramelessWindowHint));
    for (Option o : {Option::Variable, Option::Etendu, Option::Fige})
        QVERIFY(!p.f->Bouton(o)->isChecked());
    QVERIFY(!p.f->Bouton(Option::Variable)->isEnabled() && !p.f->Bouton(Option::Fige)->isEnabled());
    for (Case c : {Case::CGauche, Case::CDroite, Case::PGauche, Case::PDroite})
        QVERIFY(p.f->Boite(c)->isChecked());
    QCOMPARE(p.f->Image1()->grab().toImage().pixelColor(p.Ecran(10, 10)), QColor(192, 192, 192));
    // Only "&Fraisage" opens a drop-down among the original commands, which run at once;
    // the menus added since come after them.
    QStringList barre, items;
    for (QAction* a : p.f->menuBar()->actions()) {
        barre << a->text();
        QCOMPARE(a->menu() != nullptr,
                 a->text() != "&Quitter" && a->text() != "&Ouvrir" && a->text() != "&A propos");
    }
    QCOMPARE(barre,
             QStringList({"&Quitter", "&Ouvrir", "&Fraisage", "&A propos", "Fichie&rs", "&Vue", "&Lecture"}));
    QMenu* fraisage = p.f->menuBar()->actions()[2]->menu();
    for (QAction* a : fraisage->actions())
        items << a->text();
    QCOMPARE(items, QStringList({"Activation", "Réglage"}));
    QVERIFY(fraisage->actions()[0]->isCheckable());
    // F5 waits for a file.
    QVERIFY(!p.Action("Recharger")->isEnabled());
    p.OuvreNom();
    QVERIFY(p.Action("Recharger")->isEnabled());
}

void TestFenetre::geometrieA96Dpi() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    if (p.f->logicalDpiX() != 96 || p.f->logicalDpiY() != 96)
        QSKIP("positions in pixels are those of a 96 dpi screen");
    QWidget* client = p.f->centralWidget();
    auto geo = [&](const char* nom) { return client->findChild<QWidget*>(nom)->geometry(); };
    // 15 twips to the pixel; both edges rounded.
    const std::pair<const char*, QRect> attendu[] = {{"Commande2", {8, 32, 65, 25}},
                                                     {"Sortie", {184, 0, 265, 89}},
                                                     {"PGauche", {192, 104, 73, 17}},
                                                     {"Affichage", {80, 8, 97, 73}}};
    for (const auto& [nom, rect] : attendu)
        QCOMPARE(geo(nom), rect);
    // Showing the window has sized the area from the outer size: 0.99 W - 120, H - 3240 twips.
    QCOMPARE(geo("Image1"), QRect(8, 144, 742, geo("Image1").height()));
    QVERIFY(std::abs(geo("Image1").height() - (p.f->frameGeometry().height() * 15 - 3240) / 15) <= 1);
    QCOMPARE(client->size(), QSize(758, 500));
    QCOMPARE(client->y(), p.f->menuBar()->height());
    // The frames lie behind the boxes drawn over them.
    const QObjectList enfants = client->children();
    QVERIFY(enfants.indexOf(client->findChild<QGroupBox*>("Frame1")) <
            enfants.indexOf(p.f->Boite(Case::PGauche)));
    // 12000 x 9000 twips outside gives an area of 11760 x 5760 twips; minimizing leaves it so.
    p.f->resize(800, 600);
    QTRY_COMPARE(p.f->Image1()->size(), QSize(784, 384));
    QCOMPARE(p.f->Image1()->Largeur(), 11760.0f);
    p.f->showMinimized();
    QCoreApplication::processEvents();
    QCOMPARE(p.f->Image1()->size(), QSize(784, 384));
}

void TestFenetre::ordreDeTabulation() {
    Poste p;
    p.Ouvre(); // "Figé" can take the focus once a file is loaded
    QApplication::setActiveWindow(p.f.get());
    QVERIFY(QTest::qWaitForWindowActive(p.f.get()));
    p.f->Image1()->setFocus();
    QStringList ordre;
    for (int i = 0; i < 13; ++i) {
        ordre << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // "Variable" is disabled for good; frames never take the focus; the option group is
    // one stop, at its selected button.
    QCOMPARE(ordre,
             QStringList({"Image1", "Option2", "ChargeOut", "CDroite", "CGauche", "PDroite", "PGauche",
                          "Sortie", "Commande1", "Commande2", "Lire", "VitesseLecture", "CurseurLecture"}));
    QCOMPARE(QApplication::focusWidget(), p.f->Image1());
}

void TestFenetre::ouvertureRapportEtImage() {
    Poste p;
    p.Ouvre();
    QCOMPARE(p.dialogues.ouvertures.at(0).DossierInitial, p.dossier.Chemin().string());
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked() && p.f->Bouton(Option::Fige)->isEnabled());
    // The report area shows the report's lines, and paints them in their colours.
    const auto& lignes = p.f->Sortie()->Lignes();
    QCOMPARE(lignes.size(), std::size_t(5));
    for (std::size_t i = 0; i < 5; ++i) {
        QCOMPARE(lignes[i].texte, QString::fromStdString(p.f->principale().DernierRapport()[i].Texte));
        QCOMPARE(lignes[i].couleur, p.f->principale().DernierRapport()[i].Couleur);
    }
    const QImage rapport = p.f->Sortie()->grab().toImage();
    bool magenta = false, blanc = false;
    for (int y = 2; y < rapport.height(); ++y)
        for (int x = 2; x < rapport.width(); ++x) {
            magenta |= rapport.pixelColor(x, y) == QColor(128, 0, 128);
            blanc |= rapport.pixelColor(x, y) == QColor(255, 255, 255);
        }
    QVERIFY(magenta && blanc);
    // The picture is retained, and what the widget shows is it, inside the border.
    QVERIFY(p.CouleurVers(50, 20, Magenta) && p.CouleurVers(50, 60, Blanc) &&
            !p.CouleurVers(50, 40, Magenta));
    const QImage vue = p.f->Image1()->grab().toImage();
    const QPoint m = p.PixelDe(50, 20);
    bool vu = false;
    for (int dy = -1; dy <= 1; ++dy)
        vu |= vue.pixelColor(p.Ecran(m.x(), m.y() + dy)) == QColor(128, 0, 128);
    QVERIFY(vu);
    // The buttons: "Efface" clears the picture, "Dessine" draws it again.
    QTest::mouseClick(p.f->centralWidget()->findChild<QPushButton*>("Commande2"), Qt::LeftButton);
    QVERIFY(!p.CouleurVers(50, 20, Magenta));
    QTest::mouseClick(p.f->centralWidget()->findChild<QPushButton*>("Commande1"), Qt::LeftButton);
    QVERIFY(p.CouleurVers(50, 20, Magenta));
}

void TestFenetre::survolEtZoomALaSouris() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    // No mapping yet: twips from the upper-left corner, Y downward.
    p.Bouge(10, 20);
    const double tpp = p.Raster().TwipsParPixel();
    QTRY_VERIFY(p.f->Image1()->toolTip().startsWith("X:  "));
    const QString survol = p.f->Image1()->toolTip();
    const qsizetype y = survol.indexOf(" Y: ");
    QVERIFY2(std::floor(survol.mid(3, y - 3).toDouble() / tpp) == 10, qPrintable(survol));
    QVERIFY2(std::floor(survol.mid(y + 4).toDouble() / tpp) == 20, qPrintable(survol));

    p.Ouvre();
    const Mapping plein = p.Raster().LitMapping();
    const PointUtilisateur u1 = p.Raster().VersUtilisateur(100, 200),
                           u2 = p.Raster().VersUtilisateur(300, 100);
    // The right button cancels a selection; Ctrl with the left one shows the message.
    p.Clic(100, 200);
    QVERIFY(p.Raster().FormeVisible(Forme::Selection));
    p.Clic(300, 100, Qt::RightButton);
    QVERIFY(!p.Raster().FormeVisible(Forme::Selection));
    p.Clic(60, 250, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(p.dialogues.messages, std::vector<std::string>{"Bouton droit + CTRL pour traitement futur"});
    // The band follows the mouse in the mapping's units; the second click zooms.
    p.Clic(100, 200);
    p.Bouge(300, 100);
    QTRY_VERIFY(p.Raster().LitForme(Forme::Selection).Width > 0);
    const Placement bande = p.Raster().LitForme(Forme::Selection);
    QVERIFY(Proche(bande.Width, u2.X - u1.X) && Proche(bande.Height, u2.Y - u1.Y));
    p.Clic(300, 100);
    const Mapping zoom = p.Raster().LitMapping();
    QCOMPARE(zoom.ScaleLeft, u1.X);
    QCOMPARE(zoom.ScaleTop, u2.Y);
    QVERIFY(Proche(zoom.ScaleWidth / zoom.ScaleHeight, plein.ScaleWidth / plein.ScaleHeight));
    // "Variable" shows as selected while it stays greyed.
    QVERIFY(p.f->Bouton(Option::Variable)->isChecked() && !p.f->Bouton(Option::Variable)->isEnabled());
    // Back to the full view with a user's click on "Etendu".
    QTest::mouseClick(p.f->Bouton(Option::Etendu), Qt::LeftButton);
    QCOMPARE(p.Raster().LitMapping().ScaleWidth, plein.ScaleWidth);
    QVERIFY(p.CouleurVers(50, 20, Magenta));
}

void TestFenetre::casesParProgrammeEtParClic() {
    Poste p;
    p.Ouvre();
    QCheckBox* gauche = p.f->Boite(Case::CGauche);
    // Each drawing ends with a beep; every handler run below draws, but "Figé"'s.
    const int bips = p.dialogues.bips;
    // A change made by the program runs the handler once and shows on the box; the same
    // value again is no change.
    p.f->principale().DefinitCoche(Case::CGauche, false);
    QVERIFY(!gauche->isChecked());
    QVERIFY(!p.CouleurVers(50, 20, Magenta) && p.CouleurVers(50, 60, Blanc));
    p.f->principale().DefinitCoche(Case::CGauche, false);
    QCOMPARE(p.dialogues.bips, bips + 1);
    // A user's click runs it once as well, and the keyboard too.
    QTest::mouseClick(gauche, Qt::LeftButton);
    QVERIFY(gauche->isChecked() && p.CouleurVers(50, 20, Magenta));
    gauche->setFocus();
    QTest::keyClick(gauche, Qt::Key_Space);
    QVERIFY(!gauche->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 3);
    // An option set by the program runs its handler once, only when it becomes selected.
    p.f->principale().Choisit(Option::Fige);
    p.f->principale().Choisit(Option::Etendu);
    p.f->principale().Choisit(Option::Etendu);
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 4);
}

void TestFenetre::fraisageEtReglage() {
    Poste p;
    p.Ouvre();
    p.f->Activation()->trigger();
    QVERIFY(p.f->Activation()->isChecked() && !p.f->Boite(Case::CDroite)->isChecked());
    QVERIFY(std::filesystem::exists(p.dossier.Chemin() / "Fr+essai.cut"));
    QVERIFY(p.Raster().FormeVisible(Forme::ZoneX) && !p.CouleurVers(50, 60, Blanc));
    p.f->Activation()->trigger();
    QVERIFY(!p.f->Activation()->isChecked() && p.f->Boite(Case::CDroite)->isChecked());
    QVERIFY(!p.Raster().FormeVisible(Forme::ZoneX) && p.CouleurVers(50, 60, Blanc));

    p.dialogues.reponses = {"12", "20", "30", "200", "1", "1"};
    p.Action("Réglage")->trigger();
    QCOMPARE(p.dialogues.invites.size(), std::size_t(6));
    QCOMPARE(p.registre.Entier(CleFraisageEcrite, "DegZ"), std::optional<std::int32_t>(12));
}

void TestFenetre::aProposEtQuitter() {
    Poste p;
    p.Action("A_propos")->trigger();
    QPointer<ui::FenetreAPropos> boite = p.f->APropos();
    QVERIFY(boite && boite->isVisible() && !boite->isModal());
    // The texts come from the store, each in its label.
    const TextesAPropos t = LitAPropos(p.registre, p.f->principale().Separateur());
    QCOMPARE(boite->windowTitle(), QString::fromStdString(t.Caption));
    const std::pair<const char*, const std::string*> etiquettes[] = {
        {"lblTitle", &t.Titre},     {"lblVersion", &t.Version}, {"lblConfig1", &t.Config1},
        {"lblConfig2", &t.Config2}, {"lblConfig3", &t.Config3}, {"lblConfig4", &t.Config4},
        {"lblConfig5", &t.Config5}};
    for (const auto& [nom, texte] : etiquettes)
        QCOMPARE(boite->Etiquette(nom)->text(), QString::fromStdString(*texte));
    QCOMPARE(boite->Etiquette("Label1")->text(), QString("Configuration de la table"));
    QCOMPARE(boite->Etiquette("Label2")->text(), QString("Configuration pour Fraisage"));
    QVERIFY(p.dialogues.messages.empty());
    const QString x200 = "Axe X, moteur de 200 pas/tour, vis de 1.25 mm/tour ";
    // While it is open, choosing the item again only brings it to the front.
    p.registre.PoseEntier(CleTavik, "XNtour", 400);
    p.Action("A_propos")->trigger();
    QCOMPARE(p.f->APropos(), boite.data());
    QCOMPARE(boite->Etiquette("lblConfig1")->text(), x200);
    // "OK" unloads it; the next opening reads the store again.
    QTest::mouseClick(boite->BoutonOK(), Qt::LeftButton);
    QTRY_VERIFY(!boite && !p.f->APropos());
    p.Action("A_propos")->trigger();
    QCOMPARE(p.f->APropos()->Etiquette("lblConfig1")->text(),
             QString("Axe X, moteur de 400 pas/tour, vis de 1.25 mm/tour "));
    p.Action("Fin")->trigger();
    QCOMPARE(p.dialogues.terminaisons, 1);
}

void TestFenetre::aProposMiseEnPage() {
    Poste p;
    p.registre.PoseTexte(CleTavik, "RepProjet", std::string(300, 'r'));
    p.Action("A_propos")->trigger();
    ui::FenetreAPropos* boite = p.f->APropos();
    QVERIFY(QTest::qWaitForWindowExposed(boite));
    QVERIFY(!boite->Etiquette("lblDescription")->isVisible());
    QVERIFY(boite->BoutonOK()->isDefault());
    QCOMPARE(boite->windowType(), Qt::Tool);
    QVERIFY(boite->testAttribute(Qt::WA_DeleteOnClose));
    // Every label sizes to its one-line text.
    for (const char* nom : {"lblTitle", "lblVersion", "Label1", "lblConfig1", "lblConfig3", "Label2"}) {
        QLabel* l = boite->Etiquette(nom);
        QCOMPARE(l->width(), l->sizeHint().width());
    }
    if (boite->logicalDpiX() != 96 || boite->logicalDpiY() != 96)
        QSKIP("positions in pixels are those of a 96 dpi screen");
    QCOMPARE(boite->size(), QSize(382, 271));
    QCOMPARE(boite->minimumSize(), boite->maximumSize());
    QCOMPARE(boite->BoutonOK()->geometry(), QRect(152, 240, 84, 29));
    // Centred labels keep the centre of their design rectangle, even past the box's edges.
    auto centre = [&](const char* nom) { return boite->Etiquette(nom)->geometry().center().x() + 0.5; };
    QVERIFY(std::fabs(centre("lblTitle") - 2358 / 15.0) <= 1);
    QVERIFY(std::fabs(centre("lblConfig3") - 2850 / 15.0) <= 1);
    QVERIFY(boite->Etiquette("lblConfig3")->x() < 0);
    QCOMPARE(boite->Etiquette("lblVersion")->pos(), QPoint(225, 24));
    // The etched separator: grey over white, above the button.
    const QImage vue = boite->grab().toImage();
    QCOMPARE(vue.pixelColor(100, 232), QColor(128, 128, 128));
    QCOMPARE(vue.pixelColor(100, 233), QColor(255, 255, 255));
}

void TestFenetre::aProposFermeture_data() {
    QTest::addColumn<int>("touche");
    QTest::newRow("Entrée") << int(Qt::Key_Return);
    QTest::newRow("Echap") << int(Qt::Key_Escape);
}

// Like "OK", the keys unload the box.
void TestFenetre::aProposFermeture() {
    QFETCH(int, touche);
    Poste p;
    p.Action("A_propos")->trigger();
    QPointer<ui::FenetreAPropos> boite = p.f->APropos();
    QApplication::setActiveWindow(boite);
    QVERIFY(QTest::qWaitForWindowActive(boite));
    QTest::keyClick(boite, static_cast<Qt::Key>(touche));
    QTRY_VERIFY(!boite);
}

// A failed load shows its message before the box opens; only a failure that is not a
// numeric one ends the program.
void TestFenetre::aProposEchecs() {
    for (int erreur : {ErrDepassement, ErrFichierIntrouvable}) {
        Poste p;
        p.registre.echecsLecture["XNtour"] = erreur;
        auto boite = std::make_unique<ui::FenetreAPropos>(p.registre, ".", p.dialogues);
        QCOMPARE(p.dialogues.messages, std::vector<std::string>{*LitAPropos(p.registre, ".").MessageErreur});
        QCOMPARE(p.dialogues.terminaisons, erreur == ErrDepassement ? 0 : 1);
        QCOMPARE(boite->Termine(), erreur != ErrDepassement);
    }
}

void TestFenetre::fermetureParLeSysteme() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Action("A_propos")->trigger();
    QPointer<ui::FenetreAPropos> boite = p.f->APropos();
    QVERIFY(QTest::qWaitForWindowExposed(boite));
    // Closing the main window leaves an open about box on screen and the program running;
    // it ends with the last of its windows.
    bool boiteRestee = false, delaiDepasse = false;
    QTimer::singleShot(0, [&] { p.f->close(); });
    QTimer::singleShot(200, [&] {
        boiteRestee = boite && boite->isVisible();
        if (boite)
            boite->close();
    });
    QTimer delai;
    delai.setSingleShot(true);
    connect(&delai, &QTimer::timeout, [&] {
        delaiDepasse = true;
        QCoreApplication::quit();
    });
    delai.start(5000);
    QCoreApplication::exec();
    QVERIFY(boiteRestee && !delaiDepasse);
    QCOMPARE(p.dialogues.terminaisons, 0);
}

void TestFenetre::dialoguesDeLaPlateforme() {
    QWidget parent;
    parent.show();
    int apropos = 0, fin = 0;
    ui::DialoguesQt d(
        &parent, [&] { ++apropos; }, [&] { ++fin; });
    QString titre, texte;
    // Every box is wide enough for the window system to show its title beside the title
    // bar's icon, its three buttons and their margins.
    QStringList etroites;
    auto mesure = [&](QWidget* b) {
        QFont gras = QApplication::font();
        gras.setBold(true);
        const QFontMetrics fm(gras);
        if (b->width() < fm.horizontalAdvance(b->windowTitle()) + 8 * fm.height())
            etroites << QString("%1 (%2 px)").arg(b->windowTitle()).arg(b->width());
    };
    QuandModal<QMessageBox>([&](QMessageBox* b) {
        mesure(b);
        titre = b->windowTitle();
        texte = b->text();
        QCOMPARE(b->buttons().size(), 1);
        b->button(QMessageBox::Ok)->click();
    });
    d.Message("Zoom trop grand");
    QCOMPARE(titre + " " + texte, QString("Parvel Zoom trop grand"));

    QuandModal<QInputDialog>([&](QInputDialog* b) {
        mesure(b);
        titre = b->windowTitle();
        texte = b->labelText() + " " + b->textValue();
        b->setTextValue("7.5");
        b->accept();
    });
    QCOMPARE(d.Saisie("Paramètres Fraisage 2.5", "Dégagement en Z (mm)", "10"), std::string("7.5"));
    QCOMPARE(titre + " / " + texte, QString("Paramètres Fraisage 2.5 / Dégagement en Z (mm) 10"));
    QVERIFY2(etroites.isEmpty(), qPrintable(etroites.join(", ")));
    // Cancel answers an empty text, whatever the field holds.
    QuandModal<QInputDialog>([](QInputDialog* b) { b->reject(); });
    QCOMPARE(d.Saisie("t", "i", "10"), std::string());

    test::DossierTemporaire dossier;
    const std::string chemin = dossier.Ecrit("aile.cut", "T:1 XG:1 YG:1 XD:1 YD:1\r\n");
    ParamOuverture p;
    p.Filtre = "Fichiers CUT | *.cut";
    p.FichierExistant = true;
    p.DossierInitial = dossier.Chemin().string();
    QStringList filtres;
    QuandModal<QFileDialog>([&](QFileDialog* b) {
        titre = b->windowTitle();
        filtres = b->nameFilters();
        QCOMPARE(b->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(b->directory().absolutePath(),
                 QDir(QString::fromStdString(p.DossierInitial)).absolutePath());
        ChoisitEtAccepte(b, QString::fromStdString(chemin));
    });
    QCOMPARE(d.ChoisitFichier(p), std::optional<std::string>(chemin));
    QCOMPARE(titre, QString("Fichier CUT à ouvrir"));
    QCOMPARE(filtres, QStringList({"Fichiers CUT (*.cut)"}));
    QuandModal<QFileDialog>([](QFileDialog* b) { b->reject(); });
    QVERIFY(!d.ChoisitFichier(p).has_value());
    d.MontreAPropos();
    d.Termine();
    QCOMPARE(apropos + fin, 2);
}

// A notch zooms 1.25 times toward the cursor, which keeps reading the same point, and
// leaves the view as a rectangle zoom does.
void TestFenetre::moletteVersLeCurseur() {
    Poste p;
    p.OuvreNom();
    const QPoint curseur = p.Ecran(150, 120);
    const auto avant = p.Lu(curseur);
    const Mapping m0 = p.Vue();
    p.Molette(curseur, 1);
    QVERIFY(std::fabs(p.Vue().ScaleWidth - m0.ScaleWidth / 1.25f) < 1e-3 * m0.ScaleWidth);
    QVERIFY(std::fabs(p.Vue().ScaleHeight - m0.ScaleHeight / 1.25f) < 1e-3 * -m0.ScaleHeight);
    const auto apres = p.Lu(curseur);
    const double pixel = p.Vue().ScaleWidth / p.Zone()->Raster().LargeurPx();
    QVERIFY(std::fabs(apres.first - avant.first) <= 2 * pixel);
    QVERIFY(std::fabs(apres.second - avant.second) <= 2 * pixel);
    QVERIFY(p.f->Bouton(Option::Variable)->isChecked());
    p.Molette(curseur, -1);
    QVERIFY(std::fabs(p.Vue().ScaleWidth - m0.ScaleWidth) < 1e-3 * m0.ScaleWidth);

    // Far enough in, the rectangle zoom's limit stops the wheel, without a box at each notch.
    for (int i = 0; i < 40; ++i)
        p.Molette(curseur, 1);
    QVERIFY(p.dialogues.messages.empty());
    QVERIFY(std::fabs(p.Vue().ScaleHeight) >= 0.5f && std::fabs(p.Vue().ScaleHeight) < 0.5f * 1.25f);
}

// A middle-button drag moves the drawing with the hand; arrow keys by a tenth of the view.
void TestFenetre::glisserEtFleches() {
    Poste p;
    p.OuvreNom();
    const Mapping m0 = p.Vue();
    const int l = p.Zone()->Raster().LargeurPx();
    QTest::mousePress(p.Zone(), Qt::MiddleButton, {}, p.Ecran(100, 100));
    QTest::mouseMove(p.Zone(), p.Ecran(100 + l / 4, 100));
    QTest::mouseRelease(p.Zone(), Qt::MiddleButton, {}, p.Ecran(100 + l / 4, 100));
    QVERIFY(std::fabs(p.Vue().ScaleLeft - (m0.ScaleLeft - m0.ScaleWidth / 4)) < m0.ScaleWidth / l * 2);
    QCOMPARE(p.Vue().ScaleWidth, m0.ScaleWidth);
    QVERIFY(p.f->Bouton(Option::Variable)->isChecked());

    const Mapping m1 = p.Vue();
    p.Zone()->setFocus();
    QTest::keyClick(p.Zone(), Qt::Key_Right);
    QVERIFY(std::fabs(p.Vue().ScaleLeft - (m1.ScaleLeft + m1.ScaleWidth / 10)) < 1e-3 * m1.ScaleWidth);
    QTest::keyClick(p.Zone(), Qt::Key_Up);
    QVERIFY(std::fabs(p.Vue().ScaleTop - (m1.ScaleTop - m1.ScaleHeight / 10)) < 1e-3 * -m1.ScaleHeight);
}

// Home shows the whole drawing as "Etendu" does; Esc abandons a started band; Ctrl+C
// copies the report; F5 loads the file again.
void TestFenetre::touches() {
    Poste p;
    p.OuvreNom();
    const Mapping etendu = p.Vue();
    p.Molette(p.Ecran(50, 50), 2);
    // The drawing area marks its focus with a dotted frame inside its border.
    const QPoint coin = p.Ecran(1, 1);
    p.f->activateWindow();
    p.f->Sortie()->setFocus();
    QTRY_VERIFY(p.f->Sortie()->hasFocus());
    QVERIFY(p.Zone()->grab().toImage().pixelColor(coin) != QColor(Qt::black));
    p.Zone()->setFocus();
    QTRY_VERIFY(p.Zone()->hasFocus());
    QCOMPARE(p.Zone()->grab().toImage().pixelColor(coin), QColor(Qt::black));
    QTest::keyClick(p.Zone(), Qt::Key_Home);
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked());
    QCOMPARE(p.Vue().ScaleWidth, etendu.ScaleWidth);

    QTest::mouseClick(p.Zone(), Qt::LeftButton, {}, p.Ecran(40, 200));
    QVERIFY(p.Zone()->Raster().FormeVisible(Forme::Selection));
    QTest::keyClick(p.Zone(), Qt::Key_Escape);
    QVERIFY(!p.Zone()->Raster().FormeVisible(Forme::Selection));
    QCOMPARE(p.f->principale().Vue().Zoom.EtatSelection, short{0});

    // + and -, with Ctrl or without, zoom (about the centre: the controller's test).
    QTest::keyClick(p.f.get(), Qt::Key_Plus);
    QTest::keyClick(p.f.get(), Qt::Key_Plus, Qt::ControlModifier);
    QVERIFY(std::fabs(p.Vue().ScaleWidth - etendu.ScaleWidth / 1.5625f) < 1e-3 * etendu.ScaleWidth);
    QTest::keyClick(p.f.get(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(p.f.get(), Qt::Key_Minus);
    QVERIFY(std::fabs(p.Vue().ScaleWidth - etendu.ScaleWidth) < 1e-3 * etendu.ScaleWidth);

    QTest::keyClick(p.f.get(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().startsWith("  Vitesse min/max :"));
    QCOMPARE(QApplication::clipboard()->text().count('\n'), 4);

    const int effacements = static_cast<int>(p.f->Sortie()->Lignes().size());
    std::ofstream(p.f->principale().CheminCourant(), std::ios::app) << "T:10 XG:300 YG:0 XD:300 YD:0\r\n";
    QTest::keyClick(p.f.get(), Qt::Key_F5);
    QCOMPARE(static_cast<int>(p.f->Sortie()->Lignes().size()), effacements);
    QVERIFY(p.f->Sortie()->Lignes().at(3).texte.contains("à 300"));
}

// A .cut file dropped on the window opens as through "Ouvrir"; so does a name given at start.
void TestFenetre::deposerEtOuvrirParSonNom() {
    Poste p;
    const std::string chemin = p.dossier.Ecrit("depose.cut", Rectangle);
    QVERIFY(p.Depose(QUrl::fromLocalFile(QString::fromStdString(chemin))));
    QTRY_COMPARE(p.f->principale().CheminCourant(), chemin);
    QCOMPARE(p.f->Sortie()->Lignes().size(), std::size_t{5});
    // It heads the recent files of the menu, which open it again.
    auto* fichiers = p.f->findChild<QMenu*>("Fichiers");
    emit fichiers->aboutToShow();
    QCOMPARE(fichiers->actions().front()->text(), QString("&1 depose.cut"));
    QCOMPARE(fichiers->actions().front()->toolTip().toStdString(), chemin);
    QVERIFY(fichiers->toolTipsVisible());

    QMimeData texte;
    texte.setUrls({QUrl::fromLocalFile("/tmp/image.png")});
    QDragEnterEvent refuse(QPoint(10, 10), Qt::CopyAction, &texte, Qt::LeftButton, Qt::NoModifier);
    refuse.setAccepted(false);
    QApplication::sendEvent(p.f.get(), &refuse);
    QVERIFY(!refuse.isAccepted());
}

// The file rewritten on disk is loaded again once its writer is done; switched off, it is
// not, and the choice is kept in the program's own section of the store.
void TestFenetre::rechargementAutomatique() {
    Poste p;
    p.OuvreNom("out.cut");
    auto* auto_ = p.f->findChild<QAction*>("RechargementAuto");
    QVERIFY(auto_->isChecked());
    const std::string chemin = p.f->principale().CheminCourant();
    std::filesystem::rename(
        p.dossier.Ecrit("neuf.cut", "T:0 XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:77 YG:0 XD:77 YD:0\r\n"), chemin);
    QTRY_VERIFY_WITH_TIMEOUT(p.f->Sortie()->Lignes().at(3).texte.contains("à 77"), 2000);

    auto_->trigger();
    QVERIFY(!LitRechargementAuto(p.registre));
    std::ofstream(chemin, std::ios::app) << "T:1 XG:99 YG:0 XD:99 YD:0\r\n";
    QTest::qWait(1000);
    QVERIFY(p.f->Sortie()->Lignes().at(3).texte.contains("à 77"));
    FenetrePrincipale autre(&p.dialogues, &p.registre);
    QVERIFY(!autre.findChild<QAction*>("RechargementAuto")->isChecked());
}

// The report can be selected and copied, and scrolls rather than cutting a long line.
void TestFenetre::rapportSelectionnable() {
    Poste p;
    p.OuvreNom("large.cut", "T:0 XG:-123456789012 YG:0 XD:-123456789012 YD:0\r\nT:1 XG:987654321098 "
                            "YG:-98765432 XD:987654321098 YD:-98765432\r\n");
    ui::ZoneRapport* r = p.f->Sortie();
    QVERIFY(r->textInteractionFlags() & Qt::TextSelectableByMouse);
    r->selectAll();
    QVERIFY(r->textCursor().selectedText().contains("A droite"));
    QTRY_VERIFY(r->horizontalScrollBar()->maximum() > 0);
    QCOMPARE(r->focusPolicy(), Qt::StrongFocus);
}

// Qt's own dialogs speak French.
void TestFenetre::dialoguesEnFrancais() {
    QFileDialog d(nullptr, "Fichier CUT à ouvrir");
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setFileMode(QFileDialog::ExistingFile);
    d.show();
    QStringList textes;
    for (QPushButton* b : d.findChildren<QPushButton*>())
        textes << b->text().remove('&');
    QVERIFY2(textes.contains("Ouvrir") && textes.contains("Annuler"), qPrintable(textes.join(", ")));
}

// Esc during the reading: the previous document, report and picture stay, and the
// milling output of the stopped load is not left behind.
void TestFenetre::chargementArreteParEchap() {
    Poste p;
    p.OuvreNom("petit.cut", Rectangles(1));
    const std::string chemin = p.f->principale().CheminCourant();
    const QString rapport = p.f->Sortie()->Lignes().at(3).texte;
    const int traces = p.Compte(Magenta);
    QVERIFY(traces > 0);

    p.f->Activation()->setChecked(true);
    QCoreApplication::postEvent(p.f->Image1(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    p.OuvreNom("grand.cut", Rectangles(20000));

    QCOMPARE(p.f->principale().CheminCourant(), chemin);
    QCOMPARE(p.f->Sortie()->Lignes().size(), std::size_t{5});
    QCOMPARE(p.f->Sortie()->Lignes().at(3).texte, rapport);
    QCOMPARE(p.Compte(Magenta), traces);
    for (const auto& f : std::filesystem::directory_iterator(p.dossier.Chemin()))
        QVERIFY2(f.path().filename() == "petit.cut" || f.path().filename() == "grand.cut",
                 f.path().string().c_str());
    QVERIFY(p.dialogues.messages.empty());
    auto* panneau = p.f->findChild<QWidget*>("Avancement");
    QVERIFY(panneau && panneau->isVisible());
}

// A click queued while a file loads neither acts during the load nor after it.
void TestFenetre::saisiePendantLeChargementIgnoree() {
    Poste p;
    auto* efface = p.f->findChild<QPushButton*>("Commande2");
    const QPoint centre = efface->rect().center();
    QCoreApplication::postEvent(efface,
                                new QMouseEvent(QEvent::MouseButtonPress, centre, efface->mapToGlobal(centre),
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(efface, new QMouseEvent(QEvent::MouseButtonRelease, centre,
                                                        efface->mapToGlobal(centre), Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
    p.OuvreNom("grand.cut", Rectangles(5000));
    QCoreApplication::processEvents();
    QVERIFY(p.Compte(Magenta) > 0);
    QCOMPARE(p.f->Sortie()->Lignes().size(), std::size_t{5});
}

// X and Y share one scale after the window changed size, with "Etendu" and after a zoom,
// and the readout names the point drawn under the cursor.
void TestFenetre::redimensionnementGardeUneEchelle() {
    Poste p;
    p.OuvreNom("r.cut", Rectangles(1));
    for (auto [l, h] : {std::pair{900, 500}, {500, 700}}) {
        p.Redimensionne(l, h);
        const auto [ex, ey] = p.Echelles();
        QVERIFY2(std::fabs(ex / ey - 1) < 0.02, qPrintable(QString("%1 %2").arg(ex).arg(ey)));
        QVERIFY(p.Compte(Magenta) > 0);
    }

    // A zoom on the middle of the drawing, then a resize: same scale, same centre.
    ImageRaster& r = p.Raster();
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, {},
                      QPoint(r.LargeurPx() / 4, 3 * r.HauteurPx() / 4) + ui::ZoneDessin::OrigineRaster());
    const QPoint coin = QPoint(3 * r.LargeurPx() / 4, r.HauteurPx() / 4) + ui::ZoneDessin::OrigineRaster();
    QTest::mouseMove(p.f->Image1(), coin);
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, {}, coin);
    QVERIFY(p.f->Bouton(Option::Variable)->isChecked());
    const Mapping avant = r.LitMapping();
    const double echelle = p.Echelles().first;
    p.Redimensionne(800, 600);
    const Mapping apres = r.LitMapping();
    const auto [ex, ey] = p.Echelles();
    QVERIFY(std::fabs(ex / ey - 1) < 0.02);
    QVERIFY(std::fabs(ex / echelle - 1) < 0.02);
    QVERIFY(std::fabs((apres.ScaleLeft + apres.ScaleWidth / 2) - (avant.ScaleLeft + avant.ScaleWidth / 2)) <
            ex);
    QVERIFY(std::fabs((apres.ScaleTop + apres.ScaleHeight / 2) - (avant.ScaleTop + avant.ScaleHeight / 2)) <
            ey);

    // The readout under each drawn pixel names a point of the rectangle's outline.
    std::vector<QPoint> traces;
    for (int y = 0; y < r.HauteurPx(); ++y)
        for (int x = 0; x < r.LargeurPx(); ++x)
            if (r.Pixel(x, y) == Magenta)
                traces.emplace_back(x, y);
    QVERIFY(!traces.empty());
    for (std::size_t i = 0; i < traces.size(); i += traces.size() / 10 + 1) {
        const auto [X, Y] = p.Lu(traces[i] + ui::ZoneDessin::OrigineRaster());
        QVERIFY(std::min({std::fabs(X), std::fabs(X - 100), std::fabs(Y), std::fabs(Y - 40)}) <= 2 * ex);
    }
}

// A path along Y = 0, the base of the block, lies on the last visible row.
void TestFenetre::cheminSurYZeroDessine() {
    Poste p;
    p.OuvreNom("base.cut", "T:0 XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:100 YG:0 XD:100 YD:20\r\n");
    ImageRaster& r = p.Raster();
    int bas = 0;
    for (int x = 0; x < r.LargeurPx(); ++x)
        bas += r.Pixel(x, r.HauteurPx() - 1) == Magenta;
    QVERIFY(bas > r.LargeurPx() / 2);
}

// Ctrl+M colours the paths by speed, and so does parvel-cut image --vitesses.
void TestFenetre::carteDesVitessesCommeParvelCut() {
    Poste p;
    const char* const lentRapide =
        "T:0 XG:0 YG:0 XD:0 YD:0\nT:10 XG:10 YG:10 XD:10 YD:10\nT:1 XG:20 YG:0 XD:20 YD:0\n";
    p.OuvreNom("v.cut", lentRapide);
    QVERIFY(p.CouleurVers(5, 5, Magenta));
    QTest::keyClick(p.f.get(), Qt::Key_M, Qt::ControlModifier);
    QVERIFY(p.f->CarteVitesses()->isChecked());
    QVERIFY(p.CouleurVers(5, 5, 0x0000FF));
    QVERIFY(p.CouleurVers(15, 5, 0xFF0000));

    const std::string registre = p.dossier.Ecrit(
        "r.reg", "Windows Registry Editor Version 5.00\n\n[" + CleTavik +
                     "]\n\"XNtour\"=dword:000000c8\n\"XPas\"=dword:000004e2\n\"YNtour\"=dword:000000c8\n"
                     "\"YPas\"=dword:000004e2\n\"YVmax\"=dword:000000c8\n");
    const QString png = QString::fromStdString((p.dossier.Chemin() / "v.png").string());
    QProcess cli;
    cli.start(PARVEL_CUT, {"image", "--registre", QString::fromStdString(registre), "--vitesses", "--taille",
                           QString("%1x%2").arg(p.Raster().LargeurPx()).arg(p.Raster().HauteurPx()),
                           QString::fromStdString((p.dossier.Chemin() / "v.cut").string()), png});
    QVERIFY(cli.waitForFinished(10000));
    QCOMPARE(cli.exitCode(), 0);
    // The slow rise is blue and left of the red fall; the legend holds both in its corner.
    const QImage image(png);
    QCOMPARE(image.size(), QSize(p.Raster().LargeurPx(), p.Raster().HauteurPx()));
    int bleuMax = -1, rougeMin = image.width(), legende = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFFu;
            if (y < 40 && x > image.width() - 160)
                legende += c == 0x0000FF || c == 0xFF0000;
            else if (c == 0x0000FF)
                bleuMax = std::max(bleuMax, x);
            else if (c == 0xFF0000)
                rougeMin = std::min(rougeMin, x);
        }
    QVERIFY(bleuMax > image.width() / 4 && bleuMax <= rougeMin && rougeMin < image.width());
    QVERIFY(legende > 10);

    QTest::keyClick(p.f.get(), Qt::Key_M, Qt::ControlModifier);
    QVERIFY(!p.f->CarteVitesses()->isChecked());
    QVERIFY(p.CouleurVers(5, 5, Magenta));
}

// The "Lecture" frame: disabled until a load; scrubbing lays the wire where its carriages
// are; Ctrl+Space plays at the speed chosen in the menu until the end.
void TestFenetre::lectureDuFil() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    auto* cadre = p.f->centralWidget()->findChild<QGroupBox*>("Lecture");
    auto* curseur = cadre->findChild<QSlider*>("CurseurLecture");
    auto* lire = cadre->findChild<QPushButton*>("Lire");
    const QRect g = cadre->geometry();
    QVERIFY(g.left() > p.f->Sortie()->geometry().right() && g.bottom() < p.f->Image1()->y());
    QVERIFY(p.f->centralWidget()->rect().contains(g) && !cadre->isEnabled());
    p.Ouvre();
    QVERIFY(cadre->isEnabled());
    // At 1 s both carriages are halfway along X: left at (50, 20), right at (50, 60).
    const QPoint g1 = p.PixelDe(50, 20), d1 = p.PixelDe(50, 60), milieu = p.PixelDe(50, 40);
    auto couleur = [&](QPoint px, int dy = 0) {
        return p.f->Image1()->grab().toImage().pixelColor(p.Ecran(px.x(), px.y() + dy)).rgb() & 0xFFFFFF;
    };
    QCOMPARE(couleur(g1, 2), ImageRaster::Fond);
    curseur->setValue(10);
    QCOMPARE(cadre->findChild<QLabel*>("TexteLecture")->text(), QString("0 mn 01 s / 0 mn 04 s | ligne 2"));
    // Squares of the carriages' colours reach two pixels off the paths, the wire lies between.
    QCOMPARE(couleur(g1, 2), Magenta);
    QCOMPARE(couleur(d1, -2), Blanc);
    QCOMPARE(couleur(milieu), 0u);
    QCOMPARE(p.Raster().Pixel(milieu.x(), milieu.y()), ImageRaster::Fond); // the picture stays as drawn
    for (QAction* a : p.f->menuBar()->findChild<QMenu*>("MenuLecture")->actions())
        if (a->text() == "x1000")
            a->trigger();
    QCOMPARE(cadre->findChild<QComboBox*>("VitesseLecture")->currentText(), QString("x1000"));
    QApplication::setActiveWindow(p.f.get());
    QVERIFY(QTest::qWaitForWindowActive(p.f.get()));
    QTest::keyClick(p.f.get(), Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(lire->text(), QString("Pause"));
    QTRY_COMPARE(lire->text(), QString("Lire"));
    QCOMPARE(curseur->value(), curseur->maximum());
    QCOMPARE(couleur(p.PixelDe(100, 40), -2), Magenta);
    // A new load takes the wire away.
    p.OuvreNom();
    QVERIFY(!p.Raster().FilMontre());
}

// Frameless by default; the frame chosen in "Vue" is kept in the program's own section,
// its title names the file shown. At its smallest size the window clips no control.
void TestFenetre::cadreAuChoix() {
    Poste p;
    p.OuvreNom();
    QVERIFY(p.f->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(p.f->windowTitle(), QString("Parvel"));
    p.f->Cadre()->trigger();
    QVERIFY(!p.f->windowFlags().testFlag(Qt::FramelessWindowHint) && p.f->isVisible());
    QCOMPARE(p.registre.Entier(CleFenetre, "Cadre"), std::optional<std::int32_t>(1));
    QCOMPARE(p.f->windowTitle(), QString("r.cut - Parvel"));
    FenetrePrincipale autre(&p.dialogues, &p.registre);
    QVERIFY(!autre.windowFlags().testFlag(Qt::FramelessWindowHint) && autre.Cadre()->isChecked());
    p.f->Cadre()->trigger();
    QCOMPARE(p.registre.Entier(CleFenetre, "Cadre"), std::optional<std::int32_t>(0));

    p.f->resize(50, 50);
    QTRY_COMPARE(p.f->size(), p.f->minimumSize());
    QTest::qWait(400); // the drawing area follows once the size has settled
    QWidget* client = p.f->centralWidget();
    for (QWidget* w : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            QVERIFY2(client->rect().contains(w->geometry()), qPrintable(w->objectName()));
    QVERIFY(p.Zone()->height() >= 50);
}

// Names that are not UTF-8 reach the open call with their bytes, from each way in.
void TestFenetre::nomsHorsUtf8() {
    Poste p;
    const std::string chemin = p.dossier.Ecrit("\xff\xe9t\xe9.cut", Rectangle);
    p.f->Ouvre(chemin); // the command line
    QCOMPARE(p.f->principale().CheminCourant(), chemin);
    QCOMPARE(p.f->Sortie()->Lignes().size(), std::size_t{5});
    p.OuvreNom();
    // The recent files.
    auto* fichiers = p.f->findChild<QMenu*>("Fichiers");
    emit fichiers->aboutToShow();
    fichiers->actions().at(1)->trigger();
    QCOMPARE(p.f->principale().CheminCourant(), chemin);
    // A drop.
    p.OuvreNom();
    p.Depose(QUrl::fromEncoded("file://" + QByteArray::fromStdString(chemin).toPercentEncoding("/")));
    QTRY_COMPARE(p.f->principale().CheminCourant(), chemin);
    // The open dialog, whose own check of the file goes through the name Qt shows.
    ui::DialoguesQt d(
        p.f.get(), [] {}, [] {});
    ParamOuverture o;
    o.FichierExistant = true;
    o.DossierInitial = p.dossier.Chemin().string();
    QuandModal<QFileDialog>(
        [&](QFileDialog* b) { ChoisitEtAccepte(b, QFile::decodeName(QByteArray::fromStdString(chemin))); });
    QCOMPARE(d.ChoisitFichier(o), std::optional<std::string>(chemin));
    QVERIFY(p.dialogues.messages.empty());
}

QTEST_MAIN(TestFenetre)
#include "test_fenetre.moc"
