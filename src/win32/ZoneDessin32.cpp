// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/ZoneDessin32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "controleur/Interactions.h"
#include "win32/Texte.h"

namespace parvel::win32 {

namespace {
// The keys the drawing area takes itself; the window's table says what they do.
std::optional<Touche> ToucheDeZone(WPARAM vk) {
    switch (vk) {
    case VK_LEFT:
        return Touche::Gauche;
    case VK_RIGHT:
        return Touche::Droite;
    case VK_UP:
        return Touche::Haut;
    case VK_DOWN:
        return Touche::Bas;
    case VK_ESCAPE:
        return Touche::Echap;
    default:
        return std::nullopt;
    }
}
} // namespace

namespace {

constexpr wchar_t Classe[] = L"ParvelImage1";

short Boutons(WPARAM wp) {
    short r = 0;
    if (wp & MK_LBUTTON)
        r |= 1;
    if (wp & MK_RBUTTON)
        r |= 2;
    if (wp & MK_MBUTTON)
        r |= 4;
    return r;
}

short Touches(WPARAM wp) {
    short r = 0;
    if (wp & MK_SHIFT)
        r |= 1;
    if (wp & MK_CONTROL)
        r |= 2;
    if (GetKeyState(VK_MENU) < 0)
        r |= 4;
    return r;
}

void Enregistre() {
    static bool fait = false;
    if (fait)
        return;
    // The hover text's tooltip class.
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    c.lpszClassName = Classe;
    RegisterClassExW(&c);
    fait = true;
}

} // namespace

ZoneDessin32::ZoneDessin32(HWND parent, int id, double twipsParPixel)
    : SurfaceRaster(1, 1, twipsParPixel, Bord) {
    Enregistre();
    hwnd_ = CreateWindowExW(0, Classe, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 1, 1,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ZoneDessin32::Procedure));
    bulle_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ti.lpszText = texteBulle_.data();
    SendMessageW(bulle_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ZoneDessin32::PlaceEnPixels(int x, int y) {
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ZoneDessin32::TailleChangee() {
    SetWindowPos(hwnd_, nullptr, 0, 0, Raster().LargeurPx() + 2 * Bord, Raster().HauteurPx() + 2 * Bord,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ZoneDessin32::SurvolChange(const std::string& texte) {
    texteBulle_ = Large(texte);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    ti.lpszText = texteBulle_.data();
    SendMessageW(bulle_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ZoneDessin32::Molette(int delta, POINT ecran) {
    const int crans = molette_.Ajoute(delta);
    POINT p = ecran;
    ScreenToClient(hwnd_, &p);
    const auto u = PointSous(p.x, p.y);
    if (crans != 0 && SurMolette && u)
        SurMolette(u->X, u->Y, crans);
}

void ZoneDessin32::Appelle(const Souris& f, short bouton, short shift, int x, int y) {
    // The border is not part of the area: no events there.
    const auto u = PointSous(x, y);
    if (f && u)
        f(bouton, shift, u->X, u->Y);
}

void ZoneDessin32::Peint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT r;
    GetClientRect(hwnd_, &r);
    const int l = Raster().LargeurPx(), h = Raster().HauteurPx();
    Compose(compose_);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = l;
    bi.bmiHeader.biHeight = -h; // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    if (decalage_.x != 0 || decalage_.y != 0) {
        // During a pan the picture follows the hand; the redraw comes on release.
        HBRUSH fond = CreateSolidBrush(RGB(192, 192, 192));
        RECT interieur{Bord, Bord, Bord + l, Bord + h};
        FillRect(dc, &interieur, fond);
        DeleteObject(fond);
        IntersectClipRect(dc, Bord, Bord, Bord + l, Bord + h);
    }
    SetDIBitsToDevice(dc, Bord + decalage_.x, Bord + decalage_.y, static_cast<DWORD>(l),
                      static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h), compose_.data(), &bi,
                      DIB_RGB_COLORS);
    SelectClipRgn(dc, nullptr);
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    if (GetFocus() == hwnd_) {
        RECT f{Bord + 1, Bord + 1, Bord + l - 1, Bord + h - 1};
        DrawFocusRect(dc, &f);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK ZoneDessin32::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* z = reinterpret_cast<ZoneDessin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return z ? z->Message(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT ZoneDessin32::Message(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_PAINT:
        Peint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETDLGCODE: {
        // The arrows and Esc belong to the area; Tab still moves the focus on.
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE)
            return DLGC_WANTMESSAGE;
        return DLGC_WANTARROWS;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Rafraichit();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        SetFocus(hwnd_);
        const short bouton = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
        if (bouton == 4) {
            debutGlisse_ = POINT{x, y};
            SetCapture(hwnd_);
        }
        Appelle(SurAppui, bouton, Touches(wp), x, y);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (debutGlisse_ && (wp & MK_MBUTTON)) {
            decalage_ = POINT{x - debutGlisse_->x, y - debutGlisse_->y};
            Rafraichit();
        }
        Appelle(SurMouvement, Boutons(wp), Touches(wp), x, y);
        return 0;
    case WM_MBUTTONUP: {
        if (!debutGlisse_)
            return 0;
        const POINT debut = *debutGlisse_;
        debutGlisse_.reset();
        decalage_ = POINT{0, 0};
        ReleaseCapture();
        Rafraichit();
        if (const auto g = GlissementVue(Raster(), debut.x - Bord, debut.y - Bord, x - Bord, y - Bord);
            g && SurGlisse)
            SurGlisse(g->dX, g->dY);
        return 0;
    }
    case WM_KEYDOWN: {
        const auto t = ToucheDeZone(wp);
        const auto g = t ? GestePour(*t, GetKeyState(VK_CONTROL) < 0, true) : std::nullopt;
        if (g == Geste::Abandon && SurEchap) {
            SurEchap();
            return 0;
        }
        if (const auto [dx, dy] = g ? DeplacementDe(*g) : std::pair{0, 0}; (dx || dy) && SurFleche) {
            SurFleche(dx, dy);
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace parvel::win32
