// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Fraisage.h"

#include "cut/Chargeur.h"
#include "cut/Erreur.h"
#include "cut/Nombres.h"
#include "cut/SortieFraisage.h"

namespace parvel {

EcrivainFraisage::EcrivainFraisage() = default;
EcrivainFraisage::~EcrivainFraisage() = default;

std::string CheminSortieFraisage(const std::string& repProjet, const std::string& chemin) {
    const std::string nom = "Fr+" + NomCourtPour(chemin);
    if (!repProjet.empty())
        return repProjet + SeparateurChemin + nom;
    const std::size_t fin = chemin.find_last_of(SeparateurChemin == '/' ? "/" : "\\/");
    return fin == std::string::npos ? nom : chemin.substr(0, fin + 1) + nom;
}

// The line up to the end of its last "YG:" token, then the tool's X on the right side
// and the height suffix.
std::string EcrivainFraisage::LigneMouvement(const EtatCut& e) const {
    const std::int64_t longueur = e.PosYG - 1;
    // No "YG:" read yet: there is no place to cut the line.
    if (longueur < 0)
        throw ErreurParvel(ErrAppelIncorrect);
    // A cut beyond the line's end (a "YG:" that ended a longer line) keeps it whole.
    std::string l(e.Ligne.substr(0, static_cast<std::size_t>(longueur)));
    l += " XD:";
    l += TexteFixe(e.XG + e.ZeroX, ChiffresDouble);
    l += Etat.SuffixeYD;
    return l;
}

std::string EcrivainFraisage::LigneVerticale(const EtatCut& e, double x, double y) const {
    const std::string tx = TexteFixe(x + e.ZeroX, ChiffresDouble);
    // A lift height typed below zero must not give the machine a negative duration.
    const float duree = param_.TempsZ > 0 ? param_.TempsZ : 0.0f;
    return "T:" + TexteFixe(duree, ChiffresSimple) + " XG:" + tx + " YG:" + TexteFixe(y, ChiffresDouble) +
           " XD:" + tx + Etat.SuffixeYD;
}

void EcrivainFraisage::Prepare(std::string chemin, const ParamFraisage& param) {
    chemin_ = std::move(chemin);
    param_ = param;
}

void EcrivainFraisage::Ouvre() {
    sortie_.reset();
    sortie_ = std::make_unique<SortieFraisage>(chemin_);
    Etat.Degage = true;
    Etat.DegagePrec = false;
}

void EcrivainFraisage::Etape(const EtatCut& e, bool premiereLigne) {
    const bool dansZone = e.XG > param_.XFraise && e.YG <= param_.YFraise;
    if (dansZone) {
        EcritLigne(LigneMouvement(e));
        Etat.Degage = false;
        BougeFraise(e, premiereLigne);
    } else {
        Etat.Degage = true;
        BougeFraise(e, premiereLigne);
        if (!premiereLigne)
            EcritLigne(LigneMouvement(e));
    }
}

void EcrivainFraisage::Termine(const EtatCut& e) {
    Etat.Degage = false;
    BougeFraise(e, false);
    if (sortie_) {
        sortie_->Termine();
        sortie_.reset();
    }
}

void EcrivainFraisage::Ferme() noexcept {
    sortie_.reset();
}

void EcrivainFraisage::EcritLigne(std::string_view ligne) {
    // Writing with no output open is writing to a closed file.
    if (!sortie_)
        throw ErreurParvel(ErrNomFichier);
    sortie_->EcritLigne(ligne);
}

void EcrivainFraisage::BougeFraise(const EtatCut& e, bool premiereLigne) {
    EtatFraisage& f = Etat;
    f.SuffixeYD = f.Degage ? " YD:" + TexteFixe(param_.DegZYD, ChiffresDouble) : std::string(" YD:0");
    if (f.Degage != f.DegagePrec) {
        if (!f.Degage) {
            Marques.push_back({e.XG, e.YG, "Down", CouleurDescend});
            EcritLigne(LigneVerticale(e, e.XG, e.YG));
        } else {
            Marques.push_back({e.XGPrec, e.YGPrec, "Up", CouleurMonte});
            // The file's first line is kept as it is, and the tool counts as still down.
            if (premiereLigne) {
                EcritLigne(e.Ligne);
                return;
            }
            EcritLigne(LigneVerticale(e, e.XGPrec, e.YGPrec));
        }
    }
    f.DegagePrec = f.Degage;
}

} // namespace parvel
