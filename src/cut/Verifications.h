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
class Verificateur : public RecepteurLignes {
  public:
    explicit Verificateur(const SeuilsVerification& seuils);
    void Ligne(const Interpreteur& interp, std::optional<double> vitesse) override;
    Verifications Resultat() const;

  private:
    struct EnCours {
        Constat C;
        std::int64_t DerniereLigne = -1; // the last line counted, to merge consecutive ones
    };
    void Note(SorteConstat s, std::int64_t ligne, double valeur, const Positions& apres);
    void CherchePremierMouvement(const Interpreteur& in);
    void PremiereLigne(const Interpreteur& in, double debut);
    void Examine(const Interpreteur& in, Positions apres, double debut);
    void BornesCourse(double zeroX);
    void Course(std::int64_t ligne, double zeroX, const Positions& apres);

    SeuilsVerification seuils_;
    double vitesseYMarge_, rapportMarge_; // the thresholds of the first comparisons
    bool vitesseY_, course_;              // the checks that have their settings
    bool bloc_;
    double tProche_ = 0, tLoin_ = 0; // where the faces lie between the carriages, 0 to 1
    std::array<EnCours, NombreSortes> sortes_{};
    Positions avant_; // the carriages after the last line with a position
    // The travel after the X zero shift: X from, X to, Y from, Y to; infinite when not set.
    double bornes_[4] = {0, 0, 0, 0};
    double temps_ = 0, debut_ = 0; // the moment after the line, and where it began
    std::int64_t precedente_ = 0;  // the line interpreted before this one; 0 before the first
    bool mouvement_ = false;
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
