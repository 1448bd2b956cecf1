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
#include <array>
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
        for (auto [nom, v] :
             {std::pair{"XNtour", 200}, {"XPas", 1250}, {"YNtour", 200}, {"YPas", 1250}, {"YVmax", 200}})
            registre.PoseEntier(CleTavik, nom, v);
        for (auto [nom, v] : {std::pair{"DegZ", 10},
                              {"VitZ", 200},
                              {"XFraise", 15},
                              {"YFraise", 30},
                              {"ZNtour", 200},
                              {"ZPas", 1}})
            registre.PoseEntier(CleFraisageLue, nom, v);
        registre.PoseTexte(CleTavik, "RepProjet", dossier.Chemin().string());
        f = std::make_unique<FenetrePrincipale>(&dialogues, &registre);
        dialogues.fenetre = f.get();
        f->show();
    }
    ~Poste() { dialogues.fenetre = nullptr; }

    ImageRaster& Raster() { return f->Image1()->Raster(); }
    QAction* Action(const char* nom) { return f->findChild<QAction*>(nom); }

    // Opens a file through "&Ouvrir" and the scripted open dialog, once the window is on screen.
    void Ouvre(const std::string& nom = "essai.cut", const char* contenu = FichierEssai) {
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        dialogues.fichierChoisi = dossier.Ecrit(nom, contenu);
        Action("Ouvrir")->trigger();
    }
    // Mouse on the raster pixel (x, y).
    void Clic(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
        QTest::mouseClick(f->Image1(), b, m, Ecran(x, y));
    }
    void Bouge(int x, int y) { QTest::mouseMove(f->Image1(), Ecran(x, y)); }

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

std::array<float, 4> Champs(const Mapping& m) {
    return {m.ScaleLeft, m.ScaleTop, m.ScaleWidth, m.ScaleHeight};
}

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
    void etatDeDepartEtMenus();
    void geometrieA96Dpi();
    void ordreDeTabulation();
    void ouvertureEtRapport();
    void imageRetenueEtAffichee();
    void survolAvantChargement();
    void zoomEtRetourEtendu();
    void casesParProgrammeEtParClic();
    void fraisage();
    void reglage();
    void aProposEtQuitter();
    void fermetureParLeSysteme();
    void dialoguesDeLaPlateforme();
};

void TestFenetre::etatDeDepartEtMenus() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    QCOMPARE(p.f->windowTitle(), QString("Parvel"));
    QVERIFY(p.f->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(p.f->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
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
    // The check boxes, checked, with captions in the colours of what they control.
    for (auto [c, couleur] : {std::pair{Case::CGauche, QColor(128, 0, 128)},
                              {Case::CDroite, QColor(255, 255, 255)},
                              {Case::PGauche, QColor(255, 0, 0)},
                              {Case::PDroite, QColor(0, 192, 0)}}) {
        QVERIFY(p.f->Boite(c)->isChecked());
        QCOMPARE(p.f->Boite(c)->palette().color(QPalette::WindowText), couleur);
    }

    // Only "&Fraisage" opens a drop-down; the others run at once.
    QStringList barre, items;
    for (QAction* a : p.f->menuBar()->actions()) {
        barre << a->text();
        QCOMPARE(a->menu() != nullptr, a->text() == "&Fraisage");
    }
    QCOMPARE(barre, QStringList({"&Quitter", "&Ouvrir", "&Fraisage", "&A propos"}));
    QMenu* fraisage = p.f->menuBar()->actions()[2]->menu();
    for (QAction* a : fraisage->actions())
        items << a->text();
    QCOMPARE(items, QStringList({"Activation", "Réglage"}));
    QVERIFY(fraisage->actions()[0]->isCheckable());
}

void TestFenetre::geometrieA96Dpi() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    if (p.f->logicalDpiX() != 96 || p.f->logicalDpiY() != 96)
        QSKIP("positions in pixels are those of a 96 dpi screen");
    QWidget* client = p.f->centralWidget();
    auto geo = [&](const char* nom) { return client->findChild<QWidget*>(nom)->geometry(); };
    // 15 twips to the pixel; both edges rounded.
    const std::pair<const char*, QRect> attendu[] = {
        {"Commande1", {8, 8, 65, 25}},  {"Commande2", {8, 32, 65, 25}},  {"ChargeOut", {8, 56, 65, 25}},
        {"Sortie", {184, 0, 265, 89}},  {"PGauche", {192, 104, 73, 17}}, {"Option2", {88, 24, 81, 17}},
        {"Affichage", {80, 8, 97, 73}}, {"Frame2", {8, 88, 169, 41}}};
    for (const auto& [nom, rect] : attendu)
        QCOMPARE(geo(nom), rect);
    QCOMPARE(geo("Image1").topLeft(), QPoint(8, 144));
    // Showing the window has sized the area from the outer size: 0.99 W - 120, H - 3240 twips.
    QCOMPARE(geo("Image1").width(), 742);
    QVERIFY(std::abs(geo("Image1").height() - (p.f->frameGeometry().height() * 15 - 3240) / 15) <= 1);
    // Client area 11364 x 7500 twips under the menu bar.
    QCOMPARE(client->size(), QSize(758, 500));
    QCOMPARE(client->y(), p.f->menuBar()->height());
    // The frames lie behind the boxes drawn over them.
    const QObjectList enfants = client->children();
    QVERIFY(enfants.indexOf(client->findChild<QGroupBox*>("Frame1")) <
            enfants.indexOf(p.f->Boite(Case::PGauche)));
    QVERIFY(enfants.indexOf(client->findChild<QGroupBox*>("Affichage")) <
            enfants.indexOf(p.f->Bouton(Option::Etendu)));

    // 12000 x 9000 twips outside gives an area of 11760 x 5760 twips; minimizing leaves it so.
    p.f->resize(800, 600);
    QTRY_COMPARE(p.f->Image1()->size(), QSize(784, 384));
    QCOMPARE(p.f->Image1()->Largeur(), 11760.0f);
    QCOMPARE(p.f->Image1()->Hauteur(), 5760.0f);
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

void TestFenetre::ouvertureEtRapport() {
    Poste p;
    p.Ouvre();
    QCOMPARE(QString::fromStdString(p.dialogues.ouvertures.at(0).DossierInitial),
             QString::fromStdString(p.dossier.Chemin().string()));
    // The report area shows the report's lines, and paints them in their colours.
    const auto& lignes = p.f->Sortie()->Lignes();
    QCOMPARE(lignes.size(), std::size_t(5));
    for (std::size_t i = 0; i < 5; ++i) {
        QCOMPARE(lignes[i].texte, QString::fromStdString(p.f->principale().DernierRapport[i].Texte));
        QCOMPARE(lignes[i].couleur, p.f->principale().DernierRapport[i].Couleur);
    }
    const QImage vue = p.f->Sortie()->grab().toImage();
    bool magenta = false, blanc = false;
    for (int y = 2; y < vue.height(); ++y)
        for (int x = 2; x < vue.width(); ++x) {
            magenta |= vue.pixelColor(x, y) == QColor(128, 0, 128);
            blanc |= vue.pixelColor(x, y) == QColor(255, 255, 255);
        }
    QVERIFY(magenta);
    QVERIFY(blanc);
    // The first load selects "Etendu" and makes "Figé" available.
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked());
    QVERIFY(p.f->Bouton(Option::Fige)->isEnabled());
}

void TestFenetre::imageRetenueEtAffichee() {
    Poste p;
    p.Ouvre();
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

    // "Efface" clears the picture; "Dessine" draws it again, with one beep.
    QTest::mouseClick(p.f->centralWidget()->findChild<QPushButton*>("Commande2"), Qt::LeftButton);
    QVERIFY(!p.CouleurVers(50, 20, Magenta));
    const int bips = p.dialogues.bips;
    QTest::mouseClick(p.f->centralWidget()->findChild<QPushButton*>("Commande1"), Qt::LeftButton);
    QVERIFY(p.CouleurVers(50, 20, Magenta));
    QCOMPARE(p.dialogues.bips, bips + 1);
}

void TestFenetre::survolAvantChargement() {
    Poste p;
    QVERIFY(QTest::qWaitForWindowExposed(p.f.get()));
    // No mapping yet: twips from the upper-left corner, Y downward; non-negative numbers
    // keep a leading blank.
    p.Bouge(10, 20);
    QTRY_VERIFY(p.f->Image1()->toolTip().startsWith("X:  "));
    QCOMPARE(p.f->Image1()->toolTip(), QString::fromStdString(p.Raster().TexteSurvol()));
    const auto [x, y] = LitSurvol(p.f->Image1()->toolTip());
    const double tpp = p.Raster().TwipsParPixel();
    QVERIFY2(x >= 10 * tpp && x < 11 * tpp, qPrintable(p.f->Image1()->toolTip()));
    QVERIFY2(y >= 20 * tpp && y < 21 * tpp, qPrintable(p.f->Image1()->toolTip()));
}

void TestFenetre::zoomEtRetourEtendu() {
    Poste p;
    p.Ouvre();
    const Mapping plein = p.Raster().LitMapping();
    const PointUtilisateur u1 = p.Raster().VersUtilisateur(100, 200);
    const PointUtilisateur u2 = p.Raster().VersUtilisateur(300, 100);
    // The right button cancels a selection; Ctrl with the left one shows the message.
    p.Clic(100, 200);
    QVERIFY(p.SelectionVisible());
    p.Clic(300, 100, Qt::RightButton);
    QVERIFY(!p.SelectionVisible());
    p.Clic(60, 250, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(p.dialogues.messages, std::vector<std::string>{"Bouton droit + CTRL pour traitement futur"});

    // The band follows the mouse in the mapping's units; the second click zooms.
    p.Clic(100, 200);
    p.Bouge(300, 100);
    QTRY_VERIFY(p.Raster().LitForme(Forme::Selection).Width > 0);
    const Placement bande = p.Raster().LitForme(Forme::Selection);
    QVERIFY(Proche(bande.Width, u2.X - u1.X));
    QVERIFY(Proche(bande.Height, u2.Y - u1.Y));
    p.Clic(300, 100);
    const Mapping zoom = p.Raster().LitMapping();
    QCOMPARE(zoom.ScaleLeft, u1.X);
    QCOMPARE(zoom.ScaleTop, u2.Y);
    QVERIFY(Proche(zoom.ScaleWidth / zoom.ScaleHeight, plein.ScaleWidth / plein.ScaleHeight));
    // "Variable" shows as selected while it stays greyed.
    QVERIFY(p.f->Bouton(Option::Variable)->isChecked());
    QVERIFY(!p.f->Bouton(Option::Variable)->isEnabled());

    // Back to the full view with a user's click on "Etendu".
    QTest::mouseClick(p.f->Bouton(Option::Etendu), Qt::LeftButton);
    QVERIFY(Champs(p.Raster().LitMapping()) == Champs(plein));
    QVERIFY(p.CouleurVers(50, 20, Magenta));
}

void TestFenetre::casesParProgrammeEtParClic() {
    Poste p;
    p.Ouvre();
    QCheckBox* gauche = p.f->Boite(Case::CGauche);
    int bips = p.dialogues.bips;

    // A change made by the program runs the handler, once: one redraw, one beep. Setting
    // the same value again is no change.
    p.f->principale().DefinitCoche(Case::CGauche, false);
    QVERIFY(!gauche->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 1);
    QVERIFY(!p.CouleurVers(50, 20, Magenta));
    QVERIFY(p.CouleurVers(50, 60, Blanc));
    p.f->principale().DefinitCoche(Case::CGauche, false);
    QCOMPARE(p.dialogues.bips, bips + 1);

    // A user's click runs it once as well, and the keyboard too.
    QTest::mouseClick(gauche, Qt::LeftButton);
    QVERIFY(gauche->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 2);
    QVERIFY(p.CouleurVers(50, 20, Magenta));
    gauche->setFocus();
    QTest::keyClick(gauche, Qt::Key_Space);
    QVERIFY(!gauche->isChecked());
    QCOMPARE(p.dialogues.bips, bips + 3);

    // An option set by the program runs its handler once, only when it becomes selected.
    bips = p.dialogues.bips;
    p.f->principale().Choisit(Option::Fige);
    p.f->principale().Choisit(Option::Etendu);
    QCOMPARE(p.dialogues.bips, bips + 1);
    p.f->principale().Choisit(Option::Etendu);
    QCOMPARE(p.dialogues.bips, bips + 1);

    // A click on a step box clears the area, which stays empty until the next redraw.
    QTest::mouseClick(p.f->Boite(Case::PDroite), Qt::LeftButton);
    QVERIFY(!p.f->Boite(Case::PDroite)->isChecked());
    QVERIFY(!p.CouleurVers(50, 60, Blanc));
    QCOMPARE(p.dialogues.bips, bips + 1);
}

void TestFenetre::fraisage() {
    Poste p;
    p.Ouvre();
    p.f->Activation()->trigger();
    QVERIFY(p.f->Activation()->isChecked());
    QVERIFY(!p.f->Boite(Case::CDroite)->isChecked());
    QVERIFY(std::filesystem::exists(p.dossier.Chemin() / "Fr+essai.cut"));
    // Each marker inside the view is a dot in its colour (one on the lower edge Y = 0 is not).
    int vues = 0;
    for (const Marque& m : p.f->principale().Fraiseuse.Marques) {
        const QPoint q = p.PixelDe(m.X, m.Y);
        if (q.x() < 0 || q.y() < 0 || q.x() >= p.Raster().LargeurPx() || q.y() >= p.Raster().HauteurPx())
            continue;
        ++vues;
        QVERIFY2(p.CouleurVers(m.X, m.Y, Palette[m.Couleur]), m.Label.c_str());
    }
    QVERIFY(vues >= 2);
    QVERIFY(p.Raster().FormeVisible(Forme::ZoneX));
    QVERIFY(!p.CouleurVers(50, 60, Blanc));

    p.f->Activation()->trigger();
    QVERIFY(!p.f->Activation()->isChecked());
    QVERIFY(p.f->Boite(Case::CDroite)->isChecked());
    QVERIFY(!p.Raster().FormeVisible(Forme::ZoneX));
    QVERIFY(p.CouleurVers(50, 60, Blanc));
}

void TestFenetre::reglage() {
    Poste p;
    p.dialogues.reponses = {"12", "20", "30", "200", "1", "1"};
    p.Action("Réglage")->trigger();
    QCOMPARE(p.dialogues.invites.size(), std::size_t(6));
    QCOMPARE(QString::fromStdString(p.dialogues.invites[0].defaut), QString("10"));
    QCOMPARE(p.registre.Entier(CleFraisageEcrite, "DegZ"), std::optional<std::int32_t>(12));
    QCOMPARE(p.registre.Entier(CleFraisageEcrite, "VitZ"), std::optional<std::int32_t>(100));
}

void TestFenetre::aProposEtQuitter() {
    Poste p;
    QVERIFY(p.f->APropos() == nullptr);
    p.Action("A_propos")->trigger();
    QPointer<ui::FenetreAPropos> boite = p.f->APropos();
    QVERIFY(boite);
    QVERIFY(boite->isVisible());
    QVERIFY(!boite->isModal());
    const QString x200 = "Axe X, moteur de 200 pas/tour, vis de 1.25 mm/tour ";
    QCOMPARE(boite->Etiquette("lblConfig1")->text(), x200);

    // While it is open, choosing the item again only brings it to the front.
    p.registre.PoseEntier(CleTavik, "XNtour", 400);
    p.Action("A_propos")->trigger();
    QCOMPARE(p.f->APropos(), boite.data());
    QCOMPARE(boite->Etiquette("lblConfig1")->text(), x200);
    QCOMPARE(p.dialogues.aPropos, 2);

    // "OK" unloads it; the next opening reads the store again. The main window stays usable.
    QTest::mouseClick(boite->BoutonOK(), Qt::LeftButton);
    QTRY_VERIFY(!boite);
    QVERIFY(p.f->APropos() == nullptr);
    p.Action("A_propos")->trigger();
    QVERIFY(p.f->APropos());
    QCOMPARE(p.f->APropos()->Etiquette("lblConfig1")->text(),
             QString("Axe X, moteur de 400 pas/tour, vis de 1.25 mm/tour "));
    QVERIFY(p.f->isEnabled());

    QCOMPARE(p.dialogues.terminaisons, 0);
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
