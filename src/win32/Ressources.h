// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Identifiers of the program's resources (parvel.rc).
#define IDI_PARVEL 101
#define IDD_SAISIE 201
#define IDC_INVITE 202
#define IDC_REPONSE 203
