#include "cut/Interpreteur.h"

#include <cstring>

#include "cut/Calcul.h"
#include "cut/NombreCourant.h"
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

namespace {

// "XG:", "YG:", "XD:" or "YD:" with its value read; c0 is X or Y, c1 G or D.
void AppliquePosition(Interpreteur& in, char c0, char c1, double v) {
    EtatCut& e = in.Etat;
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
        if (e.TraceActif && in.Recepteur)
            in.Recepteur->Recoit({e.XGPrec, e.YGPrec, e.XG, e.YG, e.XDPrec, e.YDPrec, e.XD, e.YD,
                                  in.NumeroLigne, e.DureeSegment});
    }
}

void AppliqueDuree(EtatCut& e, double v) {
    e.DureeSegment = v;
    e.TempsTotal = EnSimple(e.TempsTotal + v);
}

bool EstPosition(char c0, char c1, char c2) {
    return c2 == ':' && (c0 == 'X' || c0 == 'Y') && (c1 == 'G' || c1 == 'D');
}

} // namespace

void Interpreteur::AnalyseLigne(std::string_view ligne) {
    EtatCut& e = Etat;
    e.Ligne = ligne;
    e.LongLigne = static_cast<std::int64_t>(ligne.size());
    e.Commande = {};
    // Only the blank separates tokens; IndexCar is the blank's 1-based position, and
    // one past the end plus one for the line's last token.
    const char* const d = ligne.data();
    const char* const fin = d + ligne.size();
    const char* p = d;
    for (;;) {
        // A position or a duration whose usual number ends at a blank or at the line's
        // end is taken at once; any other token is cut out and read the general way.
        const std::ptrdiff_t reste = fin - p;
        const char* nombre = nullptr;
        if (reste >= 3 && EstPosition(p[0], p[1], p[2]))
            nombre = p + 3;
        else if (reste >= 2 && p[0] == 'T' && p[1] == ':')
            nombre = p + 2;
        if (double v;
            nombre && (nombre = detail::LitCourant(d, nombre, fin, v)) && (nombre == fin || *nombre == ' ')) {
            e.IndexCar = nombre == fin ? e.LongLigne + 2 : nombre - d + 1;
            if (p[0] == 'T')
                AppliqueDuree(e, v);
            else
                AppliquePosition(*this, p[0], p[1], v);
            if (nombre == fin)
                return;
            p = nombre + 1;
            continue;
        }
        const void* b = reste > 0 ? std::memchr(p, ' ', static_cast<std::size_t>(reste)) : nullptr;
        if (!b) {
            e.Commande = std::string_view(p, static_cast<std::size_t>(reste));
            e.IndexCar = e.LongLigne + 2;
            TraiteCommande();
            return;
        }
        const char* k = static_cast<const char*>(b);
        e.Commande = std::string_view(p, static_cast<std::size_t>(k - p));
        e.IndexCar = k - d + 1;
        TraiteCommande();
        p = k + 1;
    }
}

void Interpreteur::TraiteCommande() {
    EtatCut& e = Etat;
    std::string_view c = e.Commande;
    e.Commande = {};
    if (c.size() < 2)
        return;
    if (c.size() >= 3) {
        const char c0 = c[0], c1 = c[1], c2 = c[2];
        if (EstPosition(c0, c1, c2)) {
            AppliquePosition(*this, c0, c1, LitNombre(c.substr(3)));
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
    if (c[0] == 'T' && c[1] == ':')
        AppliqueDuree(e, LitNombre(c.substr(2)));
}

} // namespace parvel
