// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the running parvel.exe through its window messages, for the window test run
// under Wine: waits for the window and its report, prints the report, the resolution, the
// layout against its table and the screen rectangle of the drawing area's picture, zooms
// into a rectangle with the mouse, then with the wheel (read through the hover readout),
// reads the faces' figures and the checks' line under the drawing, the findings' window
// (F7) and the 3D one, reads the about box's texts and the recent files, and
// ends the program with "&Quitter".
// Exit 1 when something does not come in time.
// Usage: sonde-fenetre SECONDES [FICHIER_SUITE|-] [fermer] [recharger]; "fermer" closes the
// main window, then the about box, instead of choosing "&Quitter"; "recharger" rewrites the
// loaded file and waits for the live reload.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "Doubles.h"

namespace {

std::string Utf8(const std::wstring& t) {
    if (t.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, t.data(), static_cast<int>(t.size()), nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, t.data(), static_cast<int>(t.size()), r.data(), n, nullptr, nullptr);
    return r;
}

std::wstring Texte(HWND h) {
    const LRESULT n = SendMessageW(h, WM_GETTEXTLENGTH, 0, 0);
    std::wstring t(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(h, WM_GETTEXT, t.size(), reinterpret_cast<LPARAM>(t.data()));
    t.resize(wcslen(t.c_str()));
    return t;
}

// Polls `trouve` every 100 ms until it gives a window or `secondes` pass.
template <class F> HWND Attend(double secondes, F trouve) {
    for (int i = 0; i < secondes * 10; ++i) {
        if (HWND h = trouve())
            return h;
        Sleep(100);
    }
    return nullptr;
}

BOOL CALLBACK ImprimeEtiquette(HWND h, LPARAM) {
    wchar_t classe[32] = {};
    GetClassNameW(h, classe, 32);
    if (_wcsicmp(classe, L"Static") == 0 && IsWindowVisible(h))
        std::printf("apropos %s\n", Utf8(Texte(h)).c_str());
    return TRUE;
}

// Each visible child of the main window, in stacking order, against the table's row:
// class, caption, and each edge within one pixel of its twips at the window's resolution.
void VerifieDisposition(HWND fenetre) {
    const UINT dpi = GetDpiForWindow(fenetre);
    std::printf("ppp %u\n", dpi);
    const auto table = parvel::test::LitTable("fenetre/disposition.tsv");
    std::vector<HWND> enfants;
    for (HWND h = GetWindow(fenetre, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h))
            enfants.push_back(h);
    if (enfants.size() != table.size())
        std::printf("disposition écart: %zu contrôles pour %zu lignes\n", enfants.size(), table.size());
    for (std::size_t i = 0; i < table.size() && i < enfants.size(); ++i) {
        const auto& r = table[i];
        wchar_t classe[64] = {};
        GetClassNameW(enfants[i], classe, 64);
        RECT e;
        GetWindowRect(enfants[i], &e);
        MapWindowPoints(nullptr, fenetre, reinterpret_cast<POINT*>(&e), 2);
        const auto px = [&](const std::string& twips) { return std::atof(twips.c_str()) * dpi / 1440.0; };
        const auto proche = [](long obtenu, double attendu) {
            return obtenu >= attendu - 1 && obtenu <= attendu + 1;
        };
        bool ok = _wcsicmp(classe, std::wstring(r[1].begin(), r[1].end()).c_str()) == 0 &&
                  (r[2].empty() || Utf8(Texte(enfants[i])) == r[2]) && proche(e.left, px(r[3])) &&
                  (r[4].empty() || proche(e.top, px(r[4])));
        if (!r[5].empty())
            ok = ok && proche(e.right, px(r[3]) + px(r[5]));
        if (!r[6].empty())
            ok = ok && proche(e.bottom, px(r[4]) + px(r[6]));
        if (ok)
            std::printf("disposition %s ok\n", r[0].c_str());
        else
            std::printf("disposition écart: %s %s \"%s\" %ld %ld %ld %ld\n", r[0].c_str(),
                        Utf8(classe).c_str(), Utf8(Texte(enfants[i])).c_str(), e.left, e.top, e.right,
                        e.bottom);
    }
}

// The hover readout at a point of the drawing area: the real cursor goes there and the
// tooltip's text is read back. False when no readout comes.
bool Releve(HWND image, POINT p, double delai, double& x, double& y) {
    ClientToScreen(image, &p);
    SetCursorPos(p.x - 1, p.y);
    Sleep(200);
    SetCursorPos(p.x, p.y);
    return Attend(delai, [&]() -> HWND {
               for (HWND b = FindWindowW(L"tooltips_class32", nullptr); b;
                    b = FindWindowExW(nullptr, b, L"tooltips_class32", nullptr))
                   if (IsWindowVisible(b) && swscanf(Texte(b).c_str(), L"X: %lf Y: %lf", &x, &y) == 2)
                       return b;
               return nullptr;
           }) != nullptr;
}

// A wheel notch toward a point keeps that point under the cursor and enlarges the view.
void Molette(HWND fenetre, HWND image, double delai) {
    const POINT a{300, 150}, b{340, 150};
    double xa = 0, ya = 0, xb = 0, yb = 0, xa2 = 0, ya2 = 0, xb2 = 0, yb2 = 0;
    if (!Releve(image, a, delai, xa, ya) || !Releve(image, b, delai, xb, yb)) {
        std::puts("molette écart: pas de relevé");
        return;
    }
    POINT ecran = a;
    ClientToScreen(image, &ecran);
    SetCursorPos(ecran.x, ecran.y);
    Sleep(200);
    PostMessageW(fenetre, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(ecran.x, ecran.y));
    Sleep(500);
    if (!Releve(image, a, delai, xa2, ya2) || !Releve(image, b, delai, xb2, yb2)) {
        std::puts("molette écart: pas de relevé après");
        return;
    }
    // One pixel after the zoom, in millimetres.
    const double pixel = (xb2 - xa2) / (b.x - a.x);
    const bool garde = std::fabs(xa2 - xa) <= 1.5 * pixel && std::fabs(ya2 - ya) <= 1.5 * pixel;
    const bool agrandit = pixel > 0 && (xb - xa) / (xb2 - xa2) > 1.05;
    std::printf("molette %s: %.2f %.2f -> %.2f %.2f, %.4f -> %.4f mm/pixel\n",
                garde && agrandit ? "ok" : "écart", xa, ya, xa2, ya2, (xb - xa) / (b.x - a.x), pixel);
}

// Each line of a text control, after `prefixe`.
void ImprimeLignes(const char* prefixe, HWND h) {
    std::string ligne;
    for (wchar_t c : Texte(h) + L"\r") {
        if (c == L'\r' || c == L'\n') {
            if (!ligne.empty())
                std::printf("%s %s\n", prefixe, ligne.c_str());
            ligne.clear();
        } else {
            ligne += Utf8(std::wstring(1, c));
        }
    }
}

// Live reload: the loaded file (the first recent one, a wide path) rewritten with its
// first lines only is loaded again once it has settled, and the report changes.
void Rechargement(HWND rapport, double delai) {
    wchar_t chemin[1024] = {};
    DWORD taille = sizeof chemin;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Local AppWizard-Generated Applications\\Parvel\\Fenetre",
                 L"Fichier1", RRF_RT_REG_SZ, nullptr, chemin, &taille);
    std::string contenu;
    HANDLE f = CreateFileW(chemin, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        char tampon[65536];
        DWORD lus = 0;
        while (ReadFile(f, tampon, sizeof tampon, &lus, nullptr) && lus > 0)
            contenu.append(tampon, lus);
        CloseHandle(f);
    }
    std::size_t fin = 0;
    for (int i = 0; i < 300 && fin != std::string::npos; ++i)
        fin = contenu.find('\n', fin + 1);
    if (contenu.empty() || fin == std::string::npos) {
        std::printf("rechargement écart: %s illisible\n", Utf8(chemin).c_str());
        return;
    }
    const std::wstring avant = Texte(rapport);
    // Written in two goes, as a writer that takes its time.
    f = CreateFileW(chemin, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD ecrits = 0;
    WriteFile(f, contenu.data(), static_cast<DWORD>(fin / 2), &ecrits, nullptr);
    Sleep(150);
    WriteFile(f, contenu.data() + fin / 2, static_cast<DWORD>(fin + 1 - fin / 2), &ecrits, nullptr);
    CloseHandle(f);
    const bool change =
        Attend(delai, [&] {
            const std::wstring t = Texte(rapport);
            return t != avant && t.find(L"Temps de d") != std::wstring::npos ? rapport : nullptr;
        }) != nullptr;
    std::printf("rechargement %s\n", change ? "ok" : "écart: le rapport n'a pas changé");
    ImprimeLignes("recharge", rapport);
}

// Menu commands of the main window, and its checks' line.
constexpr WPARAM Quitter = 200, APropos = 204, Vue3D = 211;
constexpr int EtatVerifications = 116;

} // namespace

int main(int argc, char** argv) {
    const double delai = argc > 1 ? std::atof(argv[1]) : 60;
    HWND fenetre = Attend(delai, [] { return FindWindowW(L"ParvelPrincipale", nullptr); });
    if (!fenetre) {
        std::puts("erreur pas de fenetre");
        return 1;
    }
    HWND rapport = Attend(delai, [&] {
        HWND r = FindWindowExW(fenetre, nullptr, L"RICHEDIT50W", nullptr);
        return r && SendMessageW(r, WM_GETTEXTLENGTH, 0, 0) > 0 ? r : nullptr;
    });
    if (!rapport) {
        std::puts("erreur pas de rapport");
        return 1;
    }
    // The redraw follows the report within the same procedure: wait for the window to answer again.
    DWORD_PTR r = 0;
    SendMessageTimeoutW(fenetre, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(delai * 1000), &r);
    Sleep(500);
    ImprimeLignes("rapport", rapport);
    ImprimeLignes("faces", FindWindowExW(fenetre, rapport, L"RICHEDIT50W", nullptr));
    ImprimeLignes("etat-verifications", GetDlgItem(fenetre, EtatVerifications));
    VerifieDisposition(fenetre);
    HWND image = FindWindowExW(fenetre, nullptr, L"ParvelImage1", nullptr);
    RECT ri{};
    GetClientRect(image, &ri);
    POINT o{2, 2}; // inside the sunken border
    ClientToScreen(image, &o);
    std::printf("image1 %ld %ld %ld %ld\n", o.x, o.y, ri.right - 4, ri.bottom - 4);
    std::fflush(stdout);

    if (argc > 2 && std::string(argv[2]) != "-") {
        // The caller takes its screenshot now, then creates this file.
        const std::string suite = argv[2];
        Attend(delai, [&] {
            return GetFileAttributesA(suite.c_str()) != INVALID_FILE_ATTRIBUTES ? fenetre : nullptr;
        });
    }
    // A rectangle zoom with the mouse: press, move up and right, press; the accepted zoom selects "Variable".
    const auto souris = [&](UINT msg, int x, int y, WPARAM etat) {
        PostMessageW(image, msg, etat, MAKELPARAM(x, y));
    };
    souris(WM_LBUTTONDOWN, ri.right / 4, ri.bottom * 3 / 4, MK_LBUTTON);
    souris(WM_LBUTTONUP, ri.right / 4, ri.bottom * 3 / 4, 0);
    souris(WM_MOUSEMOVE, ri.right / 2, ri.bottom / 4, 0);
    souris(WM_LBUTTONDOWN, ri.right / 2, ri.bottom / 4, MK_LBUTTON);
    souris(WM_LBUTTONUP, ri.right / 2, ri.bottom / 4, 0);
    HWND variable = FindWindowExW(fenetre, nullptr, L"Button", L"Variable");
    std::printf("zoom-variable %d\n",
                Attend(delai, [&] {
                    return SendMessageW(variable, BM_GETCHECK, 0, 0) == BST_CHECKED ? variable : nullptr;
                }) != nullptr);
    Molette(fenetre, image, delai);
    // F7 opens the checks' window (the program's own menus cannot be read from here under
    // Wine): its head names the file; choosing the first finding moves playback to its line.
    PostMessageW(fenetre, WM_KEYDOWN, VK_F7, 0);
    HWND verif = Attend(delai, [] {
        HWND h = FindWindowW(L"ParvelVerifications", nullptr);
        return h && IsWindowVisible(h) ? h : nullptr;
    });
    if (verif) {
        HWND resume = GetWindow(verif, GW_CHILD), liste = GetNextWindow(resume, GW_HWNDNEXT);
        ImprimeLignes("verifications", resume);
        std::printf("constats %ld\n", static_cast<long>(SendMessageW(liste, LB_GETCOUNT, 0, 0)));
        if (SendMessageW(liste, LB_GETCOUNT, 0, 0) > 0) {
            std::wstring premier(static_cast<std::size_t>(SendMessageW(liste, LB_GETTEXTLEN, 0, 0)) + 1,
                                 L'\0');
            SendMessageW(liste, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(premier.data()));
            std::printf("constat1 %s\n", Utf8(premier.c_str()).c_str());
            SendMessageW(liste, LB_SETCURSEL, 0, 0);
            SendMessageW(verif, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(liste), LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(liste));
            DWORD_PTR fait = 0;
            SendMessageTimeoutW(fenetre, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(delai * 1000), &fait);
            for (HWND h = GetWindow(fenetre, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
                wchar_t classe[16] = {};
                GetClassNameW(h, classe, 16);
                if (_wcsicmp(classe, L"Static") == 0 && Texte(h).find(L"ligne") != std::wstring::npos)
                    std::printf("lecture %s\n", Utf8(Texte(h)).c_str());
            }
        }
        PostMessageW(verif, WM_CLOSE, 0, 0);
    }
    bool recharger = false;
    for (int i = 3; i < argc; ++i)
        recharger = recharger || std::string(argv[i]) == "recharger";
    if (recharger)
        Rechargement(rapport, delai);
    // The 3D view, with a geometry in the store.
    PostMessageW(fenetre, WM_COMMAND, Vue3D, 0);
    HWND vue3D = Attend(5, [] {
        HWND h = FindWindowW(L"ParvelVue3D", nullptr);
        return h && IsWindowVisible(h) ? h : nullptr;
    });
    std::printf("vue3d %s\n", vue3D ? Utf8(Texte(vue3D)).c_str() : "-");
    if (vue3D)
        PostMessageW(vue3D, WM_CLOSE, 0, 0);
    PostMessageW(fenetre, WM_COMMAND, APropos, 0);
    HWND boite = Attend(delai, [] { return FindWindowW(L"ParvelAPropos", nullptr); });
    if (!boite) {
        std::puts("erreur pas de boite a propos");
        return 1;
    }
    std::printf("apropos-titre %s\n", Utf8(Texte(boite)).c_str());
    EnumChildWindows(boite, ImprimeEtiquette, 0);
    // The file opened heads the recent files, kept in the registry in the program's own key.
    wchar_t recent[1024] = {};
    DWORD taille = sizeof recent;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Local AppWizard-Generated Applications\\Parvel\\Fenetre",
                 L"Fichier1", RRF_RT_REG_SZ, nullptr, recent, &taille);
    std::printf("recent %s\n", Utf8(recent).c_str());
    const auto ferme = [&](HWND h) {
        return Attend(delai, [&] { return IsWindow(h) ? nullptr : fenetre; }) ? 1 : 0;
    };
    if (argc > 3 && std::string(argv[3]) == "fermer") {
        // Closing the main window leaves the about box open; the program ends with it.
        PostMessageW(fenetre, WM_CLOSE, 0, 0);
        std::printf("principale-fermee %d\n", ferme(fenetre));
        std::printf("apropos-reste %d\n", IsWindow(boite) ? 1 : 0);
        PostMessageW(boite, WM_COMMAND, IDOK, 0);
        std::printf("apropos-fermee %d\n", ferme(boite));
    } else {
        PostMessageW(boite, WM_COMMAND, IDOK, 0);
        std::printf("apropos-fermee %d\n", ferme(boite));
        PostMessageW(fenetre, WM_COMMAND, Quitter, 0);
    }
    std::fflush(stdout);
    return 0;
}
