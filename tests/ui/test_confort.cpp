// What the window adds for today's users: wheel zoom and pan, keys, opening by drop and
// by name, live reload, the report area's selection, French standard dialogs; and long
// work: a load stopped by Esc, input during a load, the drawing after a resize.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "Doubles.h"
#include "settings/Configuration.h"
#include "settings/Preferences.h"
#include "ui/Apparence.h"
#include "ui/DialoguesQt.h"
#include "ui/FenetrePrincipale.h"
#include "ui/ZoneDessin.h"
#include "ui/ZoneRapport.h"

using namespace parvel;
using parvel::ui::FenetrePrincipale;

namespace {

const char* const Rectangle = "T:0 XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:100 YG:0 XD:100 YD:0\r\n"
                              "T:1 XG:100 YG:40 XD:100 YD:40\r\nT:1 XG:0 YG:40 XD:0 YD:40\r\n"
                              "T:1 XG:0 YG:0 XD:0 YD:0\r\n";

constexpr std::uint32_t Magenta = 0x800080;

// A rectangle 100 x 40 run round `tours` times: enough lines to be stopped on the way.
std::string Rectangles(int tours) {
    std::string t = "T:0 XG:0 YG:0 XD:0 YD:0\r\n";
    for (int i = 0; i < tours; ++i)
        t += "T:1 XG:100 YG:0 XD:100 YD:0\r\nT:1 XG:100 YG:40 XD:100 YD:40\r\n"
             "T:1 XG:0 YG:40 XD:0 YD:40\r\nT:1 XG:0 YG:0 XD:0 YD:0\r\n";
    return t;
}

struct Poste {
    test::DossierTemporaire dossier;
    test::RegistreMemoire registre;
    test::DialoguesScriptes dialogues;
    std::unique_ptr<FenetrePrincipale> f;
    Poste() {
        const std::string cle = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;
        registre.PoseTexte(cle, "RepProjet", dossier.Chemin().string());
        f = std::make_unique<FenetrePrincipale>(&dialogues, &registre);
        f->show();
        [[maybe_unused]] const bool vu = QTest::qWaitForWindowExposed(f.get());
    }
    void Ouvre(const std::string& nom = "r.cut", const std::string& contenu = Rectangle) {
        f->Ouvre(QString::fromStdString(dossier.Ecrit(nom, contenu)));
    }
    ImageRaster& Raster() { return f->Image1()->Raster(); }
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
    QPoint Ecran(int x, int y) { return QPoint(x, y) + ui::ZoneDessin::OrigineRaster(); }
    // The hover readout at a widget position.
    std::pair<double, double> Lu(QPoint p) {
        QTest::mouseMove(Zone(), p);
        const QString t = Zone()->toolTip();
        const qsizetype y = t.indexOf(" Y: ");
        return {t.mid(3, y - 3).trimmed().toDouble(), t.mid(y + 4).trimmed().toDouble()};
    }
    void Molette(QPoint p, int crans) {
        QWheelEvent e(p, Zone()->mapToGlobal(p), {}, QPoint(0, 120 * crans), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(Zone(), &e);
    }
};

} // namespace

class TestConfort : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { ui::ChargeTraductions(*qApp); }
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
};

// A notch zooms 1.25 times toward the cursor, which keeps reading the same point, and
// leaves the view as a rectangle zoom does.
void TestConfort::moletteVersLeCurseur() {
    Poste p;
    p.Ouvre();
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

    // Far enough in, the rectangle zoom's limit applies.
    for (int i = 0; i < 40 && p.dialogues.messages.empty(); ++i)
        p.Molette(curseur, 1);
    QCOMPARE(p.dialogues.messages, std::vector<std::string>{"Zoom trop grand"});
}

// A middle-button drag moves the drawing with the hand; arrow keys by a tenth of the view.
void TestConfort::glisserEtFleches() {
    Poste p;
    p.Ouvre();
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
void TestConfort::touches() {
    Poste p;
    p.Ouvre();
    const Mapping etendu = p.Vue();
    p.Molette(p.Ecran(50, 50), 2);
    p.Zone()->setFocus();
    QTest::keyClick(p.Zone(), Qt::Key_Home);
    QVERIFY(p.f->Bouton(Option::Etendu)->isChecked());
    QCOMPARE(p.Vue().ScaleWidth, etendu.ScaleWidth);

    QTest::mouseClick(p.Zone(), Qt::LeftButton, {}, p.Ecran(40, 200));
    QVERIFY(p.Zone()->Raster().FormeVisible(Forme::Selection));
    QTest::keyClick(p.Zone(), Qt::Key_Escape);
    QVERIFY(!p.Zone()->Raster().FormeVisible(Forme::Selection));
    QCOMPARE(p.f->principale().Vue.Zoom.EtatSelection, short{0});

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
void TestConfort::deposerEtOuvrirParSonNom() {
    Poste p;
    const std::string chemin = p.dossier.Ecrit("depose.cut", Rectangle);
    QMimeData donnees;
    donnees.setUrls({QUrl::fromLocalFile(QString::fromStdString(chemin))});
    QDragEnterEvent entre(QPoint(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.f.get(), &entre);
    QVERIFY(entre.isAccepted());
    QDropEvent depose(QPointF(10, 10), Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.f.get(), &depose);
    QTRY_COMPARE(p.f->principale().CheminCourant(), chemin);
    QCOMPARE(p.f->Sortie()->Lignes().size(), std::size_t{5});
    // It heads the recent files of the menu, which open it again.
    auto* fichiers = p.f->findChild<QMenu*>("Fichiers");
    emit fichiers->aboutToShow();
    QCOMPARE(fichiers->actions().front()->text(), QString("&1 depose.cut"));
    QCOMPARE(fichiers->actions().front()->toolTip().toStdString(), chemin);

    QMimeData texte;
    texte.setUrls({QUrl::fromLocalFile("/tmp/image.png")});
    QDragEnterEvent refuse(QPoint(10, 10), Qt::CopyAction, &texte, Qt::LeftButton, Qt::NoModifier);
    refuse.setAccepted(false);
    QApplication::sendEvent(p.f.get(), &refuse);
    QVERIFY(!refuse.isAccepted());
}

// The file rewritten on disk is loaded again once its writer is done; switched off, it is
// not, and the choice is kept in the program's own section of the store.
void TestConfort::rechargementAutomatique() {
    Poste p;
    p.Ouvre("out.cut");
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
void TestConfort::rapportSelectionnable() {
    Poste p;
    p.Ouvre("large.cut", "T:0 XG:-123456789012 YG:0 XD:-123456789012 YD:0\r\nT:1 XG:987654321098 "
                         "YG:-98765432 XD:987654321098 YD:-98765432\r\n");
    ui::ZoneRapport* r = p.f->Sortie();
    QVERIFY(r->textInteractionFlags() & Qt::TextSelectableByMouse);
    r->selectAll();
    QVERIFY(r->textCursor().selectedText().contains("A droite"));
    QTRY_VERIFY(r->horizontalScrollBar()->maximum() > 0);
    QCOMPARE(r->focusPolicy(), Qt::StrongFocus);
}

// Qt's own dialogs speak French.
void TestConfort::dialoguesEnFrancais() {
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
void TestConfort::chargementArreteParEchap() {
    Poste p;
    p.Ouvre("petit.cut", Rectangles(1));
    const std::string chemin = p.f->principale().CheminCourant();
    const QString rapport = p.f->Sortie()->Lignes().at(3).texte;
    const int traces = p.Compte(Magenta);
    QVERIFY(traces > 0);

    p.f->principale().Ctl.DefinitFraisageActif(true);
    QCoreApplication::postEvent(p.f->Image1(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    p.Ouvre("grand.cut", Rectangles(20000));

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
void TestConfort::saisiePendantLeChargementIgnoree() {
    Poste p;
    auto* efface = p.f->findChild<QPushButton*>("Commande2");
    const QPoint centre = efface->rect().center();
    QCoreApplication::postEvent(efface,
                                new QMouseEvent(QEvent::MouseButtonPress, centre, efface->mapToGlobal(centre),
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(efface, new QMouseEvent(QEvent::MouseButtonRelease, centre,
                                                        efface->mapToGlobal(centre), Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
    p.Ouvre("grand.cut", Rectangles(5000));
    QCoreApplication::processEvents();
    QVERIFY(p.Compte(Magenta) > 0);
    QCOMPARE(p.f->Sortie()->Lignes().size(), std::size_t{5});
}

// X and Y share one scale after the window changed size, with "Etendu" and after a zoom,
// and the readout names the point drawn under the cursor.
void TestConfort::redimensionnementGardeUneEchelle() {
    Poste p;
    p.Ouvre("r.cut", Rectangles(1));
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
void TestConfort::cheminSurYZeroDessine() {
    Poste p;
    p.Ouvre("base.cut", "T:0 XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:100 YG:0 XD:100 YD:20\r\n");
    ImageRaster& r = p.Raster();
    int bas = 0;
    for (int x = 0; x < r.LargeurPx(); ++x)
        bas += r.Pixel(x, r.HauteurPx() - 1) == Magenta;
    QVERIFY(bas > r.LargeurPx() / 2);
}

QTEST_MAIN(TestConfort)
#include "test_confort.moc"
