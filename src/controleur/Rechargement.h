// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Live reload: the loaded file changed on disk is loaded again once its writer is done,
// that is once two looks `DelaiMs` apart find the same size and date, and no procedure
// runs. A front end either is told of changes (a file system watch) or looks at the
// file at that pace by itself; either way it asks `Regarde` at each look.
#include <cstdint>
#include <optional>
#include <string>

namespace parvel {

// What the file's looks compare; none for a file that is not there.
struct EtatFichier {
    std::uint64_t Taille = 0;
    std::int64_t Date = 0; // modification time, in any unit that changes with it
    bool operator==(const EtatFichier&) const = default;
};
// The file's size and date now, through the file system (wide on Windows).
std::optional<EtatFichier> EtatDuFichier(const std::string& chemin);

class Rechargement {
  public:
    static constexpr int DelaiMs = 300;
    enum class Suite {
        Rien,      // nothing changed: no need to look again soon
        Attendre,  // a change is under way: look again in DelaiMs
        Recharger, // the change has settled: load the file again now
    };
    // After each procedure: the file loaded and the loads counted so far. A new file or
    // a new load makes the file's state now the one shown.
    void Suit(const std::string& chemin, int chargements);
    const std::string& Chemin() const { return chemin_; }
    // The watch saw the file change.
    void Change();
    // A look at the file, whose state is now `etat`; `occupe` while a procedure runs,
    // which would drop the load.
    Suite Regarde(std::optional<EtatFichier> etat, bool occupe);
    Suite Regarde(bool occupe) { return Regarde(EtatDuFichier(chemin_), occupe); }

  private:
    std::string chemin_;
    int chargements_ = -1;
    std::optional<EtatFichier> montre_; // the state of the file as loaded
    std::optional<EtatFichier> vu_;     // at the last look during a change
    bool change_ = false;
};

} // namespace parvel
