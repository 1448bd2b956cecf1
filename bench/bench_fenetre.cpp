// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the real window, offscreen: a file opened through "Ouvrir" until the picture
// is painted, a rectangle zoom, a redraw with "Dessine", and the peak memory. Prints
// wall-clock and CPU time of each step.
//   bench_fenetre FICHIER.cut [REPETITIONS]
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/resource.h>

#include "settings/RegistreVide.h"
#include "ui/FenetrePrincipale.h"
#include "ui/ZoneDessin.h"

namespace {

using namespace parvel;

// The open dialog answers with the file; nothing else is asked.
class DialoguesBanc : public Dialogues {
  public:
    std::string fichier;
    void Message(std::string_view t) override {
        std::fprintf(stderr, "message : %.*s\n", int(t.size()), t.data());
    }
    void Bip() override {}
    std::string Saisie(std::string_view, std::string_view, std::string_view) override { return ""; }
    std::optional<std::string> ChoisitFichier(const ParamOuverture&) override { return fichier; }
    void MontreAPropos() override {}
    void Termine() override {}
};

double Cpu() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// Runs `etape` until the window has painted its result, after `prepare`, which is not
// timed; the best of `n` runs.
template <class Prepare, class Etape>
void Mesure(const char* nom, int n, ui::FenetrePrincipale& f, Prepare prepare, Etape etape) {
    double meilleur = 1e9, cpu = 0;
    for (int i = 0; i < n; ++i) {
        prepare();
        QApplication::processEvents();
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = Cpu();
        etape();
        f.Image1()->repaint();
        QApplication::processEvents();
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (t < meilleur) {
            meilleur = t;
            cpu = Cpu() - c0;
        }
    }
    std::printf("%-40s %10.3f ms (CPU %.3f ms)\n", nom, meilleur * 1e3, cpu * 1e3);
}

void Clic(QWidget* w, QPoint p) {
    QMouseEvent appui(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(w, &appui);
    QMouseEvent relache(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(w, &relache);
}

void Bouge(QWidget* w, QPoint p) {
    QMouseEvent m(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(w, &m);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_fenetre FICHIER.cut [REPETITIONS]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 2 ? std::stoi(argv[2]) : 3;
    DialoguesBanc dialogues;
    dialogues.fichier = argv[1];
    RegistreVide registre;
    ui::FenetrePrincipale f(&dialogues, &registre);
    f.show();
    QApplication::processEvents();

    auto* ouvrir = f.findChild<QAction*>("Ouvrir");
    auto rien = [] {};
    Mesure("ouverture jusqu'à l'image", n, f, rien, [&] { ouvrir->trigger(); });
    ui::ZoneDessin* zone = f.Image1();
    const QPoint o = ui::ZoneDessin::OrigineRaster();
    const int l = zone->Raster().LargeurPx(), h = zone->Raster().HauteurPx();
    Mesure(
        "zoom au rectangle (moitié centrale)", n, f, [&] { f.Bouton(Option::Etendu)->click(); },
        [&] {
            Clic(zone, o + QPoint(l / 4, 3 * h / 4));
            Bouge(zone, o + QPoint(3 * l / 4, h / 4));
            Clic(zone, o + QPoint(3 * l / 4, h / 4));
        });
    auto* dessine = f.findChild<QPushButton*>("Commande1");
    Mesure("redessin (Dessine)", n, f, rien, [&] { dessine->click(); });

    // Esc 0.5 s into a load: how long until the window is back.
    {
        f.Bouton(Option::Etendu)->click();
        QTimer::singleShot(500, [&f] {
            QCoreApplication::postEvent(f.Image1(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        const auto t0 = std::chrono::steady_clock::now();
        ouvrir->trigger();
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-40s %8.3f s après Échap%s\n", "arrêt d'un chargement", t - 0.5,
                    t < 0.5 ? " (chargement fini avant)" : "");
    }

    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    std::printf("%-40s %8ld ko\n", "mémoire maximale", r.ru_maxrss);
    return 0;
}
