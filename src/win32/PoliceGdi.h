// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area's labels in Arial 9.6 pt through GDI, without anti-aliasing, as
// ink masks that the raster lays where its placement rules say.
#include <string_view>

#include "view/Police.h"

namespace parvel::win32 {

police::Masque RenduGdi(std::string_view texte, double twipsParPixel);

} // namespace parvel::win32
