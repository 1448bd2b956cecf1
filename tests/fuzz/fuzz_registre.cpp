// SPDX-License-Identifier: GPL-3.0-or-later
// The store file from arbitrary bytes: an integer write either leaves the file as it
// was (unreadable store) or changes only what it writes: every value read before reads
// the same after, the written value reads back, and writing it again changes nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "Doubles.h"
#include "settings/RegistreFichier.h"

using namespace parvel;

namespace {

// Key and value names that appear in the file, as far as a rough look finds them, cut
// at a NUL as the store's callers see them.
std::vector<std::pair<std::string, std::string>> Candidats(const std::string& s) {
    std::vector<std::pair<std::string, std::string>> v;
    std::string cle;
    std::size_t debut = 0;
    while (debut < s.size() && v.size() < 16) {
        std::size_t fin = s.find('\n', debut);
        if (fin == std::string::npos)
            fin = s.size();
        std::string l = s.substr(debut, fin - debut);
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        const std::string racine = "[HKEY_CURRENT_USER\\";
        if (l.rfind(racine, 0) == 0 && l.size() > racine.size() && l.back() == ']') {
            cle = l.substr(racine.size(), l.size() - racine.size() - 1);
        } else if (!cle.empty() && l.size() > 3 && l[0] == '"') {
            std::size_t q = l.find("\"=", 1);
            if (q != std::string::npos)
                v.emplace_back(cle.substr(0, cle.find('\0')), l.substr(1, std::min(q - 1, l.find('\0') - 1)));
        }
        debut = fin + 1;
    }
    return v;
}

} // namespace

// Links and a pipe where a careless writer would put its temporary or follow a name:
// none of them may change.
void PosePieges(const test::DossierTemporaire& dossier) {
    namespace fs = std::filesystem;
    const std::string victime = dossier.Ecrit("victime", "intacte");
    std::error_code ec;
    for (const char* nom : {"registre.reg.tmp", ".registre.reg.parvel-tmp", ".registre.reg.tmp"})
        fs::create_symlink(victime, dossier.Chemin() / nom, ec);
    ::mkfifo((dossier.Chemin() / ".registre.reg.0000000000000000.tmp").c_str(), 0600);
}

void VerifiePieges(const test::DossierTemporaire& dossier) {
    struct stat st {};
    if (test::LitFichier((dossier.Chemin() / "victime").string()) != "intacte" ||
        ::lstat((dossier.Chemin() / "registre.reg.tmp").c_str(), &st) != 0 || !S_ISLNK(st.st_mode) ||
        ::lstat((dossier.Chemin() / ".registre.reg.0000000000000000.tmp").c_str(), &st) != 0 ||
        !S_ISFIFO(st.st_mode))
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t taille) {
    static test::DossierTemporaire* dossier = [] {
        auto* d = new test::DossierTemporaire;
        PosePieges(*d);
        return d;
    }();
    const std::string octets(reinterpret_cast<const char*>(data), taille);
    const std::string chemin = dossier->Ecrit("registre.reg", octets);
    RegistreFichier r(chemin);
    const auto candidats = Candidats(octets);
    std::vector<std::pair<std::int32_t, std::string>> avant;
    for (const auto& [cle, nom] : candidats)
        avant.emplace_back(r.LitEntierRegistre(HKEY_CURRENT_USER, cle, nom),
                           r.LitTexteRegistre(HKEY_CURRENT_USER, cle, nom));

    const std::string cleEcrite = "Software\\Parvel\\Essai";
    r.EcritEntierRegistre(HKEY_CURRENT_USER, cleEcrite, "Valeur", -123456);
    const std::string apres = test::LitFichier(chemin);
    if (apres != octets) {
        if (r.LitEntierRegistre(HKEY_CURRENT_USER, cleEcrite, "VALEUR") != -123456)
            std::abort();
        r.EcritEntierRegistre(HKEY_CURRENT_USER, cleEcrite, "valeur", -123456);
        if (test::LitFichier(chemin) != apres)
            std::abort();
    }
    for (std::size_t i = 0; i < candidats.size(); ++i) {
        const auto& [cle, nom] = candidats[i];
        if (r.LitEntierRegistre(HKEY_CURRENT_USER, cle, nom) != avant[i].first ||
            r.LitTexteRegistre(HKEY_CURRENT_USER, cle, nom) != avant[i].second) {
            // Only the value just written may differ.
            std::string a = cle + "\\" + nom, b = cleEcrite + "\\Valeur";
            for (auto* s : {&a, &b})
                for (char& c : *s)
                    c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            if (a != b)
                std::abort();
        }
    }
    VerifiePieges(*dossier);
    return 0;
}
