// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialoguesQt.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace parvel::ui {

namespace {

QString Texte(std::string_view t) {
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

} // namespace

DialoguesQt::DialoguesQt(QWidget* parent, std::function<void()> montreAPropos, std::function<void()> termine)
    : parent_(parent), montreAPropos_(std::move(montreAPropos)), termine_(std::move(termine)) {}

void DialoguesQt::Message(std::string_view texte) {
    QMessageBox boite(QMessageBox::NoIcon, "Parvel", Texte(texte), QMessageBox::Ok, parent_);
    boite.exec();
}

void DialoguesQt::Bip() {
    QApplication::beep();
}

std::string DialoguesQt::Saisie(std::string_view titre, std::string_view invite, std::string_view defaut) {
    bool ok = false;
    const QString r =
        QInputDialog::getText(parent_, Texte(titre), Texte(invite), QLineEdit::Normal, Texte(defaut), &ok);
    return ok ? r.toStdString() : std::string();
}

std::optional<std::string> DialoguesQt::ChoisitFichier(const ParamOuverture& p) {
    QFileDialog dialogue(parent_, QString::fromStdString(p.Titre));
    dialogue.setAcceptMode(QFileDialog::AcceptOpen);
    dialogue.setFileMode(p.FichierExistant ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QString filtre = FiltreQt(p.Filtre);
    if (!filtre.isEmpty())
        dialogue.setNameFilter(filtre);
    if (!p.NomFichier.empty())
        dialogue.selectFile(QFile::decodeName(p.NomFichier.c_str()));
    else if (!p.DossierInitial.empty())
        dialogue.setDirectory(QFile::decodeName(p.DossierInitial.c_str()));
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialogue.selectedFiles().front()).toStdString();
}

QString FiltreQt(const std::string& filtre) {
    const QStringList morceaux = QString::fromStdString(filtre).split('|');
    QStringList filtres;
    for (qsizetype i = 0; i + 1 < morceaux.size(); i += 2)
        filtres << morceaux[i].trimmed() + " (" + morceaux[i + 1].trimmed() + ")";
    return filtres.join(";;");
}

} // namespace parvel::ui
