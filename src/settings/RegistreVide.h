// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A settings store with nothing in it that keeps nothing: every read gives "" or 0.
#include "plateforme/Registre.h"

namespace parvel {

class RegistreVide : public Registre {
  public:
    std::string LitTexteRegistre(Racine, std::string, std::string) override { return ""; }
    std::int32_t LitEntierRegistre(Racine, std::string, std::string) override { return 0; }
    void EcritEntierRegistre(Racine, std::string, std::string, std::int32_t) override {}
    void EcritTexteRegistre(Racine, std::string, std::string, std::string) override {}
};

} // namespace parvel
