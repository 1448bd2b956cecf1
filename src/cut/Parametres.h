// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The machine configuration read from the sibling application's settings, and the
// milling parameters: plain records that the interpreter, the milling writer, the view
// and the settings all read.
#include <string>

namespace parvel {

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
