#pragma once
// The owner of the program's state, as the main window is on the platform: it holds
// every record and runs every procedure on them. It has no toolkit dependency: the
// window, the drawing area, the dialogs and the settings store reach it through the
// interfaces of `Plateforme`, which the Qt window, `parvel-cut` and the tests implement.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cut/Chargeur.h"
#include "cut/Fraisage.h"
#include "cut/Interpreteur.h"
#include "cut/ZoneTexte.h"
#include "settings/Configuration.h"
#include "settings/Dialogues.h"
#include "settings/Registre.h"
#include "view/Controles.h"
#include "view/Surface.h"
#include "view/Vue.h"

namespace parvel {

class ErreurParvel;
class SortieFraisage;

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
    ~Principale();
    Principale(const Principale&) = delete;
    Principale& operator=(const Principale&) = delete;

    // Records.
    EtatCut Etat;
    BilanCut Bilan;
    EtatFraisage Fraisage;
    std::vector<Marque> Marques; // markers of the last load; NbMarques is size() + 1
    EtatVue Vue;
    EtatZoom Zoom;
    ConfigMachine Config;
    ParamFraisage Param;
    ParamOuverture CommonDialog1; // its NomFichier is the current path
    std::string NomCourt;
    Rapport DernierRapport;       // the report as last printed into Sortie
    std::string Separateur = "."; // the locale's decimal separator, for the report and the about box

    const std::string& CheminCourant() const { return CommonDialog1.NomFichier; }
    int NbMarques() const { return static_cast<int>(Marques.size()) + 1; }

    // CUT language.
    void AnalyseLigne(std::string_view ligne);
    void TraiteCommande();

    // Loading.
    void Ouvrir_Click();
    void ChargeOut_Click();
    void ChargeCut();
    // The loading pass alone: reset, one reading of the current file with the
    // statistics and the milling output, and the report. ChargeCut then frames and draws.
    void PasseChargement();

    // Milling.
    void BougeFraise();

    // View.
    void CadreVue();
    void MappingEtendu();
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
    // Outer size of the window in twips.
    void Form_Resize(float largeurFenetre, float hauteurFenetre, bool minimisee);
    void Image1_MouseDown(short Button, short Shift, float X, float Y);
    void Image1_MouseMove(short Button, short Shift, float X, float Y);

    // Start-up and settings.
    void Form_Load();
    void Fin_Click();
    void A_propos_Click();
    void Recup_Param_Parvel();
    void SauveRegistre();
    void Réglage_Click();
    void Act_Fraisage_Click();

    SurfaceDessin& Image1;
    ZoneTexte& Sortie;
    Controles& Ctl;
    Dialogues& Dlg;
    Registre& Reg;

  private:
    // Milling hooks of the loading pass.
    void OuvreSortieFraisage();
    void EtapeFraisage();
    void FinFraisage();
    void FermeSortieFraisage() noexcept;
    void EcritLigneFraisage(std::string_view ligne);
    // A load started by "Out.Cut" or a reload reports its failure like "&Ouvrir".
    void ChargeCutSignale();
    void Signale(const ErreurParvel& e);

    std::unique_ptr<SortieFraisage> sortieFraisage_;
};

} // namespace parvel
