#pragma once
// View state: the fit scale and the overall extents of the loaded file, and the zoom state.
namespace parvel {

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

} // namespace parvel
