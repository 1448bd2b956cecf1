// Numbers typed by people in the milling prompts: the decimal comma as well as the point,
// and the speed prompt's default written with the separator of its maximum.
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/ParamFraisage.h"

namespace parvel {
namespace {

struct Reponses : Dialogues {
    std::deque<std::string> reponses;
    std::vector<std::string> invites, defauts;
    void Message(std::string_view) override {}
    void Bip() override {}
    std::string Saisie(std::string_view, std::string_view invite, std::string_view defaut) override {
        invites.emplace_back(invite);
        defauts.emplace_back(defaut);
        std::string r = reponses.front();
        reponses.pop_front();
        return r;
    }
    std::optional<std::string> ChoisitFichier(const ParamOuverture&) override { return std::nullopt; }
    void MontreAPropos() override {}
    void Termine() override {}
};

TEST(Saisie, VirguleDecimaleAcceptee) {
    ConfigMachine c;
    c.YNtour = 200;
    c.YPas = 1.25;
    c.VitMaxY = 5;
    ParamFraisage p;
    p.DegZ = p.DegZPrec = 10;
    p.ZNtour = p.ZNtourPrec = 200;
    p.ZPas = p.ZPasPrec = 1.25;
    p.VitZ = p.VitZPrec = 2.5;
    Reponses d;
    d.reponses = {"12,5", "3.5", "", "", "", "2,4"};
    DemandeParamFraisage(d, c, p, ",");
    EXPECT_EQ(p.DegZ, 12.5);
    EXPECT_EQ(p.XFraise, 3.5);
    EXPECT_EQ(p.VitZ, 2.4);
    ASSERT_EQ(d.invites.size(), 6u);
    EXPECT_EQ(d.invites[5], "Vitesse de dégagement en Z (mm/s). Max :5");
    EXPECT_EQ(d.defauts[5], "2,5");
}

} // namespace
} // namespace parvel
