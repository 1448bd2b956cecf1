// SPDX-License-Identifier: GPL-3.0-or-later
// The redraw: the current file read again through the interpreter, whose segments
// become the coordinate lines (in their side's colour, or their speed's), with the step
// points, and in milling mode the markers and bands.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

#include "cut/Avancement.h"
#include "cut/Calcul.h"
#include "cut/Chargeur.h"
#include "cut/LecteurLignes.h"
#include "cut/Nombres.h"
#include "view/Vitesses.h"
#include "view/Vue.h"

namespace parvel {

namespace {

// Draws each side's segment when its "Coordonnées" box is checked, once its line is
// read: the speed map colours it by the line's speed, and each keeps the line's number,
// speed and start time in its pixels for the hover readout.
class TraceurSegments final : public RecepteurSegments {
  public:
    TraceurSegments(SurfaceDessin& image, const OptionsDessin& o) : image_(image), options_(o) {}
    ~TraceurSegments() override { image_.DefinitTrait(nullptr); }
    TraceurSegments(const TraceurSegments&) = delete;
    TraceurSegments& operator=(const TraceurSegments&) = delete;

    void Recoit(const Segment& s) override { segments_.push_back(s); }
    // The line `in` has just read is over; before the first point no line has a speed.
    void FinLigne(const Interpreteur& in, bool avantPremierPoint) {
        if (!segments_.empty()) {
            const std::optional<double> v = avantPremierPoint ? std::nullopt : VitesseLigne(in);
            const InfoTrait info{
                static_cast<std::uint32_t>(std::min<std::int64_t>(in.NumeroLigne, UINT32_MAX)),
                v ? static_cast<float>(*v) : -1.0f, static_cast<float>(temps_)};
            image_.DefinitTrait(&info);
            const bool chariots = options_.Faces != ModeFaces::Seules;
            if (options_.CarteVitesses) {
                const std::uint32_t rgb =
                    v ? CouleurVitesse(*v, options_.VitesseLente, options_.VitesseRapide)
                      : CouleurSansVitesse;
                if (chariots)
                    for (const Segment& s : segments_)
                        TraceRGB(s, rgb);
                if (options_.Faces != ModeFaces::Masquees)
                    TraceFaces(info, &rgb);
            } else {
                if (chariots)
                    for (const Segment& s : segments_)
                        Trace(s);
                if (options_.Faces != ModeFaces::Masquees)
                    TraceFaces(info, nullptr);
            }
            segments_.clear();
        }
        temps_ += in.DureeLue;
    }

  private:
    // Each face's path in its colour (or the speed's), an inverted segment in the warning
    // colour; the hover readout names the face.
    void TraceFaces(InfoTrait info, const std::uint32_t* rgb) {
        const GeometrieBloc& g = options_.Geometrie;
        const double z[2] = {g.d, g.d + g.w};
        const int couleurs[2] = {CouleurFaceProche, CouleurFaceLoin};
        for (const Segment& s : segments_) {
            const PositionsChariots avant{s.XGPrec, s.YGPrec, s.XDPrec, s.YDPrec};
            const PositionsChariots apres{s.XG, s.YG, s.XD, s.YD};
            const bool inversee = LigneInversee(avant, apres, g);
            for (int f = 0; f < 2; ++f) {
                info.Face = static_cast<std::uint8_t>(f + 1);
                image_.DefinitTrait(&info);
                const PointFace a = PointSurPlan(avant, z[f], g.L), b = PointSurPlan(apres, z[f], g.L);
                if (inversee)
                    image_.Ligne(a.X, a.Y, b.X, b.Y, rgb ? CouleurInversionVitesses : CouleurInversion);
                else if (rgb)
                    image_.LigneRGB(a.X, a.Y, b.X, b.Y, *rgb);
                else
                    image_.Ligne(a.X, a.Y, b.X, b.Y, couleurs[f]);
            }
        }
    }
    void Trace(const Segment& s) {
        if (options_.CoordDroite)
            image_.Ligne(s.XDPrec, s.YDPrec, s.XD, s.YD, CouleurDroite);
        if (options_.CoordGauche)
            image_.Ligne(s.XGPrec, s.YGPrec, s.XG, s.YG, CouleurGauche);
    }
    // Both sides in the speed's colour: the right one dashed, so that they stay apart.
    void TraceRGB(const Segment& s, std::uint32_t rgb) {
        if (options_.CoordDroite) {
            image_.DefinitTirets(true);
            image_.LigneRGB(s.XDPrec, s.YDPrec, s.XD, s.YD, rgb);
            image_.DefinitTirets(false);
        }
        if (options_.CoordGauche)
            image_.LigneRGB(s.XGPrec, s.YGPrec, s.XG, s.YG, rgb);
    }

    SurfaceDessin& image_;
    const OptionsDessin& options_;
    std::vector<Segment> segments_; // the line's, usually one
    double temps_ = 0;              // from the start of the cut to the line being read
};

// The interpreter gives its segments to `r` for the life of this object.
class Branchement {
  public:
    Branchement(Interpreteur& i, RecepteurSegments& r) : interp_(i), avant_(i.Recepteur) { i.Recepteur = &r; }
    ~Branchement() { interp_.Recepteur = avant_; }
    Branchement(const Branchement&) = delete;
    Branchement& operator=(const Branchement&) = delete;

  private:
    Interpreteur& interp_;
    RecepteurSegments* avant_;
};

// The faces' colours and planes in the upper-left corner, drawn into the picture so that
// every front end shows it; sizes in twips of the area.
void PoseLegendeFaces(SurfaceDessin& image, const GeometrieBloc& g) {
    const Mapping m = image.LitMapping();
    if (!(image.Largeur() > 0 && image.Hauteur() > 0) || m.ScaleWidth == 0 || m.ScaleHeight == 0)
        return;
    const double ux = m.ScaleWidth / image.Largeur(), uy = m.ScaleHeight / image.Hauteur();
    auto texteMm = [](double v) { return TexteFixe(v, ChiffresDouble); };
    const struct {
        int couleur;
        std::string texte;
    } lignes[] = {{CouleurFaceProche, "Face proche (z = " + texteMm(g.d) + " mm)"},
                  {CouleurFaceLoin, "Face éloignée (z = " + texteMm(g.d + g.w) + " mm)"},
                  {CouleurInversion, "Inversion"}};
    for (std::size_t i = 0; i < std::size(lignes); ++i) {
        const double y = m.ScaleTop + uy * (90 + 240 * static_cast<double>(i));
        const double x = m.ScaleLeft + ux * 90;
        image.Ligne(x, y + uy * 110, x + ux * 300, y + uy * 110, lignes[i].couleur);
        image.DefinitCouleurTexte(lignes[i].couleur);
        image.DefinitPosition(x + ux * 390, y);
        image.Imprime(lignes[i].texte);
    }
}

} // namespace

std::optional<ErreurParvel> VueCut::DessineCut(const std::string& chemin, Interpreteur& interp,
                                               const OptionsDessin& o, const std::vector<Marque>& marques,
                                               const ParamFraisage& param, Avancement* avancement) {
    // Opened before anything is reset or cleared, so that a file gone since its load
    // leaves the view as it was.
    std::optional<LecteurLignes> lecteur;
    try {
        lecteur.emplace(chemin);
    } catch (const ErreurParvel& e) {
        return e;
    }

    EtatCut& e = interp.Etat;
    e.RemetPositions();
    if (o.Etendu)
        Image1.Efface();

    TraceurSegments traceur(Image1, o);
    SuiviLecture suivi(avancement, chemin);
    {
        Branchement branche(interp, traceur);
        std::int64_t numero = 0;
        bool premierPoint = true;
        // Every line is interpreted here, comment lines included, while the load pass
        // skips one comment line: a "// XG:..." line moves the drawn path though the
        // report never saw it. Intended: files written for this behaviour rely on it.
        while (!lecteur->Fin()) {
            interp.NumeroLigne = ++numero;
            const std::string_view ligne = lecteur->LitLigne();
            suivi.Ligne(ligne.size());
            interp.AnalyseLigne(ligne);
            traceur.FinLigne(interp, premierPoint);
            // The first point has no speed and leaves none behind, as in the load pass.
            if (premierPoint && interp.PositionLue) {
                premierPoint = false;
                e.DureeSegment = 0;
            }
            if (o.PasDroite)
                Image1.Point(e.RelXD, e.RelYD, 2);
            if (o.PasGauche)
                Image1.Point(e.RelXG, e.RelYG, 4);
        }
    }
    e.TraceActif = true;
    lecteur.reset();
    Image1.DefinitTrait(nullptr);
    if (o.Faces != ModeFaces::Masquees)
        PoseLegendeFaces(Image1, o.Geometrie);
    if (o.CarteVitesses && o.VitesseRapide > 0)
        Image1.MontreLegende(LegendeVitesses{o.VitesseLente, o.VitesseRapide, o.Separateur});
    else
        Image1.MontreLegende(std::nullopt);

    if (!o.Fraisage)
        return std::nullopt;

    for (const Marque& m : marques) {
        Image1.Cercle(m.X, m.Y, 1, m.Couleur);
        Image1.DefinitCouleurTexte(m.Couleur);
        Image1.Point(m.X, m.Y, m.Couleur);
        Image1.ImprimeAcote(m.Label, 1);
    }

    const EtatVue& v = Etat;
    const float xMax = EnSimple(v.XMax);
    Image1.PlaceForme(Forme::ZoneY, {0, v.YMax, xMax, EnSimple(v.YMax - param.YFraise)});
    Image1.PlaceForme(Forme::ZoneX, {0, v.YMax, EnSimple(param.XFraise), v.YMax});
    Image1.MontreForme(Forme::ZoneX, true);
    Image1.MontreForme(Forme::ZoneY, true);
    return std::nullopt;
}

} // namespace parvel
