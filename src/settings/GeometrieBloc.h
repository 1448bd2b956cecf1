// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The block's geometry (L, d, w) in the program's own section of the settings store,
// whole hundredths of a millimetre, and its dialog: three prompts like the milling ones,
// each taking a decimal comma, checked together with a message that says what is wrong.
#include <optional>
#include <string>

#include "cut/Faces.h"
#include "plateforme/Dialogues.h"
#include "plateforme/Registre.h"

namespace parvel {

inline constexpr const char* CleBloc = "Software\\Local AppWizard-Generated Applications\\Parvel\\Bloc";

// The geometry the store holds, none until one has been accepted (or when it holds one
// that cannot be used).
std::optional<GeometrieBloc> LitGeometrieBloc(Registre& registre);
// Writes the three values, rounded to the hundredth.
void EcritGeometrieBloc(Registre& registre, const GeometrieBloc& g);

// "L,d,w" in millimetres ("." as the point), as `parvel-cut --machine` takes it; none
// when it cannot be read. Whether the geometry can be used is DefautGeometrie's.
std::optional<GeometrieBloc> LitTexteGeometrie(const std::string& texte);

// The three prompts, defaults the values in force (or the last accepted ones); a Cancel
// or an unreadable answer keeps that value. A geometry that cannot be used is shown
// with its reason and asked again, until it can be used or every prompt is cancelled.
// Returns the accepted geometry, rounded to the hundredth; none when nothing was accepted.
std::optional<GeometrieBloc> DemandeGeometrieBloc(Dialogues& dialogues,
                                                  const std::optional<GeometrieBloc>& actuelle,
                                                  const std::string& separateur);

// Why the block's features are off: no geometry set yet.
inline constexpr const char* MessageSansGeometrie =
    "Faces du bloc et vue 3D : réglez d'abord la géométrie de la machine (menu Vue, Géométrie du bloc).";

} // namespace parvel
