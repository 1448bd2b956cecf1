#include "cut/LecteurLignes.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cut/Erreur.h"

namespace parvel {

namespace {
constexpr std::size_t TailleLecture = 1 << 20;

bool DossierParentExiste(const std::string& chemin) {
    std::error_code ec;
    std::filesystem::path p(chemin);
    std::filesystem::path parent = p.parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec);
}
} // namespace

std::FILE* OuvreFichierLecture(const std::string& chemin) {
    if (chemin.empty())
        throw ErreurParvel(ErrNomFichier);
    std::error_code ec;
    if (std::filesystem::is_directory(chemin, ec))
        throw ErreurParvel(ErrAccesChemin);
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f) {
        int e = errno;
        throw ErreurParvel(NumeroErreurFichier(e, DossierParentExiste(chemin)));
    }
    return f;
}

LecteurLignes::LecteurLignes(const std::string& chemin) : fichier_(OuvreFichierLecture(chemin)) {
    tampon_.resize(TailleLecture);
}

bool LecteurLignes::Remplit() {
    if (finFichier_)
        return false;
    if (debut_ > 0) {
        std::memmove(tampon_.data(), tampon_.data() + debut_, fin_ - debut_);
        fin_ -= debut_;
        debut_ = 0;
    }
    if (tampon_.size() - fin_ < TailleLecture / 2)
        tampon_.resize(tampon_.size() * 2);
    std::size_t lu = std::fread(tampon_.data() + fin_, 1, tampon_.size() - fin_, fichier_.get());
    if (lu == 0) {
        if (std::ferror(fichier_.get()))
            throw ErreurParvel(ErrEntreeSortie);
        finFichier_ = true;
        return false;
    }
    fin_ += lu;
    return true;
}

bool LecteurLignes::Fin() {
    if (debut_ < fin_)
        return false;
    return !Remplit();
}

std::string_view LecteurLignes::LitLigne() {
    std::size_t cherche = debut_;
    for (;;) {
        // Scan for the end of the line; refill (and grow) the buffer until it is found.
        const char* p = tampon_.data() + cherche;
        const char* e = tampon_.data() + fin_;
        while (p < e && *p != '\n' && *p != '\r')
            ++p;
        std::size_t k = static_cast<std::size_t>(p - tampon_.data());
        if (k < fin_) {
            // A CR at the end of the buffer may be the first half of CR LF.
            if (*p == '\r' && k + 1 == fin_ && !finFichier_) {
                std::size_t avant = debut_;
                Remplit();
                k -= avant - debut_;
            }
            std::string_view ligne(tampon_.data() + debut_, k - debut_);
            std::size_t suite = k + 1;
            if (tampon_[k] == '\r' && suite < fin_ && tampon_[suite] == '\n')
                ++suite;
            debut_ = suite;
            return ligne;
        }
        std::size_t deja = fin_ - debut_;
        if (!Remplit()) {
            std::string_view ligne(tampon_.data() + debut_, fin_ - debut_);
            debut_ = fin_;
            return ligne;
        }
        cherche = debut_ + deja;
    }
}

} // namespace parvel
