#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "Doubles.h"
#include "cut/Erreur.h"

namespace parvel {
namespace {

using test::Banc;
using test::DossierTemporaire;

class Chargement : public testing::Test {
  protected:
    Banc b;
    DossierTemporaire dossier;

    // Loads `contenu` as a CUT file and returns the five report lines.
    std::vector<std::string> Charge(const std::string& contenu, const std::string& nom = "a.cut") {
        b.p.CommonDialog1.NomFichier = dossier.Ecrit(nom, contenu);
        b.p.PasseChargement();
        std::vector<std::string> l;
        for (const LigneRapport& r : b.sortie.lignes)
            l.push_back(r.Texte);
        return l;
    }
};

TEST_F(Chargement, RapportDUnFichierOrdinaire) {
    auto r = Charge("T:0 XG:100 YG:0 XD:100 YD:0\r\n"
                    "T:2 XG:110 YG:5 XD:110 YD:5\r\n"
                    "T:1 XG:112 YG:30 XD:112 YD:-0.5\r\n");
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0], "  Vitesse min/max : 5.5 / 25 mm/s");
    EXPECT_EQ(r[1], "  Temps de découpe : 0 mn 3 s");
    EXPECT_EQ(r[2], "  Position Zéro en X:  100 ");
    EXPECT_EQ(r[3], "  A gauche : X de 0 à 12  et Y de 0 à 30 ");
    EXPECT_EQ(r[4], "  A droite : X de 0 à 12  et Y de-1 à 5 ");
    std::vector<int> couleurs;
    for (const LigneRapport& l : b.sortie.lignes)
        couleurs.push_back(l.Couleur);
    EXPECT_EQ(couleurs, (std::vector<int>{0, 0, 0, 5, 15}));
    EXPECT_EQ(b.sortie.effacements, 1);
    EXPECT_TRUE(b.p.Interp.Etat.TraceActif);
    EXPECT_EQ(b.p.DernierRapport[2].Texte, r[2]);
}

TEST_F(Chargement, FichierVideOuSansCommande) {
    const std::vector<std::string> attendu = {
        "  Vitesse min/max : 50 / 0 mm/s", "  Temps de découpe : 0 mn 0 s", "  Position Zéro en X:  0 ",
        "  A gauche : X de 0 à 0  et Y de 0 à 0 ", "  A droite : X de 0 à 0  et Y de 0 à 0 "};
    EXPECT_EQ(Charge(""), attendu);
    EXPECT_EQ(Charge("bonjour\r\n\r\n   \r\n"), attendu);
}

TEST_F(Chargement, Vitesses) {
    // All faster than 50: the minimum stays at its ceiling.
    EXPECT_EQ(Charge("XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:100 YG:0 XD:100 YD:0\r\n")[0],
              "  Vitesse min/max : 50 / 100 mm/s");
    // Pauses only: no movement, speed 0, the minimum untouched and the maximum not raised.
    EXPECT_EQ(Charge("T:1 XG:0 YG:0 XD:0 YD:0\r\nT:2\r\nT:3 XG:0 YG:0 XD:0 YD:0\r\n")[0],
              "  Vitesse min/max : 50 / 0 mm/s");
    // 12.56 mm/s prints 12.5 (rounded down), on both sides.
    EXPECT_EQ(Charge("XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:12.56 YG:0 XD:0 YD:0\r\n")[0],
              "  Vitesse min/max : 12.5 / 12.5 mm/s");
    // The larger of the two sides counts; the right side wins when it moves further.
    EXPECT_EQ(Charge("XG:0 YG:0 XD:0 YD:0\r\nT:2 XG:3 YG:4 XD:0 YD:20\r\n")[0],
              "  Vitesse min/max : 10 / 10 mm/s");
    // A line without "T:" is timed with the previous duration: 10 mm over 2 s, then 30 mm over 2 s.
    EXPECT_EQ(Charge("XG:0 YG:0 XD:0 YD:0\r\nT:2 XG:10 YG:0 XD:10 YD:0\r\nXG:40 YG:0 XD:40 YD:0\r\n")[0],
              "  Vitesse min/max : 5 / 15 mm/s");
    // The first line never yields a speed, though its time counts.
    auto r = Charge("T:60 XG:5 YG:500 XD:5 YD:500\r\n");
    EXPECT_EQ(r[0], "  Vitesse min/max : 50 / 0 mm/s");
    EXPECT_EQ(r[1], "  Temps de découpe : 1 mn 0 s");
}

TEST_F(Chargement, TempsEnMinutesEtSecondes) {
    EXPECT_EQ(Charge("T:125.5\r\n")[1], "  Temps de découpe : 2 mn 5 s");
    EXPECT_EQ(Charge("T:59.9\r\n")[1], "  Temps de découpe : 0 mn 59 s");
    EXPECT_EQ(Charge("T:3600 XG:1\r\nT:0.5\r\n")[1], "  Temps de découpe : 60 mn 0 s");
}

TEST_F(Chargement, PremiereLigneFixeLeZero) {
    auto r = Charge("XG:100 YG:1 XD:150 YD:1\r\nT:1 XG:90 YG:2 XD:160 YD:2\r\n");
    EXPECT_EQ(r[2], "  Position Zéro en X:  100 ");
    EXPECT_EQ(r[3], "  A gauche : X de-10 à 0  et Y de 0 à 2 ");
    EXPECT_EQ(r[4], "  A droite : X de 0 à 60  et Y de 0 à 2 ");
    EXPECT_EQ(b.p.Interp.Etat.ZeroX, 100.0f);
    // The zero is a single-precision value.
    r = Charge("XG:0.1 YG:0 XD:0 YD:0\r\n");
    EXPECT_EQ(r[2], "  Position Zéro en X:  .1 ");
    EXPECT_EQ(b.p.Interp.Etat.ZeroX, 0.1f);
}

TEST_F(Chargement, EtenduesNegativesArrondiesVersLeBas) {
    auto r = Charge("XG:0 YG:-0.5 XD:-0.5 YD:-0.5\r\nXG:2.9 YG:3.9 XD:4.9 YD:5.9\r\n");
    EXPECT_EQ(r[3], "  A gauche : X de 0 à 2  et Y de-1 à 3 ");
    EXPECT_EQ(r[4], "  A droite : X de-1 à 4  et Y de-1 à 5 ");
}

TEST_F(Chargement, LignesDeCommentaire) {
    // One comment line is skipped; a second one in a row is read as commands.
    auto r = Charge("XG:0 YG:0 XD:0 YD:0\r\n// XG:500\r\n// XG:70 YG:1 XD:0 YD:0 T:9\r\n");
    EXPECT_EQ(r[3], "  A gauche : X de 0 à 70  et Y de 0 à 1 ");
    EXPECT_EQ(r[1], "  Temps de découpe : 0 mn 9 s");
    // A comment as the very last line ends the reading.
    r = Charge("XG:0 YG:0 XD:0 YD:0\r\nXG:5 YG:0 XD:0 YD:0\r\n// fin");
    EXPECT_EQ(r[3], "  A gauche : X de 0 à 5  et Y de 0 à 0 ");
    // A comment as the first line: the line after it is the first line.
    r = Charge("// début\r\nXG:20 YG:0 XD:20 YD:0\r\nXG:30 YG:0 XD:30 YD:0\r\n");
    EXPECT_EQ(r[2], "  Position Zéro en X:  20 ");
    // 10,000 comment lines in a row alternate between skipped and read.
    std::string beaucoup;
    for (int i = 0; i < 10000; ++i)
        beaucoup += "// T:1\r\n";
    EXPECT_EQ(Charge(beaucoup)[1], "  Temps de découpe : 83 mn 20 s");
}

TEST_F(Chargement, FinsDeLigneEquivalentes) {
    const std::string lignes[] = {"T:0 XG:10 YG:0 XD:10 YD:0", "// commentaire", "T:2 XG:20 YG:5 XD:20 YD:5",
                                  "", "T:1 XG:21 YG:6 XD:22 YD:7.25"};
    auto assemble = [&](const std::string& fin, bool derniere) {
        std::string s;
        for (const std::string& l : lignes)
            s += l + fin;
        if (!derniere)
            s.resize(s.size() - fin.size());
        return s;
    };
    const auto reference = Charge(assemble("\r\n", true));
    EXPECT_EQ(reference[0], "  Vitesse min/max : 3 / 5.5 mm/s");
    EXPECT_EQ(Charge(assemble("\r\n", false)), reference);
    EXPECT_EQ(Charge(assemble("\r", true)), reference);
    EXPECT_EQ(Charge(assemble("\n", true)), reference);
    EXPECT_EQ(
        Charge("T:0 XG:10 YG:0 XD:10 YD:0\n// commentaire\rT:2 XG:20 YG:5 XD:20 YD:5\r\n\nT:1 XG:21 YG:6 "
               "XD:22 YD:7.25"),
        reference);
}

TEST_F(Chargement, MotsMalFormes) {
    auto r = Charge("XG:0 YG:0 XD:0 YD:0\r\n"
                    "T:1\tXG:5 YG:abc XD:2,5 YD:1e1x\r\n" // the tab joins T: and XG: into one token
                    "xg:99 YG:-3 T:x XD: YD:\r\n");
    EXPECT_EQ(r[1], "  Temps de découpe : 0 mn 1 s");
    EXPECT_EQ(r[3], "  A gauche : X de 0 à 0  et Y de-3 à 0 ");
    EXPECT_EQ(r[4], "  A droite : X de 0 à 2  et Y de 0 à 10 ");
    EXPECT_EQ(r[0], "  Vitesse min/max : 10.1 / 10.1 mm/s") << "T:x rend la durée nulle: pas de vitesse";
}

TEST_F(Chargement, ChaqueChargementRepartDeZero) {
    Charge("T:30 XG:10 YG:10 XD:300 YD:300\r\nT:1 XG:500 YG:0 XD:0 YD:0\r\n");
    b.p.Interp.Etat.RelXG = 4;
    auto r = Charge("XG:1 YG:0 XD:1 YD:0\r\n");
    EXPECT_EQ(r[1], "  Temps de découpe : 0 mn 0 s");
    EXPECT_EQ(r[4], "  A droite : X de 0 à 0  et Y de 0 à 0 ");
    EXPECT_EQ(b.p.Interp.Etat.RelXG, 0);
    EXPECT_EQ(b.p.Vue.Zoom.RapportZoom, 1);
    EXPECT_TRUE(b.controles.Active(Option::Fige));
}

TEST_F(Chargement, SeparateurDecimalDuRapport) {
    b.p.Separateur = ",";
    auto r = Charge("XG:0.25 YG:0 XD:0 YD:0\r\nT:1 XG:4.52 YG:0 XD:0 YD:0\r\n");
    EXPECT_EQ(r[0], "  Vitesse min/max : 4,2 / 4,2 mm/s");
    EXPECT_EQ(r[2], "  Position Zéro en X:  ,25 ");
}

// A number beyond the double range, or a value that overflows single precision or the
// speed arithmetic, fails the load with the overflow description instead of poisoning it.
TEST_F(Chargement, DepassementDeCapacite) {
    for (const char* contenu :
         {"XG:1e400 YG:0 XD:0 YD:0\r\n", "XG:0 YG:0 XD:0 YD:-1e400\r\n", "XG:0 YG:0 XD:0 YD:1e39\r\n",
          "T:1e39\r\n", "XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:1e200 YG:0 XD:0 YD:0\r\n",
          "XG:0 YG:0 XD:0 YD:0\r\nT:1e-320 XG:1e10 YG:0 XD:0 YD:0\r\n"}) {
        b.sortie.lignes.clear();
        try {
            Charge(contenu);
            ADD_FAILURE() << contenu;
        } catch (const ErreurParvel& e) {
            EXPECT_EQ(e.Description(), "Dépassement de capacité") << contenu;
        }
        EXPECT_TRUE(b.sortie.lignes.empty()) << "le rapport n'est pas imprimé";
    }
    // The next load works normally.
    EXPECT_EQ(Charge("XG:1 YG:0 XD:1 YD:0\r\n")[2], "  Position Zéro en X:  1 ");
}

TEST_F(Chargement, EchecsDOuverture) {
    auto echec = [&](const std::string& chemin) {
        b.p.CommonDialog1.NomFichier = chemin;
        try {
            b.p.PasseChargement();
        } catch (const ErreurParvel& e) {
            return e.Description();
        }
        return std::string("aucun échec");
    };
    const std::string d = dossier.Chemin().string();
    EXPECT_EQ(echec(d + "/absent.cut"), "Fichier introuvable");
    EXPECT_EQ(echec(d + "/absent/a.cut"), "Chemin d'accès introuvable");
    EXPECT_EQ(echec(d), "Erreur d'accès au chemin/fichier");
    EXPECT_EQ(echec(""), "Nom ou numéro de fichier incorrect");
#ifndef _WIN32
    if (::geteuid() != 0) {
        std::string p = dossier.Ecrit("prive.cut", "XG:1\r\n");
        std::filesystem::permissions(p, std::filesystem::perms::none);
        EXPECT_EQ(echec(p), "Permission refusée");
    }
#endif
}

TEST_F(Chargement, OuvrirParLeDialogue) {
    b.p.Config.RepProjet = dossier.Chemin().string();
    b.dialogues.fichierChoisi = std::nullopt;
    b.p.Ouvrir_Click();
    EXPECT_EQ(b.dialogues.bips, 1) << "une annulation bipe";
    EXPECT_TRUE(b.p.CheminCourant().empty());
    ASSERT_EQ(b.dialogues.ouvertures.size(), 1u);
    EXPECT_EQ(b.dialogues.ouvertures[0].Filtre, "Fichiers CUT | *.cut");
    EXPECT_TRUE(b.dialogues.ouvertures[0].FichierExistant);
    EXPECT_EQ(b.dialogues.ouvertures[0].Titre, "Fichier CUT à ouvrir");

    b.dialogues.fichierChoisi = dossier.Ecrit("aile.cut", "T:1 XG:3 YG:0 XD:3 YD:0\r\n");
    b.p.Ouvrir_Click();
    EXPECT_EQ(b.p.NomCourt, "aile.cut");
    ASSERT_EQ(b.sortie.lignes.size(), 5u);
    EXPECT_EQ(b.sortie.lignes[2].Texte, "  Position Zéro en X:  3 ");
    EXPECT_TRUE(b.dialogues.messages.empty());

    b.dialogues.fichierChoisi = dossier.Chemin().string() + "/disparu.cut";
    b.p.Ouvrir_Click();
    ASSERT_EQ(b.dialogues.messages.size(), 1u);
    EXPECT_EQ(b.dialogues.messages[0], "Fichier introuvable");
}

TEST_F(Chargement, OutCutDuDossierProjet) {
    b.p.Config.RepProjet = dossier.Chemin().string();
    b.p.ChargeOut_Click();
    EXPECT_EQ(b.p.CheminCourant(), dossier.Chemin().string() + SeparateurChemin + "out.cut");
    EXPECT_EQ(b.p.NomCourt, "out.cut");
    ASSERT_EQ(b.dialogues.messages.size(), 1u) << "pas de vérification préalable: l'échec est signalé";
    EXPECT_EQ(b.dialogues.messages[0], "Fichier introuvable");

    dossier.Ecrit("out.cut", "XG:7 YG:0 XD:7 YD:0\r\n");
    b.p.ChargeOut_Click();
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  7 ");
}

TEST_F(Chargement, LigneUniqueTresLongue) {
    // A 3 MB line, longer than the read buffer, with its tokens spread over it.
    std::string l = "T:2 XG:0 YG:0";
    l += std::string(3 << 20, ' ');
    l += "XD:0 YD:4\r\nXG:1 YG:0 XD:0 YD:0";
    auto r = Charge(l);
    EXPECT_EQ(r[1], "  Temps de découpe : 0 mn 2 s");
    EXPECT_EQ(r[4], "  A droite : X de 0 à 0  et Y de 0 à 4 ");
    EXPECT_EQ(b.p.Interp.Etat.PosYG, 10);
}

} // namespace
} // namespace parvel
