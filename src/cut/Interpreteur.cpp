#include "cut/Interpreteur.h"

#include <cstring>

#include "cut/Calcul.h"
#include "cut/Nombres.h"

namespace parvel {

void EtatCut::RemetPositions() {
    XG = YG = XD = 0;
    YD = 0;
    XGPrec = YGPrec = XDPrec = 0;
    YDPrec = 0;
    RelXG = RelYG = RelXD = 0;
    RelYD = 0;
}

void Interpreteur::AnalyseLigne(std::string_view ligne) {
    EtatCut& e = Etat;
    e.Ligne = ligne;
    e.LongLigne = static_cast<std::int64_t>(ligne.size());
    e.Commande = {};
    // Only the blank separates tokens; IndexCar is the blank's 1-based position, and
    // one past the end plus one for the line's last token.
    const char* d = ligne.data();
    std::size_t n = ligne.size();
    std::size_t debut = 0;
    while (debut < n) {
        const void* b = std::memchr(d + debut, ' ', n - debut);
        if (!b)
            break;
        std::size_t k = static_cast<std::size_t>(static_cast<const char*>(b) - d);
        e.Commande = ligne.substr(debut, k - debut);
        e.IndexCar = static_cast<std::int64_t>(k) + 1;
        TraiteCommande();
        debut = k + 1;
    }
    e.Commande = ligne.substr(debut < n ? debut : n);
    e.IndexCar = e.LongLigne + 2;
    TraiteCommande();
}

void Interpreteur::TraiteCommande() {
    EtatCut& e = Etat;
    std::string_view c = e.Commande;
    e.Commande = {};
    if (c.size() < 2)
        return;
    if (c.size() >= 3) {
        const char c0 = c[0], c1 = c[1], c2 = c[2];
        if (c2 == ':' && (c0 == 'X' || c0 == 'Y') && (c1 == 'G' || c1 == 'D')) {
            const double v = LitNombre(c.substr(3));
            if (c0 == 'X' && c1 == 'G') {
                e.XGPrec = e.XG;
                e.XG = v;
            } else if (c0 == 'Y' && c1 == 'G') {
                e.YGPrec = e.YG;
                e.YG = v;
                e.PosYG = e.IndexCar;
            } else if (c0 == 'X') {
                e.XDPrec = e.XD;
                e.XD = v;
            } else {
                // "YD:" closes the line's point: zero shift, then the two segments.
                e.YDPrec = e.YD;
                e.YD = EnSimple(v);
                e.XD = e.XD - e.ZeroX;
                e.XG = e.XG - e.ZeroX;
                if (e.TraceActif && Recepteur)
                    Recepteur->Recoit({e.XGPrec, e.YGPrec, e.XG, e.YG, e.XDPrec, e.YDPrec, e.XD, e.YD,
                                       NumeroLigne, e.DureeSegment});
            }
            return;
        }
        if ((c0 == '-' || c0 == '+') && (c1 == 'X' || c1 == 'Y') && (c2 == 'G' || c2 == 'D')) {
            const double pas = c1 == 'X' ? MmParPasX : MmParPasY;
            const double sens = c0 == '-' ? -1.0 : 1.0;
            if (c1 == 'X' && c2 == 'G')
                e.RelXG += sens * pas;
            else if (c1 == 'Y' && c2 == 'G')
                e.RelYG += sens * pas;
            else if (c1 == 'X')
                e.RelXD += sens * pas;
            else
                e.RelYD = EnSimple(e.RelYD + sens * pas);
            return;
        }
    }
    if (c[0] == 'T' && c[1] == ':') {
        e.DureeSegment = LitNombre(c.substr(2));
        e.TempsTotal = EnSimple(e.TempsTotal + e.DureeSegment);
    }
}

} // namespace parvel
