// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Interpreteur.h"

#include <cmath>
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

enum class Mot { Aucun, XG, YG, XD, YD, T };

// The token a line's three bytes start, when it carries a number.
Mot MotDe(char c0, char c1, char c2) {
    if (c2 == ':') {
        if (c0 == 'X')
            return c1 == 'G' ? Mot::XG : c1 == 'D' ? Mot::XD : Mot::Aucun;
        if (c0 == 'Y')
            return c1 == 'G' ? Mot::YG : c1 == 'D' ? Mot::YD : Mot::Aucun;
    }
    return c0 == 'T' && c1 == ':' ? Mot::T : Mot::Aucun;
}

// "YD:" closes the line's point: zero shift, then the two segments.
void FermePoint(Interpreteur& in, double v) {
    EtatCut& e = in.Etat;
    e.YDPrec = e.YD;
    e.YD = EnSimple(v);
    e.XD = e.XD - e.ZeroX;
    e.XG = e.XG - e.ZeroX;
    if (e.TraceActif && in.Recepteur)
        in.Recepteur->Recoit(
            {e.XGPrec, e.YGPrec, e.XG, e.YG, e.XDPrec, e.YDPrec, e.XD, e.YD, in.NumeroLigne, e.DureeSegment});
}

inline void Applique(Interpreteur& in, Mot m, double v) {
    EtatCut& e = in.Etat;
    if (m != Mot::T && m != Mot::Aucun)
        in.PositionLue = true;
    switch (m) {
    case Mot::XG:
        e.XGPrec = e.XG;
        e.XG = v;
        break;
    case Mot::YG:
        e.YGPrec = e.YG;
        e.YG = v;
        e.PosYG = e.IndexCar;
        break;
    case Mot::XD:
        e.XDPrec = e.XD;
        e.XD = v;
        break;
    case Mot::YD:
        FermePoint(in, v);
        break;
    case Mot::T:
        e.DureeSegment = v;
        in.DureeLue += v;
        e.TempsTotal = EnSimple(e.TempsTotal + v);
        break;
    case Mot::Aucun:
        break;
    }
}

// The same for a token cut out, kept apart so that the line's loop has its own copy.
void AppliqueCommande(Interpreteur& in, Mot m, double v) {
    Applique(in, m, v);
}

} // namespace

void Interpreteur::AnalyseLigne(std::string_view ligne) {
    EtatCut& e = Etat;
    PositionLue = false;
    DureeLue = 0;
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
        if (const Mot m = reste >= 3 ? MotDe(p[0], p[1], p[2]) : Mot::Aucun; m != Mot::Aucun) {
            double v = 0;
            const char* q = detail::LitCourant(d, p + (m == Mot::T ? 2 : 3), fin, v);
            if (q && (q == fin || *q == ' ')) {
                e.IndexCar = q == fin ? e.LongLigne + 2 : q - d + 1;
                Applique(*this, m, v);
                if (q == fin)
                    return;
                p = q + 1;
                continue;
            }
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
        if (const Mot m = MotDe(c0, c1, c2); m != Mot::Aucun && m != Mot::T) {
            AppliqueCommande(*this, m, LitNombre(c.substr(3)));
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
        AppliqueCommande(*this, Mot::T, LitNombre(c.substr(2)));
}

} // namespace parvel
