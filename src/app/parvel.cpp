// parvel: the CUT-file viewer's window.
#include <QApplication>
#include <clocale>

#include "cut/Nombres.h"
#include "ui/Apparence.h"
#include "ui/FenetrePrincipale.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Parvel");
    QApplication::setDesktopFileName("parvel");
    parvel::ui::AppliqueApparence(app);

    // The report and the about box write numbers with the user's decimal separator;
    // the rest of the process keeps the C form that QApplication replaced.
    const std::string separateur = parvel::SeparateurDecimalLocale();
    std::setlocale(LC_NUMERIC, "C");

    parvel::ui::FenetrePrincipale fenetre;
    if (fenetre.Terminee())
        return 0;
    fenetre.principale().Separateur = separateur;
    fenetre.show();
    return app.exec();
}
