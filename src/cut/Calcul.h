// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Arithmetic that fails the way the program's runtime does: a division by zero, an
// overflow (0 / 0 included) or a value too large for single precision raises an
// ErreurParvel instead of quietly giving infinity or NaN.
#include <cmath>
#include <limits>

#include "cut/Erreur.h"

namespace parvel {

// Raises "Dépassement de capacité" unless v is finite.
inline double Verifie(double v) {
    if (!std::isfinite(v))
        throw ErreurParvel(ErrDepassement);
    return v;
}

// a / b: nonzero / 0 is a division by zero, 0 / 0 an overflow.
inline double Divise(double a, double b) {
    if (b == 0.0)
        throw ErreurParvel(a == 0.0 || std::isnan(a) ? ErrDepassement : ErrDivisionZero);
    return Verifie(a / b);
}

// Store into a single-precision field: rounds, and overflows beyond the float range.
inline float EnSimple(double v) {
    float f = static_cast<float>(v);
    if (!std::isfinite(f))
        throw ErreurParvel(ErrDepassement);
    return f;
}

} // namespace parvel
