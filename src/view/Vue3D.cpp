// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/Vue3D.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "cut/Avancement.h"
#include "cut/Chargeur.h"
#include "cut/LecteurLignes.h"
#include "view/Vue.h"

namespace parvel {

namespace {

constexpr double Radians = std::numbers::pi / 180;
constexpr float Loin = -std::numeric_limits<float>::infinity();

std::uint32_t Teinte(std::uint32_t rgb, double f) {
    auto canal = [&](int decalage) {
        const double v = static_cast<double>((rgb >> decalage) & 0xFF) * f;
        return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0)) << decalage;
    };
    return canal(16) | canal(8) | canal(0);
}

std::uint32_t Melange(std::uint32_t dessous, std::uint32_t dessus, double a) {
    auto canal = [&](int d) {
        const double x = static_cast<double>((dessous >> d) & 0xFF),
                     y = static_cast<double>((dessus >> d) & 0xFF);
        return static_cast<std::uint32_t>(std::lround(x + (y - x) * a)) << d;
    };
    return canal(16) | canal(8) | canal(0);
}

} // namespace

void Camera3D::Orbite(double dxPx, double dyPx) {
    Azimut = std::remainder(Azimut + dxPx / 3, 360.0);
    Elevation = std::clamp(Elevation + dyPx / 3, -89.0, 89.0);
}

void Camera3D::Zoome(int crans) {
    Zoom = std::clamp(Zoom * std::pow(1.25, crans), 0.05, 50.0);
}

Rendu3D::Rendu3D(int largeurPx, int hauteurPx) {
    Redimensionne(largeurPx, hauteurPx);
}

void Rendu3D::Redimensionne(int l, int h) {
    largeur_ = std::clamp(l, 1, 16384);
    hauteur_ = std::clamp(h, 1, 16384);
    const std::size_t n = static_cast<std::size_t>(largeur_) * static_cast<std::size_t>(hauteur_);
    couleurs_.assign(n, Fond);
    profondeurs_.assign(n, Loin);
    voileProfondeur_.assign(n, Loin);
    voileCouches_.assign(n, 0);
}

void Rendu3D::Prepare(const Scene3D& s, const Camera3D& c) {
    geometrie_ = s.Geometrie;
    const double L = s.Geometrie.L;
    cx_ = (s.XMin + s.XMax) / 2;
    cy_ = (s.YMin + s.YMax) / 2;
    cz_ = L / 2;
    ca_ = std::cos(c.Azimut * Radians);
    sa_ = std::sin(c.Azimut * Radians);
    ce_ = std::cos(c.Elevation * Radians);
    se_ = std::sin(c.Elevation * Radians);
    echelle_ = 1;
    // The scale that fits the eight corners of the machine's box, with a margin.
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool premier = true;
    for (int i = 0; i < 8; ++i) {
        const PointEcran p = Projette(i & 1 ? s.XMax : s.XMin, i & 2 ? s.YMax : s.YMin, i & 4 ? L : 0);
        const double x = p.X - largeur_ / 2.0, y = p.Y - hauteur_ / 2.0;
        x0 = premier ? x : std::min(x0, x), x1 = premier ? x : std::max(x1, x);
        y0 = premier ? y : std::min(y0, y), y1 = premier ? y : std::max(y1, y);
        premier = false;
    }
    const double ex = std::max(std::fabs(x0), std::fabs(x1)) * 2,
                 ey = std::max(std::fabs(y0), std::fabs(y1)) * 2;
    double e = std::min(ex > 0 ? largeur_ / ex : 1e9, ey > 0 ? hauteur_ / ey : 1e9);
    if (!std::isfinite(e) || e <= 0 || e >= 1e9)
        e = 1;
    echelle_ = e * 0.92 * (c.Zoom > 0 && std::isfinite(c.Zoom) ? c.Zoom : 1);
    biais_ = std::max({s.XMax - s.XMin, s.YMax - s.YMin, L}) * 0.004;
}

PointEcran Rendu3D::Projette(double x, double y, double z) const {
    const double px = x - cx_, py = y - cy_, pz = z - cz_;
    const double x1 = px * sa_ + pz * ca_;
    const double z1 = -px * ca_ + pz * sa_;
    const double y2 = py * ce_ + z1 * se_;
    const double z2 = -py * se_ + z1 * ce_;
    return {largeur_ / 2.0 + x1 * echelle_, hauteur_ / 2.0 - y2 * echelle_, -z2};
}

void Rendu3D::Triangle(const Sommet& a, const Sommet& b, const Sommet& c, std::uint32_t couleur, bool voile) {
    // Depth as a plane over the screen; a triangle seen edge-on fills nothing.
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - a.x, vy = c.y - a.y;
    const double det = ux * vy - uy * vx;
    if (!(std::fabs(det) > 1e-12))
        return;
    const double dp1 = b.p - a.p, dp2 = c.p - a.p;
    const double gx = (dp1 * vy - dp2 * uy) / det, gy = (dp2 * ux - dp1 * vx) / det;
    const double ymin = std::min({a.y, b.y, c.y}), ymax = std::max({a.y, b.y, c.y});
    const int r0 = std::max(0, static_cast<int>(std::floor(ymin)));
    const int r1 = std::min(hauteur_ - 1, static_cast<int>(std::floor(ymax)));
    const Sommet* const s[3] = {&a, &b, &c};
    for (int r = r0; r <= r1; ++r) {
        // The span at the row's centre, held within the triangle: a sliver thinner than
        // a pixel still covers the pixels it crosses, so the surface has no holes.
        const double y = std::clamp(r + 0.5, ymin, ymax);
        double xl = std::numeric_limits<double>::infinity(), xr = -xl;
        for (int i = 0; i < 3; ++i) {
            const Sommet& p = *s[i];
            const Sommet& q = *s[(i + 1) % 3];
            if (y < std::min(p.y, q.y) || y > std::max(p.y, q.y))
                continue;
            if (p.y == q.y) {
                xl = std::min({xl, p.x, q.x});
                xr = std::max({xr, p.x, q.x});
            } else {
                const double x = p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y);
                xl = std::min(xl, x);
                xr = std::max(xr, x);
            }
        }
        if (xl > xr)
            continue;
        const int c0 = std::max(0, static_cast<int>(std::floor(xl)));
        const int c1 = std::min(largeur_ - 1, static_cast<int>(std::floor(xr)));
        const std::size_t ligne = static_cast<std::size_t>(r) * static_cast<std::size_t>(largeur_);
        for (int col = c0; col <= c1; ++col) {
            const float p = static_cast<float>(a.p + gx * (col + 0.5 - a.x) + gy * (y - a.y));
            const std::size_t i = ligne + static_cast<std::size_t>(col);
            if (voile) {
                voileProfondeur_[i] = std::max(voileProfondeur_[i], p);
                if (voileCouches_[i] < 255)
                    ++voileCouches_[i];
            } else if (p > profondeurs_[i]) {
                profondeurs_[i] = p;
                couleurs_[i] = couleur;
            }
        }
    }
}

void Rendu3D::Trait(const Sommet& a, const Sommet& b, std::optional<std::uint32_t> couleur,
                    std::optional<std::uint32_t> cachee) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double n = std::ceil(std::max(std::fabs(dx), std::fabs(dy)));
    if (!std::isfinite(n) || n > 1e6)
        return;
    const int pas = std::max(1, static_cast<int>(n));
    for (int k = 0; k <= pas; ++k) {
        const double t = static_cast<double>(k) / pas;
        const double x = a.x + dx * t, y = a.y + dy * t;
        if (x < 0 || y < 0 || x >= largeur_ || y >= hauteur_)
            continue;
        const std::size_t i =
            static_cast<std::size_t>(y) * static_cast<std::size_t>(largeur_) + static_cast<std::size_t>(x);
        const double p = a.p + (b.p - a.p) * t;
        if (p + biais_ >= profondeurs_[i]) {
            if (couleur) {
                couleurs_[i] = *couleur;
                profondeurs_[i] = std::max(profondeurs_[i], static_cast<float>(p));
            }
        } else if (cachee) {
            couleurs_[i] = *cachee;
        }
    }
}

void Rendu3D::Quadrilatere(const double g0[2], const double d0[2], const double g1[2], const double d1[2],
                           bool inverse) {
    const GeometrieBloc& g = geometrie_;
    const double z[4] = {0, g.d, g.d + g.w, g.L};
    auto point = [&](const double* gp, const double* dp, double zz) {
        const double t = zz / g.L;
        const PointEcran e = Projette(gp[0] + (dp[0] - gp[0]) * t, gp[1] + (dp[1] - gp[1]) * t, zz);
        return Sommet{e.X, e.Y, e.Profondeur};
    };
    Sommet a[4], b[4];
    for (int i = 0; i < 4; ++i) {
        a[i] = point(g0, d0, z[i]);
        b[i] = point(g1, d1, z[i]);
    }
    // Lit by a light over the viewer's left shoulder, either side of the surface alike.
    // Depths are millimetres, screen positions pixels: both in pixels for the normal.
    const double ux = a[2].x - a[1].x, uy = a[2].y - a[1].y, up = (a[2].p - a[1].p) * echelle_;
    const double vx = b[1].x - a[1].x, vy = b[1].y - a[1].y, vp = (b[1].p - a[1].p) * echelle_;
    const double nx = uy * vp - up * vy, ny = up * vx - ux * vp, np = ux * vy - uy * vx;
    const double nn = std::sqrt(nx * nx + ny * ny + np * np);
    double lum = 0.75;
    if (nn > 0) {
        constexpr double lx = -0.35, ly = -0.55, lp = 0.76; // screen y grows downward
        lum = 0.3 + 0.7 * std::fabs((nx * lx + ny * ly + np * lp) / nn);
    }
    const std::uint32_t dedans = Teinte(inverse ? CouleurInverse : CouleurBloc, lum);
    for (int k = 0; k < 3; ++k) {
        if (z[k + 1] <= z[k])
            continue;
        const bool voile = k != 1;
        Triangle(a[k], a[k + 1], b[k + 1], dedans, voile);
        Triangle(a[k], b[k + 1], b[k], dedans, voile);
    }
}

// Streams the file: the surface between the wire's positions a pixel apart, each path
// (carriages, faces) as a polyline whose points a pixel apart are joined.
class TraceurRendu3D final : public RecepteurSegments {
  public:
    explicit TraceurRendu3D(Rendu3D& r) : r_(r) {}
    void Recoit(const Segment& s) override {
        const double g[2] = {s.XG, s.YG}, d[2] = {s.XD, s.YD};
        const GeometrieBloc& geo = r_.geometrie_;
        const bool inverse =
            LigneInversee({s.XGPrec, s.YGPrec, s.XDPrec, s.YDPrec}, {s.XG, s.YG, s.XD, s.YD}, geo);
        const PointEcran pg = r_.Projette(g[0], g[1], 0), pd = r_.Projette(d[0], d[1], geo.L);
        if (!a_) {
            // The first position comes from the origin as the 2D drawing's first segment does.
            Retiens(s.XGPrec, s.YGPrec, s.XDPrec, s.YDPrec);
        }
        const bool loin = std::max({std::fabs(pg.X - eg_.X), std::fabs(pg.Y - eg_.Y), std::fabs(pd.X - ed_.X),
                                    std::fabs(pd.Y - ed_.Y)}) >= 1.0;
        if (loin || inverse) {
            if (Nouveau(pg, pd)) {
                r_.Quadrilatere(g0_, d0_, g, d, inverse);
                Chemins(g, d, inverse);
            }
            Retiens(g[0], g[1], d[0], d[1]);
        } else {
            reste_ = true;
            dernier_[0] = g[0], dernier_[1] = g[1], dernier_[2] = d[0], dernier_[3] = d[1];
        }
    }
    void Termine() {
        if (reste_) {
            const double g[2] = {dernier_[0], dernier_[1]}, d[2] = {dernier_[2], dernier_[3]};
            r_.Quadrilatere(g0_, d0_, g, d, false);
            Chemins(g, d, false);
        }
    }

  private:
    // A cut that goes over the same path again (passes of a wing, say) draws the same
    // pixels again: a quadrilateral whose four corners fall in the same pixels as one
    // already drawn is passed over. The table is a fixed set of bits, so a rare false
    // match leaves a pixel-wide gap at worst.
    bool Nouveau(const PointEcran& pg, const PointEcran& pd) {
        const double v[8] = {eg_.X, eg_.Y, ed_.X, ed_.Y, pg.X, pg.Y, pd.X, pd.Y};
        std::uint64_t h = 1469598103934665603ull;
        for (const double x : v) {
            const auto px = static_cast<std::int64_t>(std::floor(std::clamp(x, -1e9, 1e9)));
            h = (h ^ static_cast<std::uint64_t>(px)) * 1099511628211ull;
            h ^= h >> 29;
        }
        const std::size_t i = static_cast<std::size_t>(h % (vus_.size() * 64));
        std::uint64_t& mot = vus_[i / 64];
        const std::uint64_t bit = std::uint64_t{1} << (i % 64);
        if (mot & bit)
            return false;
        mot |= bit;
        return true;
    }
    void Retiens(double xg, double yg, double xd, double yd) {
        g0_[0] = xg, g0_[1] = yg, d0_[0] = xd, d0_[1] = yd;
        eg_ = r_.Projette(xg, yg, 0);
        ed_ = r_.Projette(xd, yd, r_.geometrie_.L);
        a_ = true;
        reste_ = false;
    }
    // The four paths from the last kept position to this one.
    void Chemins(const double g[2], const double d[2], bool inverse) {
        const GeometrieBloc& geo = r_.geometrie_;
        const double z[4] = {0, geo.d, geo.d + geo.w, geo.L};
        const std::uint32_t couleurs[4] = {Palette[CouleurGauche], Palette[CouleurFaceProche],
                                           Palette[CouleurFaceLoin], Palette[CouleurDroite]};
        for (int i = 0; i < 4; ++i) {
            const double t = z[i] / geo.L;
            auto sommet = [&](const double* gp, const double* dp) {
                const PointEcran e =
                    r_.Projette(gp[0] + (dp[0] - gp[0]) * t, gp[1] + (dp[1] - gp[1]) * t, z[i]);
                return Rendu3D::Sommet{e.X, e.Y, e.Profondeur};
            };
            const bool face = i == 1 || i == 2;
            const std::uint32_t c = face && inverse ? Palette[CouleurInversion] : couleurs[i];
            // A carriage's path shows dimmed behind the surface; a face's lies on it.
            r_.Trait(sommet(g0_, d0_), sommet(g, d), c, face ? c : Teinte(c, 0.8));
        }
    }

    Rendu3D& r_;
    bool a_ = false, reste_ = false;
    double g0_[2] = {0, 0}, d0_[2] = {0, 0};
    double dernier_[4] = {0, 0, 0, 0};
    PointEcran eg_, ed_;
    std::vector<std::uint64_t> vus_ = std::vector<std::uint64_t>(std::size_t{1} << 16); // 4 M bits
};

std::optional<ErreurParvel> Rendu3D::Dessine(const std::string& chemin, Interpreteur& interp,
                                             const Scene3D& scene, const Camera3D& camera,
                                             Avancement* avancement) {
    std::optional<LecteurLignes> lecteur;
    try {
        lecteur.emplace(chemin);
    } catch (const ErreurParvel& e) {
        return e;
    }
    std::fill(couleurs_.begin(), couleurs_.end(), Fond);
    std::fill(profondeurs_.begin(), profondeurs_.end(), Loin);
    std::fill(voileProfondeur_.begin(), voileProfondeur_.end(), Loin);
    std::fill(voileCouches_.begin(), voileCouches_.end(), std::uint8_t{0});
    if (DefautGeometrie(scene.Geometrie))
        return std::nullopt;
    Prepare(scene, camera);

    EtatCut& e = interp.Etat;
    e.RemetPositions();
    e.TraceActif = true;
    TraceurRendu3D traceur(*this);
    RecepteurSegments* const avant = interp.Recepteur;
    interp.Recepteur = &traceur;
    try {
        SuiviLecture suivi(avancement, chemin);
        std::int64_t numero = 0;
        while (!lecteur->Fin()) {
            interp.NumeroLigne = ++numero;
            const std::string_view ligne = lecteur->LitLigne();
            suivi.Ligne(ligne.size());
            interp.AnalyseLigne(ligne);
        }
    } catch (...) {
        interp.Recepteur = avant;
        throw;
    }
    interp.Recepteur = avant;
    traceur.Termine();

    // The faint layers over what lies behind them: each layer lets three quarters through.
    for (std::size_t i = 0; i < couleurs_.size(); ++i)
        if (voileCouches_[i] > 0 && voileProfondeur_[i] > profondeurs_[i])
            couleurs_[i] =
                Melange(couleurs_[i], CouleurVoile, 1 - std::pow(0.75, std::min<int>(voileCouches_[i], 8)));

    // The block's box, its hidden edges lighter.
    const GeometrieBloc& g = scene.Geometrie;
    const double bx[2] = {scene.BlocXMin, scene.BlocXMax}, by[2] = {scene.BlocYMin, scene.BlocYMax};
    const double bz[2] = {g.d, g.d + g.w};
    auto coin = [&](int i) {
        const PointEcran p = Projette(bx[i & 1], by[(i >> 1) & 1], bz[(i >> 2) & 1]);
        return Sommet{p.X, p.Y, p.Profondeur};
    };
    // Hidden edges first, so that an edge in sight drawn over the same pixels wins.
    for (const bool enVue : {false, true})
        for (int i = 0; i < 8; ++i)
            for (int bit = 1; bit < 8; bit <<= 1)
                if (!(i & bit))
                    Trait(coin(i), coin(i | bit), enVue ? std::optional(CouleurArete) : std::nullopt,
                          enVue ? std::nullopt : std::optional(CouleurAreteCachee));
    return std::nullopt;
}

std::uint32_t Rendu3D::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= largeur_ || y >= hauteur_)
        return Fond;
    return couleurs_[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeur_) +
                     static_cast<std::size_t>(x)];
}

void Rendu3D::Compose(std::vector<std::uint32_t>& sortie, const std::optional<Fil>& fil) const {
    sortie.resize(couleurs_.size());
    for (std::size_t i = 0; i < couleurs_.size(); ++i)
        sortie[i] = 0xFF000000u | couleurs_[i];
    if (!fil || DefautGeometrie(geometrie_))
        return;
    auto pose = [&](double x, double y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < largeur_ && y < hauteur_)
            sortie[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeur_) +
                   static_cast<std::size_t>(x)] = 0xFF000000u | c;
    };
    const PointEcran a = Projette(fil->XG, fil->YG, 0), b = Projette(fil->XD, fil->YD, geometrie_.L);
    const double n = std::ceil(std::max(std::fabs(b.X - a.X), std::fabs(b.Y - a.Y)));
    if (!std::isfinite(n) || n > 1e6)
        return;
    const int pas = std::max(1, static_cast<int>(n));
    for (int k = 0; k <= pas; ++k) {
        const double t = static_cast<double>(k) / pas;
        const double x = a.X + (b.X - a.X) * t, y = a.Y + (b.Y - a.Y) * t;
        pose(x, y, 0x000000);
        pose(x, y + 1, 0x000000);
    }
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            pose(a.X + dx, a.Y + dy, Palette[CouleurGauche]);
            pose(b.X + dx, b.Y + dy, Palette[CouleurDroite]);
        }
}

} // namespace parvel
