// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The load pass: one reading of a CUT file through the interpreter, with the run
// statistics, the optional milling output, and the five-line run report.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "cut/Interpreteur.h"

namespace parvel {

class Avancement;
class EcrivainFraisage;

struct BilanCut {
    double XGMin = 0, XGMax = 0, YGMin = 0, YGMax = 0;
    double XDMin = 0, XDMax = 0;
    float YDMin = 0, YDMax = 0;
    double Vitesse = 0, VitesseMax = 0;
    float VitesseMin = 50;
    bool PremiereLigne = true;
    // The slowest speed, without the report's 50 mm/s start; 0 when no line has a speed.
    double VitesseMinFichier = 0;
    std::int64_t NombreLignes = 0; // lines of the file, comments included
};

// Told each line of the load pass once it is interpreted and shifted, with its speed.
class Verificateur;

class RecepteurLignes {
  public:
    virtual ~RecepteurLignes() = default;
    virtual void Ligne(const Interpreteur& interp, std::optional<double> vitesse) = 0;
};

// Tells each line to several receivers, in order; a null one is skipped.
class DiffuseLignes : public RecepteurLignes {
  public:
    DiffuseLignes(std::initializer_list<RecepteurLignes*> recepteurs) : recepteurs_(recepteurs) {}
    void Ligne(const Interpreteur& interp, std::optional<double> vitesse) override {
        for (RecepteurLignes* r : recepteurs_)
            if (r)
                r->Ligne(interp, vitesse);
    }

  private:
    std::vector<RecepteurLignes*> recepteurs_;
};

// Palette indexes of the two sides, in the report and on the drawing.
inline constexpr int CouleurGauche = 5;
inline constexpr int CouleurDroite = 15;

struct LigneRapport {
    int Couleur = 0;
    std::string Texte;
};
using Rapport = std::array<LigneRapport, 5>;

// Resets the interpreter state and `bilan`, reads `chemin` once, then sets TraceActif.
// With `fraisage` (already given its output path) the milling output is written and
// the markers recorded. A failure leaves the state where it stopped and no output;
// `avancement` is told the progress and may stop the pass (Annulation); `lignes` is
// told every line interpreted, and so is `verificateur`, called directly for speed.
void PasseChargement(const std::string& chemin, Interpreteur& interp, BilanCut& bilan,
                     EcrivainFraisage* fraisage = nullptr, Avancement* avancement = nullptr,
                     RecepteurLignes* lignes = nullptr, Verificateur* verificateur = nullptr);

// The report's five lines from the statistics, numbers in the text-area form.
Rapport FaitRapport(const BilanCut& bilan, const EtatCut& etat, const std::string& separateur);

#ifdef _WIN32
inline constexpr char SeparateurChemin = '\\';
#else
inline constexpr char SeparateurChemin = '/';
#endif

// The short name of a loaded file, which names its milling output: the file's own name.
std::string NomCourtPour(const std::string& chemin);

} // namespace parvel
