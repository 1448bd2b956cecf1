// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Verifications.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace parvel {

namespace {

constexpr DescriptionSorte Descriptions[NombreSortes] = {
    {"aucun_mouvement", "Aucune commande de mouvement (ce n'est pas un fichier CUT)", "pas de mouvement",
     nullptr, "présence de mouvements"},
    {"duree_nulle", "Déplacement de durée nulle ou négative", "durée nulle", "s", "durée des déplacements"},
    {"vitesse_y", "Vitesse Y au-delà de la vitesse maximale de la machine", "vitesse Y", "mm/s",
     "vitesse Y maximale de la machine"},
    {"rapport_vitesses", "Vitesses des deux chariots trop différentes", "rapport des vitesses", "",
     "rapport des vitesses des chariots"},
    {"hors_course", "Position hors de la course de la machine", "hors course", "mm", "course de la machine"},
    {"profil_inverse", "Profil inversé dans le bloc", "profil inversé", nullptr,
     "sens des profils sur les faces du bloc"},
};

// The comparisons first run on squares and products, so that the usual line pays no
// root and no division; a line near the threshold is then decided on the exact value.
constexpr double Marge = 1 - 1e-9;

bool Seuil(double v) {
    return v > 0 && std::isfinite(v);
}

} // namespace

const DescriptionSorte& Description(SorteConstat s) {
    return Descriptions[static_cast<int>(s)];
}

Verificateur::Verificateur(const SeuilsVerification& seuils)
    : seuils_(seuils), vitesseY_(Seuil(seuils.VitMaxY)),
      course_(Seuil(seuils.CourseX) || Seuil(seuils.CourseY)),
      bloc_(seuils.Bloc && !DefautGeometrie(*seuils.Bloc)) {
    if (bloc_) {
        tProche_ = Paire{} + seuils.Bloc->d / seuils.Bloc->L;
        tLoin_ = Paire{} + (seuils.Bloc->d + seuils.Bloc->w) / seuils.Bloc->L;
    }
    // Without a top speed no line passes the first comparison.
    vitesseYMarge_ = vitesseY_ ? seuils.VitMaxY * Marge : std::numeric_limits<double>::infinity();
    rapportMarge_ = seuils.RapportVitessesMax * seuils.RapportVitessesMax * Marge;
    for (int i = 0; i < NombreSortes; ++i)
        sortes_[static_cast<std::size_t>(i)].C.Sorte = static_cast<SorteConstat>(i);
}

void Verificateur::Note(SorteConstat s, std::int64_t ligne, double valeur, const Positions& apres) {
    EnCours& k = sortes_[static_cast<std::size_t>(s)];
    Constat& c = k.C;
    if (c.Lignes == 0) {
        c.Temps = debut_;
        c.Avant = avantNote_;
        c.Apres = apres;
    }
    if (k.DerniereLigne >= 0 && k.DerniereLigne == precedente_) {
        if (c.PlagesOmises == 0)
            c.Plages.back().Fin = ligne;
    } else if (c.Plages.size() < PlagesGardees) {
        c.Plages.push_back({ligne, ligne});
    } else {
        ++c.PlagesOmises;
    }
    k.DerniereLigne = ligne;
    // A duration is the worse the shorter; the other values the higher.
    const bool pire = s == SorteConstat::DureeNulle ? valeur < c.Pire : valeur > c.Pire;
    if (c.Lignes == 0 || pire) {
        c.Pire = valeur;
        c.LignePire = ligne;
    }
    ++c.Lignes;
}

// Until the first movement each line is searched for one; the first line is not compared.
void Verificateur::Debut(const Interpreteur& in, double debut) {
    if (!mouvement_)
        CherchePremierMouvement(in);
    if (precedente_ == 0)
        PremiereLigne(in, debut);
    else if (in.PositionLue)
        Compare(in, debut, true);
    enRegime_ = mouvement_;
}

// The first line only places the carriages: the cut starts from there. It fixes the X
// zero, and so where the travel lies.
void Verificateur::PremiereLigne(const Interpreteur& in, double debut) {
    const EtatCut& e = in.Etat;
    BornesCourse(e.ZeroX);
    // The extents the pass keeps start at 0: outside the travel, they tell nothing.
    if (HorsBornes(Paire{}, Paire{}))
        horsCourse_ = true;
    debut_ = debut;
    if (in.PositionLue) {
        avantG_ = Paire{e.XG, e.YG};
        avantD_ = Paire{e.XD, e.YD};
        avantNote_ = Avant();
        Course(in.NumeroLigne, e.ZeroX, avantNote_);
    }
    precedente_ = in.NumeroLigne;
}

// A position, or a step token ("+XG" and the like), however long the step: without a
// machine configuration a step moves nothing but is still a movement command.
void Verificateur::CherchePremierMouvement(const Interpreteur& in) {
    if (in.PositionLue) {
        mouvement_ = true;
        return;
    }
    const std::string_view l = in.Etat.Ligne;
    for (std::size_t i = 0; i + 2 < l.size(); ++i)
        if ((l[i] == '+' || l[i] == '-') && (i == 0 || l[i - 1] == ' ') &&
            (l[i + 1] == 'X' || l[i + 1] == 'Y') && (l[i + 2] == 'G' || l[i + 2] == 'D')) {
            mouvement_ = true;
            return;
        }
}

void Verificateur::Examine(const Interpreteur& in, const Positions& avant, const Positions& apres,
                           double debut) {
    const EtatCut& e = in.Etat;
    avantNote_ = avant;
    const std::int64_t n = in.NumeroLigne;
    debut_ = debut;
    Course(n, e.ZeroX, apres);
    const double dxg = apres.XG - avant.XG, dyg = apres.YG - avant.YG;
    const double dxd = apres.XD - avant.XD, dyd = apres.YD - avant.YD;
    if (dxg == 0 && dyg == 0 && dxd == 0 && dyd == 0)
        return;
    const double duree = in.DureeLue;
    if (!(duree > 0))
        Note(SorteConstat::DureeNulle, n, duree, apres);
    // The speeds over the line's duration, as the report times it.
    const double d = e.DureeSegment;
    if (vitesseY_ && d > 0) {
        const double v = std::max(std::abs(dyg), std::abs(dyd)) / d;
        if (v > seuils_.VitMaxY)
            Note(SorteConstat::VitesseY, n, v, apres);
    }
    // Both carriages take the line's time: their speeds are as their lengths.
    const double g = std::hypot(dxg, dyg), dr = std::hypot(dxd, dyd);
    if (g > 0 && dr > 0) {
        const double r = std::max(g, dr) / std::min(g, dr);
        if (r > seuils_.RapportVitessesMax)
            Note(SorteConstat::RapportVitesses, n, r, apres);
    }
    // Where the wire pinches to a point inside the block, the part comes out inverted.
    if (bloc_ && LigneInversee({avant.XG, avant.YG, avant.XD, avant.YD},
                               {apres.XG, apres.YG, apres.XD, apres.YD}, *seuils_.Bloc))
        Note(SorteConstat::ProfilInverse, n, 0, apres);
}

// The travel in the positions after the X zero shift, a little wider: the usual line
// only compares; one near an edge or beyond it is measured exactly.
void Verificateur::BornesCourse(double zeroX) {
    const double infini = std::numeric_limits<double>::infinity();
    auto bornes = [&](double course, double decalage) -> std::pair<double, double> {
        if (!Seuil(course))
            return {-infini, infini};
        const double marge = 1e-9 * (std::abs(course) + std::abs(decalage) + 1);
        return {-decalage - marge, course - decalage + marge};
    };
    const auto [xDe, xA] = bornes(seuils_.CourseX, zeroX);
    const auto [yDe, yA] = bornes(seuils_.CourseY, 0);
    basses_ = Paire{xDe, yDe};
    hautes_ = Paire{xA, yA};
}

// The travel runs from the machine's origin: positions as the file writes them, before
// the X zero shift.
void Verificateur::Course(std::int64_t n, double zeroX, const Positions& p) {
    double ecart = 0;
    auto mesure = [&ecart](double v, double course) {
        if (Seuil(course))
            ecart = std::max(ecart, std::max(-v, v - course));
    };
    mesure(p.XG + zeroX, seuils_.CourseX);
    mesure(p.XD + zeroX, seuils_.CourseX);
    mesure(p.YG, seuils_.CourseY);
    mesure(p.YD, seuils_.CourseY);
    if (ecart > 0) {
        horsCourse_ = true;
        Note(SorteConstat::HorsCourse, n, ecart, p);
    }
}

Verifications Verificateur::Resultat() const {
    Verifications v;
    v.Faites = true;
    v.Seuils = seuils_;
    for (int i = 0; i < NombreSortes; ++i) {
        const auto s = static_cast<SorteConstat>(i);
        const bool fait = s == SorteConstat::VitesseY        ? vitesseY_
                          : s == SorteConstat::HorsCourse    ? course_
                          : s == SorteConstat::ProfilInverse ? bloc_
                                                             : true;
        v.Controles.push_back({s, fait});
        if (s == SorteConstat::AucunMouvement) {
            if (mouvement_)
                continue;
            // The whole file is the finding.
            Constat c;
            c.Sorte = s;
            c.Lignes = precedente_;
            if (precedente_ > 0)
                c.Plages.push_back({1, precedente_});
            v.Constats.push_back(c);
        } else if (sortes_[static_cast<std::size_t>(i)].C.Lignes > 0) {
            v.Constats.push_back(sortes_[static_cast<std::size_t>(i)].C);
        }
    }
    return v;
}

std::string TexteMesure(double v, std::string_view separateur) {
    char t[64];
    const auto r = std::abs(v) < 1e6 ? std::to_chars(t, t + sizeof t, v, std::chars_format::general, 6)
                                     : std::to_chars(t, t + sizeof t, v, std::chars_format::fixed, 0);
    std::string s(t, r.ptr);
    if (const std::size_t p = s.find('.'); p != std::string::npos)
        s.replace(p, 1, separateur);
    return s;
}

std::string TexteConstat(const Constat& c, std::string_view sep) {
    const DescriptionSorte& d = Description(c.Sorte);
    std::string t = d.Titre;
    t += " : " + std::to_string(c.Lignes) + (c.Lignes == 1 ? " ligne" : " lignes");
    if (!c.Plages.empty()) {
        t += " (";
        for (std::size_t i = 0; i < c.Plages.size(); ++i) {
            if (i > 0)
                t += ", ";
            t += std::to_string(c.Plages[i].Debut);
            if (c.Plages[i].Fin != c.Plages[i].Debut)
                t += "-" + std::to_string(c.Plages[i].Fin);
        }
        if (c.PlagesOmises > 0)
            t += ", …";
        t += ")";
    }
    if (d.Unite && c.LignePire > 0) {
        t += ", pire : " + TexteMesure(c.Pire, sep);
        if (*d.Unite)
            t += std::string(" ") + d.Unite;
        t += " à la ligne " + std::to_string(c.LignePire);
    }
    return t;
}

std::string TexteResume(const Verifications& v) {
    if (!v.Faites)
        return "";
    if (v.Constats.empty())
        return "Vérifications : aucun problème trouvé";
    std::string t = "Vérifications : " + std::to_string(v.Constats.size()) +
                    (v.Constats.size() == 1 ? " problème (" : " problèmes (");
    for (std::size_t i = 0; i < v.Constats.size(); ++i)
        t += (i > 0 ? ", " : "") + std::string(Description(v.Constats[i].Sorte).Court);
    return t + ")";
}

std::string TexteResumeFenetre(const Verifications& v, std::string_view fichier) {
    if (!v.Faites)
        return "Aucun fichier chargé.";
    if (v.Constats.empty())
        return std::string(fichier) + " a passé les vérifications.";
    return std::string(fichier) + " : " + std::to_string(v.Constats.size()) +
           (v.Constats.size() == 1 ? " problème" : " problèmes") +
           ". Choisissez-en un pour voir sa première ligne.";
}

std::string RaisonSautee(SorteConstat s) {
    switch (s) {
    case SorteConstat::VitesseY:
        return "configuration de la machine absente";
    case SorteConstat::HorsCourse:
        return "courses X et Y non réglées";
    case SorteConstat::ProfilInverse:
        return "géométrie du bloc non réglée";
    default:
        return "";
    }
}

std::vector<std::string> TextesControles(const Verifications& v, std::string_view sep) {
    std::vector<std::string> r;
    const SeuilsVerification& s = v.Seuils;
    for (const Controle& c : v.Controles) {
        const DescriptionSorte& d = Description(c.Sorte);
        if (!c.Fait) {
            r.push_back(std::string("Non vérifié : ") + d.Controle + " (" + RaisonSautee(c.Sorte) + ")");
            continue;
        }
        std::string seuil;
        switch (c.Sorte) {
        case SorteConstat::DureeNulle:
            seuil = "au-dessus de 0 s";
            break;
        case SorteConstat::VitesseY:
            seuil = "au plus " + TexteMesure(s.VitMaxY, sep) + " mm/s";
            break;
        case SorteConstat::RapportVitesses:
            seuil = "au plus " + TexteMesure(s.RapportVitessesMax, sep);
            break;
        case SorteConstat::HorsCourse: {
            auto course = [&](const char* axe, double c) {
                return std::string(axe) + (c > 0 ? " de 0 à " + TexteMesure(c, sep) + " mm" : " non réglée");
            };
            seuil = course("X", s.CourseX) + ", " + course("Y", s.CourseY);
            break;
        }
        case SorteConstat::ProfilInverse:
            seuil = "faces à " + TexteMesure(s.Bloc->d, sep) + " et " +
                    TexteMesure(s.Bloc->d + s.Bloc->w, sep) + " mm du chariot gauche";
            break;
        default:
            break;
        }
        r.push_back(std::string("Vérifié : ") + d.Controle + (seuil.empty() ? "" : " (" + seuil + ")"));
    }
    return r;
}

} // namespace parvel
