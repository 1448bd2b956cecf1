// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading numbers from CUT text and dialog answers, and the three ways numbers are
// written back: the report's text-area form, the fixed form of CUT output and hover
// text, and the general form of the about box and the speed prompt. Nothing here
// depends on the C locale: the decimal separator is passed in.
#include <string>
#include <string_view>

namespace parvel {

inline constexpr int ChiffresDouble = 15;
inline constexpr int ChiffresSimple = 7;

// The longest leading decimal number: optional sign, "." as the point, optional
// exponent; blanks, tabs and line feeds are skipped wherever they stand ("1 2" reads
// 12); no number reads 0. A magnitude beyond the double range raises
// ErreurParvel(ErrDepassement); one too small for it reads 0.
double LitNombre(std::string_view texte);

// Report form: " 4.2 " / "-1 ": a blank or the minus sign, the number with at most
// `chiffres` significant digits, no leading zero before the separator, one trailing blank.
std::string TexteRapport(double v, int chiffres, std::string_view separateur);

// Fixed form: "12.5", ".5", "-.25", "." always, no blanks.
std::string TexteFixe(double v, int chiffres);

// General form: "0.5", "1.25" with the locale's separator, no blanks; exponent form
// ("1.234568E+08") once the whole part has more digits than the precision.
std::string TexteGeneral(double v, int chiffres, std::string_view separateur);

// The decimal separator of the user's numeric locale (LC_NUMERIC); "." when unset.
// Leaves the process locale as it found it.
std::string SeparateurDecimalLocale();

} // namespace parvel
