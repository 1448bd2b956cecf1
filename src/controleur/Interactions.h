// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window decides that is no widget work, written once for every front end:
// how a procedure runs and reports what escapes it, the key table, the recent files'
// entries, the open dialog's filter, the drop, the wheel and pan arithmetic and the
// wait before a new size is applied. The front ends translate their events into these.
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cut/Avancement.h"
#include "plateforme/Dialogues.h"
#include "plateforme/ZoneTexte.h"
#include "view/ImageRaster.h"

namespace parvel {

// The window's side of a long work: told when it starts and ends, and whether the
// user asked to quit meanwhile.
class SuiviFenetre : public Avancement {
  public:
    virtual void Commence() = 0;
    // `annulation` is what a stopped work says, or null.
    virtual void Termine(const char* annulation) = 0;
    virtual bool QuitterDemande() const = 0;
};

// The message shown for what escapes a procedure; none for a stopped work.
std::optional<std::string> TexteErreur(const std::exception& e);

// Runs the window's procedures one at a time: what reaches the window while one runs
// (a file read, a dialog open) starts nothing.
class Routeur {
  public:
    Routeur(Dialogues& dialogues, SuiviFenetre& suivi) : dialogues_(dialogues), suivi_(suivi) {}
    bool Occupe() const { return occupe_; }
    // Runs `procedure`, shows what escapes it, then `ensuite` (the repaint), still
    // alone. False, with nothing run, while another procedure runs.
    bool Route(const std::function<void()>& procedure, const std::function<void()>& ensuite = {});

  private:
    Dialogues& dialogues_;
    SuiviFenetre& suivi_;
    bool occupe_ = false;
};

// The keys, as both front ends name them.
enum class Touche {
    Plus,
    Moins,
    Egal,
    Gauche,
    Droite,
    Haut,
    Bas,
    Echap,
    Origine,
    Inser,
    F5,
    F7,
    Espace,
    C,
    M,
    O,
    Trois
};
// What a key does in the main window.
enum class Geste {
    ZoomAvant,
    ZoomArriere,
    Etendu,
    Recharger,
    Verifications,
    Copie,
    CarteVitesses,
    Ouvrir,
    LectureBascule,
    Vue3D,
    VersGauche,
    VersDroite,
    VersHaut,
    VersBas,
    Abandon, // Esc: a started rubber band is dropped
};
struct Raccourci {
    Touche touche;
    bool ctrl;
    Geste geste;
    bool zone; // only while the drawing area has the focus
};
// Every key of the window; the first one of a gesture is the one its menu names.
inline constexpr Raccourci Raccourcis[] = {
    {Touche::Plus, false, Geste::ZoomAvant, false},
    {Touche::Plus, true, Geste::ZoomAvant, false},
    {Touche::Egal, true, Geste::ZoomAvant, false},
    {Touche::Moins, false, Geste::ZoomArriere, false},
    {Touche::Moins, true, Geste::ZoomArriere, false},
    {Touche::Origine, false, Geste::Etendu, false},
    {Touche::F5, false, Geste::Recharger, false},
    {Touche::F7, false, Geste::Verifications, false},
    {Touche::C, true, Geste::Copie, false},
    {Touche::Inser, true, Geste::Copie, false},
    {Touche::M, true, Geste::CarteVitesses, false},
    {Touche::O, true, Geste::Ouvrir, false},
    {Touche::Espace, true, Geste::LectureBascule, false},
    {Touche::Trois, true, Geste::Vue3D, false},
    {Touche::Gauche, false, Geste::VersGauche, true},
    {Touche::Droite, false, Geste::VersDroite, true},
    {Touche::Haut, false, Geste::VersHaut, true},
    {Touche::Bas, false, Geste::VersBas, true},
    {Touche::Echap, false, Geste::Abandon, true},
};
// What `touche` does, with Ctrl held or not; `dansZone` while the drawing area has the focus.
std::optional<Geste> GestePour(Touche touche, bool ctrl, bool dansZone);
// The key a menu shows beside a gesture's entry ("Ctrl+M", "F5"); empty without one.
std::string TexteRaccourci(Geste geste);
// The zoom notches of a zoom key (+1, -1), 0 for another gesture; the pan of an arrow.
int CransDe(Geste geste);
std::pair<int, int> DeplacementDe(Geste geste);

// One entry of the recent files' menu: "&1 name" (the name cut in its middle when
// long, its "&" doubled), and the full path for its tooltip.
struct EntreeRecente {
    std::string Libelle, Bulle;
};
std::vector<EntreeRecente> EntreesRecentes(const std::vector<std::string>& chemins);
inline constexpr std::size_t LongueurNomRecent = 40; // characters of a name in the menu

// The open dialog's filter, "Fichiers CUT | *.cut", as (label, patterns) pairs.
std::vector<std::pair<std::string, std::string>> FiltresOuverture(const std::string& filtre);

// A drop is taken when it brings one file, a ".cut" one (in any case).
bool DepotAccepte(const std::vector<std::string>& chemins);

// The report's lines as printed, which Ctrl+C copies, one per line; it passes every
// print on to the area that shows it.
class RapportCopiable : public ZoneTexte {
  public:
    explicit RapportCopiable(ZoneTexte& zone) : zone_(zone) {}
    void Efface() override;
    void Imprime(int couleur, std::string_view ligne) override;
    // Lines joined by "\n" (the front end turns them into its clipboard's line ends).
    std::string Texte() const;

  private:
    ZoneTexte& zone_;
    std::vector<std::string> lignes_;
};

// Wheel deltas in eighths of a degree, added up into whole notches of 120: a fine
// wheel's small steps add up to the notches a coarse one gives at once.
class CompteurCrans {
  public:
    static constexpr int Cran = 120;
    // The whole notches the delta completes (positive: away from the user).
    int Ajoute(int delta);

  private:
    int reste_ = 0;
};

// The view's move for a middle-button drag from pixel (x1, y1) to (x2, y2) of the
// raster, in the mapping's units: the drawing follows the hand. None without a move.
struct Glissement {
    float dX, dY;
};
std::optional<Glissement> GlissementVue(const ImageRaster& raster, int x1, int y1, int x2, int y2);

// Without a file a new size applies at once; with one, every size redraws it, so
// that while an edge is dragged the size applies once it has stayed this long.
inline constexpr int DelaiTailleMs = 150;
inline int DelaiTaille(bool fichierCharge) {
    return fichierCharge ? DelaiTailleMs : 0;
}

} // namespace parvel
