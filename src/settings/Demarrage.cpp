// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Demarrage.h"

#include <cstdlib>
#include <new>

#include "cut/Calcul.h"
#include "cut/Erreur.h"
#include "settings/Configuration.h"
#include "settings/Rattrapage.h"

namespace parvel {

namespace {

constexpr int ErrTypeIncompatible = 13;
// Motor steps per screw turn, and screw pitch in thousandths of a millimetre per turn.
constexpr double PasParTourMax = 1'000'000, MilliemesParTourMax = 1'000'000;

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

// An unexpected failure ends the program after this message.
std::string MessageArret(const ErreurParvel& e) {
    return "Erreur : " + std::to_string(e.Numero()) + " dans chargement Feuille " + e.Description();
}

} // namespace

std::optional<std::string> LitConfigMachine(Registre& reg, ConfigMachine& c, std::string& dossierInitial) {
    auto secours = [&] {
        c.XNtour = 48;
        c.XPas = 1;
        c.YNtour = 48;
        c.YPas = 1;
        dossierInitial = DossierParDefaut();
    };
    auto etape = [&](auto&& e) {
        EtapeRattrapee({ErrDivisionZero, ErrDepassement, ErrTypeIncompatible}, secours, e);
    };
    try {
        std::string application, cle;
        etape([&] { application = "Tavik"; });
        etape([&] { cle = CleTavikDebut + application + CleTavikFin; });
        auto entier = [&](const char* nom) {
            return static_cast<double>(reg.LitEntierRegistre(HKEY_CURRENT_USER, cle, nom));
        };
        etape([&] { c.XNtour = Plausible(entier("XNtour"), PasParTourMax); });
        etape([&] { c.XPas = Divise(Plausible(entier("XPas"), MilliemesParTourMax), 1000); });
        etape([&] { c.YNtour = Plausible(entier("YNtour"), PasParTourMax); });
        etape([&] { c.YPas = Divise(Plausible(entier("YPas"), MilliemesParTourMax), 1000); });
        etape([&] { c.YVmax = Divise(Plausible(entier("YVmax"), 1e9), 100); });
        etape([&] { c.RepIns = reg.LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepIns"); });
        etape([&] { c.RepProjet = reg.LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepProjet"); });
        etape([&] { dossierInitial = c.RepProjet; });
        etape([&] { c.MmParPasX = Divise(c.XPas, c.XNtour); });
        etape([&] { c.MmParPasY = Divise(c.YPas, c.YNtour); });
        etape([&] { c.VitMaxY = Divise(Verifie(c.YPas * 1000), Verifie(c.YVmax * c.YNtour)); });
    } catch (const std::bad_alloc&) {
        return MessageArret(ErreurParvel(ErrMemoire));
    } catch (const ErreurParvel& e) {
        return MessageArret(e);
    }
    return std::nullopt;
}

} // namespace parvel
