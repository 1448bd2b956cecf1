// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/Rechargement.h"

#include <filesystem>

namespace parvel {

std::optional<EtatFichier> EtatDuFichier(const std::string& chemin) {
    std::error_code ec;
#ifdef _WIN32
    // UTF-8 whatever the code page: the narrow Windows API would read it in the ANSI one.
    const std::filesystem::path p(std::u8string(chemin.begin(), chemin.end()));
#else
    const std::filesystem::path p(chemin);
#endif
    const std::uintmax_t taille = std::filesystem::file_size(p, ec);
    if (ec)
        return std::nullopt;
    const auto date = std::filesystem::last_write_time(p, ec);
    if (ec)
        return std::nullopt;
    return EtatFichier{taille, static_cast<std::int64_t>(date.time_since_epoch().count())};
}

void Rechargement::Suit(const std::string& chemin, int chargements) {
    if (chemin == chemin_ && chargements == chargements_)
        return;
    chemin_ = chemin;
    chargements_ = chargements;
    montre_ = EtatDuFichier(chemin);
    vu_.reset();
    change_ = false;
}

void Rechargement::Change() {
    // A look from before the change proves nothing about the writer being done.
    change_ = true;
    vu_.reset();
}

Rechargement::Suite Rechargement::Regarde(std::optional<EtatFichier> etat, bool occupe) {
    if (!change_) {
        if (etat == montre_)
            return Suite::Rien;
        change_ = true;
        vu_ = etat;
        return Suite::Attendre;
    }
    if (occupe)
        return Suite::Attendre;
    // The writer may still be writing: the same size and date twice in a row.
    if (!etat || etat != vu_) {
        vu_ = etat;
        return Suite::Attendre;
    }
    change_ = false;
    vu_.reset();
    montre_ = etat;
    return Suite::Recharger;
}

} // namespace parvel
