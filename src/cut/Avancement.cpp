// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Avancement.h"

#include <filesystem>

#include "cut/Fichiers.h"

namespace parvel {

SuiviLecture::SuiviLecture(Avancement* avancement, const std::string& chemin) : avancement_(avancement) {
    if (avancement_) {
        std::error_code ec;
        const std::uintmax_t taille = std::filesystem::file_size(CheminNatif(chemin), ec);
        total_ = ec ? 0 : taille;
    }
}

void SuiviLecture::Demande() {
    // Line ends counted as one byte: the share is an estimate, never above the whole.
    if (!avancement_->Continue(lus_ < total_ ? lus_ : total_, total_))
        throw Annulation();
}

} // namespace parvel
