// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What is wrong with a file before it is cut, found during the load pass itself: the
// checker is told each line as the pass interprets it and keeps, per kind of finding,
// a count, the worst value and the first few ranges of lines. Its memory does not grow
// with the file nor with the number of findings.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cut/Chargeur.h"
#include "cut/Faces.h"

namespace parvel {

// The kinds of finding, in the order they are listed. A new kind takes its place here
// (before Nombre), a row of DescriptionSorte's table, and its test in Verificateur.
enum class SorteConstat : int {
    AucunMouvement,  // not a CUT file: no position or step command anywhere
    DureeNulle,      // a move whose own duration is 0 or negative
    VitesseY,        // a carriage's Y speed above the machine's top Y speed
    RapportVitesses, // both carriages moving, one much faster than the other
    HorsCourse,      // a position outside the machine's travel
    ProfilInverse,   // a line running opposite ways on the block's two faces
    Nombre
};
inline constexpr int NombreSortes = static_cast<int>(SorteConstat::Nombre);

// The fixed texts of a kind: its JSON key, its title, its short name, the unit of its
// worst value ("": a plain number; nullptr: it has none) and the check as listed.
struct DescriptionSorte {
    const char* Cle;
    const char* Titre;
    const char* Court;
    const char* Unite;
    const char* Controle;
};
const DescriptionSorte& Description(SorteConstat s);

// The highest ratio between the two carriages' speeds on one line by default; the
// README gives the reason for 5.
inline constexpr double RapportVitessesParDefaut = 5.0;

struct SeuilsVerification {
    double VitMaxY = 0;                                   // mm/s; 0: unknown, not checked
    double RapportVitessesMax = RapportVitessesParDefaut; // above 1
    double CourseX = 0, CourseY = 0;                      // mm from the origin; 0: not set
    std::optional<GeometrieBloc> Bloc;                    // none: the faces are not checked
};

struct PlageLignes {
    std::int64_t Debut = 0, Fin = 0;
    bool operator==(const PlageLignes&) const = default;
};

// The carriages' positions, in the drawing's millimetres.
struct Positions {
    double XG = 0, YG = 0, XD = 0, YD = 0;
};

struct Constat {
    SorteConstat Sorte = SorteConstat::AucunMouvement;
    std::int64_t Lignes = 0;         // lines found
    std::vector<PlageLignes> Plages; // the first PlagesGardees ranges, consecutive lines merged
    std::int64_t PlagesOmises = 0;   // the ranges after those
    double Pire = 0;                 // the worst value, in Description(Sorte).Unite
    std::int64_t LignePire = 0;      // the first line with it; 0 when the kind has none
    double Temps = 0;                // the moment of the cut where the first line begins, s
    Positions Avant, Apres;          // the first line's segment: where it starts and ends
};

// A check as it was run: done with its threshold, or skipped and why.
struct Controle {
    SorteConstat Sorte;
    bool Fait = true;
};

struct Verifications {
    bool Faites = false; // a load pass ran with the checker
    SeuilsVerification Seuils;
    std::vector<Controle> Controles; // every kind, in order
    std::vector<Constat> Constats;   // the kinds found, in order
};

inline constexpr std::size_t PlagesGardees = 5;

// Told every line of the load pass; Resultat gives the findings once the pass is over.
class Verificateur final : public RecepteurLignes {
  public:
    explicit Verificateur(const SeuilsVerification& seuils);
    void Ligne(const Interpreteur& interp, std::optional<double>) override { Verifie(interp, true); }
    // The same, inlined in the load pass, which says whether the line widened the extents
    // of the positions read so far (false may be said only when it did not).
    void Verifie(const Interpreteur& in, bool etendue) {
        const double duree = in.DureeLue;
        const double debut = temps_;
        // The moments as playback counts them: a negative duration takes no time. (A
        // duration beyond the range has already failed the pass in the total time.)
        if (duree > 0)
            temps_ = debut + duree;
        if (!enRegime_) [[unlikely]]
            Debut(in, debut);
        else if (in.PositionLue)
            Compare(in, debut, etendue);
        precedente_ = in.NumeroLigne;
    }
    Verifications Resultat() const;

  private:
    struct EnCours {
        Constat C;
        std::int64_t DerniereLigne = -1; // the last line counted, to merge consecutive ones
    };
    // The usual line fails every comparison, each branch going the same way line after
    // line; any other line (a carriage standing still among them) is looked at in full.
    // Both carriages at once, as pairs of doubles (GCC and Clang vectors): a carriage's
    // X and Y, or a value of each carriage.
    using Paire = double __attribute__((vector_size(16)));
    using Masque = decltype(Paire{} < Paire{}); // all bits set where true
    static bool UnVrai(Masque m) {
#if defined(__SSE2__)
        return _mm_movemask_pd(reinterpret_cast<__m128d>(m)) != 0;
#else
        return (m[0] | m[1]) != 0;
#endif
    }
    void Compare(const Interpreteur& in, double debut, bool etendue) {
        const EtatCut& e = in.Etat;
        const Paire g = {e.XG, e.YG}, d = {e.XD, e.YD};
        const Paire ag = avantG_, ad = avantD_;
        // Kept at once, so that nothing has to outlive the full look below.
        avantG_ = g;
        avantD_ = d;
        const Paire dg = g - ag, dd = d - ad;
        const Paire cg = dg * dg, cd = dd * dd;
        // The squared lengths, left then right, and the Y moves.
        const Paire l2 = __builtin_shufflevector(cg, cd, 0, 2) + __builtin_shufflevector(cg, cd, 1, 3);
        const Paire dy = __builtin_shufflevector(dg, dd, 1, 3);
        const Masque absolu = {0x7FFFFFFFFFFFFFFF, 0x7FFFFFFFFFFFFFFF};
        const bool rapport = UnVrai(l2 > rapportMarge_ * __builtin_shufflevector(l2, l2, 1, 0));
        const bool vitesseY = UnVrai(reinterpret_cast<Paire>(reinterpret_cast<Masque>(dy) & absolu) >
                                     vitesseYMarge_ * e.DureeSegment);
        // While every position so far lies within the travel, so do the extents of the
        // positions (the first line's checked apart, and 0 where the extents start):
        // only a line that widens them can leave the travel.
        const bool course = (etendue || horsCourse_) && HorsBornes(g, d);
        const bool aExaminer =
            rapport || vitesseY || !(in.DureeLue > 0) || course || (bloc_ && PresqueInverse(dg, dd));
        if (aExaminer) [[unlikely]]
            Examine(in, {ag[0], ag[1], ad[0], ad[1]}, {g[0], g[1], d[0], d[1]}, debut);
    }
    bool HorsBornes(Paire g, Paire d) const {
        return UnVrai(g < basses_) || UnVrai(g > hautes_) || UnVrai(d < basses_) || UnVrai(d > hautes_);
    }
    // The faces' displacements (X, Y) pointing apart, or nearly: decided exactly later.
    bool PresqueInverse(Paire dg, Paire dd) const {
        const Paire proche = dg + (dd - dg) * tProche_, loin = dg + (dd - dg) * tLoin_;
        const Paire v = proche * loin - 1e-9 * (proche * proche + loin * loin);
        return v[0] + v[1] < 0;
    }
    void Debut(const Interpreteur& in, double debut);
    void PremiereLigne(const Interpreteur& in, double debut);
    void Note(SorteConstat s, std::int64_t ligne, double valeur, const Positions& apres);
    void CherchePremierMouvement(const Interpreteur& in);
    // The line from `avant` to `apres`.
    void Examine(const Interpreteur& in, const Positions& avant, const Positions& apres, double debut);
    Positions Avant() const {
        return {avantG_[0], avantG_[1], avantD_[0], avantD_[1]};
    }
    void BornesCourse(double zeroX);
    void Course(std::int64_t ligne, double zeroX, const Positions& apres);

    SeuilsVerification seuils_;
    double vitesseYMarge_, rapportMarge_; // the thresholds of the first comparisons
    bool vitesseY_, course_;              // the checks that have their settings
    bool bloc_;
    Paire tProche_{}, tLoin_{}; // where the faces lie between the carriages, 0 to 1, twice
    std::array<EnCours, NombreSortes> sortes_{};
    // Each carriage's X and Y after the last line with a position.
    Paire avantG_{}, avantD_{};
    Positions avantNote_; // where the line being noted starts
    // The travel after the X zero shift, X and Y from, X and Y to; infinite when not set.
    Paire basses_{}, hautes_{};
    double temps_ = 0, debut_ = 0; // the moment after the line, and where it began
    std::int64_t precedente_ = 0;  // the line interpreted before this one; 0 before the first
    bool mouvement_ = false;
    bool enRegime_ = false;   // past the first line and the first movement
    bool horsCourse_ = false; // a position outside the travel was found
};

// "Déplacement de durée nulle ou négative : 3 lignes (4-5, 12), pire : -1 s à la ligne 12".
std::string TexteConstat(const Constat& c, std::string_view separateur);
// The line under the report: how many kinds were found, or that the file passed.
std::string TexteResume(const Verifications& v);
// The head of the findings' window, about `fichier` (the file's name).
std::string TexteResumeFenetre(const Verifications& v, std::string_view fichier);
// One line per check: done with its threshold, or "non vérifié" and why.
std::vector<std::string> TextesControles(const Verifications& v, std::string_view separateur);
// Why a check was skipped ("configuration de la machine absente").
std::string RaisonSautee(SorteConstat s);
// A number as the findings show it: at most 6 significant digits, no exponent below 1e6.
std::string TexteMesure(double v, std::string_view separateur);

} // namespace parvel
