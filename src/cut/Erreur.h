#pragma once
// A failure raised by a procedure and passed up to the caller that reports it, as the
// program's runtime does: an error number and its French description.
#include <stdexcept>
#include <string>

namespace parvel {

enum NumeroErreur : int {
    ErrAppelIncorrect = 5,
    ErrDepassement = 6,
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

class ErreurParvel : public std::runtime_error {
  public:
    explicit ErreurParvel(int numero);
    ErreurParvel(int numero, std::string description);
    int Numero() const noexcept { return numero_; }
    const std::string& Description() const noexcept { return description_; }

  private:
    int numero_;
    std::string description_;
};

// Maps an errno value from a failed file operation to the runtime's error number.
int NumeroErreurFichier(int errnoValeur, bool dossierParentExiste);

} // namespace parvel
