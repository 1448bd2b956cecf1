// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Texte.h"

#include "win32/Systeme.h"

namespace parvel::win32 {

std::wstring Large(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring r(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), r.data(), n);
    return r;
}

std::string Utf8(std::wstring_view large) {
    if (large.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, large.data(), static_cast<int>(large.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string r(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, large.data(), static_cast<int>(large.size()), r.data(), n, nullptr,
                        nullptr);
    return r;
}

} // namespace parvel::win32
