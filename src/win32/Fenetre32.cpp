// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/Fenetre32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <iterator>

#include "cut/Erreur.h"
#include "settings/OuvreRegistre.h"
#include "settings/Preferences.h"
#include "win32/Identifiants.h"
#include "win32/Ressources.h"
#include "win32/Texte.h"

namespace parvel::win32 {

namespace {

constexpr wchar_t Classe[] = L"ParvelPrincipale";
constexpr double LargeurClient = 11364, HauteurClient = 7500;
constexpr double Image1Left = 120, Image1Top = 2160;
// Without WS_CLIPCHILDREN: the frames paint no interior, the window paints it behind them.
constexpr DWORD Style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr UINT_PTR HorlogeLecture = 1;
constexpr UINT TicLectureMs = 30;
constexpr int FacteursLecture[4] = {1, 10, 100, 1000};

struct ModeleOption {
    Option o;
    const char* titre;
    Rect r;
    void (Principale::*clic)();
};
constexpr ModeleOption ModelesOptions[3] = {
    {Option::Variable, "Variable", {1320, 840, 1212, 252}, &Principale::Option1_Click},
    {Option::Etendu, "Etendu", {1320, 360, 1212, 252}, &Principale::Option2_Click},
    {Option::Fige, "Figé", {1320, 600, 1212, 252}, &Principale::Option3_Click}};

// In the keyboard order: CDroite, CGauche, PDroite, PGauche.
struct ModeleCase {
    Case c;
    const char* titre;
    Rect r;
    COLORREF couleur;
    void (Principale::*clic)();
};
constexpr ModeleCase ModelesCases[4] = {
    {Case::CDroite, "Droite", {1440, 1560, 975, 252}, RGB(255, 255, 255), &Principale::CDroite_Click},
    {Case::CGauche, "Gauche", {240, 1560, 1215, 252}, RGB(128, 0, 128), &Principale::CGauche_Click},
    {Case::PDroite, "Droite", {4200, 1560, 855, 252}, RGB(0, 192, 0), &Principale::PDroite_Click},
    {Case::PGauche, "Gauche", {2880, 1560, 1095, 252}, RGB(255, 0, 0), &Principale::PGauche_Click}};

struct ModeleCadre {
    const char* titre;
    Rect r;
};
constexpr ModeleCadre ModelesCadres[3] = {{"Affichage", {1200, 120, 1452, 1092}},
                                          {"Pas", {2760, 1320, 2415, 615}},
                                          {"Coordonnées", {120, 1320, 2535, 615}}};

constexpr Rect RectSortie{2760, 0, 3975, 1335};
// Right of the report, above the drawing area; the frame is no container, so its
// controls are placed in the window.
constexpr Rect RectLecture{6855, 60, 4380, 1800}, RectLire{6975, 360, 1095, 372},
    RectVitesseLecture{8190, 360, 975, 1500}, RectCurseurLecture{6975, 840, 4140, 330},
    RectTexteLecture{6975, 1320, 4140, 300};
constexpr Rect RectCommande1{120, 120, 972, 372}, RectCommande2{120, 480, 972, 372},
    RectChargeOut{120, 840, 972, 372};

std::string TexteErreur(const ErreurParvel& e) {
    return "Erreur " + std::to_string(e.Numero()) + " : " + e.Message();
}

} // namespace

// Check boxes, option buttons and the "Activation" check mark as the controller sees
// them. A change made here runs nothing: the controller runs the handler itself.
class Fenetre32::Etat : public Controles {
  public:
    Etat(CaseACocher* cases, BoutonOption* options, HMENU menu)
        : cases_(cases), options_(options), menu_(menu) {}
    bool Coche(Case c) const override { return Trouve(c).Coche(); }
    void DefinitCoche(Case c, bool coche) override { Trouve(c).DefinitCoche(coche); }
    bool Choisie(Option o) const override { return options_[static_cast<int>(o)].Choisi(); }
    void Choisit(Option o) override {
        for (int i = 0; i < 3; ++i)
            options_[i].DefinitChoisi(i == static_cast<int>(o));
    }
    bool Active(Option o) const override { return options_[static_cast<int>(o)].Actif(); }
    void DefinitActive(Option o, bool active) override { options_[static_cast<int>(o)].DefinitActif(active); }
    bool FraisageActif() const override {
        return GetMenuState(menu_, IdActivation, MF_BYCOMMAND) & MF_CHECKED;
    }
    void DefinitFraisageActif(bool coche) override {
        CheckMenuItem(menu_, IdActivation, MF_BYCOMMAND | (coche ? MF_CHECKED : MF_UNCHECKED));
    }

  private:
    CaseACocher& Trouve(Case c) const {
        for (int i = 0; i < 4; ++i)
            if (ModelesCases[i].c == c)
                return cases_[i];
        return cases_[0];
    }
    CaseACocher* cases_;
    BoutonOption* options_;
    HMENU menu_;
};

Fenetre32::Fenetre32() : dialogues_([this] { MontreAPropos(); }, [this] { Termine(); }) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = &Fenetre32::Procedure;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hIcon = LoadIconW(c.hInstance, MAKEINTRESOURCEW(IDI_PARVEL));
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    gris_ = CreateSolidBrush(RGB(192, 192, 192));
    c.hbrBackground = gris_;
    c.lpszClassName = Classe;
    RegisterClassExW(&c);

    ConstruitMenus();
    hwnd_ = CreateWindowExW(WS_EX_ACCEPTFILES, Classe, L"Parvel", Style, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                            100, nullptr, menu_, c.hInstance, this);
    twips_.dpi = GetDpiForWindow(hwnd_);
    dialogues_.DefinitProprietaire(hwnd_);
    Construit();

    controles_ = std::make_unique<Etat>(cases_, options_, menu_);
    registre_ = OuvreRegistre("");
    principale_ =
        std::make_unique<Principale>(Plateforme{*image1_, *sortie_, *controles_, dialogues_, *registre_});
    suivi_ = std::make_unique<Suivi32>(hwnd_, image1_->Hwnd());
    principale_->Suivi = suivi_.get();
    principale_->SortieFaces = sortieFaces_.get();
    Dispose();
    Route([this] { principale_->Form_Load(); });
}

Fenetre32::~Fenetre32() {
    fenetre3D_.reset();
    panneauVerif_.reset();
    aPropos_.reset();
    principale_.reset();
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (proprietaireAPropos_)
        DestroyWindow(proprietaireAPropos_);
    if (raccourcis_)
        DestroyAcceleratorTable(raccourcis_);
    DeleteObject(arial_);
    DeleteObject(sansSerif_);
    DeleteObject(gris_);
}

void Fenetre32::ConstruitMenus() {
    menu_ = CreateMenu();
    AppendMenuW(menu_, MF_STRING, IdFin, L"&Quitter");
    AppendMenuW(menu_, MF_STRING, IdOuvrir, L"&Ouvrir");
    fraisage_ = CreatePopupMenu();
    AppendMenuW(fraisage_, MF_STRING, IdActivation, L"Activation");
    AppendMenuW(fraisage_, MF_STRING, IdReglage, Large("Réglage").c_str());
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(fraisage_), L"&Fraisage");
    AppendMenuW(menu_, MF_STRING, IdAPropos, L"&A propos");
    // Added after the original commands, which keep their places.
    fichiers_ = CreatePopupMenu();
    AppendMenuW(fichiers_, MF_STRING, IdRecharger, L"Recharger\tF5");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(fichiers_), L"Fichie&rs");
    HMENU vue = CreatePopupMenu();
    AppendMenuW(vue, MF_STRING, IdCarteVitesses, L"Carte des &vitesses\tCtrl+M");
    ConstruitBloc(vue);
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(vue), L"&Vue");
    menuLecture_ = CreatePopupMenu();
    AppendMenuW(menuLecture_, MF_STRING, IdLectureBascule, L"Lire\tCtrl+Espace");
    AppendMenuW(menuLecture_, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < 4; ++i)
        AppendMenuW(menuLecture_, MF_STRING, IdFacteur + i,
                    (L"x" + std::to_wstring(FacteursLecture[i])).c_str());
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(menuLecture_), L"&Lecture");

    ACCEL touches[] = {{FVIRTKEY, VK_F5, IdRecharger},
                       {FVIRTKEY | FCONTROL, 'O', IdOuvrir},
                       {FVIRTKEY | FCONTROL, 'M', IdCarteVitesses},
                       {FVIRTKEY | FCONTROL, 'C', IdCopie},
                       {FVIRTKEY, VK_HOME, IdEtendu},
                       {FVIRTKEY | FCONTROL, VK_SPACE, IdLectureBascule},
                       {FVIRTKEY | FCONTROL, '3', IdVue3D},
                       {FVIRTKEY, VK_F7, IdVerifications}};
    raccourcis_ = CreateAcceleratorTableW(touches, static_cast<int>(std::size(touches)));
}

void Fenetre32::Construit() {
    // Created in the keyboard order, which is also the stacking order from the top: the
    // frames come last, under the check boxes and option buttons drawn over them.
    image1_ = std::make_unique<ZoneDessin32>(hwnd_, IdImage1, twips_.ParPixel());
    image1_->SurAppui = [this](short b, short s, float x, float y) {
        Route([&] { principale_->Image1_MouseDown(b, s, x, y); });
    };
    image1_->SurMouvement = [this](short b, short s, float x, float y) {
        Route([&] { principale_->Image1_MouseMove(b, s, x, y); });
    };
    image1_->SurMolette = [this](float x, float y, int crans) {
        Route([&] { principale_->Image1_Molette(x, y, crans); });
    };
    image1_->SurGlisse = [this](float dx, float dy) { Route([&] { principale_->Image1_Glisse(dx, dy); }); };
    image1_->SurFleche = [this](int dx, int dy) { Route([&] { principale_->Deplace(dx, dy); }); };
    image1_->SurEchap = [this] { Route([this] { principale_->Image1_Echap(); }); };
    for (int i = 0; i < 3; ++i)
        options_[i].Cree(hwnd_, ModelesOptions[i].titre, IdOption1 + i);
    options_[0].DefinitActif(false);
    chargeOut_.Cree(hwnd_, "Out.Cut", IdChargeOut);
    for (int i = 0; i < 4; ++i) {
        cases_[i].Cree(hwnd_, ModelesCases[i].titre, IdCDroite + i, ModelesCases[i].couleur);
        cases_[i].DefinitCoche(true);
    }
    sortie_ = std::make_unique<Rapport32>(hwnd_, IdSortie);
    commande1_.Cree(hwnd_, "Dessine", IdCommande1);
    commande2_.Cree(hwnd_, "Efface", IdCommande2);
    ConstruitLecture();
    for (int i = 0; i < 3; ++i)
        cadres_[i].Cree(hwnd_, ModelesCadres[i].titre);
    cadreLecture_.Cree(hwnd_, "Lecture");
    ConstruitBasDessin();
}

void Fenetre32::ConstruitLecture() {
    lire_.Cree(hwnd_, "Lire", IdLire);
    const auto cree = [this](const wchar_t* classe, DWORD style, int id) {
        return CreateWindowExW(0, classe, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | style,
                               0, 0, 1, 1, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    };
    vitesse_ = cree(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, IdVitesseLecture);
    for (int f : FacteursLecture)
        SendMessageW(vitesse_, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>((L"x" + std::to_wstring(f)).c_str()));
    // Tenths of a second.
    curseur_ = cree(TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS, IdCurseurLecture);
    texteLecture_.Cree(hwnd_, "", false);
}

void Fenetre32::MontreLecture() {
    if (!principale_ || !curseur_)
        return;
    const Principale& p = *principale_;
    const EtatLecture& l = p.Lecture;
    const bool disponible = p.LectureDisponible();
    for (HWND h : {lire_.Hwnd(), vitesse_, curseur_, texteLecture_.Hwnd(), cadreLecture_.Hwnd()})
        EnableWindow(h, disponible);
    EnableMenuItem(menuLecture_, IdLectureBascule, MF_BYCOMMAND | (disponible ? MF_ENABLED : MF_GRAYED));
    const char* texte = l.EnLecture ? "Pause" : "Lire";
    lire_.DefinitTexte(texte);
    ModifyMenuW(menuLecture_, IdLectureBascule, MF_BYCOMMAND | MF_STRING, IdLectureBascule,
                (Large(texte) + L"\tCtrl+Espace").c_str());
    const double max = std::clamp(std::ceil(l.Total * 10), 0.0, 2e9);
    SendMessageW(curseur_, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(curseur_, TBM_SETRANGEMAX, TRUE, static_cast<LPARAM>(max));
    if (GetCapture() != curseur_)
        SendMessageW(curseur_, TBM_SETPOS, TRUE,
                     static_cast<LPARAM>(std::clamp(std::round(l.Temps * 10), 0.0, max)));
    for (int i = 0; i < 4; ++i)
        if (FacteursLecture[i] == l.Facteur) {
            SendMessageW(vitesse_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            CheckMenuRadioItem(menuLecture_, IdFacteur, IdFacteur + 3, IdFacteur + i, MF_BYCOMMAND);
        }
    texteLecture_.DefinitTexte(p.TexteLecture());
    if (!l.EnLecture && horloge_) {
        KillTimer(hwnd_, HorlogeLecture);
        horloge_ = false;
    } else if (l.EnLecture && !horloge_) {
        dernierTic_ = GetTickCount64();
        SetTimer(hwnd_, HorlogeLecture, TicLectureMs, nullptr);
        horloge_ = true;
    }
}

void Fenetre32::Dispose() {
    if (arial_)
        DeleteObject(arial_);
    if (sansSerif_)
        DeleteObject(sansSerif_);
    arial_ = twips_.Police(L"Arial", 9.6);
    sansSerif_ = twips_.Police(L"MS Sans Serif", 9.6);
    for (int i = 0; i < 3; ++i) {
        options_[i].Place(twips_, ModelesOptions[i].r);
        options_[i].DefinitPolice(arial_);
        cadres_[i].Place(twips_, ModelesCadres[i].r);
        cadres_[i].DefinitPolice(arial_);
    }
    for (int i = 0; i < 4; ++i) {
        cases_[i].Place(twips_, ModelesCases[i].r);
        cases_[i].DefinitPolice(sansSerif_);
    }
    commande1_.Place(twips_, RectCommande1);
    commande2_.Place(twips_, RectCommande2);
    chargeOut_.Place(twips_, RectChargeOut);
    for (Bouton* b : {&commande1_, &commande2_, &chargeOut_})
        b->DefinitPolice(arial_);
    const RECT s = twips_.Rectangle(RectSortie);
    SetWindowPos(sortie_->Hwnd(), nullptr, s.left, s.top, s.right - s.left, s.bottom - s.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    sortie_->DefinitPolice(9.6);
    cadreLecture_.Place(twips_, RectLecture);
    lire_.Place(twips_, RectLire);
    const RECT v = twips_.Rectangle(RectVitesseLecture), c = twips_.Rectangle(RectCurseurLecture);
    SetWindowPos(vitesse_, nullptr, v.left, v.top, v.right - v.left, v.bottom - v.top, SWP_NOZORDER);
    SetWindowPos(curseur_, nullptr, c.left, c.top, c.right - c.left, c.bottom - c.top, SWP_NOZORDER);
    texteLecture_.Place(twips_, RectTexteLecture);
    for (Controle* k : {static_cast<Controle*>(&cadreLecture_), static_cast<Controle*>(&lire_),
                        static_cast<Controle*>(&texteLecture_)})
        k->DefinitPolice(arial_);
    SendMessageW(vitesse_, WM_SETFONT, reinterpret_cast<WPARAM>(arial_), TRUE);
    if (suivi_)
        suivi_->DefinitPolice(arial_);
    image1_->DefinitTwipsParPixel(twips_.ParPixel());
    image1_->PlaceEnPixels(twips_.EnPixels(Image1Left), twips_.EnPixels(Image1Top));
    sortieFaces_->DefinitPolice(9.6);
    SendMessageW(etatVerifications_, WM_SETFONT, reinterpret_cast<WPARAM>(arial_), TRUE);
    MontreBloc();
}

void Fenetre32::Montre(int commande) {
    // The client area of the design, under the menu bar.
    RECT r{0, 0, twips_.EnPixels(LargeurClient), twips_.EnPixels(HauteurClient)};
    AdjustWindowRectExForDpi(&r, Style, TRUE, WS_EX_ACCEPTFILES, twips_.dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(hwnd_, commande);
    UpdateWindow(hwnd_);
}

void Fenetre32::Ouvre(const std::wstring& chemin) {
    std::error_code ec;
    const std::filesystem::path absolu = std::filesystem::absolute(std::filesystem::path(chemin), ec);
    const std::string utf8 = Utf8(ec ? chemin : absolu.wstring());
    Route([&] { principale_->OuvreFichier(utf8); });
}

int Fenetre32::Boucle() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        // Home in the 3D window is its own.
        const bool vue3D = fenetre3D_ && m.hwnd == fenetre3D_->Hwnd();
        if (raccourcis_ && hwnd_ && !vue3D && TranslateAcceleratorW(hwnd_, raccourcis_, &m))
            continue;
        if (aPropos_ && aPropos_->Ouverte() && IsDialogMessageW(aPropos_->Hwnd(), &m))
            continue;
        if (hwnd_ && IsDialogMessageW(hwnd_, &m))
            continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return static_cast<int>(m.wParam);
}

void Fenetre32::Route(const std::function<void()>& procedure) {
    // A procedure runs alone: what reaches the window while it waits on a dialog starts nothing.
    if (!principale_ || profondeur_ > 0)
        return;
    ++profondeur_;
    struct Garde {
        int& p;
        ~Garde() { --p; }
    } garde{profondeur_};
    suivi_->Commence();
    // The controller reports its own failures; this only keeps one from crossing the message loop.
    try {
        procedure();
    } catch (const Annulation&) {
    } catch (const ErreurParvel& e) {
        dialogues_.Message(TexteErreur(e));
    } catch (const std::exception& e) {
        dialogues_.Message(std::string("Erreur : ") + e.what());
    }
    suivi_->Termine();
    MontreLecture();
    MontreVerifications();
    MontreBloc();
    if (suivi_->QuitterDemande())
        Termine();
}

void Fenetre32::RouteTaille(bool minimisee) {
    RECT r, client;
    GetWindowRect(hwnd_, &r);
    GetClientRect(hwnd_, &client);
    const double tpp = twips_.ParPixel();
    margeDemandee_ = MargeBasse();
    const float hauteur =
        HauteurPourMarge(static_cast<float>((r.bottom - r.top) * tpp),
                         static_cast<float>(client.bottom * tpp), static_cast<float>(margeDemandee_ * tpp));
    Route(
        [&] { principale_->Form_Resize(static_cast<float>((r.right - r.left) * tpp), hauteur, minimisee); });
}

void Fenetre32::RemplitRecents(HMENU menu) {
    for (std::size_t i = 0; i < recents_.size(); ++i)
        DeleteMenu(menu, IdRecent + static_cast<UINT>(i), MF_BYCOMMAND);
    if (!recents_.empty())
        DeleteMenu(menu, 0, MF_BYPOSITION); // the separator
    recents_ = LitRecents(*registre_);
    if (recents_.empty())
        return;
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    for (std::size_t i = recents_.size(); i-- > 0;) {
        const std::wstring nom = std::filesystem::path(Large(recents_[i])).filename().wstring();
        const std::wstring texte = L"&" + std::to_wstring(i + 1) + L" " + nom;
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, IdRecent + i, texte.c_str());
    }
}

void Fenetre32::CopieRapport() {
    const std::wstring texte = sortie_->Texte();
    if (!OpenClipboard(hwnd_))
        return;
    EmptyClipboard();
    const std::size_t octets = (texte.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, octets)) {
        std::memcpy(GlobalLock(g), texte.c_str(), octets);
        GlobalUnlock(g);
        if (!SetClipboardData(CF_UNICODETEXT, g))
            GlobalFree(g);
    }
    CloseClipboard();
}

void Fenetre32::MontreAPropos() {
    if (!aPropos_ || !aPropos_->Ouverte()) {
        aPropos_.reset();
        // Owned by a hidden window rather than the main one: out of the task bar, and
        // still open when the main window is closed; the program ends with the last of them.
        if (!proprietaireAPropos_)
            proprietaireAPropos_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                                   GetModuleHandleW(nullptr), nullptr);
        auto boite = std::make_unique<APropos32>(proprietaireAPropos_, twips_, *registre_,
                                                 principale_->Separateur, dialogues_, [this] {
                                                     if (!hwnd_ && !terminee_)
                                                         PostQuitMessage(0);
                                                 });
        if (!boite->Ouverte())
            return;
        aPropos_ = std::move(boite);
    }
    aPropos_->Montre();
}

void Fenetre32::Termine() {
    terminee_ = true;
    if (aPropos_)
        aPropos_.reset();
    if (hwnd_)
        DestroyWindow(hwnd_);
    PostQuitMessage(0);
}

void Fenetre32::Commande(int id, int notification) {
    Principale& p = *principale_;
    if (id >= IdOption1 && id < IdOption1 + 3 && notification == BN_CLICKED) {
        BoutonOption& b = options_[id - IdOption1];
        // Only the button that becomes selected runs its handler.
        if (b.Choisi())
            return;
        controles_->Choisit(ModelesOptions[id - IdOption1].o);
        Route([&] { (p.*ModelesOptions[id - IdOption1].clic)(); });
        return;
    }
    if (id >= IdCDroite && id < IdCDroite + 4 && notification == BN_CLICKED) {
        CaseACocher& c = cases_[id - IdCDroite];
        c.DefinitCoche(!c.Coche());
        Route([&] { (p.*ModelesCases[id - IdCDroite].clic)(); });
        return;
    }
    if (id == Suivi32::IdAnnuler)
        return suivi_->Annule(false);
    if (id >= IdFaces && id < IdFaces + 3)
        return Route([&] { p.Faces_Click(static_cast<ModeFaces>(id - IdFaces)); });
    if (id == IdEtatVerifications) {
        if (notification == STN_CLICKED && !verifMontrees_.empty())
            MontrePanneauVerifications();
        return;
    }
    if (id >= IdFacteur && id < IdFacteur + 4)
        return Route([&] { p.Lecture_Vitesse(FacteursLecture[id - IdFacteur]); });
    if (id == IdVitesseLecture) {
        const LRESULT i = SendMessageW(vitesse_, CB_GETCURSEL, 0, 0);
        if (notification == CBN_SELCHANGE && i >= 0 && i < 4)
            Route([&] { p.Lecture_Vitesse(FacteursLecture[i]); });
        return;
    }
    if (id >= IdRecent && id < IdRecent + NbRecents) {
        const std::size_t i = static_cast<std::size_t>(id - IdRecent);
        if (i < recents_.size())
            Ouvre(Large(recents_[i]));
        return;
    }
    switch (id) {
    case IdCommande1:
        return Route([&] { p.Commande1_Click(); });
    case IdCommande2:
        return Route([&] { p.Commande2_Click(); });
    case IdChargeOut:
        return Route([&] { p.ChargeOut_Click(); });
    case IdFin:
        return Route([&] { p.Fin_Click(); });
    case IdOuvrir:
        return Route([&] { p.Ouvrir_Click(); });
    case IdActivation:
        return Route([&] { p.Act_Fraisage_Click(); });
    case IdReglage:
        return Route([&] { p.Réglage_Click(); });
    case IdAPropos:
        return Route([&] { p.A_propos_Click(); });
    case IdRecharger:
        return Route([&] { p.Recharge(); });
    case IdCarteVitesses:
        Route([&] { p.Vitesses_Click(); });
        CheckMenuItem(menu_, IdCarteVitesses, MF_BYCOMMAND | (p.CarteVitesses ? MF_CHECKED : MF_UNCHECKED));
        return;
    case IdCopie:
        return CopieRapport();
    case IdGeometrie:
        return Route([&] { p.Geometrie_Click(); });
    case IdVue3D:
        return MontreVue3D(!fenetre3D_ || !fenetre3D_->Visible());
    case IdVerifications:
        return MontrePanneauVerifications();
    case IdLire:
    case IdLectureBascule:
        return Route([&] { p.Lecture_Bascule(); });
    case IdEtendu:
        return Route([&] { p.Choisit(Option::Etendu); });
    default:
        break;
    }
}

LRESULT CALLBACK Fenetre32::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* f = static_cast<Fenetre32*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
        f->hwnd_ = hwnd;
    }
    auto* f = reinterpret_cast<Fenetre32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!f)
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        f->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return f->Message(msg, wp, lp);
}

LRESULT Fenetre32::Message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (principale_)
            Commande(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wp);
        COLORREF texte = RGB(0, 0, 0);
        for (const CaseACocher& c : cases_)
            if (c.Hwnd() == reinterpret_cast<HWND>(lp))
                texte = c.Couleur();
        if (reinterpret_cast<HWND>(lp) == etatVerifications_) {
            const std::uint32_t c = Palette[verifTrouvees_ ? 4 : 0];
            texte = RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
        }
        SetTextColor(dc, texte);
        SetBkColor(dc, RGB(192, 192, 192));
        return reinterpret_cast<LRESULT>(gris_);
    }
    case WM_TIMER:
        if (wp == HorlogeLecture && principale_) {
            const ULONGLONG maintenant = GetTickCount64();
            const double secondes = static_cast<double>(maintenant - dernierTic_) / 1000.0;
            dernierTic_ = maintenant;
            // The hand on the slider has the last word.
            if (GetCapture() != curseur_)
                Route([&] { principale_->Lecture_Avance(secondes); });
        }
        return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lp) == curseur_ && principale_) {
            const LRESULT v = SendMessageW(curseur_, TBM_GETPOS, 0, 0);
            Route([&] { principale_->Lecture_Temps(static_cast<double>(v) / 10.0); });
        }
        return 0;
    case WM_SIZE:
        if (principale_ && IsWindowVisible(hwnd_))
            RouteTaille(wp == SIZE_MINIMIZED);
        return 0;
    case WM_SHOWWINDOW:
        if (wp && principale_)
            RouteTaille(false);
        break;
    case WM_MOUSEWHEEL:
        if (image1_)
            image1_->Molette(GET_WHEEL_DELTA_WPARAM(wp), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return 0;
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wp) == fichiers_ && registre_)
            RemplitRecents(fichiers_);
        break;
    case WM_DROPFILES: {
        HDROP d = reinterpret_cast<HDROP>(wp);
        std::wstring chemin;
        if (DragQueryFileW(d, 0xFFFFFFFF, nullptr, 0) == 1) {
            chemin.resize(DragQueryFileW(d, 0, nullptr, 0) + 1);
            chemin.resize(DragQueryFileW(d, 0, chemin.data(), static_cast<UINT>(chemin.size())));
        }
        DragFinish(d);
        const std::filesystem::path p(chemin);
        if (!chemin.empty() && _wcsicmp(p.extension().c_str(), L".cut") == 0)
            Ouvre(chemin);
        return 0;
    }
    case WM_DPICHANGED: {
        twips_.dpi = HIWORD(wp);
        Dispose();
        const RECT* r = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        // During a long work the close stops it; the window goes once it has stopped.
        if (profondeur_ > 0 && suivi_)
            suivi_->Annule(true);
        else
            DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        if (!aPropos_ || !aPropos_->Ouverte())
            PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace parvel::win32
