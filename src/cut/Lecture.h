// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playback of a cut: where the wire is at any moment. One pass over the file keeps a
// sparse index (every few thousand lines: where the next line starts, its time and the
// interpreter's state); a moment is then found from the index entry before it, reading
// forward. The file is read as a redraw reads it, so that the wire lies on the drawing.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cut/Interpreteur.h"
#include "cut/LecteurLignes.h"

namespace parvel {

class Avancement;

// Where the wire is at a moment of the cut, in the drawing's millimetres.
struct PositionFil {
    double XG = 0, YG = 0, XD = 0, YD = 0;
    std::int64_t Ligne = 0; // the file's line being cut (1-based), 0 in an empty file
    double Temps = 0;       // the moment, held within [0, TempsTotal]
    double TempsTotal = 0;
};

class LectureCut {
  public:
    static constexpr std::int64_t PasDefaut = 4096;

    // Reads `chemin` once with the X zero and motor steps of `charge` (the interpreter
    // that loaded it), keeping an index entry every `pas` lines. Raises what the reading
    // raises (ErreurParvel, Annulation from `avancement`).
    LectureCut(const std::string& chemin, const Interpreteur& charge, Avancement* avancement = nullptr,
               std::int64_t pas = PasDefaut);

    // The wire at `t` seconds from the start. Consecutive moments forward go on reading
    // from the last one; the file is open only during the call. None when the file
    // changed since it was indexed or cannot be read any more.
    std::optional<PositionFil> Position(double t);

    double TempsTotal() const { return total_; }
    std::int64_t NombreLignes() const { return lignes_; }
    std::size_t NombreReperes() const { return reperes_.size(); }

  private:
    // Where reading can start again: the next line's offset and number, the time at its
    // start and the state the lines before it left.
    struct Repere {
        std::uint64_t Octet;
        std::int64_t Lignes; // lines before it
        double Temps;
        EtatCut Etat; // without its views into a line
    };
    // The last line read: its time span and the positions before and after it.
    struct Pas {
        double Avant[4], Apres[4];
        double Debut, Duree;
        std::int64_t Ligne;
        bool Bouge;
    };
    // What tells a file changed: its size and dates, and where the system has them, its
    // identity and the time of its last change of any kind, which no program can put back.
    struct Empreinte {
        std::uintmax_t Taille = 0;
        std::int64_t Date = 0, Changement = 0; // ns
        std::uint64_t Appareil = 0, Noeud = 0;
        bool operator==(const Empreinte&) const = default;
    };
    static std::optional<Empreinte> EmpreinteDe(const std::string& chemin);
    void LitUneLigne(LecteurLignes& lecteur);
    void VaAuRepere(const Repere& r, LecteurLignes& lecteur);
    PositionFil Reponse(double t) const;

    std::string chemin_;
    Empreinte empreinte_;
    std::vector<Repere> reperes_;
    double total_ = 0;
    std::int64_t lignes_ = 0;
    // The reading position: lignesLues_ lines read, up to the time temps_, the next
    // line at octet_; valid while enCours_.
    std::uint64_t octet_ = 0;
    bool enCours_ = false;
    Interpreteur interp_;
    std::int64_t lignesLues_ = 0;
    double temps_ = 0;
    std::optional<Pas> dernier_;
};

} // namespace parvel
