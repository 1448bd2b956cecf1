// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Preferences.h"

#include <algorithm>

namespace parvel {

namespace {
std::string NomRecent(int i) {
    return "Fichier" + std::to_string(i + 1);
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
        std::string chemin = registre.LitTexteRegistre(HKEY_CURRENT_USER, CleFenetre, NomRecent(i));
        if (!chemin.empty() && std::find(r.begin(), r.end(), chemin) == r.end())
            r.push_back(std::move(chemin));
    }
    return r;
}

void AjouteRecent(Registre& registre, const std::string& chemin) {
    std::vector<std::string> r = LitRecents(registre);
    if (!r.empty() && r.front() == chemin)
        return;
    r.erase(std::remove(r.begin(), r.end(), chemin), r.end());
    r.insert(r.begin(), chemin);
    r.resize(std::min<std::size_t>(r.size(), NbRecents));
    for (std::size_t i = 0; i < r.size(); ++i)
        registre.EcritTexteRegistre(HKEY_CURRENT_USER, CleFenetre, NomRecent(static_cast<int>(i)), r[i]);
}

} // namespace parvel
