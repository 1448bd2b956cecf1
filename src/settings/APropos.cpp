// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/APropos.h"

#include <new>

#include "cut/Calcul.h"
#include "cut/Erreur.h"
#include "cut/Nombres.h"
#include "settings/Configuration.h"

namespace parvel {

namespace {

constexpr const char* Titre = "Parvel";

std::string LigneAxe(const char* axe, const std::string& ntour, const std::string& pas) {
    return std::string("Axe ") + axe + ", moteur de " + ntour + " pas/tour, vis de " + pas + " mm/tour ";
}

// Step by step into `t`, so that a failure leaves the texts already set and the
// design texts of the others.
void Charge(TextesAPropos& t, Registre& reg, const std::string& sep) {
    t.Caption = std::string("À propos de ") + Titre;
    t.Version = "Version " + std::to_string(PARVEL_VERSION_MAJOR) + "." +
                std::to_string(PARVEL_VERSION_MINOR) + "." + std::to_string(PARVEL_VERSION_REVISION);
    t.Titre = Titre;

    const std::string cleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;
    const double xNtour = reg.LitEntierRegistre(HKEY_CURRENT_USER, cleTavik, "XNtour");
    const double xPas = Divise(reg.LitEntierRegistre(HKEY_CURRENT_USER, cleTavik, "XPas"), 1000);
    const double yNtour = reg.LitEntierRegistre(HKEY_CURRENT_USER, cleTavik, "YNtour");
    const double yPas = Divise(reg.LitEntierRegistre(HKEY_CURRENT_USER, cleTavik, "YPas"), 1000);
    const std::string repProjet = reg.LitTexteRegistre(HKEY_CURRENT_USER, cleTavik, "RepProjet");
    const double degZ = reg.LitEntierRegistre(HKEY_CURRENT_USER, CleFraisageLue, "DegZ");
    const double vitZ = Divise(reg.LitEntierRegistre(HKEY_CURRENT_USER, CleFraisageLue, "VitZ"), 100);
    const double xFraise = reg.LitEntierRegistre(HKEY_CURRENT_USER, CleFraisageLue, "XFraise");
    const float yFraise = EnSimple(reg.LitEntierRegistre(HKEY_CURRENT_USER, CleFraisageLue, "YFraise"));
    const double zNtour = reg.LitEntierRegistre(HKEY_CURRENT_USER, CleFraisageLue, "ZNtour");
    const double zPas = reg.LitEntierRegistre(HKEY_CURRENT_USER, CleFraisageLue, "ZPas");

    auto d = [&](double v) { return TexteGeneral(v, ChiffresDouble, sep); };
    t.Config1 = LigneAxe("X", d(xNtour), d(xPas));
    t.Config2 = LigneAxe("Y", d(yNtour), d(yPas));
    t.Config3 = " Répertoire des projets : " + repProjet;
    t.Config4 = " Hauteur de dégagement en Z :" + d(degZ) + "mm à " + d(vitZ) + " mm/s pour X< " +
                d(xFraise) + " et Y> " + TexteGeneral(yFraise, ChiffresSimple, sep) + " mm";
    t.Config5 = LigneAxe("Z", d(zNtour), d(zPas));
}

std::string Message(const ErreurParvel& e) {
    return "Erreur : " + std::to_string(e.Numero()) + " " + e.Description();
}

} // namespace

TextesAPropos LitAPropos(Registre& reg, const std::string& sep) {
    TextesAPropos t;
    try {
        Charge(t, reg, sep);
    } catch (const ErreurParvel& e) {
        t.MessageErreur = Message(e);
        if (e.Numero() != ErrDepassement && e.Numero() != ErrDivisionZero) {
            t.FinProgramme = true;
            return t;
        }
        // A numeric failure falls back on the default mechanics (48 steps, 1 mm) for X and Y.
        const std::string ntour = TexteGeneral(48, ChiffresDouble, sep);
        const std::string pas = TexteGeneral(1, ChiffresDouble, sep);
        t.Config1 = LigneAxe("X", ntour, pas);
        t.Config2 = LigneAxe("Y", ntour, pas);
    } catch (const std::bad_alloc&) {
        t.MessageErreur = Message(ErreurParvel(ErrMemoire));
        t.FinProgramme = true;
    }
    return t;
}

} // namespace parvel
