// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Suivi32.h"

#include <commctrl.h>

namespace parvel::win32 {

namespace {

bool EstSaisie(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK);
}

} // namespace

Suivi32::Suivi32(HWND fenetre, HWND zone) : fenetre_(fenetre), zone_(zone) {
    barre_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 1, 1, fenetre, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(barre_, PBM_SETRANGE32, 0, 100);
    annuler_.Cree(fenetre, "Annuler", IdAnnuler);
    ShowWindow(annuler_.Hwnd(), SW_HIDE);
}

void Suivi32::DefinitPolice(HFONT police) {
    annuler_.DefinitPolice(police);
}

void Suivi32::Commence() {
    occupe_ = true;
    annule_ = quitter_ = montre_ = false;
    premier_ = true;
    debut_ = dernier_ = GetTickCount64();
}

void Suivi32::Termine() {
    occupe_ = false;
    if (!montre_)
        return;
    montre_ = false;
    ShowWindow(barre_, SW_HIDE);
    ShowWindow(annuler_.Hwnd(), SW_HIDE);
    SetCursor(curseur_);
}

void Suivi32::Montre() {
    montre_ = true;
    curseur_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    RECT z;
    GetWindowRect(zone_, &z);
    MapWindowPoints(nullptr, fenetre_, reinterpret_cast<POINT*>(&z), 2);
    const int h = 24, marge = 6, bouton = 90;
    SetWindowPos(barre_, HWND_TOP, z.left + marge, z.bottom - h - marge, 200, h, SWP_SHOWWINDOW);
    SetWindowPos(annuler_.Hwnd(), HWND_TOP, z.left + 2 * marge + 200, z.bottom - h - marge, bouton, h,
                 SWP_SHOWWINDOW);
}

bool Suivi32::Continue(std::uint64_t lus, std::uint64_t total) {
    // Messages are looked at the first time, then at a steady pace: a stop asked before
    // the work began is seen at once, and the cost stays out of the reading.
    const ULONGLONG maintenant = GetTickCount64();
    if (!premier_ && maintenant - dernier_ < PasMs)
        return !annule_;
    premier_ = false;
    dernier_ = maintenant;
    if (!montre_ && maintenant - debut_ >= DelaiMs)
        Montre();
    if (montre_ && total > 0)
        SendMessageW(barre_, PBM_SETPOS, static_cast<WPARAM>(100 * lus / total), 0);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            // Seen again by the message loop once the work has stopped.
            PostQuitMessage(static_cast<int>(m.wParam));
            Annule(true);
            break;
        }
        if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
            Annule(false);
            continue;
        }
        if (EstSaisie(m.message) && m.hwnd != annuler_.Hwnd())
            continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return !annule_;
}

} // namespace parvel::win32
