// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test helpers for every layer: temporary folders; where the layer sees the platform
// interfaces, recording doubles of them; where it sees the controller, a bench that
// wires it to the doubles.
#include <filesystem>
#include <string>
#include <vector>

namespace parvel::test {

// A temporary folder removed with its content at the end of the test.
class DossierTemporaire {
  public:
    DossierTemporaire();
    ~DossierTemporaire();
    const std::filesystem::path& Chemin() const { return chemin_; }
    // Writes `contenu` as bytes into a file of the folder and returns its path.
    std::string Ecrit(const std::string& nom, const std::string& contenu) const;
    // The names of the folder's entries, sorted.
    std::vector<std::string> Noms(const std::filesystem::path& sous = {}) const;

  private:
    std::filesystem::path chemin_;
};

std::string LitFichier(const std::filesystem::path& chemin);

// The rows of a tab-separated table (a path relative to tests/data), without its "#"
// lines; "\t", "\n", "\r" and "\0" in a field stand for those bytes, "\xHH" for any byte.
std::vector<std::vector<std::string>> LitTable(const std::filesystem::path& chemin);
// The numbers of a field, separated by blanks.
std::vector<double> Nombres(const std::string& champ);
// The "nom=valeur" pairs of a field, separated by blanks, the values numbers.
std::vector<std::pair<std::string, double>> Paires(const std::string& champ);

} // namespace parvel::test

#if __has_include("plateforme/Surface.h")
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <variant>
#include <vector>

#include "cut/Chargeur.h"
#include "plateforme/Dialogues.h"
#include "plateforme/Registre.h"
#include "plateforme/Surface.h"
#include "plateforme/ZoneTexte.h"

namespace parvel::test {

struct Trait {
    double x1, y1, x2, y2;
    int couleur;
    bool operator==(const Trait&) const = default;
};
struct PointDessine {
    double x, y;
    int couleur;
    bool operator==(const PointDessine&) const = default;
};
// A circle or a text, where it was drawn.
struct Inscription {
    double x, y;
    int couleur;
    std::string texte; // empty for a circle of radius 1
    bool operator==(const Inscription&) const = default;
};

// X from -100 to 50 and Y from 0 to 30 over both sides.
inline const char* const FichierLarge =
    "XG:0 YG:0 XD:0 YD:0\r\nT:0.05 XG:-100 YG:30 XD:50 YD:10\r\nT:0.05 XG:-20 YG:5 XD:10 YD:2\r\n";

// Records every drawing call; the mapping behaves as the area's does (twips until set).
class SurfaceEnregistreuse : public SurfaceDessin {
  public:
    float largeur = 7212, hauteur = 5055;
    bool mappingDefini = false;
    Mapping mapping;
    std::vector<Trait> traits;
    std::vector<PointDessine> points;
    std::vector<Inscription> inscriptions;
    int effacements = 0;
    std::string survol;
    Placement formes[3];
    bool visibles[3] = {false, false, false};

    void OublieDessins() { traits.clear(), points.clear(), inscriptions.clear(); }
    float Largeur() const override { return largeur; }
    float Hauteur() const override { return hauteur; }
    void DefinitTaille(float l, float h) override { largeur = l, hauteur = h; }
    Mapping LitMapping() const override { return mappingDefini ? mapping : Mapping{0, 0, largeur, hauteur}; }
    void DefinitMapping(const Mapping& m) override { mapping = m, mappingDefini = true; }
    void Efface() override { ++effacements, OublieDessins(), legende.reset(); }
    void Ligne(double x1, double y1, double x2, double y2, int c) override {
        traits.push_back({x1, y1, x2, y2, c});
    }
    // Any colour is kept as its 0xRRGGBB, negated so that it never reads as a palette index.
    void LigneRGB(double x1, double y1, double x2, double y2, std::uint32_t rgb) override {
        traits.push_back({x1, y1, x2, y2, -static_cast<int>(rgb) - 1});
    }
    bool tirets = false;
    void DefinitTirets(bool t) override { tirets = t; }
    // Keeps no line's info: the raster's own tests cover TraitPres.
    void DefinitTrait(const InfoTrait*) override {}
    std::optional<InfoTrait> TraitPres(float, float) const override { return std::nullopt; }
    void Point(double x, double y, int c) override { points.push_back({x, y, c}), posX_ = x, posY_ = y; }
    void Cercle(double x, double y, double r, int c) override {
        if (r == 1)
            inscriptions.push_back({x, y, c, ""});
    }
    void DefinitPosition(double x, double y) override { posX_ = x, posY_ = y; }
    void DefinitCouleurTexte(int c) override { couleurTexte_ = c; }
    void Imprime(std::string_view t) override {
        inscriptions.push_back({posX_, posY_, couleurTexte_, std::string(t)});
    }
    void ImprimeAcote(std::string_view t, double) override { Imprime(t); }
    void DefinitTexteSurvol(std::string t) override { survol = std::move(t); }
    Placement LitForme(Forme f) const override { return formes[static_cast<int>(f)]; }
    void PlaceForme(Forme f, Placement p) override { formes[static_cast<int>(f)] = p; }
    bool FormeVisible(Forme f) const override { return visibles[static_cast<int>(f)]; }
    void MontreForme(Forme f, bool v) override { visibles[static_cast<int>(f)] = v; }
    std::optional<Fil> fil;
    void MontreFil(std::optional<Fil> f) override { fil = f; }
    std::optional<Surlignage> surlignage;
    void MontreSurlignage(std::optional<Surlignage> s) override { surlignage = s; }
    std::optional<LegendeVitesses> legende;
    void MontreLegende(std::optional<LegendeVitesses> l) override { legende = std::move(l); }

  private:
    double posX_ = 0, posY_ = 0;
    int couleurTexte_ = 0;
};

class ZoneTexteMemoire : public ZoneTexte {
  public:
    std::vector<LigneRapport> lignes;
    int effacements = 0;
    void Efface() override { ++effacements, lignes.clear(); }
    void Imprime(int couleur, std::string_view l) override { lignes.push_back({couleur, std::string(l)}); }
};

struct Invite {
    std::string titre, texte, defaut;
};

// Scripted dialogs: queued answers, recorded messages, prompts and beeps.
class DialoguesScriptes : public Dialogues {
  public:
    std::vector<std::string> messages;
    int bips = 0;
    std::deque<std::string> reponses; // answers to Saisie; an empty queue answers Cancel ("")
    std::vector<Invite> invites;
    std::optional<std::string> fichierChoisi;
    std::vector<ParamOuverture> ouvertures;
    int terminaisons = 0;
    int limiteInvites = 1000;     // a dialog that never ends fails the test instead of hanging
    std::function<void()> surBip; // runs at each beep, to look at the state at that moment

    void Message(std::string_view t) override { messages.emplace_back(t); }
    void Bip() override {
        ++bips;
        if (surBip)
            surBip();
    }
    std::string Saisie(std::string_view titre, std::string_view texte, std::string_view defaut) override;
    std::optional<std::string> ChoisitFichier(const ParamOuverture& p) override {
        ouvertures.push_back(p);
        return fichierChoisi;
    }
    void MontreAPropos() override {}
    void Termine() override { ++terminaisons; }
};

// An in-memory store with the registry's case-insensitive names.
class RegistreMemoire : public Registre {
  public:
    std::map<std::string, std::variant<std::int32_t, std::string>> valeurs; // by Plie(key, name)
    std::vector<std::string> ecritures;                                     // "key|name=value", as written
    std::map<std::string, int> echecsLecture; // value name -> error number its reading raises

    static std::string Plie(const std::string& cle, const std::string& nom);
    void PoseTexte(const std::string& cle, const std::string& nom, const std::string& v) {
        valeurs[Plie(cle, nom)] = v;
    }
    void PoseEntier(const std::string& cle, const std::string& nom, std::int32_t v) {
        valeurs[Plie(cle, nom)] = v;
    }
    std::optional<std::int32_t> Entier(const std::string& cle, const std::string& nom) const;
    std::string LitTexteRegistre(Racine, std::string cle, std::string nom) override;
    std::int32_t LitEntierRegistre(Racine, std::string cle, std::string nom) override;
    void EcritEntierRegistre(Racine, std::string cle, std::string nom, std::int32_t v) override {
        ecritures.push_back(cle + "|" + nom + "=" + std::to_string(v));
        PoseEntier(cle, nom, v);
    }
    void EcritTexteRegistre(Racine, std::string cle, std::string nom, std::string v) override {
        ecritures.push_back(cle + "|" + nom + "=\"" + v + "\"");
        PoseTexte(cle, nom, v);
    }
};

} // namespace parvel::test
#endif

#if __has_include("controleur/Principale.h")
#include "controleur/ControlesMemoire.h"
#include "controleur/Principale.h"

namespace parvel::test {

// The controller wired to doubles, as the window wires it to widgets.
struct Banc {
    SurfaceEnregistreuse image;
    ZoneTexteMemoire sortie;
    ControlesMemoire controles;
    DialoguesScriptes dialogues;
    RegistreMemoire registre;
    Principale p{Plateforme{image, sortie, controles, dialogues, registre}};
};

} // namespace parvel::test
#endif
