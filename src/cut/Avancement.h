// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Progress of a long reading (a load or a redraw) and the way to stop it: the reader
// reports every few thousand lines how much of the file it has read; a false answer
// stops the work with `Annulation`.
#include <cstdint>
#include <exception>
#include <string>

namespace parvel {

class Avancement {
  public:
    virtual ~Avancement() = default;
    // `lus` bytes of `total` read so far; false stops the work.
    virtual bool Continue(std::uint64_t lus, std::uint64_t total) = 0;
    // What the readings from now on are for ("Lecture du fichier…", "Dessin du fichier…"),
    // for the user's eyes.
    virtual void Etape(const char* quoi) { (void)quoi; }
};

// Raised by a load or a redraw that its Avancement stopped; says what was stopped.
class Annulation : public std::exception {
  public:
    explicit Annulation(const char* quoi = "Dessin interrompu") : quoi_(quoi) {}
    const char* what() const noexcept override { return quoi_; }

  private:
    const char* quoi_;
};

// Counts the bytes of the lines read and asks `avancement` every few thousand lines.
class SuiviLecture {
  public:
    SuiviLecture(Avancement* avancement, const std::string& chemin);
    void Ligne(std::size_t longueur) {
        lus_ += longueur + 1;
        if (avancement_ && ++lignes_ % LignesParPas == 0)
            Demande();
    }

  private:
    static constexpr std::uint32_t LignesParPas = 4096;
    void Demande();
    Avancement* avancement_;
    std::uint64_t lus_ = 0, total_ = 0;
    std::uint32_t lignes_ = 0;
};

} // namespace parvel
