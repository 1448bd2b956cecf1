// The about box on its own: texts from the store, layout, and how it closes.
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cmath>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/Configuration.h"
#include "ui/FenetreAPropos.h"

using namespace parvel;
using parvel::ui::FenetreAPropos;

namespace {

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;

// A store whose reads fail, as only the platform itself could make them.
class RegistreEnPanne : public test::RegistreMemoire {
  public:
    int erreur = ErrFichierIntrouvable;
    std::int32_t LitEntierRegistre(Racine, std::string, std::string) override { throw ErreurParvel(erreur); }
};

} // namespace

class TestAPropos : public QObject {
    Q_OBJECT

  private slots:
    void textesDuMagasin();
    void miseEnPage();
    void fermeture_data();
    void fermeture();
    void echecNumerique();
    void echecFatal();
};

void TestAPropos::textesDuMagasin() {
    test::RegistreMemoire reg;
    test::DialoguesScriptes dlg;
    reg.PoseEntier(CleTavik, "XNtour", 200);
    reg.PoseEntier(CleTavik, "XPas", 1250);
    reg.PoseEntier(CleTavik, "YNtour", 48);
    reg.PoseEntier(CleTavik, "YPas", 1000);
    reg.PoseTexte(CleTavik, "RepProjet", "/srv/projets");
    reg.PoseEntier(CleFraisageLue, "DegZ", 10);
    reg.PoseEntier(CleFraisageLue, "VitZ", 250);
    reg.PoseEntier(CleFraisageLue, "XFraise", 15);
    reg.PoseEntier(CleFraisageLue, "YFraise", 123456789);
    reg.PoseEntier(CleFraisageLue, "ZNtour", 200);
    reg.PoseEntier(CleFraisageLue, "ZPas", 2);
    auto* boite = new FenetreAPropos(reg, ",", dlg);
    QCOMPARE(boite->windowTitle(), QString("À propos de Parvel"));
    QCOMPARE(boite->Etiquette("lblTitle")->text(), QString("Parvel"));
    QCOMPARE(boite->Etiquette("lblVersion")->text(), QString("Version 2.0.10"));
    QCOMPARE(boite->Etiquette("Label1")->text(), QString("Configuration de la table"));
    QCOMPARE(boite->Etiquette("Label2")->text(), QString("Configuration pour Fraisage"));
    QCOMPARE(boite->Etiquette("lblConfig1")->text(),
             QString("Axe X, moteur de 200 pas/tour, vis de 1,25 mm/tour "));
    QCOMPARE(boite->Etiquette("lblConfig2")->text(),
             QString("Axe Y, moteur de 48 pas/tour, vis de 1 mm/tour "));
    QCOMPARE(boite->Etiquette("lblConfig3")->text(), QString(" Répertoire des projets : /srv/projets"));
    QCOMPARE(boite->Etiquette("lblConfig4")->text(),
             QString(" Hauteur de dégagement en Z :10mm à 2,5 mm/s pour X< 15 et Y> 1,234568E+08 mm"));
    QCOMPARE(boite->Etiquette("lblConfig5")->text(),
             QString("Axe Z, moteur de 200 pas/tour, vis de 2 mm/tour "));
    QVERIFY(dlg.messages.empty());
    QCOMPARE(dlg.terminaisons, 0);
    delete boite;
}

void TestAPropos::miseEnPage() {
    test::RegistreMemoire reg;
    test::DialoguesScriptes dlg;
    reg.PoseTexte(CleTavik, "RepProjet", std::string(300, 'r'));
    auto* boite = new FenetreAPropos(reg, ".", dlg);
    boite->show();
    QVERIFY(QTest::qWaitForWindowExposed(boite));
    QVERIFY(!boite->Etiquette("lblDescription")->isVisible());
    QVERIFY(boite->BoutonOK()->isDefault());
    QCOMPARE(boite->windowType(), Qt::Tool);
    QVERIFY(boite->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(boite->windowIcon().isNull());
    QVERIFY(boite->Etiquette("lblTitle")->font().bold());
    QVERIFY(boite->Etiquette("lblVersion")->font().italic());
    QVERIFY(boite->Etiquette("Label1")->font().bold());
    QCOMPARE(boite->Etiquette("lblConfig1")->palette().color(QPalette::WindowText), QColor(Qt::black));
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
    QVERIFY(std::fabs(centre("lblConfig1") - 2850 / 15.0) <= 1);
    QVERIFY(std::fabs(centre("lblConfig3") - 2850 / 15.0) <= 1);
    QVERIFY(boite->Etiquette("lblConfig3")->x() < 0);
    QVERIFY(std::fabs(centre("lblConfig5") - 2910 / 15.0) <= 1);
    QCOMPARE(boite->Etiquette("lblVersion")->pos(), QPoint(225, 24));
    // The etched separator: grey over white, above the button.
    const QImage vue = boite->grab().toImage();
    QCOMPARE(vue.pixelColor(100, 232), QColor(128, 128, 128));
    QCOMPARE(vue.pixelColor(100, 233), QColor(255, 255, 255));
    delete boite;
}

void TestAPropos::fermeture_data() {
    QTest::addColumn<int>("touche");
    QTest::newRow("Entrée") << int(Qt::Key_Return);
    QTest::newRow("Echap") << int(Qt::Key_Escape);
    QTest::newRow("OK") << 0;
}

void TestAPropos::fermeture() {
    QFETCH(int, touche);
    test::RegistreMemoire reg;
    test::DialoguesScriptes dlg;
    QPointer<FenetreAPropos> boite = new FenetreAPropos(reg, ".", dlg);
    boite->show();
    QApplication::setActiveWindow(boite);
    QVERIFY(QTest::qWaitForWindowActive(boite));
    if (touche)
        QTest::keyClick(boite, static_cast<Qt::Key>(touche));
    else
        QTest::mouseClick(boite->BoutonOK(), Qt::LeftButton);
    // Closing unloads the box.
    QTRY_VERIFY(!boite);
}

void TestAPropos::echecNumerique() {
    RegistreEnPanne reg;
    reg.erreur = ErrDepassement;
    test::DialoguesScriptes dlg;
    auto* boite = new FenetreAPropos(reg, ".", dlg);
    QCOMPARE(dlg.messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(dlg.messages[0]),
             QString::fromStdString("Erreur : 6 " + DescriptionErreur(ErrDepassement)));
    QCOMPARE(dlg.terminaisons, 0);
    QVERIFY(!boite->Termine());
    QCOMPARE(boite->Etiquette("lblConfig1")->text(),
             QString("Axe X, moteur de 48 pas/tour, vis de 1 mm/tour "));
    QCOMPARE(boite->Etiquette("lblConfig4")->text(), QString("Configuration de la table"));
    delete boite;
}

void TestAPropos::echecFatal() {
    RegistreEnPanne reg;
    test::DialoguesScriptes dlg;
    auto* boite = new FenetreAPropos(reg, ".", dlg);
    QCOMPARE(dlg.messages.size(), std::size_t(1));
    QCOMPARE(dlg.terminaisons, 1);
    QVERIFY(boite->Termine());
    delete boite;
}

QTEST_MAIN(TestAPropos)
#include "test_fenetre_apropos.moc"
