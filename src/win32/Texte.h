// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The core speaks UTF-8, Windows' W calls UTF-16: the conversions at that boundary.
#include <string>
#include <string_view>

namespace parvel::win32 {

std::wstring Large(std::string_view utf8);
std::string Utf8(std::wstring_view large);

} // namespace parvel::win32
