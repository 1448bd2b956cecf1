// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/SuiviTravaux.h"

namespace parvel {

bool SuiviTravaux::Laisse(Saisie saisie) {
    switch (saisie) {
    case Saisie::Aucune:
    case Saisie::SurAnnuler:
        return true;
    case Saisie::Echap:
        Annule(false);
        return false;
    case Saisie::Fermeture:
    case Saisie::Quitter:
        Annule(true);
        return false;
    case Saisie::Autre:
        break;
    }
    return false;
}

void SuiviTravaux::Annule(bool quitter) {
    annule_ = true;
    quitter_ = quitter_ || quitter;
}

void SuiviTravaux::Commence() {
    occupe_ = true;
    etape_ = "Lecture du fichier…";
    annule_ = quitter_ = montre_ = false;
    premier_ = true;
    debut_ = dernier_ = Maintenant();
}

void SuiviTravaux::Termine(const char* annulation) {
    occupe_ = false;
    if (montre_) {
        montre_ = false;
        CachePanneau();
    }
    if (annulation)
        MontreAnnulation(annulation);
}

void SuiviTravaux::Etape(const char* quoi) {
    etape_ = quoi;
    if (montre_)
        MontreEtape(etape_);
}

bool SuiviTravaux::Continue(std::uint64_t lus, std::uint64_t total) {
    // Events are looked at the first time, then at a steady pace: a stop asked before
    // the work began is seen at once, and the cost stays out of the reading.
    const std::int64_t maintenant = Maintenant();
    if (!premier_ && maintenant - dernier_ < PasMs)
        return !annule_;
    premier_ = false;
    dernier_ = maintenant;
    if (!montre_ && maintenant - debut_ >= DelaiMs) {
        montre_ = true;
        MontrePanneau(etape_);
    }
    if (montre_ && total > 0)
        MontrePourcentage(static_cast<int>(100 * lus / total));
    TraiteEvenements();
    return !annule_;
}

} // namespace parvel
