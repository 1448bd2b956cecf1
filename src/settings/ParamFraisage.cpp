// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ParamFraisage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "cut/Calcul.h"
#include "cut/Erreur.h"
#include "cut/Nombres.h"
#include "settings/Configuration.h"
#include "settings/Rattrapage.h"

namespace parvel {

namespace {

constexpr const char* TitreReglage = "Paramètres Fraisage 2.5";
constexpr double VitZParDefaut = 2;
constexpr double VitZMin = 0.01;
constexpr double DegZMax = 10'000; // mm: more is no lift height

// The store's rounding: to the nearest whole number, an exact half to the even one.
// A result outside the signed 32-bit range is an overflow, as the runtime's
// conversion to a long integer is.
std::int32_t EntierStocke(double v) {
    Verifie(v);
    const double f = std::floor(v);
    const double reste = v - f;
    double r = f;
    if (reste > 0.5 || (reste == 0.5 && std::fmod(f, 2.0) != 0))
        r = f + 1;
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
        throw ErreurParvel(ErrDepassement);
    return static_cast<std::int32_t>(r);
}

bool Stockable(double v) {
    try {
        EntierStocke(v);
        return true;
    } catch (const ErreurParvel&) {
        return false;
    }
}

// The fastest speed the store can hold (in hundredths).
constexpr double VitZStockableMax = std::numeric_limits<std::int32_t>::max() / 100.0;

// The lift height on the right Y axis: the Z steps that DegZ needs, in Y millimetres.
double DegZSurYD(const ParamFraisage& p, const ConfigMachine& c) {
    return Verifie(Verifie(p.DegZ * Divise(p.ZNtour, p.ZPas)) * Divise(c.YPas, c.YNtour));
}

double VitesseMaxZ(const ParamFraisage& p, const ConfigMachine& c) {
    return Divise(Divise(c.VitMaxY, Divise(p.ZNtour, p.ZPas)), Divise(c.YPas, c.YNtour));
}

// An answer: nothing for Cancel, an emptied field, or a number the store cannot hold.
std::optional<double> LitReponse(std::string_view reponse, double echelle) {
    if (reponse.empty())
        return std::nullopt;
    // People type the decimal comma as well as the point (a CUT file keeps the point).
    std::string texte(reponse);
    std::replace(texte.begin(), texte.end(), ',', '.');
    double v = 0;
    try {
        v = LitNombre(texte);
    } catch (const ErreurParvel&) {
        return std::nullopt;
    }
    if (!Stockable(v * echelle))
        return std::nullopt;
    return v;
}

// Used when Cancel would keep a speed that fails the check: the largest hundredth
// strictly below the maximum (which is above VitZMin), so that an "always Cancel" user
// gets out of the prompt.
double VitesseDeSecours(double max) {
    // max × 100 is above 1; whatever its rounding, one hundredth below its ceiling is
    // below max itself.
    return std::min((std::ceil(max * 100) - 1) / 100, VitZStockableMax);
}

// The speed prompt. A speed must be at least one hundredth, the store's resolution (it
// divides the lift height, and a speed stored as 0 would throw the next start into the
// loading's defaults), and strictly below the top speed. With no usable top speed (no
// machine configuration, or Y mechanics that cannot be converted) nothing could pass:
// the prompt is then asked once. A Cancel while the last accepted speed fails the check
// would ask for ever: a fallback ends the prompt instead.
void DemandeVitesse(Dialogues& dlg, ParamFraisage& p, const std::string& separateur) {
    const bool maxUtilisable = std::isfinite(p.VitMaxZ) && p.VitMaxZ > VitZMin;
    auto valide = [&](double v) { return v >= VitZMin && (!maxUtilisable || v < p.VitMaxZ); };
    const double centiemes = p.VitMaxZ * 100;
    const double plafond = std::isfinite(centiemes) ? std::floor(centiemes) / 100 : p.VitMaxZ;
    const std::string invite =
        "Vitesse de dégagement en Z (mm/s). Max :" + TexteGeneral(plafond, ChiffresDouble, separateur);
    for (;;) {
        // The default with the same separator as the maximum in the text.
        const std::string r =
            dlg.Saisie(TitreReglage, invite, TexteGeneral(p.VitZ, ChiffresDouble, separateur));
        const std::optional<double> lu = LitReponse(r, 100);
        p.VitZ = lu.value_or(p.VitZPrec);
        if (valide(p.VitZ))
            return;
        if (!maxUtilisable || !lu) {
            p.VitZ = valide(p.VitZPrec) ? p.VitZPrec
                     : maxUtilisable    ? VitesseDeSecours(p.VitMaxZ)
                                        : VitZParDefaut;
            return;
        }
    }
}

// An unexpected failure while loading the parameters ends the program after this message.
std::string MessageArret(const ErreurParvel& e) {
    return "Erreur dans Parvel : " + std::to_string(e.Numero()) + " " + e.Description();
}

} // namespace

std::optional<std::string> Recup_Param_Parvel(Registre& reg, const ConfigMachine& config, ParamFraisage& p) {
    auto secours = [&] {
        p.DegZ = 10;
        p.VitZ = VitZParDefaut;
        p.XFraise = 15;
        p.ZNtour = config.YNtour;
        p.ZPas = config.YPas;
        SauveRegistre(reg, p);
    };
    auto etape = [&](auto&& e) { EtapeRattrapee({ErrDivisionZero, ErrDepassement}, secours, e); };
    auto entier = [&](const char* nom) {
        return static_cast<double>(reg.LitEntierRegistre(HKEY_CURRENT_USER, CleFraisageLue, nom));
    };
    try {
        etape([&] { p.DegZ = Plausible(entier("DegZ"), DegZMax); });
        etape([&] { p.VitZ = Divise(Plausible(entier("VitZ"), 1e9), 100); });
        etape([&] { p.XFraise = entier("XFraise"); });
        etape([&] { p.YFraise = entier("YFraise"); });
        etape([&] { p.ZNtour = Plausible(entier("ZNtour"), 1'000'000); });
        etape([&] { p.ZPas = Plausible(entier("ZPas"), 1000); });
        etape([&] { p.TempsZ = EnSimple(Divise(p.DegZ, p.VitZ)); });
        etape([&] { p.DegZPrec = p.DegZ; });
        etape([&] { p.VitZPrec = p.VitZ; });
        etape([&] {
            const float x = EnSimple(p.XFraise), y = EnSimple(p.YFraise);
            p.XFraisePrec = x;
            p.YFraisePrec = y;
        });
        etape([&] { p.ZNtourPrec = p.ZNtour; });
        etape([&] { p.ZPasPrec = p.ZPas; });
        etape([&] {
            if (p.ZNtour == 0) {
                p.ZNtour = config.YNtour;
                p.ZPas = config.YPas;
                SauveRegistre(reg, p);
            }
        });
        etape([&] { p.DegZYD = DegZSurYD(p, config); });
    } catch (const std::bad_alloc&) {
        return MessageArret(ErreurParvel(ErrMemoire));
    } catch (const ErreurParvel& e) {
        return MessageArret(e);
    }
    return std::nullopt;
}

void SauveRegistre(Registre& reg, const ParamFraisage& p) {
    // Every value is checked before the first write, so an overflow leaves the store as it was.
    const std::int32_t valeurs[] = {EntierStocke(p.DegZ),    EntierStocke(p.VitZ * 100),
                                    EntierStocke(p.XFraise), EntierStocke(p.YFraise),
                                    EntierStocke(p.ZNtour),  EntierStocke(p.ZPas)};
    const char* const noms[] = {"DegZ", "VitZ", "Xfraise", "Yfraise", "ZNtour", "ZPas"};
    for (int i = 0; i < 6; ++i)
        reg.EcritEntierRegistre(HKEY_CURRENT_USER, CleFraisageEcrite, noms[i], valeurs[i]);
}

void DemandeParamFraisage(Dialogues& dlg, const ConfigMachine& config, ParamFraisage& p,
                          const std::string& separateur) {
    auto demande = [&](const char* invite, double actuelle, double precedente) {
        const std::string r = dlg.Saisie(TitreReglage, invite, TexteGeneral(actuelle, ChiffresDouble, "."));
        return LitReponse(r, 1).value_or(precedente);
    };
    p.DegZ = demande("Dégagement en Z (mm)", p.DegZ, p.DegZPrec);
    p.XFraise = demande("Distance de dégagement en X (mm)", p.XFraise, p.XFraisePrec);
    p.YFraise = demande("Distance de dégagement en Y (mm)", p.YFraise, p.YFraisePrec);
    p.ZNtour = demande("Nombre de pas par tour pour l'axe Z", p.ZNtour, p.ZNtourPrec);
    p.ZPas = demande("Pas de la vis pour l'axe Z (mm/t)", p.ZPas, p.ZPasPrec);

    // A Z axis with a zero in its mechanics cannot be converted: it takes the Y axis's,
    // as the loading does for a zero ZNtour (and would at the next start anyway).
    if (p.ZNtour == 0 || p.ZPas == 0) {
        p.ZNtour = config.YNtour;
        p.ZPas = config.YPas;
    }
    // Without usable Y mechanics the conversions still fail: the lift height keeps its
    // value, and there is no top speed to check against.
    auto rien = [] {};
    EtapeRattrapee({ErrDivisionZero, ErrDepassement}, rien, [&] { p.DegZYD = DegZSurYD(p, config); });
    EtapeRattrapee(
        {ErrDivisionZero, ErrDepassement}, [&] { p.VitMaxZ = 0; },
        [&] { p.VitMaxZ = VitesseMaxZ(p, config); });

    DemandeVitesse(dlg, p, separateur);
    p.TempsZ = EnSimple(Divise(p.DegZ, p.VitZ)); // both bounded: no overflow, no zero

    p.DegZPrec = p.DegZ;
    p.VitZPrec = p.VitZ;
    p.XFraisePrec = EnSimple(p.XFraise);
    p.YFraisePrec = EnSimple(p.YFraise);
    p.ZNtourPrec = p.ZNtour;
    p.ZPasPrec = p.ZPas;
}

} // namespace parvel
