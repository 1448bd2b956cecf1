// SPDX-License-Identifier: GPL-3.0-or-later
// parvel.exe: the CUT-file viewer's window for Windows. "parvel.exe FICHIER.cut" opens
// the file once the window is on screen, as "Ouvrir" would.
#include "win32/Systeme.h"

#include <shellapi.h>

#include <clocale>
#include <string>

#include "cut/Nombres.h"
#include "view/Police.h"
#include "win32/Fenetre32.h"
#include "win32/PoliceGdi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int commande) {
    parvel::police::DefinitRendu(&parvel::win32::RenduGdi);
    // The report and the about box write numbers with the user's decimal separator.
    const std::string separateur = parvel::SeparateurDecimalLocale();
    std::setlocale(LC_NUMERIC, "C");

    int n = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &n);
    const std::wstring fichier = arguments && n > 1 ? arguments[1] : L"";
    LocalFree(arguments);

    parvel::win32::Fenetre32 fenetre;
    if (fenetre.Terminee())
        return 0;
    fenetre.principale().DefinitSeparateur(separateur);
    fenetre.Montre(commande);
    if (!fichier.empty())
        fenetre.Ouvre(fichier);
    return fenetre.Boucle();
}
