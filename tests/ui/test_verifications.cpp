// SPDX-License-Identifier: GPL-3.0-or-later
// The checks in the real window: the line under the drawing after a load, the
// "Vérifications" window, and a finding chosen there moving playback to its first line
// with that line shown apart on the drawing.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QtTest>
#include <memory>
#include <string>

#include "Doubles.h"
#include "settings/Configuration.h"
#include "settings/ReglagesVerification.h"
#include "ui/Apparence.h"
#include "ui/FenetrePrincipale.h"
#include "ui/PanneauVerifications.h"
#include "ui/ZoneDessin.h"

using namespace parvel;

class TestVerifications : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { ui::ChargeTraductions(*qApp); }
    void choixDUnConstat();
};

void TestVerifications::choixDUnConstat() {
    test::RegistreMemoire registre;
    // A top Y speed of 10 mm/s (1 mm screws, 50 steps a turn, 2 ms a step) and a travel of 1000 x 500 mm.
    const std::string tavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;
    for (auto [nom, v] :
         {std::pair{"XNtour", 50}, {"XPas", 1000}, {"YNtour", 50}, {"YPas", 1000}, {"YVmax", 200}})
        registre.PoseEntier(tavik, nom, v);
    registre.PoseEntier(CleVerifications, "CourseX", 1000);
    registre.PoseEntier(CleVerifications, "CourseY", 500);
    test::DialoguesScriptes dialogues;
    ui::FenetrePrincipale f(&dialogues, &registre);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.Ouvre(std::string(PARVEL_DONNEES_TEST) + "/verifications/defauts.cut");
    QCOMPARE(
        f.EtatVerifications()->text().section(" — ", 0, 0),
        QString("Vérifications : 4 problèmes (durée nulle, vitesse Y, rapport des vitesses, hors course)"));
    QVERIFY(f.EtatVerifications()->geometry().top() > f.Image1()->geometry().bottom());

    f.findChild<QAction*>("MenuVerifications")->trigger();
    ui::PanneauVerifications* panneau = f.PanneauVerif();
    QVERIFY(panneau && panneau->isVisible());
    QListWidget* liste = panneau->Liste();
    QCOMPARE(liste->count(), 4);
    QCOMPARE(liste->item(1)->text(), QString("Vitesse Y au-delà de la vitesse maximale de la machine : 1 "
                                             "ligne (7), pire : 20 mm/s à la ligne 7"));
    auto choisit = [&](int i) {
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {},
                          liste->visualItemRect(liste->item(i)).center());
    };

    // Line 7 begins 2 s into the cut (lines 3 to 6 last 1, 0, -1 counted as none, and 1):
    // the wire goes there and the line is laid over the drawing.
    choisit(1);
    const Principale& p = f.principale();
    QCOMPARE(p.Lecture().Etat().Ligne, 7);
    QCOMPARE(p.Lecture().Etat().Temps, 2.0);
    QVERIFY(p.TexteLecture().ends_with("| ligne 7"));
    const auto& surligne = f.Image1()->Raster().SurlignageMontre();
    QVERIFY(surligne);
    // X after the zero shift of the first line (100).
    QCOMPARE(surligne->Debut.XG, 40.0);
    QCOMPARE(surligne->Debut.YG, 20.0);
    QCOMPARE(surligne->Fin.YG, 40.0);
    QCOMPARE(surligne->Fin.YD, 25.0);
    const std::vector<std::uint32_t> pixels = f.Image1()->Raster().Compose();
    QVERIFY(std::count(pixels.begin(), pixels.end(), 0xFF000000u | ImageRaster::CouleurSurlignage) > 20);

    // A line without duration: the wire stands where it begins, and it is the line shown.
    choisit(0);
    QCOMPARE(p.Lecture().Etat().Ligne, 4);
    QCOMPARE(p.Lecture().Etat().Temps, 1.0);

    // A clean file: the line and the window say it passed, with the checks run.
    f.Ouvre(std::string(PARVEL_EXEMPLES) + "/aile.cut");
    QVERIFY(!f.Image1()->Raster().SurlignageMontre());
    QCOMPARE(f.EtatVerifications()->text().section(" — ", 0, 0),
             QString("Vérifications : aucun problème trouvé"));
    QCOMPARE(liste->count(), 0);
    QCOMPARE(panneau->Resume()->text(), QString("aile.cut a passé les vérifications."));
    QCOMPARE(panneau->Controles()->text().count("Vérifié : "), 5);
}

QTEST_MAIN(TestVerifications)
#include "test_verifications.moc"
