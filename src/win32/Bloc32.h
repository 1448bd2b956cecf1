// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows beside the main one for the foam block and the checks: the 3D view, which
// shows the picture the core renders with the playback's wire over it and turns a
// left-drag into an orbit, the wheel into a zoom and Home into the starting view; and
// the "Vérifications" window, whose chosen row only tells the main window which one.
#include "win32/Systeme.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controleur/Interactions.h"
#include "cut/Verifications.h"
#include "view/Vue3D.h"
#include "win32/Controles32.h"

namespace parvel::win32 {

class Fenetre3D32 {
  public:
    // `dessine` draws the picture again (a new angle, zoom or size, or on demand).
    Fenetre3D32(HWND proprietaire, std::function<void()> dessine);
    ~Fenetre3D32();
    Fenetre3D32(const Fenetre3D32&) = delete;
    Fenetre3D32& operator=(const Fenetre3D32&) = delete;

    HWND Hwnd() const { return hwnd_; }
    bool Visible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void Montre(bool voir);
    Rendu3D& Rendu() { return rendu_; }
    const Camera3D& Camera() const { return camera_; }
    void MontreFil(const std::optional<Fil>& fil);
    // Asks for one drawing, after the messages already waiting.
    void Redessine();

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp);
    void Peint();
    HWND hwnd_ = nullptr;
    std::function<void()> dessine_;
    Rendu3D rendu_{1, 1};
    Camera3D camera_;
    std::optional<Fil> fil_;
    std::vector<std::uint32_t> compose_;
    std::optional<POINT> dernier_; // the left-drag's last position
    CompteurCrans molette_;
    bool demande_ = false; // a drawing is asked for and not yet made
};

class Verifications32 {
  public:
    Verifications32(HWND proprietaire, const Twips& twips, HFONT police, std::function<void(int)> choix);
    ~Verifications32();
    Verifications32(const Verifications32&) = delete;
    Verifications32& operator=(const Verifications32&) = delete;

    HWND Hwnd() const { return hwnd_; }
    HWND Liste() const { return liste_; }
    void Montre(const Verifications& v, const std::string& fichier, const std::string& separateur);
    void Affiche();

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Message(UINT msg, WPARAM wp, LPARAM lp);
    void Dispose();
    HWND hwnd_ = nullptr, resume_ = nullptr, liste_ = nullptr, controles_ = nullptr;
    int lignesControles_ = 1;
    std::function<void(int)> choix_;
};

} // namespace parvel::win32
