// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Chargeur.h"

#include <cmath>
#include <type_traits>

#include "cut/Avancement.h"
#include "cut/Calcul.h"
#include "cut/Erreur.h"
#include "cut/Fichiers.h"
#include "cut/Fraisage.h"
#include "cut/LecteurLignes.h"
#include "cut/Nombres.h"
#include "cut/Verifications.h"

namespace parvel {

Rapport FaitRapport(const BilanCut& b, const EtatCut& e, const std::string& sep) {
    auto simple = [&](float v) { return TexteRapport(v, ChiffresSimple, sep); };
    auto dbl = [&](double v) { return TexteRapport(v, ChiffresDouble, sep); };
    // The minimum and the minutes/seconds are single-precision computations, the
    // maximum a double one; the report shows the difference.
    const float vmin = std::floor(b.VitesseMin * 10.0f) / 10.0f;
    const double vmax = std::floor(Verifie(b.VitesseMax * 10.0)) / 10.0;
    const float mn = std::floor(e.TempsTotal / 60.0f);
    const float s = std::floor(e.TempsTotal - mn * 60.0f);
    Rapport r;
    r[0] = {0, "  Vitesse min/max :" + simple(vmin) + "/" + dbl(vmax) + "mm/s"};
    r[1] = {0, "  Temps de découpe :" + simple(mn) + "mn" + simple(s) + "s"};
    r[2] = {0, "  Position Zéro en X: " + simple(e.ZeroX)};
    r[3] = {CouleurGauche, "  A gauche : X de" + dbl(std::floor(b.XGMin)) + "à" + dbl(std::floor(b.XGMax)) +
                               " et Y de" + dbl(std::floor(b.YGMin)) + "à" + dbl(std::floor(b.YGMax))};
    r[4] = {CouleurDroite, "  A droite : X de" + dbl(std::floor(b.XDMin)) + "à" + dbl(std::floor(b.XDMax)) +
                               " et Y de" + simple(std::floor(b.YDMin)) + "à" + simple(std::floor(b.YDMax))};
    return r;
}

std::string NomCourtPour(const std::string& chemin) {
    std::size_t p = chemin.find_last_of(SeparateurChemin == '/' ? "/" : "\\/");
    return p == std::string::npos ? chemin : chemin.substr(p + 1);
}

void PasseChargement(const std::string& chemin, Interpreteur& interp, BilanCut& b, EcrivainFraisage* fraisage,
                     Avancement* avancement, RecepteurLignes* lignes, Verificateur* verificateur) {
    EtatCut& e = interp.Etat;
    e.RemetPositions();
    e.DureeSegment = 0;
    e.TempsTotal = 0;
    e.TraceActif = false;
    b = BilanCut{};

    LecteurLignes lecteur(chemin);
    SuiviLecture suivi(avancement, chemin);
    // A link from the output to the input would have the output replace the file it reads.
    if (fraisage && MemeFichier(CheminNatif(fraisage->Chemin()), CheminNatif(chemin)))
        throw ErreurParvel(ErrAccesChemin, RoleFichier::SortieFraisage, fraisage->Chemin(),
                           "c'est le fichier lu");
    if (fraisage)
        fraisage->Ouvre();
    e.ZeroX = 0;
    std::int64_t numero = 0;
    // Twice over, with the checker inlined or without it.
    auto boucle = [&](auto verificateur) {
        while (!lecteur.Fin()) {
            std::string_view ligne = lecteur.LitLigne();
            ++numero;
            suivi.Ligne(ligne.size());
            // One comment line is skipped; a comment line right after it is read as commands.
            // Intended, not a slip: the redraw skips none (see DessineCut), and files
            // written for this behaviour rely on both.
            if (ligne.size() >= 2 && ligne[0] == '/' && ligne[1] == '/') {
                if (lecteur.Fin())
                    break;
                ligne = lecteur.LitLigne();
                ++numero;
                suivi.Ligne(ligne.size());
            }
            interp.NumeroLigne = numero;
            interp.AnalyseLigne(ligne);
            if (b.PremiereLigne) {
                // The first line fixes the X zero and never yields a speed.
                e.ZeroX = EnSimple(e.XG);
                e.XD = e.XD - e.ZeroX;
                e.XG = e.XG - e.ZeroX;
                e.XGPrec = 0;
                e.DureeSegment = 0;
            }
            if (fraisage)
                fraisage->Etape(e, b.PremiereLigne);
            // Whether the line widens the extents, which the checker's travel check uses.
            bool etendue = false;
            auto plus = [&etendue](auto v, auto& max) {
                if (v > max) {
                    max = v;
                    etendue = true;
                }
            };
            auto moins = [&etendue](auto v, auto& min) {
                if (v < min) {
                    min = v;
                    etendue = true;
                }
            };
            plus(e.XG, b.XGMax);
            moins(e.XG, b.XGMin);
            plus(e.YG, b.YGMax);
            moins(e.YG, b.YGMin);
            plus(e.XD, b.XDMax);
            moins(e.XD, b.XDMin);
            plus(e.YD, b.YDMax);
            moins(e.YD, b.YDMin);
            b.PremiereLigne = false;
            // A pause moves nothing: its duration gives no speed.
            const std::optional<double> v = VitesseLigne(interp);
            if (v) {
                b.Vitesse = *v;
                if (b.Vitesse > b.VitesseMax)
                    b.VitesseMax = b.Vitesse;
                if (b.Vitesse > 0 && b.Vitesse < b.VitesseMin)
                    b.VitesseMin = static_cast<float>(b.Vitesse);
                if (b.Vitesse > 0 && (b.VitesseMinFichier == 0 || b.Vitesse < b.VitesseMinFichier))
                    b.VitesseMinFichier = b.Vitesse;
            }
            if constexpr (!std::is_same_v<decltype(verificateur), std::nullptr_t>)
                verificateur->Verifie(interp, etendue);
            if (lignes)
                lignes->Ligne(interp, v);
        }
    };
    try {
        if (verificateur)
            boucle(verificateur);
        else
            boucle(nullptr);
        b.NombreLignes = numero;
        e.TraceActif = true;
        if (fraisage)
            fraisage->Termine(e);
    } catch (...) {
        if (fraisage)
            fraisage->Ferme();
        throw;
    }
}

} // namespace parvel
