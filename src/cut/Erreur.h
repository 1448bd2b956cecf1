// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A failure raised by a procedure and passed up to the caller that reports it, as the
// program's runtime does: an error number and its French description.
#include <stdexcept>
#include <string>

namespace parvel {

enum NumeroErreur : int {
    ErrAppelIncorrect = 5,
    ErrDepassement = 6,
    ErrMemoire = 7,
    ErrIndice = 9,
    ErrDivisionZero = 11,
    ErrNomFichier = 52,
    ErrFichierIntrouvable = 53,
    ErrEntreeSortie = 57,
    ErrDisquePlein = 61,
    ErrPermission = 70,
    ErrAccesChemin = 75,
    ErrCheminIntrouvable = 76,
};

// The platform's wording for an error number ("Fichier introuvable" for 53).
std::string DescriptionErreur(int numero);

// What the file that failed was to the program, for the messages.
enum class RoleFichier { Aucun, Entree, SortieFraisage, Registre, Image };
// "entrée", "sortie de fraisage", "registre", "image"; empty for Aucun.
std::string NomRole(RoleFichier role);

class ErreurParvel : public std::runtime_error {
  public:
    explicit ErreurParvel(int numero);
    ErreurParvel(int numero, std::string description);
    // A failure on a file: its role and path, and optionally what was wrong with it.
    ErreurParvel(int numero, RoleFichier role, std::string chemin, std::string precision = {});
    int Numero() const noexcept { return numero_; }
    const std::string& Description() const noexcept { return description_; }
    RoleFichier Role() const noexcept { return role_; }
    const std::string& Chemin() const noexcept { return chemin_; }
    const std::string& Precision() const noexcept { return precision_; }
    // "Permission refusée : sortie de fraisage /x/Fr+aile.cut", with the precision after
    // " : " when there is one; the bare description when there is no file.
    std::string Message() const;

  private:
    int numero_;
    std::string description_;
    RoleFichier role_ = RoleFichier::Aucun;
    std::string chemin_, precision_;
};

// Maps an errno value from a failed file operation to the runtime's error number.
int NumeroErreurFichier(int errnoValeur, bool dossierParentExiste);

} // namespace parvel
