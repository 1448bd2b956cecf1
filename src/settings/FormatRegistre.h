// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry-export text format of the settings store, without any file access:
// parse the file's bytes, look values up, set an integer value by changing only its
// line (or adding a line or a section), and give the bytes back, every other byte kept.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "plateforme/Registre.h"

namespace parvel {

// The bytes cannot be read as a store; such a file must never be overwritten.
struct ErreurFormatRegistre : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class DocumentRegistre {
  public:
    DocumentRegistre(); // an empty store
    ~DocumentRegistre();
    DocumentRegistre(DocumentRegistre&&) noexcept;
    DocumentRegistre& operator=(DocumentRegistre&&) noexcept;

    // UTF-8 with or without a byte-order mark, or UTF-16 LE with one; an empty file is
    // an empty store. Raises ErreurFormatRegistre, naming the line, on anything else.
    static DocumentRegistre Analyse(std::string_view octets);

    // `section` is a full key name as SectionRegistre gives it; names match whatever
    // their letter case, and the last of two equal values wins. Texts stop at a NUL.
    std::optional<std::string> Texte(const std::string& section, const std::string& nom) const;
    std::optional<std::int32_t> Entier(const std::string& section, const std::string& nom) const;

    // Sets the value as a dword; false when it already holds it. After a change the
    // document reads as its new bytes would.
    bool Modifie(const std::string& section, const std::string& nom, std::int32_t valeur);
    // Sets the value as a text; false when it already holds it, or when the text holds a
    // line end or a NUL, which the format cannot keep.
    bool ModifieTexte(const std::string& section, const std::string& nom, const std::string& texte);
    // The file's bytes, in its own encoding; nothing when a name cannot be written in it.
    std::optional<std::string> Serialise() const;

  private:
    struct Donnees;
    std::unique_ptr<Donnees> d_;
};

// The section name of a value, or nothing for a key path the registry would refuse or
// a name that a line of the file cannot hold. `cle` and `nom` are first cut at their
// first NUL, as the registry's C calls see them.
std::optional<std::string> SectionRegistre(Racine racine, std::string& cle, std::string& nom);

} // namespace parvel
