// Drives the real main window on the offscreen platform, with scripted dialogs and an
// in-memory settings store.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cmath>
#include <filesystem>
#include <memory>

#include "Doubles.h"
#include "settings/Configuration.h"
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
const char* const FichierEssai = "T:0 XG:0 YG:20 XD:0 YD:60\r\n"
                                 "T:2 XG:100 YG:20 XD:100 YD:60\r\n"
                                 "T:2 XG:100 YG:40 XD:100 YD:80\r\n";
const char* const FichierPetit = "T:0 XG:0 YG:5 XD:0 YD:5\r\n"
                                 "T:1 XG:50 YG:5 XD:50 YD:10\r\n";

constexpr std::uint32_t Magenta = 0x800080, Blanc = 0xFFFFFF, Fond = 0xC0C0C0;

// Scripted dialogs whose about box is the window's own.
class DialoguesEspion : public test::DialoguesScriptes {
  public:
    FenetrePrincipale* fenetre = nullptr;
    void MontreAPropos() override {
        DialoguesScriptes::MontreAPropos();
        if (fenetre)
            fenetre->MontreAPropos();
    }
};

struct Poste {
    test::DossierTemporaire dossier;
    test::RegistreMemoire registre;
    DialoguesEspion dialogues;
    std::unique_ptr<FenetrePrincipale> f;

    Poste() {
        registre.PoseEntier(CleTavik, "XNtour", 200);
        registre.PoseEntier(CleTavik, "XPas", 1250);
        registre.PoseEntier(CleTavik, "YNtour", 200);
        registre.PoseEntier(CleTavik, "YPas", 1250);
        registre.PoseEntier(CleTavik, "YVmax", 200);
        registre.PoseTexte(CleTavik, "RepProjet", dossier.Chemin().string());
        registre.PoseEntier(CleFraisageLue, "DegZ", 10);
        registre.PoseEntier(CleFraisageLue, "VitZ", 200);
        registre.PoseEntier(CleFraisageLue, "XFraise", 15);
        registre.PoseEntier(CleFraisageLue, "YFraise", 30);
        registre.PoseEntier(CleFraisageLue, "ZNtour", 200);
        registre.PoseEntier(CleFraisageLue, "ZPas", 1);
        f = std::make_unique<FenetrePrincipale>(&dialogues, &registre);
        dialogues.fenetre = f.get();
        f->show();
    }
    ~Poste() { dialogues.fenetre = nullptr; }

    ImageRaster& Raster() { return f->Image1()->Raster(); }
    QAction* Action(const char* nom) { return f->findChild<QAction*>(nom); }

    // Opens a file through "&Ouvrir" and the scripted open dialog.
    void Ouvre(const std::string& nom, const char* contenu) {
        dialogues.fichierChoisi = dossier.Ecrit(nom, contenu);
        Action("Ouvrir")->trigger();
    }

    // Widget position of the raster pixel (x, y).
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

    bool SelectionVisible() { return Raster().FormeVisible(Forme::Selection); }
};

bool Proche(double a, double b, double tolerance = 1e-4) {
    return std::fabs(a - b) <= tolerance * std::max(1.0, std::fabs(b));
}

// The two numbers of a hover text "X: <x> Y: <y>".
std::pair<double, double> LitSurvol(const QString& t) {
    const qsizetype y = t.indexOf(" Y: ");
    return {t.mid(3, y - 3).trimmed().toDouble(), t.mid(y + 4).trimmed().toDouble()};
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
    void etatDeDepart();
    void menus();
    void geometrieA96Dpi();
    void ordreDeTabulation();
    void redimensionnement();
    void ouvertureEtRapport();
    void ouvertureAnnuleeBipe();
    void imageRetenueEtAffichee();
    void survolAvantChargement();
    void zoomEtRetourEtendu();
    void zoomTropGrand();
    void clicDroitAnnule();
    void figeGardeLaVue();
    void casesParProgrammeEtParClic();
    void casePasEfface();
    void fraisage();
    void reglage();
    void aPropos();
    void quitter();
    void fermetureParLeSysteme();
    void dialoguesDeLaPlateforme();
};

void TestFenetre::etatDeDepart() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    QCOMPARE(p.f->windowTitle(), QString("Parvel"));
    QVERIFY(p.f->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(p.f->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    for (Case c : {Case::PGauche, Case::PDroite, Case::CGauche, Case::CDroite})
        QVERIFY(p.f->Boite(c)->isChecked());
    for (Option o : {Option::Variable, Option::Etendu, Option::Fige})
        QVERIFY(!p.f->Bouton(o)->isChecked());
    QVERIFY(!p.f->Bouton(Option::Variable)->isEnabled());
    QVERIFY(!p.f->Bouton(Option::Fige)->isEnabled());
    QVERIFY(p.f->Bouton(Option::Etendu)->isEnabled());
    QVERIFY(!p.f->Activation()->isChecked());
    for (Forme s : {Forme::ZoneX, Forme::ZoneY, Forme::Selection})
        QVERIFY(!p.Raster().FormeVisible(s));
    QVERIFY(p.f->Sortie()->Lignes().empty());
    QCOMPARE(p.dialogues.bips, 0);
    QCOMPARE(p.f->Image1()->cursor().shape(), Qt::CrossCursor);

    // Window and picture boxes on the light grey face, in Arial's place.
    const QImage vue = p.f->centralWidget()->grab().toImage();
    QCOMPARE(vue.pixelColor(vue.width() - 5, 40), QColor(192, 192, 192));
    QCOMPARE(QFontInfo(p.f->Sortie()->font()).pointSizeF(), QFontInfo(ui::PoliceArial()).pointSizeF());
    QCOMPARE(p.f->Image1()->grab().toImage().pixelColor(p.Ecran(10, 10)), QColor(192, 192, 192));
    // The check boxes' captions in the colours of what they control.
    QCOMPARE(p.f->Boite(Case::CGauche)->palette().color(QPalette::WindowText), QColor(128, 0, 128));
    QCOMPARE(p.f->Boite(Case::CDroite)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(p.f->Boite(Case::PGauche)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(p.f->Boite(Case::PDroite)->palette().color(QPalette::WindowText), QColor(0, 192, 0));
}

void TestFenetre::menus() {
    Poste p;
    QStringList barre;
    for (QAction* a : p.f->menuBar()->actions())
        barre << a->text();
    QCOMPARE(barre, QStringList({"&Quitter", "&Ouvrir", "&Fraisage", "&A propos"}));
    // Only "&Fraisage" opens a drop-down; the others run at once.
    for (QAction* a : p.f->menuBar()->actions())
        QCOMPARE(a->menu() != nullptr, a->text() == "&Fraisage");
    QMenu* fraisage = p.f->menuBar()->actions()[2]->menu();
    QStringList items;
    for (QAction* a : fraisage->actions())
        items << a->text();
    QCOMPARE(items, QStringList({"Activation", "Réglage"}));
    QVERIFY(fraisage->actions()[0]->isCheckable());
    QVERIFY(!fraisage->actions()[0]->isChecked());
}

void TestFenetre::geometrieA96Dpi() {
    Poste p;
    if (p.f->logicalDpiX() != 96 || p.f->logicalDpiY() != 96)
        QSKIP("positions in pixels are those of a 96 dpi screen");
    auto geo = [&](const char* nom) { return p.f->centralWidget()->findChild<QWidget*>(nom)->geometry(); };
    // 15 twips to the pixel; both edges rounded.
    QCOMPARE(geo("Commande1"), QRect(8, 8, 65, 25));
    QCOMPARE(geo("Commande2"), QRect(8, 32, 65, 25));
    QCOMPARE(geo("ChargeOut"), QRect(8, 56, 65, 25));
    QCOMPARE(geo("Sortie"), QRect(184, 0, 265, 89));
    QCOMPARE(geo("PGauche"), QRect(192, 104, 73, 17));
    QCOMPARE(geo("Option2"), QRect(88, 24, 81, 17));
    QCOMPARE(geo("Affichage"), QRect(80, 8, 97, 73));
    QCOMPARE(geo("Frame2"), QRect(8, 88, 169, 41));
    QCOMPARE(geo("Image1").topLeft(), QPoint(8, 144));
    // Showing the window has sized the area from the outer size: 0.99 W - 120, H - 3240 twips.
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    QCOMPARE(geo("Image1").width(), 742);
    QVERIFY(std::abs(geo("Image1").height() - (p.f->frameGeometry().height() * 15 - 3240) / 15) <= 1);
    // Client area 11364 x 7500 twips under the menu bar.
    QCOMPARE(p.f->centralWidget()->size(), QSize(758, 500));
    QCOMPARE(p.f->centralWidget()->y(), p.f->menuBar()->height());
    // The frames lie behind the boxes drawn over them.
    QWidget* client = p.f->centralWidget();
    const QObjectList enfants = client->children();
    QVERIFY(enfants.indexOf(client->findChild<QGroupBox*>("Frame1")) <
            enfants.indexOf(p.f->Boite(Case::PGauche)));
    QVERIFY(enfants.indexOf(client->findChild<QGroupBox*>("Affichage")) <
            enfants.indexOf(p.f->Bouton(Option::Etendu)));
}

void TestFenetre::ordreDeTabulation() {
    Poste p;
    p.Ouvre("essai.cut", FichierEssai); // "Figé" can take the focus once a file is loaded
    QApplication::setActiveWindow(p.f.get());
    QVERIFY(QTest::qWaitForWindowActive(p.f.get()));
    p.f->Image1()->setFocus();
    QStringList ordre;
    for (int i = 0; i < 10; ++i) {
        ordre << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // "Variable" is disabled for good; frames never take the focus; the option group is
    // one stop, at its selected button.
    QCOMPARE(ordre, QStringList({"Image1", "Option2", "ChargeOut", "CDroite", "CGauche", "PDroite", "PGauche",
                                 "Sortie", "Commande1", "Commande2"}));
    QCOMPARE(QApplication::focusWidget(), p.f->Image1());
}

void TestFenetre::redimensionnement() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    if (p.f->logicalDpiX() != 96 || p.f->logicalDpiY() != 96)
        QSKIP("sizes in pixels are those of a 96 dpi screen");
    // 12000 x 9000 twips outside gives an area of 11760 x 5760 twips.
    p.f->resize(800, 600);
    QTRY_COMPARE(p.f->Image1()->size(), QSize(784, 384));
    QCOMPARE(p.f->Image1()->Largeur(), 11760.0f);
    QCOMPARE(p.f->Image1()->Hauteur(), 5760.0f);
    // Minimizing leaves the area as it is.
    p.f->showMinimized();
    QCoreApplication::processEvents();
    QCOMPARE(p.f->Image1()->size(), QSize(784, 384));
}

void TestFenetre::ouvertureEtRapport() {
    Poste p;
    p.Ouvre("essai.cut", FichierEssai);
    QCOMPARE(p.dialogues.ouvertures.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(p.dialogues.ouvertures[0].Titre), QString("Fichier CUT à ouvrir"));
    QCOMPARE(QString::fromStdString(p.dialogues.ouvertures[0].DossierInitial),
             QString::fromStdString(p.dossier.Chemin().string()));
    QVERIFY(p.dialogues.messages.empty());

    const auto& lignes = p.f->Sortie()->Lignes();
    QCOMPARE(lignes.size(), std::size_t(5));
    for (std::size_t i = 0; i < 5; ++i) {
        QCOMPARE(lignes[i].texte, QString::fromStdString(p.f->principale().DernierRapport[i].Texte));
        QCOMPARE(lignes[i].couleur, p.f->principale().DernierRapport[i].Couleur);
    }
    QVERIFY(lignes[2].texte.startsWith("  Position Zéro en X:"));
    QVERIFY(lignes[3].texte.startsWith("  A gauche : X de"));
    QCOMPARE(lignes[3].couleur, 5);
    QCOMPARE(lignes[4].couleur, 15);

    // The first load selects "Etendu", whose handler draws once more: two beeps.
    QCOMPARE(p.dialogues.bips, 2);
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked());
    QVERIFY(p.f->Bouton(Option::Fige)->isEnabled());
    // A load with "Etendu" already selected draws once.
    p.Ouvre("essai.cut", FichierEssai);
    QCOMPARE(p.dialogues.bips, 3);

    // The report area paints its lines in their colours.
    const QImage vue = p.f->Sortie()->grab().toImage();
    bool magenta = false, blanc = false;
    for (int y = 0; y < vue.height(); ++y)
        for (int x = 0; x < vue.width(); ++x) {
            magenta |= vue.pixelColor(x, y) == QColor(128, 0, 128);
            blanc |= vue.pixelColor(x, y) == QColor(255, 255, 255) && x > 2 && y > 2;
        }
    QVERIFY(magenta);
    QVERIFY(blanc);
}

void TestFenetre::ouvertureAnnuleeBipe() {
    Poste p;
    p.dialogues.fichierChoisi.reset();
    p.Action("Ouvrir")->trigger();
    QCOMPARE(p.dialogues.bips, 1);
    QVERIFY(p.f->Sortie()->Lignes().empty());
    QVERIFY(!p.f->Bouton(Option::Fige)->isEnabled());
}

void TestFenetre::imageRetenueEtAffichee() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    QVERIFY(p.CouleurVers(50, 20, Magenta));
    QVERIFY(p.CouleurVers(50, 60, Blanc));
    QVERIFY(p.CouleurVers(50, 40, Fond));
    QVERIFY(!p.CouleurVers(50, 40, Magenta));

    // What the widget shows is the raster, inside the border, and it survives repaints.
    p.f->Image1()->repaint();
    const QImage vue = p.f->Image1()->grab().toImage();
    const QPoint m = p.PixelDe(50, 20);
    bool vu = false;
    for (int dy = -1; dy <= 1; ++dy)
        vu |= vue.pixelColor(p.Ecran(m.x(), m.y() + dy)) == QColor(128, 0, 128);
    QVERIFY(vu);
    QVERIFY(p.CouleurVers(50, 20, Magenta));

    // "Efface" clears the picture.
    QTest::mouseClick(p.f->centralWidget()->findChild<QPushButton*>("Commande2"), Qt::LeftButton);
    QVERIFY(!p.CouleurVers(50, 20, Magenta));
    // "Dessine" draws it again, with one beep.
    const int bips = p.dialogues.bips;
    QTest::mouseClick(p.f->centralWidget()->findChild<QPushButton*>("Commande1"), Qt::LeftButton);
    QVERIFY(p.CouleurVers(50, 20, Magenta));
    QCOMPARE(p.dialogues.bips, bips + 1);
}

void TestFenetre::survolAvantChargement() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    // No mapping yet: twips from the upper-left corner, Y downward.
    QTest::mouseMove(p.f->Image1(), p.Ecran(10, 20));
    QTRY_VERIFY(p.f->Image1()->toolTip().startsWith("X: "));
    QCOMPARE(p.f->Image1()->toolTip(), QString::fromStdString(p.Raster().TexteSurvol()));
    const auto [x, y] = LitSurvol(p.f->Image1()->toolTip());
    const double tpp = p.Raster().TwipsParPixel();
    QVERIFY2(x >= 10 * tpp && x < 11 * tpp, qPrintable(p.f->Image1()->toolTip()));
    QVERIFY2(y >= 20 * tpp && y < 21 * tpp, qPrintable(p.f->Image1()->toolTip()));
    // Non-negative numbers keep a leading blank.
    QVERIFY(p.f->Image1()->toolTip().startsWith("X:  "));
}

void TestFenetre::zoomEtRetourEtendu() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    const Mapping plein = p.Raster().LitMapping();
    const PointUtilisateur u1 = p.Raster().VersUtilisateur(100, 200);
    const PointUtilisateur u2 = p.Raster().VersUtilisateur(300, 100);
    const int bips = p.dialogues.bips;

    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, Qt::NoModifier, p.Ecran(100, 200));
    QVERIFY(p.SelectionVisible());
    QTest::mouseMove(p.f->Image1(), p.Ecran(300, 100));
    QTRY_VERIFY(p.Raster().LitForme(Forme::Selection).Width > 0);
    const Placement bande = p.Raster().LitForme(Forme::Selection);
    QVERIFY(Proche(bande.Width, u2.X - u1.X));
    QVERIFY(Proche(bande.Height, u2.Y - u1.Y));
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, Qt::NoModifier, p.Ecran(300, 100));

    const Mapping zoom = p.Raster().LitMapping();
    QVERIFY(!p.SelectionVisible());
    QCOMPARE(zoom.ScaleLeft, u1.X);
    QCOMPARE(zoom.ScaleTop, u2.Y);
    // Same proportions as the view it came from, and the whole rectangle inside.
    QVERIFY(Proche(zoom.ScaleWidth / zoom.ScaleHeight, plein.ScaleWidth / plein.ScaleHeight));
    QVERIFY(zoom.ScaleWidth >= bande.Width * 0.9999f);
    QVERIFY(-zoom.ScaleHeight >= bande.Height * 0.9999f);
    QVERIFY(zoom.ScaleWidth < plein.ScaleWidth);
    // "Variable" shows as selected while it stays greyed.
    QVERIFY(p.f->Bouton(Option::Variable)->isChecked());
    QVERIFY(!p.f->Bouton(Option::Variable)->isEnabled());
    QVERIFY(!p.f->Bouton(Option::Etendu)->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 1);
    QVERIFY(p.dialogues.messages.empty());

    // Back to the full view with a user's click on "Etendu": one redraw.
    QTest::mouseClick(p.f->Bouton(Option::Etendu), Qt::LeftButton);
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked());
    const Mapping retour = p.Raster().LitMapping();
    QCOMPARE(retour.ScaleLeft, plein.ScaleLeft);
    QCOMPARE(retour.ScaleTop, plein.ScaleTop);
    QCOMPARE(retour.ScaleWidth, plein.ScaleWidth);
    QCOMPARE(p.dialogues.bips, bips + 2);
    QVERIFY(p.CouleurVers(50, 20, Magenta));
}

void TestFenetre::zoomTropGrand() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    const Mapping avant = p.Raster().LitMapping();
    const int bips = p.dialogues.bips;
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, Qt::NoModifier, p.Ecran(100, 200));
    QTest::mouseMove(p.f->Image1(), p.Ecran(101, 199));
    QTRY_VERIFY(p.Raster().LitForme(Forme::Selection).Width > 0);
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, Qt::NoModifier, p.Ecran(101, 199));
    QCOMPARE(p.dialogues.messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(p.dialogues.messages[0]), QString("Zoom trop grand"));
    QVERIFY(!p.SelectionVisible());
    const Mapping apres = p.Raster().LitMapping();
    QCOMPARE(apres.ScaleLeft, avant.ScaleLeft);
    QCOMPARE(apres.ScaleWidth, avant.ScaleWidth);
    QCOMPARE(apres.ScaleHeight, avant.ScaleHeight);
    QCOMPARE(p.dialogues.bips, bips);
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked());
}

void TestFenetre::clicDroitAnnule() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    const Mapping avant = p.Raster().LitMapping();
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, Qt::NoModifier, p.Ecran(100, 200));
    QVERIFY(p.SelectionVisible());
    QTest::mouseClick(p.f->Image1(), Qt::RightButton, Qt::NoModifier, p.Ecran(300, 100));
    QVERIFY(!p.SelectionVisible());
    QCOMPARE(p.f->principale().Zoom.EtatSelection, short(0));
    QCOMPARE(p.Raster().LitMapping().ScaleWidth, avant.ScaleWidth);
    // The next left click starts a new selection where it is.
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, Qt::NoModifier, p.Ecran(50, 250));
    QVERIFY(p.SelectionVisible());
    QCOMPARE(p.Raster().LitForme(Forme::Selection).Left, p.Raster().VersUtilisateur(50, 250).X);
    // Ctrl with the left button shows the message and starts nothing.
    QTest::mouseClick(p.f->Image1(), Qt::RightButton, Qt::NoModifier, p.Ecran(60, 250));
    QTest::mouseClick(p.f->Image1(), Qt::LeftButton, Qt::ControlModifier, p.Ecran(60, 250));
    QCOMPARE(p.dialogues.messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(p.dialogues.messages[0]),
             QString("Bouton droit + CTRL pour traitement futur"));
    QVERIFY(!p.SelectionVisible());
}

void TestFenetre::figeGardeLaVue() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    const Mapping avant = p.Raster().LitMapping();
    QTest::mouseClick(p.f->Bouton(Option::Fige), Qt::LeftButton);
    QVERIFY(p.f->Bouton(Option::Fige)->isChecked());
    const int bips = p.dialogues.bips;
    p.Ouvre("petit.cut", FichierPetit);
    const Mapping apres = p.Raster().LitMapping();
    QCOMPARE(apres.ScaleLeft, avant.ScaleLeft);
    QCOMPARE(apres.ScaleTop, avant.ScaleTop);
    QCOMPARE(apres.ScaleWidth, avant.ScaleWidth);
    QCOMPARE(apres.ScaleHeight, avant.ScaleHeight);
    QVERIFY(p.f->Bouton(Option::Fige)->isChecked());
    // Drawn over the first file, once.
    QVERIFY(p.CouleurVers(50, 60, Blanc));
    QVERIFY(p.CouleurVers(25, 5, Magenta));
    QCOMPARE(p.dialogues.bips, bips + 1);
}

void TestFenetre::casesParProgrammeEtParClic() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    QCheckBox* gauche = p.f->Boite(Case::CGauche);
    int bips = p.dialogues.bips;

    // A change made by the program runs the handler, once: one redraw, one beep.
    p.f->principale().Ctl.DefinitCoche(Case::CGauche, false);
    QVERIFY(!gauche->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 1);
    QVERIFY(!p.CouleurVers(50, 20, Magenta));
    QVERIFY(p.CouleurVers(50, 60, Blanc));
    // Setting the same value again is no change.
    p.f->principale().Ctl.DefinitCoche(Case::CGauche, false);
    QCOMPARE(p.dialogues.bips, bips + 1);

    // A user's click runs it once as well.
    bips = p.dialogues.bips;
    QTest::mouseClick(gauche, Qt::LeftButton);
    QVERIFY(gauche->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 1);
    QVERIFY(p.CouleurVers(50, 20, Magenta));

    // The keyboard too.
    bips = p.dialogues.bips;
    gauche->setFocus();
    QTest::keyClick(gauche, Qt::Key_Space);
    QVERIFY(!gauche->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 1);

    // An option set by the program runs its handler once, only when it becomes selected.
    bips = p.dialogues.bips;
    p.f->principale().Ctl.Choisit(Option::Fige);
    p.f->principale().Ctl.Choisit(Option::Etendu);
    QCOMPARE(p.dialogues.bips, bips + 1);
    p.f->principale().Ctl.Choisit(Option::Etendu);
    QCOMPARE(p.dialogues.bips, bips + 1);
}

void TestFenetre::casePasEfface() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    const int bips = p.dialogues.bips;
    QTest::mouseClick(p.f->Boite(Case::PDroite), Qt::LeftButton);
    QVERIFY(!p.f->Boite(Case::PDroite)->isChecked());
    // The area is cleared and stays empty until the next redraw.
    QVERIFY(!p.CouleurVers(50, 20, Magenta));
    QVERIFY(!p.CouleurVers(50, 60, Blanc));
    QCOMPARE(p.dialogues.bips, bips);
}

void TestFenetre::fraisage() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    p.Ouvre("essai.cut", FichierEssai);
    int bips = p.dialogues.bips;

    p.f->Activation()->trigger();
    QVERIFY(p.f->Activation()->isChecked());
    QVERIFY(!p.f->Boite(Case::CDroite)->isChecked());
    QVERIFY(std::filesystem::exists(p.dossier.Chemin() / "Fr+essai.cut"));
    const Principale& pr = p.f->principale();
    QVERIFY(pr.NbMarques() > 1);
    // Each marker inside the view is a dot in its colour (one on the lower edge Y = 0 is not).
    int vues = 0;
    for (const Marque& m : pr.Marques) {
        const QPoint q = p.PixelDe(m.X, m.Y);
        if (q.x() < 0 || q.y() < 0 || q.x() >= p.Raster().LargeurPx() || q.y() >= p.Raster().HauteurPx())
            continue;
        ++vues;
        QVERIFY2(p.CouleurVers(m.X, m.Y, Palette[m.Couleur]), m.Label.c_str());
    }
    QVERIFY(vues >= 2);
    QVERIFY(p.Raster().FormeVisible(Forme::ZoneX));
    QVERIFY(p.Raster().FormeVisible(Forme::ZoneY));
    // The right coordinate lines are off in milling mode.
    QVERIFY(!p.CouleurVers(50, 60, Blanc));
    QVERIFY(p.dialogues.bips > bips);
    QVERIFY(p.dialogues.messages.empty());

    bips = p.dialogues.bips;
    p.f->Activation()->trigger();
    QVERIFY(!p.f->Activation()->isChecked());
    QVERIFY(p.f->Boite(Case::CDroite)->isChecked());
    QVERIFY(!p.Raster().FormeVisible(Forme::ZoneX));
    QVERIFY(!p.Raster().FormeVisible(Forme::ZoneY));
    QVERIFY(p.CouleurVers(50, 60, Blanc));
    QVERIFY(p.dialogues.bips > bips);
}

void TestFenetre::reglage() {
    Poste p;
    p.Ouvre("essai.cut", FichierEssai);
    p.dialogues.reponses = {"12", "20", "30", "200", "1", "1"};
    const int bips = p.dialogues.bips;
    p.Action("Réglage")->trigger();
    QCOMPARE(p.dialogues.invites.size(), std::size_t(6));
    for (const test::Invite& i : p.dialogues.invites)
        QCOMPARE(QString::fromStdString(i.titre), QString("Paramètres Fraisage 2.5"));
    QCOMPARE(QString::fromStdString(p.dialogues.invites[0].texte), QString("Dégagement en Z (mm)"));
    QCOMPARE(QString::fromStdString(p.dialogues.invites[0].defaut), QString("10"));
    QVERIFY(QString::fromStdString(p.dialogues.invites[5].texte)
                .startsWith("Vitesse de dégagement en Z (mm/s). Max :"));
    QCOMPARE(p.registre.Entier(CleFraisageEcrite, "DegZ"), std::optional<std::int32_t>(12));
    QCOMPARE(p.registre.Entier(CleFraisageEcrite, "VitZ"), std::optional<std::int32_t>(100));
    // The file was loaded and drawn again.
    QCOMPARE(p.f->Sortie()->Lignes().size(), std::size_t(5));
    QCOMPARE(p.dialogues.bips, bips + 1);
}

void TestFenetre::aPropos() {
    Poste p;
    QVERIFY(p.f->APropos() == nullptr);
    p.Action("A_propos")->trigger();
    QPointer<ui::FenetreAPropos> boite = p.f->APropos();
    QVERIFY(boite);
    QVERIFY(boite->isVisible());
    QVERIFY(!boite->isModal());
    QCOMPARE(boite->Etiquette("lblConfig1")->text(),
             QString("Axe X, moteur de 200 pas/tour, vis de 1.25 mm/tour "));

    // While it is open, choosing the item again only brings it to the front.
    p.registre.PoseEntier(CleTavik, "XNtour", 400);
    p.Action("A_propos")->trigger();
    QCOMPARE(p.f->APropos(), boite.data());
    QCOMPARE(boite->Etiquette("lblConfig1")->text(),
             QString("Axe X, moteur de 200 pas/tour, vis de 1.25 mm/tour "));
    QCOMPARE(p.dialogues.aPropos, 2);

    // "OK" unloads it; the next opening reads the store again.
    QTest::mouseClick(boite->BoutonOK(), Qt::LeftButton);
    QTRY_VERIFY(!boite);
    QVERIFY(p.f->APropos() == nullptr);
    p.Action("A_propos")->trigger();
    QVERIFY(p.f->APropos());
    QCOMPARE(p.f->APropos()->Etiquette("lblConfig1")->text(),
             QString("Axe X, moteur de 400 pas/tour, vis de 1.25 mm/tour "));
    // The main window stays usable meanwhile.
    QVERIFY(p.f->isEnabled());
}

void TestFenetre::quitter() {
    Poste p;
    p.Action("Fin")->trigger();
    QCOMPARE(p.dialogues.terminaisons, 1);
    QVERIFY(p.dialogues.messages.empty());
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
    QTimer fermePrincipale, fermeBoite, delai;
    for (QTimer* t : {&fermePrincipale, &fermeBoite, &delai})
        t->setSingleShot(true);
    connect(&fermePrincipale, &QTimer::timeout, [&] { p.f->close(); });
    connect(&fermeBoite, &QTimer::timeout, [&] {
        boiteRestee = boite && boite->isVisible();
        if (boite)
            boite->close();
    });
    connect(&delai, &QTimer::timeout, [&] {
        delaiDepasse = true;
        QCoreApplication::quit();
    });
    fermePrincipale.start(0);
    fermeBoite.start(200);
    delai.start(5000);
    QCoreApplication::exec();
    QVERIFY(boiteRestee);
    QVERIFY(!delaiDepasse);
    QCOMPARE(p.dialogues.terminaisons, 0);
}

void TestFenetre::dialoguesDeLaPlateforme() {
    QWidget parent;
    parent.show();
    int apropos = 0, fin = 0;
    ui::DialoguesQt d(
        &parent, [&] { ++apropos; }, [&] { ++fin; });

    QString titre, texte;
    QuandModal<QMessageBox>([&](QMessageBox* b) {
        titre = b->windowTitle();
        texte = b->text();
        QCOMPARE(b->buttons().size(), 1);
        b->button(QMessageBox::Ok)->click();
    });
    d.Message("Zoom trop grand");
    QCOMPARE(titre, QString("Parvel"));
    QCOMPARE(texte, QString("Zoom trop grand"));

    QString invite, defaut;
    QuandModal<QInputDialog>([&](QInputDialog* b) {
        titre = b->windowTitle();
        invite = b->labelText();
        defaut = b->textValue();
        b->setTextValue("7.5");
        b->accept();
    });
    QCOMPARE(QString::fromStdString(d.Saisie("Paramètres Fraisage 2.5", "Dégagement en Z (mm)", "10")),
             QString("7.5"));
    QCOMPARE(titre, QString("Paramètres Fraisage 2.5"));
    QCOMPARE(invite, QString("Dégagement en Z (mm)"));
    QCOMPARE(defaut, QString("10"));
    // Cancel answers an empty text, whatever the field holds.
    QuandModal<QInputDialog>([](QInputDialog* b) { b->reject(); });
    QCOMPARE(QString::fromStdString(d.Saisie("t", "i", "10")), QString());

    test::DossierTemporaire dossier;
    const std::string chemin = dossier.Ecrit("aile.cut", "T:1 XG:1 YG:1 XD:1 YD:1\r\n");
    ParamOuverture p;
    p.Filtre = "Fichiers CUT | *.cut";
    p.FichierExistant = true;
    p.DossierInitial = dossier.Chemin().string();
    QStringList filtres;
    QString dossierVu;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QuandModal<QFileDialog>([&](QFileDialog* b) {
        titre = b->windowTitle();
        filtres = b->nameFilters();
        mode = b->fileMode();
        dossierVu = b->directory().absolutePath();
        b->selectFile(QString::fromStdString(chemin));
        static_cast<QDialog*>(b)->accept(); // QFileDialog's own accept checks the file
    });
    const std::optional<std::string> choix = d.ChoisitFichier(p);
    QCOMPARE(titre, QString("Fichier CUT à ouvrir"));
    QCOMPARE(filtres, QStringList({"Fichiers CUT (*.cut)"}));
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(dossierVu, QDir(QString::fromStdString(p.DossierInitial)).absolutePath());
    QVERIFY(choix.has_value());
    QCOMPARE(QString::fromStdString(*choix), QString::fromStdString(chemin));
    QuandModal<QFileDialog>([](QFileDialog* b) { b->reject(); });
    QVERIFY(!d.ChoisitFichier(p).has_value());

    d.MontreAPropos();
    d.Termine();
    QCOMPARE(apropos, 1);
    QCOMPARE(fin, 1);
}

QTEST_MAIN(TestFenetre)
#include "test_fenetre.moc"
