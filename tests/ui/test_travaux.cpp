// Long work in the real window: a load stopped by Esc, input that arrives during a load,
// and the drawing after the window changed size.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "Doubles.h"
#include "settings/Configuration.h"
#include "ui/FenetrePrincipale.h"
#include "ui/ZoneDessin.h"
#include "ui/ZoneRapport.h"

using namespace parvel;
using parvel::ui::FenetrePrincipale;

namespace {

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
    void Ouvre(const std::string& nom, const std::string& contenu) {
        dialogues.fichierChoisi = dossier.Ecrit(nom, contenu);
        f->findChild<QAction*>("Ouvrir")->trigger();
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
};

} // namespace

class TestTravaux : public QObject {
    Q_OBJECT
  private slots:
    void chargementArreteParEchap();
    void saisiePendantLeChargementIgnoree();
    void redimensionnementGardeUneEchelle();
    void cheminSurYZeroDessine();
};

// Esc during the reading: the previous document, report and picture stay, and the
// milling output of the stopped load is not left behind.
void TestTravaux::chargementArreteParEchap() {
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
void TestTravaux::saisiePendantLeChargementIgnoree() {
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
void TestTravaux::redimensionnementGardeUneEchelle() {
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
        QTest::mouseMove(p.f->Image1(), traces[i] + ui::ZoneDessin::OrigineRaster());
        const QString t = p.f->Image1()->toolTip();
        const double X = t.mid(3, t.indexOf(" Y: ") - 3).trimmed().toDouble();
        const double Y = t.mid(t.indexOf(" Y: ") + 4).trimmed().toDouble();
        const double ecart = std::min({std::fabs(X), std::fabs(X - 100), std::fabs(Y), std::fabs(Y - 40)});
        QVERIFY2(ecart <= 2 * ex, qPrintable(t));
    }
}

// A path along Y = 0, the base of the block, lies on the last visible row.
void TestTravaux::cheminSurYZeroDessine() {
    Poste p;
    p.Ouvre("base.cut", "T:0 XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:100 YG:0 XD:100 YD:20\r\n");
    ImageRaster& r = p.Raster();
    int bas = 0;
    for (int x = 0; x < r.LargeurPx(); ++x)
        bas += r.Pixel(x, r.HauteurPx() - 1) == Magenta;
    QVERIFY(bas > r.LargeurPx() / 2);
}

QTEST_MAIN(TestTravaux)
#include "test_travaux.moc"
