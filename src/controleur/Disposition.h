// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's design, in twips from the top-left corner of its client area under
// the menu bar: every front end places its controls from these tables, in this keyboard
// order, with these captions, colours and handlers.
#include <cstdint>
#include <string>

#include "controleur/Principale.h"
#include "settings/APropos.h"

namespace parvel::disposition {

struct Rect {
    double l, t, w, h;
};

inline constexpr double LargeurClient = 11364, HauteurClient = 7500;
inline constexpr Rect Image1{120, 2160, 7212, 5055};
inline constexpr double HauteurDessinMin = 1500; // the drawing area at the window's least height

struct ModeleOption {
    Option o;
    const char* nom;
    const char* titre;
    Rect r;
    void (Principale::*clic)();
};
inline constexpr ModeleOption Options[3] = {
    {Option::Variable, "Option1", "Variable", {1320, 840, 1212, 252}, &Principale::Option1_Click},
    {Option::Etendu, "Option2", "Etendu", {1320, 360, 1212, 252}, &Principale::Option2_Click},
    {Option::Fige, "Option3", "Figé", {1320, 600, 1212, 252}, &Principale::Option3_Click}};

// In the keyboard order; the captions in their path's colour (0xRRGGBB).
struct ModeleCase {
    Case c;
    const char* nom;
    const char* titre;
    Rect r;
    std::uint32_t couleur;
    void (Principale::*clic)();
};
inline constexpr ModeleCase Cases[4] = {
    {Case::CDroite, "CDroite", "Droite", {1440, 1560, 975, 252}, 0xFFFFFF, &Principale::CDroite_Click},
    {Case::CGauche, "CGauche", "Gauche", {240, 1560, 1215, 252}, 0x800080, &Principale::CGauche_Click},
    {Case::PDroite, "PDroite", "Droite", {4200, 1560, 855, 252}, 0x00C000, &Principale::PDroite_Click},
    {Case::PGauche, "PGauche", "Gauche", {2880, 1560, 1095, 252}, 0xFF0000, &Principale::PGauche_Click}};

// The frames, under the check boxes and option buttons drawn over them.
struct ModeleCadre {
    const char* nom;
    const char* titre;
    Rect r;
};
inline constexpr ModeleCadre Cadres[3] = {{"Affichage", "Affichage", {1200, 120, 1452, 1092}},
                                          {"Frame1", "Pas", {2760, 1320, 2415, 615}},
                                          {"Frame2", "Coordonnées", {120, 1320, 2535, 615}}};

inline constexpr Rect Sortie{2760, 0, 3975, 1335};
inline constexpr Rect Commande1{120, 120, 972, 372}, Commande2{120, 480, 972, 372},
    ChargeOut{120, 840, 972, 372};

// The "Lecture" frame, right of the report above the drawing area, and its controls
// (in the window, not in the frame).
inline constexpr Rect Lecture{6855, 60, 4380, 1800}, Lire{6975, 360, 1095, 372},
    VitesseLecture{8190, 360, 975, 372}, CurseurLecture{6975, 840, 4140, 330},
    TexteLecture{6975, 1320, 4140, 300};

// The left edge, in pixels, of a label sized to its text of `largeurPx` pixels: a
// centred label keeps the centre of its design rectangle, a left-aligned one its left edge.
int GaucheEtiquette(double left, double width, bool centree, double twipsParPixel, int largeurPx);

// The about box, in twips from its client area's top-left corner, which sits at a fixed
// place of the screen.
namespace apropos {

inline constexpr Rect Client{2340, 1932, 5736, 4068};
// The etched line above the OK button: from `LigneGauche` to `LigneDroite` (its light
// half) and one pixel further (its shadow).
inline constexpr double LigneY = 3480, LigneGauche = 120, LigneDroite = 5675, LigneOmbre = 5690;
inline constexpr Rect OK{2280, 3600, 1260, 435};

// The labels' fonts: the dialog's own (MS Sans Serif 8.25 pt), the title's (Times New
// Roman 28.8 pt bold), the version's (MS Sans Serif 9.6 pt italic) and the headings'
// (MS Sans Serif 9.6 pt bold).
enum class Police { Dialogue, Titre, Version, Entete };
// A label's text until the box is loaded; a centred label keeps its centre when it
// sizes to its text, a left-aligned one its left edge.
struct ModeleEtiquette {
    const char* nom;
    const char* texte;
    double l, t, w;
    bool centree;
    Police police;
};
inline constexpr ModeleEtiquette Etiquettes[10] = {
    {"lblTitle", "Parvel", 1524, 36, 1668, true, Police::Titre},
    {"lblVersion", "Version", 3372, 360, 804, false, Police::Version},
    {"lblDescription", "Affichage de fichier CUT générés par Tavik", 1320, 720, 3012, true, Police::Dialogue},
    {"Label1", "Configuration de la table", 1680, 1080, 2460, true, Police::Entete},
    {"lblConfig1", TexteConfigDesign, 1980, 1440, 1740, true, Police::Dialogue},
    {"lblConfig2", TexteConfigDesign, 1980, 1680, 1740, true, Police::Dialogue},
    {"lblConfig3", TexteConfigDesign, 1980, 1920, 1740, true, Police::Dialogue},
    {"Label2", "Configuration pour Fraisage", 1464, 2400, 2820, true, Police::Entete},
    {"lblConfig4", TexteConfigDesign, 1992, 2760, 1740, true, Police::Dialogue},
    {"lblConfig5", TexteConfigDesign, 2040, 3000, 1740, true, Police::Dialogue},
};
// The description is never shown.
inline constexpr int EtiquetteDescription = 2;
// The loaded text of label `i` of the table, or its design text for a label the load leaves.
std::string TexteEtiquette(const TextesAPropos& t, int i);

} // namespace apropos

} // namespace parvel::disposition
