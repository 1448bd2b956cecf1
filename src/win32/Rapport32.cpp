// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Rapport32.h"

#include <richedit.h>

#include "plateforme/Surface.h"
#include "win32/Texte.h"

namespace parvel::win32 {

namespace {

COLORREF Couleur(int indice) {
    const std::uint32_t c = indice >= 0 && indice < 16 ? Palette[indice] : 0;
    return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

} // namespace

Rapport32::Rapport32(HWND parent, int id) {
    LoadLibraryW(L"msftedit.dll");
    hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL |
                                ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_NOHIDESEL,
                            0, 0, 1, 1, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, RGB(192, 192, 192));
    DefinitPolice(9.6);
}

void Rapport32::DefinitPolice(double points) {
    CHARFORMAT2W f{};
    f.cbSize = sizeof f;
    f.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC;
    f.yHeight = static_cast<LONG>(points * 20); // twips
    lstrcpynW(f.szFaceName, L"Arial", LF_FACESIZE);
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&f));
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&f));
}

void Rapport32::Efface() {
    vide_ = true;
    lignes_ = 0;
    SetWindowTextW(hwnd_, L"");
}

void Rapport32::Imprime(int couleur, std::string_view ligne) {
    const std::wstring texte = (vide_ ? L"" : L"\r") + Large(ligne);
    vide_ = false;
    ++lignes_;
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    CHARFORMAT2W f{};
    f.cbSize = sizeof f;
    f.dwMask = CFM_COLOR;
    f.crTextColor = Couleur(couleur);
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(texte.c_str()));
}

} // namespace parvel::win32
