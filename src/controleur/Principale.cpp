// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/Principale.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>

#include "cut/Fichiers.h"
#include "settings/Demarrage.h"
#include "settings/GeometrieBloc.h"
#include "settings/ParamFraisage.h"
#include "settings/Preferences.h"
#include "settings/ReglagesVerification.h"
#include "view/Vitesses.h"

namespace parvel {

Principale::Principale(Plateforme p)
    : Image1(p.Image1), Sortie(p.Sortie), Ctl(p.Controles_), Dlg(p.Dialogues_), Reg(p.Registre_),
      vue_(p.Image1) {}

void Principale::DefinitReglages(const ConfigMachine& config, const ParamFraisage& param) {
    config_ = config;
    param_ = param;
}

void Principale::DefinitGeometrie(const std::optional<GeometrieBloc>& geometrie) {
    geometrie_ = geometrie;
    if (!geometrie_)
        faces_ = ModeFaces::Masquees;
    MontreFiguresFaces();
}

// Loading.

void Principale::Ouvrir_Click() {
    CommonDialog1.Filtre = "Fichiers CUT | *.cut";
    CommonDialog1.FichierExistant = true;
    std::optional<std::string> choix = Dlg.ChoisitFichier(CommonDialog1);
    if (!choix) {
        Dlg.Bip();
        return;
    }
    OuvreFichier(*choix);
}

void Principale::ChargeOut_Click() {
    OuvreFichier(config_.RepProjet + SeparateurChemin + "out.cut");
}

void Principale::OuvreFichier(const std::string& chemin) {
    const Instantane avant = Photographie();
    Designe(chemin);
    if (ChargeCutSignale(avant))
        AjouteRecent(Reg, CheminCourant());
}

void Principale::ChargeFichier(const std::string& chemin) {
    Designe(chemin);
    ChargeCut();
}

void Principale::Designe(const std::string& chemin) {
    // A name given on the command line counts from the folder the program started in;
    // the path's bytes go to the file system as they came.
    std::string absolu = chemin;
    if (!chemin.empty() && CheminNatif(chemin).is_relative()) {
        std::error_code ec;
        const std::filesystem::path p = std::filesystem::absolute(CheminNatif(chemin), ec);
        if (!ec)
            absolu = TexteChemin(p.lexically_normal());
    }
    CommonDialog1.NomFichier = absolu;
    NomCourt = NomCourtPour(CheminCourant());
}

void Principale::Recharge() {
    if (!CheminCourant().empty())
        ChargeCutSignale(Photographie());
}

bool Principale::ChargeCutSignale(const Instantane& avant) {
    // A load that fails before its report keeps the previous document whole, path
    // included: the window never acts on a file it does not show.
    try {
        ChargeCut();
        return true;
    } catch (const ErreurParvel& e) {
        if (!passeFinie_)
            Restaure(avant);
        Signale(e);
    } catch (const std::bad_alloc&) {
        if (!passeFinie_)
            Restaure(avant);
        Signale(ErreurParvel(ErrMemoire));
    } catch (const Annulation&) {
        // Stopped during its pass, the load leaves everything as it was; stopped while
        // drawing, its report is already printed and gives way to the cancellation.
        if (!passeFinie_)
            Restaure(avant);
        else {
            dernierRapport_ = Rapport{};
            Sortie.Efface();
            Sortie.Imprime(0, "  Chargement annulé");
        }
        throw Annulation("Chargement annulé");
    }
    return false;
}

Principale::Instantane Principale::Photographie() const {
    return {CommonDialog1.NomFichier,
            NomCourt,
            Interp.Etat,
            Bilan,
            Fraiseuse.Etat,
            Fraiseuse.Marques,
            vue_.Zoom.RapportZoom,
            Ctl.Active(Option::Fige),
            lecteur_.Etat(),
            verif_,
            passeFinie_};
}

void Principale::Restaure(const Instantane& i) {
    CommonDialog1.NomFichier = i.Chemin;
    NomCourt = i.NomCourt;
    Interp.Etat = i.Etat;
    Bilan = i.Bilan;
    Fraiseuse.Etat = i.Fraisage;
    Fraiseuse.Marques = i.Marques;
    vue_.Zoom.RapportZoom = i.RapportZoom;
    Ctl.DefinitActive(Option::Fige, i.FigeActif);
    lecteur_.Restaure(i.Lecture);
    verif_ = i.Verif;
    passeFinie_ = i.PasseFinie;
}

void Principale::Signale(const ErreurParvel& e) {
    // The description, then the file and its role when the failure has one.
    Dlg.Message(e.Message());
}

void Principale::ChargeCut() {
    PasseChargement();
    // Selecting "Etendu" redraws the whole extent already: the same picture again
    // would double the wait.
    const int dessins = dessins_;
    CadreVue();
    if (dessins_ == dessins)
        DessineCut();
}

void Principale::PasseChargement() {
    if (Suivi)
        Suivi->Etape("Lecture du fichier…");
    OublieLecture();
    passeFinie_ = false;
    Ctl.DefinitActive(Option::Fige, true);
    vue_.Zoom.RapportZoom = 1;
    Fraiseuse.Marques.clear();
    Interp.MmParPasX = config_.MmParPasX;
    Interp.MmParPasY = config_.MmParPasY;
    EcrivainFraisage* fraisage = nullptr;
    if (Ctl.FraisageActif()) {
        Fraiseuse.Prepare(CheminSortieFraisage(config_.RepProjet, CheminCourant()), param_);
        fraisage = &Fraiseuse;
    }
    verif_ = Verifications{};
    SeuilsVerification seuils = LitSeuilsVerification(Reg, config_);
    seuils.Bloc = geometrie_;
    Verificateur verificateur(seuils);
    std::optional<MesureFaces> faces;
    if (geometrie_)
        faces.emplace(*geometrie_);
    parvel::PasseChargement(CheminCourant(), Interp, Bilan, fraisage, Suivi, faces ? &*faces : nullptr,
                            &verificateur);
    verif_ = verificateur.Resultat();
    lecteur_.DefinitTotal(Interp.Etat.TempsTotal);
    // Replaced only by a load that ends: a stopped one gives the previous file back.
    FiguresDesFaces.reset();
    if (faces)
        FiguresDesFaces = faces->Figures();
    MontreFiguresFaces();

    dernierRapport_ = FaitRapport(Bilan, Interp.Etat, separateur_);
    Sortie.Efface();
    for (const LigneRapport& l : dernierRapport_)
        Sortie.Imprime(l.Couleur, l.Texte);
    passeFinie_ = true;
    ++chargements_;
}

// View.

void Principale::CadreVue() {
    vue_.CadreVue(Bilan, param_);
    if (!Ctl.Choisie(Option::Fige)) {
        vue_.MappingEtendu();
        Choisit(Option::Etendu);
    }
}

OptionsDessin Principale::OptionsCourantes() const {
    OptionsDessin o;
    o.CoordDroite = Ctl.Coche(Case::CDroite);
    o.CoordGauche = Ctl.Coche(Case::CGauche);
    o.PasDroite = Ctl.Coche(Case::PDroite);
    o.PasGauche = Ctl.Coche(Case::PGauche);
    o.Etendu = Ctl.Choisie(Option::Etendu);
    o.Fraisage = Ctl.FraisageActif();
    o.CarteVitesses = carteVitesses_;
    o.VitesseLente = Bilan.VitesseMinFichier;
    o.VitesseRapide = Bilan.VitesseMax;
    o.Separateur = separateur_;
    if (geometrie_) {
        o.Faces = faces_;
        o.Geometrie = *geometrie_;
    }
    return o;
}

void Principale::DessineCut() {
    if (CheminCourant().empty())
        return;
    ++dessins_;
    if (Suivi)
        Suivi->Etape("Dessin du fichier…");
    Interp.MmParPasX = config_.MmParPasX;
    Interp.MmParPasY = config_.MmParPasY;
    if (auto e =
            vue_.DessineCut(CheminCourant(), Interp, OptionsCourantes(), Fraiseuse.Marques, param_, Suivi)) {
        Signale(*e);
        return;
    }
    Dlg.Bip();
}

void Principale::Commande1_Click() {
    DessineCut();
}

void Principale::Commande2_Click() {
    Image1.Efface();
}

void Principale::Option1_Click() {}

void Principale::Option2_Click() {
    vue_.MappingEtendu();
    DessineCut();
}

void Principale::Option3_Click() {}

void Principale::PGauche_Click() {
    Image1.Efface();
}

void Principale::PDroite_Click() {
    Image1.Efface();
}

void Principale::CGauche_Click() {
    Image1.Efface();
    if (!CheminCourant().empty())
        DessineCut();
}

void Principale::CDroite_Click() {
    Image1.Efface();
    if (!CheminCourant().empty())
        DessineCut();
}

void Principale::Vitesses_Click() {
    carteVitesses_ = !carteVitesses_;
    Image1.Efface();
    if (!CheminCourant().empty())
        DessineCut();
}

void Principale::Geometrie_Click() {
    const std::optional<GeometrieBloc> g = DemandeGeometrieBloc(Dlg, geometrie_, separateur_);
    if (!g)
        return;
    geometrie_ = g;
    EcritGeometrieBloc(Reg, *g);
    // The figures and the faces follow the new block.
    if (!CheminCourant().empty())
        ChargeCutSignale(Photographie());
    else
        MontreFiguresFaces();
}

void Principale::Faces_Click(ModeFaces mode) {
    if (mode != ModeFaces::Masquees && !geometrie_) {
        Dlg.Message(MessageSansGeometrie);
        return;
    }
    faces_ = mode;
    Image1.Efface();
    if (!CheminCourant().empty())
        DessineCut();
}

bool Principale::PermetVue3D() {
    if (!geometrie_)
        Dlg.Message(MessageSansGeometrie);
    return geometrie_.has_value();
}

bool Principale::Dessine3D(Rendu3D& rendu, const Camera3D& camera, bool signale) {
    if (!geometrie_) {
        if (signale)
            Dlg.Message(MessageSansGeometrie);
        return false;
    }
    if (CheminCourant().empty() || !passeFinie_)
        return false;
    Scene3D s;
    s.Geometrie = *geometrie_;
    s.XMin = std::min(Bilan.XGMin, Bilan.XDMin);
    s.XMax = std::max(Bilan.XGMax, Bilan.XDMax);
    s.YMin = std::min(Bilan.YGMin, static_cast<double>(Bilan.YDMin));
    s.YMax = std::max(Bilan.YGMax, static_cast<double>(Bilan.YDMax));
    // The block holds both faces' profiles, with a small margin; without figures, the machine's extents.
    s.BlocXMin = s.XMin, s.BlocXMax = s.XMax, s.BlocYMin = s.YMin, s.BlocYMax = s.YMax;
    if (FiguresDesFaces && !FiguresDesFaces->Proche.Vide) {
        const FiguresFace &a = FiguresDesFaces->Proche, &b = FiguresDesFaces->Loin;
        const double x0 = std::min(a.XMin, b.XMin), x1 = std::max(a.XMax, b.XMax);
        const double y0 = std::min(a.YMin, b.YMin), y1 = std::max(a.YMax, b.YMax);
        const double marge = 0.04 * std::max(x1 - x0, y1 - y0);
        s.BlocXMin = x0 - marge, s.BlocXMax = x1 + marge, s.BlocYMin = y0 - marge, s.BlocYMax = y1 + marge;
    }
    Interp.MmParPasX = config_.MmParPasX;
    Interp.MmParPasY = config_.MmParPasY;
    if (auto e = rendu.Dessine(CheminCourant(), Interp, s, camera, Suivi)) {
        Signale(*e);
        return false;
    }
    return true;
}

void Principale::MontreFiguresFaces() {
    if (!SortieFaces)
        return;
    SortieFaces->Efface();
    if (!geometrie_) {
        SortieFaces->Imprime(0, "  Faces du bloc : géométrie non réglée");
        return;
    }
    if (FiguresDesFaces)
        for (const std::string& l : TexteFaces(*FiguresDesFaces, separateur_))
            SortieFaces->Imprime(0, l);
}

void Principale::Form_Resize(float largeurFenetre, float hauteurFenetre, bool minimisee) {
    const float largeur = Image1.Largeur(), hauteur = Image1.Hauteur();
    vue_.Form_Resize(largeurFenetre, hauteurFenetre, minimisee);
    if (Image1.Largeur() == largeur && Image1.Hauteur() == hauteur)
        return;
    // The old picture has the old size: the drawing is made again at one scale, without
    // the beep of a redraw the user asked for.
    vue_.GardeEchelle(largeur, hauteur, Ctl.Choisie(Option::Etendu));
    if (!CheminCourant().empty())
        Redessine();
}

void Principale::Image1_MouseMove(short Button, short Shift, float X, float Y) {
    vue_.Separateur = separateur_;
    vue_.Image1_MouseMove(Button, Shift, X, Y);
}

void Principale::Image1_Molette(float X, float Y, int crans) {
    AppliqueZoom(vue_.Molette(X, Y, crans));
}

void Principale::ZoomeAuCentre(int crans) {
    const Mapping m = Image1.LitMapping();
    Image1_Molette(m.ScaleLeft + m.ScaleWidth / 2, m.ScaleTop + m.ScaleHeight / 2, crans);
}

void Principale::Image1_Glisse(float dX, float dY) {
    AppliqueZoom(vue_.Decale(dX, dY));
}

void Principale::Deplace(int versDroite, int versHaut) {
    const Mapping m = Image1.LitMapping();
    AppliqueZoom(vue_.Decale(versDroite * m.ScaleWidth / 10, versHaut * -m.ScaleHeight / 10));
}

void Principale::Image1_Echap() {
    if (vue_.Zoom.EtatSelection == 1)
        vue_.AnnuleSelection();
}

// A wheel notch or a pan ends as a rectangle zoom does, without the beep of a redraw
// the user asked for: they come in quick series. At the zoom limit the wheel stops
// quietly: a box at every notch would only be in the way.
void Principale::AppliqueZoom(SuiteZoom suite) {
    if (suite != SuiteZoom::Applique)
        return;
    Choisit(Option::Variable);
    Redessine();
}

void Principale::Redessine() {
    if (CheminCourant().empty()) {
        Image1.Efface();
        return;
    }
    if (Suivi)
        Suivi->Etape("Dessin du fichier…");
    OptionsDessin o = OptionsCourantes();
    o.Etendu = true;
    if (auto e = vue_.DessineCut(CheminCourant(), Interp, o, Fraiseuse.Marques, param_, Suivi))
        Image1.Efface();
}

void Principale::Image1_MouseDown(short Button, short Shift, float X, float Y) {
    switch (vue_.Image1_MouseDown(Button, Shift, X, Y)) {
    case SuiteZoom::Rien:
        return;
    case SuiteZoom::MessageCtrl:
        Dlg.Message("Bouton droit + CTRL pour traitement futur");
        return;
    case SuiteZoom::TropGrand:
        Dlg.Message("Zoom trop grand");
        vue_.AnnuleSelection();
        return;
    case SuiteZoom::Applique:
        Choisit(Option::Variable);
        Image1.Efface();
        try {
            DessineCut();
        } catch (...) {
            vue_.Zoom.EtatSelection = 0;
            throw;
        }
        vue_.Zoom.EtatSelection = 0;
        return;
    }
}

void Principale::Choisit(Option o) {
    if (Ctl.Choisie(o))
        return;
    Ctl.Choisit(o);
    switch (o) {
    case Option::Variable:
        return Option1_Click();
    case Option::Etendu:
        return Option2_Click();
    case Option::Fige:
        return Option3_Click();
    }
}

void Principale::DefinitCoche(Case c, bool coche) {
    if (Ctl.Coche(c) == coche)
        return;
    Ctl.DefinitCoche(c, coche);
    switch (c) {
    case Case::PGauche:
        return PGauche_Click();
    case Case::PDroite:
        return PDroite_Click();
    case Case::CGauche:
        return CGauche_Click();
    case Case::CDroite:
        return CDroite_Click();
    }
}

// Playback.

void Principale::OublieLecture() {
    lecteur_.Oublie();
    Image1.MontreFil(std::nullopt);
    Image1.MontreSurlignage(std::nullopt);
    filCourant_.reset();
}

bool Principale::PrepareLecture() {
    if (!LectureDisponible())
        return false;
    if (lecteur_.Indexe())
        return true;
    if (Suivi)
        Suivi->Etape("Préparation de la lecture…");
    try {
        Interp.MmParPasX = config_.MmParPasX;
        Interp.MmParPasY = config_.MmParPasY;
        lecteur_.Indexe(CheminCourant(), Interp, Suivi);
    } catch (const ErreurParvel& e) {
        Signale(e);
        return false;
    } catch (const std::bad_alloc&) {
        Signale(ErreurParvel(ErrMemoire));
        return false;
    } catch (const Annulation&) {
        throw Annulation("Lecture interrompue");
    }
    return true;
}

void Principale::MontreInstant(double t) {
    const std::optional<PositionFil> p = lecteur_.Va(t);
    if (!p) {
        // With automatic reload the new document replaces the old one, as it does when
        // nothing plays; otherwise the next use indexes the file as it now is.
        if (LitRechargementAuto(Reg)) {
            lecteur_.Pause();
            Recharge();
            return;
        }
        OublieLecture();
        Dlg.Message("Le fichier a changé depuis son chargement : rechargez-le pour le lire");
        return;
    }
    MontreFil(*p);
}

void Principale::MontreFil(const PositionFil& p) {
    filCourant_ = Fil{p.XG, p.YG, p.XD, p.YD};
    // Without the carriages, the wire where it enters and leaves the block.
    if (geometrie_ && faces_ == ModeFaces::Seules) {
        const PositionsChariots c{p.XG, p.YG, p.XD, p.YD};
        const PointFace a = PointSurPlan(c, geometrie_->d, geometrie_->L);
        const PointFace b = PointSurPlan(c, geometrie_->d + geometrie_->w, geometrie_->L);
        Image1.MontreFil(Fil{a.X, a.Y, b.X, b.Y});
    } else {
        Image1.MontreFil(Fil{p.XG, p.YG, p.XD, p.YD});
    }
}

void Principale::Lecture_Temps(double t) {
    if (PrepareLecture())
        MontreInstant(t);
}

void Principale::Lecture_Bascule() {
    if (lecteur_.Etat().EnLecture) {
        lecteur_.Pause();
        return;
    }
    if (PrepareLecture())
        MontreInstant(lecteur_.Lance());
}

void Principale::Lecture_Vitesse(int facteur) {
    lecteur_.DefinitFacteur(facteur);
}

void Principale::Lecture_Avance(double secondesReelles) {
    if (const std::optional<double> t = lecteur_.Echeance(secondesReelles))
        MontreInstant(*t);
}

void Principale::Verification_Click(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= verif_.Constats.size())
        return;
    const Constat& c = verif_.Constats[static_cast<std::size_t>(i)];
    if (c.Plages.empty() || !PrepareLecture())
        return;
    lecteur_.Pause();
    MontreInstant(c.Temps);
    if (!lecteur_.Indexe())
        return;
    // A line without duration begins and ends at the same moment: the wire stands where
    // it begins, and so does the line shown.
    lecteur_.DefinitLigne(c.Plages.front().Debut);
    if (c.Sorte != SorteConstat::AucunMouvement)
        Image1.MontreSurlignage(Surlignage{{c.Avant.XG, c.Avant.YG, c.Avant.XD, c.Avant.YD},
                                           {c.Apres.XG, c.Apres.YG, c.Apres.XD, c.Apres.YD}});
}

std::string Principale::Titre() const {
    return CheminCourant().empty() ? "Parvel" : NomCourt + " - Parvel";
}

// Start-up and settings.

void Principale::Form_Load() {
    CommonDialog1.Filtre = "Fichiers CUT | *.cut";
    CommonDialog1.FichierExistant = true;
    vue_.Etat.Echelle = 1;
    Image1.DefinitPosition(0, 0);
    Image1.MontreForme(Forme::Selection, false);
    Image1.MontreForme(Forme::ZoneX, false);
    Image1.MontreForme(Forme::ZoneY, false);
    Ctl.DefinitActive(Option::Fige, false);
    if (auto arret = LitConfigMachine(Reg, config_, CommonDialog1.DossierInitial))
        return Arrete(*arret);
    // The milling parameters have a recovery of their own.
    if (auto arret = Recup_Param_Parvel(Reg, config_, param_))
        return Arrete(*arret);
    geometrie_ = LitGeometrieBloc(Reg);
    MontreFiguresFaces();
}

void Principale::Arrete(const std::string& message) {
    Dlg.Message(message);
    Dlg.Termine();
}

void Principale::Fin_Click() {
    Dlg.Termine();
}

void Principale::A_propos_Click() {
    Dlg.MontreAPropos();
}

void Principale::Réglage_Click() {
    DemandeParamFraisage(Dlg, config_, param_, separateur_);
    try {
        SauveRegistre(Reg, param_);
    } catch (const ErreurParvel& e) {
        // Only values that did not come through the prompts can get here (a machine
        // configuration beyond the store's range): kept in memory, reported.
        Signale(e);
    }
    if (!CheminCourant().empty())
        ChargeCutSignale(Photographie());
}

void Principale::Act_Fraisage_Click() {
    if (!Ctl.FraisageActif()) {
        Ctl.DefinitFraisageActif(true);
        // The right coordinate lines give way to the tool height.
        DefinitCoche(Case::CDroite, false);
        if (!CheminCourant().empty())
            ChargeCutSignale(Photographie());
    } else {
        Ctl.DefinitFraisageActif(false);
        DefinitCoche(Case::CDroite, true);
        Image1.MontreForme(Forme::ZoneX, false);
        Image1.MontreForme(Forme::ZoneY, false);
        if (!CheminCourant().empty()) {
            try {
                DessineCut();
            } catch (const ErreurParvel& e) {
                Signale(e);
            }
        }
    }
    Dlg.Bip();
}

} // namespace parvel
