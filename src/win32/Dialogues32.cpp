// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Dialogues32.h"

#include <commdlg.h>

#include <vector>

#include "controleur/Interactions.h"
#include "win32/Ressources.h"
#include "win32/Texte.h"

namespace parvel::win32 {

namespace {

struct Invite {
    std::wstring titre, invite, texte;
    bool ok = false;
};

INT_PTR CALLBACK ProcedureSaisie(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        const auto* i = reinterpret_cast<const Invite*>(lp);
        SetWindowTextW(dlg, i->titre.c_str());
        SetDlgItemTextW(dlg, IDC_INVITE, i->invite.c_str());
        SetDlgItemTextW(dlg, IDC_REPONSE, i->texte.c_str());
        HWND edition = GetDlgItem(dlg, IDC_REPONSE);
        SetFocus(edition);
        SendMessageW(edition, EM_SETSEL, 0, -1);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            auto* i = reinterpret_cast<Invite*>(GetWindowLongPtrW(dlg, DWLP_USER));
            i->ok = LOWORD(wp) == IDOK;
            if (i->ok) {
                HWND edition = GetDlgItem(dlg, IDC_REPONSE);
                const int n = GetWindowTextLengthW(edition);
                i->texte.assign(static_cast<std::size_t>(n) + 1, L'\0');
                GetWindowTextW(edition, i->texte.data(), n + 1);
                i->texte.resize(static_cast<std::size_t>(n));
            }
            EndDialog(dlg, LOWORD(wp));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

void Dialogues32::Message(std::string_view texte) {
    MessageBoxW(proprietaire_, Large(texte).c_str(), L"Parvel", MB_OK);
}

void Dialogues32::Bip() {
    MessageBeep(MB_OK);
}

std::string Dialogues32::Saisie(std::string_view titre, std::string_view invite, std::string_view defaut) {
    Invite i{Large(titre), Large(invite), Large(defaut)};
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SAISIE), proprietaire_, ProcedureSaisie,
                    reinterpret_cast<LPARAM>(&i));
    return i.ok ? Utf8(i.texte) : std::string();
}

std::optional<std::string> Dialogues32::ChoisitFichier(const ParamOuverture& p) {
    const std::wstring filtre = FiltreWin32(p.Filtre), titre = Large(p.Titre),
                       dossier = Large(p.DossierInitial);
    std::vector<wchar_t> nom(32768, L'\0');
    const std::wstring courant = Large(p.NomFichier);
    if (courant.size() < nom.size())
        courant.copy(nom.data(), courant.size());
    OPENFILENAMEW o{};
    o.lStructSize = sizeof o;
    o.hwndOwner = proprietaire_;
    o.lpstrFilter = filtre.empty() ? nullptr : filtre.c_str();
    o.nFilterIndex = 1;
    o.lpstrFile = nom.data();
    o.nMaxFile = static_cast<DWORD>(nom.size());
    o.lpstrInitialDir = dossier.empty() ? nullptr : dossier.c_str();
    o.lpstrTitle = titre.c_str();
    o.Flags =
        OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (p.FichierExistant ? OFN_FILEMUSTEXIST : 0);
    if (!GetOpenFileNameW(&o))
        return std::nullopt;
    return Utf8(nom.data());
}

std::wstring FiltreWin32(const std::string& filtre) {
    std::wstring r;
    for (const auto& [libelle, motifs] : FiltresOuverture(filtre))
        r += Large(libelle) + L'\0' + Large(motifs) + L'\0';
    if (!r.empty())
        r += L'\0';
    return r;
}

} // namespace parvel::win32
