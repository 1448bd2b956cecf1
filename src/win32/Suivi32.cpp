// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Suivi32.h"

#include <commctrl.h>
#include <windowsx.h>

namespace parvel::win32 {

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

void Suivi32::CachePanneau() {
    ShowWindow(barre_, SW_HIDE);
    ShowWindow(annuler_.Hwnd(), SW_HIDE);
    SetCursor(curseur_);
}

void Suivi32::MontrePanneau(const std::string&) {
    curseur_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    RECT z;
    GetWindowRect(zone_, &z);
    MapWindowPoints(nullptr, fenetre_, reinterpret_cast<POINT*>(&z), 2);
    const int h = 24, marge = 6, bouton = 90;
    SetWindowPos(barre_, HWND_TOP, z.left + marge, z.bottom - h - marge, 200, h, SWP_SHOWWINDOW);
    SetWindowPos(annuler_.Hwnd(), HWND_TOP, z.left + 2 * marge + 200, z.bottom - h - marge, bouton, h,
                 SWP_SHOWWINDOW);
}

void Suivi32::MontrePourcentage(int pourcent) {
    SendMessageW(barre_, PBM_SETPOS, static_cast<WPARAM>(pourcent), 0);
}

void Suivi32::TraiteEvenements() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            // Seen again by the message loop once the work has stopped.
            PostQuitMessage(static_cast<int>(m.wParam));
            Laisse(Saisie::Fermeture);
            break;
        }
        const bool saisie = (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
                            (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
                            (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCXBUTTONDBLCLK);
        Saisie s = !saisie                                            ? Saisie::Aucune
                   : m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE ? Saisie::Echap
                   : m.hwnd == annuler_.Hwnd()                        ? Saisie::SurAnnuler
                   : m.message == WM_NCLBUTTONDOWN && m.hwnd == fenetre_ &&
                           MenuItemFromPoint(fenetre_, GetMenu(fenetre_),
                                             POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)}) == 0
                       ? Saisie::Quitter // "&Quitter" is the bar's first entry
                       : Saisie::Autre;
        if (!Laisse(s))
            continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

} // namespace parvel::win32
