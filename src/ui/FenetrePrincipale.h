// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window `Principale`: builds the controls at their design places, implements
// the core's platform interfaces with them and routes every event to the core
// procedure of the same name. The handlers stay thin: call, then repaint.
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "controleur/Interactions.h"
#include "controleur/Principale.h"
#include "controleur/Rechargement.h"
#include "ui/Apparence.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QRadioButton;

namespace parvel::ui {

class ControlesQt;
class DialoguesQt;
class FenetreAPropos;
class PanneauVerifications;
class ZoneDessin;
class ZoneRapport;
class Zone3D;
class SuiviTravail;

class FenetrePrincipale : public QMainWindow {
    Q_OBJECT
  public:
    // `dialogues` and `registre` replace the platform's dialogs and settings store
    // (tests); both must outlive the window. Runs Form_Load before returning.
    explicit FenetrePrincipale(Dialogues* dialogues = nullptr, Registre* registre = nullptr);
    ~FenetrePrincipale() override;

    Principale& principale() { return *principale_; }
    ZoneDessin* Image1() const { return image1_; }
    ZoneRapport* Sortie() const { return sortie_; }
    QCheckBox* Boite(Case c) const { return cases_[static_cast<int>(c)]; }
    QRadioButton* Bouton(Option o) const { return options_[static_cast<int>(o)]; }
    QAction* Activation() const { return activation_; }
    QAction* CarteVitesses() const { return carteVitesses_; }
    QAction* Cadre() const { return cadre_; }
    // The block's menu entries, its figures under the drawing and the 3D view's window.
    QAction* Geometrie() const { return geometrie_; }
    QAction* Faces(ModeFaces m) const { return faces_[static_cast<int>(m)]; }
    QAction* Vue3D() const { return vue3D_; }
    ZoneRapport* SortieFaces() const { return sortieFaces_; }
    Zone3D* Image3D() const { return zone3D_; }
    const Twips& Unites() const { return twips_; }

    // The about box: created and loaded on first use, brought to the front while open.
    void MontreAPropos();
    // Opens a file as "Ouvrir" does once it is chosen (command line, drop, recent files);
    // the path is the file system's bytes, whatever their encoding.
    void Ouvre(const std::string& chemin);
    FenetreAPropos* APropos() const;
    // The program was asked to end (by "&Quitter" or a failed start-up).
    bool Terminee() const { return terminee_; }
    // The "Vérifications" window, created on first use, and the line under the drawing
    // area that sums the last load's checks up.
    void MontrePanneauVerifications();
    PanneauVerifications* PanneauVerif() const;
    QLabel* EtatVerifications() const { return etatVerifications_; }

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    void Construit();
    void ConstruitMenus();
    // The "Lecture" frame and menu; MontreLecture makes them show the controller's playback.
    void ConstruitLecture(QWidget* client);
    void ConstruitMenuLecture();
    // The block's entries of the "Vue" menu, its figures and the 3D window (FenetreBloc.cpp).
    void ConstruitBloc(QMenu* vue, QWidget* client);
    void MontreBloc();
    void MontreVue3D(bool visible);
    void MontreLecture();
    void ConstruitVerifications();
    void MontreVerifications();
    // The top of the checks' line: the foot of the margin, under the faces' figures.
    int HautEtatVerifications() const;
    // Pixels the faces' figures and the checks' line need under the drawing area.
    int MargeBasse() const;
    // Runs a core procedure, then repaints the drawing and report areas.
    void Route(const std::function<void()>& procedure);
    void RouteTaille();
    void CopieRapport();
    // With a frame or without; the framed window's title names the loaded file.
    void AppliqueCadre(bool encadree);
    // The title and the commands that need a loaded file, after each procedure.
    void MontreEtat();
    // The file watch follows the current file while automatic reload is on.
    void SuitFichier();
    void FichierModifie();
    void TailleChangee();
    void Termine();

    Twips twips_;
    ZoneDessin* image1_ = nullptr;
    ZoneRapport* sortie_ = nullptr;
    QCheckBox* cases_[4] = {};
    QRadioButton* options_[3] = {};
    QAction* activation_ = nullptr;
    QPointer<FenetreAPropos> aPropos_;
    bool terminee_ = false;
    QAction* fin_ = nullptr;
    QTimer taille_;
    std::unique_ptr<SuiviTravail> suivi_;
    QAction* rechargementAuto_ = nullptr;
    QAction* carteVitesses_ = nullptr;
    QAction* cadre_ = nullptr;
    QAction* recharger_ = nullptr;
    std::vector<QAction*> recents_; // the recent files' entries of the menu, and their separator
    QFileSystemWatcher veille_;
    QTimer stabilite_;
    Rechargement rechargement_;

    QGroupBox* cadreLecture_ = nullptr;
    QPushButton* lire_ = nullptr;
    QComboBox* vitesse_ = nullptr;
    QSlider* curseur_ = nullptr;
    QLabel* texteLecture_ = nullptr;
    QAction* lireAction_ = nullptr;
    std::vector<QAction*> vitesses_; // x1 to x1000 in the menu
    QTimer horloge_;                 // ticks while playing
    QElapsedTimer chrono_;           // real time since the last tick

    QLabel* etatVerifications_ = nullptr;
    QPointer<PanneauVerifications> panneauVerif_;
    // What the line and the window show, to refill them on a change only.
    std::vector<std::string> verifMontrees_;
    int margeDemandee_ = 0; // MargeBasse() at the last sizing
    QAction* geometrie_ = nullptr;
    QAction* faces_[3] = {};
    QAction* vue3D_ = nullptr;
    ZoneRapport* sortieFaces_ = nullptr;
    QPointer<QWidget> fenetre3D_;
    Zone3D* zone3D_ = nullptr;
    QTimer dessin3D_;           // one 3D drawing for a burst of orbit moves
    int chargementsVus3D_ = -1; // the load the 3D picture shows
    std::optional<GeometrieBloc> geometrieVue3D_;

    std::unique_ptr<ControlesQt> controles_;
    std::unique_ptr<RapportCopiable> copiable_; // the report as Ctrl+C copies it
    std::unique_ptr<DialoguesQt> dialoguesQt_;
    std::unique_ptr<Registre> registrePropre_;
    Dialogues* dialogues_ = nullptr;
    Registre* registre_ = nullptr;
    std::unique_ptr<Principale> principale_;
    std::unique_ptr<Routeur> routeur_;
};

} // namespace parvel::ui
