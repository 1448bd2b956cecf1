// SPDX-License-Identifier: GPL-3.0-or-later
// parvel-cut: the viewer's core without a window. Loads a CUT file as the viewer
// does and prints the run report (and, with the other commands, writes the milling
// output or a picture of the drawing).
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controleur/ControlesMemoire.h"
#include "controleur/Principale.h"
#include "cut/Chargeur.h"
#include "cut/Erreur.h"
#include "cut/Fichiers.h"
#include "cut/Fraisage.h"
#include "cut/Nombres.h"
#include "cut/Statistiques.h"
#include "settings/Demarrage.h"
#include "settings/GeometrieBloc.h"
#include "settings/OuvreRegistre.h"
#include "settings/ParamFraisage.h"
#include "view/ImageRaster.h"
#include "view/Png.h"
#include "view/Vue3D.h"

namespace {

using namespace parvel;

const char* const Usage =
    "usage: parvel-cut rapport [--json] [--registre FICHIER.reg] [--machine L,d,w] FICHIER.cut\n"
    "       parvel-cut fraisage [--registre FICHIER.reg] [--machine L,d,w] FICHIER.cut\n"
    "       parvel-cut image [--registre FICHIER.reg] [--machine L,d,w] [--taille LxH] [--fraisage] "
    "[--vitesses] [--faces sur|seules] [--3d [--azimut A] [--elevation E]] FICHIER.cut SORTIE.png\n";

struct Options {
    std::string commande;
    std::string registre;
    std::vector<std::string> fichiers;
    std::string taille;                      // image: "LxH" in pixels
    bool fraisage = false;                   // image: milling mode on
    bool vitesses = false;                   // image: the speed map
    bool json = false;                       // rapport: the statistics as JSON
    std::string machine;                     // "L,d,w": the block's geometry instead of the store's
    std::string faces;                       // image: "sur" or "seules"
    bool vue3d = false;                      // image: the cut in 3D
    std::optional<double> azimut, elevation; // image --3d: the view's angles, degrees
};

// No window: messages go to stderr, prompts are cancelled, nothing else happens.
class DialoguesConsole : public Dialogues {
  public:
    void Message(std::string_view t) override {
        std::cerr << "parvel-cut: " << t << '\n';
        ++messages;
    }
    void Bip() override {}
    std::string Saisie(std::string_view, std::string_view, std::string_view) override { return ""; }
    std::optional<std::string> ChoisitFichier(const ParamOuverture&) override { return std::nullopt; }
    void MontreAPropos() override {}
    void Termine() override { termine = true; }
    int messages = 0;
    bool termine = false; // the start-up asked the program to end
};

// An angle in degrees, the whole text a finite number.
bool LitAngle(const char* texte, double& v) {
    const char* fin = texte + std::strlen(texte);
    const auto [p, e] = std::from_chars(texte, fin, v);
    return e == std::errc() && p == fin && std::isfinite(v);
}

std::optional<Options> LitOptions(int argc, char** argv) {
    if (argc < 2)
        return std::nullopt;
    Options o;
    o.commande = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--registre") {
            if (++i >= argc)
                return std::nullopt;
            o.registre = argv[i];
        } else if (a == "--taille") {
            if (++i >= argc)
                return std::nullopt;
            o.taille = argv[i];
        } else if (a == "--machine" || a == "--faces" || a == "--azimut" || a == "--elevation") {
            if (++i >= argc)
                return std::nullopt;
            if (a == "--machine")
                o.machine = argv[i];
            else if (a == "--faces")
                o.faces = argv[i];
            else if (double angle = 0; LitAngle(argv[i], angle))
                (a == "--azimut" ? o.azimut : o.elevation) = angle;
            else
                return std::nullopt;
        } else if (a == "--3d") {
            o.vue3d = true;
        } else if (a == "--fraisage") {
            o.fraisage = true;
        } else if (a == "--vitesses") {
            o.vitesses = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return std::nullopt;
        } else {
            o.fichiers.push_back(a);
        }
    }
    if ((o.json && o.commande != "rapport") || (o.vitesses && o.commande != "image"))
        return std::nullopt;
    const bool image = o.commande == "image";
    if ((!image && (o.vue3d || !o.faces.empty())) || (!o.vue3d && (o.azimut || o.elevation)) ||
        (!o.faces.empty() && o.faces != "sur" && o.faces != "seules"))
        return std::nullopt;
    return o;
}

// The file named on the command line, made absolute, as the open dialog gives it.
std::string CheminAbsolu(const std::string& fichier) {
    std::error_code ec;
    std::filesystem::path absolu = std::filesystem::absolute(fichier, ec);
    return ec ? fichier : absolu.string();
}

// "Erreur <n> : <description> : <role> <path>": a failure without a file of its own
// (an overflow in the numbers) belongs to the input.
int Echec(const ErreurParvel& e, const std::string& entree) {
    const std::string message = e.Role() != RoleFichier::Aucun
                                    ? e.Message()
                                    : e.Description() + " : " + NomRole(RoleFichier::Entree) + " " + entree;
    std::cerr << "Erreur " << e.Numero() << " : " << message << '\n';
    return 1;
}

// The block's geometry: --machine, else the store's (none when it holds none). False,
// with the reason printed, when --machine cannot be used.
bool GeometrieDemandee(const Options& o, Registre* registre, std::optional<GeometrieBloc>& g) {
    g.reset();
    if (o.machine.empty()) {
        if (registre)
            g = LitGeometrieBloc(*registre);
        return true;
    }
    const std::optional<GeometrieBloc> lue = LitTexteGeometrie(o.machine);
    if (!lue) {
        std::cerr << "parvel-cut: --machine attend L,d,w en mm (par exemple 800,100,400)\n";
        return false;
    }
    if (const std::optional<std::string> defaut = DefautGeometrie(*lue)) {
        std::cerr << "parvel-cut: --machine " << o.machine << " : " << *defaut << '\n';
        return false;
    }
    g = lue;
    return true;
}

// Loads the file once and prints the report: the engine alone, no window. With a store
// the machine configuration and the milling parameters are read from it first, as the
// window's start-up does; with `fraisage` the milling output is written too. With
// --json the statistics are printed instead, from two readings of the file. The block's
// geometry comes from --machine, else from the store `bloc`.
int ChargeEnConsole(const Options& o, Registre* registre, bool fraisage, Registre* bloc) {
    if (o.fichiers.size() != 1) {
        std::cerr << Usage;
        return 2;
    }
    ConfigMachine config;
    ParamFraisage param;
    if (registre) {
        std::string dossier;
        std::optional<std::string> arret = LitConfigMachine(*registre, config, dossier);
        if (!arret)
            arret = Recup_Param_Parvel(*registre, config, param);
        if (arret) {
            std::cerr << "parvel-cut: " << *arret << '\n';
            return 1;
        }
    }
    std::optional<GeometrieBloc> geometrie;
    if (!GeometrieDemandee(o, bloc, geometrie))
        return 2;
    const std::string chemin = CheminAbsolu(o.fichiers[0]);
    Interpreteur interp;
    interp.MmParPasX = config.MmParPasX;
    interp.MmParPasY = config.MmParPasY;
    BilanCut bilan;
    EcrivainFraisage ecrivain;
    std::optional<MesureFaces> faces;
    if (fraisage)
        ecrivain.Prepare(CheminSortieFraisage(config.RepProjet, chemin), param);
    try {
        if (o.json) {
            const std::string json =
                TexteJson(CalculeStatistiques(chemin, interp, geometrie ? &*geometrie : nullptr));
            std::fwrite(json.data(), 1, json.size(), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (geometrie)
            faces.emplace(*geometrie);
        PasseChargement(chemin, interp, bilan, fraisage ? &ecrivain : nullptr, nullptr,
                        faces ? &*faces : nullptr);
    } catch (const ErreurParvel& e) {
        return Echec(e, chemin);
    }
    const std::string separateur = SeparateurDecimalLocale();
    std::vector<std::string> lignes;
    for (const LigneRapport& l : FaitRapport(bilan, interp.Etat, separateur))
        lignes.push_back(l.Texte);
    // The block's figures after the report, which stays as it is.
    if (faces)
        for (std::string& l : TexteFaces(faces->Figures(), separateur))
            lignes.push_back(std::move(l));
    for (const std::string& l : lignes) {
        std::fwrite(l.data(), 1, l.size(), stdout);
        std::fputc('\n', stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// The machine configuration comes from a store only with --registre; the block's
// geometry from the user's own store otherwise.
int CommandeRapport(const Options& o) {
    std::unique_ptr<Registre> registre = OuvreRegistre(o.registre);
    return ChargeEnConsole(o, o.registre.empty() ? nullptr : registre.get(), false, registre.get());
}

// Without --registre the milling parameters come from the user's own store.
int CommandeFraisage(const Options& o) {
    std::unique_ptr<Registre> registre = OuvreRegistre(o.registre);
    return ChargeEnConsole(o, registre.get(), true, registre.get());
}

// "LxH" in pixels, each side from 1 to the raster's bound.
std::optional<std::pair<int, int>> LitTaille(const std::string& t) {
    const char* const fin = t.data() + t.size();
    int l = 0, h = 0;
    auto [x, e1] = std::from_chars(t.data(), fin, l);
    if (e1 != std::errc() || x == fin || (*x != 'x' && *x != 'X'))
        return std::nullopt;
    auto [reste, e2] = std::from_chars(x + 1, fin, h);
    if (e2 != std::errc() || reste != fin)
        return std::nullopt;
    if (l < 1 || h < 1 || l > ImageRaster::TailleMaxPx || h > ImageRaster::TailleMaxPx)
        return std::nullopt;
    return std::pair{l, h};
}

// One load as the window makes it, on a raster of the drawing area's size, written as PNG.
int CommandeImage(const Options& o) {
    // The area's size when the window first shows: 7212 x 5055 twips at 15 twips per pixel.
    std::pair<int, int> taille{481, 337};
    if (!o.taille.empty()) {
        std::optional<std::pair<int, int>> t = LitTaille(o.taille);
        if (!t) {
            std::cerr << Usage;
            return 2;
        }
        taille = *t;
    }
    if (o.fichiers.size() != 2) {
        std::cerr << Usage;
        return 2;
    }
    if (MemeFichier(o.fichiers[0], o.fichiers[1])) {
        std::cerr << "Erreur : l'image remplacerait le fichier lu (" << o.fichiers[1] << ")\n";
        return 1;
    }
    std::unique_ptr<Registre> registre = OuvreRegistre(o.registre);
    ImageRaster image(taille.first, taille.second);
    class : public ZoneTexte {
        void Efface() override {}
        void Imprime(int, std::string_view) override {}
    } sortie;
    // The window's own controller, so that the picture is the window's.
    ControlesMemoire controles;
    DialoguesConsole dialogues;
    Principale p(Plateforme{image, sortie, controles, dialogues, *registre});
    p.Form_Load();
    if (dialogues.termine)
        return 1;
    if (o.fraisage)
        controles.DefinitFraisageActif(true);
    p.CarteVitesses = o.vitesses;
    if (!GeometrieDemandee(o, registre.get(), p.Geometrie))
        return 2;
    if (!o.faces.empty()) {
        if (!p.Geometrie) {
            std::cerr << "parvel-cut: " << MessageSansGeometrie << '\n';
            return 2;
        }
        p.Faces = o.faces == "sur" ? ModeFaces::SurChariots : ModeFaces::Seules;
    }
    p.CommonDialog1.NomFichier = CheminAbsolu(o.fichiers[0]);
    p.NomCourt = NomCourtPour(p.CheminCourant());
    try {
        p.ChargeCut();
    } catch (const ErreurParvel& e) {
        return Echec(e, p.CheminCourant());
    }
    if (dialogues.messages > 0)
        return 1;
    std::vector<std::uint32_t> pixels = image.Compose();
    if (o.vue3d) {
        // The same loaded file seen in 3D, at the picture's size.
        Rendu3D rendu(image.LargeurPx(), image.HauteurPx());
        Camera3D camera;
        camera.Azimut = o.azimut.value_or(camera.Azimut);
        camera.Elevation = o.elevation.value_or(camera.Elevation);
        if (!p.Dessine3D(rendu, camera))
            return 1;
        rendu.Compose(pixels, std::nullopt);
    }
    std::string erreur;
    if (!EcritPng(o.fichiers[1], image.LargeurPx(), image.HauteurPx(), pixels.data(), &erreur)) {
        std::cerr << "Erreur : " << erreur << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> o = LitOptions(argc, argv);
    if (!o) {
        std::cerr << Usage;
        return 2;
    }
    if (o->commande == "rapport")
        return CommandeRapport(*o);
    if (o->commande == "fraisage")
        return CommandeFraisage(*o);
    if (o->commande == "image")
        return CommandeImage(*o);
    std::cerr << Usage;
    return 2;
}
