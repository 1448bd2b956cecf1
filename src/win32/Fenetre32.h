// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window `Principale` for Windows: builds the controls at their design places
// (twips at the monitor's resolution), implements the platform interfaces with them and
// routes every event to the controller's procedure of the same name.
#include "win32/Systeme.h"

#include <functional>
#include <memory>
#include <string>

#include "controleur/Interactions.h"
#include "controleur/Principale.h"
#include "controleur/Rechargement.h"
#include "win32/APropos32.h"
#include "win32/Bloc32.h"
#include "win32/Controles32.h"
#include "win32/Dialogues32.h"
#include "win32/Rapport32.h"
#include "win32/Suivi32.h"
#include "win32/ZoneDessin32.h"

namespace parvel::win32 {

class Fenetre32 {
  public:
    // Creates the window hidden and runs Form_Load.
    Fenetre32();
    ~Fenetre32();
    Fenetre32(const Fenetre32&) = delete;
    Fenetre32& operator=(const Fenetre32&) = delete;

    Principale& principale() { return *principale_; }
    bool Terminee() const { return terminee_; }
    void Montre(int commande);
    // Opens a file as "Ouvrir" does once it is chosen (command line, drop, recent files).
    void Ouvre(const std::wstring& chemin);
    // The message loop, until the program ends.
    int Boucle();

  private:
    class Etat;
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp);
    void Construit();
    void ConstruitMenus();
    void Dispose();
    void Commande(int id, int notification);
    // Runs a controller procedure alone, reports what escapes it, then repaints.
    void Route(const std::function<void()>& procedure);
    // The window's new size, applied after the wait the rule sets.
    void TailleChangee();
    void RouteTaille();
    // The file looked at while automatic reload is on.
    void SuitFichier();
    void RemplitRecents(HMENU menu);
    // The "Lecture" frame and menu show the controller's playback.
    void ConstruitLecture();
    void MontreLecture();
    void CopieRapport();
    // The block's entries of the "Vue" menu, its figures and the checks' line under the
    // drawing area, the 3D window and the findings' window (Fenetre32Bloc.cpp).
    void ConstruitBloc(HMENU vue);
    void ConstruitBasDessin();
    void MontreBloc();
    // What the faces' figures and the checks' line need under the drawing area, pixels.
    int MargeBasse() const;
    void MontreVue3D(bool voir);
    void MontreVerifications();
    void MontrePanneauVerifications();
    void MontreAPropos();
    void Termine();

    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr, fraisage_ = nullptr, fichiers_ = nullptr;
    HACCEL raccourcis_ = nullptr;
    Twips twips_;
    HFONT arial_ = nullptr, sansSerif_ = nullptr;
    HBRUSH gris_ = nullptr;
    std::unique_ptr<ZoneDessin32> image1_;
    std::unique_ptr<Rapport32> sortie_;
    Bouton commande1_, commande2_, chargeOut_;
    BoutonOption options_[3];
    CaseACocher cases_[4];
    Cadre cadres_[3];
    Cadre cadreLecture_;
    Bouton lire_;
    HWND vitesse_ = nullptr, curseur_ = nullptr;
    Etiquette texteLecture_;
    HMENU menuLecture_ = nullptr;
    ULONGLONG dernierTic_ = 0; // milliseconds, at the last tick of the playback clock
    bool horloge_ = false;
    std::unique_ptr<Controles> controles_;
    Dialogues32 dialogues_;
    std::unique_ptr<Registre> registre_;
    std::unique_ptr<Principale> principale_;
    std::unique_ptr<APropos32> aPropos_;
    HWND proprietaireAPropos_ = nullptr;
    std::unique_ptr<Suivi32> suivi_;
    std::vector<std::string> recents_;
    HMENU faces_ = nullptr; // the choices of "Faces du bloc"
    std::unique_ptr<Rapport32> sortieFaces_;
    HWND etatVerifications_ = nullptr;
    int couleurVerif_ = 0;                   // the checks' line's palette colour
    std::vector<std::string> verifMontrees_; // what the checks' line and window show
    int margeDemandee_ = 0;                  // MargeBasse() at the last sizing
    std::unique_ptr<Fenetre3D32> fenetre3D_;
    int chargementsVus3D_ = -1; // the load the 3D picture shows
    std::optional<GeometrieBloc> geometrieVue3D_;
    std::unique_ptr<Verifications32> panneauVerif_;
    std::unique_ptr<RapportCopiable> copiable_; // the report as Ctrl+C copies it
    std::unique_ptr<Routeur> routeur_;
    Rechargement rechargement_;
    bool veille_ = false; // the file's timer runs
    bool terminee_ = false;
};

} // namespace parvel::win32
