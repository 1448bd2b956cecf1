// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One thin wrapper per kind of control: it creates the window of the control, places
// it from twips and reads or sets its state. The main window routes their
// notifications; nothing here runs a handler.
#include "win32/Systeme.h"

#include <string>
#include <string_view>

namespace parvel::win32 {

inline constexpr double TwipsParPouce = 1440.0;

// A design rectangle in twips.
struct Rect {
    double l, t, w, h;
};

// Twips of the monitor a window is on.
struct Twips {
    UINT dpi = 96;
    double ParPixel() const { return TwipsParPouce / dpi; }
    int EnPixels(double twips) const;
    // Both edges are rounded, so that neighbours in twips stay neighbours in pixels.
    RECT Rectangle(const Rect& r) const;
    // A font of `points` at this resolution.
    HFONT Police(const wchar_t* face, double points, bool gras = false, bool italique = false) const;
};

class Controle {
  public:
    HWND Hwnd() const { return hwnd_; }
    void Place(const Twips& t, const Rect& r);
    void DefinitPolice(HFONT police) {
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(police), TRUE);
    }
    void DefinitTexte(std::string_view utf8);
    bool Actif() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void DefinitActif(bool actif) { EnableWindow(hwnd_, actif); }
    int Id() const { return GetDlgCtrlID(hwnd_); }

  protected:
    void Cree(HWND parent, const wchar_t* classe, std::string_view texte, DWORD style, int id,
              DWORD styleEtendu = 0);
    HWND hwnd_ = nullptr;
};

class Bouton : public Controle {
  public:
    void Cree(HWND parent, std::string_view texte, int id);
};

// Checked by the program alone (BS_CHECKBOX): a click is reported, the window decides.
class CaseACocher : public Controle {
  public:
    void Cree(HWND parent, std::string_view texte, int id, COLORREF couleur);
    bool Coche() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void DefinitCoche(bool coche) {
        SendMessageW(hwnd_, BM_SETCHECK, coche ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    COLORREF Couleur() const { return couleur_; }

  private:
    COLORREF couleur_ = 0;
};

// Selected by the program alone (BS_RADIOBUTTON), like the check box.
class BoutonOption : public Controle {
  public:
    void Cree(HWND parent, std::string_view texte, int id);
    bool Choisi() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void DefinitChoisi(bool choisi) {
        SendMessageW(hwnd_, BM_SETCHECK, choisi ? BST_CHECKED : BST_UNCHECKED, 0);
    }
};

// A captioned group border; clipped by the controls laid over it.
class Cadre : public Controle {
  public:
    void Cree(HWND parent, std::string_view texte);
};

class Etiquette : public Controle {
  public:
    // `centree`: the label keeps the centre of its design rectangle when it fits its text.
    void Cree(HWND parent, std::string_view texte, bool centree);
    // Sizes the label to its one-line text at `top`, from its design left and width.
    void Ajuste(const Twips& t, double left, double top, double width);

  private:
    bool centree_ = false;
};

} // namespace parvel::win32
