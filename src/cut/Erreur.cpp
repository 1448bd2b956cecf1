// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Erreur.h"

#include <cerrno>

namespace parvel {

std::string DescriptionErreur(int numero) {
    switch (numero) {
    case 5:
        return "Appel de procédure ou argument incorrect";
    case 6:
        return "Dépassement de capacité";
    case 7:
        return "Mémoire insuffisante";
    case 9:
        return "L'indice n'appartient pas à la sélection";
    case 11:
        return "Division par zéro";
    case 13:
        return "Type incompatible";
    case 52:
        return "Nom ou numéro de fichier incorrect";
    case 53:
        return "Fichier introuvable";
    case 57:
        return "Erreur d'entrée/sortie de périphérique";
    case 61:
        return "Disque plein";
    case 70:
        return "Permission refusée";
    case 75:
        return "Erreur d'accès au chemin/fichier";
    case 76:
        return "Chemin d'accès introuvable";
    default:
        return "Erreur définie par l'application ou par l'objet";
    }
}

std::string NomRole(RoleFichier role) {
    switch (role) {
    case RoleFichier::Entree:
        return "entrée";
    case RoleFichier::SortieFraisage:
        return "sortie de fraisage";
    case RoleFichier::Registre:
        return "registre";
    case RoleFichier::Image:
        return "image";
    case RoleFichier::Aucun:
        break;
    }
    return {};
}

ErreurParvel::ErreurParvel(int numero) : ErreurParvel(numero, DescriptionErreur(numero)) {}

ErreurParvel::ErreurParvel(int numero, std::string description)
    : std::runtime_error(description), numero_(numero), description_(std::move(description)) {}

ErreurParvel::ErreurParvel(int numero, RoleFichier role, std::string chemin, std::string precision)
    : std::runtime_error(DescriptionErreur(numero)), numero_(numero), description_(DescriptionErreur(numero)),
      role_(role), chemin_(std::move(chemin)), precision_(std::move(precision)) {}

std::string ErreurParvel::Message() const {
    std::string m = description_;
    if (role_ != RoleFichier::Aucun || !chemin_.empty()) {
        m += " : ";
        m += NomRole(role_);
        if (role_ != RoleFichier::Aucun && !chemin_.empty())
            m += ' ';
        m += chemin_;
    }
    if (!precision_.empty())
        m += " : " + precision_;
    return m;
}

int NumeroErreurFichier(int e, bool dossierParentExiste) {
    switch (e) {
    case ENOENT:
        return dossierParentExiste ? ErrFichierIntrouvable : ErrCheminIntrouvable;
    case ENOTDIR:
        return ErrCheminIntrouvable;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrPermission;
    case ENOSPC:
        return ErrDisquePlein;
    case EIO:
        return ErrEntreeSortie;
    case ENAMETOOLONG:
    case EINVAL:
        return ErrNomFichier;
    default:
        return ErrAccesChemin;
    }
}

} // namespace parvel
