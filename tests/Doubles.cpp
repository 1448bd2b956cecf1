// SPDX-License-Identifier: GPL-3.0-or-later
#include "Doubles.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "cut/Erreur.h"

namespace parvel::test {

#if __has_include("plateforme/Surface.h")
std::string DialoguesScriptes::Saisie(std::string_view titre, std::string_view texte,
                                      std::string_view defaut) {
    invites.push_back({std::string(titre), std::string(texte), std::string(defaut)});
    if (static_cast<int>(invites.size()) > limiteInvites)
        throw std::runtime_error("le dialogue ne se termine pas");
    if (reponses.empty())
        return "";
    std::string r = reponses.front();
    reponses.pop_front();
    return r;
}

std::string RegistreMemoire::Plie(const std::string& cle, const std::string& nom) {
    std::string s = cle + "|" + nom;
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    return s;
}

std::optional<std::int32_t> RegistreMemoire::Entier(const std::string& cle, const std::string& nom) const {
    auto v = valeurs.find(Plie(cle, nom));
    if (v == valeurs.end() || !std::holds_alternative<std::int32_t>(v->second))
        return std::nullopt;
    return std::get<std::int32_t>(v->second);
}

std::string RegistreMemoire::LitTexteRegistre(Racine, std::string cle, std::string nom) {
    if (auto e = echecsLecture.find(nom); e != echecsLecture.end())
        throw ErreurParvel(e->second);
    auto v = valeurs.find(Plie(cle, nom));
    return v != valeurs.end() && std::holds_alternative<std::string>(v->second)
               ? std::get<std::string>(v->second)
               : "";
}

std::int32_t RegistreMemoire::LitEntierRegistre(Racine, std::string cle, std::string nom) {
    if (auto e = echecsLecture.find(nom); e != echecsLecture.end())
        throw ErreurParvel(e->second);
    return Entier(cle, nom).value_or(0);
}
#endif

DossierTemporaire::DossierTemporaire() {
    static std::atomic<int> compteur{0};
    std::random_device rd;
    chemin_ = std::filesystem::temp_directory_path() /
              ("parvel-test-" + std::to_string(rd()) + "-" + std::to_string(compteur++));
    std::filesystem::create_directories(chemin_);
}

DossierTemporaire::~DossierTemporaire() {
    std::error_code ec;
    std::filesystem::permissions(chemin_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(chemin_, ec);
}

std::string DossierTemporaire::Ecrit(const std::string& nom, const std::string& contenu) const {
    std::filesystem::path p = chemin_ / nom;
    std::ofstream f(p, std::ios::binary);
    f << contenu;
    return p.string();
}

std::vector<std::string> DossierTemporaire::Noms(const std::filesystem::path& sous) const {
    std::vector<std::string> noms;
    for (const auto& e : std::filesystem::directory_iterator(chemin_ / sous))
        noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

std::string LitFichier(const std::filesystem::path& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::vector<std::string>> LitTable(const std::filesystem::path& chemin) {
#ifdef PARVEL_DONNEES_TEST
    std::ifstream f(std::filesystem::path(PARVEL_DONNEES_TEST) / chemin, std::ios::binary);
#else
    std::ifstream f(chemin, std::ios::binary);
#endif
    if (!f)
        throw std::runtime_error("table absente: " + chemin.string());
    const std::string codes = "tnr0", octets("\t\n\r\0", 4);
    std::vector<std::vector<std::string>> lignes;
    for (std::string l; std::getline(f, l);) {
        if (l.rfind('#', 0) == 0)
            continue;
        std::vector<std::string> champs(1);
        for (std::size_t i = 0; i < l.size(); ++i) {
            const std::size_t code =
                l[i] == '\\' && i + 1 < l.size() ? codes.find(l[i + 1]) : std::string::npos;
            if (l[i] == '\t')
                champs.emplace_back();
            else if (l[i] == '\\' && i + 3 < l.size() && l[i + 1] == 'x')
                champs.back() += static_cast<char>(std::stoi(l.substr(i + 2, 2), nullptr, 16)), i += 3;
            else if (code != std::string::npos)
                champs.back() += octets[code], ++i;
            else
                champs.back() += l[i];
        }
        lignes.push_back(champs);
    }
    return lignes;
}

std::vector<double> Nombres(const std::string& champ) {
    std::vector<double> v;
    std::istringstream s(champ);
    for (std::string t; s >> t;) {
        double x = 0;
        const bool negatif = t[0] == '-';
        if (std::from_chars(t.data() + negatif, t.data() + t.size(), x).ec != std::errc())
            throw std::runtime_error("nombre illisible: " + t);
        v.push_back(negatif ? -x : x);
    }
    return v;
}

std::vector<std::pair<std::string, double>> Paires(const std::string& champ) {
    std::vector<std::pair<std::string, double>> v;
    std::istringstream s(champ);
    for (std::string p; s >> p;)
        v.emplace_back(p.substr(0, p.find('=')), Nombres(p.substr(p.find('=') + 1)).at(0));
    return v;
}

} // namespace parvel::test
