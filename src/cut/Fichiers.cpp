// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Fichiers.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace parvel {

namespace fs = std::filesystem;

namespace {

// Beyond this, writes go straight to the file instead of through the buffer.
constexpr std::size_t TailleTampon = 1 << 16;

[[maybe_unused]] bool DossierExiste(const fs::path& dossier) {
    std::error_code ec;
    return dossier.empty() || fs::is_directory(dossier, ec);
}

fs::path DossierDe(const fs::path& fichier) {
    return fichier.has_parent_path() ? fichier.parent_path() : fs::path(".");
}

} // namespace

// A dangling link gives the path it points to, so that the file is created there as
// writing through the link would.
fs::path SuitLiens(const fs::path& chemin) {
    fs::path p = chemin;
    std::error_code ec;
    for (int i = 0; i < 40 && fs::is_symlink(p, ec); ++i) {
        const fs::path lien = fs::read_symlink(p, ec);
        if (ec)
            break;
        p = lien.is_absolute() ? lien : DossierDe(p) / lien;
    }
    return p;
}

namespace {

// A name no other writer uses: the file's own name, hidden, with a random suffix.
fs::path NomTemporaire(const fs::path& cible) {
    thread_local std::mt19937_64 alea = [] {
        std::random_device rd;
        const auto t =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::seed_seq graine{rd(), rd(), static_cast<unsigned>(t), static_cast<unsigned>(t >> 32),
                             static_cast<unsigned>(std::hash<std::thread::id>{}(std::this_thread::get_id()))};
        return std::mt19937_64(graine);
    }();
    char suffixe[24];
    std::snprintf(suffixe, sizeof suffixe, ".%016llx.tmp", static_cast<unsigned long long>(alea()));
    // Short enough that the suffix never makes the name too long.
    std::string nom = "." + cible.filename().string().substr(0, 100) + suffixe;
    return DossierDe(cible) / nom;
}

} // namespace

std::string TexteChemin(const fs::path& chemin) {
#ifdef _WIN32
    const std::u8string u = chemin.u8string();
    return std::string(u.begin(), u.end());
#else
    return chemin.string();
#endif
}

std::string PasUnFichierOrdinaire(unsigned mode) {
    const char* nature = "type inconnu";
    switch (mode & S_IFMT) {
    case S_IFDIR:
        nature = "dossier";
        break;
    case S_IFCHR:
#ifdef S_IFBLK
    case S_IFBLK:
#endif
        nature = "périphérique";
        break;
#ifdef S_IFIFO
    case S_IFIFO:
        nature = "tube";
        break;
#endif
#ifdef S_IFSOCK
    case S_IFSOCK:
        nature = "socket";
        break;
#endif
    }
    return std::string("pas un fichier ordinaire (") + nature + ")";
}

void EcritureAtomique::Echoue(int numero, std::string precision) const {
    throw ErreurParvel(numero, role_, TexteChemin(demandee_), std::move(precision));
}

void EcritureAtomique::Ecrit(std::string_view octets) {
    if (tampon_.size() + octets.size() > TailleTampon)
        Vide();
    if (octets.size() >= TailleTampon)
        EcritFichier(octets);
    else
        tampon_ += octets;
}

void EcritureAtomique::Vide() {
    EcritFichier(tampon_);
    tampon_.clear();
}

#ifdef _WIN32

namespace {
int NumeroWindows(DWORD e) {
    switch (e) {
    case ERROR_FILE_NOT_FOUND:
        return ErrFichierIntrouvable;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ErrCheminIntrouvable;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
        return ErrPermission;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrDisquePlein;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return ErrNomFichier;
    default:
        return ErrAccesChemin;
    }
}
} // namespace

EcritureAtomique::EcritureAtomique(const fs::path& cible, RoleFichier role)
    : demandee_(cible), reelle_(SuitLiens(cible)), role_(role) {
    if (demandee_.empty())
        Echoue(ErrNomFichier);
    std::error_code ec;
    const auto etat = fs::status(reelle_, ec);
    existe_ = fs::exists(etat);
    if (existe_ && !fs::is_regular_file(etat))
        Echoue(ErrAccesChemin, PasUnFichierOrdinaire(fs::is_directory(etat) ? S_IFDIR : S_IFCHR));
    for (int essai = 0;; ++essai) {
        temporaire_ = NomTemporaire(reelle_);
        HANDLE h = CreateFileW(temporaire_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            poignee_ = h;
            return;
        }
        const DWORD e = GetLastError();
        if (e != ERROR_FILE_EXISTS || essai == 100) {
            temporaire_.clear();
            Echoue(NumeroWindows(e));
        }
    }
}

void EcritureAtomique::EcritFichier(std::string_view octets) {
    for (std::size_t fait = 0; fait < octets.size();) {
        DWORD ecrits = 0;
        const auto morceau = static_cast<DWORD>(std::min<std::size_t>(octets.size() - fait, 1u << 20));
        if (!WriteFile(poignee_, octets.data() + fait, morceau, &ecrits, nullptr) || ecrits == 0)
            Echoue(NumeroWindows(GetLastError()));
        fait += ecrits;
    }
}

void EcritureAtomique::Ferme() noexcept {
    if (poignee_) {
        CloseHandle(poignee_);
        poignee_ = nullptr;
    }
}

void EcritureAtomique::Valide() {
    Vide();
    if (!FlushFileBuffers(poignee_))
        Echoue(NumeroWindows(GetLastError()));
    Ferme();
    // Two writers renaming onto one name at once, or a reader holding it open a moment,
    // make Windows refuse the replacement for a while: try again for up to two seconds.
    for (int essai = 0;; ++essai) {
        if (MoveFileExW(temporaire_.c_str(), reelle_.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            break;
        const DWORD e = GetLastError();
        if ((e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION) || essai >= 200)
            Echoue(NumeroWindows(e));
        Sleep(10);
    }
    valide_ = true;
}

EcritureAtomique::~EcritureAtomique() {
    Ferme();
    if (!valide_ && !temporaire_.empty())
        DeleteFileW(temporaire_.c_str());
}

bool MemeFichier(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

#else

EcritureAtomique::EcritureAtomique(const fs::path& cible, RoleFichier role)
    : demandee_(cible), reelle_(SuitLiens(cible)), role_(role) {
    if (demandee_.empty())
        Echoue(ErrNomFichier);
    struct stat ancien {};
    if (::stat(reelle_.c_str(), &ancien) == 0) {
        if (!S_ISREG(ancien.st_mode))
            Echoue(ErrAccesChemin, PasUnFichierOrdinaire(ancien.st_mode));
        existe_ = true;
        mode_ = ancien.st_mode & 07777;
        proprietaire_ = ancien.st_uid;
        groupe_ = ancien.st_gid;
    } else if (errno == ELOOP) {
        Echoue(ErrAccesChemin, "trop de liens symboliques");
    }
    for (int essai = 0;; ++essai) {
        temporaire_ = NomTemporaire(reelle_);
        // Never through a link, never over an existing file; a new file gets the umask.
        fd_ = ::open(temporaire_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     existe_ ? 0600 : 0666);
        if (fd_ >= 0)
            return;
        const int e = errno;
        if (e != EEXIST || essai == 100) {
            temporaire_.clear();
            Echoue(NumeroErreurFichier(e, DossierExiste(DossierDe(reelle_))));
        }
    }
}

void EcritureAtomique::EcritFichier(std::string_view octets) {
    for (std::size_t fait = 0; fait < octets.size();) {
        const ssize_t n = ::write(fd_, octets.data() + fait, octets.size() - fait);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : EIO;
            Echoue(e == ENOSPC ? ErrDisquePlein : NumeroErreurFichier(e, true));
        }
        fait += static_cast<std::size_t>(n);
    }
}

void EcritureAtomique::Ferme() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void EcritureAtomique::Valide() {
    Vide();
    if (existe_) {
        // Owner first: changing it may clear the set-id bits that the mode then puts back.
        if (::geteuid() == 0 && ::fchown(fd_, proprietaire_, groupe_) != 0)
            Echoue(NumeroErreurFichier(errno, true), "propriétaire non conservé");
        if (::fchmod(fd_, mode_) != 0)
            Echoue(NumeroErreurFichier(errno, true), "droits non conservés");
    }
    if (::fsync(fd_) != 0 && errno != EINVAL)
        Echoue(errno == ENOSPC ? ErrDisquePlein : NumeroErreurFichier(errno, true));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        Echoue(errno == ENOSPC ? ErrDisquePlein : NumeroErreurFichier(errno, true));
    if (::rename(temporaire_.c_str(), reelle_.c_str()) != 0)
        Echoue(NumeroErreurFichier(errno, true));
    valide_ = true;
    // The rename itself must reach the disk.
    const int dossier = ::open(DossierDe(reelle_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier >= 0) {
        ::fsync(dossier);
        ::close(dossier);
    }
}

EcritureAtomique::~EcritureAtomique() {
    Ferme();
    if (!valide_ && !temporaire_.empty())
        ::unlink(temporaire_.c_str());
}

bool MemeFichier(const fs::path& a, const fs::path& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

#endif

} // namespace parvel
