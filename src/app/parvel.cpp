// SPDX-License-Identifier: GPL-3.0-or-later
// parvel: the CUT-file viewer's window.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <string>

#include "cut/Nombres.h"
#include "ui/Apparence.h"
#include "ui/FenetrePrincipale.h"

namespace {

const char* const Version = "parvel (Parvel) " QT_STRINGIFY(PARVEL_VERSION_MAJOR) "." QT_STRINGIFY(
    PARVEL_VERSION_MINOR) "." QT_STRINGIFY(PARVEL_VERSION_REVISION) "\n";

// Qt's own words ("Usage", "Options") come from its translations, ours are French already.
void DecritOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Visionneuse de fichiers CUT, les fichiers de trajectoires des machines de "
        "découpe au fil chaud à quatre axes.");
    parser.addOption(QCommandLineOption({"h", "help"}, "Affiche cette aide et termine."));
    parser.addOption(QCommandLineOption("version", "Affiche la version et termine."));
    parser.addPositionalArgument("FICHIER.cut", "Le fichier à ouvrir au démarrage.", "[FICHIER.cut]");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName("Parvel");
    // --help and --version print and end before any window exists, so without a display.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser parser;
        DecritOptions(parser);
        parser.parse(arguments); // Qt's own options (-platform...) are not errors yet
        if (parser.isSet("version")) {
            std::fputs(Version, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (parser.isSet("help")) {
            QCoreApplication console(argc, argv);
            parvel::ui::ChargeTraductions(console);
            QCommandLineParser traduit;
            DecritOptions(traduit);
            std::fputs(traduit.helpText().toLocal8Bit().constData(), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }

    QApplication app(argc, argv);
    QApplication::setDesktopFileName("org.parvel.Parvel");
    parvel::ui::AppliqueApparence(app);
    // The program speaks French: so do Qt's own dialogs and buttons.
    parvel::ui::ChargeTraductions(app);

    QCommandLineParser parser;
    DecritOptions(parser);
    if (!parser.parse(QApplication::arguments()) || parser.positionalArguments().size() > 1) {
        const QString erreur =
            parser.errorText().isEmpty() ? "un seul fichier à la fois" : parser.errorText();
        std::fprintf(stderr, "parvel: %s\nparvel: « parvel --help » affiche l'aide\n",
                     erreur.toLocal8Bit().constData());
        return 2;
    }

    // The report and the about box write numbers with the user's decimal separator;
    // the rest of the process keeps the C form that QApplication replaced.
    const std::string separateur = parvel::SeparateurDecimalLocale();
    std::setlocale(LC_NUMERIC, "C");

    parvel::ui::FenetrePrincipale fenetre;
    if (fenetre.Terminee())
        return 0;
    fenetre.principale().DefinitSeparateur(separateur);
    fenetre.show();
    // "parvel FICHIER.cut" opens the file once the window is on screen, as "Ouvrir" would,
    // by the bytes it was given: a name that is not UTF-8 does not survive a QString.
    if (!parser.positionalArguments().isEmpty()) {
        const QString nom = parser.positionalArguments().at(0);
        std::string chemin = nom.toLocal8Bit().toStdString();
        for (int i = argc - 1; i > 0; --i)
            if (QString::fromLocal8Bit(argv[i]) == nom) {
                chemin = argv[i];
                break;
            }
        QTimer::singleShot(0, &fenetre, [&fenetre, chemin] { fenetre.Ouvre(chemin); });
    }
    return app.exec();
}
