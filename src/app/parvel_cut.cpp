// parvel-cut: the viewer's core without a window. Loads a CUT file as the viewer
// does and prints the run report (and, with the other commands, writes the milling
// output or a picture of the drawing).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Principale.h"
#include "cut/Erreur.h"
#include "cut/Nombres.h"
#include "view/ControlesMemoire.h"

namespace {

using namespace parvel;

const char* const Usage = "usage: parvel-cut rapport [--registre FICHIER.reg] FICHIER.cut\n";

struct Options {
    std::string commande;
    std::string registre;
    std::vector<std::string> fichiers;
};

class SortieConsole : public ZoneTexte {
  public:
    void Efface() override {}
    void Imprime(int, std::string_view ligne) override {
        std::fwrite(ligne.data(), 1, ligne.size(), stdout);
        std::fputc('\n', stdout);
    }
};

// No window: messages go to stderr, prompts are cancelled, nothing else happens.
class DialoguesConsole : public Dialogues {
  public:
    void Message(std::string_view t) override { std::cerr << "parvel-cut: " << t << '\n'; }
    void Bip() override {}
    std::string Saisie(std::string_view, std::string_view, std::string_view) override { return ""; }
    std::optional<std::string> ChoisitFichier(const ParamOuverture&) override { return std::nullopt; }
    void MontreAPropos() override {}
    void Termine() override {}
};

class RegistreVide : public Registre {
  public:
    std::string LitTexteRegistre(Racine, std::string, std::string) override { return ""; }
    std::int32_t LitEntierRegistre(Racine, std::string, std::string) override { return 0; }
    void EcritEntierRegistre(Racine, std::string, std::string, std::int32_t) override {}
};

// A drawing area that draws nothing, for the report alone.
class SurfaceMuette : public SurfaceDessin {
  public:
    float Largeur() const override { return 7212; }
    float Hauteur() const override { return 5055; }
    void DefinitTaille(float, float) override {}
    Mapping LitMapping() const override { return mapping_; }
    void DefinitScaleLeft(float v) override { mapping_.ScaleLeft = v; }
    void DefinitScaleTop(float v) override { mapping_.ScaleTop = v; }
    void DefinitScaleWidth(float v) override { mapping_.ScaleWidth = v; }
    void DefinitScaleHeight(float v) override { mapping_.ScaleHeight = v; }
    void Efface() override {}
    void Ligne(double, double, double, double, int) override {}
    void Point(double, double, int) override {}
    void Cercle(double, double, double, int) override {}
    void DefinitPosition(double, double) override {}
    void DefinitCouleurTexte(int) override {}
    void Imprime(std::string_view) override {}
    void DefinitTexteSurvol(std::string) override {}
    Placement LitForme(Forme) const override { return {}; }
    void PlaceForme(Forme, Placement) override {}
    bool FormeVisible(Forme) const override { return false; }
    void MontreForme(Forme, bool) override {}

  private:
    Mapping mapping_{0, 0, 7212, 5055};
};

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
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return std::nullopt;
        } else {
            o.fichiers.push_back(a);
        }
    }
    return o;
}

int Echec(const ErreurParvel& e, const std::string& chemin) {
    std::cerr << "Erreur " << e.Numero() << " : " << e.Description() << " (" << chemin << ")\n";
    return 1;
}

int CommandeRapport(const Options& o) {
    if (o.fichiers.size() != 1) {
        std::cerr << Usage;
        return 2;
    }
    SurfaceMuette image;
    SortieConsole sortie;
    ControlesMemoire controles;
    DialoguesConsole dialogues;
    RegistreVide registre;
    Principale p(Plateforme{image, sortie, controles, dialogues, registre});
    controles.Relie(&p);
    p.Separateur = SeparateurDecimalLocale();
    std::error_code ec;
    std::filesystem::path absolu = std::filesystem::absolute(o.fichiers[0], ec);
    p.CommonDialog1.NomFichier = ec ? o.fichiers[0] : absolu.string();
    p.NomCourt = NomCourtPour(p.CheminCourant());
    try {
        p.PasseChargement();
    } catch (const ErreurParvel& e) {
        return Echec(e, p.CheminCourant());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
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
    std::cerr << Usage;
    return 2;
}
