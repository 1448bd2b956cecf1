// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings store in the Windows registry, through the wide registry calls: the
// store's UTF-8 becomes UTF-16 there, so any path or name survives.
// Compiled on Windows only.
#ifdef _WIN32
#include "plateforme/Registre.h"

namespace parvel {

class RegistreWin32 final : public Registre {
  public:
    std::string LitTexteRegistre(Racine racine, std::string cle, std::string nom) override;
    std::int32_t LitEntierRegistre(Racine racine, std::string cle, std::string nom) override;
    void EcritEntierRegistre(Racine racine, std::string cle, std::string nom, std::int32_t valeur) override;
    void EcritTexteRegistre(Racine racine, std::string cle, std::string nom, std::string valeur) override;
};

} // namespace parvel
#endif
