// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a file so that nobody ever sees it half written, and telling files apart.
// Used by every file the program writes: the milling output, the settings store and
// the PNG image.
#include <filesystem>
#include <string>
#include <string_view>

#include "cut/Erreur.h"

namespace parvel {

// The path as messages show it (UTF-8 on every platform).
std::string TexteChemin(const std::filesystem::path& chemin);

// The path a UTF-8 string names. On Windows a narrow string would be read in the ANSI
// code page, which cannot carry every name: every path the program opens comes here.
std::filesystem::path CheminNatif(std::string_view utf8);

#ifdef _WIN32
// The program's UTF-8 and the UTF-16 of Windows' wide calls. Never throws: a malformed
// sequence becomes U+FFFD.
std::wstring Large(std::string_view utf8);
std::string Utf8(std::wstring_view large);
#endif

// The end of a chain of links; a dangling link gives the path it points to. Raises
// ErreurParvel (`role`, this path) for a chain longer than the system follows, and for
// a link that the kernel's protected links would not follow: one in a sticky folder
// that anyone may write, owned neither by the caller nor by the folder's owner.
std::filesystem::path SuitLiens(const std::filesystem::path& chemin, RoleFichier role = RoleFichier::Aucun);

// Why a file of this type (a stat mode) is not read or replaced: "pas un fichier
// ordinaire (périphérique)", "(tube)", "(socket)", "(dossier)".
std::string PasUnFichierOrdinaire(unsigned mode);

// Writes the new content under a temporary name created for it alone beside the file,
// and puts it in place with one rename when Valide() is called: readers see the old
// file or the whole new one, and of two writers of the same file the last one wins.
// A link is followed as SuitLiens says: the file it points to is replaced and the link
// stays. Anything other than a regular file (device, pipe, folder) is refused, and so
// is a file the caller may not write (a read-only file, unless run by root). The new
// file keeps the mode of the one it replaces, and its owner and group when run by root.
// The temporary is named ".<name>.<16 hex digits>.tmp" and stays locked (or, on
// Windows, open) until renamed; each new writer removes from the folder those whose
// writer is gone.
// Failures raise ErreurParvel with `role` and the path given.
class EcritureAtomique {
  public:
    EcritureAtomique(const std::filesystem::path& cible, RoleFichier role);
    ~EcritureAtomique(); // an unvalidated temporary is removed
    EcritureAtomique(const EcritureAtomique&) = delete;
    EcritureAtomique& operator=(const EcritureAtomique&) = delete;

    void Ecrit(std::string_view octets); // buffered
    // Writes what is buffered, flushes it to the disk, renames, then flushes the folder.
    void Valide();

    // The file actually replaced (the end of the links).
    const std::filesystem::path& Cible() const { return reelle_; }
    const std::filesystem::path& Temporaire() const { return temporaire_; }

  private:
    [[noreturn]] void Echoue(int numero, std::string precision = {}) const;
    void Vide();
    void EcritFichier(std::string_view octets);
    void Ferme() noexcept;

    std::filesystem::path demandee_, reelle_, temporaire_;
    RoleFichier role_;
    std::string tampon_;
    bool existe_ = false, valide_ = false;
#ifdef _WIN32
    void* poignee_ = nullptr;
#else
    int fd_ = -1;
    unsigned mode_ = 0, proprietaire_ = 0, groupe_ = 0;
#endif
};

// True when both paths name the same existing file, whatever links lead to it.
bool MemeFichier(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace parvel
