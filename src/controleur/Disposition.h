// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's design, in twips from the top-left corner of its client area under
// the menu bar: every front end places its controls from these tables, in this keyboard
// order, with these captions, colours and handlers.
#include <cstdint>

#include "controleur/Principale.h"

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
// Seconds of the cut per real second, and the playback clock's tick.
inline constexpr int FacteursLecture[4] = {1, 10, 100, 1000};
inline constexpr int TicLectureMs = 30;

// The height of the checks' line at the foot of the margin under the drawing area.
inline constexpr double LigneVerifications = 240;

} // namespace parvel::disposition
