// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Preferences.h"

#include <algorithm>

namespace parvel {

namespace {
std::string NomRecent(int i) {
    return "Fichier" + std::to_string(i + 1);
}

// A line end cannot stand in a stored text: a name that holds one is stored as "%"
// followed by the name with "%", CR and LF written %25, %0D and %0A. A name of the file
// system never begins with "%" when absolute, and one that does is stored the same way.
std::string Encode(const std::string& chemin) {
    if (chemin.find_first_of("\r\n") == std::string::npos && chemin.rfind('%', 0) != 0)
        return chemin;
    std::string r = "%";
    for (const char c : chemin)
        r += c == '%' ? "%25" : c == '\r' ? "%0D" : c == '\n' ? "%0A" : std::string(1, c);
    return r;
}

std::string Decode(const std::string& texte) {
    if (texte.rfind('%', 0) != 0)
        return texte;
    std::string r;
    for (std::size_t i = 1; i < texte.size(); ++i) {
        const std::string code = texte.substr(i, 3);
        const char c = code == "%25" ? '%' : code == "%0D" ? '\r' : code == "%0A" ? '\n' : '\0';
        if (c != '\0') {
            r += c;
            i += 2;
        } else {
            r += texte[i];
        }
    }
    return r;
}
} // namespace

bool LitRechargementAuto(Registre& registre) {
    return registre.LitEntierRegistre(HKEY_CURRENT_USER, CleFenetre, "SansRechargement") == 0;
}

void EcritRechargementAuto(Registre& registre, bool actif) {
    registre.EcritEntierRegistre(HKEY_CURRENT_USER, CleFenetre, "SansRechargement", actif ? 0 : 1);
}

bool LitFenetreEncadree(Registre& registre) {
    return registre.LitEntierRegistre(HKEY_CURRENT_USER, CleFenetre, "Cadre") == 1;
}

void EcritFenetreEncadree(Registre& registre, bool encadree) {
    registre.EcritEntierRegistre(HKEY_CURRENT_USER, CleFenetre, "Cadre", encadree ? 1 : 0);
}

std::vector<std::string> LitRecents(Registre& registre) {
    std::vector<std::string> r;
    for (int i = 0; i < NbRecents; ++i) {
        std::string chemin = Decode(registre.LitTexteRegistre(HKEY_CURRENT_USER, CleFenetre, NomRecent(i)));
        if (!chemin.empty() && std::find(r.begin(), r.end(), chemin) == r.end())
            r.push_back(std::move(chemin));
    }
    return r;
}

// Read and written as one change: another viewer adding at the same moment loses nothing.
void AjouteRecent(Registre& registre, const std::string& chemin) {
    registre.Groupe([&](Registre& magasin) {
        std::vector<std::string> r = LitRecents(magasin);
        if (!r.empty() && r.front() == chemin)
            return;
        r.erase(std::remove(r.begin(), r.end(), chemin), r.end());
        r.insert(r.begin(), chemin);
        r.resize(std::min<std::size_t>(r.size(), NbRecents));
        for (std::size_t i = 0; i < r.size(); ++i)
            magasin.EcritTexteRegistre(HKEY_CURRENT_USER, CleFenetre, NomRecent(static_cast<int>(i)),
                                       Encode(r[i]));
    });
}

} // namespace parvel
