// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The core speaks UTF-8, Windows' W calls UTF-16: the window uses the core's conversions.
#include "cut/Fichiers.h"

namespace parvel::win32 {

using parvel::Large;
using parvel::Utf8;

} // namespace parvel::win32
