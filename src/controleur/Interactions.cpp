// SPDX-License-Identifier: GPL-3.0-or-later
#include "controleur/Interactions.h"

#include <algorithm>

#include "cut/Chargeur.h"
#include "cut/Erreur.h"

namespace parvel {

std::optional<std::string> TexteErreur(const std::exception& e) {
    if (dynamic_cast<const Annulation*>(&e))
        return std::nullopt;
    if (const auto* p = dynamic_cast<const ErreurParvel*>(&e))
        return "Erreur " + std::to_string(p->Numero()) + " : " + p->Message();
    return std::string("Erreur : ") + e.what();
}

bool Routeur::Route(const std::function<void()>& procedure, const std::function<void()>& ensuite) {
    if (occupe_)
        return false;
    occupe_ = true;
    struct Garde {
        bool& occupe;
        ~Garde() { occupe = false; }
    } garde{occupe_};
    suivi_.Commence();
    const char* annulation = nullptr;
    // The controller reports its own failures; this only keeps one from crossing the event loop.
    try {
        procedure();
    } catch (const Annulation& a) {
        annulation = a.what();
    } catch (const std::exception& e) {
        dialogues_.Message(*TexteErreur(e));
    }
    suivi_.Termine(annulation);
    if (ensuite)
        ensuite();
    return true;
}

std::optional<Geste> GestePour(Touche touche, bool ctrl, bool dansZone) {
    for (const Raccourci& r : Raccourcis)
        if (r.touche == touche && r.ctrl == ctrl && (!r.zone || dansZone))
            return r.geste;
    return std::nullopt;
}

std::string TexteRaccourci(Geste geste) {
    static constexpr const char* Noms[] = {"+",      "-",     "=",       "Gauche", "Droite", "Haut",
                                           "Bas",    "Echap", "Origine", "Inser",  "F5",     "F7",
                                           "Espace", "C",     "M",       "O",      "3"};
    for (const Raccourci& r : Raccourcis)
        if (r.geste == geste)
            return (r.ctrl ? "Ctrl+" : "") + std::string(Noms[static_cast<int>(r.touche)]);
    return {};
}

int CransDe(Geste geste) {
    return geste == Geste::ZoomAvant ? 1 : geste == Geste::ZoomArriere ? -1 : 0;
}

std::pair<int, int> DeplacementDe(Geste geste) {
    switch (geste) {
    case Geste::VersGauche:
        return {-1, 0};
    case Geste::VersDroite:
        return {1, 0};
    case Geste::VersHaut:
        return {0, 1};
    case Geste::VersBas:
        return {0, -1};
    default:
        return {0, 0};
    }
}

namespace {

bool Suite(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80; // a UTF-8 continuation byte
}

// At most `n` characters: the start and the end kept, "…" between them.
std::string Raccourcit(const std::string& nom, std::size_t n) {
    std::vector<std::size_t> debuts; // where each character starts
    for (std::size_t i = 0; i < nom.size(); ++i)
        if (!Suite(nom[i]))
            debuts.push_back(i);
    if (debuts.size() <= n)
        return nom;
    const std::size_t tete = (n - 1) / 2, queue = n - 1 - tete;
    return nom.substr(0, debuts[tete]) + "…" + nom.substr(debuts[debuts.size() - queue]);
}

} // namespace

std::vector<EntreeRecente> EntreesRecentes(const std::vector<std::string>& chemins) {
    std::vector<EntreeRecente> r;
    for (const std::string& chemin : chemins) {
        std::string libelle = "&" + std::to_string(r.size() + 1) + " ";
        // A "&" of the name is shown, not taken for the entry's key.
        for (char c : Raccourcit(NomCourtPour(chemin), LongueurNomRecent))
            libelle += c == '&' ? std::string("&&") : std::string(1, c);
        r.push_back({std::move(libelle), chemin});
    }
    return r;
}

std::vector<std::pair<std::string, std::string>> FiltresOuverture(const std::string& filtre) {
    const auto rogne = [](const std::string& s) {
        const auto debut = s.find_first_not_of(" \t");
        return debut == std::string::npos ? std::string()
                                          : s.substr(debut, s.find_last_not_of(" \t") - debut + 1);
    };
    std::vector<std::string> morceaux;
    std::size_t debut = 0;
    for (std::size_t fin; (fin = filtre.find('|', debut)) != std::string::npos; debut = fin + 1)
        morceaux.push_back(rogne(filtre.substr(debut, fin - debut)));
    morceaux.push_back(rogne(filtre.substr(debut)));
    std::vector<std::pair<std::string, std::string>> r;
    for (std::size_t i = 0; i + 1 < morceaux.size(); i += 2)
        r.emplace_back(morceaux[i], morceaux[i + 1]);
    return r;
}

bool DepotAccepte(const std::vector<std::string>& chemins) {
    if (chemins.size() != 1 || chemins.front().size() < 4)
        return false;
    std::string fin = chemins.front().substr(chemins.front().size() - 4);
    std::transform(fin.begin(), fin.end(), fin.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return fin == ".cut";
}

void RapportCopiable::Efface() {
    lignes_.clear();
    zone_.Efface();
}

void RapportCopiable::Imprime(int couleur, std::string_view ligne) {
    lignes_.emplace_back(ligne);
    zone_.Imprime(couleur, ligne);
}

std::string RapportCopiable::Texte() const {
    std::string r;
    for (std::size_t i = 0; i < lignes_.size(); ++i)
        r += (i ? "\n" : "") + lignes_[i];
    return r;
}

int CompteurCrans::Ajoute(int delta) {
    reste_ += delta;
    const int crans = reste_ / Cran;
    reste_ %= Cran;
    return crans;
}

std::optional<Glissement> GlissementVue(const ImageRaster& raster, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2)
        return std::nullopt;
    const PointUtilisateur a = raster.VersUtilisateur(x1, y1), b = raster.VersUtilisateur(x2, y2);
    return Glissement{a.X - b.X, a.Y - b.Y};
}

} // namespace parvel
