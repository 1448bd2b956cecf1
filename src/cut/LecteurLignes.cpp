// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/LecteurLignes.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <sys/stat.h>

#include "cut/Erreur.h"
#include "cut/Fichiers.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace parvel {

namespace {

bool DossierParentExiste(const std::string& chemin) {
    std::error_code ec;
    const std::filesystem::path parent = CheminNatif(chemin).parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec);
}

[[noreturn]] void EchecEntree(const std::string& chemin, int numero, std::string precision = {}) {
    throw ErreurParvel(numero, RoleFichier::Entree, chemin, std::move(precision));
}
} // namespace

std::FILE* OuvreFichierLecture(const std::string& chemin) {
    if (chemin.empty())
        EchecEntree(chemin, ErrNomFichier);
#ifdef _WIN32
    std::error_code ec;
    const std::filesystem::path natif = CheminNatif(chemin);
    if (std::filesystem::is_directory(natif, ec))
        EchecEntree(chemin, ErrAccesChemin, PasUnFichierOrdinaire(S_IFDIR));
    std::FILE* f = _wfopen(natif.c_str(), L"rb");
    if (!f) {
        int e = errno;
        EchecEntree(chemin, NumeroErreurFichier(e, DossierParentExiste(chemin)));
    }
    struct _stat st {};
    if (_fstat(_fileno(f), &st) == 0 && (st.st_mode & S_IFMT) != S_IFREG) {
        std::fclose(f);
        EchecEntree(chemin, ErrAccesChemin, PasUnFichierOrdinaire(st.st_mode));
    }
    return f;
#else
    struct stat st {};
    if (::stat(chemin.c_str(), &st) != 0) {
        int e = errno;
        EchecEntree(chemin, NumeroErreurFichier(e, DossierParentExiste(chemin)));
    }
    if (!S_ISREG(st.st_mode))
        EchecEntree(chemin, ErrAccesChemin, PasUnFichierOrdinaire(st.st_mode));
    // Non-blocking until checked again: a pipe put there since the stat would wait for a writer.
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        int e = errno;
        EchecEntree(chemin, NumeroErreurFichier(e, DossierParentExiste(chemin)));
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        EchecEntree(chemin, ErrAccesChemin, PasUnFichierOrdinaire(st.st_mode));
    }
    const int drapeaux = ::fcntl(fd, F_GETFL);
    std::FILE* f =
        drapeaux < 0 || ::fcntl(fd, F_SETFL, drapeaux & ~O_NONBLOCK) != 0 ? nullptr : ::fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        EchecEntree(chemin, ErrEntreeSortie);
    }
    return f;
#endif
}

LecteurLignes::LecteurLignes(const std::string& chemin, std::size_t longueurMax, std::size_t tailleLecture)
    : fichier_(OuvreFichierLecture(chemin)), longueurMax_(longueurMax),
      tailleLecture_(std::max<std::size_t>(tailleLecture, 64)), chemin_(chemin) {
    Agrandit(tailleLecture_);
}

void LecteurLignes::Reprend(std::uint64_t position) {
    std::FILE* f = fichier_.get();
    std::clearerr(f);
#ifdef _WIN32
    const bool place = position <= static_cast<std::uint64_t>(std::numeric_limits<__int64>::max()) &&
                       _fseeki64(f, static_cast<__int64>(position), SEEK_SET) == 0;
#else
    const bool place = position <= static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) &&
                       ::fseeko(f, static_cast<off_t>(position), SEEK_SET) == 0;
#endif
    // Whatever the outcome, nothing of the old place is served again.
    debut_ = fin_ = lf_ = 0;
    origine_ = position;
    finFichier_ = !place;
    if (!place)
        throw ErreurParvel(ErrEntreeSortie, RoleFichier::Entree, chemin_);
}

void LecteurLignes::Agrandit(std::size_t capacite) {
    // realloc moves a large block by remapping its pages: a long line is never held twice.
    char* p = static_cast<char*>(std::realloc(tampon_.get(), capacite));
    if (!p)
        throw std::bad_alloc();
    (void)tampon_.release();
    tampon_.reset(p);
    capacite_ = capacite;
}

void LecteurLignes::LigneTropLongue() const {
    throw ErreurParvel(ErrDepassement, RoleFichier::Entree, chemin_,
                       "ligne de plus de " + std::to_string(longueurMax_) + " octets");
}

bool LecteurLignes::Remplit() {
    if (finFichier_)
        return false;
    if (debut_ > 0) {
        std::memmove(tampon_.get(), tampon_.get() + debut_, fin_ - debut_);
        origine_ += debut_;
        fin_ -= debut_;
        lf_ = lf_ > debut_ ? lf_ - debut_ : 0;
        debut_ = 0;
    }
    if (capacite_ - fin_ < tailleLecture_ / 2)
        Agrandit(capacite_ * 2);
    // Read no more than a chunk, so that only what the line needs is ever touched.
    const std::size_t demande = std::min(capacite_ - fin_, tailleLecture_);
    std::size_t lu = std::fread(tampon_.get() + fin_, 1, demande, fichier_.get());
    if (lu == 0) {
        if (std::ferror(fichier_.get()))
            throw ErreurParvel(ErrEntreeSortie, RoleFichier::Entree, chemin_);
        finFichier_ = true;
        return false;
    }
    fin_ += lu;
    return true;
}

// The first CR or LF at or after `depuis`, or fin_. The LF found is kept for the next
// lines, so that a file of lone CRs is not searched to the end of the buffer each time.
std::size_t LecteurLignes::ProchaineFin(std::size_t depuis) {
    const char* t = tampon_.get();
#if defined(__SSE2__) || defined(_M_X64)
    // Both ends at once, sixteen bytes at a time, as long as sixteen bytes are there.
    const __m128i vLf = _mm_set1_epi8('\n'), vCr = _mm_set1_epi8('\r');
    for (; fin_ - depuis >= 16; depuis += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + depuis));
        const int fins = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, vLf), _mm_cmpeq_epi8(x, vCr)));
        if (fins != 0)
            return depuis + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(fins)));
    }
#endif
    if (lf_ < depuis)
        lf_ = depuis;
    if (lf_ == fin_ || t[lf_] != '\n') {
        const void* p = lf_ < fin_ ? std::memchr(t + lf_, '\n', fin_ - lf_) : nullptr;
        lf_ = p ? static_cast<std::size_t>(static_cast<const char*>(p) - t) : fin_;
    }
    const void* cr = std::memchr(t + depuis, '\r', lf_ - depuis);
    return cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - t) : lf_;
}

std::string_view LecteurLignes::LitLigne() {
    std::size_t cherche = debut_;
    for (;;) {
        std::size_t k = ProchaineFin(cherche);
        if (k < fin_) {
            // A CR at the end of the buffer may be the first half of CR LF.
            if (tampon_.get()[k] == '\r' && k + 1 == fin_ && !finFichier_) {
                std::size_t avant = debut_;
                Remplit();
                k -= avant - debut_;
            }
            if (k - debut_ > longueurMax_)
                LigneTropLongue();
            const char* t = tampon_.get();
            std::string_view ligne(t + debut_, k - debut_);
            std::size_t suite = k + 1;
            if (t[k] == '\r' && suite < fin_ && t[suite] == '\n')
                ++suite;
            debut_ = suite;
            return ligne;
        }
        // No end yet: refill (and grow) the buffer until one is found.
        std::size_t deja = fin_ - debut_;
        if (deja > longueurMax_)
            LigneTropLongue();
        if (!Remplit()) {
            std::string_view ligne(tampon_.get() + debut_, fin_ - debut_);
            debut_ = fin_;
            return ligne;
        }
        cherche = debut_ + deja;
    }
}

} // namespace parvel
