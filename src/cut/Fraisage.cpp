// The milling writer: while a file loads in milling mode, every line becomes a move of
// the tool over the work, and lifts and plunges are inserted where the path leaves or
// enters the cutting zone.
#include <memory>
#include <string>

#include "Principale.h"
#include "cut/Erreur.h"
#include "cut/Nombres.h"
#include "cut/SortieFraisage.h"

namespace parvel {

namespace {

constexpr int CouleurMonte = 2;   // green
constexpr int CouleurDescend = 4; // red

// Where the milling output of the current file goes: the project folder, or, without a
// machine configuration, the loaded file's own folder (never the root of the disk).
std::string CheminSortie(const Principale& p) {
    const std::string nom = "Fr+" + p.NomCourt;
    if (!p.Config.RepProjet.empty())
        return p.Config.RepProjet + SeparateurChemin + nom;
    const std::string& chemin = p.CheminCourant();
    const std::size_t fin = chemin.find_last_of(SeparateurChemin == '/' ? "/" : "\\/");
    return fin == std::string::npos ? nom : chemin.substr(0, fin + 1) + nom;
}

// The line up to the end of its last "YG:" token, then the tool's X on the right side
// and the height suffix.
std::string LigneMouvement(const Principale& p) {
    const EtatCut& e = p.Etat;
    const std::int64_t longueur = e.PosYG - 1;
    // No "YG:" read yet: there is no place to cut the line.
    if (longueur < 0)
        throw ErreurParvel(ErrAppelIncorrect);
    // A cut beyond the line's end (a "YG:" that ended a longer line) keeps it whole.
    std::string l(e.Ligne.substr(0, static_cast<std::size_t>(longueur)));
    l += " XD:";
    l += TexteFixe(e.XG + e.ZeroX, ChiffresDouble);
    l += p.Fraisage.SuffixeYD;
    return l;
}

std::string LigneVerticale(const Principale& p, double x, double y) {
    const std::string tx = TexteFixe(x + p.Etat.ZeroX, ChiffresDouble);
    return "T:" + TexteFixe(p.Param.TempsZ, ChiffresSimple) + " XG:" + tx +
           " YG:" + TexteFixe(y, ChiffresDouble) + " XD:" + tx + p.Fraisage.SuffixeYD;
}

} // namespace

void Principale::OuvreSortieFraisage() {
    // An output left by an earlier failure shares the temporary name: drop it first.
    sortieFraisage_.reset();
    sortieFraisage_ = std::make_unique<SortieFraisage>(CheminSortie(*this));
}

void Principale::EtapeFraisage() {
    const EtatCut& e = Etat;
    const bool dansZone = e.XG > Param.XFraise && e.YG <= Param.YFraise;
    if (dansZone) {
        EcritLigneFraisage(LigneMouvement(*this));
        Fraisage.Degage = false;
        BougeFraise();
    } else {
        Fraisage.Degage = true;
        BougeFraise();
        if (!Bilan.PremiereLigne)
            EcritLigneFraisage(LigneMouvement(*this));
    }
}

void Principale::FinFraisage() {
    Fraisage.Degage = false;
    BougeFraise();
    if (sortieFraisage_) {
        sortieFraisage_->Termine();
        sortieFraisage_.reset();
    }
}

void Principale::FermeSortieFraisage() noexcept {
    sortieFraisage_.reset();
}

void Principale::EcritLigneFraisage(std::string_view ligne) {
    // Writing with no output open is writing to a closed file.
    if (!sortieFraisage_)
        throw ErreurParvel(ErrNomFichier);
    sortieFraisage_->EcritLigne(ligne);
}

void Principale::BougeFraise() {
    if (!Ctl.FraisageActif())
        return;
    EtatFraisage& f = Fraisage;
    const EtatCut& e = Etat;
    f.SuffixeYD = f.Degage ? " YD:" + TexteFixe(Param.DegZYD, ChiffresDouble) : std::string(" YD:0");
    if (f.Degage != f.DegagePrec) {
        if (!f.Degage) {
            Marques.push_back({e.XG, e.YG, "Down", CouleurDescend});
            EcritLigneFraisage(LigneVerticale(*this, e.XG, e.YG));
        } else {
            Marques.push_back({e.XGPrec, e.YGPrec, "Up", CouleurMonte});
            // The file's first line is kept as it is, and the tool counts as still down.
            if (Bilan.PremiereLigne) {
                EcritLigneFraisage(e.Ligne);
                return;
            }
            EcritLigneFraisage(LigneVerticale(*this, e.XGPrec, e.YGPrec));
        }
    }
    f.DegagePrec = f.Degage;
}

} // namespace parvel
