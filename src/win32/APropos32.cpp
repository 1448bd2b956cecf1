// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/APropos32.h"

#include "controleur/Disposition.h"
#include "settings/APropos.h"
#include "win32/Texte.h"

namespace parvel::win32 {

namespace {

constexpr wchar_t Classe[] = L"ParvelAPropos";
using namespace disposition::apropos;

} // namespace

APropos32::APropos32(HWND proprietaire, const Twips& twips, Registre& registre, const std::string& separateur,
                     Dialogues& dialogues, std::function<void()> fermee)
    : fermee_(std::move(fermee)), twips_(twips) {
    static bool enregistree = false;
    if (!enregistree) {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = &APropos32::Procedure;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = Classe;
        RegisterClassExW(&c);
        enregistree = true;
    }
    const TextesAPropos t = LitAPropos(registre, separateur);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU, etendu = WS_EX_DLGMODALFRAME;
    // The client area sits at a fixed place of the screen whatever the frame.
    RECT r = twips_.Rectangle({Client.l, Client.t, Client.w, Client.h});
    AdjustWindowRectEx(&r, style, FALSE, etendu);
    hwnd_ = CreateWindowExW(etendu, Classe, Large(t.Caption).c_str(), style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, proprietaire, nullptr, GetModuleHandleW(nullptr), this);

    polices_ = {twips_.Police(L"MS Sans Serif", 8.25), twips_.Police(L"Times New Roman", 28.8, true),
                twips_.Police(L"MS Sans Serif", 9.6, false, true),
                twips_.Police(L"MS Sans Serif", 9.6, true)};
    for (int i = 0; i < 10; ++i) {
        const ModeleEtiquette& m = Etiquettes[i];
        etiquettes_[i].Cree(hwnd_, TexteEtiquette(t, i), m.centree);
        etiquettes_[i].DefinitPolice(polices_[static_cast<int>(m.police)]);
        etiquettes_[i].Ajuste(twips_, m.l, m.t, m.w);
    }
    ShowWindow(etiquettes_[EtiquetteDescription].Hwnd(), SW_HIDE);
    ok_.Cree(hwnd_, "OK", IDOK);
    SetWindowLongPtrW(ok_.Hwnd(), GWL_STYLE, GetWindowLongPtrW(ok_.Hwnd(), GWL_STYLE) | BS_DEFPUSHBUTTON);
    ok_.DefinitPolice(polices_[static_cast<int>(Police::Dialogue)]);
    ok_.Place(twips_, {OK.l, OK.t, OK.w, OK.h});

    if (t.MessageErreur)
        dialogues.Message(*t.MessageErreur);
    if (t.FinProgramme) {
        DestroyWindow(hwnd_);
        dialogues.Termine();
    }
}

APropos32::~APropos32() {
    if (hwnd_)
        DestroyWindow(hwnd_);
    for (HFONT f : polices_)
        DeleteObject(f);
}

void APropos32::Montre() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(ok_.Hwnd());
}

LRESULT CALLBACK APropos32::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* a = static_cast<APropos32*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(a));
        a->hwnd_ = hwnd;
    }
    auto* a = reinterpret_cast<APropos32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!a)
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        a->hwnd_ = nullptr;
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        if (a->fermee_)
            a->fermee_();
        return r;
    }
    return a->Message(msg, wp, lp);
}

LRESULT APropos32::Message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            DestroyWindow(hwnd_);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_PAINT: {
        // Etched separator: a white line two pixels wide under a grey one pixel wide.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        const int y = twips_.EnPixels(LigneY), x0 = twips_.EnPixels(LigneGauche);
        RECT blanc{x0, y, twips_.EnPixels(LigneDroite), y + 2},
            gris{x0, y, twips_.EnPixels(LigneOmbre), y + 1};
        FillRect(dc, &blanc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HBRUSH g = CreateSolidBrush(RGB(128, 128, 128));
        FillRect(dc, &gris, g);
        DeleteObject(g);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace parvel::win32
