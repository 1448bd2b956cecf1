// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the running parvel.exe through its window messages, for the window test run
// under Wine: waits for the window and its report, prints the report, the resolution, the
// layout against its table and the screen rectangle of the drawing area's picture, zooms
// into a rectangle with the mouse, then with the wheel (read through the hover readout),
// reads the faces' figures and the checks' line under the drawing, the findings' window
// (F7) and the 3D one, reads the about box's texts and the recent files, and
// ends the program with "&Quitter".
// Exit 1 when something does not come in time.
// Usage: sonde-fenetre SECONDES [FICHIER_SUITE|-] [CAS...] [fermer]; "fermer" closes the
// main window, then the about box, instead of choosing "&Quitter". The cases, before the
// about box: "lecture" (playback moves the wire), "fraisage" (milling prompts answered
// "2,4"), "gros=FICHIER.cut" (progress and cancel on that big file), "recharger" (the
// loaded file rewritten, then the live reload awaited).
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "Doubles.h"
#include "win32/Attente.h"

namespace {

using parvel::test::Attend;

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
constexpr WPARAM Ouvrir = 201, Activation = 202, Reglage = 203, Etendu = 208;
constexpr int Lire = 112, CurseurLecture = 114, TexteInvite = 202, Reponse = 203;
// The file name's field of the open dialog (cmb13).
constexpr int NomOuverture = 0x47c;
const wchar_t* const CleParvel = L"Software\\Local AppWizard-Generated Applications\\Parvel\\";

// Until the window has handled what was posted before (false when it does not answer).
bool Repond(HWND fenetre, double secondes) {
    DWORD_PTR r = 0;
    return SendMessageTimeoutW(fenetre, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(secondes * 1000), &r) !=
           0;
}

// The black pixels of the drawing area on the screen (the wire and the carriages' frames
// during playback): how many, and their mean position.
struct Noirs {
    long n = 0;
    double x = 0, y = 0;
};
Noirs CompteNoirs(HWND image) {
    RECT r;
    GetClientRect(image, &r);
    POINT o{2, 2}; // inside the sunken border
    ClientToScreen(image, &o);
    const int l = r.right - 4, h = r.bottom - 4;
    HDC ecran = GetDC(nullptr), memoire = CreateCompatibleDC(ecran);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, l, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(memoire, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ avant = SelectObject(memoire, b);
    BitBlt(memoire, 0, 0, l, h, ecran, o.x, o.y, SRCCOPY);
    Noirs n;
    const auto* p = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; bits && y < h; ++y)
        for (int x = 0; x < l; ++x)
            if ((p[y * l + x] & 0xFFFFFF) == 0) {
                ++n.n;
                n.x += x;
                n.y += y;
            }
    if (n.n > 0) {
        n.x /= n.n;
        n.y /= n.n;
    }
    SelectObject(memoire, avant);
    DeleteObject(b);
    DeleteDC(memoire);
    ReleaseDC(nullptr, ecran);
    return n;
}

// "Lire": the slider goes forward and the wire, black on the drawing, moves with it.
void LectureBougeLeFil(HWND fenetre, HWND image, double delai) {
    PostMessageW(fenetre, WM_COMMAND, Etendu, 0); // the whole cut in view
    Repond(fenetre, delai);
    HWND lire = GetDlgItem(fenetre, Lire), curseur = GetDlgItem(fenetre, CurseurLecture);
    const LRESULT debut = SendMessageW(curseur, TBM_GETPOS, 0, 0);
    PostMessageW(lire, BM_CLICK, 0, 0);
    Sleep(1500);
    const Noirs a = CompteNoirs(image);
    Sleep(2000);
    const Noirs b = CompteNoirs(image);
    const LRESULT fin = SendMessageW(curseur, TBM_GETPOS, 0, 0);
    const std::string bouton = Utf8(Texte(lire));
    PostMessageW(lire, BM_CLICK, 0, 0);
    Repond(fenetre, delai);
    const bool bouge = a.n > 10 && b.n > 10 && std::hypot(b.x - a.x, b.y - a.y) >= 2;
    std::printf(
        "lecture-fil %s: %ld noirs (%.1f, %.1f) -> %ld noirs (%.1f, %.1f), curseur %ld -> %ld, %s -> %s\n",
        bouge && fin > debut && bouton == "Pause" ? "ok" : "écart", a.n, a.x, a.y, b.n, b.x, b.y,
        static_cast<long>(debut), static_cast<long>(fin), bouton.c_str(), Utf8(Texte(lire)).c_str());
}

// How many of the faces' figures show whole in their strip, of how many it holds.
void LignesDesFaces(HWND fenetre, HWND faces, double delai) {
    Repond(fenetre, delai); // after the sizing that a load with new lines asks for
    const long n = static_cast<long>(SendMessageW(faces, EM_GETLINECOUNT, 0, 0));
    // A character index as wParam: the position comes back packed in the result.
    const auto haut = [&](long ligne) {
        const LRESULT i = SendMessageW(faces, EM_LINEINDEX, static_cast<WPARAM>(ligne), 0);
        return static_cast<short>(HIWORD(SendMessageW(faces, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0)));
    };
    RECT r;
    GetClientRect(faces, &r);
    const int pas = n > 1 ? (haut(n - 1) - haut(0)) / (n - 1) : 0;
    long visibles = 0;
    for (long i = 0; i < n && IsWindowVisible(faces); ++i)
        visibles += haut(i) >= 0 && haut(i) + pas <= r.bottom + 1;
    std::printf("faces-visibles %ld/%ld (ligne de %d pixels, bande de %ld)\n", visibles, n, pas, r.bottom);
}

// A prompt of the program: a window it owns that holds the answer's field.
HWND Invite(HWND fenetre, double secondes) {
    return Attend(secondes, [&]() -> HWND {
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
            if (GetWindow(h, GW_OWNER) == fenetre && IsWindowVisible(h) && GetDlgItem(h, Reponse))
                return h;
        return nullptr;
    });
}

DWORD LitEntier(const std::wstring& cle, const wchar_t* nom) {
    DWORD v = 0, taille = sizeof v;
    if (RegGetValueW(HKEY_CURRENT_USER, (CleParvel + cle).c_str(), nom, RRF_RT_REG_DWORD, nullptr, &v,
                     &taille) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    return v;
}

// Milling on, then "Réglage" with "2,4" typed at every prompt: the store keeps what was
// read (the speed in hundredths: 240), and the file is milled again with those values.
void FraisageEnVirgule(HWND fenetre, double delai) {
    PostMessageW(fenetre, WM_COMMAND, Activation, 0);
    Repond(fenetre, delai);
    PostMessageW(fenetre, WM_COMMAND, Reglage, 0);
    int invites = 0;
    for (HWND d; (d = Invite(fenetre, invites ? 3 : delai)) != nullptr; ++invites) {
        std::printf("fraisage-invite %s | %s\n", Utf8(Texte(d)).c_str(),
                    Utf8(Texte(GetDlgItem(d, TexteInvite))).c_str());
        SetDlgItemTextW(d, Reponse, L"2,4");
        PostMessageW(d, WM_COMMAND, IDOK, 0);
        Attend(delai, [&] { return IsWindow(d) ? nullptr : fenetre; });
    }
    Repond(fenetre, delai);
    std::printf("fraisage-invites %d\n", invites);
    std::printf("fraisage-registre DegZ %lu VitZ %lu\n", LitEntier(L"Fraisage", L"DegZ"),
                LitEntier(L"Fraisage", L"VitZ"));
    PostMessageW(fenetre, WM_COMMAND, Activation, 0);
    Repond(fenetre, delai);
}

// The visible child of the window of that class and caption.
HWND Enfant(HWND fenetre, const wchar_t* classe, const wchar_t* titre) {
    for (HWND h = FindWindowExW(fenetre, nullptr, classe, titre); h;
         h = FindWindowExW(fenetre, h, classe, titre))
        if (IsWindowVisible(h))
            return h;
    return nullptr;
}

// A big file chosen in the open dialog, stopped as soon as its progress panel shows, once
// with "Annuler" and once with Esc: the panel goes, the window answers and keeps the
// document it showed.
void ProgressionEtAnnulation(HWND fenetre, HWND rapport, const std::wstring& gros, double delai) {
    wchar_t absolu[MAX_PATH] = {};
    GetFullPathNameW(gros.c_str(), MAX_PATH, absolu, nullptr);
    const std::wstring avant = Texte(rapport);
    for (const char* maniere : {"bouton", "echap"}) {
        PostMessageW(fenetre, WM_COMMAND, Ouvrir, 0);
        HWND d = Attend(delai, [&]() -> HWND {
            for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
                if (GetWindow(h, GW_OWNER) == fenetre && IsWindowVisible(h) && GetDlgItem(h, NomOuverture))
                    return h;
            return nullptr;
        });
        if (!d) {
            std::printf("progression-%s écart: pas de boîte d'ouverture\n", maniere);
            return;
        }
        std::printf("ouvrir-titre %s\n", Utf8(Texte(d)).c_str());
        SetDlgItemTextW(d, NomOuverture, absolu);
        PostMessageW(d, WM_COMMAND, IDOK, 0);
        HWND annuler = Attend(delai, [&] { return Enfant(fenetre, L"Button", L"Annuler"); });
        HWND barre = Enfant(fenetre, L"msctls_progress32", nullptr);
        if (annuler && std::string(maniere) == "bouton")
            PostMessageW(annuler, BM_CLICK, 0, 0);
        else
            PostMessageW(fenetre, WM_KEYDOWN, VK_ESCAPE, 0);
        const bool parti =
            annuler && Attend(delai, [&] { return IsWindowVisible(annuler) ? nullptr : fenetre; });
        const bool repond = Repond(fenetre, 5);
        const bool garde = Texte(rapport) == avant;
        std::printf("progression-%s %s: panneau %d, barre %d, parti %d, répond %d, rapport gardé %d\n",
                    maniere, annuler && barre && parti && repond && garde ? "ok" : "écart",
                    annuler != nullptr, barre != nullptr, parti, repond, garde);
    }
}

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
    LignesDesFaces(fenetre, FindWindowExW(fenetre, rapport, L"RICHEDIT50W", nullptr), delai);
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
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "lecture")
            LectureBougeLeFil(fenetre, image, delai);
        else if (a == "fraisage")
            FraisageEnVirgule(fenetre, delai);
        else if (a.rfind("gros=", 0) == 0)
            ProgressionEtAnnulation(fenetre, rapport, std::wstring(a.begin() + 5, a.end()), delai);
    }
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
    if (argc > 3 && std::string(argv[argc - 1]) == "fermer") {
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
