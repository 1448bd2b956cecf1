// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's controls and commands, shared by the files that build it.
namespace parvel::win32 {

// Control and command identifiers; 1 and 2 are the dialog manager's OK and Cancel.
enum : int {
    IdImage1 = 100,
    IdOption1,
    IdOption2,
    IdOption3,
    IdChargeOut,
    IdCDroite,
    IdCGauche,
    IdPDroite,
    IdPGauche,
    IdSortie,
    IdCommande1,
    IdCommande2,
    IdLire,
    IdVitesseLecture,
    IdCurseurLecture,
    IdSortieFaces,
    IdEtatVerifications,
    IdFin = 200,
    IdOuvrir,
    IdActivation,
    IdReglage,
    IdAPropos,
    IdRecharger,
    IdCarteVitesses,
    IdCopie,
    IdEtendu,
    IdLectureBascule,
    IdGeometrie,
    IdVue3D,
    IdVerifications,
    IdRechargementAuto,
    IdZoomAvant,
    IdZoomArriere,
    IdFaces = 240,   // to IdFaces + 2, in the order of ModeFaces
    IdFacteur = 250, // to IdFacteur + 3
    IdRecent = 300,  // to IdRecent + NbRecents - 1
};

} // namespace parvel::win32
