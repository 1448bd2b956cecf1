// SPDX-License-Identifier: GPL-3.0-or-later
// The block's geometry: its dialog run by a table of answers, and the store, in Parvel's
// own section, in hundredths of a millimetre.
#include <string>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "settings/GeometrieBloc.h"

namespace parvel {
namespace {

std::optional<GeometrieBloc> Geometrie(const std::string& champ) {
    if (champ == "-")
        return std::nullopt;
    const std::vector<double> v = test::Nombres(champ);
    return GeometrieBloc{v[0], v[1], v[2]};
}

TEST(GeometrieBloc, Dialogue) {
    for (const auto& l : test::LitTable("reglages/geometrie.tsv")) {
        const std::string quoi = l[0] + " / " + l[1];
        test::DialoguesScriptes dlg;
        std::string reponses = l[1];
        for (std::size_t debut = 0;;) {
            const std::size_t fin = reponses.find('|', debut);
            dlg.reponses.push_back(reponses.substr(debut, fin == std::string::npos ? fin : fin - debut));
            if (fin == std::string::npos)
                break;
            debut = fin + 1;
        }
        test::RegistreMemoire reg;
        const std::optional<GeometrieBloc> acceptee = DemandeGeometrieBloc(dlg, Geometrie(l[0]), ",");
        EXPECT_EQ(acceptee, Geometrie(l[2])) << quoi;
        EXPECT_EQ(dlg.messages, l[3] == "-" ? std::vector<std::string>{} : std::vector<std::string>{l[3]})
            << quoi;
        ASSERT_GE(dlg.invites.size(), 3u) << quoi;
        EXPECT_EQ(dlg.invites[0].titre, "Géométrie du bloc");
        if (acceptee) {
            EcritGeometrieBloc(reg, *acceptee);
            EXPECT_EQ(LitGeometrieBloc(reg), acceptee) << quoi;
        }
        std::string ecrites;
        for (const char* nom : {"L", "d", "w"})
            if (const std::optional<std::int32_t> v = reg.Entier(CleBloc, nom))
                ecrites += (ecrites.empty() ? "" : " ") + std::to_string(*v);
        EXPECT_EQ(ecrites.empty() ? "-" : ecrites, l[4]) << quoi;
    }
}

TEST(GeometrieBloc, MagasinVideOuIncoherent) {
    test::RegistreMemoire reg;
    EXPECT_FALSE(LitGeometrieBloc(reg));
    reg.PoseEntier(CleBloc, "L", 80000);
    reg.PoseEntier(CleBloc, "d", 50000);
    reg.PoseEntier(CleBloc, "w", 40000);
    EXPECT_FALSE(LitGeometrieBloc(reg)); // d + w > L
    reg.PoseEntier(CleBloc, "d", 1);
    EXPECT_EQ(LitGeometrieBloc(reg), (GeometrieBloc{800, 0.01, 400}));
    EXPECT_TRUE(reg.valeurs.count(
        test::RegistreMemoire::Plie("Software\\Local AppWizard-Generated Applications\\Parvel\\Bloc", "L")));
}

TEST(GeometrieBloc, LigneDeCommande) {
    EXPECT_EQ(LitTexteGeometrie("800,100.5,400"), (GeometrieBloc{800, 100.5, 400}));
    for (const char* faux : {"", "800", "800,100", "800,,400", "800,100,400,1", "800;100;400", "8a0,1,1"})
        EXPECT_FALSE(LitTexteGeometrie(faux)) << faux;
}

} // namespace
} // namespace parvel
