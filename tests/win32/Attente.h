// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the programs driving parvel.exe from outside wait with.
#include <windows.h>

namespace parvel::test {

// Polls `trouve` every 100 ms until it gives a window or `secondes` pass.
template <class F> HWND Attend(double secondes, F trouve) {
    for (int i = 0; i < secondes * 10; ++i) {
        if (HWND h = trouve())
            return h;
        Sleep(100);
    }
    return nullptr;
}

} // namespace parvel::test
