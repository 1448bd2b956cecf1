#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Doubles.h"
#include "cut/LecteurLignes.h"

namespace parvel {
namespace {

std::vector<std::string> Lignes(const std::string& contenu) {
    test::DossierTemporaire d;
    LecteurLignes l(d.Ecrit("f.cut", contenu));
    std::vector<std::string> v;
    while (!l.Fin())
        v.emplace_back(l.LitLigne());
    return v;
}

using V = std::vector<std::string>;

TEST(LecteurLignes, FinsDeLigne) {
    EXPECT_EQ(Lignes(""), V{});
    EXPECT_EQ(Lignes("a"), V{"a"});
    EXPECT_EQ(Lignes("a\r\n"), V{"a"});
    EXPECT_EQ(Lignes("a\r\nb"), (V{"a", "b"}));
    EXPECT_EQ(Lignes("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(Lignes("a\nb\n"), (V{"a", "b"}));
    EXPECT_EQ(Lignes("\r\n\r\n"), (V{"", ""}));
    EXPECT_EQ(Lignes("a\n\rb"), (V{"a", "", "b"})) << "LF puis CR: deux fins";
    EXPECT_EQ(Lignes("a\r\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lignes(std::string("a\0b\r\n\xff", 6)), (V{std::string("a\0b", 3), "\xff"}))
        << "octets tels quels";
}

TEST(LecteurLignes, CRLFAChevalSurDeuxLectures) {
    // The read buffer holds 1 MiB: put the CR as its last byte and the LF as the next one.
    const std::size_t tampon = 1 << 20;
    std::string contenu(tampon - 1, 'x');
    contenu += "\r\nfin";
    EXPECT_EQ(Lignes(contenu), (V{std::string(tampon - 1, 'x'), "fin"}));
    contenu = std::string(tampon - 1, 'y') + "\r";
    EXPECT_EQ(Lignes(contenu), (V{std::string(tampon - 1, 'y')}));
}

TEST(LecteurLignes, LignesPlusLonguesQueLeTampon) {
    std::string longue(5 << 20, 'z');
    EXPECT_EQ(Lignes("a\r\n" + longue + "\r\nb"), (V{"a", longue, "b"}));
}

} // namespace
} // namespace parvel
