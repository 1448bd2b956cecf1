// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DialoguesQt.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "controleur/Interactions.h"

namespace parvel::ui {

namespace {

QString Texte(std::string_view t) {
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

bool Existe(const std::string& chemin) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(chemin, ec));
}

// The open dialog checks that the chosen file exists through its Qt name, which a name
// that is not UTF-8 no longer gives: such a file is accepted through its bytes.
class DialogueFichier : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList choisis = selectedFiles();
        if (fileMode() == ExistingFile && choisis.size() == 1 && !QFileInfo::exists(choisis.front())) {
            std::error_code ec;
            if (std::filesystem::is_regular_file(OctetsDuChemin(choisis.front()), ec))
                return QDialog::accept();
        }
        QFileDialog::accept();
    }
};

} // namespace

int LargeurPourTitre(const QWidget* w, const QString& titre) {
    // Window systems draw titles in a bold face of about the application's size.
    QFont police = QApplication::font();
    police.setBold(true);
    const QFontMetrics fm(police);
    const int barre = std::max(fm.height(), w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w));
    // The icon on one side, three buttons on the other, the margins around them, and as
    // much again on the icon's side for a window system that centres the title.
    return fm.horizontalAdvance(titre) + 10 * barre;
}

std::string OctetsDuChemin(const QString& chemin) {
    const std::string direct = QFile::encodeName(chemin).toStdString();
    if (chemin.isEmpty() || Existe(direct) || !chemin.contains(QChar::ReplacementCharacter))
        return direct;
    // From the root down, each part that does not exist as written is the entry of its
    // folder whose name Qt shows the same.
    namespace fs = std::filesystem;
    const QStringList parties = chemin.split('/');
    std::string octets;
    for (qsizetype i = 0; i < parties.size(); ++i) {
        const QString& partie = parties[i];
        std::string suivant = (i == 0 ? "" : octets + "/") + QFile::encodeName(partie).toStdString();
        if (i > 0 && !partie.isEmpty() && !Existe(suivant) && partie.contains(QChar::ReplacementCharacter)) {
            std::error_code ec;
            for (fs::directory_iterator d(octets.empty() ? "/" : octets, ec), fin; !ec && d != fin;
                 d.increment(ec)) {
                const std::string nom = d->path().filename().string();
                if (QFile::decodeName(QByteArray::fromStdString(nom)) == partie) {
                    suivant = octets + "/" + nom;
                    break;
                }
            }
        }
        octets = std::move(suivant);
    }
    return Existe(octets) ? octets : direct;
}

std::string OctetsDeLUrl(const QUrl& url) {
    const QString hote = url.host();
    if (!url.isLocalFile() || !(hote.isEmpty() || hote == "localhost"))
        return QFile::encodeName(url.toLocalFile()).toStdString();
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

DialoguesQt::DialoguesQt(QWidget* parent, std::function<void()> montreAPropos, std::function<void()> termine)
    : parent_(parent), montreAPropos_(std::move(montreAPropos)), termine_(std::move(termine)) {}

void DialoguesQt::Message(std::string_view texte) {
    QMessageBox boite(QMessageBox::NoIcon, "Parvel", Texte(texte), QMessageBox::Ok, parent_);
    // The box sizes itself to its text alone: a row as wide as the title widens it.
    if (auto* grille = qobject_cast<QGridLayout*>(boite.layout()))
        grille->addItem(new QSpacerItem(LargeurPourTitre(&boite, boite.windowTitle()), 0), grille->rowCount(),
                        0, 1, grille->columnCount());
    boite.exec();
}

void DialoguesQt::Bip() {
    QApplication::beep();
}

std::string DialoguesQt::Saisie(std::string_view titre, std::string_view invite, std::string_view defaut) {
    QInputDialog dialogue(parent_);
    dialogue.setWindowTitle(Texte(titre));
    dialogue.setLabelText(Texte(invite));
    dialogue.setTextValue(Texte(defaut));
    // Its layout, made on first need, sets the minimum size: a row as wide as the title widens it.
    (void)dialogue.sizeHint();
    if (QLayout* disposition = dialogue.layout())
        disposition->addItem(new QSpacerItem(LargeurPourTitre(&dialogue, dialogue.windowTitle()), 0));
    return dialogue.exec() == QDialog::Accepted ? dialogue.textValue().toStdString() : std::string();
}

std::optional<std::string> DialoguesQt::ChoisitFichier(const ParamOuverture& p) {
    DialogueFichier dialogue(parent_, QString::fromStdString(p.Titre));
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
    // A native dialog's URL keeps the bytes; Qt's own gives the name as it shows it.
    const QList<QUrl> urls = dialogue.selectedUrls();
    if (!urls.isEmpty() && urls.front().isLocalFile()) {
        const std::string octets = OctetsDeLUrl(urls.front());
        if (Existe(octets))
            return octets;
    }
    return OctetsDuChemin(dialogue.selectedFiles().front());
}

QString FiltreQt(const std::string& filtre) {
    QStringList filtres;
    for (const auto& [libelle, motifs] : FiltresOuverture(filtre))
        filtres << QString::fromStdString(libelle + " (" + motifs + ")");
    return filtres.join(";;");
}

} // namespace parvel::ui
