// SPDX-License-Identifier: GPL-3.0-or-later
// Number reading never fails but on overflow, and what the fixed form writes reads
// back to the same value at the precision it was written with.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "cut/Erreur.h"
#include "cut/Nombres.h"

using namespace parvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t taille) {
    std::string_view texte(reinterpret_cast<const char*>(data), taille);
    double v = 0;
    try {
        v = LitNombre(texte);
    } catch (const ErreurParvel& e) {
        if (e.Numero() != ErrDepassement)
            std::abort();
        return 0;
    }
    if (!std::isfinite(v))
        std::abort();
    for (int chiffres : {ChiffresSimple, ChiffresDouble}) {
        const double x = chiffres == ChiffresSimple ? static_cast<double>(static_cast<float>(v)) : v;
        if (!std::isfinite(x))
            continue;
        const std::string fixe = TexteFixe(x, chiffres);
        const double relu = LitNombre(fixe);
        // Written with `chiffres` significant digits: the relative error is below 10^-(chiffres-1).
        if (x != 0 && std::fabs(relu - x) > std::fabs(x) * std::pow(10.0, 1 - chiffres))
            std::abort();
        if (x == 0 && relu != 0)
            std::abort();
        const std::string rapport = TexteRapport(x, chiffres, ",");
        if (rapport.size() < 3 || rapport.back() != ' ' || (rapport[0] != ' ' && rapport[0] != '-'))
            std::abort();
        if (TexteGeneral(x, chiffres, ".").find(' ') != std::string::npos)
            std::abort();
    }
    return 0;
}
