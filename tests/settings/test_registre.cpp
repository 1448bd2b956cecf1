// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store: its file format through the cases of tests/data/registre, the
// behaviour every backend shares, and the store file's handling on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Doubles.h"
#include "settings/BancRegistre.h"
#include "settings/FormatRegistre.h"
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

const fs::path Donnees = fs::path(PARVEL_DONNEES_TEST) / "registre";
const std::string A = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n";
const std::string X1 = "\"X\"=dword:00000001\n";
constexpr Racine Hkcu = HKEY_CURRENT_USER;

TEST(FormatRegistre, Lectures) {
    for (const auto& l : test::LitTable("registre/lectures.tsv")) {
        ASSERT_EQ(l.size(), 5u);
        SCOPED_TRACE(l[0] + " " + l[1] + " " + l[2]);
        const auto doc = DocumentRegistre::Analyse(LitFichier(Donnees / l[0]));
        std::string cle = l[1], nom = l[2];
        const auto section = SectionRegistre(Hkcu, cle, nom);
        const auto entier = section ? doc.Entier(*section, nom) : std::nullopt;
        EXPECT_EQ(entier ? std::to_string(*entier) : "-", l[3]);
        EXPECT_EQ(section ? doc.Texte(*section, nom).value_or("-") : "-", l[4]);
    }
}

TEST(FormatRegistre, EcrituresNeChangentQueLaLigneDeLaValeur) {
    for (const auto& l : test::LitTable("registre/ecritures.tsv")) {
        ASSERT_EQ(l.size(), 5u);
        SCOPED_TRACE(l[0] + " " + l[1] + " " + l[2] + " " + l[3]);
        const std::string avant = LitFichier(Donnees / l[0]), valeur = l[3];
        auto doc = DocumentRegistre::Analyse(avant);
        std::string cle = l[1], nom = l[2];
        const auto section = SectionRegistre(Hkcu, cle, nom);
        const bool texte = valeur.front() == '"';
        const std::string t = valeur.substr(1, valeur.size() - 2);
        const bool change = section && (texte ? doc.ModifieTexte(*section, nom, t)
                                              : doc.Modifie(*section, nom, std::stoi(valeur)));
        EXPECT_EQ(change, l[4] != "-");
        const auto apres = doc.Serialise();
        ASSERT_TRUE(apres);
        EXPECT_EQ(*apres, l[4] == "-" ? avant : LitFichier(Donnees / l[4]));
        if (!change)
            continue;
        const auto relu = DocumentRegistre::Analyse(*apres);
        if (texte)
            EXPECT_EQ(relu.Texte(*section, nom), t);
        else
            EXPECT_EQ(relu.Entier(*section, nom), std::stoi(valeur));
    }
}

// Several changes to one document (as a group of writes makes them): each finds the
// values where the ones before it left them.
TEST(FormatRegistre, ChangementsSuccessifsDUnDocument) {
    auto doc = DocumentRegistre::Analyse(A + X1);
    const std::string a = "HKEY_CURRENT_USER\\A", b = "HKEY_CURRENT_USER\\B";
    EXPECT_TRUE(doc.Modifie(a, "Y", 2));
    EXPECT_TRUE(doc.Modifie(b, "Z", 3));
    EXPECT_TRUE(doc.Modifie(a, "Y", 4));
    EXPECT_TRUE(doc.ModifieTexte(b, "T", "t"));
    EXPECT_FALSE(doc.Modifie(b, "Z", 3));
    EXPECT_EQ(doc.Entier(a, "Y"), 4);
    EXPECT_EQ(doc.Texte(b, "T"), "t");
    EXPECT_EQ(doc.Serialise(), A + X1 +
                                   "\"Y\"=dword:00000004\n\n[HKEY_CURRENT_USER\\B]\n\"Z\"=dword:00000003\n"
                                   "\"T\"=\"t\"\n");
}

// A store holding a value of tens of megabytes: reading many values of it costs one
// parse, not one each (a milling start-up took half a minute of processor time). The
// first reading parses; the next ones, on the same bytes, must cost far less.
TEST(RegistreFichier, GrosseValeurLueUneFois) {
    DossierEssai dossier;
    const fs::path fichier = dossier.Chemin() / "registre.reg";
    EcritOctets(fichier, A + X1 + "\"Gros\"=\"" + std::string(16 << 20, 'a') + "\"\n");
    RegistreFichier r(fichier);
    const std::clock_t debut = std::clock();
    std::int32_t somme = r.LitEntierRegistre(Hkcu, "A", "X");
    const std::clock_t premiere = std::clock() - debut;
    for (int i = 0; i < 30; ++i)
        somme += r.LitEntierRegistre(Hkcu, "A", "X");
    const std::clock_t suivantes = std::clock() - debut - premiere;
    EXPECT_EQ(somme, 31);
    // About 30 times the first before, half of it after, where the test was written.
    EXPECT_LT(suivantes, 5 * premiere) << premiere << " " << suivantes;
}

// ------------------------------------------------------------------ every backend

class BancFichier : public BancRegistre {
  public:
    Registre& Reg() override { return Registre_; }
    const std::string& Base() const override { return Base_; }
    void PoseTexte(const std::string& cle, const std::string& nom, const std::string& octets) override {
        Ajoute(cle, Cite(nom) + "=" + Cite(octets));
    }
    void PoseBinaire(const std::string& cle, const std::string& nom, const std::string& octets) override {
        std::string ligne = Cite(nom) + "=hex:";
        for (std::size_t i = 0; i < octets.size(); ++i)
            ligne += (i ? ","s : ""s) + "0123456789abcdef"[(octets[i] >> 4) & 15] +
                     "0123456789abcdef"[octets[i] & 15];
        Ajoute(cle, ligne);
    }
    bool CleExiste(const std::string& cle) override {
        return LitFichier(Fichier).find("\n[HKEY_CURRENT_USER\\" + cle + "]\n") != std::string::npos;
    }

  private:
    static std::string Cite(const std::string& s) {
        std::string r = "\"";
        for (const char c : s)
            r += (c == '\\' || c == '"') ? "\\"s + c : std::string(1, c);
        return r + '"';
    }
    // A section of its own for each value: the store merges sections of one key.
    void Ajoute(const std::string& cle, const std::string& ligne) {
        const std::string texte = LitFichier(Fichier);
        EcritOctets(Fichier, (texte.empty() ? A.substr(0, 37) : texte) + "\n[HKEY_CURRENT_USER\\" + cle +
                                 "]\n" + ligne + "\n");
    }
    DossierEssai Dossier;
    fs::path Fichier = Dossier.Chemin() / "registre.reg";
    RegistreFichier Registre_{Fichier};
    std::string Base_ = "Software\\ParvelTests\\" + NomUnique("essai");
};

} // namespace

std::unique_ptr<BancRegistre> CreeBancFichier() {
    return std::make_unique<BancFichier>();
}

namespace {

class RegistreCommun : public testing::TestWithParam<FabriqueBanc> {
  protected:
    void SetUp() override { Banc = GetParam().Cree(); }
    Registre& R() { return Banc->Reg(); }
    std::string Cle(const std::string& suite) const { return Banc->Base() + "\\" + suite; }
    std::unique_ptr<BancRegistre> Banc;
};

// The values of registre/commun.tsv, each read as a text and as an integer: no conversion
// from one type to the other. Absent keys and values read as empty, and no read creates a key.
TEST_P(RegistreCommun, LecturesSansConversionNiCreation) {
    EXPECT_EQ(R().LitTexteRegistre(Hkcu, Cle("Absente\\F"), "RepProjet"), "");
    EXPECT_EQ(R().LitEntierRegistre(Hkcu, Cle("Absente\\F"), "XNtour"), 0);
    EXPECT_FALSE(Banc->CleExiste(Banc->Base()));
    const std::string cle = Cle("Types");
    for (const auto& l : test::LitTable("registre/commun.tsv")) {
        SCOPED_TRACE(l[0] + " " + l[1]);
        if (l[0] == "Texte")
            Banc->PoseTexte(cle, l[0], l[1]);
        else if (l[0] == "Binaire")
            Banc->PoseBinaire(cle, l[0], l[1]);
        else
            R().EcritEntierRegistre(Hkcu, cle, l[0], std::stoi(l[1]));
        EXPECT_EQ(R().LitTexteRegistre(Hkcu, cle, l[0]), l[2]);
        EXPECT_EQ(R().LitEntierRegistre(Hkcu, cle, l[0]), std::stoi(l[3]));
    }
    EXPECT_EQ(R().LitTexteRegistre(Hkcu, cle, "Texte"), "200");
    EXPECT_EQ(R().LitTexteRegistre(Hkcu, cle, "Absente"), "");
}

TEST_P(RegistreCommun, EcrituresSansCasseCreantLesParents) {
    // The program reads with one spelling and writes with the other.
    const std::string lue = Cle("Local AppWizard-Generated Applications\\Parvel\\Fraisage");
    const std::string ecrite = Cle("Local Appwizard-Generated Applications\\Parvel\\Fraisage");
    R().EcritEntierRegistre(Hkcu, ecrite, "Xfraise", 12);
    EXPECT_EQ(R().LitEntierRegistre(Hkcu, lue, "XFraise"), 12);
    R().EcritEntierRegistre(Hkcu, lue, "XFRAISE", -7);
    EXPECT_EQ(R().LitEntierRegistre(Hkcu, ecrite, "xfraise"), -7);
    Banc->PoseTexte(lue, "RepProjet", "/projets");
    EXPECT_EQ(R().LitTexteRegistre(Hkcu, ecrite, "repprojet"), "/projets");
    R().EcritEntierRegistre(Hkcu, lue, "repPROJET", 42);
    EXPECT_EQ(R().LitEntierRegistre(Hkcu, lue, "RepProjet"), 42);
    EXPECT_EQ(R().LitTexteRegistre(Hkcu, lue, "RepProjet"), "");

    R().EcritEntierRegistre(Hkcu, Cle("A\\B\\C\\D"), "Profondeur", 4);
    for (const char* parent : {"", "\\A", "\\A\\B", "\\A\\B\\C", "\\A\\B\\C\\D"})
        EXPECT_TRUE(Banc->CleExiste(Banc->Base() + parent)) << parent;
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

// ------------------------------------------------------------------ the store file

class RegistreFichierEssai : public testing::Test {
  protected:
    DossierEssai Dossier;
    fs::path Fichier = Dossier.Chemin() / "registre.reg";
    RegistreFichier Reg{Fichier};
    // What `f` writes on stderr must be one line, starting so.
    static void Signale(const std::function<void()>& f, const std::string& debut) {
        testing::internal::CaptureStderr();
        f();
        const std::string erreurs = testing::internal::GetCapturedStderr();
        EXPECT_EQ(erreurs.rfind("parvel: registre " + debut, 0), 0u) << erreurs;
        EXPECT_EQ(std::count(erreurs.begin(), erreurs.end(), '\n'), 1) << erreurs;
    }
};

// A store that cannot be parsed reads as empty, is never rewritten and is reported once.
TEST_F(RegistreFichierEssai, IllisibleJamaisReecrit) {
    for (const auto& e : fs::directory_iterator(Donnees / "illisibles")) {
        SCOPED_TRACE(e.path().filename().string());
        const std::string octets = LitFichier(e.path());
        EcritOctets(Fichier, octets);
        RegistreFichier reg(Fichier);
        Signale(
            [&] {
                EXPECT_EQ(reg.LitEntierRegistre(Hkcu, "A", "X"), 0);
                EXPECT_EQ(reg.LitTexteRegistre(Hkcu, "A", "X"), "");
                reg.EcritEntierRegistre(Hkcu, "A", "X", 2);
                reg.EcritTexteRegistre(Hkcu, "Neuve", "X", "t");
            },
            "illisible: " + Fichier.string() + ": ");
        EXPECT_EQ(LitFichier(Fichier), octets);
    }
}

TEST_F(RegistreFichierEssai, DossiersCreesALaPremiereEcriture) {
    const fs::path profond = Dossier.Chemin() / "a" / "b" / "registre.reg";
    RegistreFichier reg(profond);
    EXPECT_EQ(reg.LitEntierRegistre(Hkcu, "A", "X"), 0);
    EXPECT_FALSE(fs::exists(profond.parent_path())) << "a read creates nothing";
    reg.EcritEntierRegistre(Hkcu, "A", "X", 1);
    EXPECT_EQ(LitFichier(profond), A + X1);
}

// The store read-only, as a folder, a link, a device or a pipe, and links planted where a
// temporary or the lock could go: the file meant is updated and nothing else changes.
// Otherwise the store reads as before, and the refused writes are reported once.
TEST_F(RegistreFichierEssai, LiensEtFichiersSpeciaux) {
    const fs::path victime = Dossier.Chemin() / "victime";
    EcritOctets(victime, "intacte");
    const std::string refus = "parvel: registre non enregistré: " + Fichier.string() + ": ";
    auto protege = [&](const fs::path& p) {
        EcritOctets(Fichier, A + X1);
        fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    };
    const struct {
        std::function<void()> pose;
        std::string erreurs; // empty: written; else the start of the one line reported
        int lu;              // X before, and after a refusal
    } cas[] = {
        {[&] { protege(Fichier); }, refus + "fichier en lecture seule\n", 1},
        {[&] { fs::create_directories(Fichier); }, "parvel: registre ", 0},
#ifndef _WIN32
        {[&] { protege(Dossier.Chemin()); }, refus + "dossier en lecture seule\n", 1},
        {[&] { fs::create_symlink("/dev/null", Fichier); },
         refus + "pas un fichier ordinaire (périphérique)\n", 0},
        {[&] { ::mkfifo(Fichier.c_str(), 0600); }, refus + "pas un fichier ordinaire (tube)\n", 0},
        {[&] { fs::create_symlink(victime, Fichier.string() + ".lock"); },
         refus + "verrou " + Fichier.string() + ".lock: lien symbolique refusé\n", 0},
        {[&] {
             fs::create_symlink(victime, Fichier.string() + ".tmp");
             fs::create_symlink(victime, Dossier.Chemin() / ".registre.reg.parvel-tmp");
         },
         "", 0},
#endif
    };
    // All in the folder, sub-folders included, but the store and the locks.
    auto noms = [&] {
        std::vector<std::string> v;
        for (const auto& e : fs::recursive_directory_iterator(Dossier.Chemin()))
            if (e.path() != Fichier && e.path().string() != Fichier.string() + ".lock")
                v.push_back(e.path().string());
        std::sort(v.begin(), v.end());
        return v;
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.erreurs);
        for (const auto& e : fs::directory_iterator(Dossier.Chemin()))
            if (e.path() != victime)
                fs::remove_all(e.path());
        c.pose();
        const auto avant = noms();
        const std::string octets = fs::is_regular_file(Fichier) ? LitFichier(Fichier) : "";
        RegistreFichier reg(Fichier);
        testing::internal::CaptureStderr();
        EXPECT_EQ(reg.LitEntierRegistre(Hkcu, "A", "X"), c.lu);
        reg.EcritEntierRegistre(Hkcu, "A", "X", 3);
        reg.EcritEntierRegistre(Hkcu, "A", "Y", 4);
        const std::string erreurs = testing::internal::GetCapturedStderr();
        std::error_code ec; // nothing to give back to a link or a missing store
        fs::permissions(Dossier.Chemin(), fs::perms::owner_all, fs::perm_options::add);
        fs::permissions(Fichier, fs::perms::owner_write, fs::perm_options::add | fs::perm_options::nofollow,
                        ec);
        EXPECT_EQ(erreurs.rfind(c.erreurs, 0), 0u) << erreurs;
        EXPECT_EQ(std::count(erreurs.begin(), erreurs.end(), '\n'), c.erreurs.empty() ? 0 : 1) << erreurs;
        EXPECT_EQ(reg.LitEntierRegistre(Hkcu, "A", "X"), c.erreurs.empty() ? 3 : c.lu);
        if (!c.erreurs.empty() && fs::is_regular_file(Fichier)) {
            EXPECT_EQ(LitFichier(Fichier), octets);
        }
        EXPECT_EQ(LitFichier(victime), "intacte");
        EXPECT_EQ(noms(), avant);
    }
#ifndef _WIN32
    struct stat st {};
    EXPECT_TRUE(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_FALSE(fs::exists("/dev/null.lock"));
#endif
}

#ifndef _WIN32

// Another program keeps the lock: a write waits the documented time, then the store
// stays read-only, says so once, and reads go on as before.
TEST_F(RegistreFichierEssai, VerrouTenuAilleurs) {
    using namespace std::chrono;
    EcritOctets(Fichier, A + X1);
    const int fd = ::open((Fichier.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    steady_clock::duration attente{};
    Signale(
        [&] {
            const auto debut = steady_clock::now();
            EXPECT_EQ(Reg.LitEntierRegistre(Hkcu, "A", "X"), 1);
            EXPECT_LT(steady_clock::now() - debut, 500ms);
            Reg.EcritEntierRegistre(Hkcu, "A", "X", 2);
            attente = steady_clock::now() - debut;
            Reg.EcritEntierRegistre(Hkcu, "A", "X", 3);
            EXPECT_LT(steady_clock::now() - debut, attente + 200ms);
            ::close(fd);
            Reg.EcritEntierRegistre(Hkcu, "A", "X", 4);
        },
        "en lecture seule: " + Fichier.string() + ": ");
    EXPECT_GE(attente, RegistreFichier::AttenteVerrou);
    EXPECT_LT(attente, RegistreFichier::AttenteVerrou + 1s);
    EXPECT_EQ(LitFichier(Fichier), A + X1);
}

// As after `sudo parvel`: a user's private store stays the user's.
TEST_F(RegistreFichierEssai, ProprietaireEtDroitsGardesSousRoot) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "seul root change un propriétaire";
    EcritOctets(Fichier, A + X1);
    ASSERT_EQ(::chown(Fichier.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(Fichier.c_str(), 0600), 0);
    Reg.EcritEntierRegistre(Hkcu, "A", "X", 2);
    struct stat st {};
    ASSERT_EQ(::stat(Fichier.c_str(), &st), 0);
    EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777), std::tuple(65534u, 65534u, 0600u));
    EXPECT_EQ(Reg.LitEntierRegistre(Hkcu, "A", "X"), 2);
}

// The default store follows an absolute XDG_CONFIG_HOME, else HOME; a given path wins.
TEST(OuvreRegistre, FichierParDefautOuDonne) {
    const char* const anciens[] = {std::getenv("HOME"), std::getenv("XDG_CONFIG_HOME")};
    const std::string home = anciens[0] ? anciens[0] : "", xdg = anciens[1] ? anciens[1] : "";
    ::setenv("HOME", "/home/essai", 1);
    for (const auto& [valeur, attendu] : {std::pair{"/srv/conf", "/srv/conf"},
                                          {"/srv/conf/", "/srv/conf"},
                                          {"", "/home/essai/.config"},
                                          {"conf", "/home/essai/.config"}}) {
        ::setenv("XDG_CONFIG_HOME", valeur, 1);
        EXPECT_EQ(CheminRegistreParDefaut(), std::string(attendu) + "/parvel/registre.reg") << valeur;
    }
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(CheminRegistreParDefaut(), "/home/essai/.config/parvel/registre.reg");

    DossierEssai dossier;
    ::setenv("XDG_CONFIG_HOME", dossier.Chemin().c_str(), 1);
    OuvreRegistre("")->EcritEntierRegistre(Hkcu, "A", "X", 1);
    const fs::path donne = dossier.Chemin() / "autre.reg";
    OuvreRegistre(donne.string())->EcritEntierRegistre(Hkcu, "A", "X", 2);
    EXPECT_EQ(LitFichier(dossier.Chemin() / "parvel" / "registre.reg"), A + X1);
    EXPECT_EQ(LitFichier(donne), A + "\"X\"=dword:00000002\n");
    ::setenv("HOME", home.c_str(), 1);
    anciens[1] ? ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
}
#endif

} // namespace
} // namespace parvel::essais_registre
