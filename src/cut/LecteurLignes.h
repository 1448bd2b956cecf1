#pragma once
// Reads a text file line by line as bytes, without holding more than the current
// line and one read buffer. A line ends at CR LF, a lone CR or a lone LF.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parvel {

class LecteurLignes {
  public:
    // Opens the file; raises ErreurParvel with the runtime's error number on failure.
    explicit LecteurLignes(const std::string& chemin);

    // True when no line is left.
    bool Fin();
    // The next line without its end. The view stays valid until the next call.
    std::string_view LitLigne();

  private:
    struct FermeFichier {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    bool Remplit();

    std::unique_ptr<std::FILE, FermeFichier> fichier_;
    std::vector<char> tampon_;
    std::size_t debut_ = 0, fin_ = 0;
    bool finFichier_ = false;
};

// Opens a file for reading as bytes, or raises ErreurParvel with the runtime's number.
std::FILE* OuvreFichierLecture(const std::string& chemin);

} // namespace parvel
