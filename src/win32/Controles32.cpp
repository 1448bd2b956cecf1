// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Controles32.h"
#include "controleur/Disposition.h"

#include <cmath>

#include "win32/Texte.h"

namespace parvel::win32 {

int Twips::EnPixels(double twips) const {
    return static_cast<int>(std::lround(twips / ParPixel()));
}

RECT Twips::Rectangle(const Rect& r) const {
    return RECT{EnPixels(r.l), EnPixels(r.t), EnPixels(r.l + r.w), EnPixels(r.t + r.h)};
}

HFONT Twips::Police(const wchar_t* face, double points, bool gras, bool italique) const {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    lf.lfWeight = gras ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italique;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

void Controle::Cree(HWND parent, const wchar_t* classe, std::string_view texte, DWORD style, int id,
                    DWORD styleEtendu) {
    hwnd_ = CreateWindowExW(styleEtendu, classe, Large(texte).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                            0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
}

void Controle::Place(const Twips& t, const Rect& r) {
    const RECT p = t.Rectangle(r);
    SetWindowPos(hwnd_, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Controle::DefinitTexte(std::string_view utf8) {
    SetWindowTextW(hwnd_, Large(utf8).c_str());
}

void Bouton::Cree(HWND parent, std::string_view texte, int id) {
    Controle::Cree(parent, L"BUTTON", texte, BS_PUSHBUTTON | WS_TABSTOP | WS_CLIPSIBLINGS, id);
}

void CaseACocher::Cree(HWND parent, std::string_view texte, int id, COLORREF couleur) {
    couleur_ = couleur;
    Controle::Cree(parent, L"BUTTON", texte, BS_CHECKBOX | WS_TABSTOP | WS_CLIPSIBLINGS, id);
}

void BoutonOption::Cree(HWND parent, std::string_view texte, int id) {
    Controle::Cree(parent, L"BUTTON", texte, BS_RADIOBUTTON | WS_TABSTOP | WS_CLIPSIBLINGS, id);
}

void Cadre::Cree(HWND parent, std::string_view texte) {
    Controle::Cree(parent, L"BUTTON", texte, BS_GROUPBOX | WS_CLIPSIBLINGS, -1);
}

void Etiquette::Cree(HWND parent, std::string_view texte, bool centree) {
    centree_ = centree;
    Controle::Cree(parent, L"STATIC", texte, (centree ? SS_CENTER : SS_LEFT) | SS_NOPREFIX, -1);
}

void Etiquette::Ajuste(const Twips& t, double left, double top, double width) {
    const int n = GetWindowTextLengthW(hwnd_);
    std::wstring texte(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd_, texte.data(), n + 1);
    texte.resize(static_cast<std::size_t>(n));
    HDC dc = GetDC(hwnd_);
    HGDIOBJ avant = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    SIZE s{};
    GetTextExtentPoint32W(dc, texte.c_str(), n, &s);
    SelectObject(dc, avant);
    ReleaseDC(hwnd_, dc);
    const int x = disposition::GaucheEtiquette(left, width, centree_, t.ParPixel(), s.cx);
    SetWindowPos(hwnd_, nullptr, x, t.EnPixels(top), s.cx, s.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace parvel::win32
