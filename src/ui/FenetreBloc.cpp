// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's part for the foam block: the geometry's dialog and the choice of
// the faces in the "Vue" menu, the faces' figures under the drawing area, and the
// window of the 3D view.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "controleur/Presentation.h"
#include "settings/GeometrieBloc.h"
#include "ui/FenetrePrincipale.h"
#include "ui/Zone3D.h"
#include "ui/ZoneDessin.h"
#include "ui/ZoneRapport.h"

namespace parvel::ui {

void FenetrePrincipale::ConstruitBloc(QMenu* vue, QWidget* client) {
    vue->addSeparator();
    geometrie_ = vue->addAction("&Géométrie du bloc...");
    geometrie_->setObjectName("GeometrieBloc");
    connect(geometrie_, &QAction::triggered, this,
            [this] { Route([this] { principale_->Geometrie_Click(); }); });

    QMenu* faces = vue->addMenu("&Faces du bloc");
    faces->setObjectName("FacesBloc");
    auto* groupe = new QActionGroup(this);
    const struct {
        ModeFaces m;
        const char* nom;
        const char* titre;
    } modes[] = {{ModeFaces::Masquees, "FacesMasquees", "&Masquées"},
                 {ModeFaces::SurChariots, "FacesSurChariots", "&Sur les trajets des chariots"},
                 {ModeFaces::Seules, "FacesSeules", "&Au lieu des trajets des chariots"}};
    for (const auto& m : modes) {
        QAction* a = faces->addAction(QString::fromUtf8(m.titre));
        a->setObjectName(m.nom);
        a->setCheckable(true);
        groupe->addAction(a);
        faces_[static_cast<int>(m.m)] = a;
        connect(a, &QAction::triggered, this,
                [this, mode = m.m] { Route([&] { principale_->Faces_Click(mode); }); });
    }
    faces_[0]->setChecked(true);

    vue3D_ = vue->addAction("Vue &3D");
    vue3D_->setObjectName("Vue3D");
    vue3D_->setCheckable(true);
    vue3D_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
    connect(vue3D_, &QAction::triggered, this, [this](bool voir) { MontreVue3D(voir); });

    // Under the drawing area, in the margin the layout leaves there.
    sortieFaces_ = new ZoneRapport(client);
    sortieFaces_->setObjectName("SortieFaces");
    sortieFaces_->setFocusPolicy(Qt::NoFocus);
    sortieFaces_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    dessin3D_.setSingleShot(true);
    connect(&dessin3D_, &QTimer::timeout, this, [this] {
        if (!zone3D_ || !fenetre3D_ || !fenetre3D_->isVisible())
            return;
        chargementsVus3D_ = principale_->Chargements();
        geometrieVue3D_ = principale_->Geometrie();
        Route([this] { principale_->Dessine3D(zone3D_->Rendu(), zone3D_->Camera(), false); });
    });
}

void FenetrePrincipale::MontreVue3D(bool voir) {
    if (voir && !principale_->PermetVue3D()) {
        vue3D_->setChecked(false);
        return;
    }
    if (!fenetre3D_) {
        auto* f = new QWidget(nullptr, Qt::Window);
        f->setObjectName("Fenetre3D");
        f->setWindowTitle("Parvel - Vue 3D");
        auto* disposition = new QVBoxLayout(f);
        disposition->setContentsMargins(0, 0, 0, 0);
        zone3D_ = new Zone3D(f);
        zone3D_->setToolTip(
            "Glisser avec le bouton gauche : tourner ; molette : zoom ; Origine : vue de départ");
        disposition->addWidget(zone3D_);
        zone3D_->SurChangement([this] { dessin3D_.start(0); });
        f->resize(zone3D_->sizeHint());
        fenetre3D_ = f;
    }
    if (!voir) {
        fenetre3D_->hide();
        return;
    }
    fenetre3D_->show();
    fenetre3D_->raise();
    dessin3D_.start(0);
}

void FenetrePrincipale::MontreBloc() {
    if (!principale_ || !sortieFaces_)
        return;
    const Principale& p = *principale_;
    faces_[static_cast<int>(p.Faces())]->setChecked(true);
    // The figures in the margin under the drawing area, as wide as it.
    const QRect image = image1_->geometry();
    const QWidget* client = sortieFaces_->parentWidget();
    const Marge m =
        MargeFaces(image.bottom(), etatVerifications_ ? HautEtatVerifications() : client->height());
    sortieFaces_->setGeometry(image.left(), m.Haut, image.width(), m.Hauteur);
    sortieFaces_->setVisible(m.Visible);
    // Lines that came or went since the last sizing: the drawing area makes room again.
    if (MargeBasse() != margeDemandee_ && isVisible() && !isMinimized())
        taille_.start(0);
    if (!fenetre3D_ || !zone3D_)
        return;
    vue3D_->setChecked(fenetre3D_->isVisible());
    zone3D_->MontreFil(p.FilCourant());
    if (fenetre3D_->isVisible() && (p.Chargements() != chargementsVus3D_ || p.Geometrie() != geometrieVue3D_))
        dessin3D_.start(0);
}

} // namespace parvel::ui
