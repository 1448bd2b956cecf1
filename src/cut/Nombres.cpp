// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Nombres.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include "cut/Erreur.h"
#include "cut/NombreCourant.h"

namespace parvel {
namespace {

bool BlancIgnore(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool EstChiffre(char c) {
    return c >= '0' && c <= '9';
}
bool PeutContinuer(char c) {
    return EstChiffre(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

// Decimal exponent of the number written in `s` (sign already removed), used only to
// tell an overflow from an underflow when the value is out of the double range.
bool DepasseVersLeHaut(std::string_view s) {
    std::size_t i = 0;
    long long e10 = 0;
    bool trouve = false;
    long long entiers = 0;
    for (; i < s.size() && EstChiffre(s[i]); ++i) {
        if (trouve || s[i] != '0') {
            trouve = true;
            ++entiers;
        }
    }
    if (trouve) {
        e10 = entiers - 1;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        long long zeros = 0;
        for (; i < s.size() && EstChiffre(s[i]); ++i) {
            if (!trouve) {
                if (s[i] == '0') {
                    ++zeros;
                } else {
                    trouve = true;
                    e10 = -(zeros + 1);
                }
            }
        }
    }
    if (!trouve)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negatif = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            negatif = s[i++] == '-';
        long long exp = 0;
        for (; i < s.size() && EstChiffre(s[i]); ++i)
            exp = std::min(exp * 10 + (s[i] - '0'), 1'000'000'000LL);
        e10 += negatif ? -exp : exp;
    }
    return e10 > 0;
}

// Reads a number with no blanks inside it.
double LitCompact(std::string_view s) {
    bool negatif = false;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negatif = s[i++] == '-';
    if (i >= s.size() || !(EstChiffre(s[i]) || s[i] == '.'))
        return 0.0;
    double v = 0.0;
    const char* debut = s.data() + i;
    auto [fin, ec] = std::from_chars(debut, s.data() + s.size(), v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (DepasseVersLeHaut(std::string_view(debut, static_cast<std::size_t>(s.data() + s.size() - debut))))
            throw ErreurParvel(ErrDepassement);
        return 0.0;
    }
    if (ec != std::errc())
        return 0.0;
    (void)fin;
    return negatif ? -v : v;
}

} // namespace

double LitNombre(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && BlancIgnore(t[i]))
        ++i;
    t.remove_prefix(i);
    // The usual number, ended by the end of the text or by a character that is neither
    // a blank (skipped inside a number) nor an exponent.
    const char* const fin = t.data() + t.size();
    if (double v; const char* q = detail::LitCourant(t.data(), t.data(), fin, v))
        if (q == fin || !(BlancIgnore(*q) || *q == 'e' || *q == 'E'))
            return v;
    // Otherwise, with no blank inside the candidate characters, read in place.
    std::size_t n = 0;
    while (n < t.size() && PeutContinuer(t[n]))
        ++n;
    if (n == t.size() || !BlancIgnore(t[n]))
        return LitCompact(t.substr(0, n));
    // Blanks inside the number are skipped: "1 2" reads 12, "1e 5" reads 100000.
    std::string compact;
    for (char c : t) {
        if (BlancIgnore(c))
            continue;
        if (!PeutContinuer(c))
            break;
        compact.push_back(c);
    }
    return LitCompact(compact);
}

namespace {

struct Decimal {
    bool negatif = false;
    std::string chiffres; // significant digits, no trailing zeros; "0" for zero
    int exposant = 0;     // decimal exponent of the first digit
};

Decimal Decompose(double v, int precision) {
    Decimal d;
    if (v == 0.0 || !std::isfinite(v)) {
        d.chiffres.assign(1, '0');
        return d;
    }
    d.negatif = v < 0;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, precision - 1);
    std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
    std::size_t e = s.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (s[i] != '.')
            d.chiffres.push_back(s[i]);
    while (d.chiffres.size() > 1 && d.chiffres.back() == '0')
        d.chiffres.pop_back();
    d.exposant = std::atoi(std::string(s.substr(e + 1)).c_str());
    return d;
}

// The digits laid out in plain or exponent form, without sign.
std::string Dispose(const Decimal& d, int precision, std::string_view sep, bool zeroDevant) {
    const std::string& c = d.chiffres;
    std::string t;
    if (d.exposant >= precision || d.exposant < -4) {
        t += c[0];
        if (c.size() > 1) {
            t += sep;
            t.append(c, 1);
        }
        int e = d.exposant;
        t += e < 0 ? "E-" : "E+";
        std::string ex = std::to_string(e < 0 ? -e : e);
        if (ex.size() < 2)
            t += '0';
        t += ex;
    } else if (d.exposant >= 0) {
        std::size_t entiers = static_cast<std::size_t>(d.exposant) + 1;
        if (c.size() <= entiers) {
            t = c;
            t.append(entiers - c.size(), '0');
        } else {
            t.assign(c, 0, entiers);
            t += sep;
            t.append(c, entiers);
        }
    } else {
        if (zeroDevant)
            t += '0';
        t += sep;
        t.append(static_cast<std::size_t>(-d.exposant - 1), '0');
        t += c;
    }
    return t;
}

} // namespace

std::string TexteRapport(double v, int chiffres, std::string_view separateur) {
    Decimal d = Decompose(v, chiffres);
    std::string t(1, d.negatif ? '-' : ' ');
    t += Dispose(d, chiffres, separateur, false);
    t += ' ';
    return t;
}

std::string TexteFixe(double v, int chiffres) {
    Decimal d = Decompose(v, chiffres);
    std::string t = d.negatif ? "-" : "";
    return t + Dispose(d, chiffres, ".", false);
}

std::string TexteGeneral(double v, int chiffres, std::string_view separateur) {
    Decimal d = Decompose(v, chiffres);
    std::string t = d.negatif ? "-" : "";
    return t + Dispose(d, chiffres, separateur, true);
}

std::string SeparateurDecimalLocale() {
    const char* actuel = std::setlocale(LC_NUMERIC, nullptr);
    std::string sauve = actuel ? actuel : "C";
    std::string sep = ".";
    if (std::setlocale(LC_NUMERIC, "")) {
        const std::lconv* lc = std::localeconv();
        if (lc && lc->decimal_point && *lc->decimal_point)
            sep = lc->decimal_point;
    }
    std::setlocale(LC_NUMERIC, sauve.c_str());
    return sep;
}

} // namespace parvel
