// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-user settings store: read and write a text value and a signed 32-bit integer
// value, below a root key. Key paths and value names match without regard to
// letter case. None of the operations reports a failure: reads give "" or 0, a write
// that fails is lost.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace parvel {

// Root keys are 32-bit handles; the program only ever uses the current user's root.
// (windows.h defines HKEY_CURRENT_USER as a macro: include it after this header.)
enum class Racine : std::uint32_t { CurrentUser = 0x80000001u };
inline constexpr Racine HKEY_CURRENT_USER = Racine::CurrentUser;

class Registre {
  public:
    virtual ~Registre() = default;
    virtual std::string LitTexteRegistre(Racine racine, std::string cle, std::string nom) = 0;
    virtual std::int32_t LitEntierRegistre(Racine racine, std::string cle, std::string nom) = 0;
    virtual void EcritEntierRegistre(Racine racine, std::string cle, std::string nom,
                                     std::int32_t valeur) = 0;
    virtual void EcritTexteRegistre(Racine racine, std::string cle, std::string nom, std::string valeur) = 0;
    // Runs `operations` on the store as one change: a store shared with other programs
    // reads once and writes once under its lock, so that a read-modify-write of several
    // values loses nothing that another program writes at the same moment.
    virtual void Groupe(const std::function<void(Registre&)>& operations) { operations(*this); }
};

} // namespace parvel
