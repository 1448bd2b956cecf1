// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Faces.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace parvel {

namespace {

// Two decimals, the user's separator: a hundredth is the store's resolution.
std::string Mm(double v, const std::string& separateur) {
    char t[64];
    const auto r = std::to_chars(t, t + sizeof t, v, std::chars_format::fixed, 2);
    std::string s(t, r.ptr);
    if (const auto p = s.find('.'); p != std::string::npos)
        s.replace(p, 1, separateur);
    return s;
}

void Etend(FiguresFace& f, PointFace p, const PointFace* avant) {
    if (f.Vide) {
        f.XMin = f.XMax = p.X;
        f.YMin = f.YMax = p.Y;
        f.Vide = false;
    } else {
        f.XMin = std::min(f.XMin, p.X);
        f.XMax = std::max(f.XMax, p.X);
        f.YMin = std::min(f.YMin, p.Y);
        f.YMax = std::max(f.YMax, p.Y);
    }
    if (avant)
        f.Longueur += std::hypot(p.X - avant->X, p.Y - avant->Y);
}

} // namespace

std::optional<std::string> DefautGeometrie(const GeometrieBloc& g) {
    if (!std::isfinite(g.L) || !std::isfinite(g.d) || !std::isfinite(g.w))
        return "Les trois distances doivent être des nombres.";
    if (!(g.L > 0))
        return "La distance L entre les chariots doit être positive.";
    if (g.d < 0)
        return "La distance d du chariot gauche au bloc ne peut pas être négative.";
    if (!(g.w > 0))
        return "La largeur w du bloc doit être positive.";
    if (g.d + g.w > g.L)
        return "Le bloc dépasse le chariot droit : il faut d + w <= L.";
    return std::nullopt;
}

PointFace PointSurPlan(const PositionsChariots& p, double z, double L) {
    const double t = z / L;
    return {p.XG + (p.XD - p.XG) * t, p.YG + (p.YD - p.YG) * t};
}

bool LigneInversee(const PositionsChariots& a, const PositionsChariots& b, const GeometrieBloc& g) {
    const PointFace p0 = PointSurPlan(a, g.d, g.L), p1 = PointSurPlan(b, g.d, g.L);
    const PointFace l0 = PointSurPlan(a, g.d + g.w, g.L), l1 = PointSurPlan(b, g.d + g.w, g.L);
    return (p1.X - p0.X) * (l1.X - l0.X) + (p1.Y - p0.Y) * (l1.Y - l0.Y) < 0;
}

void MesureFaces::Ligne(const Interpreteur& in, std::optional<double>) {
    const EtatCut& e = in.Etat;
    const PositionsChariots p{e.XG, e.YG, e.XD, e.YD};
    const GeometrieBloc& g = f_.Geometrie;
    const PointFace proche = PointSurPlan(p, g.d, g.L), loin = PointSurPlan(p, g.d + g.w, g.L);
    if (avant_) {
        const PointFace procheAvant = PointSurPlan(*avant_, g.d, g.L);
        const PointFace loinAvant = PointSurPlan(*avant_, g.d + g.w, g.L);
        Etend(f_.Proche, proche, &procheAvant);
        Etend(f_.Loin, loin, &loinAvant);
        if (LigneInversee(*avant_, p, g)) {
            if (f_.PremieresInversions.size() < FiguresFaces::PremieresMax)
                f_.PremieresInversions.push_back(in.NumeroLigne);
            ++f_.NombreInversions;
        }
    } else {
        Etend(f_.Proche, proche, nullptr);
        Etend(f_.Loin, loin, nullptr);
    }
    avant_ = p;
}

std::vector<std::string> TexteFaces(const FiguresFaces& f, const std::string& sep) {
    auto face = [&](const char* nom, double z, const FiguresFace& c) {
        return std::string("  ") + nom + " (z = " + Mm(z, sep) + " mm) : corde " + Mm(c.Corde(), sep) +
               ", épaisseur " + Mm(c.Epaisseur(), sep) + ", longueur " + Mm(c.Longueur, sep) + " mm";
    };
    const GeometrieBloc& g = f.Geometrie;
    std::vector<std::string> t{face("Face proche", g.d, f.Proche), face("Face éloignée", g.d + g.w, f.Loin)};
    if (f.NombreInversions == 0) {
        t.push_back("  Inversions : aucune");
    } else {
        std::string l = "  Inversions : " + std::to_string(f.NombreInversions) + " (ligne";
        l += f.NombreInversions > 1 ? "s " : " ";
        for (std::size_t i = 0; i < f.PremieresInversions.size(); ++i)
            l += (i ? ", " : "") + std::to_string(f.PremieresInversions[i]);
        if (f.NombreInversions > static_cast<std::int64_t>(f.PremieresInversions.size()))
            l += "...";
        t.push_back(l + ")");
    }
    return t;
}

} // namespace parvel
