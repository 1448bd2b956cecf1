// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Statistiques.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>
#include <type_traits>
#include <utility>

#include "cut/Erreur.h"

namespace parvel {
namespace {

// What a pass read: a hash of the lines interpreted, in order (64-bit FNV-1a, each line
// ended by a byte no line holds). Two passes that read the same lines agree.
class EmpreinteLignes : public RecepteurLignes {
  public:
    void Ligne(const Interpreteur& in, std::optional<double>) override {
        for (const char c : in.Etat.Ligne)
            Ajoute(static_cast<unsigned char>(c));
        Ajoute('\n');
    }
    std::uint64_t Valeur() const { return h_; }

  private:
    void Ajoute(unsigned char c) { h_ = (h_ ^ c) * 0x100000001b3u; }
    std::uint64_t h_ = 0xcbf29ce484222325u;
};

// The second pass: counts, path lengths and the time per speed band, a line at a time.
class Mesure : public EmpreinteLignes {
  public:
    explicit Mesure(StatistiquesCut& s) : s_(s) {}

    void Ligne(const Interpreteur& in, std::optional<double> v) override {
        EmpreinteLignes::Ligne(in, v);
        const EtatCut& e = in.Etat;
        s_.DureeTotale += in.DureeLue;
        if (in.DureeLue > 0 && !in.PositionLue)
            ++s_.NombrePauses;
        if (!premiere_) {
            if (in.PositionLue)
                ++s_.NombreSegments;
            // hypot: two far points give a long path, not an overflow in the squares.
            s_.LongueurGauche += std::hypot(e.XG - xg_, e.YG - yg_);
            s_.LongueurDroite += std::hypot(e.XD - xd_, static_cast<double>(e.YD) - yd_);
        }
        premiere_ = false;
        xg_ = e.XG, yg_ = e.YG, xd_ = e.XD, yd_ = e.YD;
        // A zero speed (a move of no length) counts as no speed, as the slowest speed does.
        if (v && *v > 0 && !s_.Bandes.empty())
            s_.Bandes[Bande(*v)].Duree += in.DureeLue;
        else
            s_.DureeSansVitesse += in.DureeLue;
    }

  private:
    // The band whose written edges hold v, whatever the rounding of the division.
    std::size_t Bande(double v) const {
        const auto& b = s_.Bandes;
        const double bas = b.front().VitesseBasse, haut = b.back().VitesseHaute;
        const double x = haut > bas ? (v - bas) / (haut - bas) * NombreBandesVitesse : NombreBandesVitesse;
        std::size_t i = static_cast<std::size_t>(std::clamp(x, 0.0, NombreBandesVitesse - 1.0));
        while (i > 0 && v < b[i].VitesseBasse)
            --i;
        while (i + 1 < b.size() && v >= b[i + 1].VitesseBasse)
            ++i;
        return i;
    }

    StatistiquesCut& s_;
    bool premiere_ = true;
    double xg_ = 0, yg_ = 0, xd_ = 0, yd_ = 0;
};

std::vector<BandeVitesse> Bandes(double bas, double haut) {
    std::vector<BandeVitesse> b(NombreBandesVitesse);
    for (int i = 0; i < NombreBandesVitesse; ++i)
        b[i].VitesseBasse = i == 0 ? bas : bas + (haut - bas) * i / NombreBandesVitesse;
    for (int i = 0; i + 1 < NombreBandesVitesse; ++i)
        b[i].VitesseHaute = b[i + 1].VitesseBasse;
    b.back().VitesseHaute = haut;
    return b;
}

// The length of the valid UTF-8 sequence that starts at t[i], 0 when none does: no
// overlong form, no UTF-16 half, nothing beyond U+10FFFF.
std::size_t LongueurUtf8(std::string_view t, std::size_t i) {
    const auto o = [&](std::size_t k) {
        return i + k < t.size() ? static_cast<unsigned char>(t[i + k]) : 0u;
    };
    const unsigned c = o(0);
    const auto suite = [&](std::size_t k, unsigned bas = 0x80, unsigned haut = 0xBF) {
        return o(k) >= bas && o(k) <= haut;
    };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return suite(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const bool second = c == 0xE0 ? suite(1, 0xA0) : c == 0xED ? suite(1, 0x80, 0x9F) : suite(1);
        return second && suite(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const bool second = c == 0xF0 ? suite(1, 0x90) : c == 0xF4 ? suite(1, 0x80, 0x8F) : suite(1);
        return second && suite(2) && suite(3) ? 4 : 0;
    }
    return 0;
}

// JSON is UTF-8: a path's bytes that are not (a name from another encoding) become U+FFFD.
void Chaine(std::string& j, std::string_view t) {
    j += '"';
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            const std::size_t n = LongueurUtf8(t, i);
            if (n == 0) {
                j += "\xEF\xBF\xBD";
            } else {
                j.append(t.substr(i, n));
                i += n - 1;
            }
            continue;
        }
        if (c == '"' || c == '\\') {
            j += '\\';
            j += c;
        } else if (c == '\n') {
            j += "\\n";
        } else if (c == '\r') {
            j += "\\r";
        } else if (c == '\t') {
            j += "\\t";
        } else if (u < 0x20) {
            const char* const hex = "0123456789abcdef";
            j += "\\u00";
            j += hex[u >> 4];
            j += hex[u & 15];
        } else {
            j += c;
        }
    }
    j += '"';
}

// The shortest text that reads back to v in v's own type; JSON has no infinity.
template <class T> void Nombre(std::string& j, T v) {
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(v)) {
            j += "null";
            return;
        }
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    j.append(buf, r.ptr);
}

// One `"nom": ` of the top-level object, with the comma that separates it from the last.
void Cle(std::string& j, const char* nom) {
    j += j.size() == 1 ? "\n  \"" : ",\n  \"";
    j += nom;
    j += "\": ";
}

template <class T> void Champ(std::string& j, const char* nom, T v) {
    Cle(j, nom);
    Nombre(j, v);
}

// A threshold that is not set is null.
void Seuil(std::string& j, const char* nom, double v) {
    j += ", \"";
    j += nom;
    j += "\": ";
    if (v > 0)
        Nombre(j, v);
    else
        j += "null";
}

// The members of the checks' object, each on a line after `retrait`; the first one
// follows what `j` ends with.
void MembresVerifications(std::string& j, const Verifications& v, const std::string& retrait) {
    const std::string element = "\n" + retrait + "  ";
    j += "\n" + retrait + "\"seuils\": {\"vitesse_max_y\": ";
    if (v.Seuils.VitMaxY > 0)
        Nombre(j, v.Seuils.VitMaxY);
    else
        j += "null";
    Seuil(j, "rapport_vitesses_max", v.Seuils.RapportVitessesMax);
    Seuil(j, "course_x", v.Seuils.CourseX);
    Seuil(j, "course_y", v.Seuils.CourseY);
    j += "},\n" + retrait + "\"controles\": [";
    for (std::size_t i = 0; i < v.Controles.size(); ++i) {
        const Controle& c = v.Controles[i];
        j += (i > 0 ? "," : "") + element + "{\"sorte\": ";
        Chaine(j, Description(c.Sorte).Cle);
        j += c.Fait ? ", \"fait\": true}" : ", \"fait\": false, \"raison\": ";
        if (!c.Fait) {
            Chaine(j, RaisonSautee(c.Sorte));
            j += '}';
        }
    }
    j += "\n" + retrait + "],\n" + retrait + "\"constats\": [";
    for (std::size_t i = 0; i < v.Constats.size(); ++i) {
        const Constat& c = v.Constats[i];
        const DescriptionSorte& d = Description(c.Sorte);
        j += (i > 0 ? "," : "") + element + "{\"sorte\": ";
        Chaine(j, d.Cle);
        j += ", \"titre\": ";
        Chaine(j, d.Titre);
        j += ", \"lignes\": ";
        Nombre(j, c.Lignes);
        j += ", \"plages\": [";
        for (std::size_t p = 0; p < c.Plages.size(); ++p) {
            j += p > 0 ? ", [" : "[";
            Nombre(j, c.Plages[p].Debut);
            j += ", ";
            Nombre(j, c.Plages[p].Fin);
            j += ']';
        }
        j += "], \"plages_omises\": ";
        Nombre(j, c.PlagesOmises);
        j += ", \"pire\": ";
        if (d.Unite && c.LignePire > 0)
            Nombre(j, c.Pire);
        else
            j += "null";
        j += ", \"ligne_pire\": ";
        Nombre(j, c.LignePire);
        j += '}';
    }
    j += v.Constats.empty() ? "]" : "\n" + retrait + "]";
}

void Face(std::string& j, const char* nom, double z, const FiguresFace& f) {
    j += ",\n    \"";
    j += nom;
    j += "\": {\"z\": ";
    const std::pair<const char*, double> champs[] = {{"z", z},
                                                     {"x_min", f.XMin},
                                                     {"x_max", f.XMax},
                                                     {"y_min", f.YMin},
                                                     {"y_max", f.YMax},
                                                     {"corde", f.Corde()},
                                                     {"epaisseur", f.Epaisseur()},
                                                     {"longueur", f.Longueur}};
    for (std::size_t i = 0; i < std::size(champs); ++i) {
        if (i > 0) {
            j += ", \"";
            j += champs[i].first;
            j += "\": ";
        }
        Nombre(j, champs[i].second);
    }
    j += '}';
}

// The block's geometry, each face's figures and the inverted lines.
void Faces(std::string& j, const FiguresFaces& f) {
    const GeometrieBloc& g = f.Geometrie;
    Cle(j, "faces");
    j += "{\n    \"l\": ";
    Nombre(j, g.L);
    j += ", \"d\": ";
    Nombre(j, g.d);
    j += ", \"w\": ";
    Nombre(j, g.w);
    Face(j, "proche", g.d, f.Proche);
    Face(j, "loin", g.d + g.w, f.Loin);
    j += ",\n    \"nombre_inversions\": ";
    Nombre(j, f.NombreInversions);
    j += ",\n    \"premieres_inversions\": [";
    for (std::size_t i = 0; i < f.PremieresInversions.size(); ++i) {
        if (i > 0)
            j += ", ";
        Nombre(j, f.PremieresInversions[i]);
    }
    j += "]\n  }";
}

} // namespace

StatistiquesCut CalculeStatistiques(const std::string& chemin, Interpreteur& interp,
                                    const GeometrieBloc* geometrie, Avancement* avancement,
                                    const SeuilsVerification* seuils) {
    StatistiquesCut s;
    s.Chemin = chemin;
    EmpreinteLignes premiere;
    std::optional<MesureFaces> faces;
    if (geometrie)
        faces.emplace(*geometrie);
    std::optional<Verificateur> verificateur;
    if (seuils)
        verificateur.emplace(*seuils);
    DiffuseLignes lignes{&premiere, faces ? &*faces : nullptr};
    PasseChargement(chemin, interp, s.Bilan, nullptr, avancement, &lignes,
                    verificateur ? &*verificateur : nullptr);
    if (faces)
        s.Faces = faces->Figures();
    if (verificateur)
        s.Verif = verificateur->Resultat();
    s.TempsTotal = interp.Etat.TempsTotal;
    s.ZeroX = interp.Etat.ZeroX;
    if (s.Bilan.VitesseMinFichier > 0)
        s.Bandes = Bandes(s.Bilan.VitesseMinFichier, s.Bilan.VitesseMax);
    Mesure mesure(s);
    BilanCut second;
    PasseChargement(chemin, interp, second, nullptr, avancement, &mesure);
    // Figures from two different files must not be mixed.
    if (mesure.Valeur() != premiere.Valeur() || second.NombreLignes != s.Bilan.NombreLignes)
        throw ErreurParvel(ErrAccesChemin, RoleFichier::Entree, chemin,
                           "le fichier a changé pendant la lecture");
    return s;
}

std::string TexteJson(const StatistiquesCut& s) {
    const BilanCut& b = s.Bilan;
    std::string j = "{";
    Cle(j, "chemin");
    Chaine(j, s.Chemin);
    Champ(j, "nombre_lignes", b.NombreLignes);
    Champ(j, "nombre_segments", s.NombreSegments);
    Champ(j, "nombre_pauses", s.NombrePauses);
    Champ(j, "vitesse_min", b.VitesseMin);
    Champ(j, "vitesse_max", b.VitesseMax);
    Champ(j, "vitesse_min_fichier", b.VitesseMinFichier);
    Champ(j, "temps_total", s.TempsTotal);
    Champ(j, "duree_totale", s.DureeTotale);
    Champ(j, "duree_sans_vitesse", s.DureeSansVitesse);
    Champ(j, "zero_x", s.ZeroX);
    Champ(j, "xg_min", b.XGMin);
    Champ(j, "xg_max", b.XGMax);
    Champ(j, "yg_min", b.YGMin);
    Champ(j, "yg_max", b.YGMax);
    Champ(j, "xd_min", b.XDMin);
    Champ(j, "xd_max", b.XDMax);
    Champ(j, "yd_min", b.YDMin);
    Champ(j, "yd_max", b.YDMax);
    Champ(j, "longueur_gauche", s.LongueurGauche);
    Champ(j, "longueur_droite", s.LongueurDroite);
    Cle(j, "histogramme_vitesses");
    j += '[';
    for (std::size_t i = 0; i < s.Bandes.size(); ++i) {
        j += i == 0 ? "\n    {\"vitesse_basse\": " : ",\n    {\"vitesse_basse\": ";
        Nombre(j, s.Bandes[i].VitesseBasse);
        j += ", \"vitesse_haute\": ";
        Nombre(j, s.Bandes[i].VitesseHaute);
        j += ", \"duree\": ";
        Nombre(j, s.Bandes[i].Duree);
        j += '}';
    }
    if (!s.Bandes.empty())
        j += "\n  ";
    j += ']';
    if (s.Faces)
        Faces(j, *s.Faces);
    if (s.Verif) {
        Cle(j, "verifications");
        j += '{';
        MembresVerifications(j, *s.Verif, "    ");
        j += "\n  }";
    }
    j += "\n}\n";
    return j;
}

std::string TexteJsonVerifications(const std::string& chemin, const Verifications& v) {
    std::string j = "{";
    Cle(j, "chemin");
    Chaine(j, chemin);
    j += ',';
    MembresVerifications(j, v, "  ");
    j += "\n}\n";
    return j;
}

} // namespace parvel
