// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/FormatRegistre.h"

#include <cstdio>
#include <vector>

namespace parvel {

namespace {

constexpr std::string_view EnTeteV5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view EnTeteV4 = "REGEDIT4";
constexpr std::string_view BomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view BomUtf16Le = "\xFF\xFE";
constexpr std::string_view BomUtf16Be = "\xFE\xFF";

using ErreurLecture = ErreurFormatRegistre;

ErreurLecture ErreurLigne(std::size_t numero, const std::string& raison) {
    return ErreurLecture("ligne " + std::to_string(numero + 1) + ": " + raison);
}

// ---------------------------------------------------------------- text helpers

bool EstBlanc(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view SansBlancsAGauche(std::string_view s) {
    while (!s.empty() && EstBlanc(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view SansBlancsADroite(std::string_view s) {
    while (!s.empty() && EstBlanc(s.back()))
        s.remove_suffix(1);
    return s;
}

int ValeurHex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool CommencePar(std::string_view s, std::string_view debut) {
    if (s.size() < debut.size())
        return false;
    for (std::size_t i = 0; i < debut.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != debut[i])
            return false;
    }
    return true;
}

// Case folding for key and value names: ASCII, and the Latin-1 capitals as UTF-8.
std::string Plie(std::string_view s) {
    std::string r(s);
    for (std::size_t i = 0; i < r.size(); ++i) {
        const auto c = static_cast<unsigned char>(r[i]);
        if (c >= 'A' && c <= 'Z') {
            r[i] = static_cast<char>(c + 0x20);
        } else if (c == 0xC3 && i + 1 < r.size()) {
            const auto d = static_cast<unsigned char>(r[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) // À..Þ but not ×
                r[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
    return r;
}

// The line without its "\n" or "\r\n".
std::string_view Contenu(const std::string& ligne) {
    std::string_view c = ligne;
    if (!c.empty() && c.back() == '\n') {
        c.remove_suffix(1);
        if (!c.empty() && c.back() == '\r')
            c.remove_suffix(1);
    }
    return c;
}

std::string_view FinDe(const std::string& ligne) {
    return std::string_view(ligne).substr(Contenu(ligne).size());
}

std::vector<std::string> Decoupe(std::string_view texte) {
    std::vector<std::string> lignes;
    std::size_t debut = 0;
    while (debut < texte.size()) {
        const std::size_t fin = texte.find('\n', debut);
        if (fin == std::string_view::npos) {
            lignes.emplace_back(texte.substr(debut));
            break;
        }
        lignes.emplace_back(texte.substr(debut, fin + 1 - debut));
        debut = fin + 1;
    }
    return lignes;
}

// ---------------------------------------------------------------- UTF-16

void AjouteUtf8(std::string& r, char32_t cp) {
    if (cp < 0x80) {
        r += static_cast<char>(cp);
    } else if (cp < 0x800) {
        r += static_cast<char>(0xC0 | (cp >> 6));
        r += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        r += static_cast<char>(0xE0 | (cp >> 12));
        r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        r += static_cast<char>(0xF0 | (cp >> 18));
        r += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        r += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        r += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string DepuisUtf16Le(std::string_view octets) {
    if (octets.size() % 2 != 0)
        throw ErreurLecture("UTF-16 de longueur impaire");
    auto unite = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(octets[i]) |
                                     (static_cast<unsigned char>(octets[i + 1]) << 8));
    };
    std::string r;
    r.reserve(octets.size() / 2);
    for (std::size_t i = 0; i < octets.size(); i += 2) {
        const char16_t u = unite(i);
        if (u >= 0xDC00 && u < 0xE000)
            throw ErreurLecture("UTF-16 invalide");
        if (u >= 0xD800 && u < 0xDC00) {
            if (i + 3 >= octets.size())
                throw ErreurLecture("UTF-16 invalide");
            const char16_t v = unite(i + 2);
            if (v < 0xDC00 || v >= 0xE000)
                throw ErreurLecture("UTF-16 invalide");
            AjouteUtf8(r, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (v - 0xDC00));
            i += 2;
        } else {
            AjouteUtf8(r, u);
        }
    }
    return r;
}

// Strict, so that a file read as UTF-16 is written back to the same bytes.
std::optional<std::string> VersUtf16Le(std::string_view s) {
    std::string r;
    r.reserve(s.size() * 2);
    auto ajoute = [&](char32_t u) {
        r += static_cast<char>(u & 0xFF);
        r += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return std::nullopt;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (d & 0x3F);
        }
        static constexpr char32_t Minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < Minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
            return std::nullopt;
        if (cp >= 0x10000) {
            ajoute(0xD800 + ((cp - 0x10000) >> 10));
            ajoute(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            ajoute(cp);
        }
        i += n;
    }
    return r;
}

// ---------------------------------------------------------------- the document

enum class Codage { Utf8, Utf8Bom, Utf16Le };
enum class TypeValeur { Texte, Entier, Autre };

struct Valeur {
    std::string NomPlie;
    std::size_t Premiere = 0, Derniere = 0; // physical lines, continuations included
    std::size_t DebutDonnees = 0;           // offset of the data in the first line
    TypeValeur Type = TypeValeur::Autre;
    std::string Texte;
    std::int32_t Entier = 0;
};

struct Section {
    std::string ClePliee;
    std::size_t Ligne = 0;
    std::vector<Valeur> Valeurs;
};

struct Document {
    Codage Codage_ = Codage::Utf8;
    std::string FinDeLigne = "\n";
    std::vector<std::string> Lignes; // each with its line ending, if it has one
    std::vector<Section> Sections;
};

// Reads a quoted string at s[pos] == '"' and leaves pos after the closing quote.
std::string LitChaine(std::string_view s, std::size_t& pos, std::size_t numero) {
    std::string r;
    for (++pos;;) {
        // Whole runs at a time: a value may be tens of megabytes.
        const std::size_t special = s.find_first_of("\"\\", pos);
        if (special == std::string_view::npos)
            throw ErreurLigne(numero, "chaîne non terminée");
        r.append(s.substr(pos, special - pos));
        pos = special + 1;
        if (s[special] == '"')
            return r;
        if (pos >= s.size() || (s[pos] != '\\' && s[pos] != '"'))
            throw ErreurLigne(numero, "échappement invalide");
        r += s[pos++];
    }
}

std::string Echappe(std::string_view s) {
    std::string r;
    for (const char c : s) {
        if (c == '\\' || c == '"')
            r += '\\';
        r += c;
    }
    return r;
}

// hex:, hex(N): with their continuation lines; `ligne` moves to the last line used.
void LitHex(Valeur& v, std::string_view donnees, const std::vector<std::string>& lignes, std::size_t& ligne) {
    const std::size_t numero = ligne;
    std::size_t pos = 3;
    unsigned long type = 3; // REG_BINARY
    if (pos < donnees.size() && donnees[pos] == '(') {
        const std::size_t fin = donnees.find(')', pos);
        if (fin == std::string_view::npos || fin == pos + 1 || fin - pos > 9)
            throw ErreurLigne(numero, "type hex invalide");
        type = 0;
        for (std::size_t i = pos + 1; i < fin; ++i) {
            const int h = ValeurHex(donnees[i]);
            if (h < 0)
                throw ErreurLigne(numero, "type hex invalide");
            type = type * 16 + static_cast<unsigned long>(h);
        }
        pos = fin + 1;
    }
    if (pos >= donnees.size() || donnees[pos] != ':')
        throw ErreurLigne(numero, "type de valeur inconnu");
    std::string liste(SansBlancsADroite(donnees.substr(pos + 1)));
    while (!liste.empty() && liste.back() == '\\') {
        liste.pop_back();
        if (++ligne >= lignes.size())
            throw ErreurLigne(numero, "suite de ligne manquante");
        liste += SansBlancsADroite(SansBlancsAGauche(Contenu(lignes[ligne])));
    }
    std::vector<unsigned char> octets;
    std::string_view reste = liste;
    while (!reste.empty()) {
        const std::size_t virgule = reste.find(',');
        const std::string_view jeton = SansBlancsADroite(SansBlancsAGauche(reste.substr(0, virgule)));
        // A trailing comma is the only empty item allowed.
        if (jeton.empty() && virgule == std::string_view::npos && !octets.empty())
            break;
        if (jeton.empty() || jeton.size() > 2 || ValeurHex(jeton[0]) < 0 ||
            (jeton.size() == 2 && ValeurHex(jeton[1]) < 0))
            throw ErreurLigne(numero, "octet hex invalide");
        octets.push_back(static_cast<unsigned char>(
            jeton.size() == 1 ? ValeurHex(jeton[0]) : ValeurHex(jeton[0]) * 16 + ValeurHex(jeton[1])));
        reste = virgule == std::string_view::npos ? std::string_view() : reste.substr(virgule + 1);
    }
    if (type == 4 && octets.size() == 4) { // REG_DWORD, little-endian
        v.Type = TypeValeur::Entier;
        v.Entier = static_cast<std::int32_t>(octets[0] | (octets[1] << 8) | (octets[2] << 16) |
                                             (static_cast<std::uint32_t>(octets[3]) << 24));
    }
}

Valeur LitValeur(const std::vector<std::string>& lignes, std::size_t& ligne) {
    const std::size_t numero = ligne;
    const std::string_view c = Contenu(lignes[ligne]);
    Valeur v;
    v.Premiere = ligne;
    std::size_t pos = c.size() - SansBlancsAGauche(c).size();
    if (c[pos] == '@')
        ++pos;
    else
        v.NomPlie = Plie(LitChaine(c, pos, numero));
    while (pos < c.size() && EstBlanc(c[pos]))
        ++pos;
    if (pos >= c.size() || c[pos] != '=')
        throw ErreurLigne(numero, "'=' attendu");
    ++pos;
    while (pos < c.size() && EstBlanc(c[pos]))
        ++pos;
    v.DebutDonnees = pos;
    const std::string_view donnees = c.substr(pos);
    if (!donnees.empty() && donnees.front() == '"') {
        std::size_t fin = pos;
        v.Texte = LitChaine(c, fin, numero);
        if (!SansBlancsAGauche(c.substr(fin)).empty())
            throw ErreurLigne(numero, "texte après la chaîne");
        v.Type = TypeValeur::Texte;
    } else if (CommencePar(donnees, "dword:")) {
        const std::string_view hex = SansBlancsADroite(donnees.substr(6));
        if (hex.empty() || hex.size() > 8)
            throw ErreurLigne(numero, "dword invalide");
        std::uint32_t n = 0;
        for (const char h : hex) {
            if (ValeurHex(h) < 0)
                throw ErreurLigne(numero, "dword invalide");
            n = n * 16 + static_cast<std::uint32_t>(ValeurHex(h));
        }
        v.Type = TypeValeur::Entier;
        v.Entier = static_cast<std::int32_t>(n);
    } else if (CommencePar(donnees, "hex")) {
        LitHex(v, donnees, lignes, ligne);
    } else {
        throw ErreurLigne(numero, "type de valeur inconnu");
    }
    v.Derniere = ligne;
    return v;
}

void AnalyseLignes(Document& doc);

Document Analyse(std::string_view octets) {
    Document doc;
    std::string texte;
    if (octets.substr(0, 2) == BomUtf16Le) {
        doc.Codage_ = Codage::Utf16Le;
        texte = DepuisUtf16Le(octets.substr(2));
    } else if (octets.substr(0, 2) == BomUtf16Be) {
        throw ErreurLecture("UTF-16 gros-boutiste non pris en charge");
    } else if (octets.substr(0, 3) == BomUtf8) {
        doc.Codage_ = Codage::Utf8Bom;
        texte = octets.substr(3);
    } else {
        texte = octets;
    }
    doc.Lignes = Decoupe(texte);
    if (doc.Lignes.empty()) // an empty file is an empty store
        return doc;
    const std::string_view entete = SansBlancsADroite(Contenu(doc.Lignes[0]));
    if (entete != EnTeteV5 && entete != EnTeteV4)
        throw ErreurLecture("en-tête absent ou inconnu");
    const std::string_view fin = FinDe(doc.Lignes[0]);
    doc.FinDeLigne = !fin.empty() ? std::string(fin) : doc.Codage_ == Codage::Utf16Le ? "\r\n" : "\n";
    AnalyseLignes(doc);
    return doc;
}

// The keys and values of the lines, found again after a change to the lines.
void AnalyseLignes(Document& doc) {
    doc.Sections.clear();
    for (std::size_t i = 1; i < doc.Lignes.size(); ++i) {
        const std::string_view c = SansBlancsADroite(SansBlancsAGauche(Contenu(doc.Lignes[i])));
        if (c.empty() || c.front() == ';')
            continue;
        if (c.front() == '[') {
            // Key names may hold ']': the name runs to the last one.
            if (c.size() < 3 || c.back() != ']' || !CommencePar(c.substr(1), "hkey_"))
                throw ErreurLigne(i, "section invalide");
            doc.Sections.push_back({Plie(c.substr(1, c.size() - 2)), i, {}});
        } else if (c.front() == '"' || c.front() == '@') {
            if (doc.Sections.empty())
                throw ErreurLigne(i, "valeur hors de toute clé");
            doc.Sections.back().Valeurs.push_back(LitValeur(doc.Lignes, i));
        } else {
            throw ErreurLigne(i, "ligne non reconnue");
        }
    }
}

std::optional<std::string> Serialise(const Document& doc) {
    std::string texte;
    for (const auto& l : doc.Lignes)
        texte += l;
    switch (doc.Codage_) {
    case Codage::Utf8:
        return texte;
    case Codage::Utf8Bom:
        return std::string(BomUtf8) + texte;
    case Codage::Utf16Le:
        if (auto utf16 = VersUtf16Le(texte))
            return std::string(BomUtf16Le) + *utf16;
        return std::nullopt;
    }
    return texte;
}

// ---------------------------------------------------------------- names

std::optional<std::string> NomRacine(Racine racine) {
    switch (static_cast<std::uint32_t>(racine)) {
    case 0x80000000u:
        return "HKEY_CLASSES_ROOT";
    case 0x80000001u:
        return "HKEY_CURRENT_USER";
    case 0x80000002u:
        return "HKEY_LOCAL_MACHINE";
    case 0x80000003u:
        return "HKEY_USERS";
    case 0x80000005u:
        return "HKEY_CURRENT_CONFIG";
    }
    return std::nullopt;
}

// As the registry calls see a name: up to its first NUL.
std::string CommeChaineC(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

// The section name of a key, or nothing for a path the registry would refuse or a name
// that a line of the file cannot hold.
std::optional<std::string> NomComplet(Racine racine, const std::string& cle, const std::string& nom) {
    auto racineNom = NomRacine(racine);
    if (!racineNom || cle.find_first_of("\r\n") != std::string::npos ||
        nom.find_first_of("\r\n") != std::string::npos)
        return std::nullopt;
    if (cle.empty())
        return racineNom;
    if (cle.front() == '\\' || cle.back() == '\\' || cle.find("\\\\") != std::string::npos)
        return std::nullopt;
    return *racineNom + "\\" + cle;
}

const Valeur* Cherche(const Document& doc, const std::string& clePliee, const std::string& nomPlie) {
    // As when importing, the last occurrence wins.
    const Valeur* trouvee = nullptr;
    for (const auto& s : doc.Sections)
        if (s.ClePliee == clePliee)
            for (const auto& v : s.Valeurs)
                if (v.NomPlie == nomPlie)
                    trouvee = &v;
    return trouvee;
}

std::string DonneeDword(std::int32_t valeur) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(static_cast<std::uint32_t>(valeur)));
    return std::string("dword:") + hex;
}

// A key exists when it or one of its subkeys has a section.
bool CleExiste(const Document& doc, const std::string& clePliee) {
    const std::string prefixe = clePliee + "\\";
    for (const auto& s : doc.Sections)
        if (s.ClePliee == clePliee || s.ClePliee.compare(0, prefixe.size(), prefixe) == 0)
            return true;
    return false;
}

// Sets the value in the document to `donnees` (what follows "=" on its line); false when
// `inchangee` says the value already holds it.
template <class Inchangee>
bool Modifie(Document& doc, const std::string& cle, const std::string& nom, const std::string& donnees,
             Inchangee inchangee) {
    const std::string clePliee = Plie(cle);
    auto& lignes = doc.Lignes;
    if (const Valeur* v = Cherche(doc, clePliee, Plie(nom))) {
        if (inchangee(*v))
            return false;
        // Keep the name as spelt in the file and the line ending; drop continuation lines.
        std::string nouvelle = std::string(Contenu(lignes[v->Premiere]).substr(0, v->DebutDonnees)) +
                               donnees + std::string(FinDe(lignes[v->Derniere]));
        lignes.erase(lignes.begin() + static_cast<std::ptrdiff_t>(v->Premiere) + 1,
                     lignes.begin() + static_cast<std::ptrdiff_t>(v->Derniere) + 1);
        lignes[v->Premiere] = std::move(nouvelle);
        return true;
    }

    const std::string ligneValeur = (nom.empty() ? "@" : "\"" + Echappe(nom) + "\"") + "=" + donnees;
    const Section* section = nullptr;
    for (const auto& s : doc.Sections)
        if (s.ClePliee == clePliee)
            section = &s;
    if (section) {
        // After the section's last value, before the blank lines that separate it from the next.
        const std::size_t apres =
            section->Valeurs.empty() ? section->Ligne : section->Valeurs.back().Derniere;
        if (FinDe(lignes[apres]).empty())
            lignes[apres] += doc.FinDeLigne;
        lignes.insert(lignes.begin() + static_cast<std::ptrdiff_t>(apres) + 1, ligneValeur + doc.FinDeLigne);
        return true;
    }

    // A new key goes at the end, after those of its parents that do not exist yet.
    std::vector<std::string> nouvelles;
    for (std::size_t sep = cle.find('\\'); sep != std::string::npos; sep = cle.find('\\', sep + 1)) {
        const std::string parent = cle.substr(0, sep);
        // The root itself has no section of its own.
        if (parent.find('\\') != std::string::npos && !CleExiste(doc, Plie(parent)))
            nouvelles.push_back(parent);
    }
    nouvelles.push_back(cle);
    if (lignes.empty())
        lignes.push_back(std::string(EnTeteV5) + doc.FinDeLigne);
    for (const auto& n : nouvelles) {
        if (FinDe(lignes.back()).empty())
            lignes.back() += doc.FinDeLigne;
        if (!SansBlancsADroite(Contenu(lignes.back())).empty())
            lignes.push_back(doc.FinDeLigne);
        lignes.push_back("[" + n + "]" + doc.FinDeLigne);
    }
    lignes.push_back(ligneValeur + doc.FinDeLigne);
    return true;
}

} // namespace

struct DocumentRegistre::Donnees {
    Document Doc;
};

DocumentRegistre::DocumentRegistre() : d_(std::make_unique<Donnees>()) {}
DocumentRegistre::~DocumentRegistre() = default;
DocumentRegistre::DocumentRegistre(DocumentRegistre&&) noexcept = default;
DocumentRegistre& DocumentRegistre::operator=(DocumentRegistre&&) noexcept = default;

DocumentRegistre DocumentRegistre::Analyse(std::string_view octets) {
    DocumentRegistre r;
    r.d_->Doc = parvel::Analyse(octets);
    return r;
}

std::optional<std::string> DocumentRegistre::Texte(const std::string& section, const std::string& nom) const {
    const Valeur* v = Cherche(d_->Doc, Plie(section), Plie(nom));
    if (!v || v->Type != TypeValeur::Texte)
        return std::nullopt;
    return v->Texte.substr(0, v->Texte.find('\0'));
}

std::optional<std::int32_t> DocumentRegistre::Entier(const std::string& section,
                                                     const std::string& nom) const {
    const Valeur* v = Cherche(d_->Doc, Plie(section), Plie(nom));
    if (!v || v->Type != TypeValeur::Entier)
        return std::nullopt;
    return v->Entier;
}

// A change moves the lines after it: the values are found again, so that the document
// reads and changes as the file it will be.
bool DocumentRegistre::Modifie(const std::string& section, const std::string& nom, std::int32_t valeur) {
    if (!parvel::Modifie(d_->Doc, section, nom, DonneeDword(valeur),
                         [&](const Valeur& v) { return v.Type == TypeValeur::Entier && v.Entier == valeur; }))
        return false;
    AnalyseLignes(d_->Doc);
    return true;
}

bool DocumentRegistre::ModifieTexte(const std::string& section, const std::string& nom,
                                    const std::string& texte) {
    // A line end or a NUL cannot stand in a text of this format: such a text is not written.
    if (texte.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        return false;
    if (!parvel::Modifie(d_->Doc, section, nom, "\"" + Echappe(texte) + "\"",
                         [&](const Valeur& v) { return v.Type == TypeValeur::Texte && v.Texte == texte; }))
        return false;
    AnalyseLignes(d_->Doc);
    return true;
}

std::optional<std::string> DocumentRegistre::Serialise() const {
    return parvel::Serialise(d_->Doc);
}

std::optional<std::string> SectionRegistre(Racine racine, std::string& cle, std::string& nom) {
    cle = CommeChaineC(cle);
    nom = CommeChaineC(nom);
    return NomComplet(racine, cle, nom);
}

} // namespace parvel
