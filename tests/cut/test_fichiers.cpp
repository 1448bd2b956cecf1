// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing files: whole files only, links and special files respected, and two writers
// of the same milling output each leave a complete file.
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "Doubles.h"
#include "cut/Erreur.h"
#include "cut/Fichiers.h"
#include "cut/SortieFraisage.h"

namespace parvel {
namespace {

namespace fs = std::filesystem;

TEST(SortieFraisage, DeuxEcrivainsLaissentChacunUnFichierEntier) {
    test::DossierTemporaire d;
    const std::string cible = (d.Chemin() / "Fr+x.cut").string();
    const int lignes = 2000;
    for (int tour = 0; tour < 20; ++tour) {
        auto ecrivain = [&](char marque) {
            SortieFraisage s(cible);
            for (int i = 0; i < lignes; ++i)
                s.EcritLigne(std::string(40, marque) + std::to_string(i));
            s.Termine();
        };
        std::thread a(ecrivain, 'a'), b(ecrivain, 'b');
        a.join();
        b.join();
        const std::string contenu = test::LitFichier(cible);
        std::string attendu;
        for (int i = 0; i < lignes; ++i)
            attendu += std::string(40, contenu[0]) + std::to_string(i) + "\r\n";
        ASSERT_EQ(contenu, attendu) << "tour " << tour;
        ASSERT_EQ(d.Noms(), std::vector<std::string>{"Fr+x.cut"});
    }
    const std::string avant = test::LitFichier(cible);
    SortieFraisage(cible).EcritLigne("abandonnée"); // never finished: leaves nothing
    EXPECT_EQ(test::LitFichier(cible), avant);
    EXPECT_EQ(d.Noms(), std::vector<std::string>{"Fr+x.cut"});
}

#ifndef _WIN32
// A link is followed to its file, which keeps its mode; links planted at names a
// temporary might take are left alone, and so is everything else in both folders.
TEST(EcritureAtomique, LienSuiviEtPiegesIntacts) {
    test::DossierTemporaire d;
    fs::create_directory(d.Chemin() / "ailleurs");
    const std::string vrai = d.Ecrit("ailleurs/vrai.cut", "ancien");
    const std::string victime = d.Ecrit("victime", "intacte");
    ::chmod(vrai.c_str(), 0640);
    fs::create_symlink(vrai, d.Chemin() / "lien.cut");
    // Names as the writer makes its temporaries, which its cleaning of the folder must
    // leave alone as well: they are links, not files of a writer that died.
    for (const char* piege : {".lien.cut.0123456789abcdef.tmp", ".vrai.cut.0123456789abcdef.tmp",
                              ".vrai.cut.fedcba9876543210.tmp"}) {
        fs::create_symlink(victime, d.Chemin() / piege);
        fs::create_symlink(victime, d.Chemin() / "ailleurs" / piege);
    }
    SortieFraisage s((d.Chemin() / "lien.cut").string());
    s.EcritLigne("nouveau");
    s.Termine();
    EXPECT_TRUE(fs::is_symlink(d.Chemin() / "lien.cut"));
    EXPECT_EQ(test::LitFichier(vrai), "nouveau\r\n");
    EXPECT_EQ(test::LitFichier(victime), "intacte");
    struct stat st {};
    ASSERT_EQ(::stat(vrai.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(d.Noms().size(), 6u);
    EXPECT_EQ(d.Noms("ailleurs").size(), 4u);
}

TEST(EcritureAtomique, FichiersSpeciauxRefuses) {
    test::DossierTemporaire d;
    const fs::path tube = d.Chemin() / "tube";
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    fs::create_symlink("/dev/null", d.Chemin() / "nul");
    const struct {
        fs::path chemin;
        const char* nature;
    } cas[] = {{d.Chemin() / "nul", "périphérique"},
               {"/dev/full", "périphérique"},
               {tube, "tube"},
               {d.Chemin(), "dossier"}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.chemin);
        try {
            EcritureAtomique e(c.chemin, RoleFichier::Image);
            ADD_FAILURE();
        } catch (const ErreurParvel& e) {
            EXPECT_EQ(e.Numero(), ErrAccesChemin);
            EXPECT_EQ(e.Message(), "Erreur d'accès au chemin/fichier : image " + c.chemin.string() +
                                       " : pas un fichier ordinaire (" + c.nature + ")");
        }
    }
    struct stat st {};
    EXPECT_TRUE(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_TRUE(::lstat(tube.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_EQ(d.Noms().size(), 2u);
}

// Runs `f` in a child process as `uid` (root gives up its rights first), which ends
// without running any destructor, as a killed writer would; gives what `f` returned or
// the message of the ErreurParvel it raised.
std::string EnTantQue(uid_t uid, const std::function<std::string()>& f) {
    int tube[2];
    if (::pipe(tube) != 0)
        return "pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::string dit = "setuid";
        if (uid == ::geteuid() || (::setgid(uid) == 0 && ::setuid(uid) == 0))
            try {
                dit = f();
            } catch (const ErreurParvel& e) {
                dit = e.Message();
            }
        [[maybe_unused]] auto n = ::write(tube[1], dit.data(), dit.size());
        ::_exit(0);
    }
    ::close(tube[1]);
    std::string dit;
    char bloc[512];
    for (ssize_t n; (n = ::read(tube[0], bloc, sizeof bloc)) > 0;)
        dit.append(bloc, static_cast<std::size_t>(n));
    ::close(tube[0]);
    ::waitpid(pid, nullptr, 0);
    return dit;
}

std::string Remplace(const fs::path& cible, const std::string& contenu) {
    EcritureAtomique e(cible, RoleFichier::Image);
    e.Ecrit(contenu);
    e.Valide();
    return "";
}

constexpr uid_t Personne = 65534; // an unprivileged user for the tests run by root

// Another user's link in a sticky folder open to all is not followed by root, as the
// kernel would not follow it; the caller's own links, the folder owner's and links in
// other folders are.
TEST(EcritureAtomique, LienDUnAutreDansUnDossierPartageRefuse) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "seul root peut donner un lien à un autre utilisateur";
    test::DossierTemporaire d;
    const fs::path secret = d.Ecrit("secret", "à root seul");
    ::chmod(secret.c_str(), 0600);
    for (const char* dossier : {"partage", "partage_de_personne", "prive"})
        fs::create_directory(d.Chemin() / dossier);
    ::chmod((d.Chemin() / "partage").c_str(), 01777);
    ::chmod((d.Chemin() / "partage_de_personne").c_str(), 01777);
    ASSERT_EQ(::chown((d.Chemin() / "partage_de_personne").c_str(), Personne, Personne), 0);
    const struct {
        const char* lien;
        uid_t proprietaire;
        bool suivi;
    } cas[] = {{"partage/Fr+aile.cut", Personne, false},
               {"partage/image.png", 0, true},
               {"partage_de_personne/image.png", Personne, true},
               {"prive/image.png", Personne, true}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.lien);
        const fs::path lien = d.Chemin() / c.lien;
        fs::create_symlink(secret, lien);
        ASSERT_EQ(::lchown(lien.c_str(), c.proprietaire, c.proprietaire), 0);
        const std::string dit = EnTantQue(0, [&] { return Remplace(lien, "remplacé"); });
        if (c.suivi) {
            EXPECT_EQ(dit, "");
            EXPECT_EQ(test::LitFichier(secret), "remplacé");
        } else {
            EXPECT_EQ(dit, "Permission refusée : image " + lien.string() +
                               " : lien symbolique d'un autre utilisateur dans un dossier partagé (" +
                               lien.string() + ")");
            EXPECT_EQ(test::LitFichier(secret), "à root seul");
        }
        EXPECT_TRUE(fs::is_symlink(lien));
        d.Ecrit("secret", "à root seul");
    }
}

// A read-only file is refused to its owner, as a shell redirection refuses it; a chain
// of links is followed as far as the system's limit and refused beyond it.
TEST(EcritureAtomique, LectureSeuleEtChaineTropLongueRefusees) {
    test::DossierTemporaire d;
    const uid_t moi = ::geteuid() == 0 ? Personne : ::geteuid();
    const fs::path fichier = d.Ecrit("lecture_seule.png", "ancien");
    ::chmod(fichier.c_str(), 0444);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(d.Chemin().c_str(), moi, moi), 0);
        ASSERT_EQ(::chown(fichier.c_str(), moi, moi), 0);
    }
    EXPECT_EQ(EnTantQue(moi, [&] { return Remplace(fichier, "nouveau"); }),
              "Permission refusée : image " + fichier.string() + " : fichier en lecture seule");
    EXPECT_EQ(test::LitFichier(fichier), "ancien");

    const fs::path fin = d.Ecrit("fin.png", "fin");
    fs::path lien = fin;
    for (int i = 1; i <= 41; ++i) {
        const fs::path suivant = d.Chemin() / ("lien" + std::to_string(i));
        fs::create_symlink(lien.filename(), suivant);
        lien = suivant;
        if (i == 40) {
            Remplace(lien, "par 40 liens");
            EXPECT_EQ(test::LitFichier(fin), "par 40 liens");
        }
    }
    try {
        Remplace(lien, "par 41 liens");
        ADD_FAILURE();
    } catch (const ErreurParvel& e) {
        EXPECT_EQ(e.Message(), "Erreur d'accès au chemin/fichier : image " + lien.string() +
                                   " : trop de liens symboliques");
    }
    EXPECT_EQ(test::LitFichier(fin), "par 40 liens");
    EXPECT_TRUE(fs::is_symlink(lien));
}

// The temporary of a writer whose process ended before it finished (here without any
// cleaning, as under kill -9) is removed by the next writer in the folder; a live
// writer's is left, and that writer still finishes.
TEST(EcritureAtomique, TemporairesDesEcrivainsDisparusEnleves) {
    test::DossierTemporaire d;
    const std::string nom = EnTantQue(::geteuid(), [&] {
        auto* e = new EcritureAtomique(d.Chemin() / "mort.cut", RoleFichier::SortieFraisage);
        e->Ecrit(std::string(100000, 'x'));
        return e->Temporaire().filename().string();
    });
    ASSERT_TRUE(fs::exists(d.Chemin() / nom)) << nom;

    EcritureAtomique vivant(d.Chemin() / "vivant.cut", RoleFichier::SortieFraisage);
    vivant.Ecrit("en cours");
    Remplace(d.Chemin() / "autre.png", "suivant");
    EXPECT_EQ(d.Noms(), (std::vector<std::string>{vivant.Temporaire().filename().string(), "autre.png"}));
    vivant.Valide();
    EXPECT_EQ(d.Noms(), (std::vector<std::string>{"autre.png", "vivant.cut"}));
}

TEST(MemeFichier, ParLiensEtNoms) {
    test::DossierTemporaire d;
    const fs::path a = d.Ecrit("a", "x"), b = d.Ecrit("b", "x");
    fs::create_symlink(a, d.Chemin() / "lien");
    fs::create_hard_link(a, d.Chemin() / "dur");
    EXPECT_TRUE(MemeFichier(a, a));
    EXPECT_TRUE(MemeFichier(a, d.Chemin() / "lien"));
    EXPECT_TRUE(MemeFichier(d.Chemin() / "." / "dur", a));
    EXPECT_FALSE(MemeFichier(a, b));
    EXPECT_FALSE(MemeFichier(d.Chemin() / "absent", d.Chemin() / "absent"));
}
#endif

} // namespace
} // namespace parvel
