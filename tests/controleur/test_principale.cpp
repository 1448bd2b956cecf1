// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controller on the doubles: what each handler loads, draws, clears, says
// and writes, and in which order.
#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "settings/Configuration.h"
#include "settings/Preferences.h"

namespace parvel {
namespace {

namespace fs = std::filesystem;
using test::Banc;
using test::FichierLarge;

const std::string CleTavik = std::string(CleTavikDebut) + "Tavik" + CleTavikFin;

class Principal : public testing::Test {
  protected:
    Banc b;
    test::DossierTemporaire dossier;
    std::string Charge(const std::string& contenu = FichierLarge, const std::string& nom = "a.cut") {
        b.p.ChargeFichier(dossier.Ecrit(nom, contenu));
        return b.p.CheminCourant();
    }
    void DossierProjet(std::string dossierProjet) {
        ConfigMachine c = b.p.Config();
        c.RepProjet = std::move(dossierProjet);
        b.p.DefinitReglages(c, b.p.Param());
    }
    std::vector<float> Mapping() const {
        const parvel::Mapping& m = b.image.mapping;
        return {m.ScaleLeft, m.ScaleTop, m.ScaleWidth, m.ScaleHeight};
    }
};

// A drawing traces one line per side for each line of the file (FichierLarge: 3 lines,
// so 6; grand.cut below: 4) and ends with one beep.
TEST_F(Principal, ChargementsEtModesDAffichage) {
    b.p.Choisit(Option::Etendu);
    EXPECT_EQ(Mapping(), (std::vector<float>{0, 5055, 7212, -5055})) << "avant chargement, des twips";
    b.p.Commande1_Click();
    EXPECT_EQ(b.dialogues.bips, 0) << "sans fichier, rien n'est dessiné";
    b.controles.Choisit(Option::Variable);
    // The first load selects "Etendu", whose handler draws it: the load does not draw the
    // same picture a second time.
    Charge();
    EXPECT_TRUE(b.controles.Choisie(Option::Etendu));
    EXPECT_EQ(b.dialogues.bips, 1);
    EXPECT_EQ(b.image.traits.size(), 6u);
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  0 ");
    // "Figé" keeps the mapping and draws over the old drawing, once.
    const auto avant = Mapping();
    b.p.Choisit(Option::Fige);
    Charge("XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:500 YG:400 XD:500 YD:400\r\n", "grand.cut");
    EXPECT_EQ(Mapping(), avant);
    EXPECT_EQ(b.p.Vue().Etat.XMax, 500) << "l'étendue est nouvelle";
    EXPECT_EQ(b.image.traits.size(), 6u + 4);
    EXPECT_EQ(b.dialogues.bips, 2);
    // "Dessine" clears first only with "Etendu".
    b.p.Commande1_Click();
    EXPECT_EQ(b.image.traits.size(), 6u + 4 + 4);
    b.p.Choisit(Option::Etendu);
    b.p.Commande1_Click();
    EXPECT_EQ(b.image.traits.size(), 4u);
    // "Efface" clears and leaves the bands alone.
    b.image.MontreForme(Forme::ZoneX, true);
    b.p.Commande2_Click();
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_TRUE(b.image.FormeVisible(Forme::ZoneX));
    // Five drawings: the two loads, two "Dessine" and "Etendu"; "Efface" does not beep.
    EXPECT_EQ(b.dialogues.bips, 5);
}

TEST_F(Principal, CasesCocheesParLeProgramme) {
    b.p.DefinitCoche(Case::CGauche, false);
    EXPECT_EQ(b.image.effacements, 1) << "avant tout chargement, seulement effacer";
    EXPECT_EQ(b.dialogues.bips, 0);
    b.p.DefinitCoche(Case::CGauche, true);
    Charge();
    // A step box clears and waits for the next drawing.
    b.p.DefinitCoche(Case::PDroite, false);
    EXPECT_TRUE(b.image.traits.empty());
    EXPECT_EQ(b.dialogues.bips, 1);
    // A coordinates box clears and draws again, whatever the mode, without that side.
    b.p.Choisit(Option::Fige);
    b.p.DefinitCoche(Case::CDroite, false);
    EXPECT_EQ(b.dialogues.bips, 2);
    EXPECT_EQ(b.image.traits.size(), 3u);
    EXPECT_EQ(b.image.points.size(), 3u) << "les pas gauches seuls";
}

TEST_F(Principal, ZoomALaSouris) {
    Charge();
    const auto plein = Mapping();
    b.p.Image1_MouseDown(1, 0, -90, 2);
    b.p.Image1_MouseMove(0, 0, -80, 6);
    b.p.Image1_MouseDown(1, 0, -80, 6);
    EXPECT_EQ(b.p.Vue().Zoom.EtatSelection, 0);
    EXPECT_EQ(b.image.effacements, 2);
    EXPECT_EQ(b.dialogues.bips, 2); // the load's drawing and the zoom's
    b.p.Choisit(Option::Etendu);
    EXPECT_EQ(Mapping(), plein);
    // Too large: refused with its message, nothing changes.
    b.p.Image1_MouseDown(1, 0, 10, 10);
    b.p.Image1_MouseMove(0, 0, 10.001f, 10.001f);
    b.p.Image1_MouseDown(1, 0, 10.001f, 10.001f);
    EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{"Zoom trop grand"});
    EXPECT_EQ(Mapping(), plein);
    EXPECT_EQ(b.p.Vue().Zoom.EtatSelection, 0);
    EXPECT_FALSE(b.image.FormeVisible(Forme::Selection));
    EXPECT_EQ(b.dialogues.bips, 3); // one more for "Etendu", none for the refused zoom
    // The wheel stops quietly at that limit, notch after notch; + and - zoom about the centre.
    for (int i = 0; i < 60; ++i)
        b.p.Image1_Molette(10, 10, 1);
    EXPECT_EQ(b.dialogues.messages.size(), 1u);
    EXPECT_GE(std::fabs(b.image.mapping.ScaleHeight), 0.5f);
    b.p.Choisit(Option::Etendu);
    b.p.ZoomeAuCentre(1);
    const auto z = Mapping();
    EXPECT_FLOAT_EQ(z[2], plein[2] / 1.25f);
    EXPECT_FLOAT_EQ(z[0] + z[2] / 2, plein[0] + plein[2] / 2);
    EXPECT_FLOAT_EQ(z[1] + z[3] / 2, plein[1] + plein[3] / 2);
}

TEST_F(Principal, SelectionCommenceeAvantUnChargement) {
    Charge();
    // A rectangle zoom leaves its ratio; a load starts again from the whole drawing.
    b.p.Image1_MouseDown(1, 0, 10, 10);
    b.p.Image1_MouseMove(0, 0, 30, 20);
    b.p.Image1_MouseDown(1, 0, 30, 20);
    ASSERT_NE(b.p.Vue().Zoom.RapportZoom, 1);
    b.p.Image1_MouseDown(1, 0, 10, 10);
    b.p.Image1_MouseMove(0, 0, 30, 20);
    b.p.ChargeCut();
    EXPECT_EQ(b.p.Vue().Zoom.RapportZoom, 1);
    EXPECT_EQ(b.p.Vue().Zoom.EtatSelection, 1);
    const parvel::Mapping m = b.image.mapping;
    b.p.Image1_MouseDown(1, 0, 30, 20);
    const float r = std::min(std::fabs(m.ScaleWidth / 20), std::fabs(m.ScaleHeight / 10));
    EXPECT_FLOAT_EQ(b.p.Vue().Zoom.RapportZoom, r);
    EXPECT_EQ(Mapping(), (std::vector<float>{10, 20, m.ScaleWidth / r, m.ScaleHeight / r}));
}

TEST_F(Principal, OuvrirOutCutEtEchecsSignales) {
    DossierProjet(dossier.Chemin().string());
    b.p.Ouvrir_Click();
    EXPECT_EQ(b.dialogues.bips, 1) << "une annulation bipe";
    EXPECT_TRUE(b.p.CheminCourant().empty());
    ASSERT_EQ(b.dialogues.ouvertures.size(), 1u);
    EXPECT_EQ(b.dialogues.ouvertures[0].Filtre, "Fichiers CUT | *.cut");
    EXPECT_TRUE(b.dialogues.ouvertures[0].FichierExistant);
    EXPECT_EQ(b.dialogues.ouvertures[0].Titre, "Fichier CUT à ouvrir");

    b.dialogues.fichierChoisi = dossier.Ecrit("aile.cut", "T:1 XG:3 YG:0 XD:3 YD:0\r\n");
    b.p.Ouvrir_Click();
    EXPECT_EQ(b.p.Titre(), "aile.cut - Parvel");
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  3 ");
    EXPECT_EQ(b.p.Chargements(), 1);

    // "Out.Cut" loads out.cut from the project folder, with no check first. Its failure
    // keeps the previous document whole, path included: a reload acts on what is shown.
    const std::string aile = b.p.CheminCourant();
    b.p.ChargeOut_Click();
    EXPECT_EQ(b.p.CheminCourant(), aile);
    EXPECT_EQ(b.p.Titre(), "aile.cut - Parvel");
    EXPECT_TRUE(b.p.LectureDisponible());
    EXPECT_EQ(b.p.Chargements(), 1) << "un chargement manqué ne compte pas";
    // The message names the file and its role.
    EXPECT_EQ(b.dialogues.messages,
              std::vector<std::string>{"Fichier introuvable : entrée " + dossier.Chemin().string() +
                                       SeparateurChemin + "out.cut"});
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  3 ") << "le rapport reste";
    dossier.Ecrit("aile.cut", "T:1 XG:4 YG:0 XD:4 YD:0\r\n");
    b.p.Recharge();
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  4 ");

    // A file gone since its load: "Dessine" says so, and neither clears nor beeps.
    const std::string chemin = Charge();
    fs::remove(chemin);
    const int bips = b.dialogues.bips, effacements = b.image.effacements;
    b.p.Commande1_Click();
    EXPECT_EQ(b.dialogues.messages.back(), "Fichier introuvable : entrée " + chemin);
    EXPECT_EQ(b.dialogues.bips, bips);
    EXPECT_EQ(b.image.effacements, effacements);
}

// The first line outside the zone (X above 5 and Y at most 50), the second inside it.
const char* const FichierCourt = "XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:30 YG:0 XD:30 YD:0\r\n";

class Fraisage : public Principal {
  protected:
    void SetUp() override {
        b.p.DefinitReglages({}, {.XFraise = 5, .YFraise = 50, .TempsZ = 0.5f, .DegZYD = 2.5});
        DossierProjet(dossier.Chemin().string());
    }
    std::string Sortie() const { return (dossier.Chemin() / "Fr+a.cut").string(); }
};

TEST_F(Fraisage, SortieDansLeDossierProjetOuACoteDuFichier) {
    Charge();
    EXPECT_FALSE(fs::exists(Sortie())) << "hors du mode fraisage";
    EXPECT_EQ(b.p.NbMarques(), 1);
    b.controles.DefinitFraisageActif(true);
    fs::create_directories(dossier.Chemin() / "ailleurs");
    Charge(FichierCourt, "ailleurs/b.cut");
    EXPECT_TRUE(fs::exists(dossier.Chemin() / "Fr+b.cut"));
    EXPECT_EQ(b.p.NbMarques(), 2);
    DossierProjet("");
    Charge("XG:0 YG:0 XD:0 YD:0\r\n", "ailleurs/c.cut");
    EXPECT_EQ(test::LitFichier((dossier.Chemin() / "ailleurs" / "Fr+c.cut").string()),
              "XG:0 YG:0 XD:0 YD:0\r\n");
    EXPECT_EQ(b.p.NbMarques(), 2) << "les marques repartent de zéro";
}

TEST_F(Fraisage, InterrupteurSansFichier) {
    // The switch's states and bands are the window test's; without a file, beeps only.
    b.p.Act_Fraisage_Click();
    b.p.Act_Fraisage_Click();
    EXPECT_EQ(b.dialogues.bips, 2);
    EXPECT_EQ(b.sortie.effacements, 0);
}

TEST_F(Fraisage, MiseEnMarcheRechargeArretRedessine) {
    Charge(FichierCourt);
    bool sortieAuBip = false;
    b.dialogues.surBip = [&] { sortieAuBip = fs::exists(Sortie()); };
    b.p.Act_Fraisage_Click();
    EXPECT_TRUE(sortieAuBip) << "le bip vient après le rechargement";
    EXPECT_EQ(b.p.NbMarques(), 2) << "la levée de la première ligne";
    EXPECT_TRUE(b.image.FormeVisible(Forme::ZoneY));
    b.dialogues.surBip = nullptr;

    const int effacements = b.sortie.effacements, bips = b.dialogues.bips;
    b.image.OublieDessins();
    b.p.Act_Fraisage_Click();
    EXPECT_FALSE(b.image.FormeVisible(Forme::ZoneY));
    EXPECT_EQ(b.sortie.effacements, effacements) << "pas de rechargement";
    // The check box's handler redraws, then the switch redraws without reloading: two
    // drawings and the switch's own beep.
    EXPECT_EQ(b.dialogues.bips, bips + 3);
    EXPECT_TRUE(b.image.inscriptions.empty());
    EXPECT_EQ(b.image.traits.size(), 4u) << "les deux côtés, une fois";

    fs::remove(b.p.CheminCourant());
    b.p.Act_Fraisage_Click();
    // The check box's redraw reports the missing file, then the reload does.
    const std::string absent = "Fichier introuvable : entrée " + b.p.CheminCourant();
    EXPECT_EQ(b.dialogues.messages, (std::vector<std::string>{absent, absent}));
    EXPECT_TRUE(b.controles.FraisageActif());
}

TEST_F(Fraisage, ReglageEnregistrePuisRecharge) {
    b.controles.DefinitFraisageActif(true);
    for (auto [nom, v] : {std::pair{"YNtour", 48}, {"YPas", 1000}, {"YVmax", 200}})
        b.registre.PoseEntier(CleTavik, nom, v);
    b.p.Form_Load();
    EXPECT_EQ(b.p.Param().ZNtour, 48) << "les paramètres de fraisage suivent la mécanique Y lue";
    Charge("XG:0 YG:0 XD:0 YD:0\r\nT:1 XG:3 YG:0 XD:3 YD:0\r\n");
    b.registre.ecritures.clear();
    b.dialogues.reponses = {"4", "", "", "", "", "2"};
    b.p.Réglage_Click();
    EXPECT_EQ(test::LitFichier(Sortie()), "XG:0 YG:0 XD:0 YD:0\r\nT:2 XG:0 YG:0 XD:0 YD:4\r\nT:1 XG:3 YG:0 "
                                          "XD:3 YD:4\r\nT:2 XG:3 YG:0 XD:3 YD:0\r\n");

    // Saved before the reload, whose failure is reported.
    fs::remove(b.p.CheminCourant());
    b.registre.ecritures.clear();
    b.p.Réglage_Click();
    EXPECT_EQ(b.dialogues.messages,
              std::vector<std::string>{"Fichier introuvable : entrée " + b.p.CheminCourant()});
    EXPECT_EQ(b.registre.ecritures.size(), 6u); // the six milling values

    // Mechanics beyond the store's range reach the save through the zero rule: kept in
    // memory, reported, nothing written.
    dossier.Ecrit("a.cut", FichierCourt);
    ConfigMachine demesuree = b.p.Config();
    demesuree.YNtour = 1e12;
    b.p.DefinitReglages(demesuree, b.p.Param());
    b.registre.ecritures.clear();
    b.dialogues.reponses = {"", "", "", "0", ""};
    b.p.Réglage_Click();
    EXPECT_EQ(b.dialogues.messages.back(), "Dépassement de capacité");
    EXPECT_TRUE(b.registre.ecritures.empty());
    EXPECT_EQ(b.p.Param().ZNtour, 1e12);
}

// Playback: a minute along X, then 64 s up; the right carriage goes twice as far in X.
TEST_F(Principal, LectureDuFil) {
    b.p.Lecture_Bascule();
    EXPECT_FALSE(b.p.Lecture().Etat().EnLecture || b.image.fil) << "sans fichier, rien ne se lit";
    const std::string chemin =
        Charge("XG:5 YG:0 XD:5 YD:0\r\nT:60 XG:65 YG:0 XD:125 YD:0\r\nT:64 XG:65 YG:64 XD:125 YD:64\r\n");
    EXPECT_EQ(b.p.TexteLecture(), "0 mn 00 s / 2 mn 04 s");
    auto fil = [&] {
        const Fil f = b.image.fil.value_or(Fil{-1, -1, -1, -1});
        return std::vector<double>{f.XG, f.YG, f.XD, f.YD};
    };
    b.p.Lecture_Temps(30);
    EXPECT_EQ(fil(), (std::vector<double>{30, 0, 60, 0})) << "le zéro X du chargement";
    EXPECT_EQ(b.p.TexteLecture(), "0 mn 30 s / 2 mn 04 s | ligne 2");
    // Ten times real time: 5 s of clock are 50 s of cut; the end stops the play.
    b.p.Lecture_Vitesse(10);
    b.p.Lecture_Avance(5);
    EXPECT_EQ(b.p.Lecture().Etat().Temps, 30) << "à l'arrêt, l'horloge ne fait rien";
    b.p.Lecture_Bascule();
    b.p.Lecture_Avance(5);
    EXPECT_EQ(fil(), (std::vector<double>{60, 20, 120, 20}));
    b.p.Lecture_Avance(10);
    EXPECT_FALSE(b.p.Lecture().Etat().EnLecture);
    EXPECT_EQ(fil(), (std::vector<double>{60, 64, 120, 64}));
    // Played again from the end, it starts over.
    b.p.Lecture_Bascule();
    EXPECT_TRUE(b.p.Lecture().Etat().EnLecture && b.p.Lecture().Etat().Temps == 0);
    // A load hides the wire and stops. A file changed while playing ends in the new
    // document with automatic reload; without, the change is said.
    Charge(test::LitFichier(chemin), "b.cut");
    EXPECT_FALSE(b.p.Lecture().Etat().EnLecture || b.image.fil);
    b.p.Lecture_Bascule();
    dossier.Ecrit("b.cut", "T:1 XG:1 YG:1 XD:1 YD:1\r\n");
    b.p.Lecture_Avance(0.1);
    EXPECT_FALSE(b.p.Lecture().Etat().EnLecture || b.image.fil);
    EXPECT_TRUE(b.dialogues.messages.empty());
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  1 ");
    EXPECT_EQ(b.p.TexteLecture(), "0 mn 00 s / 0 mn 01 s");
    EcritRechargementAuto(b.registre, false);
    b.p.Lecture_Temps(0.5);
    dossier.Ecrit("b.cut", "T:3723 XG:2 YG:1 XD:1 YD:1\r\n");
    b.p.Lecture_Temps(0.7);
    EXPECT_FALSE(b.image.fil);
    EXPECT_EQ(b.sortie.lignes.at(2).Texte, "  Position Zéro en X:  1 ");
    EXPECT_EQ(b.dialogues.messages.at(0).rfind("Le fichier a changé depuis son chargement", 0), 0u);
    // Past an hour the times show hours.
    b.p.Recharge();
    EXPECT_EQ(b.p.TexteLecture(), "0 mn 00 s / 1 h 02 mn 03 s");
}

// What the progress panel says: the load's reading, then its drawing.
TEST_F(Principal, EtapesDuChargement) {
    struct : Avancement {
        std::string etape;
        std::vector<std::string> vues; // the stage at each step, once in a row
        bool Continue(std::uint64_t, std::uint64_t) override {
            return (vues.empty() || vues.back() != etape ? vues.push_back(etape) : void()), true;
        }
        void Etape(const char* quoi) override { etape = quoi; }
    } suivi;
    b.p.DefinitSuivi(&suivi);
    std::string lignes;
    for (int i = 0; i < 5000; ++i)
        lignes += "T:1 XG:" + std::to_string(i % 7) + " YG:0 XD:0 YD:0\r\n";
    Charge(lignes);
    EXPECT_EQ(suivi.vues, (std::vector<std::string>{"Lecture du fichier…", "Dessin du fichier…"}));
}

// A failure that is no numeric one ends the program, and the milling parameters are not
// loaded after it; theirs has a message of its own.
TEST(Demarrage, Arrets) {
    const std::tuple<const char*, int, const char*> arrets[] = {
        {"YPas", 5, "Erreur : 5 dans chargement Feuille Appel de procédure ou argument incorrect"},
        {"ZPas", 53, "Erreur dans Parvel : 53 Fichier introuvable"}};
    for (auto [nom, numero, message] : arrets) {
        Banc b;
        b.registre.echecsLecture[nom] = numero;
        b.p.Form_Load();
        EXPECT_EQ(b.dialogues.messages, std::vector<std::string>{message});
        EXPECT_EQ(b.dialogues.terminaisons, 1);
        EXPECT_TRUE(b.registre.ecritures.empty());
    }
}

} // namespace
} // namespace parvel
