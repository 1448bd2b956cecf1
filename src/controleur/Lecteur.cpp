// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/Lecteur.h"

#include <algorithm>
#include <cmath>

#include "view/Vitesses.h"

namespace parvel {

void Lecteur::Oublie() {
    index_.reset();
    etat_ = EtatLecture{0, 0, 0, etat_.Facteur, false};
}

void Lecteur::Restaure(const EtatLecture& e) {
    index_.reset();
    etat_ = e;
    etat_.EnLecture = false;
}

void Lecteur::Indexe(const std::string& chemin, const Interpreteur& charge, Avancement* suivi) {
    try {
        index_ = std::make_unique<LectureCut>(chemin, charge, suivi);
    } catch (...) {
        etat_.EnLecture = false;
        throw;
    }
    etat_.Total = index_->TempsTotal();
}

std::optional<PositionFil> Lecteur::Va(double t) {
    if (!index_)
        return std::nullopt;
    const std::optional<PositionFil> p = index_->Position(t);
    if (!p)
        return p;
    etat_.Temps = p->Temps;
    etat_.Total = p->TempsTotal;
    etat_.Ligne = p->Ligne;
    if (etat_.Temps >= etat_.Total)
        etat_.EnLecture = false;
    return p;
}

double Lecteur::Lance() {
    etat_.EnLecture = true;
    return etat_.Temps >= etat_.Total ? 0 : etat_.Temps;
}

std::optional<double> Lecteur::Echeance(double secondesReelles) const {
    if (!etat_.EnLecture || !index_ || !(secondesReelles > 0))
        return std::nullopt;
    return etat_.Temps + secondesReelles * etat_.Facteur;
}

std::string Lecteur::TexteLecture() const {
    std::string t = TexteTemps(etat_.Temps) + " / " + TexteTemps(etat_.Total);
    if (etat_.Ligne > 0)
        t += " | ligne " + std::to_string(etat_.Ligne);
    return t;
}

// Tenths of a second, within what a slider's int holds.
int Lecteur::CurseurMax() const {
    return static_cast<int>(std::clamp(std::ceil(etat_.Total * 10), 0.0, 2e9));
}

int Lecteur::CurseurPosition() const {
    return static_cast<int>(std::clamp(std::round(etat_.Temps * 10), 0.0, static_cast<double>(CurseurMax())));
}

int Lecteur::IndiceFacteur() const {
    const auto i = std::find(std::begin(Facteurs), std::end(Facteurs), etat_.Facteur);
    return i == std::end(Facteurs) ? -1 : static_cast<int>(i - std::begin(Facteurs));
}

} // namespace parvel
