// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ImageRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "cut/Chargeur.h"
#include "view/Police.h"
#include "view/Vitesses.h"

namespace parvel {

namespace {

constexpr std::uint32_t Opaque = 0xFF000000u;
constexpr std::uint32_t Noir = Opaque;
constexpr std::uint32_t MasqueXorSelection = 0x00FF00u;
// Beyond this radius in pixels the outline is found column by column and row by row,
// so that a huge circle crossing the image costs the image's size, not its own.
constexpr double RayonMaxMilieu = 32768.0;

bool CouleurValide(int couleur) {
    return couleur >= 0 && couleur < 16;
}
std::uint32_t Argb(int couleur) {
    return Opaque | Palette[couleur];
}

int BornePx(int n) {
    return std::clamp(n, 1, ImageRaster::TailleMaxPx);
}

int PxDepuisTwips(float twips, double twipsParPixel) {
    const double px = std::round(static_cast<double>(twips) / twipsParPixel);
    if (!(px >= 1.0))
        return 1;
    if (px > ImageRaster::TailleMaxPx)
        return ImageRaster::TailleMaxPx;
    return static_cast<int>(px);
}

// A pixel index known to be finite, brought within a few pixels of [0, n] so that it
// converts to int safely while staying off the image when it was off.
int IndexBorne(double v, int n) {
    return static_cast<int>(std::clamp(v, -2.0, static_cast<double>(n) + 2.0));
}

// The pixel index of a distance d from the mapping's origin, for a point of the closed
// box: floor(d / etendue * n) as the clipped path computes it, held within [0, n].
// Multiplying by pxParUnite = n / etendue differs from that quotient by a few ulps at
// most, so it gives the same index unless the value lies that close to a pixel edge;
// those few go through the quotient itself.
int IndexDansCadre(double d, double pxParUnite, double etendue, int n) {
    constexpr double Marge = 1e-9; // far above the ulps of values up to TailleMaxPx
    const double v = d * pxParUnite;
    if (v > Marge && v < n - Marge) {
        const int i = static_cast<int>(v);
        const double reste = v - i;
        if (reste > Marge && reste < 1 - Marge)
            return i;
    }
    const double nd = n;
    return static_cast<int>(std::floor(std::clamp(d / etendue * nd, 0.0, nd)));
}

int CodeRegion(double x, double y, double xmin, double xmax, double ymin, double ymax) {
    return (x < xmin ? 1 : x > xmax ? 2 : 0) | (y < ymin ? 4 : y > ymax ? 8 : 0);
}

// Cohen-Sutherland against the closed box, in user units. Each crossing is computed
// from the original end nearer to that edge, through the slope, so that a segment
// spanning 1e300 units still lands on the right pixel. (When both ends lie that far out,
// rounding decides the crossing: only exact arithmetic could place it.)
bool ClippeSegment(double& ax, double& ay, double& bx, double& by, double xmin, double xmax, double ymin,
                   double ymax) {
    const double x1 = ax, y1 = ay, x2 = bx, y2 = by;
    const double pente = (y2 - y1) / (x2 - x1), inverse = (x2 - x1) / (y2 - y1);
    int ca = CodeRegion(ax, ay, xmin, xmax, ymin, ymax), cb = CodeRegion(bx, by, xmin, xmax, ymin, ymax);
    for (int essai = 0; essai < 8 && (ca | cb) != 0; ++essai) {
        if (ca & cb)
            return false;
        const int c = ca ? ca : cb;
        double x, y;
        if (c & 3) {
            x = (c & 1) ? xmin : xmax;
            y = std::fabs(x - x1) <= std::fabs(x - x2) ? y1 + (x - x1) * pente : y2 + (x - x2) * pente;
        } else {
            y = (c & 4) ? ymin : ymax;
            x = std::fabs(y - y1) <= std::fabs(y - y2) ? x1 + (y - y1) * inverse : x2 + (y - y2) * inverse;
        }
        if (ca) {
            ax = x;
            ay = y;
            ca = CodeRegion(ax, ay, xmin, xmax, ymin, ymax);
        } else {
            bx = x;
            by = y;
            cb = CodeRegion(bx, by, xmin, xmax, ymin, ymax);
        }
    }
    // Not a number anywhere (or a crossing lost to rounding) leaves nothing to draw.
    return (ca & cb) == 0 && std::isfinite(ax) && std::isfinite(ay) && std::isfinite(bx) && std::isfinite(by);
}

// Bresenham's walk from (x0, y0) to (x1, y1), both ends included.
template <class Pose> void Bresenham(int x0, int y0, int x1, int y1, Pose&& pose) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
        pose(x0, y0);
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

} // namespace

ImageRaster::ImageRaster(int largeurPx, int hauteurPx, double twipsParPixel)
    : largeurPx_(BornePx(largeurPx)), hauteurPx_(BornePx(hauteurPx)),
      twipsParPixel_(std::isfinite(twipsParPixel) && twipsParPixel > 0 ? twipsParPixel : 15.0),
      pixels_(static_cast<std::size_t>(largeurPx_) * static_cast<std::size_t>(hauteurPx_), Opaque | Fond) {
    MetAJourRepere();
}

float ImageRaster::Largeur() const {
    return static_cast<float>(largeurPx_ * twipsParPixel_);
}
float ImageRaster::Hauteur() const {
    return static_cast<float>(hauteurPx_ * twipsParPixel_);
}

void ImageRaster::DefinitTaille(float largeur, float hauteur) {
    Redimensionne(PxDepuisTwips(largeur, twipsParPixel_), PxDepuisTwips(hauteur, twipsParPixel_));
}

void ImageRaster::Redimensionne(int largeurPx, int hauteurPx) {
    largeurPx = BornePx(largeurPx);
    hauteurPx = BornePx(hauteurPx);
    if (largeurPx == largeurPx_ && hauteurPx == hauteurPx_)
        return;
    std::vector<std::uint32_t> nouveau(
        static_cast<std::size_t>(largeurPx) * static_cast<std::size_t>(hauteurPx), Opaque | Fond);
    const int l = std::min(largeurPx, largeurPx_), h = std::min(hauteurPx, hauteurPx_);
    for (int y = 0; y < h; ++y) {
        const auto src = pixels_.begin() + static_cast<std::ptrdiff_t>(y) * largeurPx_;
        std::copy(src, src + l, nouveau.begin() + static_cast<std::ptrdiff_t>(y) * largeurPx);
    }
    pixels_ = std::move(nouveau);
    // The kept picture is redrawn at its new scale: its old infos would point wrong.
    traits_.assign(traits_.empty() ? 0 : pixels_.size(), InfoTrait{});
    largeurPx_ = largeurPx;
    hauteurPx_ = hauteurPx;
    MetAJourRepere();
}

void ImageRaster::DefinitTwipsParPixel(double twipsParPixel) {
    if (std::isfinite(twipsParPixel) && twipsParPixel > 0)
        twipsParPixel_ = twipsParPixel;
    MetAJourRepere();
}

Mapping ImageRaster::LitMapping() const {
    if (mappingFige_)
        return mapping_;
    return Mapping{0.0f, 0.0f, Largeur(), Hauteur()};
}

void ImageRaster::DefinitMapping(const Mapping& m) {
    // From now on a resize keeps the numbers and the units stretch.
    mapping_ = m;
    mappingFige_ = true;
    MetAJourRepere();
}

void ImageRaster::MetAJourRepere() {
    const Mapping m = LitMapping();
    Repere& r = repere_;
    r.e = Echelle{m.ScaleLeft, m.ScaleTop, m.ScaleWidth, m.ScaleHeight};
    r.xmin = std::min(r.e.l, r.e.l + r.e.w);
    r.xmax = std::max(r.e.l, r.e.l + r.e.w);
    r.ymin = std::min(r.e.t, r.e.t + r.e.h);
    r.ymax = std::max(r.e.t, r.e.t + r.e.h);
    r.pxParX = largeurPx_ / r.e.w;
    r.pxParY = hauteurPx_ / r.e.h;
    r.vide = r.e.w == 0.0 || r.e.h == 0.0;
    r.borne =
        std::isfinite(r.xmin) && std::isfinite(r.xmax) && std::isfinite(r.ymin) && std::isfinite(r.ymax);
    // Not a number equals nothing, so no point is found until converted anew.
    for (PointPx& p : dernierPoint_)
        p.x = std::numeric_limits<double>::quiet_NaN();
}

// Inlined: it runs for every segment end, and the call alone took a quarter of the raster's time.
[[gnu::always_inline]] inline std::pair<int, int> ImageRaster::PxDansCadre(double x, double y, int couleur) {
    PointPx& p = dernierPoint_[static_cast<std::size_t>(couleur)];
    if (p.x == x && p.y == y)
        return {p.px, p.py};
    const Repere& r = repere_;
    p = PointPx{x, y, IndexDansCadre(x - r.e.l, r.pxParX, r.e.w, largeurPx_),
                IndexDansCadre(y - r.e.t, r.pxParY, r.e.h, hauteurPx_)};
    return {p.px, p.py};
}

void ImageRaster::Efface() {
    std::fill(pixels_.begin(), pixels_.end(), Opaque | Fond);
    std::fill(traits_.begin(), traits_.end(), InfoTrait{});
    legende_.reset();
    etiquettes_.clear();
    currentX_ = 0;
    currentY_ = 0;
}

// Inlined into its two callers: it runs for every segment of a redraw.
[[gnu::always_inline]] inline void ImageRaster::LigneArgb(double x1, double y1, double x2, double y2,
                                                          std::uint32_t argb, int cache) {
    if (repere_.vide)
        return;
    const Repere& r = repere_;
    // Most segments of a zoomed drawing miss the area entirely.
    if ((x1 < r.xmin && x2 < r.xmin) || (x1 > r.xmax && x2 > r.xmax) || (y1 < r.ymin && y2 < r.ymin) ||
        (y1 > r.ymax && y2 > r.ymax))
        return;
    // One order for both directions, so that redrawing a segment reversed covers the same pixels.
    const bool inverse = x2 < x1 || (x2 == x1 && y2 < y1);
    // Most of a full view lies inside: nothing to clip, and the ends convert as clipped ones would.
    if (r.borne && DansCadre(x1, y1) && DansCadre(x2, y2)) {
        std::pair<int, int> a = PxDansCadre(x1, y1, cache), b = PxDansCadre(x2, y2, cache);
        if (inverse)
            std::swap(a, b);
        TraceSegment(a.first, a.second, b.first, b.second, argb);
        return;
    }
    if (inverse) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (!ClippeSegment(x1, y1, x2, y2, r.xmin, r.xmax, r.ymin, r.ymax))
        return;
    const Echelle& e = r.e;
    const double nx = largeurPx_, ny = hauteurPx_;
    // Points clipped onto the border may round a hair outside it.
    auto px = [&](double x) {
        return static_cast<int>(std::floor(std::clamp((x - e.l) / e.w * nx, 0.0, nx)));
    };
    auto py = [&](double y) {
        return static_cast<int>(std::floor(std::clamp((y - e.t) / e.h * ny, 0.0, ny)));
    };
    TraceSegment(px(x1), py(y1), px(x2), py(y2), argb);
}

void ImageRaster::Ligne(double x1, double y1, double x2, double y2, int couleur) {
    currentX_ = x2;
    currentY_ = y2;
    if (CouleurValide(couleur))
        LigneArgb(x1, y1, x2, y2, Argb(couleur), couleur);
}

void ImageRaster::LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) {
    currentX_ = x2;
    currentY_ = y2;
    LigneArgb(x1, y1, x2, y2, Opaque | (rgb & 0xFFFFFFu), CacheRGB);
}

void ImageRaster::TraceSegment(int x0, int y0, int x1, int y1, std::uint32_t c) {
    if (tirets_) {
        // The gaps keep the line's info: the readout finds the path there too. A pixel
        // just walked (the end a segment shares with the one before, walked from either
        // side) does not count again: paths of segments shorter than a pixel stay dashed.
        Bresenham(x0, y0, x1, y1, [&](int x, int y) {
            y = y == hauteurPx_ ? hauteurPx_ - 1 : y;
            const std::pair<int, int> p{x, y};
            if (p == derniersTirets_[0] || p == derniersTirets_[1])
                return;
            derniersTirets_[1] = derniersTirets_[0];
            derniersTirets_[0] = p;
            const bool encre = phaseTirets_++ % PeriodeTirets < LongueurTiret;
            if (x < 0 || y < 0 || x >= largeurPx_ || y >= hauteurPx_)
                return;
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(largeurPx_) +
                                  static_cast<std::size_t>(x);
            if (encre)
                pixels_[i] = c;
            if (traitActif_)
                traits_[i] = trait_;
        });
        return;
    }
    if (std::min(x0, x1) >= 0 && std::min(y0, y1) >= 0 && std::max(x0, x1) < largeurPx_ &&
        std::max(y0, y1) < hauteurPx_) {
        // Both ends on the image, so every step between them is too: no check per pixel.
        std::uint32_t* const px = pixels_.data();
        InfoTrait* const t = traitActif_ ? traits_.data() : nullptr; // same offsets as the pixels
        const InfoTrait info = trait_; // a local copy: the pixel stores cannot change it
        const std::ptrdiff_t w = largeurPx_;
        Bresenham(x0, y0, x1, y1, [&](int x, int y) {
            const std::ptrdiff_t i = y * w + x;
            px[i] = c;
            if (t)
                t[i] = info;
        });
        return;
    }
    // Pixels on the bottom edge belong to the last row, as points there do.
    const int bas = hauteurPx_ - 1;
    Bresenham(x0, y0, x1, y1, [&](int x, int y) {
        y = y == hauteurPx_ ? bas : y;
        Pose(x, y, c);
        if (traitActif_ && x >= 0 && y >= 0 && x < largeurPx_ && y < hauteurPx_)
            traits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeurPx_) +
                    static_cast<std::size_t>(x)] = trait_;
    });
}

void ImageRaster::Point(double x, double y, int couleur) {
    currentX_ = x;
    currentY_ = y;
    if (!CouleurValide(couleur) || repere_.vide)
        return;
    if (repere_.borne && DansCadre(x, y)) {
        const auto [px, py] = PxDansCadre(x, y, couleur);
        if (px < largeurPx_)
            Pose(px, py < hauteurPx_ ? py : hauteurPx_ - 1, Argb(couleur));
        return;
    }
    // Off the box a coordinate that underflows to -0 can still land on the image.
    const Echelle& e = repere_.e;
    const double px = std::floor((x - e.l) / e.w * largeurPx_), py = Rangee((y - e.t) / e.h * hauteurPx_);
    if (px >= 0 && py >= 0 && px < largeurPx_ && py < hauteurPx_)
        Pose(static_cast<long long>(px), static_cast<long long>(py), Argb(couleur));
}

void ImageRaster::Cercle(double x, double y, double rayon, int couleur) {
    currentX_ = x;
    currentY_ = y;
    if (!CouleurValide(couleur))
        return;
    const Echelle e = EchelleCourante();
    if (e.w == 0.0 || e.h == 0.0)
        return;
    const double nx = largeurPx_, ny = hauteurPx_;
    const double cx = std::floor((x - e.l) / e.w * nx), cy = Rangee((y - e.t) / e.h * ny);
    const double r = std::floor(std::fabs(rayon) / std::fabs(e.w) * nx + 0.5);
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r))
        return;
    if (cx + r < 0 || cx - r > nx - 1 || cy + r < 0 || cy - r > ny - 1)
        return;
    // The whole image inside the circle: the outline passes around it.
    const double ex = std::max(std::fabs(cx), std::fabs(cx - (nx - 1)));
    const double ey = std::max(std::fabs(cy), std::fabs(cy - (ny - 1)));
    if (r > 2 && std::hypot(ex, ey) < r - 2)
        return;
    if (r <= RayonMaxMilieu)
        TraceCercleMilieu(static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(r), Argb(couleur));
    else
        TraceGrandCercle(cx, cy, r, Argb(couleur));
}

void ImageRaster::TraceCercleMilieu(int cx, int cy, int r, std::uint32_t c) {
    int x = r, y = 0, err = 1 - r;
    while (x >= y) {
        Pose(cx + x, cy + y, c);
        Pose(cx - x, cy + y, c);
        Pose(cx + x, cy - y, c);
        Pose(cx - x, cy - y, c);
        Pose(cx + y, cy + x, c);
        Pose(cx - y, cy + x, c);
        Pose(cx + y, cy - x, c);
        Pose(cx - y, cy - x, c);
        ++y;
        if (err < 0) {
            err += 2 * y + 1;
        } else {
            --x;
            err += 2 * (y - x) + 1;
        }
    }
}

void ImageRaster::TraceGrandCercle(double cx, double cy, double r, std::uint32_t c) {
    // In each octant the outline has one pixel per column (flat parts) or per row (steep parts).
    const double diagonale = r / std::sqrt(2.0);
    auto pose = [&](double px, double py) {
        if (px >= 0 && py >= 0 && px < largeurPx_ && py < hauteurPx_)
            Pose(static_cast<long long>(px), static_cast<long long>(py), c);
    };
    for (int px = 0; px < largeurPx_; ++px) {
        const double d = px - cx;
        if (std::fabs(d) > diagonale)
            continue;
        const double h = std::round(std::sqrt((r - d) * (r + d)));
        pose(px, cy + h);
        pose(px, cy - h);
    }
    for (int py = 0; py < hauteurPx_; ++py) {
        const double d = py - cy;
        if (std::fabs(d) > diagonale)
            continue;
        const double l = std::round(std::sqrt((r - d) * (r + d)));
        pose(cx + l, py);
        pose(cx - l, py);
    }
}

void ImageRaster::DefinitPosition(double x, double y) {
    currentX_ = x;
    currentY_ = y;
}

void ImageRaster::DefinitCouleurTexte(int couleur) {
    couleurTexte_ = couleur;
}

void ImageRaster::Imprime(std::string_view texte) {
    if (!CouleurValide(couleurTexte_) || texte.empty() || repere_.vide)
        return;
    const Echelle& e = repere_.e;
    const double fx = std::floor((currentX_ - e.l) / e.w * largeurPx_);
    const double fy = Rangee((currentY_ - e.t) / e.h * hauteurPx_);
    // Far left or above, no label reaches the area (and the casts stay defined).
    if (!(fx < largeurPx_ && fy < hauteurPx_ && fx > -1e6 && fy > -1e6))
        return;
    PoseMasque(police::Rend(texte, twipsParPixel_), static_cast<long long>(fx), static_cast<long long>(fy),
               Argb(couleurTexte_));
}

void ImageRaster::ImprimeAcote(std::string_view texte, double rayon) {
    if (!CouleurValide(couleurTexte_) || texte.empty() || repere_.vide)
        return;
    const Echelle& e = repere_.e;
    const double fx = std::floor((currentX_ - e.l) / e.w * largeurPx_);
    const double fy = Rangee((currentY_ - e.t) / e.h * hauteurPx_);
    // The circle's radius as Cercle rounds it; beyond the area's size only "too big" matters.
    const double fr =
        std::min(std::floor(std::fabs(rayon) / std::fabs(e.w) * largeurPx_ + 0.5), 4.0 * TailleMaxPx);
    if (!(fx >= 0 && fx < largeurPx_ && fy >= 0 && fy < hauteurPx_ && fr >= 0))
        return;
    const police::Masque m = police::Rend(texte, twipsParPixel_);
    const int cx = static_cast<int>(fx), cy = static_cast<int>(fy), r = static_cast<int>(fr);
    const int l = m.largeur, h = m.hauteur;
    // The same label again (a redraw over the picture) goes where it went before.
    const Etiquette cle{std::string(texte), cx, cy, r, 0, 0, l, h};
    for (const Etiquette& et : etiquettes_)
        if (et.texte == cle.texte && et.cx == cx && et.cy == cy && et.r == r && et.l == l && et.h == h)
            return PoseMasque(m, et.x, et.y, Argb(couleurTexte_));
    const int ecart = 2; // blank pixels between the outline and the box
    const auto dansX = [&](int x) { return std::clamp(x, 0, std::max(0, largeurPx_ - l)); };
    const auto dansY = [&](int y) { return std::clamp(y, 0, std::max(0, hauteurPx_ - h)); };
    // Right, left, above, below; then, for a crowd, the same one to three lines further.
    const int milieu = cy - h / 2, droite = cx + r + 1 + ecart, gauche = cx - r - ecart - l;
    const int centre = dansX(cx - l / 2), haut = cy - r - ecart - h, bas = cy + r + 1 + ecart;
    std::vector<std::pair<int, int>> places{
        {droite, dansY(milieu)}, {gauche, dansY(milieu)}, {centre, haut}, {centre, bas}};
    for (int k = 1; k <= 3; ++k)
        places.insert(places.end(), {{droite, milieu - k * h},
                                     {droite, milieu + k * h},
                                     {gauche, milieu - k * h},
                                     {gauche, milieu + k * h},
                                     {centre, haut - k * h},
                                     {centre, bas + k * h}});
    const auto dedans = [&](std::pair<int, int> p) {
        return p.first >= 0 && p.second >= 0 && p.first + l <= largeurPx_ && p.second + h <= hauteurPx_;
    };
    const auto libre = [&](std::pair<int, int> p) {
        return std::none_of(etiquettes_.begin(), etiquettes_.end(), [&](const Etiquette& et) {
            return p.first < et.x + et.l && et.x < p.first + l && p.second < et.y + et.h &&
                   et.y < p.second + h;
        });
    };
    // The first place inside the area clear of other labels, else the first of the four inside it.
    auto choix = std::find_if(places.begin(), places.end(), [&](auto p) { return dedans(p) && libre(p); });
    if (choix == places.end()) {
        choix = std::find_if(places.begin(), places.begin() + 4, dedans);
        if (choix == places.begin() + 4) // the area is too small: held inside it
            choix = places.begin();
    }
    const int x = dansX(choix->first), y = dansY(choix->second);
    if (etiquettes_.size() < 1024) // bounds the search in a crowd
        etiquettes_.push_back({cle.texte, cx, cy, r, x, y, l, h});
    PoseMasque(m, x, y, Argb(couleurTexte_));
}

std::pair<int, int> ImageRaster::TailleTextePx(std::string_view texte) const {
    const police::Masque m = police::Rend(texte, twipsParPixel_);
    return {m.largeur, m.hauteur};
}

void ImageRaster::PoseMasque(const police::Masque& m, long long x, long long y, std::uint32_t c) {
    for (int j = 0; j < m.hauteur; ++j)
        for (int i = 0; i < m.largeur; ++i)
            if (m.Encre(i, j))
                Pose(x + i, y + j, c);
}

void ImageRaster::DefinitTrait(const InfoTrait* info) {
    traitActif_ = info != nullptr;
    if (!info)
        return;
    trait_ = *info;
    if (traits_.size() != pixels_.size())
        traits_.resize(pixels_.size());
}

std::optional<InfoTrait> ImageRaster::TraitPres(float x, float y) const {
    const Echelle& e = repere_.e;
    if (traits_.empty() || repere_.vide)
        return std::nullopt;
    const double fx = std::floor((x - e.l) / e.w * largeurPx_), fy = Rangee((y - e.t) / e.h * hauteurPx_);
    if (!(fx > -RayonTraitPx - 1 && fy > -RayonTraitPx - 1 && fx < largeurPx_ + RayonTraitPx + 1 &&
          fy < hauteurPx_ + RayonTraitPx + 1))
        return std::nullopt;
    const int cx = static_cast<int>(fx), cy = static_cast<int>(fy);
    std::optional<InfoTrait> proche;
    int meilleur = RayonTraitPx * RayonTraitPx + 1;
    for (int py = std::max(cy - RayonTraitPx, 0); py <= std::min(cy + RayonTraitPx, hauteurPx_ - 1); ++py)
        for (int px = std::max(cx - RayonTraitPx, 0); px <= std::min(cx + RayonTraitPx, largeurPx_ - 1);
             ++px) {
            const InfoTrait& t = traits_[static_cast<std::size_t>(py) * static_cast<std::size_t>(largeurPx_) +
                                         static_cast<std::size_t>(px)];
            const int d = (px - cx) * (px - cx) + (py - cy) * (py - cy);
            if (t.Ligne != 0 && d < meilleur) {
                meilleur = d;
                proche = t;
            }
        }
    return proche;
}

void ImageRaster::DefinitTexteSurvol(std::string texte) {
    texteSurvol_ = std::move(texte);
}

Placement ImageRaster::LitForme(Forme f) const {
    return formes_[static_cast<std::size_t>(f)];
}
void ImageRaster::PlaceForme(Forme f, Placement p) {
    formes_[static_cast<std::size_t>(f)] = p;
}
bool ImageRaster::FormeVisible(Forme f) const {
    return formesVisibles_[static_cast<std::size_t>(f)];
}
void ImageRaster::MontreForme(Forme f, bool visible) {
    formesVisibles_[static_cast<std::size_t>(f)] = visible;
}

PointUtilisateur ImageRaster::VersUtilisateur(int px, int py) const {
    const Echelle e = EchelleCourante();
    // Float rounding may land just across a pixel edge; step back by single ulps.
    auto axe = [](double debut, double etendue, int n, int p) {
        float v = static_cast<float>(debut + p * etendue / n);
        if (etendue == 0.0 || !std::isfinite(v))
            return v;
        for (int essai = 0; essai < 8; ++essai) {
            const double q = std::floor((v - debut) / etendue * n);
            if (q == p)
                break;
            const bool versPlus = (q < p) == (etendue > 0);
            v = std::nextafter(v, versPlus ? INFINITY : -INFINITY);
        }
        return v;
    };
    return PointUtilisateur{axe(e.l, e.w, largeurPx_, px), axe(e.t, e.h, hauteurPx_, py)};
}

std::uint32_t ImageRaster::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= largeurPx_ || y >= hauteurPx_)
        return Fond;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeurPx_) +
                   static_cast<std::size_t>(x)] &
           0xFFFFFFu;
}

std::optional<ImageRaster::RectPx> ImageRaster::RectangleForme(const Placement& p) const {
    const Echelle e = EchelleCourante();
    if (e.w == 0.0 || e.h == 0.0)
        return std::nullopt;
    const double nx = largeurPx_, ny = hauteurPx_;
    // Height runs down the screen whichever way the mapping counts Y.
    const double bas =
        e.h < 0 ? static_cast<double>(p.Top) - p.Height : static_cast<double>(p.Top) + p.Height;
    const double xa = std::floor((p.Left - e.l) / e.w * nx);
    const double xb = std::floor((static_cast<double>(p.Left) + p.Width - e.l) / e.w * nx);
    const double ya = std::floor((p.Top - e.t) / e.h * ny);
    const double yb = std::floor((bas - e.t) / e.h * ny);
    if (!std::isfinite(xa) || !std::isfinite(xb) || !std::isfinite(ya) || !std::isfinite(yb))
        return std::nullopt;
    const int x0 = IndexBorne(xa, largeurPx_), x1 = IndexBorne(xb, largeurPx_);
    const int y0 = IndexBorne(ya, hauteurPx_), y1 = IndexBorne(yb, hauteurPx_);
    return RectPx{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

std::vector<std::uint32_t> ImageRaster::Compose() const {
    std::vector<std::uint32_t> sortie;
    Compose(sortie);
    return sortie;
}

void ImageRaster::Compose(std::vector<std::uint32_t>& sortie) const {
    sortie.assign(pixels_.begin(), pixels_.end());
    const auto w = static_cast<std::size_t>(largeurPx_);
    auto index = [w](int x, int y) { return static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x); };

    // Hatch lines every 8 pixels, counted from the image origin as a GDI hatch brush is.
    auto hachure = [&](Forme f, bool montante) {
        if (!FormeVisible(f))
            return;
        const auto rect = RectangleForme(LitForme(f));
        if (!rect)
            return;
        const RectPx r = *rect;
        const int xd = std::max(r.x0, 0), xf = std::min(r.x1, largeurPx_);
        const int yd = std::max(r.y0, 0), yf = std::min(r.y1, hauteurPx_);
        for (int y = yd; y < yf; ++y) {
            // "\" lights x - y = 0 (mod 8), "/" lights x + y = 7 (mod 8).
            const int phase = montante ? (7 - y) & 7 : y & 7;
            for (int x = xd + ((phase - xd) & 7); x < xf; x += 8)
                sortie[index(x, y)] = Noir;
        }
    };
    hachure(Forme::ZoneX, false);
    hachure(Forme::ZoneY, true);
    ComposeSurlignage(sortie);
    ComposeFil(sortie);
    if (legende_)
        PoseLegende(sortie, largeurPx_, hauteurPx_, *legende_, twipsParPixel_);

    if (FormeVisible(Forme::Selection)) {
        const auto rect = RectangleForme(LitForme(Forme::Selection));
        if (!rect)
            return;
        const RectPx r = *rect;
        // A zero extent still shows as a line (or a dot); each outline pixel flips once.
        const int gauche = r.x0, droite = std::max(r.x1 - 1, r.x0);
        const int haut = r.y0, bas = std::max(r.y1 - 1, r.y0);
        auto inverse = [&](int x, int y) {
            if (x >= 0 && y >= 0 && x < largeurPx_ && y < hauteurPx_)
                sortie[index(x, y)] ^= MasqueXorSelection;
        };
        for (int x = gauche; x <= droite; ++x) {
            inverse(x, haut);
            if (bas != haut)
                inverse(x, bas);
        }
        for (int y = haut + 1; y < bas; ++y) {
            inverse(gauche, y);
            if (droite != gauche)
                inverse(droite, y);
        }
    }
}

void ImageRaster::ComposeFil(std::vector<std::uint32_t>& sortie) const {
    const Repere& r = repere_;
    if (!fil_ || r.vide || !r.borne)
        return;
    const Echelle& e = r.e;
    const double nx = largeurPx_, ny = hauteurPx_;
    auto pose = [&](long long x, long long y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < largeurPx_ && y < hauteurPx_)
            sortie[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeurPx_) +
                   static_cast<std::size_t>(x)] = c;
    };
    // Clipped in the mapping's units first, so that a zoomed view walks its own pixels only.
    double ax = fil_->XG, ay = fil_->YG, bx = fil_->XD, by = fil_->YD;
    if (ClippeSegment(ax, ay, bx, by, r.xmin, r.xmax, r.ymin, r.ymax)) {
        auto px = [&](double x) {
            return static_cast<int>(std::floor(std::clamp((x - e.l) / e.w * nx, 0.0, nx)));
        };
        auto py = [&](double y) {
            return static_cast<int>(Rangee(std::clamp((y - e.t) / e.h * ny, 0.0, ny)));
        };
        Bresenham(px(ax), py(ay), px(bx), py(by), [&](int x, int y) { pose(x, y, Noir); });
    }
    // Each carriage: its pixel as Point finds it, in a 5 x 5 square framed in black.
    auto chariot = [&](double x, double y, int couleur) {
        const double cx = std::floor((x - e.l) / e.w * nx), cy = Rangee((y - e.t) / e.h * ny);
        if (!(cx > -4 && cy > -4 && cx < nx + 4 && cy < ny + 4))
            return;
        for (int j = -3; j <= 3; ++j)
            for (int i = -3; i <= 3; ++i)
                pose(static_cast<long long>(cx) + i, static_cast<long long>(cy) + j,
                     std::abs(i) == 3 || std::abs(j) == 3 ? Noir : Argb(couleur));
    };
    chariot(fil_->XG, fil_->YG, CouleurGauche);
    chariot(fil_->XD, fil_->YD, CouleurDroite);
}

void ImageRaster::ComposeSurlignage(std::vector<std::uint32_t>& sortie) const {
    const Repere& r = repere_;
    if (!surlignage_ || r.vide || !r.borne)
        return;
    const Echelle& e = r.e;
    const double nx = largeurPx_, ny = hauteurPx_;
    const std::uint32_t c = Opaque | CouleurSurlignage;
    auto pose = [&](long long x, long long y) {
        if (x >= 0 && y >= 0 && x < largeurPx_ && y < hauteurPx_)
            sortie[static_cast<std::size_t>(y) * static_cast<std::size_t>(largeurPx_) +
                   static_cast<std::size_t>(x)] = c;
    };
    auto px = [&](double x) {
        return static_cast<int>(std::floor(std::clamp((x - e.l) / e.w * nx, 0.0, nx)));
    };
    auto py = [&](double y) { return static_cast<int>(Rangee(std::clamp((y - e.t) / e.h * ny, 0.0, ny))); };
    auto trait = [&](double ax, double ay, double bx, double by) {
        if (!ClippeSegment(ax, ay, bx, by, r.xmin, r.xmax, r.ymin, r.ymax))
            return;
        Bresenham(px(ax), py(ay), px(bx), py(by), [&](int x, int y) {
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    pose(x + i, y + j);
        });
    };
    // A ring of 8 pixels, drawn where the segment starts, even for a segment of no length.
    constexpr int Rayon = 8;
    auto anneau = [&](double x, double y) {
        const double cx = std::floor((x - e.l) / e.w * nx), cy = Rangee((y - e.t) / e.h * ny);
        if (!(cx > -2 * Rayon && cy > -2 * Rayon && cx < nx + 2 * Rayon && cy < ny + 2 * Rayon))
            return;
        for (int j = -Rayon - 1; j <= Rayon + 1; ++j)
            for (int i = -Rayon - 1; i <= Rayon + 1; ++i) {
                const int d2 = i * i + j * j;
                if (d2 >= (Rayon - 1) * (Rayon - 1) && d2 <= (Rayon + 1) * (Rayon + 1))
                    pose(static_cast<long long>(cx) + i, static_cast<long long>(cy) + j);
            }
    };
    const Surlignage& s = *surlignage_;
    trait(s.Debut.XG, s.Debut.YG, s.Fin.XG, s.Fin.YG);
    trait(s.Debut.XD, s.Debut.YD, s.Fin.XD, s.Fin.YD);
    anneau(s.Debut.XG, s.Debut.YG);
    anneau(s.Debut.XD, s.Debut.YD);
}

} // namespace parvel
