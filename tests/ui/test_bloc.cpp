// SPDX-License-Identifier: GPL-3.0-or-later
// The block in the real window: the geometry's dialog, the faces' choice refused without
// it, the faces drawn and their figures shown, and the 3D view's window, whose picture
// an orbit changes and over which playback lays the wire.
#include <QAction>
#include <QSlider>
#include <QtTest>
#include <algorithm>

#include "Doubles.h"
#include "settings/Configuration.h"
#include "settings/GeometrieBloc.h"
#include "ui/FenetrePrincipale.h"
#include "ui/Zone3D.h"
#include "ui/ZoneDessin.h"
#include "ui/ZoneRapport.h"

using namespace parvel;

namespace {

// The left carriage round a 100 x 40 rectangle, the right one round half of it: a taper.
const char* const Effile = "T:0 XG:0 YG:0 XD:25 YD:10\r\nT:1 XG:100 YG:0 XD:75 YD:10\r\n"
                           "T:1 XG:100 YG:40 XD:75 YD:30\r\nT:1 XG:0 YG:40 XD:25 YD:30\r\n"
                           "T:1 XG:0 YG:0 XD:25 YD:10\r\n";

bool Contient(const ImageRaster& r, std::uint32_t couleur) {
    for (int y = 0; y < r.HauteurPx(); ++y)
        for (int x = 0; x < r.LargeurPx(); ++x)
            if (r.Pixel(x, y) == couleur)
                return true;
    return false;
}

} // namespace

class TestBloc : public QObject {
    Q_OBJECT
  private slots:
    void geometrieFacesEtVue3D();
};

void TestBloc::geometrieFacesEtVue3D() {
    test::DossierTemporaire dossier;
    test::RegistreMemoire registre;
    test::DialoguesScriptes dialogues;
    ui::FenetrePrincipale f(&dialogues, &registre);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.SortieFaces()->Lignes().at(0).texte, QString("  Faces du bloc : géométrie non réglée"));
    f.Ouvre(dossier.Ecrit("effile.cut", Effile));

    // Without a geometry the faces and the 3D view say why and stay off.
    f.Faces(ModeFaces::Seules)->trigger();
    f.Vue3D()->trigger();
    QCOMPARE(dialogues.messages, std::vector<std::string>(2, MessageSansGeometrie));
    QVERIFY(f.Faces(ModeFaces::Masquees)->isChecked());
    QVERIFY(!f.Vue3D()->isChecked());

    // The dialog: a decimal comma, kept in hundredths in Parvel's own section.
    dialogues.reponses = {"200", "50,5", "100"};
    f.Geometrie()->trigger();
    QCOMPARE(registre.Entier(CleBloc, "L"), std::optional<std::int32_t>(20000));
    QCOMPARE(registre.Entier(CleBloc, "d"), std::optional<std::int32_t>(5050));
    QCOMPARE(registre.Entier(CleBloc, "w"), std::optional<std::int32_t>(10000));
    for (const std::string& e : registre.ecritures)
        QVERIFY(e.find(CleTavikFin) == std::string::npos);
    // The right path is the left one halved about (50, 20): the near face's factor is
    // 1 - 50.5 / 400, so its chord is 87.38 mm.
    const auto& lignes = f.SortieFaces()->Lignes();
    QVERIFY(lignes.at(0).texte.startsWith("  Face proche (z = 50.50 mm) : corde 87.38"));
    QCOMPARE(f.Sortie()->Lignes().size(), std::size_t{5});

    const ImageRaster& r = f.Image1()->Raster();
    QVERIFY(Contient(r, Palette[CouleurGauche]));
    QVERIFY(!Contient(r, Palette[CouleurFaceProche]));
    f.Faces(ModeFaces::Seules)->trigger();
    QVERIFY(f.Faces(ModeFaces::Seules)->isChecked());
    QVERIFY(Contient(r, Palette[CouleurFaceProche]));
    QVERIFY(Contient(r, Palette[CouleurFaceLoin]));
    QVERIFY(!Contient(r, Palette[CouleurGauche]));

    // The 3D window; a left-drag orbits and the picture changes.
    f.Vue3D()->trigger();
    ui::Zone3D* z = f.Image3D();
    QVERIFY(z && z->isVisible());
    QTRY_VERIFY(std::count(z->Compose().begin(), z->Compose().end(), 0xFF000000u | Rendu3D::CouleurArete) >
                50);
    const std::vector<std::uint32_t> avant = z->Compose();
    QTest::mousePress(z, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent glisse(QEvent::MouseMove, QPointF(160, 130), z->mapToGlobal(QPointF(160, 130)), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(z, &glisse);
    QCOMPARE(z->Camera().Azimut, Camera3D::AzimutDefaut + 20);
    QTRY_VERIFY(z->Compose() != avant);

    // Playback: the wire across the machine at the moment shown.
    const std::vector<std::uint32_t> sansFil = z->Compose();
    f.findChild<QSlider*>("CurseurLecture")->setValue(15);
    QVERIFY(z->FilMontre());
    QCOMPARE(z->FilMontre()->XG, 100.0);
    QCOMPARE(z->FilMontre()->YG, 20.0);
    const std::vector<std::uint32_t> avecFil = z->Compose();
    QVERIFY(std::count(avecFil.begin(), avecFil.end(), 0xFF000000u) >
            std::count(sansFil.begin(), sansFil.end(), 0xFF000000u) + 50);
    // Home gives the starting view back.
    QTest::keyClick(z, Qt::Key_Home);
    QCOMPARE(z->Camera().Azimut, Camera3D::AzimutDefaut);
}

QTEST_MAIN(TestBloc)
#include "test_bloc.moc"
