// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/RegistreFichier.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "cut/Erreur.h"
#include "cut/Fichiers.h"
#include "cut/LecteurLignes.h"

// After our headers: windows.h turns HKEY_CURRENT_USER into a macro.
#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace parvel {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The file was understood but could not be replaced.
struct ErreurEcriture : std::runtime_error {
    using std::runtime_error::runtime_error;
};

fs::path Dossier(const fs::path& fichier) {
    return fichier.has_parent_path() ? fichier.parent_path() : fs::path(".");
}

// The whole file. A missing file reads as empty, and so does anything that is neither a
// file nor a folder, without being opened: a link to /dev/null silences the store, and
// a pipe must not stop the start-up.
void LitFichier(const fs::path& fichier, std::string& octets) {
    octets.clear(); // the buffer is kept: no new pages for every reading
    std::error_code ec;
    const auto etat = fs::status(fichier, ec);
    if (etat.type() == fs::file_type::not_found || ec == std::errc::not_a_directory)
        return;
    if (ec)
        throw ErreurFormatRegistre(ec.message());
    if (fs::is_directory(etat))
        throw ErreurFormatRegistre("c'est un dossier");
    if (!fs::is_regular_file(etat))
        return;
#ifdef _WIN32
    std::ifstream f(fichier, std::ios::binary);
    if (!f)
        throw ErreurFormatRegistre("ouverture impossible");
    // Straight into the buffer, at its size; a file that grows meanwhile is read to its end.
    const std::uintmax_t taille = fs::file_size(fichier, ec);
    octets.resize(ec ? 0 : static_cast<std::size_t>(taille));
    f.read(octets.data(), static_cast<std::streamsize>(octets.size()));
    octets.resize(static_cast<std::size_t>(f.gcount()));
    char bloc[1 << 14];
    while (f.read(bloc, sizeof bloc) || f.gcount() > 0)
        octets.append(bloc, static_cast<std::size_t>(f.gcount()));
    if (f.bad())
        throw ErreurFormatRegistre("lecture impossible");
#else
    std::FILE* f = nullptr;
    try {
        f = OuvreFichierLecture(TexteChemin(fichier)); // never waits on a pipe put there since
    } catch (const ErreurParvel& e) {
        throw ErreurFormatRegistre(e.Precision().empty() ? e.Description() : e.Precision());
    }
    // Straight into the buffer, at its size; a file that grows meanwhile is read to its end.
    struct stat st {};
    if (::fstat(::fileno(f), &st) == 0 && st.st_size > 0) {
        octets.resize(static_cast<std::size_t>(st.st_size));
        octets.resize(std::fread(octets.data(), 1, octets.size(), f));
    }
    char bloc[1 << 14];
    for (std::size_t n; (n = std::fread(bloc, 1, sizeof bloc, f)) > 0;)
        octets.append(bloc, n);
    const bool echec = std::ferror(f);
    std::fclose(f);
    if (echec)
        throw ErreurFormatRegistre("lecture impossible");
#endif
}

#ifdef _WIN32

std::string MessageWindows() {
    return std::system_category().message(static_cast<int>(GetLastError()));
}

bool Inscriptible(const fs::path& chemin) {
    // Windows ignores the read-only attribute of folders.
    std::error_code ec;
    const auto etat = fs::status(chemin, ec);
    return !ec &&
           (fs::is_directory(etat) || (etat.permissions() & fs::perms::owner_write) != fs::perms::none);
}

// Anything but a file, a folder or nothing: on Windows the write itself refuses it.
void RefuseSpecial(const fs::path&) {}

class Verrou {
  public:
    Verrou(const fs::path& fichier, std::chrono::milliseconds attente) {
        const std::wstring chemin = fichier.wstring() + L".lock";
        Poignee = CreateFileW(chemin.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (Poignee == INVALID_HANDLE_VALUE)
            throw ErreurEcriture("verrou " + TexteChemin(fichier) + ".lock: " + MessageWindows());
        const auto limite = std::chrono::steady_clock::now() + attente;
        for (;;) {
            OVERLAPPED ov{};
            if (LockFileEx(Poignee, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &ov)) {
                Tenu = true;
                return;
            }
            if (GetLastError() != ERROR_LOCK_VIOLATION) {
                const std::string raison = MessageWindows();
                CloseHandle(Poignee);
                throw ErreurEcriture("verrou " + TexteChemin(fichier) + ".lock: " + raison);
            }
            if (std::chrono::steady_clock::now() >= limite)
                return;
            std::this_thread::sleep_for(20ms);
        }
    }
    Verrou(const Verrou&) = delete;
    Verrou& operator=(const Verrou&) = delete;
    ~Verrou() {
        if (Tenu) {
            OVERLAPPED ov{};
            UnlockFileEx(Poignee, 0, 1, 0, &ov);
        }
        CloseHandle(Poignee);
    }
    bool Tenu = false;

  private:
    HANDLE Poignee;
};

#else

std::string MessageErrno() {
    return std::generic_category().message(errno);
}

// Write bits are checked too: root may write anywhere, yet a store made read-only stays so.
bool Inscriptible(const fs::path& chemin) {
    struct stat st {};
    return ::stat(chemin.c_str(), &st) == 0 && (st.st_mode & 0222) != 0 &&
           ::access(chemin.c_str(), W_OK) == 0;
}

// Checked before anything is created beside it: no lock file in /dev for a link to /dev/null.
void RefuseSpecial(const fs::path& fichier) {
    struct stat st {};
    if (::stat(fichier.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        throw ErreurEcriture(PasUnFichierOrdinaire(st.st_mode));
}

class Verrou {
  public:
    Verrou(const fs::path& fichier, std::chrono::milliseconds attente) {
        const std::string chemin = fichier.string() + ".lock";
        // Never through a link. Read access is enough to lock: root's lock file serves its user too.
        Fd = ::open(chemin.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (Fd < 0 && errno == EACCES)
            Fd = ::open(chemin.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (Fd < 0)
            throw ErreurEcriture("verrou " + chemin + ": " +
                                 (errno == ELOOP ? std::string("lien symbolique refusé") : MessageErrno()));
        const auto limite = std::chrono::steady_clock::now() + attente;
        while (::flock(Fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK) {
                const std::string raison = MessageErrno();
                ::close(Fd);
                throw ErreurEcriture("verrou " + chemin + ": " + raison);
            }
            if (std::chrono::steady_clock::now() >= limite)
                return;
            std::this_thread::sleep_for(20ms);
        }
        Tenu = true;
    }
    Verrou(const Verrou&) = delete;
    Verrou& operator=(const Verrou&) = delete;
    ~Verrou() { ::close(Fd); } // closing releases the lock
    bool Tenu = false;

  private:
    int Fd;
};

#endif

} // namespace

RegistreFichier::RegistreFichier(std::filesystem::path fichier) : Fichier_(std::move(fichier)) {}

void RegistreFichier::Signale(std::string_view genre, std::string_view raison) {
    const std::string ligne = "parvel: registre " + std::string(genre) + ": " + TexteChemin(Fichier_) + ": " +
                              std::string(raison) + "\n";
    if (!Signales_.insert(ligne).second)
        return;
    // One write, so that lines from concurrent processes do not interleave.
    std::fwrite(ligne.data(), 1, ligne.size(), stderr);
    std::fflush(stderr);
}

DocumentRegistre& RegistreFichier::Document(const fs::path& fichier) {
    LitFichier(fichier, Lus_);
    if (!Doc_ || Lus_ != OctetsDoc_) {
        Doc_.reset();
        Doc_ = DocumentRegistre::Analyse(Lus_);
        std::swap(Lus_, OctetsDoc_);
    }
    return *Doc_;
}

const DocumentRegistre* RegistreFichier::Charge() {
    try {
        return &Document(Fichier_);
    } catch (const ErreurFormatRegistre& e) {
        Signale("illisible", e.what());
        return nullptr;
    }
}

std::string RegistreFichier::LitTexteRegistre(Racine racine, std::string cle, std::string nom) {
    const auto section = SectionRegistre(racine, cle, nom);
    if (!section)
        return "";
    const auto doc = Charge();
    return doc ? doc->Texte(*section, nom).value_or("") : "";
}

std::int32_t RegistreFichier::LitEntierRegistre(Racine racine, std::string cle, std::string nom) {
    const auto section = SectionRegistre(racine, cle, nom);
    if (!section)
        return 0;
    const auto doc = Charge();
    return doc ? doc->Entier(*section, nom).value_or(0) : 0;
}

void RegistreFichier::EcritEntierRegistre(Racine racine, std::string cle, std::string nom,
                                          std::int32_t valeur) {
    Ecrit(racine, std::move(cle), std::move(nom),
          [&](DocumentRegistre& doc, const std::string& section, const std::string& n) {
              return doc.Modifie(section, n, valeur);
          });
}

void RegistreFichier::EcritTexteRegistre(Racine racine, std::string cle, std::string nom,
                                         std::string valeur) {
    Ecrit(racine, std::move(cle), std::move(nom),
          [&](DocumentRegistre& doc, const std::string& section, const std::string& n) {
              return doc.ModifieTexte(section, n, valeur);
          });
}

void RegistreFichier::Ecrit(Racine racine, std::string cle, std::string nom, const Modification& modifie) {
    const auto section = SectionRegistre(racine, cle, nom);
    if (section)
        SousVerrou([&](DocumentRegistre& doc) { return modifie(doc, *section, nom); });
}

namespace {

// The store as one reading of its file: reads from it, writes into it.
class RegistreDocument final : public Registre {
  public:
    explicit RegistreDocument(DocumentRegistre& doc) : Doc(doc) {}
    std::string LitTexteRegistre(Racine racine, std::string cle, std::string nom) override {
        const auto section = SectionRegistre(racine, cle, nom);
        return section ? Doc.Texte(*section, nom).value_or("") : "";
    }
    std::int32_t LitEntierRegistre(Racine racine, std::string cle, std::string nom) override {
        const auto section = SectionRegistre(racine, cle, nom);
        return section ? Doc.Entier(*section, nom).value_or(0) : 0;
    }
    void EcritEntierRegistre(Racine racine, std::string cle, std::string nom, std::int32_t valeur) override {
        if (const auto section = SectionRegistre(racine, cle, nom))
            Modifie = Doc.Modifie(*section, nom, valeur) || Modifie;
    }
    void EcritTexteRegistre(Racine racine, std::string cle, std::string nom, std::string valeur) override {
        if (const auto section = SectionRegistre(racine, cle, nom))
            Modifie = Doc.ModifieTexte(*section, nom, valeur) || Modifie;
    }
    DocumentRegistre& Doc;
    bool Modifie = false;
};

} // namespace

void RegistreFichier::Groupe(const std::function<void(Registre&)>& operations) {
    bool faites = false;
    SousVerrou([&](DocumentRegistre& doc) {
        faites = true;
        RegistreDocument vue(doc);
        operations(vue);
        return vue.Modifie;
    });
    if (faites)
        return;
    // Not writable now: the operations still read what the file holds, and write nothing.
    const DocumentRegistre* lu = Charge();
    DocumentRegistre doc = lu ? DocumentRegistre::Analyse(OctetsDoc_) : DocumentRegistre();
    RegistreDocument vue(doc);
    operations(vue);
}

void RegistreFichier::SousVerrou(const std::function<bool(DocumentRegistre&)>& modifie) {
    if (LectureSeule_)
        return;
    try {
        // Writes go to the end of the links, not over a link.
        const fs::path fichier = SuitLiens(Fichier_, RoleFichier::Registre);
        RefuseSpecial(fichier);
        const fs::path dossier = Dossier(fichier);
        std::error_code ec;
        fs::create_directories(dossier, ec);
        if (ec)
            throw ErreurEcriture(TexteChemin(dossier) + ": " + ec.message());
        if (!Inscriptible(dossier))
            throw ErreurEcriture("dossier en lecture seule");
        // Re-read under the lock, so that a concurrent writer's values are kept.
        const Verrou verrou(fichier, AttenteVerrou);
        if (!verrou.Tenu) {
            LectureSeule_ = true;
            Signale("en lecture seule",
                    "verrou " + TexteChemin(fichier) + ".lock tenu par un autre programme depuis " +
                        std::to_string(AttenteVerrou.count() / 1000) + " s, modifications non enregistrées");
            return;
        }
        DocumentRegistre& doc = Document(fichier);
        // The document stays the file's only once the file holds what it became.
        struct Oubli {
            std::optional<DocumentRegistre>& Doc;
            bool Garde = false;
            ~Oubli() {
                if (!Garde)
                    Doc.reset();
            }
        } oubli{Doc_};
        if (!modifie(doc)) {
            oubli.Garde = true;
            return;
        }
        if (fs::exists(fichier, ec) && !Inscriptible(fichier))
            throw ErreurEcriture("fichier en lecture seule");
        const auto octets = doc.Serialise();
        if (!octets)
            throw ErreurEcriture("nom non représentable en UTF-16");
        EcritureAtomique ecriture(fichier, RoleFichier::Registre);
        ecriture.Ecrit(*octets);
        ecriture.Valide();
        OctetsDoc_ = *octets;
        oubli.Garde = true;
    } catch (const ErreurFormatRegistre& e) {
        Signale("illisible", e.what());
    } catch (const ErreurEcriture& e) {
        Signale("non enregistré", e.what());
    } catch (const ErreurParvel& e) {
        Signale("non enregistré", e.Precision().empty() ? e.Description() : e.Precision());
    }
}

} // namespace parvel
