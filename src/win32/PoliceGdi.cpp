// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/PoliceGdi.h"

#include "win32/Systeme.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "win32/Texte.h"

namespace parvel::win32 {

police::Masque RenduGdi(std::string_view texte, double twipsParPixel) {
    police::Masque m;
    const std::wstring t = Large(texte);
    const double tpp = twipsParPixel > 0 ? twipsParPixel : 15.0;
    const double pixels = std::clamp(police::Points * 1440.0 / 72.0 / tpp, 4.0, 256.0);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT f = CreateFontW(-static_cast<int>(std::lround(pixels)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                          VARIABLE_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ ancienne = SelectObject(dc, f);
    SIZE s{};
    GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &s);
    m.largeur = std::max<LONG>(s.cx, 1);
    m.hauteur = std::max<LONG>(s.cy, 1);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = m.largeur;
    bi.bmiHeader.biHeight = -m.hauteur;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    m.encre.assign(static_cast<std::size_t>(m.largeur) * static_cast<std::size_t>(m.hauteur), 0);
    if (image && bits) {
        HGDIOBJ ancienneImage = SelectObject(dc, image);
        RECT r{0, 0, m.largeur, m.hauteur};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        TextOutW(dc, 0, 0, t.c_str(), static_cast<int>(t.size()));
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < m.encre.size(); ++i)
            m.encre[i] = (p[i] & 0xFF) < 0x80;
        SelectObject(dc, ancienneImage);
        DeleteObject(image);
    }
    SelectObject(dc, ancienne);
    DeleteObject(f);
    DeleteDC(dc);
    return m;
}

} // namespace parvel::win32
