// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playback of the loaded file: the moment shown, the play and its speed, and the file's
// index, built on first use after a load. What the wire shows is the controller's work;
// this class says where it is, when the clock moves it, and how a window presents it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cut/Lecture.h"

namespace parvel {

class Avancement;
class Interpreteur;

// Playback as the window shows it.
struct EtatLecture {
    double Temps = 0, Total = 0; // seconds of the cut
    std::int64_t Ligne = 0;      // the line being cut, 0 before the first moment shown
    int Facteur = 1;             // seconds of the cut per real second
    bool EnLecture = false;
};

class Lecteur {
  public:
    // The speeds offered, and the clock's period while playing.
    static constexpr int Facteurs[4] = {1, 10, 100, 1000};
    static constexpr int TicMs = 30;

    const EtatLecture& Etat() const { return etat_; }

    // A new load: the index and the moment are forgotten, the speed stays. DefinitTotal
    // gives the duration the load measured, until an index gives its own.
    void Oublie();
    void DefinitTotal(double total) { etat_.Total = total; }
    // A load stopped before its end gives back the playback it found, not playing; the
    // index is built again on the next use.
    void Restaure(const EtatLecture& e);

    // The file indexed once after its load; raises what the reading raises, and stops the play.
    bool Indexe() const { return index_ != nullptr; }
    void Indexe(const std::string& chemin, const Interpreteur& charge, Avancement* suivi);
    // The wire at `t` (held within the cut), which becomes the moment shown; the end stops
    // the play. None when the file changed since it was indexed.
    std::optional<PositionFil> Va(double t);
    // The line a finding points at, shown where its moment shows another.
    void DefinitLigne(std::int64_t ligne) { etat_.Ligne = ligne; }

    // Play and pause. Lance gives the moment playing starts from: once at the end, the start.
    void Pause() { etat_.EnLecture = false; }
    double Lance();
    void DefinitFacteur(int facteur) { etat_.Facteur = facteur > 0 ? facteur : 1; }
    // The moment the clock's tick of `secondesReelles` reaches, none while nothing plays.
    std::optional<double> Echeance(double secondesReelles) const;

    // How both windows show it: "12 mn 03 s / 1 h 45 mn 10 s | ligne 1234", the button's
    // caption, the slider in tenths of a second, and the speed's place in Facteurs (-1: none).
    std::string TexteLecture() const;
    const char* TexteBouton() const { return etat_.EnLecture ? "Pause" : "Lire"; }
    int CurseurMax() const;
    int CurseurPosition() const;
    static double TempsDuCurseur(int dixiemes) { return dixiemes / 10.0; }
    int IndiceFacteur() const;

  private:
    EtatLecture etat_;
    std::unique_ptr<LectureCut> index_;
};

} // namespace parvel
