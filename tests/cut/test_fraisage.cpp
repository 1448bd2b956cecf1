// SPDX-License-Identifier: GPL-3.0-or-later
// The milling writer over several loads and when it cannot write; the single loads
// and their outputs are data files of tests/data/chargement.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/Chargeur.h"
#include "cut/Erreur.h"
#include "cut/Fraisage.h"

namespace parvel {
namespace {

namespace fs = std::filesystem;
using test::LitFichier;

const std::string AllerRetour =
    (fs::path(PARVEL_DONNEES_TEST) / "chargement" / "fraisage_aller_retour.cut").string();

// Files open in this process, where the system lists them.
int DescripteursOuverts() {
    std::error_code ec;
    int n = 0;
    for (auto it = fs::directory_iterator("/proc/self/fd", ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        ++n;
    return n;
}

// Zone: X above 5 and Y at most 50; lift height 2.5, 0.5 s a move; the output in a fresh folder.
class Fraisage : public testing::Test {
  protected:
    test::DossierTemporaire dossier;
    Interpreteur interp;
    BilanCut bilan;
    EcrivainFraisage ecrivain;
    ParamFraisage param{.XFraise = 5, .YFraise = 50, .TempsZ = 0.5f, .DegZYD = 2.5};
    const std::string sortie = (dossier.Chemin() / "Fr+a.cut").string();

    void ChargeChemin(const std::string& chemin, const std::string& vers) {
        ecrivain.Prepare(vers, param);
        PasseChargement(chemin, interp, bilan, &ecrivain);
    }
    std::string Charge(const std::string& contenu) {
        ChargeChemin(dossier.Ecrit("a.cut", contenu), sortie);
        return LitFichier(sortie);
    }
};

TEST_F(Fraisage, SuffixeConserveDUnChargementAuSuivant) {
    // A first point inside the zone is a move line with the suffix the last load left:
    // none yet, then the " YD:0" of the final plunge.
    param.XFraise = -1;
    EXPECT_EQ(Charge("XG:0 YG:0 XD:0 YD:0\r\n"), "XG:0 YG:0 XD:0\r\n");
    EXPECT_EQ(Charge("XG:0 YG:0 XD:0 YD:0\r\n"), "XG:0 YG:0 XD:0 YD:0\r\n");
    EXPECT_TRUE(ecrivain.Marques.empty());
}

TEST_F(Fraisage, SortieImpossibleACreer) {
    const int avant = DescripteursOuverts();
    const std::string entree = dossier.Ecrit("a.cut", LitFichier(AllerRetour));
    for (const std::string& vers :
         {(dossier.Chemin() / "absent" / "Fr+a.cut").string(), entree + "/Fr+a.cut"}) {
        try {
            ChargeChemin(entree, vers);
            ADD_FAILURE() << vers;
        } catch (const ErreurParvel& e) {
            EXPECT_EQ(e.Description(), "Chemin d'accès introuvable");
        }
    }
    EXPECT_EQ(DescripteursOuverts(), avant);
    EXPECT_EQ(dossier.Noms(), std::vector<std::string>{"a.cut"});
}

#ifndef _WIN32
// An output that is a link to the input would replace the file being read.
TEST_F(Fraisage, SortieQuiEstLEntreeRefusee) {
    const std::string entree = dossier.Ecrit("a.cut", LitFichier(AllerRetour));
    fs::create_symlink(entree, sortie);
    try {
        ChargeChemin(entree, sortie);
        ADD_FAILURE();
    } catch (const ErreurParvel& e) {
        EXPECT_EQ(e.Message(), "Erreur d'accès au chemin/fichier : sortie de fraisage " + sortie +
                                   " : c'est le fichier lu");
    }
    EXPECT_EQ(LitFichier(entree), LitFichier(AllerRetour));
    EXPECT_TRUE(fs::is_symlink(sortie));
}
#endif

TEST_F(Fraisage, MouvementAvantToutYGEchoueSansRienLaisser) {
    const std::string premiere = Charge(LitFichier(AllerRetour));
    const int avant = DescripteursOuverts();
    interp.Etat.PosYG = 0; // the last "YG:" seen is kept from one load to the next
    try {
        Charge("XG:0 YD:0\r\nXG:10 YD:0\r\nXG:20 YD:0\r\n");
        FAIL() << "le chargement aurait dû échouer";
    } catch (const ErreurParvel& e) {
        EXPECT_EQ(e.Numero(), 5);
        EXPECT_EQ(e.Description(), "Appel de procédure ou argument incorrect");
    }
    EXPECT_EQ(DescripteursOuverts(), avant);
    EXPECT_EQ(dossier.Noms(), (std::vector<std::string>{"Fr+a.cut", "a.cut"})) << "pas de fichier provisoire";
    EXPECT_EQ(LitFichier(sortie), premiere) << "la sortie précédente reste";
    EXPECT_EQ(Charge("XG:0 YG:0 XD:0 YD:0\r\n"), "XG:0 YG:0 XD:0 YD:0\r\n");
}

TEST(CheminSortie, DossierProjetSinonCeluiDuFichier) {
    const std::string s(1, SeparateurChemin);
    const std::string fichier = s + "ailleurs" + s + "sous" + s + "b.cut";
    EXPECT_EQ(CheminSortieFraisage(s + "projet", fichier), s + "projet" + s + "Fr+b.cut");
    EXPECT_EQ(CheminSortieFraisage("", fichier), s + "ailleurs" + s + "sous" + s + "Fr+b.cut");
    EXPECT_EQ(CheminSortieFraisage("", "b.cut"), "Fr+b.cut") << "jamais à la racine";
}

} // namespace
} // namespace parvel
