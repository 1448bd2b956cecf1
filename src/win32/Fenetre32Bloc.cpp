// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's part for the foam block and the checks: the geometry's dialog and
// the choice of the faces in the "Vue" menu, the faces' figures and the checks' line in
// the margin under the drawing area, the 3D view's window and the findings' window.
#include <algorithm>
#include <filesystem>

#include "controleur/Presentation.h"
#include "settings/GeometrieBloc.h"
#include "win32/Fenetre32.h"
#include "win32/Identifiants.h"
#include "win32/Texte.h"

namespace parvel::win32 {

void Fenetre32::ConstruitBloc(HMENU vue) {
    AppendMenuW(vue, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(vue, MF_STRING, IdGeometrie, Large("&Géométrie du bloc...").c_str());
    faces_ = CreatePopupMenu();
    AppendMenuW(faces_, MF_STRING, IdFaces + static_cast<int>(ModeFaces::Masquees),
                Large("&Masquées").c_str());
    AppendMenuW(faces_, MF_STRING, IdFaces + static_cast<int>(ModeFaces::SurChariots),
                L"&Sur les trajets des chariots");
    AppendMenuW(faces_, MF_STRING, IdFaces + static_cast<int>(ModeFaces::Seules),
                L"&Au lieu des trajets des chariots");
    CheckMenuRadioItem(faces_, IdFaces, IdFaces + 2, IdFaces, MF_BYCOMMAND);
    AppendMenuW(vue, MF_POPUP, reinterpret_cast<UINT_PTR>(faces_), L"&Faces du bloc");
    AppendMenuW(vue, MF_STRING, IdVue3D, L"Vue &3D\tCtrl+3");
    // The key of spelling checks in office programs.
    AppendMenuW(vue, MF_STRING, IdVerifications, Large("Vé&rifications\tF7").c_str());
}

void Fenetre32::ConstruitBasDessin() {
    // Last in the stacking order: the report stays the first rich edit of the window.
    sortieFaces_ = std::make_unique<Rapport32>(hwnd_, IdSortieFaces);
    etatVerifications_ =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, 0, 1, 1, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdEtatVerifications)),
                        GetModuleHandleW(nullptr), nullptr);
}

void Fenetre32::MontreBloc() {
    if (!principale_ || !sortieFaces_)
        return;
    const Principale& p = *principale_;
    CheckMenuRadioItem(faces_, IdFaces, IdFaces + 2, IdFaces + static_cast<int>(p.Faces()), MF_BYCOMMAND);
    // The margin under the drawing area: the figures, then the checks' line at its foot.
    RECT image, client;
    GetWindowRect(image1_->Hwnd(), &image);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&image), 2);
    GetClientRect(hwnd_, &client);
    const int ligne = twips_.EnPixels(240);
    const int hautEtat = client.bottom - ligne - 1;
    SetWindowPos(etatVerifications_, nullptr, image.left, hautEtat, image.right - image.left, ligne,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const bool etat = !verifMontrees_.empty() && !verifMontrees_.front().empty();
    ShowWindow(etatVerifications_, etat ? SW_SHOWNA : SW_HIDE);
    const Marge m = MargeFaces(image.bottom, etat ? hautEtat : client.bottom);
    SetWindowPos(sortieFaces_->Hwnd(), nullptr, image.left, m.Haut, image.right - image.left, m.Hauteur,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(sortieFaces_->Hwnd(), m.Visible ? SW_SHOWNA : SW_HIDE);
    // Lines that came or went since the last sizing: the drawing area makes room again.
    if (MargeBasse() != margeDemandee_ && IsWindowVisible(hwnd_) && !IsIconic(hwnd_))
        PostMessageW(hwnd_, WM_SIZE, SIZE_RESTORED, 0);
    const bool voit3D = fenetre3D_ && fenetre3D_->Visible();
    CheckMenuItem(menu_, IdVue3D, MF_BYCOMMAND | (voit3D ? MF_CHECKED : MF_UNCHECKED));
    if (!fenetre3D_)
        return;
    fenetre3D_->MontreFil(p.FilCourant());
    if (voit3D && (p.Chargements() != chargementsVus3D_ || p.Geometrie() != geometrieVue3D_))
        fenetre3D_->Redessine();
}

int Fenetre32::MargeBasse() const {
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ avant = SelectObject(dc, arial_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, avant);
    ReleaseDC(hwnd_, dc);
    // The strip's sunken edge and its text's inset around the lines, as MontreBloc spaces them.
    const int lignes = std::max(1, static_cast<int>(sortieFaces_->NombreLignes()));
    const int strip = lignes * tm.tmHeight + 2 * GetSystemMetricsForDpi(SM_CYEDGE, twips_.dpi) + 2;
    const bool etat = !verifMontrees_.empty() && !verifMontrees_.front().empty();
    return 3 + strip + 2 + (etat ? twips_.EnPixels(240) + 1 : 0);
}

void Fenetre32::MontreVue3D(bool voir) {
    if (voir && !principale_->PermetVue3D())
        return;
    if (!fenetre3D_)
        fenetre3D_ = std::make_unique<Fenetre3D32>(hwnd_, [this] {
            chargementsVus3D_ = principale_->Chargements();
            geometrieVue3D_ = principale_->Geometrie();
            Route([this] { principale_->Dessine3D(fenetre3D_->Rendu(), fenetre3D_->Camera(), false); });
        });
    fenetre3D_->Montre(voir);
    MontreBloc();
}

void Fenetre32::MontreVerifications() {
    if (!principale_ || !etatVerifications_)
        return;
    VueVerifications v = PresenteVerifications(*principale_);
    if (v.Textes == verifMontrees_)
        return;
    verifMontrees_ = std::move(v.Textes);
    couleurVerif_ = v.Couleur;
    SetWindowTextW(etatVerifications_,
                   Large(v.Resume.empty() ? v.Resume : v.Resume + " — " + LienVerifications).c_str());
    InvalidateRect(etatVerifications_, nullptr, TRUE);
    if (panneauVerif_)
        panneauVerif_->Montre(principale_->Verif(), v.Fichier, principale_->Separateur());
}

void Fenetre32::MontrePanneauVerifications() {
    if (!panneauVerif_) {
        panneauVerif_ = std::make_unique<Verifications32>(
            hwnd_, twips_, arial_, [this](int i) { Route([&] { principale_->Verification_Click(i); }); });
        verifMontrees_ = {"\n"}; // shown again, into the new window
        MontreVerifications();
    }
    panneauVerif_->Affiche();
}

} // namespace parvel::win32
