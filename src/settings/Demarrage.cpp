// The start-up of the main window: the open dialog and the controls in their first
// state, the sibling application's machine configuration, then the milling parameters.
#include <cstdlib>
#include <new>
#include <string>

#include "Principale.h"
#include "cut/Calcul.h"
#include "cut/Erreur.h"
#include "settings/Rattrapage.h"

namespace parvel {

namespace {

constexpr int ErrTypeIncompatible = 13;

// The folder the open dialog starts in after a recovery: the user's home folder stands
// for the drive root of the original platform.
std::string DossierParDefaut() {
#ifdef _WIN32
    const char* v = std::getenv("USERPROFILE");
#else
    const char* v = std::getenv("HOME");
#endif
    return v ? v : "";
}

// An unexpected failure ends the program after its message.
void ArretDemarrage(Dialogues& dlg, const ErreurParvel& e) {
    dlg.Message("Erreur : " + std::to_string(e.Numero()) + " dans chargement Feuille " + e.Description());
    dlg.Termine();
}

} // namespace

void Principale::Form_Load() {
    ConfigMachine& c = Config;
    auto secours = [&] {
        c.XNtour = 48;
        c.XPas = 1;
        c.YNtour = 48;
        c.YPas = 1;
        CommonDialog1.DossierInitial = DossierParDefaut();
    };
    auto etape = [&](auto&& e) {
        EtapeRattrapee({ErrDivisionZero, ErrDepassement, ErrTypeIncompatible}, secours, e);
    };
    try {
        etape([&] { CommonDialog1.Filtre = "Fichiers CUT | *.cut"; });
        etape([&] { CommonDialog1.FichierExistant = true; });
        etape([&] { Vue.Echelle = 1; });
        etape([&] { Image1.DefinitPosition(0, 0); });
        etape([&] { Image1.MontreForme(Forme::Selection, false); });
        etape([&] { Image1.MontreForme(Forme::ZoneX, false); });
        etape([&] { Image1.MontreForme(Forme::ZoneY, false); });
        etape([&] { Ctl.DefinitActive(Option::Fige, false); });

        std::string application, cle;
        etape([&] { application = "Tavik"; });
        etape([&] { cle = CleTavikDebut + application + CleTavikFin; });
        auto entier = [&](const char* nom) {
            return static_cast<double>(Reg.LitEntierRegistre(HKEY_CURRENT_USER, cle, nom));
        };
        etape([&] { c.XNtour = entier("XNtour"); });
        etape([&] { c.XPas = Divise(entier("XPas"), 1000); });
        etape([&] { c.YNtour = entier("YNtour"); });
        etape([&] { c.YPas = Divise(entier("YPas"), 1000); });
        etape([&] { c.YVmax = Divise(entier("YVmax"), 100); });
        etape([&] { c.RepIns = Reg.LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepIns"); });
        etape([&] { c.RepProjet = Reg.LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepProjet"); });
        etape([&] { CommonDialog1.DossierInitial = c.RepProjet; });
        etape([&] { c.MmParPasX = Divise(c.XPas, c.XNtour); });
        etape([&] { c.MmParPasY = Divise(c.YPas, c.YNtour); });
        etape([&] { c.VitMaxY = Divise(Verifie(c.YPas * 1000), Verifie(c.YVmax * c.YNtour)); });
        // The milling parameters have a recovery of their own.
        Recup_Param_Parvel();
    } catch (const std::bad_alloc&) {
        ArretDemarrage(Dlg, ErreurParvel(7));
    } catch (const ErreurParvel& e) {
        ArretDemarrage(Dlg, e);
    }
}

void Principale::Fin_Click() {
    Dlg.Termine();
}

void Principale::A_propos_Click() {
    Dlg.MontreAPropos();
}

} // namespace parvel
