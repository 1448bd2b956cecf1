// SPDX-License-Identifier: GPL-3.0-or-later
// parvel-genaile: writes a CUT file of a tapered, swept wing core, as a hot-wire
// cutter's control program would, for examples and for measuring the loader.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "GenerateurAile.h"

namespace {

using parvel::aile::ParamAile;

const char* const Usage =
    "usage: parvel-genaile [options] SORTIE.cut   (SORTIE \"-\": sortie standard)\n"
    "  --lignes N          nombre exact de lignes (2000)\n"
    "  --points-max N      points de profil par passe; au-dela, plusieurs passes (2000)\n"
    "  --emplanture NACA   profil d'emplanture, 4 chiffres (2412)\n"
    "  --saumon NACA       profil de saumon (2410)\n"
    "  --corde MM          corde d'emplanture (250)\n"
    "  --effilement R      corde de saumon / corde d'emplanture (0.6)\n"
    "  --fleche MM         decalage en X du bord d'attaque du saumon (40)\n"
    "  --vrillage DEG      vrillage du saumon, bord d'attaque vers le bas (2)\n"
    "  --largeur MM        distance entre les chariots (1000)\n"
    "  --bloc-gauche MM    face d'emplanture du bloc, depuis le chariot gauche (200)\n"
    "  --bloc-droit MM     face de saumon du bloc (800)\n"
    "  --bord-attaque MM   X du bord d'attaque a l'emplanture (60)\n"
    "  --hauteur MM        Y de la corde (40)\n"
    "  --entree MM         distance du depart derriere le bord de fuite (20)\n"
    "  --vitesse MM/S      vitesse de coupe (4)\n"
    "  --approche MM/S     vitesse d'entree et de sortie (8)\n"
    "  --chauffe S         pause de chauffe au depart (3)\n"
    "  --pause S           pause au bord de fuite (0.5)\n"
    "  --bruit MM          bruit uniforme sur les points du profil (0)\n"
    "  --graine N          graine du bruit (1)\n";

template <typename T> bool Lit(std::string_view s, T& v) {
    auto [fin, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && fin == s.data() + s.size();
}

} // namespace

int main(int argc, char** argv) {
    ParamAile p;
    std::string sortie;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--aide" || a == "-h" || a == "--help") {
            std::cout << Usage;
            return 0;
        }
        if (a.size() > 2 && a.substr(0, 2) == "--") {
            if (i + 1 >= argc) {
                std::cerr << "parvel-genaile: valeur manquante pour " << a << "\n" << Usage;
                return 2;
            }
            std::string_view v = argv[++i];
            bool ok = true;
            if (a == "--lignes")
                ok = Lit(v, p.Lignes);
            else if (a == "--points-max")
                ok = Lit(v, p.PointsMax);
            else if (a == "--graine")
                ok = Lit(v, p.Graine);
            else if (a == "--emplanture")
                p.ProfilEmplanture = v;
            else if (a == "--saumon")
                p.ProfilSaumon = v;
            else {
                double* cible = a == "--corde"          ? &p.CordeEmplanture
                                : a == "--effilement"   ? &p.Effilement
                                : a == "--fleche"       ? &p.Fleche
                                : a == "--vrillage"     ? &p.Vrillage
                                : a == "--largeur"      ? &p.LargeurMachine
                                : a == "--bloc-gauche"  ? &p.BlocGauche
                                : a == "--bloc-droit"   ? &p.BlocDroit
                                : a == "--bord-attaque" ? &p.BordAttaque
                                : a == "--hauteur"      ? &p.Hauteur
                                : a == "--entree"       ? &p.Entree
                                : a == "--vitesse"      ? &p.Vitesse
                                : a == "--approche"     ? &p.VitesseApproche
                                : a == "--chauffe"      ? &p.Chauffe
                                : a == "--pause"        ? &p.PauseBord
                                : a == "--bruit"        ? &p.Bruit
                                                        : nullptr;
                if (!cible) {
                    std::cerr << "parvel-genaile: option inconnue " << a << "\n" << Usage;
                    return 2;
                }
                ok = Lit(v, *cible);
            }
            if (!ok) {
                std::cerr << "parvel-genaile: valeur illisible pour " << a << " : " << v << "\n";
                return 2;
            }
        } else if (sortie.empty()) {
            sortie = a;
        } else {
            std::cerr << Usage;
            return 2;
        }
    }
    if (sortie.empty()) {
        std::cerr << Usage;
        return 2;
    }
    if (std::string raison = parvel::aile::VerifieParam(p); !raison.empty()) {
        std::cerr << "parvel-genaile: " << raison << "\n";
        return 2;
    }
    try {
        parvel::aile::ResumeAile r;
        if (sortie == "-") {
            std::ios::sync_with_stdio(false);
            r = parvel::aile::EcritAile(p, std::cout);
            if (!std::cout)
                throw std::runtime_error("écriture impossible sur la sortie standard");
        } else {
            r = parvel::aile::EcritAile(p, sortie);
        }
        std::cerr << "parvel-genaile: " << r.Lignes << " lignes, " << r.Passes << " passe(s) de "
                  << r.PointsParPasse << " points, " << r.Octets << " octets, temps " << r.TempsTotal
                  << " s\n";
    } catch (const std::exception& e) {
        std::cerr << "parvel-genaile: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
