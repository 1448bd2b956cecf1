// SPDX-License-Identifier: GPL-3.0-or-later
#include "GenerateurAile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <ostream>
#include <random>
#include <stdexcept>
#include <vector>

#include "cut/Nombres.h"

namespace parvel::aile {

namespace {

// Lines outside the passes: the header comment, the start point, the heating pause,
// the jog line; at the end a comment and the cooling pause.
constexpr long long LignesEntete = 4;
constexpr long long LignesFin = 2;
// Per pass: its comment, the lead-in, a pause, the profile, a pause, the lead-out.
constexpr long long LignesParPasse = 5;
constexpr long long PointsMin = 4;
// Arc-length table of the root airfoil, used to space the points evenly along it.
constexpr int PasTable = 4096;

struct Point {
    double x = 0, y = 0;
};

Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
Point operator*(double k, Point a) {
    return {k * a.x, k * a.y};
}

struct Naca4 {
    double m = 0, p = 0, t = 0; // camber, its position, thickness, as chord fractions

    // u runs once round the airfoil in chord units: 0 at the trailing edge, along the
    // upper surface to the leading edge at 0.5, back along the lower one to 1. The
    // closed trailing-edge form makes both ends meet exactly.
    Point En(double u) const {
        if (u <= 0 || u >= 1)
            return {1, 0};
        const double x = (1 + std::cos(2 * std::numbers::pi * u)) / 2;
        const double yt = 5 * t *
                          (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                           0.1036 * x * x * x * x);
        double yc = 0, pente = 0;
        if (m > 0 && p > 0) {
            if (x < p) {
                yc = m / (p * p) * (2 * p * x - x * x);
                pente = 2 * m / (p * p) * (p - x);
            } else {
                yc = m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
                pente = 2 * m / ((1 - p) * (1 - p)) * (p - x);
            }
        }
        const double th = std::atan(pente);
        const double sens = u < 0.5 ? 1.0 : -1.0;
        return {x - sens * yt * std::sin(th), yc + sens * yt * std::cos(th)};
    }
};

bool LitNaca(const std::string& s, Naca4& n) {
    if (s.size() != 4 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    n.m = (s[0] - '0') / 100.0;
    n.p = (s[1] - '0') / 10.0;
    n.t = ((s[2] - '0') * 10 + (s[3] - '0')) / 100.0;
    return n.t > 0 && (n.m == 0) == (n.p == 0);
}

double Arrondi(double v, double echelle) {
    double r = std::round(v * echelle) / echelle;
    return r == 0 ? 0.0 : r; // no "-0"
}

// Plans the passes so that the file has exactly the requested number of lines.
struct Plan {
    long long passes = 0, points = 0, reste = 0; // pass k has points + (k < reste) points
};

Plan FaitPlan(long long lignes, long long pointsMax) {
    const long long utiles = lignes - LignesEntete - LignesFin;
    Plan pl;
    pl.passes = (utiles + pointsMax + LignesParPasse - 1) / (pointsMax + LignesParPasse);
    const long long points = utiles - LignesParPasse * pl.passes;
    pl.points = points / pl.passes;
    pl.reste = points % pl.passes;
    return pl;
}

class Redacteur {
  public:
    Redacteur(std::ostream& sortie, ResumeAile& resume) : sortie_(sortie), resume_(resume) {
        tampon_.reserve(TailleTampon + 256);
    }

    void Commentaire(const std::string& texte) {
        tampon_ += "// ";
        tampon_ += texte;
        FinLigne();
    }
    void Texte(const std::string& texte) {
        tampon_ += texte;
        FinLigne();
    }
    // The first point: no duration of its own.
    void Depart(Point g, Point d) {
        g_ = Arrondis(g);
        d_ = Arrondis(d);
        Ecrit(0);
    }
    void Pause(double secondes) { Ecrit(Arrondi(secondes, 1e4)); }
    // Timed so that the carriage with the longer move runs at `vitesse`.
    void Va(Point g, Point d, double vitesse) {
        const Point ng = Arrondis(g), nd = Arrondis(d);
        const double lg = std::hypot(ng.x - g_.x, ng.y - g_.y);
        const double ld = std::hypot(nd.x - d_.x, nd.y - d_.y);
        // Rounded down, so that no segment reads slower than the feed asked for.
        double duree = std::floor(std::max(lg, ld) / vitesse * 1e4) / 1e4;
        if (duree == 0 && (lg > 0 || ld > 0))
            duree = 1e-4;
        g_ = ng;
        d_ = nd;
        Ecrit(duree);
    }
    void Termine() {
        Vide();
        sortie_.flush();
    }

  private:
    static constexpr std::size_t TailleTampon = 1 << 20;

    static Point Arrondis(Point p) { return {Arrondi(p.x, 1e3), Arrondi(p.y, 1e3)}; }

    void Ecrit(double duree) {
        tampon_ += "T:";
        tampon_ += TexteFixe(duree, ChiffresDouble);
        tampon_ += " XG:";
        tampon_ += TexteFixe(g_.x, ChiffresDouble);
        tampon_ += " YG:";
        tampon_ += TexteFixe(g_.y, ChiffresDouble);
        tampon_ += " XD:";
        tampon_ += TexteFixe(d_.x, ChiffresDouble);
        tampon_ += " YD:";
        tampon_ += TexteFixe(d_.y, ChiffresDouble);
        resume_.TempsTotal += duree;
        FinLigne();
    }
    void FinLigne() {
        tampon_ += "\r\n";
        ++resume_.Lignes;
        if (tampon_.size() >= TailleTampon)
            Vide();
    }
    void Vide() {
        sortie_.write(tampon_.data(), static_cast<std::streamsize>(tampon_.size()));
        resume_.Octets += tampon_.size();
        tampon_.clear();
    }

    std::ostream& sortie_;
    ResumeAile& resume_;
    std::string tampon_;
    Point g_, d_;
};

// Uniform jitter in [-a, a], the same on every platform for a given seed.
class Bruit {
  public:
    Bruit(double amplitude, std::uint64_t graine) : a_(amplitude), gen_(graine) {}
    Point Tire() {
        if (a_ == 0)
            return {};
        const double x = Un(), y = Un();
        return {(2 * x - 1) * a_, (2 * y - 1) * a_};
    }

  private:
    double Un() { return static_cast<double>(gen_() >> 11) * 0x1.0p-53; }
    double a_;
    std::mt19937_64 gen_;
};

std::string Chiffre(double v) {
    return TexteFixe(Arrondi(v, 1e3), ChiffresDouble);
}

} // namespace

long long LignesMin() {
    return LignesEntete + LignesFin + LignesParPasse + PointsMin;
}

std::string VerifieParam(const ParamAile& p) {
    Naca4 n;
    if (!LitNaca(p.ProfilEmplanture, n) || !LitNaca(p.ProfilSaumon, n))
        return "profil NACA à 4 chiffres attendu (par exemple 2412 ou 0012)";
    auto fini = [](double v) { return std::isfinite(v); };
    if (!fini(p.CordeEmplanture) || p.CordeEmplanture <= 0 || p.CordeEmplanture > 1e5)
        return "corde d'emplanture hors limites";
    if (!fini(p.Effilement) || p.Effilement <= 0 || p.Effilement > 10)
        return "effilement hors limites";
    if (!fini(p.Fleche) || !fini(p.Vrillage) || std::fabs(p.Vrillage) > 45 || !fini(p.BordAttaque) ||
        !fini(p.Hauteur) || !fini(p.Entree) || p.Entree < 0 || std::fabs(p.Fleche) > 1e5 ||
        std::fabs(p.BordAttaque) > 1e5 || std::fabs(p.Hauteur) > 1e5 || p.Entree > 1e5)
        return "géométrie hors limites";
    if (!fini(p.LargeurMachine) || !fini(p.BlocGauche) || !fini(p.BlocDroit) || p.BlocGauche < 0 ||
        p.BlocDroit <= p.BlocGauche || p.LargeurMachine < p.BlocDroit || p.LargeurMachine > 1e5)
        return "il faut 0 <= bloc gauche < bloc droit <= largeur machine";
    if (!fini(p.Vitesse) || !fini(p.VitesseApproche) || p.Vitesse <= 0 || p.VitesseApproche <= 0)
        return "vitesses positives attendues";
    if (!fini(p.Chauffe) || !fini(p.PauseBord) || p.Chauffe < 0 || p.PauseBord < 0)
        return "pauses positives ou nulles attendues";
    if (p.Lignes < LignesMin())
        return "au moins " + std::to_string(LignesMin()) + " lignes";
    if (p.PointsMax < 20)
        return "au moins 20 points par passe";
    if (!fini(p.Bruit) || p.Bruit < 0 || p.Bruit > 100)
        return "bruit entre 0 et 100 mm";
    return {};
}

ResumeAile EcritAile(const ParamAile& p, std::ostream& sortie) {
    if (std::string raison = VerifieParam(p); !raison.empty())
        throw std::invalid_argument(raison);
    Naca4 racine, bout;
    LitNaca(p.ProfilEmplanture, racine);
    LitNaca(p.ProfilSaumon, bout);

    // Even spacing along the root airfoil; the tip takes the same chord stations, so
    // the wire stays on matching points of the two faces.
    std::vector<double> arc(PasTable + 1, 0.0);
    for (int i = 1; i <= PasTable; ++i) {
        Point a = racine.En((i - 1) / double(PasTable)), b = racine.En(i / double(PasTable));
        arc[i] = arc[i - 1] + std::hypot(b.x - a.x, b.y - a.y);
    }
    const double sBA = arc[PasTable / 2] / arc.back(); // the leading edge's share of the perimeter
    auto stationA = [&](double s) {                    // s in [0, 1] of the perimeter -> u
        const double cible = s * arc.back();
        auto it = std::lower_bound(arc.begin(), arc.end(), cible);
        if (it == arc.begin())
            return 0.0;
        if (it == arc.end())
            return 1.0;
        const auto i = static_cast<int>(it - arc.begin());
        const double f = (cible - arc[i - 1]) / (arc[i] - arc[i - 1]);
        return (i - 1 + f) / PasTable;
    };

    const double cr = p.CordeEmplanture, ct = cr * p.Effilement;
    const Point bfR{p.BordAttaque + cr, p.Hauteur};            // trailing edges
    const Point bfT{p.BordAttaque + p.Fleche + ct, p.Hauteur}; // (the tip turns about its own)
    const double cv = std::cos(p.Vrillage * std::numbers::pi / 180);
    const double sv = std::sin(p.Vrillage * std::numbers::pi / 180);
    auto faceRacine = [&](Point q) { return Point{p.BordAttaque + cr * q.x, p.Hauteur + cr * q.y}; };
    auto faceBout = [&](Point q) {
        const Point r{ct * (q.x - 1), ct * q.y}; // from the trailing edge
        return bfT + Point{r.x * cv - r.y * sv, r.x * sv + r.y * cv};
    };
    // The wire through a point of each face, extended to the carriage planes.
    const double epaisseur = p.BlocDroit - p.BlocGauche;
    const double kG = (0 - p.BlocGauche) / epaisseur, kD = (p.LargeurMachine - p.BlocGauche) / epaisseur;
    auto chariots = [&](Point r, Point t, Point& g, Point& d) {
        g = r + kG * (t - r);
        d = r + kD * (t - r);
    };

    Point departG, departD, bordG, bordD;
    chariots(bfR + Point{p.Entree, 0}, bfT + Point{p.Entree, 0}, departG, departD);
    chariots(bfR, bfT, bordG, bordD);

    const Plan plan = FaitPlan(p.Lignes, p.PointsMax);
    ResumeAile resume;
    resume.Passes = plan.passes;
    resume.PointsParPasse = plan.points + (plan.reste > 0 ? 1 : 0);
    Redacteur r(sortie, resume);
    Bruit bruit(p.Bruit, p.Graine);

    r.Commentaire("Noyau d'aile NACA " + p.ProfilEmplanture + "/" + p.ProfilSaumon + " cordes " +
                  Chiffre(cr) + "/" + Chiffre(ct) + " mm fleche " + Chiffre(p.Fleche) + " mm vrillage " +
                  Chiffre(p.Vrillage) + " deg vitesse " + Chiffre(p.Vitesse) + " mm/s");
    r.Depart(departG, departD);
    r.Pause(p.Chauffe);
    // A jog of one motor step out and back on every axis, to take up the backlash.
    r.Texte("+XG +YG -XG -YG +XD +YD -XD -YD");
    for (long long k = 0; k < plan.passes; ++k) {
        const long long n = plan.points + (k < plan.reste ? 1 : 0);
        r.Commentaire("Passe " + std::to_string(k + 1) + "/" + std::to_string(plan.passes) + " " +
                      std::to_string(n) + " points");
        r.Va(bordG, bordD, p.VitesseApproche);
        r.Pause(p.PauseBord);
        // The upper surface ends exactly on the leading edge, the lower one on the trailing edge.
        const long long dessus = (n + 1) / 2, dessous = n - dessus;
        for (long long i = 1; i <= n; ++i) {
            const double s = i <= dessus ? sBA * static_cast<double>(i) / static_cast<double>(dessus)
                                         : sBA + (1 - sBA) * static_cast<double>(i - dessus) /
                                                     static_cast<double>(dessous);
            const double u = i == dessus ? 0.5 : stationA(s);
            Point fr = faceRacine(racine.En(u)), ft = faceBout(bout.En(u));
            if (i < n) { // the profile closes exactly on the trailing edge
                fr = fr + bruit.Tire();
                ft = ft + bruit.Tire();
            } else {
                fr = bfR;
                ft = bfT;
            }
            Point g, d;
            chariots(fr, ft, g, d);
            r.Va(g, d, p.Vitesse);
        }
        r.Pause(p.PauseBord);
        r.Va(departG, departD, p.VitesseApproche);
    }
    r.Commentaire("Fin de decoupe");
    r.Pause(1);
    r.Termine();
    if (!sortie)
        throw std::runtime_error("écriture impossible");
    return resume;
}

ResumeAile EcritAile(const ParamAile& p, const std::string& chemin) {
    if (std::string raison = VerifieParam(p); !raison.empty())
        throw std::invalid_argument(raison);
    std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
    if (!f)
        throw std::runtime_error("impossible de créer " + chemin);
    ResumeAile r = EcritAile(p, f);
    f.close();
    if (!f)
        throw std::runtime_error("écriture impossible dans " + chemin);
    return r;
}

} // namespace parvel::aile
