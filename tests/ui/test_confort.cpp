// What the window adds for today's users: wheel zoom and pan, keys, opening by drop and
// by name, live reload, the report area's selection, French standard dialogs.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

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

struct Poste {
    test::DossierTemporaire dossier;
    test::RegistreMemoire registre;
    test::DialoguesScriptes dialogues;
    std::unique_ptr<FenetrePrincipale> f;
    Poste() {
        f = std::make_unique<FenetrePrincipale>(&dialogues, &registre);
        f->show();
        [[maybe_unused]] const bool vu = QTest::qWaitForWindowExposed(f.get());
    }
    void Ouvre(const std::string& nom = "r.cut", const char* contenu = Rectangle) {
        f->Ouvre(QString::fromStdString(dossier.Ecrit(nom, contenu)));
    }
    ui::ZoneDessin* Zone() { return f->Image1(); }
    Mapping Vue() { return Zone()->Raster().LitMapping(); }
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
    QMouseEvent relache(QEvent::MouseButtonRelease, p.Ecran(100 + l / 4, 100),
                        p.Zone()->mapToGlobal(p.Ecran(100 + l / 4, 100)), Qt::MiddleButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(p.Zone(), &relache);
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

QTEST_MAIN(TestConfort)
#include "test_confort.moc"
