#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/BancRegistre.h"
#include "settings/OuvreRegistre.h"
#include "settings/RegistreFichier.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace parvel::essais_registre {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string EnTete = "Windows Registry Editor Version 5.00\n";
const std::string A = EnTete + "\n[HKEY_CURRENT_USER\\A]\n";
const std::string X1 = "\"X\"=dword:00000001\n";

// A name or text as the file quotes it.
std::string Cite(const std::string& s) {
    std::string r = "\"";
    for (const char c : s) {
        if (c == '\\' || c == '"')
            r += '\\';
        r += c;
    }
    r += '"';
    return r;
}

std::string AvecCrlf(const std::string& s) {
    std::string r;
    for (const char c : s) {
        if (c == '\n')
            r += '\r';
        r += c;
    }
    return r;
}

// Plain UTF-8 (up to three bytes a character) to UTF-16LE with its byte order mark.
std::string EnUtf16(const std::string& s) {
    std::string r = "\xFF\xFE";
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        unsigned u = c;
        if (c >= 0xE0) {
            u = ((c & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
            i += 3;
        } else if (c >= 0xC0) {
            u = ((c & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu);
            i += 2;
        } else {
            ++i;
        }
        r += static_cast<char>(u & 0xFF);
        r += static_cast<char>(u >> 8);
    }
    return r;
}

std::string EnMinuscules(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

int NombreDeLignes(const std::string& texte, const std::string& debut) {
    int n = 0;
    for (std::size_t p = texte.find(debut); p != std::string::npos; p = texte.find(debut, p + 1))
        ++n;
    return n;
}

// ------------------------------------------------------------------ file bench

class BancFichier : public BancRegistre {
  public:
    BancFichier()
        : Fichier(Dossier.Chemin / "registre.reg"), Registre_(Fichier),
          Base_("Software\\ParvelTests\\" + NomUnique("essai")) {}
    Registre& Reg() override { return Registre_; }
    const std::string& Base() const override { return Base_; }
    void PoseTexte(const std::string& cle, const std::string& nom, const std::string& octets) override {
        Ajoute(cle, Cite(nom) + "=" + Cite(octets));
    }
    void PoseBinaire(const std::string& cle, const std::string& nom, const std::string& octets) override {
        std::string ligne = Cite(nom) + "=hex:";
        static const char* const Chiffres = "0123456789abcdef";
        for (std::size_t i = 0; i < octets.size(); ++i) {
            const auto o = static_cast<unsigned char>(octets[i]);
            ligne += (i ? ","s : ""s) + Chiffres[o >> 4] + Chiffres[o & 15];
        }
        Ajoute(cle, ligne);
    }
    bool CleExiste(const std::string& cle) override {
        return LitOctets(Fichier).find("\n[HKEY_CURRENT_USER\\" + cle + "]\n") != std::string::npos;
    }

  private:
    // A section of its own for each value: the store merges sections of one key.
    void Ajoute(const std::string& cle, const std::string& ligne) {
        std::string texte = LitOctets(Fichier);
        if (texte.empty())
            texte = EnTete;
        EcritOctets(Fichier, texte + "\n[HKEY_CURRENT_USER\\" + cle + "]\n" + ligne + "\n");
    }
    DossierEssai Dossier;
    fs::path Fichier;
    RegistreFichier Registre_;
    std::string Base_;
};

} // namespace

std::unique_ptr<BancRegistre> CreeBancFichier() {
    return std::make_unique<BancFichier>();
}

namespace {

// ------------------------------------------------------------------ behaviour, every backend

class RegistreCommun : public testing::TestWithParam<FabriqueBanc> {
  protected:
    void SetUp() override { Banc = GetParam().Cree(); }
    Registre& R() { return Banc->Reg(); }
    std::string Cle(const std::string& suite) const { return Banc->Base() + "\\" + suite; }
    std::unique_ptr<BancRegistre> Banc;
};

TEST_P(RegistreCommun, ManquantsLisentVideEtZeroSansRienCreer) {
    const std::string cle = Cle("Absente\\Fraisage");
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepProjet"), "");
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, cle, "XNtour"), 0);
    EXPECT_FALSE(Banc->CleExiste(Banc->Base()));

    Banc->PoseTexte(Cle("Presente"), "Autre", "x");
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, Cle("Presente"), "RepProjet"), "");
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, Cle("Presente"), "XNtour"), 0);
}

TEST_P(RegistreCommun, TextesLusJusquauPremierNul) {
    struct Cas {
        const char* quoi;
        std::string stocke, lu;
    };
    const Cas cas[] = {
        {"simple", "/home/utilisateur/projets", "/home/utilisateur/projets"},
        {"vide", "", ""},
        {"NUL au milieu", "ab\0cd"s, "ab"},
        {"NUL en tête", "\0abc"s, ""},
        {"barres et guillemets", R"(C:\Projets\"mousse"\)", R"(C:\Projets\"mousse"\)"},
        {"lettres accentuées", "Répertoire à découper", "Répertoire à découper"},
    };
    int i = 0;
    for (const auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        const std::string nom = "Texte" + std::to_string(i++);
        Banc->PoseTexte(Cle("Textes"), nom, c.stocke);
        EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, Cle("Textes"), nom), c.lu);
    }
}

TEST_P(RegistreCommun, EntiersSignesRelusALIdentique) {
    const std::int32_t valeurs[] = {0, 1, -1, 200, 1250, -123456, INT32_MIN, INT32_MAX};
    for (const auto v : valeurs) {
        SCOPED_TRACE(v);
        R().EcritEntierRegistre(HKEY_CURRENT_USER, Cle("Entiers"), "XPas", v);
        EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, Cle("Entiers"), "XPas"), v);
        EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, Cle("Entiers"), "Valeur" + std::to_string(v)), 0);
    }
}

TEST_P(RegistreCommun, TypesNonConvertis) {
    const std::string cle = Cle("Types");
    Banc->PoseTexte(cle, "Texte", "200");
    R().EcritEntierRegistre(HKEY_CURRENT_USER, cle, "Entier", 200);
    Banc->PoseBinaire(cle, "Binaire", "\xc8\0\0\0"s);

    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, cle, "Texte"), 0);
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, cle, "Entier"), "");
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, cle, "Binaire"), "");
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, cle, "Binaire"), 0);
    // The mismatched reads spoil nothing.
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, cle, "Texte"), "200");
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, cle, "Entier"), 200);
}

TEST_P(RegistreCommun, CasseIgnoreeDansClesEtNoms) {
    // The program reads with one spelling and writes with the other.
    const std::string lue = Cle("Local AppWizard-Generated Applications\\Parvel\\Fraisage");
    const std::string ecrite = Cle("Local Appwizard-Generated Applications\\Parvel\\Fraisage");
    const std::string nomLu = "XFraise", nomEcrit = "Xfraise";

    R().EcritEntierRegistre(HKEY_CURRENT_USER, ecrite, nomEcrit, 12);
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, lue, nomLu), 12);
    R().EcritEntierRegistre(HKEY_CURRENT_USER, lue, nomLu, -7);
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, ecrite, nomEcrit), -7);
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, lue, "XFRAISE"), -7);

    Banc->PoseTexte(lue, "RepProjet", "/projets");
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, ecrite, "repprojet"), "/projets");
}

TEST_P(RegistreCommun, EcritureCreeLaCleEtTousSesParents) {
    const std::string cle = Cle("A\\B\\C\\D");
    R().EcritEntierRegistre(HKEY_CURRENT_USER, cle, "Profondeur", 4);
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, cle, "Profondeur"), 4);
    for (const char* parent : {"", "\\A", "\\A\\B", "\\A\\B\\C", "\\A\\B\\C\\D"}) {
        SCOPED_TRACE(parent);
        EXPECT_TRUE(Banc->CleExiste(Banc->Base() + parent));
    }
}

TEST_P(RegistreCommun, EcritureRemplaceQuelQueSoitLeType) {
    const std::string cle = Cle("TavikConfig");
    Banc->PoseTexte(cle, "RepProjet", "/home/utilisateur/projets");
    Banc->PoseBinaire(cle, "Binaire", "\x01\x02\x03"s);
    Banc->PoseTexte(cle, "RepIns", "/opt/tavik");

    R().EcritEntierRegistre(HKEY_CURRENT_USER, cle, "repprojet", 42);
    R().EcritEntierRegistre(HKEY_CURRENT_USER, cle, "Binaire", -42);
    R().EcritEntierRegistre(HKEY_CURRENT_USER, cle, "Binaire", 43);

    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, cle, "RepProjet"), 42);
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepProjet"), "");
    EXPECT_EQ(R().LitEntierRegistre(HKEY_CURRENT_USER, cle, "Binaire"), 43);
    EXPECT_EQ(R().LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepIns"), "/opt/tavik");
}

std::vector<FabriqueBanc> Bancs() {
    std::vector<FabriqueBanc> bancs{{"Fichier", CreeBancFichier}};
#ifdef _WIN32
    bancs.push_back({"Win32", CreeBancWin32});
#endif
    return bancs;
}

INSTANTIATE_TEST_SUITE_P(Magasins, RegistreCommun, testing::ValuesIn(Bancs()),
                         [](const testing::TestParamInfo<FabriqueBanc>& i) { return i.param.Nom; });

// ------------------------------------------------------------------ the file backend

class RegistreFichierEssai : public testing::Test {
  protected:
    DossierEssai Dossier;
    fs::path Fichier = Dossier.Chemin / "registre.reg";
    RegistreFichier Reg{Fichier};
};

// A section header of the current user's root, after its blank line.
std::string S(const std::string& cle) {
    return "\n[HKEY_CURRENT_USER\\" + cle + "]\n";
}
std::string Dword(const std::string& nom, const char* hex) {
    return "\"" + nom + "\"=dword:" + hex + "\n";
}

TEST_F(RegistreFichierEssai, EcrituresNeChangentQueLaLigneDeLaValeur) {
    struct Cas {
        const char* quoi;
        std::optional<std::string> avant; // nothing: no file yet
        std::string cle, nom;
        std::int32_t valeur;
        std::string apres;
    };
    const std::string config = "Software\\LAGA\\Tavik\\TavikConfig";
    const std::string tavik =
        S(config).substr(1) + Dword("XNtour", "000000c8") + "\"RepProjet\"=\"/home/u\"\n";
    const std::string fraise = S("P\\Fraisage") + Dword("DegZ", "00000001");
    const std::string hex7 = A + "\"Liste\"=hex(7):61,00,62,00,\\\n  63,00,00,00\n";
    const Cas cas[] = {
        {"magasin absent: en-tête, parents puis la clé", std::nullopt, "Software\\Parvel\\Fraisage",
         "XFraise", -2,
         EnTete + S("Software") + S("Software\\Parvel") + S("Software\\Parvel\\Fraisage") +
             Dword("XFraise", "fffffffe")},
        {"fichier vide", "", "A", "X", 1, A + X1},
        {"nouvelle valeur après la dernière de sa section", EnTete + fraise + "; réglages\n\n" + tavik,
         "P\\Fraisage", "VitZ", 255, EnTete + fraise + Dword("VitZ", "000000ff") + "; réglages\n\n" + tavik},
        {"section vide en fin de fichier", A, "A", "X", 16, A + Dword("X", "00000010")},
        {"valeur existante: le nom garde son orthographe", A + Dword("XFraise", "00000005") + tavik, "a",
         "xfraise", 6, A + Dword("XFraise", "00000006") + tavik},
        {"texte remplacé par un entier", EnTete + "\n" + tavik, config, "RepProjet", 7,
         EnTete + S(config) + Dword("XNtour", "000000c8") + Dword("RepProjet", "00000007")},
        {"valeur hex sur plusieurs lignes remplacée", hex7 + Dword("Apres", "00000001"), "A", "Liste", 10,
         A + Dword("Liste", "0000000a") + Dword("Apres", "00000001")},
        {"même valeur: rien ne change", A + Dword("X", "0000002A"), "A", "X", 42, A + Dword("X", "0000002A")},
        {"fins de ligne CR LF gardées", AvecCrlf(EnTete + "\n" + tavik), "Software\\LAGA\\Parvel\\Fraisage",
         "ZPas", 3,
         AvecCrlf(EnTete + "\n" + tavik + S("Software\\LAGA\\Parvel") +
                  S("Software\\LAGA\\Parvel\\Fraisage") + Dword("ZPas", "00000003"))},
        {"sans fin de ligne finale, même section", A + "\"X\"=dword:00000001", "A", "Y", 2,
         A + X1 + Dword("Y", "00000002")},
        {"sans fin de ligne finale, nouvelle clé", A + "\"X\"=dword:00000001", "B", "Y", 2,
         A + X1 + S("B") + Dword("Y", "00000002")},
        {"valeur par défaut", A + "@=\"texte\"\n", "A", "", 9, A + "@=dword:00000009\n"},
        {"clé en double: la dernière fait foi", A + X1 + S("a") + Dword("x", "00000002"), "A", "X", 3,
         A + X1 + S("a") + Dword("x", "00000003")},
        {"espaces autour de =", A + "  \"X\" = dword:00000001\n", "A", "X", 2,
         A + "  \"X\" = dword:00000002\n"},
        {"nom échappé", A, "A", R"(a"b\c)", 1, A + R"("a\"b\\c"=dword:00000001)" + "\n"},
        {"autres racines ignorées", EnTete + "\n[HKEY_LOCAL_MACHINE\\A]\n" + X1, "A", "X", 2,
         EnTete + "\n[HKEY_LOCAL_MACHINE\\A]\n" + X1 + S("A") + Dword("X", "00000002")},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        fs::remove(Fichier);
        if (c.avant)
            EcritOctets(Fichier, *c.avant);
        Reg.EcritEntierRegistre(HKEY_CURRENT_USER, c.cle, c.nom, c.valeur);
        EXPECT_EQ(LitOctets(Fichier), c.apres);
        EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, c.cle, c.nom), c.valeur);
    }
}

TEST_F(RegistreFichierEssai, LitLesFormesDUnExport) {
    struct Cas {
        const char* quoi;
        std::string fichier, cle, nom;
        std::int32_t entier;
        std::string texte;
    };
    const Cas cas[] = {
        {"dword en majuscules", A + "\"X\"=DWORD:000000C8\n", "A", "X", 200, ""},
        {"dword court", A + "\"X\"=dword:c8\n", "A", "X", 200, ""},
        {"dword négatif", A + "\"X\"=dword:ffffff38\n", "A", "X", -200, ""},
        {"hex(4) lu comme entier", A + "\"X\"=hex(4):c8,00,00,00\n", "A", "X", 200, ""},
        {"hex(4) de huit octets", A + "\"X\"=hex(4):c8,00,00,00,00,00,00,00\n", "A", "X", 0, ""},
        {"hex(2) ni texte ni entier", A + "\"X\"=hex(2):25,00,41,00,25,00,00,00\n", "A", "X", 0, ""},
        {"hex(7) sur plusieurs lignes", A + "\"X\"=hex(7):61,00,00,00,\\\n  62,00,00,00,\\\n  00,00\n", "A",
         "X", 0, ""},
        {"hex vide", A + "\"X\"=hex:\n", "A", "X", 0, ""},
        {"hex(b)", A + "\"X\"=hex(b):01,00,00,00,00,00,00,00\n", "A", "X", 0, ""},
        {"valeur par défaut", A + "@=\"défaut\"\n", "A", "", 0, "défaut"},
        {"échappements", A + R"("X"="a\\b \"c\"")" + "\n", "A", "X", 0, R"(a\b "c")"},
        {"espaces et commentaires",
         EnTete + "; exporté\n\n[HKEY_CURRENT_USER\\A]\n  ; note\n\t\"X\" = \"v\"  \n", "A", "X", 0, "v"},
        {"REGEDIT4", "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n" + X1, "A", "X", 1, ""},
        {"CR LF", AvecCrlf(A + "\"X\"=\"v\"\n\"Y\"=dword:2\n"), "A", "X", 0, "v"},
        {"BOM UTF-8", "\xEF\xBB\xBF" + A + "\"X\"=\"v\"\n", "A", "X", 0, "v"},
        {"valeur en double: la dernière", A + "\"X\"=\"1\"\n\"x\"=\"2\"\n", "A", "X", 0, "2"},
        {"nom de clé avec ]", EnTete + "\n[HKEY_CURRENT_USER\\A]B]\n\"X\"=\"v\"\n", "A]B", "X", 0, "v"},
        {"autre racine non lue", EnTete + "\n[HKEY_LOCAL_MACHINE\\A]\n\"X\"=\"v\"\n", "A", "X", 0, ""},
        {"sous-clé non lue", EnTete + "\n[HKEY_CURRENT_USER\\A\\B]\n\"X\"=\"v\"\n", "A", "X", 0, ""},
        {"lettres accentuées sans casse", EnTete + "\n[HKEY_CURRENT_USER\\Réglages]\n\"Épaisseur\"=\"v\"\n",
         "RÉGLAGES", "éPAISSEUR", 0, "v"},
        {"NUL brut dans le texte", A + "\"X\"=\"ab\0cd\"\n"s, "A", "X", 0, "ab"},
        {"chemin de clé invalide", A + "\"X\"=\"v\"\n", "A\\", "X", 0, ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        EcritOctets(Fichier, c.fichier);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, c.cle, c.nom), c.entier);
        EXPECT_EQ(Reg.LitTexteRegistre(HKEY_CURRENT_USER, c.cle, c.nom), c.texte);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

TEST_F(RegistreFichierEssai, FichierIllisibleJamaisReecrit) {
    struct Cas {
        const char* quoi;
        std::string octets;
    };
    // Each holds a value that a lenient reader would find.
    const std::string x = "\n[HKEY_CURRENT_USER\\A]\n" + X1;
    const Cas cas[] = {
        {"sans en-tête", x},
        {"en-tête inconnu", "Windows Registry Editor Version 4.00\n" + x},
        {"ligne vide avant l'en-tête", "\n" + A + X1},
        {"ligne inconnue", A + X1 + "n'importe quoi\n"},
        {"échappement invalide", A + X1 + "\"T\"=\"a\\tb\"\n"},
        {"chaîne non terminée", A + X1 + "\"T\"=\"abc\n"},
        {"texte après la chaîne", A + X1 + "\"T\"=\"abc\" x\n"},
        {"nom non terminé", A + X1 + "\"T=dword:00000001\n"},
        {"sans =", A + X1 + "\"T\" dword:00000001\n"},
        {"valeur hors section", EnTete + "\"X\"=dword:00000001\n" + x},
        {"dword trop long", A + X1 + "\"T\"=dword:000000001\n"},
        {"dword non hexadécimal", A + X1 + "\"T\"=dword:0000000g\n"},
        {"type inconnu", A + X1 + "\"T\"=qword:1\n"},
        {"suppression de valeur", A + X1 + "\"T\"=-\n"},
        {"suppression de clé", A + X1 + "[-HKEY_CURRENT_USER\\B]\n"},
        {"section non fermée", A + X1 + "[HKEY_CURRENT_USER\\B\n"},
        {"racine inconnue", A + X1 + "[Software\\B]\n"},
        {"octet hex invalide", A + X1 + "\"T\"=hex:0g\n"},
        {"suite hex manquante", A + X1 + "\"T\"=hex:00,\\\n"},
        {"UTF-16 de longueur impaire", EnUtf16(A + X1) + "\n"},
        {"UTF-16 surrogat isolé", EnUtf16(A + X1) + "\x00\xD8"s},
        {"UTF-16 gros-boutiste", "\xFE\xFF"s + "\0W"s},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        EcritOctets(Fichier, c.octets);
        RegistreFichier reg(Fichier);
        testing::internal::CaptureStderr();
        EXPECT_EQ(reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 0);
        EXPECT_EQ(reg.LitTexteRegistre(HKEY_CURRENT_USER, "A", "X"), "");
        reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 2);
        reg.EcritEntierRegistre(HKEY_CURRENT_USER, "Neuve", "X", 2);
        const std::string erreurs = testing::internal::GetCapturedStderr();
        EXPECT_EQ(LitOctets(Fichier), c.octets);
        // One line for the problem, however often the store is used.
        EXPECT_EQ(NombreDeLignes(erreurs, "parvel: registre illisible: " + Fichier.string() + ": "), 1)
            << erreurs;
        EXPECT_EQ(NombreDeLignes(erreurs, "\n"), 1) << erreurs;
    }
}

TEST_F(RegistreFichierEssai, ExportUtf16GardeSonCodage) {
    const std::string texte = AvecCrlf(EnTete + R"(
[HKEY_CURRENT_USER\Software\LAGA\Tavik\TavikConfig]
"XNtour"=dword:000000c8
"RepProjet"="C:\\Users\\Élodie\\Projets €"
"Liste"=hex(7):41,00,00,00,\
  00,00
)");
    const std::string octets = EnUtf16(texte);
    EcritOctets(Fichier, octets);
    const std::string cle = "Software\\LAGA\\Tavik\\TavikConfig";
    EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, cle, "XNtour"), 200);
    EXPECT_EQ(Reg.LitTexteRegistre(HKEY_CURRENT_USER, cle, "RepProjet"), "C:\\Users\\Élodie\\Projets €");

    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "Software\\LAGA\\Parvel\\Fraisage", "ZPas", 5);
    const std::string ajout =
        AvecCrlf("\n[HKEY_CURRENT_USER\\Software\\LAGA\\Parvel]\n\n"
                 "[HKEY_CURRENT_USER\\Software\\LAGA\\Parvel\\Fraisage]\n\"ZPas\"=dword:00000005\n");
    EXPECT_EQ(LitOctets(Fichier), octets + EnUtf16(ajout).substr(2));

    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, cle, "XNtour", 300);
    EXPECT_EQ(LitOctets(Fichier), EnUtf16(texte.substr(0, texte.find("000000c8")) + "0000012c" +
                                          texte.substr(texte.find("000000c8") + 8) + ajout));
}

TEST_F(RegistreFichierEssai, SectionVoisineIntacteAuFilDesEcritures) {
    const std::string tavik =
        R"([HKEY_CURRENT_USER\Software\Local AppWizard-Generated Applications\Tavik\TavikConfig]
"XNtour"=dword:000000c8
"XPas"=dword:000004e2
"RepProjet"="/home/utilisateur/projets"
"Couleurs"=hex:00,ff,00,\
  ff
@="défaut"
; fin de la configuration

)";
    const std::string machine =
        "[HKEY_LOCAL_MACHINE\\Software\\Local AppWizard-Generated Applications\\Parvel\\Fraisage]\n"
        "\"XFraise\"=dword:00000063\n";
    const std::string debut =
        EnTete + "\n" + tavik +
        "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\Parvel\\Fraisage]\n"
        "\"DegZ\"=dword:00000001\n\n" +
        machine;
    EcritOctets(Fichier, debut);
    const char* const noms[] = {"DegZ", "VitZ", "XFraise", "YFraise", "ZNtour", "ZPas", "TempsZ", "VitMaxZ"};
    std::map<std::string, std::int32_t> attendu;
    for (int i = 0; i < 64; ++i) {
        const std::string cle =
            std::string(i % 2 ? "Software\\Local Appwizard-Generated Applications\\Parvel\\"
                              : "SOFTWARE\\Local AppWizard-Generated Applications\\Parvel\\") +
            (i % 3 ? "Fraisage" : "Precision");
        const std::string nom = noms[(i * 5) % 8];
        const std::int32_t valeur = (i * 7919) % 1000 - 500;
        Reg.EcritEntierRegistre(HKEY_CURRENT_USER, cle, i % 4 ? nom : EnMinuscules(nom), valeur);
        attendu[std::string(i % 3 ? "Fraisage|" : "Precision|") + nom] = valeur;
    }

    const std::string apres = LitOctets(Fichier);
    EXPECT_EQ(apres.substr(0, EnTete.size() + 1 + tavik.size()), EnTete + "\n" + tavik);
    EXPECT_NE(apres.find("\n\n" + machine + "\n["), std::string::npos);
    const std::string base = "Software\\Local AppWizard-Generated Applications\\";
    EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, base + "Tavik\\TavikConfig", "XNtour"), 200);
    EXPECT_EQ(Reg.LitTexteRegistre(HKEY_CURRENT_USER, base + "Tavik\\TavikConfig", "RepProjet"),
              "/home/utilisateur/projets");
    for (const auto& [cle, valeur] : attendu) {
        const auto barre = cle.find('|');
        EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, base + "Parvel\\" + cle.substr(0, barre),
                                        cle.substr(barre + 1)),
                  valeur)
            << cle;
    }
    // One line a value: rewrites never duplicate one.
    EXPECT_EQ(NombreDeLignes(apres, "\n\"XFraise\"="), 3);
}

TEST_F(RegistreFichierEssai, NomsQuUneLigneNePeutTenirIgnores) {
    const std::string contenu = A + X1;
    EcritOctets(Fichier, contenu);
    const std::pair<std::string, std::string> noms[] = {
        {"A", "X\nY"}, {"A\nB", "X"}, {"A\r", "X"}, {"\\A", "X"}, {"A\\", "X"}, {"A\\\\B", "X"},
    };
    for (const auto& [cle, nom] : noms) {
        SCOPED_TRACE(cle + "|" + nom);
        Reg.EcritEntierRegistre(HKEY_CURRENT_USER, cle, nom, 2);
        EXPECT_EQ(LitOctets(Fichier), contenu);
        EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, cle, nom), 0);
    }
    // The C calls of the registry stop names at a NUL; so does the file.
    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A\0B"s, "X\0Y"s, 3);
    EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 3);
    EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, "A\0C"s, "X\0Z"s), 3);
}

TEST_F(RegistreFichierEssai, DossiersManquantsCrees) {
    const fs::path profond = Dossier.Chemin / "a" / "b" / "parvel" / "registre.reg";
    RegistreFichier reg(profond);
    EXPECT_EQ(reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 0);
    EXPECT_FALSE(fs::exists(profond.parent_path())) << "a read creates nothing";
    reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 5);
    EXPECT_EQ(reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 5);
    EXPECT_TRUE(fs::is_regular_file(profond));
}

TEST_F(RegistreFichierEssai, MagasinQuiEstUnDossier) {
    fs::create_directories(Fichier);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 0);
    EXPECT_EQ(Reg.LitTexteRegistre(HKEY_CURRENT_USER, "A", "X"), "");
    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 1);
    const std::string erreurs = testing::internal::GetCapturedStderr();
    EXPECT_EQ(NombreDeLignes(erreurs, "parvel: registre "), 1) << erreurs;
    EXPECT_TRUE(fs::is_directory(Fichier));
    EXPECT_TRUE(fs::is_empty(Fichier));
}

TEST_F(RegistreFichierEssai, LectureSeuleLueEtSignaleeUneFois) {
#ifdef _WIN32
    const bool dossiers[] = {false};
#else
    const bool dossiers[] = {true, false};
#endif
    for (const bool dossier : dossiers) {
        SCOPED_TRACE(dossier ? "dossier" : "fichier");
        const fs::path verrou = dossier ? Dossier.Chemin : Fichier;
        EcritOctets(Fichier, A + X1);
        fs::permissions(verrou, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 1);
        Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 2);
        if (!dossier)
            Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 1); // already so: nothing to report
        const std::string erreurs = testing::internal::GetCapturedStderr();
        fs::permissions(verrou, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_EQ(erreurs, "parvel: registre non enregistré: " + Fichier.string() + ": " +
                               (dossier ? "dossier" : "fichier") + " en lecture seule\n");
        EXPECT_EQ(LitOctets(Fichier), A + X1);
        // Nothing left behind, not even a lock, when the folder is locked.
        EXPECT_TRUE(!dossier ||
                    std::distance(fs::directory_iterator(Dossier.Chemin), fs::directory_iterator()) == 1);
    }
}

#ifndef _WIN32
// The other files of a store's folder.
std::vector<std::string> Noms(const fs::path& dossier) {
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(dossier))
        if (e.path().filename() != "registre.reg" && e.path().filename() != "registre.reg.lock")
            noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    return noms;
}

// The store as a link, a device or a pipe, and links planted where a temporary or the
// lock could go: the file meant is updated and nothing else changes. A device or a pipe
// is never replaced: it reads as empty and the refused writes are reported once.
TEST_F(RegistreFichierEssai, LiensEtFichiersSpeciaux) {
    const fs::path ailleurs = Dossier.Chemin / "ailleurs", vrai = ailleurs / "vrai.reg",
                   victime = Dossier.Chemin / "victime";
    fs::create_directory(ailleurs);
    EcritOctets(victime, "intacte");
    const std::string refus = "parvel: registre non enregistré: " + Fichier.string() + ": ";
    const struct {
        const char* quoi;
        std::function<void()> pose;
        std::string erreurs; // empty: written
    } cas[] = {
        {"lien vers /dev/null", [&] { fs::create_symlink("/dev/null", Fichier); },
         refus + "pas un fichier ordinaire (périphérique)\n"},
        {"tube", [&] { ::mkfifo(Fichier.c_str(), 0600); }, refus + "pas un fichier ordinaire (tube)\n"},
        {"lien au nom du verrou", [&] { fs::create_symlink(victime, Fichier.string() + ".lock"); },
         refus + "verrou " + Fichier.string() + ".lock: lien symbolique refusé\n"},
        {"liens aux noms temporaires d'avant",
         [&] {
             fs::create_symlink(victime, Fichier.string() + ".tmp");
             fs::create_symlink(victime, Dossier.Chemin / ".registre.reg.parvel-tmp");
         },
         ""},
        {"lien vers un fichier ailleurs",
         [&] {
             EcritOctets(vrai, EnTete);
             ::chmod(vrai.c_str(), 0640);
             fs::create_symlink(vrai, Fichier);
         },
         ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        for (const auto& e : fs::directory_iterator(Dossier.Chemin))
            if (e.path() != victime && e.path() != ailleurs)
                fs::remove(e.path());
        c.pose();
        const auto avant = Noms(Dossier.Chemin);
        RegistreFichier reg(Fichier);
        testing::internal::CaptureStderr();
        EXPECT_EQ(reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 0);
        reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 3);
        reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "Y", 4);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.erreurs);
        EXPECT_EQ(reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), c.erreurs.empty() ? 3 : 0);
        EXPECT_EQ(LitOctets(victime), "intacte");
        EXPECT_EQ(Noms(Dossier.Chemin), avant);
    }
    EXPECT_TRUE(fs::is_symlink(Fichier));
    EXPECT_EQ(LitOctets(vrai), A + "\"X\"=dword:00000003\n\"Y\"=dword:00000004\n");
    struct stat st {};
    ASSERT_EQ(::stat(vrai.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_TRUE(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_FALSE(fs::exists("/dev/null.lock"));
}

// Another program keeps the lock: a write waits the documented time, then the store
// stays read-only, says so once, and reads go on as before.
TEST_F(RegistreFichierEssai, VerrouTenuAilleurs) {
    using namespace std::chrono;
    EcritOctets(Fichier, A + X1);
    const int fd = ::open((Fichier.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    testing::internal::CaptureStderr();
    const auto debut = steady_clock::now();
    EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 1);
    EXPECT_LT(steady_clock::now() - debut, 500ms);
    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 2);
    const auto attente = steady_clock::now() - debut;
    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 3);
    EXPECT_LT(steady_clock::now() - debut, attente + 200ms);
    ::close(fd);
    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 4);
    const std::string erreurs = testing::internal::GetCapturedStderr();
    EXPECT_GE(attente, RegistreFichier::AttenteVerrou);
    EXPECT_LT(attente, RegistreFichier::AttenteVerrou + 1s);
    EXPECT_EQ(NombreDeLignes(erreurs, "parvel: registre en lecture seule: " + Fichier.string() + ": "), 1)
        << erreurs;
    EXPECT_EQ(NombreDeLignes(erreurs, "\n"), 1) << erreurs;
    EXPECT_EQ(LitOctets(Fichier), A + X1);
}

// As after `sudo parvel`: a user's private store stays the user's.
TEST_F(RegistreFichierEssai, ProprietaireEtDroitsGardesSousRoot) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "seul root change un propriétaire";
    EcritOctets(Fichier, A + X1);
    ASSERT_EQ(::chown(Fichier.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(Fichier.c_str(), 0600), 0);
    Reg.EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 2);
    struct stat st {};
    ASSERT_EQ(::stat(Fichier.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(Reg.LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 2);
}

// Sets or unsets an environment variable for the life of the object.
class Variable {
  public:
    Variable(const char* nom, std::optional<std::string> valeur) : Nom(nom) {
        if (const char* v = std::getenv(nom))
            Ancienne = v;
        Pose(valeur);
    }
    ~Variable() { Pose(Ancienne); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

  private:
    void Pose(const std::optional<std::string>& v) {
        if (v)
            ::setenv(Nom, v->c_str(), 1);
        else
            ::unsetenv(Nom);
    }
    const char* Nom;
    std::optional<std::string> Ancienne;
};

TEST(CheminRegistre, SuitXdgConfigHome) {
    struct Cas {
        const char* quoi;
        std::optional<std::string> xdg;
        std::string attendu;
    };
    const Cas cas[] = {
        {"absolu", "/srv/conf", "/srv/conf/parvel/registre.reg"},
        {"barre finale", "/srv/conf/", "/srv/conf/parvel/registre.reg"},
        {"vide", "", "/home/essai/.config/parvel/registre.reg"},
        {"absent", std::nullopt, "/home/essai/.config/parvel/registre.reg"},
        {"relatif, donc ignoré", "conf", "/home/essai/.config/parvel/registre.reg"},
    };
    const Variable home("HOME", "/home/essai");
    for (const auto& c : cas) {
        SCOPED_TRACE(c.quoi);
        const Variable xdg("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(CheminRegistreParDefaut(), c.attendu);
    }
}

TEST(FabriqueRegistre, FichierParDefautOuDonne) {
    DossierEssai dossier;
    const Variable xdg("XDG_CONFIG_HOME", dossier.Chemin.string());
    OuvreRegistre("")->EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 1);
    EXPECT_EQ(LitOctets(dossier.Chemin / "parvel" / "registre.reg"), A + X1);

    const fs::path donne = dossier.Chemin / "autre.reg";
    auto reg = OuvreRegistre(donne.string());
    reg->EcritEntierRegistre(HKEY_CURRENT_USER, "A", "X", 2);
    EXPECT_EQ(reg->LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 2);
    EXPECT_EQ(LitOctets(donne), A + "\"X\"=dword:00000002\n");
    EXPECT_EQ(OuvreRegistre("")->LitEntierRegistre(HKEY_CURRENT_USER, "A", "X"), 1);
}
#endif

} // namespace
} // namespace parvel::essais_registre
