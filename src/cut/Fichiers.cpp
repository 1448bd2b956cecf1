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
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// The system's limit on the links met opening one path (Linux's MAXSYMLINKS).
constexpr int MaxLiens = 40;

// Hex digits of the random part of a temporary name.
constexpr std::size_t ChiffresAlea = 16;

} // namespace

// A dangling link gives the path it points to, so that the file is created there as
// writing through the link would.
fs::path SuitLiens(const fs::path& chemin, RoleFichier role) {
    fs::path p = chemin;
    for (int liens = 0;; ++liens) {
#ifdef _WIN32
        std::error_code ec;
        if (!fs::is_symlink(p, ec))
            return p;
#else
        struct stat lien {};
        if (::lstat(p.c_str(), &lien) != 0 || !S_ISLNK(lien.st_mode))
            return p;
        // As the kernel's protected links: in a folder where anyone may create files and
        // only owners remove them, a link is followed only if it is the caller's or the
        // folder owner's. Otherwise root could be made to replace any file.
        struct stat dossier {};
        if (::stat(DossierDe(p).c_str(), &dossier) == 0 && (dossier.st_mode & S_ISVTX) &&
            (dossier.st_mode & S_IWOTH) && lien.st_uid != ::geteuid() && lien.st_uid != dossier.st_uid)
            throw ErreurParvel(ErrPermission, role, TexteChemin(chemin),
                               "lien symbolique d'un autre utilisateur dans un dossier partagé (" +
                                   TexteChemin(p) + ")");
#endif
        if (liens == MaxLiens)
            throw ErreurParvel(ErrAccesChemin, role, TexteChemin(chemin), "trop de liens symboliques");
        std::error_code ec2;
        const fs::path cible = fs::read_symlink(p, ec2);
        if (ec2)
            return p;
        p = cible.is_absolute() ? cible : DossierDe(p) / cible;
    }
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
    static_assert(ChiffresAlea == 16);
    std::snprintf(suffixe, sizeof suffixe, ".%016llx.tmp", static_cast<unsigned long long>(alea()));
    // Short enough that the suffix never makes the name too long.
    // In the system's own characters: a name the narrow code page cannot carry stays whole.
    fs::path nom = ".";
    nom += cible.filename().native().substr(0, 100);
    nom += suffixe;
    return DossierDe(cible) / nom;
}

// ".<name>.<16 hex digits>.tmp", as NomTemporaire makes them.
bool EstNomTemporaire(std::string_view nom) {
    constexpr std::string_view fin = ".tmp";
    const std::size_t n = nom.size();
    if (n < 3 + ChiffresAlea + fin.size() || nom.front() != '.' || nom.substr(n - fin.size()) != fin)
        return false;
    const std::string_view alea = nom.substr(n - fin.size() - ChiffresAlea, ChiffresAlea);
    return nom[n - fin.size() - ChiffresAlea - 1] == '.' &&
           alea.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

} // namespace

#ifdef _WIN32
std::wstring Large(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring r(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), r.data(), n);
    return r;
}

std::string Utf8(std::wstring_view large) {
    if (large.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, large.data(), static_cast<int>(large.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string r(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, large.data(), static_cast<int>(large.size()), r.data(), n, nullptr,
                        nullptr);
    return r;
}
#endif

// libstdc++'s own conversions throw on a malformed name; these never do.
std::string TexteChemin(const fs::path& chemin) {
#ifdef _WIN32
    return Utf8(chemin.native());
#else
    return chemin.string();
#endif
}

fs::path CheminNatif(std::string_view utf8) {
#ifdef _WIN32
    return fs::path(Large(utf8));
#else
    return fs::path(utf8);
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

// Removes the temporaries of writers that are gone: a writer keeps its temporary open
// without sharing until it renames it, so deleting a live one fails. The age spares the
// moment between its closing and its renaming.
void NettoieTemporaires(const fs::path& dossier) {
    std::error_code ec;
    const auto limite = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    for (fs::directory_iterator it(dossier, ec), fin; !ec && it != fin; it.increment(ec)) {
        std::error_code ec2;
        if (EstNomTemporaire(TexteChemin(it->path().filename())) && it->is_regular_file(ec2) &&
            it->last_write_time(ec2) < limite && !ec2)
            DeleteFileW(it->path().c_str());
    }
}

} // namespace

EcritureAtomique::EcritureAtomique(const fs::path& cible, RoleFichier role)
    : demandee_(cible), reelle_(SuitLiens(cible, role)), role_(role) {
    if (demandee_.empty())
        Echoue(ErrNomFichier);
    std::error_code ec;
    const auto etat = fs::status(reelle_, ec);
    existe_ = fs::exists(etat);
    if (existe_ && !fs::is_regular_file(etat))
        Echoue(ErrAccesChemin, PasUnFichierOrdinaire(fs::is_directory(etat) ? S_IFDIR : S_IFCHR));
    NettoieTemporaires(DossierDe(reelle_));
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

namespace {

// Removes the temporaries of writers that are gone: each writer holds a lock on its own
// temporary until it is renamed, so one that can be locked has nobody left to finish it.
// Only regular files of this user, never through a link.
void NettoieTemporaires(const fs::path& dossier) {
    DIR* d = ::opendir(dossier.c_str());
    if (!d)
        return;
    const int dfd = ::dirfd(d);
    while (const dirent* entree = ::readdir(d)) {
        if (!EstNomTemporaire(entree->d_name))
            continue;
        const int fd =
            ::openat(dfd, entree->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat ouvert {
        }, nom{};
        // Still under that name once locked: not a new file that took it meanwhile.
        if (::fstat(fd, &ouvert) == 0 && S_ISREG(ouvert.st_mode) && ouvert.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dfd, entree->d_name, &nom, AT_SYMLINK_NOFOLLOW) == 0 && nom.st_dev == ouvert.st_dev &&
            nom.st_ino == ouvert.st_ino)
            ::unlinkat(dfd, entree->d_name, 0);
        ::close(fd);
    }
    ::closedir(d);
}

// Our lock is on the file that the name still gives: a cleaner that came between the
// creation and the lock has removed it, or is about to. Where the file system has no
// locks, no cleaner can lock either, and the file is ours.
bool Verrouille(int fd, const fs::path& nom) {
    int r;
    while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (r != 0 && errno == EWOULDBLOCK)
        return false;
    struct stat ouvert {
    }, parNom{};
    return ::fstat(fd, &ouvert) == 0 && ::lstat(nom.c_str(), &parNom) == 0 &&
           ouvert.st_dev == parNom.st_dev && ouvert.st_ino == parNom.st_ino;
}

} // namespace

EcritureAtomique::EcritureAtomique(const fs::path& cible, RoleFichier role)
    : demandee_(cible), reelle_(SuitLiens(cible, role)), role_(role) {
    if (demandee_.empty())
        Echoue(ErrNomFichier);
    struct stat ancien {};
    if (::stat(reelle_.c_str(), &ancien) == 0) {
        if (!S_ISREG(ancien.st_mode))
            Echoue(ErrAccesChemin, PasUnFichierOrdinaire(ancien.st_mode));
        // A read-only file stays so for its owner, as a shell redirection would refuse it.
        if (::faccessat(AT_FDCWD, reelle_.c_str(), W_OK, AT_EACCESS) != 0 &&
            (errno == EACCES || errno == EROFS))
            Echoue(ErrPermission, "fichier en lecture seule");
        existe_ = true;
        mode_ = ancien.st_mode & 07777;
        proprietaire_ = ancien.st_uid;
        groupe_ = ancien.st_gid;
    } else if (errno == ELOOP) {
        Echoue(ErrAccesChemin, "trop de liens symboliques");
    }
    NettoieTemporaires(DossierDe(reelle_));
    for (int essai = 0;; ++essai) {
        temporaire_ = NomTemporaire(reelle_);
        // Never through a link, never over an existing file; a new file gets the umask.
        fd_ = ::open(temporaire_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     existe_ ? 0600 : 0666);
        int e = EEXIST;
        if (fd_ >= 0) {
            if (Verrouille(fd_, temporaire_))
                return;
            Ferme();
        } else {
            e = errno;
        }
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
    // The lock stays held through the rename, or a cleaner could take the file for a
    // dead writer's.
    const int garde = ::dup(fd_);
    const int fd = fd_;
    fd_ = -1;
    const int fermeture = ::close(fd) != 0 && errno != EINTR ? errno : 0;
    const int renommage = fermeture == 0 && ::rename(temporaire_.c_str(), reelle_.c_str()) != 0 ? errno : 0;
    if (garde >= 0)
        ::close(garde);
    if (fermeture != 0)
        Echoue(fermeture == ENOSPC ? ErrDisquePlein : NumeroErreurFichier(fermeture, true));
    if (renommage != 0)
        Echoue(NumeroErreurFichier(renommage, true));
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
