// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Bloc32.h"

#include <windowsx.h>

#include <algorithm>

#include "win32/Texte.h"

namespace parvel::win32 {

namespace {

constexpr wchar_t Classe3D[] = L"ParvelVue3D";
constexpr wchar_t ClasseVerif[] = L"ParvelVerifications";
// A drawing asked for, made once the messages already waiting are through.
constexpr UINT MessageDessin = WM_APP + 1;
constexpr int IdListe = 10;

// The window procedure of both windows: the object comes with WM_NCCREATE, keeps its
// handle, and forgets it when the window goes.
template <class T>
LRESULT Achemine(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, HWND T::*poignee,
                 LRESULT (T::*message)(UINT, WPARAM, LPARAM)) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* f = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (f && msg == WM_NCDESTROY)
        f->*poignee = nullptr;
    if (!f || msg == WM_NCDESTROY)
        return DefWindowProcW(hwnd, msg, wp, lp);
    f->*poignee = hwnd;
    return (f->*message)(msg, wp, lp);
}

void Enregistre(const wchar_t* classe, WNDPROC procedure, HBRUSH fond) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = procedure;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = fond;
    c.lpszClassName = classe;
    RegisterClassExW(&c); // fails harmlessly once registered
}

} // namespace

Fenetre3D32::Fenetre3D32(HWND proprietaire, std::function<void()> dessine) : dessine_(std::move(dessine)) {
    Enregistre(Classe3D, &Fenetre3D32::Procedure, nullptr);
    hwnd_ = CreateWindowExW(0, Classe3D, L"Parvel - Vue 3D", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 660, 460, proprietaire, nullptr, GetModuleHandleW(nullptr), this);
}

Fenetre3D32::~Fenetre3D32() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void Fenetre3D32::Montre(bool voir) {
    ShowWindow(hwnd_, voir ? SW_SHOW : SW_HIDE);
    if (voir) {
        SetForegroundWindow(hwnd_);
        Redessine();
    }
}

void Fenetre3D32::MontreFil(const std::optional<Fil>& fil) {
    fil_ = fil;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Fenetre3D32::Redessine() {
    if (demande_)
        return;
    demande_ = true;
    PostMessageW(hwnd_, MessageDessin, 0, 0);
}

void Fenetre3D32::Peint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    rendu_.Compose(compose_, fil_);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = rendu_.LargeurPx();
    bi.bmiHeader.biHeight = -rendu_.HauteurPx(); // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(rendu_.LargeurPx()),
                      static_cast<DWORD>(rendu_.HauteurPx()), 0, 0, 0, static_cast<UINT>(rendu_.HauteurPx()),
                      compose_.data(), &bi, DIB_RGB_COLORS);
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK Fenetre3D32::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return Achemine(hwnd, msg, wp, lp, &Fenetre3D32::hwnd_, &Fenetre3D32::Message);
}

LRESULT Fenetre3D32::Message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        // Closing hides it, as the menu's check mark does.
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_SIZE: {
        const int l = std::max(1, static_cast<int>(LOWORD(lp))),
                  h = std::max(1, static_cast<int>(HIWORD(lp)));
        if (wp == SIZE_MINIMIZED || (l == rendu_.LargeurPx() && h == rendu_.HauteurPx()))
            return 0;
        rendu_.Redimensionne(l, h);
        Redessine();
        return 0;
    }
    case MessageDessin:
        demande_ = false;
        if (Visible() && dessine_)
            dessine_();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_PAINT:
        Peint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        dernier_ = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        SetCapture(hwnd_);
        SetFocus(hwnd_);
        return 0;
    case WM_LBUTTONUP:
        dernier_.reset();
        ReleaseCapture();
        return 0;
    case WM_MOUSEMOVE: {
        if (!(wp & MK_LBUTTON) || !dernier_) {
            dernier_.reset();
            return 0;
        }
        const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const int dx = p.x - dernier_->x, dy = p.y - dernier_->y;
        dernier_ = p;
        if (dx == 0 && dy == 0)
            return 0;
        camera_.Orbite(dx, dy);
        Redessine();
        return 0;
    }
    case WM_MOUSEWHEEL: {
        if (const int crans = molette_.Ajoute(GET_WHEEL_DELTA_WPARAM(wp))) {
            camera_.Zoome(crans);
            Redessine();
        }
        return 0;
    }
    case WM_KEYDOWN:
        if (wp != VK_HOME)
            break;
        camera_ = Camera3D{};
        Redessine();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

Verifications32::Verifications32(HWND proprietaire, const Twips& twips, HFONT police,
                                 std::function<void(int)> choix)
    : choix_(std::move(choix)) {
    Enregistre(ClasseVerif, &Verifications32::Procedure, GetSysColorBrush(COLOR_BTNFACE));
    RECT p{};
    GetWindowRect(proprietaire, &p);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, ClasseVerif, L"Vérifications", WS_OVERLAPPEDWINDOW, p.right + 8,
                            p.top, twips.EnPixels(9300), twips.EnPixels(4800), proprietaire, nullptr,
                            GetModuleHandleW(nullptr), this);
    const auto cree = [this](const wchar_t* classe, DWORD style, int id) {
        HWND h = CreateWindowExW(0, classe, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
        return h;
    };
    resume_ = cree(L"STATIC", SS_LEFT, 0);
    liste_ =
        cree(L"LISTBOX", WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
             IdListe);
    controles_ = cree(L"STATIC", SS_LEFT, 0);
    for (HWND h : {resume_, liste_, controles_})
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(police), FALSE);
    // Wide enough for the longest finding.
    SendMessageW(liste_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(twips.EnPixels(20000)), 0);
    Dispose();
}

Verifications32::~Verifications32() {
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void Verifications32::Montre(const Verifications& v, const std::string& fichier, const std::string& sep) {
    SendMessageW(liste_, LB_RESETCONTENT, 0, 0);
    for (const Constat& c : v.Constats)
        SendMessageW(liste_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Large(TexteConstat(c, sep)).c_str()));
    ShowWindow(liste_, v.Constats.empty() ? SW_HIDE : SW_SHOW);
    SetWindowTextW(resume_, Large(TexteResumeFenetre(v, fichier)).c_str());
    std::string controles;
    lignesControles_ = 0;
    for (const std::string& t : TextesControles(v, sep)) {
        controles += (controles.empty() ? "" : "\r\n") + t;
        ++lignesControles_;
    }
    SetWindowTextW(controles_, Large(controles).c_str());
    Dispose();
}

void Verifications32::Affiche() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void Verifications32::Dispose() {
    RECT r{};
    GetClientRect(hwnd_, &r);
    HDC dc = GetDC(hwnd_);
    const auto ancienne =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(resume_, WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, ancienne);
    ReleaseDC(hwnd_, dc);
    const int ligne = tm.tmHeight + tm.tmExternalLeading, marge = 6,
              l = std::max(1, int(r.right) - 2 * marge);
    const int hautResume = 2 * ligne, hautControles = std::max(1, lignesControles_) * ligne;
    MoveWindow(resume_, marge, marge, l, hautResume, TRUE);
    const int basListe = std::max(marge + hautResume, int(r.bottom) - marge - hautControles - marge);
    MoveWindow(liste_, marge, marge + hautResume + marge, l, std::max(1, basListe - (2 * marge + hautResume)),
               TRUE);
    MoveWindow(controles_, marge, basListe + marge, l, hautControles, TRUE);
}

LRESULT CALLBACK Verifications32::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return Achemine(hwnd, msg, wp, lp, &Verifications32::hwnd_, &Verifications32::Message);
}

LRESULT Verifications32::Message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_SIZE:
        if (liste_)
            Dispose();
        return 0;
    case WM_COMMAND:
        // A click, the arrows or a double click on the row already chosen.
        if (LOWORD(wp) == IdListe && (HIWORD(wp) == LBN_SELCHANGE || HIWORD(wp) == LBN_DBLCLK) && choix_) {
            const LRESULT i = SendMessageW(liste_, LB_GETCURSEL, 0, 0);
            if (i != LB_ERR)
                choix_(static_cast<int>(i));
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace parvel::win32
