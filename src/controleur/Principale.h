// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's controller: it owns the interpreter, the milling writer, the view
// and the current document, and runs every handler of the window as a short sequence
// of calls into them. It is the only code that touches the controls and the dialogs;
// the window, `parvel-cut image` and the tests give it the platform through `Plateforme`.
// Its state is its own: callers act through the handlers and read through const views.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "controleur/Lecteur.h"
#include "cut/Avancement.h"
#include "cut/Chargeur.h"
#include "cut/Faces.h"
#include "cut/Fraisage.h"
#include "cut/Interpreteur.h"
#include "cut/Parametres.h"
#include "cut/Verifications.h"
#include "plateforme/Controles.h"
#include "plateforme/Dialogues.h"
#include "plateforme/Registre.h"
#include "plateforme/Surface.h"
#include "plateforme/ZoneTexte.h"
#include "view/Vue.h"
#include "view/Vue3D.h"

namespace parvel {

struct Plateforme {
    SurfaceDessin& Image1;
    ZoneTexte& Sortie;
    Controles& Controles_;
    Dialogues& Dialogues_;
    Registre& Registre_;
};

class Principale {
  public:
    explicit Principale(Plateforme plateforme);
    Principale(const Principale&) = delete;
    Principale& operator=(const Principale&) = delete;

    // What the caller sets up around it: who is told the progress of loads and redraws
    // and may stop them (none: nothing stops them), the locale's decimal separator
    // (report, about box, speed texts, prompts), and where the block's figures are
    // printed beside the report (none: nowhere).
    void DefinitSuivi(Avancement* suivi) { Suivi = suivi; }
    void DefinitSeparateur(std::string separateur) { separateur_ = std::move(separateur); }
    void DefinitSortieFaces(ZoneTexte* sortie) { SortieFaces = sortie; }
    // Machine and milling settings given instead of those Form_Load reads from the store.
    void DefinitReglages(const ConfigMachine& config, const ParamFraisage& param);
    // The block's geometry for this session only, the store left as it is (none: unset).
    void DefinitGeometrie(const std::optional<GeometrieBloc>& geometrie);

    // The document as the window shows it.
    const std::string& CheminCourant() const { return CommonDialog1.NomFichier; }
    // The framed window's title: the loaded file's name, then the program's.
    std::string Titre() const;
    int NbMarques() const { return static_cast<int>(Fraiseuse.Marques.size()) + 1; }
    const Rapport& DernierRapport() const { return dernierRapport_; } // as last printed into Sortie
    const std::string& Separateur() const { return separateur_; }
    const ConfigMachine& Config() const { return config_; }
    const ParamFraisage& Param() const { return param_; }
    const VueCut& Vue() const { return vue_; }
    bool CarteVitesses() const { return carteVitesses_; } // paths coloured by their speed
    const std::optional<GeometrieBloc>& Geometrie() const { return geometrie_; }
    ModeFaces Faces() const { return faces_; } // how the 2D view shows the block's faces
    // Counts the loads that printed their report, for views that follow the file.
    int Chargements() const { return chargements_; }

    // Loading.
    void Ouvrir_Click();
    void ChargeOut_Click();
    // Opens `chemin` as "Ouvrir" does once a file is chosen (command line, drop, recent
    // files); a file that loads heads the recent files.
    void OuvreFichier(const std::string& chemin);
    // Loads `chemin` as the current file without the window's part: its failures reach
    // the caller, the recent files stay as they are (parvel-cut, tests).
    void ChargeFichier(const std::string& chemin);
    // The current file again, as after its own choice (F5, the file changed on disk).
    void Recharge();
    void ChargeCut();

    // View.
    void CadreVue();
    void DessineCut();
    void Commande1_Click();
    void Commande2_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void PGauche_Click();
    void PDroite_Click();
    void CGauche_Click();
    void CDroite_Click();
    // Switches the speed map and draws the file again, as the "Coordonnées" boxes do.
    void Vitesses_Click();
    // The geometry's dialog (kept in the store, the file loaded again), and the display
    // choice "Faces du bloc", refused with the reason while no geometry is set.
    void Geometrie_Click();
    void Faces_Click(ModeFaces mode);
    // Whether the 3D view may open: refused with the reason while no geometry is set.
    bool PermetVue3D();
    // The loaded file in 3D from `camera` onto `rendu`; false while there is no file or
    // no geometry (said once by a message when `signale`).
    bool Dessine3D(Rendu3D& rendu, const Camera3D& camera, bool signale = true);
    // The carriages where playback shows the wire, none outside playback.
    const std::optional<Fil>& FilCourant() const { return filCourant_; }
    void Form_Resize(float largeurFenetre, float hauteurFenetre, bool minimisee);
    void Image1_MouseDown(short Button, short Shift, float X, float Y);
    void Image1_MouseMove(short Button, short Shift, float X, float Y);
    // Wheel notches toward (X, Y), positive to zoom in; a pan by (dX, dY) millimetres;
    // the arrow keys pan by a tenth of the view; Esc abandons a started rubber band.
    void Image1_Molette(float X, float Y, int crans);
    void Image1_Glisse(float dX, float dY);
    // `crans` wheel notches about the centre of the view (the + and - keys).
    void ZoomeAuCentre(int crans);
    void Deplace(int versDroite, int versHaut);
    void Image1_Echap();

    // Playback: the wire at a moment (scrub), play and pause, the speed, and the clock's
    // tick of `secondesReelles` while playing. The first use after a load reads the file
    // once to index it; the end stops the play.
    const Lecteur& Lecture() const { return lecteur_; }
    bool LectureDisponible() const { return !CheminCourant().empty() && passeFinie_; }
    void Lecture_Temps(double t);
    void Lecture_Bascule();
    void Lecture_Vitesse(int facteur);
    void Lecture_Avance(double secondesReelles);
    std::string TexteLecture() const { return lecteur_.TexteLecture(); }

    // The checks of the last load; choosing finding `i` puts the wire where its first
    // line begins and shows that line apart on the drawing.
    const Verifications& Verif() const { return verif_; }
    void Verification_Click(int i);

    // Start-up and settings.
    void Form_Load();
    void Fin_Click();
    void A_propos_Click();
    void Réglage_Click();
    void Act_Fraisage_Click();

    // A change the program makes to a control runs that control's handler at once, as
    // a user's click does; the controls themselves run nothing.
    void Choisit(Option o);
    void DefinitCoche(Case c, bool coche);

  private:
    SurfaceDessin& Image1;
    ZoneTexte& Sortie;
    Controles& Ctl;
    Dialogues& Dlg;
    Registre& Reg;
    Avancement* Suivi = nullptr;

    // Components.
    Interpreteur Interp;
    EcrivainFraisage Fraiseuse;
    VueCut vue_;
    Lecteur lecteur_;

    // The document and the settings.
    BilanCut Bilan;
    ConfigMachine config_;
    ParamFraisage param_;
    ParamOuverture CommonDialog1; // its NomFichier is the current path
    std::string NomCourt;
    Rapport dernierRapport_;
    std::string separateur_ = ".";
    bool carteVitesses_ = false;
    // The block between the carriages: its geometry (none until set), how the 2D view
    // shows its faces, and their figures from the last load.
    std::optional<GeometrieBloc> geometrie_;
    ModeFaces faces_ = ModeFaces::Masquees;
    std::optional<FiguresFaces> FiguresDesFaces;
    ZoneTexte* SortieFaces = nullptr;
    std::optional<Fil> filCourant_;
    int chargements_ = 0;
    Verifications verif_;

    // What a load changes before its report is printed: a load stopped by the user
    // during its pass gets it back, so that nothing shows a half-read file.
    struct Instantane {
        std::string Chemin, NomCourt;
        EtatCut Etat;
        BilanCut Bilan;
        EtatFraisage Fraisage;
        std::vector<Marque> Marques;
        float RapportZoom;
        bool FigeActif;
        EtatLecture Lecture;
        Verifications Verif;
        bool PasseFinie;
    };
    Instantane Photographie() const;
    void Restaure(const Instantane& i);
    // The loading pass alone, with the report printed; ChargeCut then frames and draws.
    void PasseChargement();
    // The current path and its short name, before a load.
    void Designe(const std::string& chemin);
    // A load started by "Out.Cut" or a reload reports its failure like "&Ouvrir"; a
    // stopped load is put back as it was before `avant`. True when the file loaded.
    bool ChargeCutSignale(const Instantane& avant);
    void Signale(const ErreurParvel& e);
    void Arrete(const std::string& message);
    OptionsDessin OptionsCourantes() const;
    int dessins_ = 0;        // redraws started
    bool passeFinie_ = true; // the last load pass printed its report
    void AppliqueZoom(SuiteZoom suite);
    // Draws the current file again on a cleared area, without the beep.
    void Redessine();
    bool PrepareLecture();
    void MontreInstant(double t);
    void MontreFil(const PositionFil& p);
    void MontreFiguresFaces();
    void OublieLecture();
};

} // namespace parvel
