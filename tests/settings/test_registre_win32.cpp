// SPDX-License-Identifier: GPL-3.0-or-later
// The registry backend: its bench for the common suite, and what only the registry can hold.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cut/Fichiers.h"
#include "settings/BancRegistre.h"
#include "settings/OuvreRegistre.h"
#include "settings/Preferences.h"
#include "settings/RegistreWin32.h"

namespace parvel::essais_registre {
namespace {
// Taken before windows.h makes HKEY_CURRENT_USER a macro.
constexpr Racine Utilisateur = parvel::HKEY_CURRENT_USER;
} // namespace
} // namespace parvel::essais_registre

#include <windows.h>

namespace parvel::essais_registre {
namespace {

using namespace std::string_literals;

const char* const Tests = "Software\\ParvelTests";

// Sets a value of any type directly, as another program would.
void Pose(const std::string& cle, const std::string& nom, DWORD type, const std::string& octets) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, cle.c_str(), &k), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(k, nom.c_str(), 0, type, reinterpret_cast<const BYTE*>(octets.data()),
                             static_cast<DWORD>(octets.size())),
              ERROR_SUCCESS);
    RegCloseKey(k);
}

// Test-only: the registry backend never deletes anything.
class BancWin32 : public BancRegistre {
  public:
    BancWin32() : Base_(std::string(Tests) + "\\" + NomUnique("essai")) {}
    ~BancWin32() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, Base_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, Tests); // only once empty
    }
    Registre& Reg() override { return Registre_; }
    const std::string& Base() const override { return Base_; }
    // The text's characters, as a Unicode program stores them.
    void PoseTexte(const std::string& cle, const std::string& nom, const std::string& octets) override {
        const std::wstring texte = Large(octets) + L'\0';
        HKEY k;
        ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, Large(cle).c_str(), &k), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(k, Large(nom).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(texte.data()),
                                 static_cast<DWORD>(texte.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    void PoseBinaire(const std::string& cle, const std::string& nom, const std::string& octets) override {
        Pose(cle, nom, REG_BINARY, octets);
    }
    bool CleExiste(const std::string& cle) override {
        HKEY k;
        if (RegOpenKeyA(HKEY_CURRENT_USER, cle.c_str(), &k) != ERROR_SUCCESS)
            return false;
        RegCloseKey(k);
        return true;
    }

  private:
    RegistreWin32 Registre_;
    std::string Base_;
};

} // namespace

std::unique_ptr<BancRegistre> CreeBancWin32() {
    return std::make_unique<BancWin32>();
}

namespace {

TEST(RegistreWin32Seul, DonneesQueLeFichierNeConnaitPas) {
    struct Cas {
        const char* quoi;
        DWORD type;
        std::string octets;
        std::int32_t entier;
        std::string texte;
    };
    const Cas cas[] = {
        {"texte sans NUL final", REG_SZ, "sans fin", 0, "sans fin"},
        {"texte de taille nulle", REG_SZ, "", 0, ""},
        {"dword de huit octets", REG_DWORD, "\x01\0\0\0\0\0\0\0"s, 0, ""},
        {"dword de quatre octets", REG_DWORD, "\xfe\xff\xff\xff", -2, ""},
        {"dword gros-boutiste", REG_DWORD_BIG_ENDIAN, "\0\0\0\x01"s, 0, ""},
        {"texte à développer", REG_EXPAND_SZ, "%TEMP%\0"s, 0, ""},
        {"textes multiples", REG_MULTI_SZ, "a\0b\0\0"s, 0, ""},
        {"binaire de quatre octets", REG_BINARY, "\x01\0\0\0"s, 0, ""},
    };
    BancWin32 banc;
    int i = 0;
    for (const auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        std::string nom = "V";
        nom += std::to_string(i++);
        Pose(banc.Base(), nom, c.type, c.octets);
        EXPECT_EQ(banc.Reg().LitEntierRegistre(Utilisateur, banc.Base(), nom), c.entier);
        EXPECT_EQ(banc.Reg().LitTexteRegistre(Utilisateur, banc.Base(), nom), c.texte);
    }
}

TEST(FabriqueRegistre, RegistreParDefautSousWindows) {
    BancWin32 banc;
    OuvreRegistre("")->EcritEntierRegistre(Utilisateur, banc.Base(), "X", 77);
    EXPECT_EQ(banc.Reg().LitEntierRegistre(Utilisateur, banc.Base(), "X"), 77);

    DossierEssai dossier;
    auto fichier = OuvreRegistre((dossier.Chemin() / "r.reg").string());
    fichier->EcritEntierRegistre(Utilisateur, banc.Base(), "X", 78);
    EXPECT_EQ(fichier->LitEntierRegistre(Utilisateur, banc.Base(), "X"), 78);
    EXPECT_EQ(banc.Reg().LitEntierRegistre(Utilisateur, banc.Base(), "X"), 77);
}

// The value as regedit and Tavik see it: UTF-16.
std::wstring LitLarge(const std::wstring& cle, const std::wstring& nom) {
    wchar_t valeur[512] = {};
    DWORD taille = sizeof valeur;
    return RegGetValueW(HKEY_CURRENT_USER, cle.c_str(), nom.c_str(), RRF_RT_REG_SZ, nullptr, valeur,
                        &taille) == ERROR_SUCCESS
               ? valeur
               : L"?";
}

// Key, name and text in UTF-8 reach the registry as the same characters, even those no
// ANSI code page holds together, and come back.
TEST(RegistreWin32Seul, TextesEnUtf16) {
    BancWin32 banc;
    const std::string cle = banc.Base() + "\\Clé";
    banc.Reg().EcritTexteRegistre(Utilisateur, cle, "Récent", "C:\\Découpes\\aile été Ω.cut");
    EXPECT_EQ(LitLarge(Large(cle), L"Récent"), L"C:\\Découpes\\aile été Ω.cut");
    EXPECT_EQ(banc.Reg().LitTexteRegistre(Utilisateur, cle, "Récent"), "C:\\Découpes\\aile été Ω.cut");
}

// A recent file under an accented folder goes through the real registry and comes back,
// and stays readable to other programs. The user's list is put back afterwards.
TEST(RegistreWin32Seul, RecentAccentue) {
    RegistreWin32 reg;
    std::vector<std::string> avant;
    for (int i = 1; i <= NbRecents; ++i)
        avant.push_back(reg.LitTexteRegistre(Utilisateur, CleFenetre, "Fichier" + std::to_string(i)));
    const std::string chemin = "C:\\Découpes\\aile été.cut";
    AjouteRecent(reg, chemin);
    const std::vector<std::string> recents = LitRecents(reg);
    ASSERT_FALSE(recents.empty());
    EXPECT_EQ(recents.front(), chemin);
    EXPECT_EQ(LitLarge(Large(CleFenetre), L"Fichier1"), L"C:\\Découpes\\aile été.cut");
    for (int i = 1; i <= NbRecents; ++i)
        reg.EcritTexteRegistre(Utilisateur, CleFenetre, "Fichier" + std::to_string(i), avant[i - 1]);
}

TEST(CheminRegistre, SuitAppData) {
    std::optional<std::string> ancienne;
    if (const char* v = std::getenv("APPDATA"))
        ancienne = v;
    _putenv_s("APPDATA", "C:\\Profil\\Roaming");
    EXPECT_EQ(CheminRegistreParDefaut(), "C:\\Profil\\Roaming\\parvel\\registre.reg");
    _putenv_s("APPDATA", ancienne ? ancienne->c_str() : "");
}

} // namespace
} // namespace parvel::essais_registre
#endif
