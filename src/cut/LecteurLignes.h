// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a text file line by line as bytes, without holding more than the current
// line and one read buffer. A line ends at CR LF, a lone CR or a lone LF.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace parvel {

// Longer lines fail the read: a file that is no CUT file must not take all the memory.
inline constexpr std::size_t LongueurLigneMax = std::size_t{256} << 20;

class LecteurLignes {
  public:
    // Opens the file; raises ErreurParvel (role "entrée", this path) when it cannot be
    // opened or is not a regular file. `tailleLecture` bytes are read at a time: less
    // suits a reader that jumps about the file and reads a little at each place.
    explicit LecteurLignes(const std::string& chemin, std::size_t longueurMax = LongueurLigneMax,
                           std::size_t tailleLecture = std::size_t{1} << 20);

    // True when no line is left.
    bool Fin() { return debut_ >= fin_ && !Remplit(); }
    // The next line without its end. The view stays valid until the next call.
    // A line longer than the limit raises ErreurParvel(ErrDepassement).
    std::string_view LitLigne();
    // Byte offset in the file of the next line, once the previous one's end (CR LF
    // included) is behind it.
    std::uint64_t Position() const { return origine_ + debut_; }
    // Goes on from byte `position`, which should be the start of a line (a Position()
    // seen before); raises ErreurParvel(ErrEntreeSortie) when the file cannot go there.
    void Reprend(std::uint64_t position);

  private:
    struct FermeFichier {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    struct Libere {
        void operator()(char* p) const noexcept { std::free(p); }
    };
    bool Remplit();
    void Agrandit(std::size_t capacite);
    std::size_t ProchaineFin(std::size_t depuis);
    [[noreturn]] void LigneTropLongue() const;

    std::unique_ptr<std::FILE, FermeFichier> fichier_;
    std::unique_ptr<char, Libere> tampon_;
    std::size_t capacite_ = 0, debut_ = 0, fin_ = 0;
    // No LF lies between the search start and lf_, which is an LF or fin_.
    std::size_t lf_ = 0;
    std::size_t longueurMax_;
    std::size_t tailleLecture_;
    std::uint64_t origine_ = 0; // offset in the file of the buffer's first byte
    std::string chemin_;
    bool finFichier_ = false;
};

// Opens a regular file for reading as bytes, or raises ErreurParvel (role "entrée").
// Devices, pipes and sockets are refused before anything could wait on them.
std::FILE* OuvreFichierLecture(const std::string& chemin);

} // namespace parvel
