// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/GeometrieBloc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "cut/Erreur.h"
#include "cut/Nombres.h"

namespace parvel {

namespace {

constexpr const char* TitreGeometrie = "Géométrie du bloc";
constexpr const char* Noms[3] = {"L", "d", "w"};

// Whole hundredths, none beyond what the store holds.
std::optional<std::int32_t> Centiemes(double mm) {
    const double c = std::round(mm * 100);
    if (!std::isfinite(c) || c < std::numeric_limits<std::int32_t>::min() ||
        c > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(c);
}

double AuCentieme(double mm) {
    const std::optional<std::int32_t> c = Centiemes(mm);
    return c ? *c / 100.0 : mm;
}

// An answer in millimetres: none for Cancel or text without a usable number.
std::optional<double> LitMm(std::string texte) {
    if (texte.empty())
        return std::nullopt;
    std::replace(texte.begin(), texte.end(), ',', '.');
    try {
        const double v = LitNombre(texte);
        if (!Centiemes(v))
            return std::nullopt;
        return AuCentieme(v);
    } catch (const ErreurParvel&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<GeometrieBloc> LitGeometrieBloc(Registre& reg) {
    auto mm = [&](const char* nom) { return reg.LitEntierRegistre(HKEY_CURRENT_USER, CleBloc, nom) / 100.0; };
    const GeometrieBloc g{mm("L"), mm("d"), mm("w")};
    if (DefautGeometrie(g))
        return std::nullopt;
    return g;
}

void EcritGeometrieBloc(Registre& reg, const GeometrieBloc& g) {
    const double v[3] = {g.L, g.d, g.w};
    for (int i = 0; i < 3; ++i)
        reg.EcritEntierRegistre(HKEY_CURRENT_USER, CleBloc, Noms[i], Centiemes(v[i]).value_or(0));
}

std::optional<GeometrieBloc> LitTexteGeometrie(const std::string& texte) {
    double v[3];
    std::size_t debut = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t fin = i < 2 ? texte.find(',', debut) : texte.size();
        if (fin == std::string::npos || fin == debut)
            return std::nullopt;
        const std::string champ = texte.substr(debut, fin - debut);
        // Only a number: "12abc" is a typing mistake, not 12.
        if (champ.find_first_not_of("0123456789.+-eE") != std::string::npos)
            return std::nullopt;
        try {
            v[i] = LitNombre(champ);
        } catch (const ErreurParvel&) {
            return std::nullopt;
        }
        debut = fin + 1;
    }
    return GeometrieBloc{v[0], v[1], v[2]};
}

std::optional<GeometrieBloc> DemandeGeometrieBloc(Dialogues& dlg,
                                                  const std::optional<GeometrieBloc>& actuelle,
                                                  const std::string& separateur) {
    const char* const invites[3] = {"Distance L entre les plans des deux chariots (mm)",
                                    "Distance d du chariot gauche à la face proche du bloc (mm)",
                                    "Largeur w du bloc le long du fil (mm)"};
    GeometrieBloc g = actuelle.value_or(GeometrieBloc{});
    for (;;) {
        double* const valeurs[3] = {&g.L, &g.d, &g.w};
        bool repondu = false;
        for (int i = 0; i < 3; ++i) {
            const std::string r =
                dlg.Saisie(TitreGeometrie, invites[i], TexteGeneral(*valeurs[i], ChiffresDouble, separateur));
            repondu = repondu || !r.empty();
            if (const std::optional<double> v = LitMm(r))
                *valeurs[i] = *v;
        }
        if (!repondu)
            return std::nullopt;
        const std::optional<std::string> defaut = DefautGeometrie(g);
        if (!defaut)
            return g;
        dlg.Message(*defaut);
    }
}

} // namespace parvel
