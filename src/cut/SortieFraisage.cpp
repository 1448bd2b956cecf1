#include "cut/SortieFraisage.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "cut/Erreur.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace parvel {

namespace {
int NumeroEcriture(int e) {
    return e == ENOSPC ? ErrDisquePlein : NumeroErreurFichier(e, true);
}
} // namespace

bool RemplaceFichier(const std::string& source, const std::string& destination) {
#ifdef _WIN32
    return MoveFileExA(source.c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return std::rename(source.c_str(), destination.c_str()) == 0;
#endif
}

SortieFraisage::SortieFraisage(std::string chemin) : chemin_(std::move(chemin)) {
    std::error_code ec;
    if (std::filesystem::is_directory(chemin_, ec))
        throw ErreurParvel(ErrAccesChemin);
    std::filesystem::path p(chemin_);
    std::string nom(1, '.');
    nom += p.filename().string();
    nom += ".parvel-tmp";
    temporaire_ = (p.parent_path() / nom).string();
    std::FILE* f = std::fopen(temporaire_.c_str(), "wb");
    if (!f) {
        int e = errno;
        std::filesystem::path parent = p.parent_path();
        throw ErreurParvel(
            NumeroErreurFichier(e, parent.empty() || std::filesystem::is_directory(parent, ec)));
    }
    fichier_.reset(f);
}

SortieFraisage::~SortieFraisage() {
    if (fichier_) {
        fichier_.reset();
        std::remove(temporaire_.c_str());
    }
}

void SortieFraisage::EcritLigne(std::string_view ligne) {
    std::FILE* f = fichier_.get();
    if (std::fwrite(ligne.data(), 1, ligne.size(), f) != ligne.size() || std::fwrite("\r\n", 1, 2, f) != 2)
        throw ErreurParvel(NumeroEcriture(errno));
}

void SortieFraisage::Termine() {
    std::FILE* f = fichier_.get();
    if (std::fflush(f) != 0)
        throw ErreurParvel(NumeroEcriture(errno));
    int ferme = std::fclose(fichier_.release());
    if (ferme != 0) {
        int e = errno;
        std::remove(temporaire_.c_str());
        throw ErreurParvel(NumeroEcriture(e));
    }
    if (!RemplaceFichier(temporaire_, chemin_)) {
        int e = errno;
        std::remove(temporaire_.c_str());
        throw ErreurParvel(NumeroErreurFichier(e, true));
    }
}

} // namespace parvel
