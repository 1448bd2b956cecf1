// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// windows.h for this folder: it makes HKEY_CURRENT_USER a macro, so the settings
// interface that names it is declared first.
#include "plateforme/Registre.h"

#include <windows.h>
