// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The milling writer: while a file loads in milling mode, every line becomes a move of
// the tool over the work, and lifts and plunges are inserted where the path leaves or
// enters the cutting zone. It keeps its state and markers from one load to the next.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cut/Interpreteur.h"
#include "cut/Parametres.h"

namespace parvel {

class SortieFraisage;

struct EtatFraisage {
    bool Degage = true;
    bool DegagePrec = false;
    std::string SuffixeYD; // carried over from one load to the next
};

inline constexpr int CouleurMonte = 2;   // green
inline constexpr int CouleurDescend = 4; // red

struct Marque {
    double X = 0, Y = 0;
    std::string Label; // "Up" or "Down"
    int Couleur = 0;   // CouleurMonte for "Up", CouleurDescend for "Down"
};

class EcrivainFraisage {
  public:
    EcrivainFraisage();
    ~EcrivainFraisage();
    EcrivainFraisage(const EcrivainFraisage&) = delete;
    EcrivainFraisage& operator=(const EcrivainFraisage&) = delete;

    EtatFraisage Etat;
    std::vector<Marque> Marques; // of the last load; NbMarques is size() + 1

    // Where the next load writes, and with which parameters.
    void Prepare(std::string chemin, const ParamFraisage& param);
    const std::string& Chemin() const { return chemin_; }
    // Creates the output, under a temporary name until Termine.
    void Ouvre();
    // The milling step of one interpreted line.
    void Etape(const EtatCut& e, bool premiereLigne);
    // Lowers or lifts the tool when Etat.Degage changed, with its marker and line.
    void BougeFraise(const EtatCut& e, bool premiereLigne);
    // The tool goes down for the end, and the output gets its final name.
    void Termine(const EtatCut& e);
    // An unfinished output is removed.
    void Ferme() noexcept;

  private:
    void EcritLigne(std::string_view ligne);
    std::string LigneMouvement(const EtatCut& e) const;
    std::string LigneVerticale(const EtatCut& e, double x, double y) const;

    std::string chemin_;
    ParamFraisage param_;
    std::unique_ptr<SortieFraisage> sortie_;
};

// Where the milling output of `chemin` goes: "Fr+" and its short name in the project
// folder, or, without a machine configuration, in the file's own folder (never the
// root of the disk).
std::string CheminSortieFraisage(const std::string& repProjet, const std::string& chemin);

} // namespace parvel
