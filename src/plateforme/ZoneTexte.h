// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report area `Sortie`: cleared, then printed line by line in palette colours.
#include <string_view>

namespace parvel {

class ZoneTexte {
  public:
    virtual ~ZoneTexte() = default;
    virtual void Efface() = 0;
    virtual void Imprime(int couleur, std::string_view ligne) = 0;
};

} // namespace parvel
