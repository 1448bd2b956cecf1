// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/SortieFraisage.h"

#include "cut/Fichiers.h"

namespace parvel {

SortieFraisage::SortieFraisage(std::string chemin)
    : chemin_(std::move(chemin)),
      ecriture_(std::make_unique<EcritureAtomique>(CheminNatif(chemin_), RoleFichier::SortieFraisage)) {}

SortieFraisage::~SortieFraisage() = default;

void SortieFraisage::EcritLigne(std::string_view ligne) {
    ecriture_->Ecrit(ligne);
    ecriture_->Ecrit("\r\n");
}

void SortieFraisage::Termine() {
    ecriture_->Valide();
}

} // namespace parvel
