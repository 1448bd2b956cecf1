// The redraw: the current file read again through the interpreter, which draws the
// coordinate lines, with the step points, and in milling mode the markers and bands.
#include <optional>

#include "Principale.h"
#include "cut/Calcul.h"
#include "cut/Erreur.h"
#include "cut/LecteurLignes.h"

namespace parvel {

void Principale::DessineCut() {
    if (CheminCourant().empty())
        return;

    // Opened before anything is reset or cleared, so that a file gone since its load
    // leaves the view as it was.
    std::optional<LecteurLignes> lecteur;
    try {
        lecteur.emplace(CheminCourant());
    } catch (const ErreurParvel& e) {
        Dlg.Message(e.Description());
        return;
    }

    EtatCut& e = Etat;
    e.RemetPositions();
    if (Ctl.Choisie(Option::Etendu))
        Image1.Efface();

    // Nothing can change the boxes while the file is read.
    const bool pasDroite = Ctl.Coche(Case::PDroite);
    const bool pasGauche = Ctl.Coche(Case::PGauche);
    while (!lecteur->Fin()) {
        AnalyseLigne(lecteur->LitLigne());
        if (pasDroite)
            Image1.Point(e.RelXD, e.RelYD, 2);
        if (pasGauche)
            Image1.Point(e.RelXG, e.RelYG, 4);
    }
    e.TraceActif = true;
    lecteur.reset();

    if (!Ctl.FraisageActif()) {
        Dlg.Bip();
        return;
    }

    for (const Marque& m : Marques) {
        Image1.Cercle(m.X, m.Y, 1, m.Couleur);
        Image1.DefinitCouleurTexte(m.Couleur);
        Image1.Point(m.X, m.Y, m.Couleur);
        Image1.Imprime(m.Label);
    }

    const EtatVue& v = Vue;
    const float xMax = EnSimple(v.XMax);
    Image1.PlaceForme(Forme::ZoneY, {0, v.YMax, xMax, EnSimple(v.YMax - Param.YFraise)});
    Image1.PlaceForme(Forme::ZoneX, {0, v.YMax, EnSimple(Param.XFraise), v.YMax});
    Image1.MontreForme(Forme::ZoneX, true);
    Image1.MontreForme(Forme::ZoneY, true);
    Dlg.Bip();
}

void Principale::Commande1_Click() {
    DessineCut();
}

void Principale::Commande2_Click() {
    Image1.Efface();
}

} // namespace parvel
