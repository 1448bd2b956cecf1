#pragma once
// The machine configuration read from the sibling application's section, and the
// milling parameters kept in the program's own section of the settings store.
#include <string>

namespace parvel {

inline constexpr const char* CleTavikDebut = "Software\\Local AppWizard-Generated Applications\\";
inline constexpr const char* CleTavikFin = "\\TavikConfig";
inline constexpr const char* CleFraisageLue =
    "Software\\Local AppWizard-Generated Applications\\Parvel\\Fraisage";
inline constexpr const char* CleFraisageEcrite =
    "Software\\Local Appwizard-Generated Applications\\Parvel\\Fraisage";

struct ConfigMachine {
    double XNtour = 0, XPas = 0, YNtour = 0, YPas = 0, YVmax = 0;
    std::string RepIns, RepProjet;
    double MmParPasX = 0, MmParPasY = 0, VitMaxY = 0;
};

struct ParamFraisage {
    double DegZ = 0, VitZ = 0, XFraise = 0, YFraise = 0, ZNtour = 0, ZPas = 0;
    float TempsZ = 0;
    double DegZYD = 0, VitMaxZ = 0;
    double DegZPrec = 0, VitZPrec = 0;
    float XFraisePrec = 0, YFraisePrec = 0;
    double ZNtourPrec = 0, ZPasPrec = 0;
};

} // namespace parvel
