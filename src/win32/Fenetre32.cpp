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

#include "controleur/Disposition.h"
#include "controleur/Interactions.h"
#include "controleur/Presentation.h"
#include "settings/OuvreRegistre.h"
#include "settings/Preferences.h"
#include "win32/Identifiants.h"
#include "win32/Ressources.h"
#include "win32/Texte.h"

namespace parvel::win32 {

namespace {

constexpr wchar_t Classe[] = L"ParvelPrincipale";
// Without WS_CLIPCHILDREN: the frames paint no interior, the window paints it behind them.
constexpr DWORD Style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr UINT_PTR HorlogeLecture = 1, HorlogeTaille = 2, HorlogeFichier = 3;
// The playback speed's list, dropped down under its box.
constexpr double HauteurListeVitesses = 1500;

using disposition::Cadres;
using disposition::Cases;
using disposition::Options;

Rect R(const disposition::Rect& r) {
    return {r.l, r.t, r.w, r.h};
}

COLORREF Couleur(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The command each gesture of the key table runs.
int CommandeDe(Geste g) {
    switch (g) {
    case Geste::ZoomAvant:
        return IdZoomAvant;
    case Geste::ZoomArriere:
        return IdZoomArriere;
    case Geste::Etendu:
        return IdEtendu;
    case Geste::Recharger:
        return IdRecharger;
    case Geste::Verifications:
        return IdVerifications;
    case Geste::Copie:
        return IdCopie;
    case Geste::CarteVitesses:
        return IdCarteVitesses;
    case Geste::Ouvrir:
        return IdOuvrir;
    case Geste::LectureBascule:
        return IdLectureBascule;
    case Geste::Vue3D:
        return IdVue3D;
    default:
        return 0; // the drawing area's own keys
    }
}

// The accelerators of a key of the table: "+" and "-" alone are characters, as typed;
// with Ctrl, both keys that give them.
std::vector<ACCEL> Accelerateurs(const Raccourci& r) {
    const WORD id = static_cast<WORD>(CommandeDe(r.geste));
    const BYTE ctrl = FVIRTKEY | (r.ctrl ? FCONTROL : 0);
    switch (r.touche) {
    case Touche::Plus:
        if (!r.ctrl)
            return {{0, '+', id}};
        return {{ctrl, VK_OEM_PLUS, id}, {ctrl, VK_ADD, id}};
    case Touche::Moins:
        if (!r.ctrl)
            return {{0, '-', id}};
        return {{ctrl, VK_OEM_MINUS, id}, {ctrl, VK_SUBTRACT, id}};
    case Touche::Egal:
        return {{ctrl, VK_OEM_PLUS, id}};
    default:
        break;
    }
    static constexpr WORD Cles[] = {0,        0,         0,       VK_LEFT,   VK_RIGHT, VK_UP,
                                    VK_DOWN,  VK_ESCAPE, VK_HOME, VK_INSERT, VK_F5,    VK_F7,
                                    VK_SPACE, 'C',       'M',     'O',       '3'};
    return {{ctrl, Cles[static_cast<int>(r.touche)], id}};
}

// A menu entry's text with its key from the table.
std::wstring AvecTouche(const char* texte, Geste g) {
    return Large(std::string(texte) + '\t' + TexteRaccourci(g));
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
            if (Cases[i].c == c)
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
    copiable_ = std::make_unique<RapportCopiable>(*sortie_);
    principale_ =
        std::make_unique<Principale>(Plateforme{*image1_, *copiable_, *controles_, dialogues_, *registre_});
    suivi_ = std::make_unique<Suivi32>(hwnd_, image1_->Hwnd());
    principale_->DefinitSuivi(suivi_.get());
    routeur_ = std::make_unique<Routeur>(dialogues_, *suivi_);
    CheckMenuItem(fichiers_, IdRechargementAuto,
                  MF_BYCOMMAND | (LitRechargementAuto(*registre_) ? MF_CHECKED : MF_UNCHECKED));
    principale_->DefinitSortieFaces(sortieFaces_.get());
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
    AppendMenuW(fichiers_, MF_STRING, IdRecharger, AvecTouche("Recharger", Geste::Recharger).c_str());
    AppendMenuW(fichiers_, MF_STRING, IdRechargementAuto, L"Rechargement automatique");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(fichiers_), L"Fichie&rs");
    HMENU vue = CreatePopupMenu();
    AppendMenuW(vue, MF_STRING, IdCarteVitesses,
                AvecTouche("Carte des &vitesses", Geste::CarteVitesses).c_str());
    ConstruitBloc(vue);
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(vue), L"&Vue");
    menuLecture_ = CreatePopupMenu();
    AppendMenuW(menuLecture_, MF_STRING, IdLectureBascule, AvecTouche("Lire", Geste::LectureBascule).c_str());
    AppendMenuW(menuLecture_, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < 4; ++i)
        AppendMenuW(menuLecture_, MF_STRING, IdFacteur + i,
                    (L"x" + std::to_wstring(Lecteur::Facteurs[i])).c_str());
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(menuLecture_), L"&Lecture");

    // The drawing area handles its own keys (arrows, Esc).
    std::vector<ACCEL> touches;
    for (const Raccourci& r : Raccourcis)
        if (!r.zone)
            for (const ACCEL& a : Accelerateurs(r))
                touches.push_back(a);
    raccourcis_ = CreateAcceleratorTableW(touches.data(), static_cast<int>(touches.size()));
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
        options_[i].Cree(hwnd_, Options[i].titre, IdOption1 + i);
    options_[0].DefinitActif(false);
    chargeOut_.Cree(hwnd_, "Out.Cut", IdChargeOut);
    for (int i = 0; i < 4; ++i) {
        cases_[i].Cree(hwnd_, Cases[i].titre, IdCDroite + i, Couleur(Cases[i].couleur));
        cases_[i].DefinitCoche(true);
    }
    sortie_ = std::make_unique<Rapport32>(hwnd_, IdSortie);
    commande1_.Cree(hwnd_, "Dessine", IdCommande1);
    commande2_.Cree(hwnd_, "Efface", IdCommande2);
    ConstruitLecture();
    for (int i = 0; i < 3; ++i)
        cadres_[i].Cree(hwnd_, Cadres[i].titre);
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
    for (int f : Lecteur::Facteurs)
        SendMessageW(vitesse_, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>((L"x" + std::to_wstring(f)).c_str()));
    // Tenths of a second.
    curseur_ = cree(TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS, IdCurseurLecture);
    texteLecture_.Cree(hwnd_, "", false);
}

void Fenetre32::MontreLecture() {
    if (!principale_ || !curseur_)
        return;
    const VueLecture l = PresenteLecture(*principale_);
    for (HWND h : {lire_.Hwnd(), vitesse_, curseur_, texteLecture_.Hwnd(), cadreLecture_.Hwnd()})
        EnableWindow(h, l.Disponible);
    EnableMenuItem(menuLecture_, IdLectureBascule, MF_BYCOMMAND | (l.Disponible ? MF_ENABLED : MF_GRAYED));
    lire_.DefinitTexte(l.Bouton);
    ModifyMenuW(menuLecture_, IdLectureBascule, MF_BYCOMMAND | MF_STRING, IdLectureBascule,
                AvecTouche(l.Bouton, Geste::LectureBascule).c_str());
    SendMessageW(curseur_, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(curseur_, TBM_SETRANGEMAX, TRUE, static_cast<LPARAM>(l.Maximum));
    if (GetCapture() != curseur_)
        SendMessageW(curseur_, TBM_SETPOS, TRUE, static_cast<LPARAM>(l.Position));
    if (l.Facteur >= 0) {
        SendMessageW(vitesse_, CB_SETCURSEL, static_cast<WPARAM>(l.Facteur), 0);
        CheckMenuRadioItem(menuLecture_, IdFacteur, IdFacteur + 3, IdFacteur + l.Facteur, MF_BYCOMMAND);
    }
    texteLecture_.DefinitTexte(l.Texte);
    if (!l.EnLecture && horloge_) {
        KillTimer(hwnd_, HorlogeLecture);
        horloge_ = false;
    } else if (l.EnLecture && !horloge_) {
        dernierTic_ = GetTickCount64();
        SetTimer(hwnd_, HorlogeLecture, Lecteur::TicMs, nullptr);
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
        options_[i].Place(twips_, R(Options[i].r));
        options_[i].DefinitPolice(arial_);
        cadres_[i].Place(twips_, R(Cadres[i].r));
        cadres_[i].DefinitPolice(arial_);
    }
    for (int i = 0; i < 4; ++i) {
        cases_[i].Place(twips_, R(Cases[i].r));
        cases_[i].DefinitPolice(sansSerif_);
    }
    commande1_.Place(twips_, R(disposition::Commande1));
    commande2_.Place(twips_, R(disposition::Commande2));
    chargeOut_.Place(twips_, R(disposition::ChargeOut));
    for (Bouton* b : {&commande1_, &commande2_, &chargeOut_})
        b->DefinitPolice(arial_);
    const RECT s = twips_.Rectangle(R(disposition::Sortie));
    SetWindowPos(sortie_->Hwnd(), nullptr, s.left, s.top, s.right - s.left, s.bottom - s.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    sortie_->DefinitPolice(9.6);
    cadreLecture_.Place(twips_, R(disposition::Lecture));
    lire_.Place(twips_, R(disposition::Lire));
    Rect liste = R(disposition::VitesseLecture);
    liste.h = HauteurListeVitesses;
    const RECT v = twips_.Rectangle(liste), c = twips_.Rectangle(R(disposition::CurseurLecture));
    SetWindowPos(vitesse_, nullptr, v.left, v.top, v.right - v.left, v.bottom - v.top, SWP_NOZORDER);
    SetWindowPos(curseur_, nullptr, c.left, c.top, c.right - c.left, c.bottom - c.top, SWP_NOZORDER);
    texteLecture_.Place(twips_, R(disposition::TexteLecture));
    for (Controle* k : {static_cast<Controle*>(&cadreLecture_), static_cast<Controle*>(&lire_),
                        static_cast<Controle*>(&texteLecture_)})
        k->DefinitPolice(arial_);
    SendMessageW(vitesse_, WM_SETFONT, reinterpret_cast<WPARAM>(arial_), TRUE);
    if (suivi_)
        suivi_->DefinitPolice(arial_);
    image1_->DefinitTwipsParPixel(twips_.ParPixel());
    image1_->PlaceEnPixels(twips_.EnPixels(disposition::Image1.l), twips_.EnPixels(disposition::Image1.t));
    sortieFaces_->DefinitPolice(9.6);
    SendMessageW(etatVerifications_, WM_SETFONT, reinterpret_cast<WPARAM>(arial_), TRUE);
    MontreBloc();
}

void Fenetre32::Montre(int commande) {
    // The client area of the design, under the menu bar.
    RECT r{0, 0, twips_.EnPixels(disposition::LargeurClient), twips_.EnPixels(disposition::HauteurClient)};
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
    if (!principale_)
        return;
    routeur_->Route(procedure, [this] {
        MontreLecture();
        MontreVerifications();
        MontreBloc();
        SuitFichier();
        if (suivi_->QuitterDemande())
            Termine();
    });
}

void Fenetre32::RouteTaille() {
    // A size that comes during a procedure waits for its end.
    if (routeur_->Occupe()) {
        SetTimer(hwnd_, HorlogeTaille, DelaiTailleMs, nullptr);
        return;
    }
    KillTimer(hwnd_, HorlogeTaille);
    RECT r, client;
    GetWindowRect(hwnd_, &r);
    GetClientRect(hwnd_, &client);
    const double tpp = twips_.ParPixel();
    const bool minimisee = IsIconic(hwnd_);
    margeDemandee_ = MargeBasse();
    const float hauteur =
        HauteurPourMarge(static_cast<float>((r.bottom - r.top) * tpp),
                         static_cast<float>(client.bottom * tpp), static_cast<float>(margeDemandee_ * tpp));
    Route(
        [&] { principale_->Form_Resize(static_cast<float>((r.right - r.left) * tpp), hauteur, minimisee); });
}

void Fenetre32::TailleChangee() {
    if (const int delai = DelaiTaille(!principale_->CheminCourant().empty()))
        SetTimer(hwnd_, HorlogeTaille, static_cast<UINT>(delai), nullptr);
    else
        RouteTaille();
}

void Fenetre32::SuitFichier() {
    rechargement_.Suit(principale_->CheminCourant(), principale_->Chargements());
    // While automatic reload is on, the file is looked at at the rule's pace.
    const bool actif = (GetMenuState(fichiers_, IdRechargementAuto, MF_BYCOMMAND) & MF_CHECKED) &&
                       !principale_->CheminCourant().empty();
    if (actif && !veille_)
        SetTimer(hwnd_, HorlogeFichier, Rechargement::DelaiMs, nullptr);
    else if (!actif && veille_)
        KillTimer(hwnd_, HorlogeFichier);
    veille_ = actif;
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
    const std::vector<EntreeRecente> entrees = EntreesRecentes(recents_);
    for (std::size_t i = entrees.size(); i-- > 0;)
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, IdRecent + i, Large(entrees[i].Libelle).c_str());
}

void Fenetre32::CopieRapport() {
    // CR LF, the clipboard's line ends.
    std::wstring texte;
    for (wchar_t c : Large(copiable_->Texte()))
        texte += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
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
                                                 principale_->Separateur(), dialogues_, [this] {
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
        controles_->Choisit(Options[id - IdOption1].o);
        Route([&] { (p.*Options[id - IdOption1].clic)(); });
        return;
    }
    if (id >= IdCDroite && id < IdCDroite + 4 && notification == BN_CLICKED) {
        CaseACocher& c = cases_[id - IdCDroite];
        c.DefinitCoche(!c.Coche());
        Route([&] { (p.*Cases[id - IdCDroite].clic)(); });
        return;
    }
    if (id == Suivi32::IdAnnuler)
        return suivi_->Annule(false);
    if (id == IdZoomAvant || id == IdZoomArriere)
        return Route([&] { p.ZoomeAuCentre(id == IdZoomAvant ? 1 : -1); });
    if (id >= IdFaces && id < IdFaces + 3)
        return Route([&] { p.Faces_Click(static_cast<ModeFaces>(id - IdFaces)); });
    if (id == IdEtatVerifications) {
        if (notification == STN_CLICKED && !verifMontrees_.empty() && !verifMontrees_.front().empty())
            MontrePanneauVerifications();
        return;
    }
    if (id >= IdFacteur && id < IdFacteur + 4)
        return Route([&] { p.Lecture_Vitesse(Lecteur::Facteurs[id - IdFacteur]); });
    if (id == IdVitesseLecture) {
        const LRESULT i = SendMessageW(vitesse_, CB_GETCURSEL, 0, 0);
        if (notification == CBN_SELCHANGE && i >= 0 && i < 4)
            Route([&] { p.Lecture_Vitesse(Lecteur::Facteurs[i]); });
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
    case IdRechargementAuto: {
        const bool actif = !(GetMenuState(fichiers_, IdRechargementAuto, MF_BYCOMMAND) & MF_CHECKED);
        CheckMenuItem(fichiers_, IdRechargementAuto, MF_BYCOMMAND | (actif ? MF_CHECKED : MF_UNCHECKED));
        EcritRechargementAuto(*registre_, actif);
        return SuitFichier();
    }
    case IdCarteVitesses:
        Route([&] { p.Vitesses_Click(); });
        CheckMenuItem(menu_, IdCarteVitesses, MF_BYCOMMAND | (p.CarteVitesses() ? MF_CHECKED : MF_UNCHECKED));
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
            const std::uint32_t c = Palette[couleurVerif_];
            texte = RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
        }
        SetTextColor(dc, texte);
        SetBkColor(dc, RGB(192, 192, 192));
        return reinterpret_cast<LRESULT>(gris_);
    }
    case WM_TIMER:
        if (wp == HorlogeTaille && principale_)
            RouteTaille();
        if (wp == HorlogeFichier && principale_ &&
            rechargement_.Regarde(routeur_->Occupe()) == Rechargement::Suite::Recharger)
            Route([this] { principale_->Recharge(); });
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
            Route([&] { principale_->Lecture_Temps(Lecteur::TempsDuCurseur(static_cast<int>(v))); });
        }
        return 0;
    case WM_SIZE:
        if (principale_ && IsWindowVisible(hwnd_))
            TailleChangee();
        return 0;
    case WM_SHOWWINDOW:
        if (wp && principale_)
            TailleChangee();
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
        if (DepotAccepte({Utf8(chemin)}))
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
        if (routeur_ && routeur_->Occupe())
            suivi_->Laisse(SuiviTravaux::Saisie::Fermeture);
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
