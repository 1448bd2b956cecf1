#pragma once
// The settings store kept in a text file in the registry-export format, shared with the
// sibling application: a write changes only the line of the value it sets (or adds a
// line or a section) and keeps every other byte of the file. Each operation reads the
// file afresh; writes replace it atomically under an advisory lock. A file that cannot
// be parsed is never overwritten.
#include <filesystem>

#include "plateforme/Registre.h"

namespace parvel {

class RegistreFichier final : public Registre {
  public:
    explicit RegistreFichier(std::filesystem::path fichier);

    std::string LitTexteRegistre(Racine racine, std::string cle, std::string nom) override;
    std::int32_t LitEntierRegistre(Racine racine, std::string cle, std::string nom) override;
    void EcritEntierRegistre(Racine racine, std::string cle, std::string nom, std::int32_t valeur) override;

    const std::filesystem::path& Fichier() const { return Fichier_; }

  private:
    std::filesystem::path Fichier_;
};

} // namespace parvel
