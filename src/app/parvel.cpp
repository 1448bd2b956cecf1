// SPDX-License-Identifier: GPL-3.0-or-later
// parvel: the CUT-file viewer's window.
#include <QApplication>
#include <QTimer>
#include <clocale>
#include <string>

#include "cut/Nombres.h"
#include "ui/Apparence.h"
#include "ui/FenetrePrincipale.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Parvel");
    QApplication::setDesktopFileName("parvel");
    parvel::ui::AppliqueApparence(app);
    // The program speaks French: so do Qt's own dialogs and buttons.
    parvel::ui::ChargeTraductions(app);

    // The report and the about box write numbers with the user's decimal separator;
    // the rest of the process keeps the C form that QApplication replaced.
    const std::string separateur = parvel::SeparateurDecimalLocale();
    std::setlocale(LC_NUMERIC, "C");

    parvel::ui::FenetrePrincipale fenetre;
    if (fenetre.Terminee())
        return 0;
    fenetre.principale().Separateur = separateur;
    fenetre.show();
    // "parvel FICHIER.cut" opens the file once the window is on screen, as "Ouvrir" would,
    // by the bytes it was given (QApplication has taken its own options out of argv).
    if (argc > 1)
        QTimer::singleShot(0, &fenetre, [&fenetre, chemin = std::string(argv[1])] { fenetre.Ouvre(chemin); });
    return app.exec();
}
