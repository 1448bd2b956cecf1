// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings store kept in a text file in the registry-export format, shared with the
// sibling application: a write changes only the line of the value it sets (or adds a
// line or a section) and keeps every other byte of the file. Each operation reads the
// file afresh; writes replace it atomically under an advisory lock. A file that cannot
// be parsed is never overwritten. Each problem is reported once on stderr per object.
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "plateforme/Registre.h"
#include "settings/FormatRegistre.h"

namespace parvel {

class RegistreFichier final : public Registre {
  public:
    // How long a write waits for a lock held by another program; past it, the store is
    // read-only for the rest of this object's life.
    static constexpr std::chrono::milliseconds AttenteVerrou{3000};

    explicit RegistreFichier(std::filesystem::path fichier);

    std::string LitTexteRegistre(Racine racine, std::string cle, std::string nom) override;
    std::int32_t LitEntierRegistre(Racine racine, std::string cle, std::string nom) override;
    void EcritEntierRegistre(Racine racine, std::string cle, std::string nom, std::int32_t valeur) override;
    void EcritTexteRegistre(Racine racine, std::string cle, std::string nom, std::string valeur) override;
    // The operations see one reading of the file, made under the lock, and their writes
    // are written once before the lock is let go.
    void Groupe(const std::function<void(Registre&)>& operations) override;

    const std::filesystem::path& Fichier() const { return Fichier_; }

  private:
    // Changes one value under the lock: false from `modifie` means nothing to write.
    using Modification =
        std::function<bool(DocumentRegistre&, const std::string& section, const std::string& nom)>;
    void Ecrit(Racine racine, std::string cle, std::string nom, const Modification& modifie);
    // Reads the file under the lock and writes it back when `modifie` says it changed.
    // `modifie` is not called when the file cannot be locked or read.
    void SousVerrou(const std::function<bool(DocumentRegistre&)>& modifie);
    void Signale(std::string_view genre, std::string_view raison);
    // The document of the file as it is now, or null when it cannot be understood.
    const DocumentRegistre* Charge();
    // The document of the file's bytes: parsed again only when they differ from the
    // last ones, so that reading many values of a large store stays linear.
    DocumentRegistre& Document(const std::filesystem::path& fichier);

    std::filesystem::path Fichier_;
    std::set<std::string> Signales_;
    bool LectureSeule_ = false;
    std::string Lus_, OctetsDoc_; // the last bytes read; those of Doc_
    std::optional<DocumentRegistre> Doc_;
};

} // namespace parvel
