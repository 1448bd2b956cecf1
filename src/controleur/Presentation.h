// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window shows of the controller's state beyond the controls the controller
// drives itself: the "Lecture" frame, the checks' line and window, and the faces'
// figures in the margin under the drawing area. Both front ends show these alike.
#include <string>
#include <vector>

#include "controleur/Principale.h"

namespace parvel {

struct VueLecture {
    bool Disponible, EnLecture;
    const char* Bouton;    // "Lire" or "Pause": the button's and the menu entry's text
    int Maximum, Position; // the slider, in tenths of a second
    int Facteur;           // the speed's place in Lecteur::Facteurs, -1 for none
    std::string Texte;     // "12 mn 03 s / 1 h 45 mn 10 s | ligne 1234"
};
VueLecture PresenteLecture(const Principale& p);

struct VueVerifications {
    std::string Resume;  // the line under the drawing; empty: the line is hidden
    int Couleur;         // its palette colour: red with findings
    std::string Fichier; // the file's name, heading the checks' window
    // Everything the line and the window show: they are filled again when it changes.
    std::vector<std::string> Textes;
};
VueVerifications PresenteVerifications(const Principale& p);
// The line's link to the checks' window, after the summary.
inline constexpr const char* LienVerifications = "détails";

// The faces' figures between the drawing area's foot and `basLibre` (the checks' line,
// or the client area's foot), in pixels; shown when there is room for a line.
struct Marge {
    int Haut, Hauteur;
    bool Visible;
};
Marge MargeFaces(int basImage, int basLibre);

} // namespace parvel
