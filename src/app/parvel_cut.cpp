// SPDX-License-Identifier: GPL-3.0-or-later
// parvel-cut: the viewer's core without a window. Loads a CUT file as the viewer
// does and prints the run report (and, with the other commands, writes the milling
// output or a picture of the drawing).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <getopt.h>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "controleur/ControlesMemoire.h"
#include "controleur/Principale.h"
#include "cut/Chargeur.h"
#include "cut/Erreur.h"
#include "cut/Fichiers.h"
#include "cut/Fraisage.h"
#include "cut/Nombres.h"
#include "cut/Statistiques.h"
#include "cut/Verifications.h"
#include "settings/Demarrage.h"
#include "settings/GeometrieBloc.h"
#include "settings/OuvreRegistre.h"
#include "settings/ParamFraisage.h"
#include "settings/ReglagesVerification.h"
#include "view/ImageRaster.h"
#include "view/Png.h"
#include "view/Vue3D.h"

namespace {

using namespace parvel;

struct Options {
    std::string commande;
    std::string registre;
    std::vector<std::string> fichiers;
    std::string taille;                      // image: "LxH" in pixels
    bool fraisage = false;                   // image: milling mode on
    bool vitesses = false;                   // image: the speed map
    bool json = false;                       // rapport, verifie: JSON
    std::string machine;                     // "L,d,w": the block's geometry instead of the store's
    std::string faces;                       // image: "sur" or "seules"
    bool vue3d = false;                      // image: the cut in 3D
    std::optional<double> azimut, elevation; // image --3d: the view's angles, degrees
};

// Every message of the program starts with its name, as the shell's tools do.
constexpr const char* Prefixe = "parvel-cut: ";

// A command line the program cannot run: named, with the way to the help; exit 2.
int ErreurUsage(const std::string& texte) {
    std::cerr << Prefixe << texte << '\n' << Prefixe << "« parvel-cut --help » affiche l'aide\n";
    return 2;
}

// No window: messages go to stderr, prompts are cancelled, nothing else happens.
class DialoguesConsole : public Dialogues {
  public:
    void Message(std::string_view t) override {
        std::cerr << Prefixe << t << '\n';
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

// The file named on the command line, made absolute, as the open dialog gives it.
std::string CheminAbsolu(const std::string& fichier) {
    std::error_code ec;
    const std::filesystem::path absolu = std::filesystem::absolute(CheminNatif(fichier), ec);
    return ec ? fichier : TexteChemin(absolu);
}

// "Erreur <n> : <description> : <role> <path>": a failure without a file of its own
// (an overflow in the numbers) belongs to the input.
int Echec(const ErreurParvel& e, const std::string& entree) {
    const std::string message = e.Role() != RoleFichier::Aucun
                                    ? e.Message()
                                    : e.Description() + " : " + NomRole(RoleFichier::Entree) + " " + entree;
    std::cerr << Prefixe << "Erreur " << e.Numero() << " : " << message << '\n';
    return 1;
}

// The store's file, where the command would read it from.
std::string FichierRegistre(const Options& o) {
    return o.registre.empty() ? CheminRegistreParDefaut() : o.registre;
}

// An output that is the same file as one the command reads would replace it: says so in
// the documented form and gives true.
bool RemplaceUnFichierLu(const std::string& sortie, RoleFichier role, const std::string& entree,
                         const std::string& registre) {
    const char* lu = MemeFichier(CheminNatif(sortie), CheminNatif(entree)) ? "c'est le fichier lu"
                     : MemeFichier(CheminNatif(sortie), CheminNatif(registre))
                         ? "c'est le fichier du registre"
                         : nullptr;
    if (lu)
        Echec(ErreurParvel(ErrAccesChemin, role, sortie, lu), entree);
    return lu != nullptr;
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
        ErreurUsage("--machine attend L,d,w en mm (par exemple 800,100,400)");
        return false;
    }
    if (const std::optional<std::string> defaut = DefautGeometrie(*lue)) {
        ErreurUsage("--machine " + o.machine + " : " + *defaut);
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
    std::optional<GeometrieBloc> geometrie;
    if (!GeometrieDemandee(o, bloc, geometrie))
        return 2;
    ConfigMachine config;
    ParamFraisage param;
    if (registre) {
        std::string dossier;
        std::optional<std::string> arret = LitConfigMachine(*registre, config, dossier);
        if (!arret)
            arret = Recup_Param_Parvel(*registre, config, param);
        if (arret) {
            std::cerr << Prefixe << *arret << '\n';
            return 1;
        }
    }
    const std::string chemin = CheminAbsolu(o.fichiers[0]);
    Interpreteur interp;
    interp.MmParPasX = config.MmParPasX;
    interp.MmParPasY = config.MmParPasY;
    BilanCut bilan;
    EcrivainFraisage ecrivain;
    std::optional<MesureFaces> faces;
    if (fraisage) {
        ecrivain.Prepare(CheminSortieFraisage(config.RepProjet, chemin), param);
        if (RemplaceUnFichierLu(ecrivain.Chemin(), RoleFichier::SortieFraisage, chemin, FichierRegistre(o)))
            return 1;
    }
    try {
        if (o.json) {
            // The checks with the thresholds of the store given, the defaults without one.
            SeuilsVerification seuils =
                registre ? LitSeuilsVerification(*registre, config) : SeuilsVerification{};
            seuils.Bloc = geometrie;
            const std::string json = TexteJson(
                CalculeStatistiques(chemin, interp, geometrie ? &*geometrie : nullptr, nullptr, &seuils));
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

// The checks of one load pass, one finding a line (or in JSON); exit 3 when there are
// findings. Without --registre the thresholds come from the user's own store.
int CommandeVerifie(const Options& o) {
    std::unique_ptr<Registre> registre = OuvreRegistre(o.registre);
    ConfigMachine config;
    std::string dossier;
    if (std::optional<std::string> arret = LitConfigMachine(*registre, config, dossier)) {
        std::cerr << Prefixe << *arret << '\n';
        return 1;
    }
    const std::string chemin = CheminAbsolu(o.fichiers[0]);
    Interpreteur interp;
    interp.MmParPasX = config.MmParPasX;
    interp.MmParPasY = config.MmParPasY;
    BilanCut bilan;
    SeuilsVerification seuils = LitSeuilsVerification(*registre, config);
    if (!GeometrieDemandee(o, registre.get(), seuils.Bloc))
        return 2;
    Verificateur verificateur(seuils);
    try {
        PasseChargement(chemin, interp, bilan, nullptr, nullptr, nullptr, &verificateur);
    } catch (const ErreurParvel& e) {
        return Echec(e, chemin);
    }
    const Verifications v = verificateur.Resultat();
    std::string texte;
    if (o.json) {
        texte = TexteJsonVerifications(chemin, v);
    } else {
        const std::string separateur = SeparateurDecimalLocale();
        for (const Constat& c : v.Constats)
            texte += TexteConstat(c, separateur) + '\n';
        if (v.Constats.empty())
            texte = TexteResume(v) + '\n';
        // What was not checked goes with the other messages, so that the output holds the
        // findings alone.
        for (const Controle& c : v.Controles)
            if (!c.Fait)
                std::cerr << Prefixe << "non vérifié : " << Description(c.Sorte).Controle << " ("
                          << RaisonSautee(c.Sorte) << ")\n";
    }
    std::fwrite(texte.data(), 1, texte.size(), stdout);
    if (std::fflush(stdout) != 0)
        return 1;
    return v.Constats.empty() ? 0 : 3;
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

// Beyond this many pixels the picture takes too much memory: 4096 x 4096 already needs
// about 430 MB (some 26 bytes a pixel for the layers, the composed picture and the PNG).
constexpr std::int64_t PixelsMax = std::int64_t{1} << 24;

bool TailleAcceptable(std::pair<int, int> taille, const std::string& sortie) {
    const std::int64_t pixels = std::int64_t{taille.first} * taille.second;
    if (pixels <= PixelsMax)
        return true;
    std::cerr << Prefixe << "Erreur " << ErrDepassement << " : "
              << ErreurParvel(ErrDepassement, RoleFichier::Image, sortie,
                              "--taille " + std::to_string(taille.first) + "x" +
                                  std::to_string(taille.second) + " : au plus " + std::to_string(PixelsMax) +
                                  " pixels (4096x4096)")
                     .Message()
              << '\n';
    return false;
}

// One load as the window makes it, on a raster of the drawing area's size, written as PNG.
int CommandeImage(const Options& o) {
    // The area's size when the window first shows: 7212 x 5055 twips at 15 twips per pixel.
    std::pair<int, int> taille{481, 337};
    if (!o.taille.empty()) {
        std::optional<std::pair<int, int>> t = LitTaille(o.taille);
        if (!t)
            return ErreurUsage("taille invalide « " + o.taille + " » : LxH en pixels, de 1 à " +
                               std::to_string(ImageRaster::TailleMaxPx) + " par côté");
        taille = *t;
    }
    if (!TailleAcceptable(taille, o.fichiers[1]))
        return 2;
    if (RemplaceUnFichierLu(o.fichiers[1], RoleFichier::Image, o.fichiers[0], FichierRegistre(o)))
        return 1;
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
    if (o.vitesses)
        p.Vitesses_Click();
    p.DefinitSeparateur(SeparateurDecimalLocale()); // the legend's, as the report's
    std::optional<GeometrieBloc> geometrie;
    if (!GeometrieDemandee(o, registre.get(), geometrie))
        return 2;
    p.DefinitGeometrie(geometrie);
    if (!o.faces.empty()) {
        if (!geometrie) {
            std::cerr << Prefixe << MessageSansGeometrie << '\n';
            return 1;
        }
        p.Faces_Click(o.faces == "sur" ? ModeFaces::SurChariots : ModeFaces::Seules);
    }
    try {
        p.ChargeFichier(CheminAbsolu(o.fichiers[0]));
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
        std::cerr << Prefixe << erreur << '\n';
        return 1;
    }
    return 0;
}

// An angle in degrees, the whole text a finite number.
bool LitAngle(const char* texte, double& v) {
    const char* fin = texte + std::strlen(texte);
    const auto [p, e] = std::from_chars(texte, fin, v);
    return e == std::errc() && p == fin && std::isfinite(v);
}

// The command line. One table of long options; each command lists the options it
// accepts and its files; the usage and the help are built from both.
enum IdOption : int {
    OptAide = 'h',
    OptVersion = 256, // beyond any short option's character
    OptRegistre,
    OptJson,
    OptTaille,
    OptFraisage,
    OptVitesses,
    OptMachine,
    OptFaces,
    Opt3D,
    OptAzimut,
    OptElevation,
};

struct OptionCli {
    IdOption id;
    const char* nom;
    const char* valeur; // the value's name in the usage; nullptr for a switch
    const char* aide;
};

const OptionCli OptionsCli[] = {
    {OptJson, "json", nullptr,
     "rapport : les statistiques du fichier et ses vérifications en JSON au lieu du bilan ; "
     "verifie : les constats en JSON"},
    {OptRegistre, "registre", "FICHIER.reg",
     "lit la configuration de la machine, les paramètres de fraisage et les seuils des vérifications "
     "dans ce fichier .reg "
     "au lieu du registre de l'utilisateur"},
    {OptTaille, "taille", "LxH", "image : la taille de l'image en pixels (481x337 par défaut)"},
    {OptFraisage, "fraisage", nullptr, "image : le dessin en mode fraisage"},
    {OptVitesses, "vitesses", nullptr, "image : les trajectoires colorées selon la vitesse"},
    {OptMachine, "machine", "L,d,w",
     "la géométrie du bloc en mm (entre les chariots, du chariot gauche au bloc, largeur du bloc) au lieu "
     "de celle du registre : ajoute les faces du bloc au bilan, au JSON et aux images"},
    {OptFaces, "faces", "sur|seules",
     "image : les faces du bloc sur les trajets des chariots ou à leur place"},
    {Opt3D, "3d", nullptr, "image : la découpe en 3D (il faut la géométrie du bloc)"},
    {OptAzimut, "azimut", "A", "image --3d : l'angle de vue autour de la verticale, en degrés (55)"},
    {OptElevation, "elevation", "E", "image --3d : la hauteur de l'œil, en degrés (25)"},
    {OptAide, "help", nullptr, "affiche cette aide et termine"},
    {OptVersion, "version", nullptr, "affiche la version et termine"},
};

struct CommandeCli {
    const char* nom;
    std::vector<IdOption> options;
    std::vector<const char*> fichiers;
    int (*lance)(const Options&);
    const char* aide;
};

const CommandeCli CommandesCli[] = {
    {"rapport",
     {OptJson, OptRegistre, OptMachine},
     {"FICHIER.cut"},
     CommandeRapport,
     "affiche le bilan du fichier CUT (ou ses statistiques en JSON)"},
    {"fraisage",
     {OptRegistre, OptMachine},
     {"FICHIER.cut"},
     CommandeFraisage,
     "écrit la version fraisage du fichier (Fr+FICHIER.cut) et affiche le bilan"},
    {"image",
     {OptRegistre, OptTaille, OptFraisage, OptVitesses, OptMachine, OptFaces, Opt3D, OptAzimut, OptElevation},
     {"FICHIER.cut", "SORTIE.png"},
     CommandeImage,
     "dessine le fichier comme la fenêtre et l'écrit en PNG"},
    {"verifie",
     {OptRegistre, OptJson, OptMachine},
     {"FICHIER.cut"},
     CommandeVerifie,
     "vérifie le fichier avant la découpe et affiche un constat par ligne (ou en JSON)"},
};

const OptionCli& Option(int id) {
    for (const OptionCli& o : OptionsCli)
        if (o.id == id)
            return o;
    throw std::logic_error("option sans entrée dans la table");
}

std::string Synopsis(const CommandeCli& c) {
    std::string s = std::string("parvel-cut ") + c.nom;
    for (IdOption id : c.options) {
        const OptionCli& o = Option(id);
        s += std::string(" [--") + o.nom + (o.valeur ? std::string(" ") + o.valeur : "") + "]";
    }
    for (const char* f : c.fichiers)
        s += std::string(" ") + f;
    return s;
}

// "  nom   texte", the text wrapped at 79 columns under its own column, as --help pages are.
std::string Entree(const std::string& nom, const std::string& texte, std::size_t colonne) {
    std::string s = nom;
    std::size_t largeur = 0; // of the current line, in characters, not bytes
    auto saut = [&] {
        s += '\n' + std::string(colonne, ' ');
        largeur = colonne;
    };
    if (nom.size() + 1 > colonne)
        saut();
    else {
        s += std::string(colonne - nom.size(), ' ');
        largeur = colonne;
    }
    std::size_t debut = 0;
    bool premier = true;
    while (debut < texte.size()) {
        std::size_t fin = texte.find(' ', debut);
        if (fin == std::string::npos)
            fin = texte.size();
        const std::string mot = texte.substr(debut, fin - debut);
        const auto caracteres = static_cast<std::size_t>(std::count_if(
            mot.begin(), mot.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
        if (!premier && largeur + 1 + caracteres > 79)
            saut();
        else if (!premier) {
            s += ' ';
            ++largeur;
        }
        s += mot;
        largeur += caracteres;
        premier = false;
        debut = fin + 1;
    }
    return s + '\n';
}

std::string Aide() {
    std::string s;
    const char* debut = "Usage: ";
    for (const CommandeCli& c : CommandesCli) {
        s += debut + Synopsis(c) + '\n';
        debut = "   ou : ";
    }
    s += std::string(debut) +
         "parvel-cut --help | --version\n\n"
         "Lit un fichier CUT (trajectoires d'une machine de découpe au fil chaud à quatre axes)\n"
         "comme la fenêtre de Parvel, sans fenêtre.\n\nCommandes :\n";
    for (const CommandeCli& c : CommandesCli)
        s += Entree(std::string("  ") + c.nom, c.aide, 12);
    s += "\nOptions :\n";
    for (const OptionCli& o : OptionsCli) {
        std::string nom = (o.id == OptAide ? "  -h, --" : "      --") + std::string(o.nom);
        if (o.valeur)
            nom += std::string("=") + o.valeur;
        s += Entree(nom, o.aide, 26);
    }
    s += "\nCodes de sortie : 0 réussite, 1 échec (fichier illisible, erreur d'écriture...),\n"
         "2 ligne de commande incorrecte, 3 verifie a trouvé des problèmes.\n"
         "Le séparateur décimal du bilan suit LC_NUMERIC ; le registre de l'utilisateur est\n"
         "$XDG_CONFIG_HOME/parvel/registre.reg (~/.config/parvel/registre.reg par défaut).\n";
    return s;
}

struct LigneCommande {
    Options options;
    const CommandeCli* commande = nullptr;
    std::vector<IdOption> donnees; // the options given, to check them against the command
    bool aide = false;
    bool version = false;
};

// getopt_long in order ("-"): a file is returned where it stands, so the first one is the
// command whatever POSIXLY_CORRECT says; after "--" every argument is a file.
std::variant<LigneCommande, int> LitLigneCommande(int argc, char** argv) {
    std::vector<option> longues;
    for (const OptionCli& o : OptionsCli)
        longues.push_back({o.nom, o.valeur ? required_argument : no_argument, nullptr, o.id});
    longues.push_back({});
    LigneCommande l;
    std::vector<std::string> libres;
    opterr = 0;
    optind = 1;
    int c;
    while ((c = getopt_long(argc, argv, "-:h", longues.data(), nullptr)) != -1) {
        switch (c) {
        case 1:
            libres.push_back(optarg);
            continue;
        case '?':
            // A switch given a value ("--json=oui", "--help=x") comes back with its own id.
            if (std::any_of(std::begin(OptionsCli), std::end(OptionsCli),
                            [](const OptionCli& o) { return o.id == optopt; }))
                return ErreurUsage(std::string("l'option « --") + Option(optopt).nom +
                                   " » ne prend pas de valeur");
            if (optopt != 0)
                return ErreurUsage(std::string("option inconnue « -") + static_cast<char>(optopt) + " »");
            {
                const std::string texte = argv[optind - 1];
                return ErreurUsage("option inconnue « " + texte.substr(0, texte.find('=')) + " »");
            }
        case ':':
            return ErreurUsage(std::string("l'option « --") + Option(optopt).nom + " » attend une valeur (" +
                               Option(optopt).valeur + ")");
        case OptAide:
            l.aide = true;
            break;
        case OptVersion:
            l.version = true;
            break;
        case OptRegistre:
            l.options.registre = optarg;
            break;
        case OptJson:
            l.options.json = true;
            break;
        case OptTaille:
            l.options.taille = optarg;
            break;
        case OptFraisage:
            l.options.fraisage = true;
            break;
        case OptVitesses:
            l.options.vitesses = true;
            break;
        case OptMachine:
            l.options.machine = optarg;
            break;
        case OptFaces:
            l.options.faces = optarg;
            if (l.options.faces != "sur" && l.options.faces != "seules")
                return ErreurUsage("--faces attend « sur » ou « seules »");
            break;
        case Opt3D:
            l.options.vue3d = true;
            break;
        case OptAzimut:
        case OptElevation: {
            double angle = 0;
            if (!LitAngle(optarg, angle))
                return ErreurUsage(std::string("--") + Option(c).nom + " attend un angle en degrés");
            (c == OptAzimut ? l.options.azimut : l.options.elevation) = angle;
            break;
        }
        }
        l.donnees.push_back(static_cast<IdOption>(c));
    }
    for (int i = optind; i < argc; ++i)
        libres.push_back(argv[i]);
    if ((l.options.azimut || l.options.elevation) && !l.options.vue3d)
        return ErreurUsage("--azimut et --elevation vont avec --3d");
    if (l.aide || l.version)
        return l;
    if (libres.empty())
        return ErreurUsage("commande manquante (rapport, fraisage, image ou verifie)");
    l.options.commande = libres.front();
    for (const CommandeCli& commande : CommandesCli)
        if (l.options.commande == commande.nom)
            l.commande = &commande;
    if (!l.commande)
        return ErreurUsage("commande inconnue « " + l.options.commande + " »");
    for (IdOption id : l.donnees)
        if (std::find(l.commande->options.begin(), l.commande->options.end(), id) ==
            l.commande->options.end())
            return ErreurUsage(std::string("l'option « --") + Option(id).nom + " » ne s'applique pas à « " +
                               l.commande->nom + " »");
    l.options.fichiers.assign(libres.begin() + 1, libres.end());
    if (l.options.fichiers.size() != l.commande->fichiers.size()) {
        std::string attendus;
        for (const char* f : l.commande->fichiers)
            attendus += std::string(" ") + f;
        return ErreurUsage(std::string("« ") + l.commande->nom + " » attend" + attendus);
    }
    return l;
}

int Lance(int argc, char** argv) {
    std::variant<LigneCommande, int> lue = LitLigneCommande(argc, argv);
    if (const int* code = std::get_if<int>(&lue))
        return *code;
    const LigneCommande& l = std::get<LigneCommande>(lue);
    if (l.aide) {
        std::cout << Aide();
        return std::cout.flush() ? 0 : 1;
    }
    if (l.version) {
        std::cout
            << "parvel-cut (Parvel) " << PARVEL_VERSION_MAJOR << '.' << PARVEL_VERSION_MINOR << '.'
            << PARVEL_VERSION_REVISION
            << "\nLicence GPLv3+ : GNU GPL version 3 ou ultérieure <https://gnu.org/licenses/gpl.html>.\n"
               "Ce programme est un logiciel libre, fourni sans AUCUNE GARANTIE.\n";
        return std::cout.flush() ? 0 : 1;
    }
    return l.commande->lance(l.options);
}

} // namespace

#ifdef _WIN32
// The narrow argv is in the ANSI code page, which cannot carry every file name: the
// program takes the UTF-16 one and works in UTF-8, as everywhere else.
int wmain(int argc, wchar_t** wargv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(TexteChemin(std::filesystem::path(wargv[i])));
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return Lance(argc, argv.data());
}
#else
int main(int argc, char** argv) {
    return Lance(argc, argv);
}
#endif
