// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The usual CUT number read at speed, shared by LitNombre and the interpreter: optional
// sign, digits with at most one point, no exponent, no blank. Anything else is left to
// the general reading.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace parvel::detail {

// At most 15 digits and a power of ten up to 1e15: both are exact doubles, so one
// division rounds exactly as from_chars does.
inline constexpr double PuissancesDix[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

inline bool EstChiffreRapide(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Digit by digit, for runs of eight digits or more: same result, up to 15 digits.
inline const char* LitCourantSimple(const char* p, const char* fin, double& v) {
    bool negatif = false;
    if (p < fin && (*p == '+' || *p == '-'))
        negatif = *p++ == '-';
    std::uint64_t m = 0;
    const char* const d = p;
    for (; p < fin && EstChiffreRapide(*p); ++p)
        m = m * 10 + static_cast<std::uint64_t>(*p - '0');
    std::ptrdiff_t chiffres = p - d, decimales = 0;
    if (p < fin && *p == '.') {
        const char* const f = ++p;
        for (; p < fin && EstChiffreRapide(*p); ++p)
            m = m * 10 + static_cast<std::uint64_t>(*p - '0');
        decimales = p - f;
        chiffres += decimales;
    }
    if (chiffres == 0 || chiffres > 15)
        return nullptr;
    v = static_cast<double>(m) / PuissancesDix[decimales];
    if (negatif)
        v = -v;
    return p;
}

// The eight bytes from p, little-endian, those at or past `fin` read as 0. Bytes from
// `debut` on may be read, so a number near the end is loaded with one read too.
inline std::uint64_t Charge8(const char* debut, const char* p, const char* fin) {
    std::uint64_t x = 0;
    const std::ptrdiff_t reste = fin - p;
    if (reste >= 8) {
        std::memcpy(&x, p, 8);
        return x;
    }
    if (reste <= 0)
        return 0;
    if (fin - debut >= 8) {
        std::memcpy(&x, fin - 8, 8);
        return x >> (8 * (8 - reste));
    }
    for (std::ptrdiff_t i = 0; i < reste; ++i)
        x |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    return x;
}

// Digit values of the eight bytes; the count of leading digits (0 to 8). A byte that is
// no digit can spoil only the bytes after it, never the count.
inline unsigned ChiffresEnTete(std::uint64_t& x) {
    x -= 0x3030303030303030;
    const std::uint64_t pasChiffre = ((x + 0x7676767676767676) | x) & 0x8080808080808080;
    return static_cast<unsigned>(std::countr_zero(pasChiffre)) / 8;
}

// The value of the first n digits (0 < n < 8) of x, whose bytes are digit values.
inline std::uint64_t ValeurChiffres(std::uint64_t x, unsigned n) {
    x <<= 64 - 8 * n; // leading zeros make eight digits
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FF;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFF;
    return (x * 10000 + (x >> 32)) & 0xFFFFFFFF;
}

// Reads the usual number at p; returns where it stops (the first byte that is not part
// of it, or fin), or nullptr when it has no digit or more than 15. Bytes between debut
// and fin may be read.
inline const char* LitCourant(const char* debut, const char* p, const char* fin, double& v) {
    if constexpr (std::endian::native != std::endian::little) {
        return LitCourantSimple(p, fin, v);
    } else {
        const char* const signe = p;
        bool negatif = false;
        if (p < fin && (*p == '+' || *p == '-'))
            negatif = *p++ == '-';
        const std::uint64_t brut = Charge8(debut, p, fin);
        std::uint64_t x = brut;
        const unsigned entiers = ChiffresEnTete(x);
        std::uint64_t m;
        unsigned decimales = 0;
        if (entiers == 8)
            return LitCourantSimple(signe, fin, v); // longer than these eight bytes
        if (((brut >> (8 * entiers)) & 0xFF) != '.') {
            if (entiers == 0)
                return nullptr;
            m = ValeurChiffres(x, entiers);
            p += entiers;
        } else {
            // The point taken out, the digits after it follow those before it.
            const std::uint64_t bas = (std::uint64_t{1} << (8 * entiers)) - 1;
            x = (brut & bas) | ((brut >> 8) & ~bas);
            const unsigned chiffres = ChiffresEnTete(x);
            if (chiffres == 7)
                return LitCourantSimple(signe, fin, v); // may go on past these eight bytes
            if (chiffres == 0)
                return nullptr;
            m = ValeurChiffres(x, chiffres);
            decimales = chiffres - entiers;
            p += chiffres + 1;
        }
        v = static_cast<double>(m) / PuissancesDix[decimales];
        if (negatif)
            v = -v;
        return p;
    }
}

} // namespace parvel::detail
