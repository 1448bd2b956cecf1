// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut/Lecture.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "cut/Avancement.h"
#include "cut/Erreur.h"
#include "cut/Fichiers.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace parvel {

namespace {

// After a jump only a few thousand lines are read: a small chunk spares the rest.
constexpr std::size_t OctetsParLecture = std::size_t{64} << 10;

// Time never goes back: a negative or non-number duration counts as none.
double DureeComptee(double d) {
    return d > 0 && std::isfinite(d) ? d : 0;
}

EtatCut SansVues(EtatCut e) {
    e.Ligne = {};
    e.Commande = {};
    e.LongLigne = 0;
    e.IndexCar = 0;
    return e;
}

} // namespace

// Size and date alone miss a rewrite of the same size whose date was put back (as a copy
// keeping dates does): the change time and the file's identity catch it, and a file
// replaced by another.
std::optional<LectureCut::Empreinte> LectureCut::EmpreinteDe(const std::string& chemin) {
#ifdef _WIN32
    // No access asked: only the attributes are read, and nobody is kept from the file.
    HANDLE h =
        CreateFileW(CheminNatif(chemin).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION i{};
    FILE_BASIC_INFO b{};
    const bool lu =
        GetFileInformationByHandle(h, &i) && GetFileInformationByHandleEx(h, FileBasicInfo, &b, sizeof b);
    CloseHandle(h);
    if (!lu)
        return std::nullopt;
    const auto deux = [](DWORD haut, DWORD bas) { return (std::uint64_t{haut} << 32) | bas; };
    return Empreinte{deux(i.nFileSizeHigh, i.nFileSizeLow), b.LastWriteTime.QuadPart, b.ChangeTime.QuadPart,
                     i.dwVolumeSerialNumber, deux(i.nFileIndexHigh, i.nFileIndexLow)};
#else
    struct stat st {};
    if (::stat(chemin.c_str(), &st) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    return Empreinte{static_cast<std::uintmax_t>(st.st_size), ns(st.st_mtim), ns(st.st_ctim),
                     static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
#endif
}

LectureCut::LectureCut(const std::string& chemin, const Interpreteur& charge, Avancement* avancement,
                       std::int64_t pas)
    : chemin_(chemin) {
    pas = std::max<std::int64_t>(pas, 1);
    LecteurLignes lecteur(chemin);
    // Taken before the reading: a change made during it shows at the first moment asked.
    const std::optional<Empreinte> empreinte = EmpreinteDe(chemin);
    // As a redraw: positions from zero, the load's X zero, every line interpreted.
    interp_.MmParPasX = charge.MmParPasX;
    interp_.MmParPasY = charge.MmParPasY;
    interp_.Etat.ZeroX = charge.Etat.ZeroX;
    interp_.Etat.TraceActif = true;
    reperes_.push_back({0, 0, 0, SansVues(interp_.Etat)});

    SuiviLecture suivi(avancement, chemin);
    double t = 0;
    std::int64_t n = 0;
    while (!lecteur.Fin()) {
        const std::string_view ligne = lecteur.LitLigne();
        suivi.Ligne(ligne.size());
        interp_.NumeroLigne = ++n;
        interp_.AnalyseLigne(ligne);
        t += DureeComptee(interp_.DureeLue);
        if (n % pas == 0)
            reperes_.push_back({lecteur.Position(), n, t, SansVues(interp_.Etat)});
    }
    total_ = t;
    lignes_ = n;
    // A file that cannot be looked at any more never matches.
    empreinte_ = empreinte.value_or(Empreinte{static_cast<std::uintmax_t>(-1)});
}

void LectureCut::VaAuRepere(const Repere& r, LecteurLignes& lecteur) {
    lecteur.Reprend(r.Octet);
    interp_.Etat = r.Etat;
    lignesLues_ = r.Lignes;
    temps_ = r.Temps;
    dernier_.reset();
}

void LectureCut::LitUneLigne(LecteurLignes& lecteur) {
    const EtatCut& e = interp_.Etat;
    Pas p{{e.XG, e.YG, e.XD, e.YD}, {}, temps_, 0, 0, false};
    const std::string_view ligne = lecteur.LitLigne();
    interp_.NumeroLigne = ++lignesLues_;
    interp_.AnalyseLigne(ligne);
    const double apres[4] = {e.XG, e.YG, e.XD, e.YD};
    std::copy(std::begin(apres), std::end(apres), p.Apres);
    p.Duree = DureeComptee(interp_.DureeLue);
    p.Ligne = lignesLues_;
    p.Bouge = interp_.PositionLue;
    temps_ += p.Duree;
    dernier_ = p;
}

std::optional<PositionFil> LectureCut::Position(double t) {
    if (EmpreinteDe(chemin_) != empreinte_)
        return std::nullopt;
    t = std::isnan(t) ? 0 : std::clamp(t, 0.0, total_);
    // The last entry at or before t: every line before it has ended by then.
    const auto suivant = std::upper_bound(reperes_.begin(), reperes_.end(), t,
                                          [](double v, const Repere& r) { return v < r.Temps; });
    const Repere& r = *std::prev(suivant);
    try {
        // Opened for this moment only: a file held open could not be replaced meanwhile
        // (on Windows), and the sibling program rewrites the file it is playing.
        LecteurLignes lecteur(chemin_, LongueurLigneMax, OctetsParLecture);
        // Forward from where the last moment left off, unless the entry lies further on.
        const bool suite = enCours_ && r.Lignes <= lignesLues_ && (dernier_ ? dernier_->Debut : temps_) <= t;
        enCours_ = false;
        if (suite)
            lecteur.Reprend(octet_);
        else
            VaAuRepere(r, lecteur);
        while (!(dernier_ && t < dernier_->Debut + dernier_->Duree)) {
            if (lecteur.Fin()) {
                // Fewer lines than indexed: the file changed under the reading.
                if (lignesLues_ != lignes_)
                    return std::nullopt;
                break;
            }
            LitUneLigne(lecteur);
            // More lines than indexed: the file changed under the reading.
            if (lignesLues_ > lignes_)
                return std::nullopt;
        }
        octet_ = lecteur.Position();
        enCours_ = true;
    } catch (const ErreurParvel&) {
        return std::nullopt;
    }
    return Reponse(t);
}

PositionFil LectureCut::Reponse(double t) const {
    PositionFil p;
    p.Temps = t;
    p.TempsTotal = total_;
    p.Ligne = lignesLues_;
    const EtatCut& e = interp_.Etat;
    double v[4] = {e.XG, e.YG, e.XD, e.YD};
    if (dernier_ && t < dernier_->Debut + dernier_->Duree) {
        // The line under way: a move goes straight from its start to its end.
        const Pas& d = *dernier_;
        const double f = d.Bouge ? std::clamp((t - d.Debut) / d.Duree, 0.0, 1.0) : 0.0;
        for (int i = 0; i < 4; ++i)
            v[i] = d.Avant[i] + (d.Apres[i] - d.Avant[i]) * f;
        p.Ligne = d.Ligne;
    }
    p.XG = v[0];
    p.YG = v[1];
    p.XD = v[2];
    p.YD = v[3];
    return p;
}

} // namespace parvel
