// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trajectory view: the fit scale and extents of the loaded file, the zoom state, and
// the procedures that set the drawing area's mapping, redraw the file onto it, zoom
// into a mouse rectangle and show the cursor position. It draws onto the surface it is
// given and never touches controls or dialogs: what the window must do next (a
// message, a redraw) is returned to the caller.
#include <optional>
#include <string>
#include <vector>

#include "cut/Erreur.h"
#include "cut/Faces.h"
#include "cut/Fraisage.h"
#include "plateforme/Surface.h"

namespace parvel {

class Avancement;
struct BilanCut;
class Interpreteur;

struct EtatVue {
    float Echelle = 1.0f; // millimetres per twip
    double XMin = 0, XMax = 0;
    float YMin = 0, YMax = 0;
};

struct EtatZoom {
    short EtatSelection = 0; // 0 idle, 1 first corner placed, 2 completing
    float XDebutSel = 0, YDebutSel = 0;
    float RapportZoom = 0;
};

// Position of the drawing area in the window, twips.
inline constexpr float Image1Left = 120;
inline constexpr float Image1Top = 2160;

// The window height to give Form_Resize so that at least `marge` twips stay under the
// drawing area of a client area `hauteurClient` twips high: the design's own margin
// when it is enough, else the drawing area gives up the rest.
float HauteurPourMarge(float hauteurFenetre, float hauteurClient, float marge);

// The block's faces in the 2D view: hidden, over the carriage paths, or instead of them.
enum class ModeFaces { Masquees, SurChariots, Seules };

// Palette indexes of the faces' paths and of the inverted lines (the speed map's own
// warning colour lies outside its scale).
inline constexpr int CouleurFaceProche = 9;
inline constexpr int CouleurFaceLoin = 6;
inline constexpr int CouleurInversion = 12;
inline constexpr int CouleurInversionVitesses = 13;

// What a redraw draws, read from the controls before the file is read.
struct OptionsDessin {
    bool CoordDroite = true, CoordGauche = true; // "Coordonnées" boxes
    bool PasDroite = true, PasGauche = true;     // "Pas" boxes
    bool Etendu = false;                         // the area is cleared first
    bool Fraisage = false;                       // markers and bands
    // The speed map, and the speeds at the two ends of its scale (the file's slowest and fastest).
    bool CarteVitesses = false;
    double VitesseLente = 0, VitesseRapide = 0;
    std::string Separateur = "."; // the legend's decimal separator
    // The block's faces, with the geometry they need (set whenever they are shown).
    ModeFaces Faces = ModeFaces::Masquees;
    GeometrieBloc Geometrie;
};

// What a mouse press in the drawing area asks of the window.
enum class SuiteZoom {
    Rien,
    TropGrand,   // "Zoom trop grand", then AnnuleSelection
    Applique,    // the mapping is set: select "Variable", clear and redraw
    MessageCtrl, // the Ctrl + click message
};

class VueCut {
  public:
    explicit VueCut(SurfaceDessin& image) : Image1(image) {}

    SurfaceDessin& Image1;
    EtatVue Etat;
    EtatZoom Zoom;
    std::string Separateur = "."; // the readout's speed; the position keeps its "."

    // Overall extents and scale of the loaded file; clamps the milling limits to them.
    void CadreVue(const BilanCut& bilan, ParamFraisage& param);
    // The whole drawing in the area.
    void MappingEtendu();
    // The fit scale of the extents in the area's present size.
    void CalculeEchelle();
    // Reads `chemin` again through the interpreter and draws it. A file that cannot be
    // opened leaves the picture as it was: its failure is returned. `avancement` is told
    // the progress and may stop the redraw (Annulation), which leaves what was drawn.
    std::optional<ErreurParvel> DessineCut(const std::string& chemin, Interpreteur& interp,
                                           const OptionsDessin& options, const std::vector<Marque>& marques,
                                           const ParamFraisage& param, Avancement* avancement = nullptr);

    SuiteZoom Image1_MouseDown(short Button, short Shift, float X, float Y);
    // The cursor in millimetres, and the line, speed and time of a path drawn under it.
    void Image1_MouseMove(short Button, short Shift, float X, float Y);
    // Leaves the rubber band: idle state, band hidden.
    void AnnuleSelection();
    // Zooms by 1.25 per notch toward (X, Y) (out for negative notches), or moves the
    // view by (dX, dY); both leave the band and refuse what a rectangle zoom refuses.
    SuiteZoom Molette(float X, float Y, int crans);
    SuiteZoom Decale(float dX, float dY);

    // Outer size of the window in twips.
    void Form_Resize(float largeurFenetre, float hauteurFenetre, bool minimisee);
    // After the area changed from the given size (twips), X and Y keep one scale: the
    // whole drawing is fitted again (`etendu`), or the same centre and scale are kept.
    // A mapping the program never set (twips from the corner) follows the size alone.
    void GardeEchelle(float largeurAvant, float hauteurAvant, bool etendu);
};

} // namespace parvel
