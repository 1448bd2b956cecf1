// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recovery of the start-up and of the milling parameters' loading: each step of the
// sequence is one unit; a step that fails with one of the recovered numbers stores
// nothing (its assignment comes after the computation that raised), the recovery sets
// the defaults and the sequence goes on with the next step.
#include <algorithm>
#include <initializer_list>

#include "cut/Erreur.h"

namespace parvel {

// Runs `etape`; on an ErreurParvel whose number is in `rattrapees` runs `secours` and
// returns false. Any other failure, and a failure of `secours` itself, goes to the
// caller, so a recovery that fails cannot run again and again.
template <class Etape, class Secours>
bool EtapeRattrapee(std::initializer_list<int> rattrapees, Secours&& secours, Etape&& etape) {
    try {
        etape();
        return true;
    } catch (const ErreurParvel& e) {
        if (std::find(rattrapees.begin(), rattrapees.end(), e.Numero()) == rattrapees.end())
            throw;
    }
    secours();
    return false;
}

// A stored mechanics or speed value out of its sensible range (negative, zero, or
// beyond `max`) reads as a missing one does, 0, and takes the same defaults.
inline double Plausible(double v, double max) {
    return v > 0 && v <= max ? v : 0;
}

} // namespace parvel
