// SPDX-License-Identifier: GPL-3.0-or-later
// Times the running parvel.exe's redraw ("Dessine") until the drawing area has painted
// it, through the window's messages: the best and the median of N runs in milliseconds,
// and what one message costs alone. Then ends the program with "&Quitter". Exit 1 when
// the window does not come.
// Usage: mesure-redessin SECONDES N
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "win32/Attente.h"

namespace {

using parvel::test::Attend;

double Maintenant() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

constexpr WPARAM Quitter = 200;

} // namespace

int main(int argc, char** argv) {
    const double delai = argc > 1 ? std::atof(argv[1]) : 60;
    const int n = std::max(1, argc > 2 ? std::atoi(argv[2]) : 10);
    HWND fenetre = Attend(delai, [] { return FindWindowW(L"ParvelPrincipale", nullptr); });
    // The file's first drawing comes with its report.
    HWND rapport = fenetre ? Attend(delai,
                                    [&] {
                                        HWND r = FindWindowExW(fenetre, nullptr, L"RICHEDIT50W", nullptr);
                                        return r && SendMessageW(r, WM_GETTEXTLENGTH, 0, 0) > 0 ? r : nullptr;
                                    })
                           : nullptr;
    HWND image = FindWindowExW(fenetre, nullptr, L"ParvelImage1", nullptr);
    HWND dessine = FindWindowExW(fenetre, nullptr, L"Button", L"Dessine");
    if (!rapport || !image || !dessine) {
        std::puts("erreur pas de fenetre");
        return 1;
    }
    // A big file's first drawing goes on after its report has come, and a click that
    // lands in it is turned away at once: let it end before timing.
    DWORD_PTR r = 0;
    SendMessageTimeoutW(fenetre, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(delai * 1000), &r);
    Sleep(2000);
    std::vector<double> temps;
    for (int i = 0; i < n; ++i) {
        const double t0 = Maintenant();
        // The click's procedure redraws before it returns; the area then paints what it holds.
        SendMessageW(fenetre, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(dessine), BN_CLICKED),
                     reinterpret_cast<LPARAM>(dessine));
        UpdateWindow(image);
        temps.push_back((Maintenant() - t0) * 1e3);
    }
    // What a message to the other process costs by itself.
    double allerRetour = 1e9;
    for (int i = 0; i < n; ++i) {
        const double t0 = Maintenant();
        SendMessageW(fenetre, WM_NULL, 0, 0);
        allerRetour = std::min(allerRetour, (Maintenant() - t0) * 1e3);
    }
    std::printf("message-seul %.3f ms\n", allerRetour);
    std::sort(temps.begin(), temps.end());
    std::printf("redessin-fenetre meilleur %.2f ms, médiane %.2f ms (%d fois)\n", temps.front(),
                temps[temps.size() / 2], n);
    PostMessageW(fenetre, WM_COMMAND, Quitter, 0);
    return 0;
}
