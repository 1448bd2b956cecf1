// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing files: whole files only, links and special files respected, and two writers
// of the same milling output each leave a complete file.
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
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
    for (const char* piege : {".lien.cut.parvel-tmp", ".vrai.cut.parvel-tmp", "vrai.cut.tmp"}) {
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
