#pragma once
// The document and its run statistics, and the five-line run report.
#include <array>
#include <string>

namespace parvel {

struct BilanCut {
    double XGMin = 0, XGMax = 0, YGMin = 0, YGMax = 0;
    double XDMin = 0, XDMax = 0;
    float YDMin = 0, YDMax = 0;
    double Vitesse = 0, VitesseMax = 0;
    float VitesseMin = 50;
    bool PremiereLigne = true;
};

struct LigneRapport {
    int Couleur = 0;
    std::string Texte;
};
using Rapport = std::array<LigneRapport, 5>;

struct EtatCut;
// The report's five lines from the statistics, numbers in the text-area form.
Rapport FaitRapport(const BilanCut& bilan, const EtatCut& etat, const std::string& separateur);

#ifdef _WIN32
inline constexpr char SeparateurChemin = '\\';
#else
inline constexpr char SeparateurChemin = '/';
#endif

// The short name of a loaded file, which names its milling output: the file's own name.
// (For a file directly inside the project folder this is the path less the folder.)
std::string NomCourtPour(const std::string& chemin);

} // namespace parvel
