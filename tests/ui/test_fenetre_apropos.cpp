// The about box on its own: texts from the store, layout, and how it closes.
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cmath>

#include "Doubles.h"
#include "cut/Erreur.h"
#include "settings/APropos.h"
#include "settings/Configuration.h"
#include "ui/FenetreAPropos.h"

using namespace parvel;
using parvel::ui::FenetreAPropos;

static const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;

class TestAPropos : public QObject {
    Q_OBJECT

  private slots:
    void textesDuMagasin();
    void miseEnPage();
    void fermeture_data();
    void fermeture();
    void echecs();
};

void TestAPropos::textesDuMagasin() {
    test::RegistreMemoire reg;
    test::DialoguesScriptes dlg;
    reg.PoseEntier(CleTavik, "XPas", 1250);
    reg.PoseTexte(CleTavik, "RepProjet", "/srv/projets");
    reg.PoseEntier(CleFraisageLue, "YFraise", 123456789);
    auto* boite = new FenetreAPropos(reg, ",", dlg);
    const TextesAPropos t = LitAPropos(reg, ",");
    QCOMPARE(boite->windowTitle(), QString::fromStdString(t.Caption));
    const std::pair<const char*, const std::string*> etiquettes[] = {
        {"lblTitle", &t.Titre},     {"lblVersion", &t.Version}, {"lblConfig1", &t.Config1},
        {"lblConfig2", &t.Config2}, {"lblConfig3", &t.Config3}, {"lblConfig4", &t.Config4},
        {"lblConfig5", &t.Config5}};
    for (const auto& [nom, texte] : etiquettes)
        QCOMPARE(boite->Etiquette(nom)->text(), QString::fromStdString(*texte));
    QCOMPARE(boite->Etiquette("Label1")->text(), QString("Configuration de la table"));
    QCOMPARE(boite->Etiquette("Label2")->text(), QString("Configuration pour Fraisage"));
    QVERIFY(dlg.messages.empty());
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

// A failed load shows its message before the box opens; only a failure that is not a
// numeric one ends the program.
void TestAPropos::echecs() {
    for (int erreur : {ErrDepassement, ErrFichierIntrouvable}) {
        test::RegistreMemoire reg;
        reg.echecsLecture["XNtour"] = erreur;
        test::DialoguesScriptes dlg;
        auto* boite = new FenetreAPropos(reg, ".", dlg);
        QCOMPARE(dlg.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(dlg.messages[0]),
                 QString::fromStdString(*LitAPropos(reg, ".").MessageErreur));
        QCOMPARE(dlg.terminaisons, erreur == ErrDepassement ? 0 : 1);
        QCOMPARE(boite->Termine(), erreur != ErrDepassement);
        delete boite;
    }
}

QTEST_MAIN(TestAPropos)
#include "test_fenetre_apropos.moc"
