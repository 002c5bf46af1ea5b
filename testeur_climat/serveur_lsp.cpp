#include "testeur_climat/serveur_lsp.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <string_view>
#include <utility>
#include <vector>

#include "console/texte.hpp"
#include "testeur_climat/editeurs.hpp"
#include "testeur_climat/constats.hpp"

// The authors' guide, embedded by the build: the hover shows its sections.
extern const unsigned char GUIDE_CLIMAT[];
extern const std::size_t TAILLE_GUIDE_CLIMAT;

using json = nlohmann::json;

namespace {

// A header block longer than this has lost its framing; a body longer than
// this is passed over unread, so that memory stays bounded by the documents.
constexpr std::size_t ENTETE_MAX = 8192;
constexpr std::size_t CORPS_MAX = std::size_t{256} << 20;
// No message of the protocol nests deeper; a deeper one is refused before it
// is parsed, so that nothing walks it recursively.
constexpr int PROFONDEUR_MAX = 64;
// The diagnostics published for one document, the first in file order; one
// more says how many are left out. An editor stays responsive with them.
constexpr std::size_t DIAGNOSTICS_MAX = 300;
// The findings of one line shown by a hover.
constexpr std::size_t SURVOL_MAX = 20;

// JSON-RPC's error codes, and the protocol's own.
constexpr int ILLISIBLE = -32700;
constexpr int REQUETE_INVALIDE = -32600;
constexpr int METHODE_INCONNUE = -32601;
constexpr int PARAMETRES_INVALIDES = -32602;
constexpr int PAS_INITIALISE = -32002;

// One code point of a UTF-8 text at `i`: its value and its length. The JSON
// library only hands over valid UTF-8; a stray byte counts as one character.
std::pair<char32_t, std::size_t> point_de_code(std::string_view t, std::size_t i) {
  const auto c = static_cast<unsigned char>(t[i]);
  const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (n == 1 || i + n > t.size()) return {c, 1};
  char32_t v = c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) v = (v << 6) | (static_cast<unsigned char>(t[i + k]) & 0x3F);
  return {v, n};
}

int unites_utf16(char32_t c) { return c >= 0x10000 ? 2 : 1; }

// Whether character `c`, which ends before `i`, ends an editor's line: LF,
// CR LF, or a lone CR.
bool saut_de_ligne(std::string_view t, std::size_t i, char32_t c) {
  return c == '\n' || (c == '\r' && (i >= t.size() || t[i] != '\n'));
}

// A diagnostic that is neither an error nor a warning, as the protocol
// numbers its severities after them.
constexpr int INFORMATION = 3;

// What the pass found, placed on the editor's lines.
struct trouvaille {
  int ligne;  // from 0, as the protocol counts
  int debut;  // the span in UTF-16 units; -1: the whole line
  int fin;
  int type;
  int code;
  std::string message;  // UTF-8, on one line
};

struct symbole {
  etape_passe etape;
  int ligne;
};

// The findings and the outline that the pass reports on one document, at
// the lines it counts (by line feeds, from 1).
// Only the first DIAGNOSTICS_MAX findings are kept, the others counted: the
// pass reports them in file order.
struct collecte final : rapport_constats {
  std::vector<trouvaille> trouvailles;
  std::size_t non_gardees = 0;
  std::vector<symbole> symboles;
  void rapporte(const constat& c) override {
    if (trouvailles.size() >= DIAGNOSTICS_MAX) {
      ++non_gardees;
      return;
    }
    trouvailles.push_back({c.ligne_editeur, -1, -1, c.type, c.code, sur_une_ligne(en_utf8(c.message))});
  }
  void paragraphe(etape_passe etape, int ligne_editeur) override { symboles.push_back({etape, ligne_editeur}); }
};

// The section of the guide that explains a code, from its heading to the
// next one.
std::string_view section_du_guide(int code) {
  const std::string_view guide(reinterpret_cast<const char*>(GUIDE_CLIMAT), TAILLE_GUIDE_CLIMAT);
  const std::string titre = "\n#### " + nom_du_code(code) + "\n";
  const std::size_t debut = guide.find(titre);
  if (debut == std::string_view::npos) return {};
  const std::size_t corps = debut + titre.size();
  const std::size_t fin = std::min(guide.find("\n#", corps), guide.size());
  std::string_view s = guide.substr(corps, fin - corps);
  while (!s.empty() && (s.front() == '\n')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == '\n')) s.remove_suffix(1);
  return s;
}

// Where the href of a code points: its section of the installed guide,
// whose anchor is the code in lower case.
std::string adresse_du_code(int code) {
  return std::string("file://") + GUIDE_CLIMAT_CHEMIN + "#cl" + nom_du_code(code).substr(2);
}

// A file: URI as a path: "file://" and an empty or "localhost" host, then the
// path with its %XX escapes decoded. Empty for any other URI.
std::string chemin_du_fichier(const std::string& uri) {
  std::string_view u = uri;
  if (u.substr(0, 7) != "file://") return {};
  u.remove_prefix(7);
  if (u.substr(0, 9) == "localhost") u.remove_prefix(9);
  if (u.empty() || u[0] != '/') return {};
  std::string chemin;
  auto chiffre_hexa = [](char c) { return c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1; };
  for (std::size_t i = 0; i < u.size(); ++i) {
    if (u[i] == '%' && i + 2 < u.size() && chiffre_hexa(u[i + 1]) >= 0 && chiffre_hexa(u[i + 2]) >= 0) {
      chemin += static_cast<char>(chiffre_hexa(u[i + 1]) * 16 + chiffre_hexa(u[i + 2]));
      i += 2;
    } else {
      chemin += u[i];
    }
  }
  return chemin.find('\0') == std::string::npos ? chemin : std::string();
}

// Whether a JSON text nests arrays and objects deeper than PROFONDEUR_MAX
// (brackets inside strings do not count).
bool trop_profond(std::string_view corps) {
  int profondeur = 0;
  bool chaine = false;
  for (std::size_t i = 0; i < corps.size(); ++i) {
    const char c = corps[i];
    if (chaine) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        chaine = false;
    } else if (c == '"') {
      chaine = true;
    } else if (c == '[' || c == '{') {
      if (++profondeur > PROFONDEUR_MAX) return true;
    } else if (c == ']' || c == '}') {
      --profondeur;
    }
  }
  return false;
}

// The bytes of a regular file, at most `limite` of them; empty for anything
// else. Opened without waiting (a FIFO would block), then looked at: never a
// device, a pipe, or one of the server's own streams.
std::string lit_fichier_ordinaire(const std::string& chemin, std::size_t limite) {
  if (chemin.empty()) return {};
  const int fd = open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat etat {};
  bool ordinaire = fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode);
  for (int flux = 0; flux <= 2 && ordinaire; ++flux) {
    struct stat f {};
    ordinaire = fstat(flux, &f) != 0 || f.st_dev != etat.st_dev || f.st_ino != etat.st_ino;
  }
  std::string octets;
  char bloc[1 << 16];
  for (ssize_t n = 0; ordinaire && octets.size() < limite && (n = read(fd, bloc, sizeof bloc)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    octets.append(bloc, static_cast<std::size_t>(n));
  }
  close(fd);
  return octets;
}

// Whether the file is saved in UTF-8: valid UTF-8 with at least one
// character of more than one byte (a Latin-1 file with accents never is).
// A climate file is small; a file of more than 16 MiB, or one that holds a
// NUL byte, is no climate file an editor saved in UTF-8.
bool enregistre_en_utf8(const std::string& chemin) {
  const std::string octets = lit_fichier_ordinaire(chemin, std::size_t{16} << 20);
  return octets.find('\0') == std::string::npos &&
         std::any_of(octets.begin(), octets.end(), [](char c) { return (c & 0x80) != 0; }) && utf8_valide(octets.c_str());
}

json position(int ligne, int colonne) { return {{"line", ligne}, {"character", colonne}}; }

// A line or a character of a position: an integer, or a number held within
// the bounds of one (a fraction from a careless client, 1e300, NaN); any
// other value is a client's mistake, answered as such.
long long entier(const json& v) {
  if (!v.is_number_float()) return v.get<long long>();
  const double d = v.get<double>();
  return d != d ? 0 : static_cast<long long>(std::clamp(d, -1e15, 1e15));
}

// Parameters the protocol does not allow, found before anything changed.
struct refus_de_parametres {};

// A document's version: an integer, or the one it had when none is given.
std::int64_t version_de(const json& document, std::int64_t avant) {
  const auto v = document.find("version");
  if (v == document.end()) return avant;
  if (!v->is_number_integer()) throw refus_de_parametres{};
  return v->get<std::int64_t>();
}

}  // namespace

// An open document: the editor's text and what its last check found.
struct document_ouvert {
  std::string texte;  // UTF-8, as the editor holds it
  std::int64_t version = 0;
  std::string chemin;  // its file, for a file: URI
  bool utf8_sur_disque = false;
  std::vector<std::size_t> debuts;  // where each editor line begins, in bytes
  int derniere = 0;                  // the last line: not the empty one that a final line break opens
  std::vector<trouvaille> trouvailles;  // the first DIAGNOSTICS_MAX in file order
  std::size_t non_montrees = 0;         // and how many more there are
  std::vector<symbole> symboles;

  // The end of line `l` before its line break.
  std::size_t fin_de_ligne(std::size_t l) const {
    if (l + 1 >= debuts.size()) return texte.size();
    std::size_t fin = debuts[l + 1];
    if (fin > debuts[l] && texte[fin - 1] == '\n') --fin;
    if (fin > debuts[l] && texte[fin - 1] == '\r') --fin;
    return fin;
  }
  int longueur(std::size_t l) const {
    int n = 0;
    for (std::size_t i = debuts[l], fin = fin_de_ligne(l); i < fin;) {
      const auto [c, taille] = point_de_code(texte, i);
      n += unites_utf16(c);
      i += taille;
    }
    return n;
  }
  // A protocol position as a byte offset: a line past the end is the end of
  // the text, a character past the end of its line the end of that line.
  std::size_t decalage(long long ligne, long long caractere) const {
    if (ligne < 0) return 0;
    if (static_cast<std::size_t>(ligne) >= debuts.size()) return texte.size();
    const auto l = static_cast<std::size_t>(ligne);
    std::size_t i = debuts[l];
    const std::size_t fin = fin_de_ligne(l);
    for (long long unites = 0; i < fin;) {
      const auto [c, taille] = point_de_code(texte, i);
      if (unites + unites_utf16(c) > caractere) break;
      unites += unites_utf16(c);
      i += taille;
    }
    return i;
  }

  // Whether a line begins at `i`: after LF, or after a CR not followed by LF.
  // Line breaks are ASCII, which no byte of another UTF-8 character is.
  bool debut_de_ligne(std::size_t i) const {
    return i > 0 && (texte[i - 1] == '\n' || (texte[i - 1] == '\r' && (i >= texte.size() || texte[i] != '\n')));
  }
  // Where each line begins, for a whole new text.
  void lignes() {
    debuts.assign(1, 0);
    for (std::size_t i = 1; i <= texte.size(); ++i)
      if (debut_de_ligne(i)) debuts.push_back(i);
  }
  // Replaces the bytes [a, b) by `nouveau`. Line starts before the change
  // stay, those after it move by the difference, and only the bytes written
  // are looked at again, with the one before them (a CR that a LF now
  // follows): the cost is the change plus a move of what follows it.
  void remplace(std::size_t a, std::size_t b, std::string_view nouveau) {
    texte.replace(a, b - a, nouveau);
    const std::size_t fin = a + nouveau.size();
    const auto premier = std::lower_bound(debuts.begin() + 1, debuts.end(), std::max<std::size_t>(a, 1));
    const auto suivant = std::upper_bound(premier, debuts.end(), b);
    for (auto d = suivant; d != debuts.end(); ++d) *d = *d - b + fin;
    std::vector<std::size_t> nouveaux;
    for (std::size_t i = std::max<std::size_t>(a, 1); i <= fin && i <= texte.size(); ++i)
      if (debut_de_ligne(i)) nouveaux.push_back(i);
    const auto place = debuts.erase(premier, suivant);
    debuts.insert(place, nouveaux.begin(), nouveaux.end());
  }
  void analyse();
  // The editor's line of each of the pass's lines (counted by line feeds,
  // from 1), in place; what is drawn after the end goes on the last line.
  void lignes_de_l_editeur(std::vector<int*>& lignes) const;
};

// The finding for a run of characters that Latin-1 lacks, on one line: one
// for the whole run, however long, naming its first character.
trouvaille hors_latin1(std::string_view premier, char32_t c, int ligne, int debut, int fin, int nombre) {
  char modele[200];
  if (nombre == 1)
    std::snprintf(modele, sizeof modele,
                  "Le caractère « \x01 » (U+%04X) ne peut pas s'écrire en Latin-1 : un fichier de climat ne peut pas le contenir."_l1,
                  static_cast<unsigned>(c));
  else
    std::snprintf(modele, sizeof modele,
                  "Les %d caractères qui commencent par « \x01 » (U+%04X) ne peuvent pas s'écrire en Latin-1 : un fichier de climat ne peut pas les contenir."_l1,
                  nombre, static_cast<unsigned>(c));
  std::string message = en_utf8(modele);
  message.replace(message.find('\x01'), 1, premier);
  return {ligne, debut, fin, ERREUR, 801, std::move(message)};
}

void document_ouvert::analyse() {
  // The editor's text as the bytes of the file: Latin-1, with "?" for a
  // character that Latin-1 lacks, which draws its own finding. The editor
  // ends a line at LF, CR LF or a lone CR; the pass only at LF.
  std::string octets;
  octets.reserve(texte.size());
  std::vector<trouvaille> hors;      // the runs of characters Latin-1 lacks
  std::size_t hors_non_gardes = 0;
  int ligne = 0;
  int colonne = 0;
  struct {
    std::size_t debut = 0;  // the first character's bytes
    std::size_t taille = 0;
    char32_t c = 0;
    int colonne = 0;
    int nombre = 0;
  } course;
  const auto finit_la_course = [&] {
    if (course.nombre == 0) return;
    if (hors.size() < DIAGNOSTICS_MAX)
      hors.push_back(hors_latin1(std::string_view(texte).substr(course.debut, course.taille), course.c, ligne,
                                 course.colonne, colonne, course.nombre));
    else
      ++hors_non_gardes;
    course.nombre = 0;
  };
  for (std::size_t i = 0; i < texte.size();) {
    const auto [c, taille] = point_de_code(texte, i);
    i += taille;
    if (c > 0xFF) {
      if (course.nombre == 0) course = {i - taille, taille, c, colonne, 0};
      ++course.nombre;
      colonne += unites_utf16(c);
      octets += '?';
      continue;
    }
    finit_la_course();
    if (saut_de_ligne(texte, i, c)) {
      ++ligne;
      colonne = 0;
    } else {
      colonne += unites_utf16(c);
    }
    octets += static_cast<char>(c);
  }
  finit_la_course();

  collecte rapport;
  verifie_octets(octets.data(), octets.size(), rapport);
  octets = std::string();
  // From the pass's lines to the editor's; what is drawn after the end goes
  // on the last line.
  derniere = static_cast<int>(debuts.size()) - (debuts.size() > 1 && debuts.back() == texte.size() ? 2 : 1);
  trouvailles.clear();
  if (utf8_sur_disque)
    trouvailles.push_back({0, -1, -1, AVERTISSEMENT, 802,
                           en_utf8("Ce fichier est enregistré en UTF-8 : la simulation lira mal chaque lettre accentuée. "
                                   "Enregistrez-le en Latin-1 (ISO-8859-1)."_l1)});
  std::vector<int*> lignes_de_la_passe;
  for (trouvaille& t : rapport.trouvailles) lignes_de_la_passe.push_back(&t.ligne);
  for (symbole& s : rapport.symboles) lignes_de_la_passe.push_back(&s.ligne);
  lignes_de_l_editeur(lignes_de_la_passe);
  // Each list holds its first findings in file order: the first of both
  // together are among them.
  std::move(hors.begin(), hors.end(), std::back_inserter(trouvailles));
  std::move(rapport.trouvailles.begin(), rapport.trouvailles.end(), std::back_inserter(trouvailles));
  std::stable_sort(trouvailles.begin(), trouvailles.end(),
                   [](const trouvaille& a, const trouvaille& b) { return a.ligne < b.ligne; });
  non_montrees = hors_non_gardes + rapport.non_gardees;
  if (trouvailles.size() > DIAGNOSTICS_MAX) {
    non_montrees += trouvailles.size() - DIAGNOSTICS_MAX;
    trouvailles.resize(DIAGNOSTICS_MAX);
  }
  symboles = std::move(rapport.symboles);
}

void document_ouvert::lignes_de_l_editeur(std::vector<int*>& lignes) const {
  std::sort(lignes.begin(), lignes.end(), [](const int* a, const int* b) { return *a < *b; });
  std::size_t apres_le_saut = 0;
  int sauts = 0;
  for (int* l : lignes) {
    const int voulus = std::max(*l, 1) - 1;
    while (sauts < voulus) {
      const void* saut = std::memchr(texte.data() + apres_le_saut, '\n', texte.size() - apres_le_saut);
      if (saut == nullptr) break;
      apres_le_saut = static_cast<std::size_t>(static_cast<const char*>(saut) - texte.data()) + 1;
      ++sauts;
    }
    const auto ligne = std::upper_bound(debuts.begin(), debuts.end(), apres_le_saut) - debuts.begin() - 1;
    *l = sauts < voulus ? derniere : std::min(static_cast<int>(ligne), derniere);
  }
}

// One message of the client, with the means to answer it.
struct requete {
  serveur_lsp& serveur;
  const json& id;
  bool attend_reponse;
  mutable bool repondu = false;

  void envoie(const json& message) const {
    repondu = repondu || message.contains("id");
    const std::string corps = message.dump(-1, ' ', false, json::error_handler_t::replace);
    serveur.envoie("Content-Length: " + std::to_string(corps.size()) + "\r\n\r\n" + corps);
  }
  void repond(json resultat) const {
    if (attend_reponse) envoie({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(resultat)}});
  }
  void refuse(int code, const char* message_latin1) const {
    if (attend_reponse) envoie(erreur(id, code, message_latin1));
  }
  // Parameters that are not the protocol's: a request is answered so; a
  // notification, which has no answer, is said in the client's log.
  void parametres_refuses() const {
    constexpr const char* texte = "Les paramètres de la requête ne sont pas ceux qu'attend le protocole."_l1;
    if (attend_reponse) return refuse(PARAMETRES_INVALIDES, texte);
    envoie({{"jsonrpc", "2.0"},
            {"method", "window/logMessage"},
            {"params", {{"type", 1}, {"message", en_utf8("Notification ignorée : "_l1) + en_utf8(texte)}}}});
  }
  static json erreur(const json& id, int code, const char* message_latin1) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", en_utf8(message_latin1)}}}};
  }
  static void envoie_erreur(serveur_lsp& s, const json& id, int code, const char* message_latin1) {
    requete{s, id, true, false}.envoie(erreur(id, code, message_latin1));
  }

  // The diagnostics are written straight into the message: a document of
  // 100,000 findings would otherwise build a tree of a million JSON values.
  // Only the texts go through the library, which escapes them.
  void publie(const std::string& uri, const document_ouvert* d) const {
    const auto texte = [](const std::string& t) { return json(t).dump(-1, ' ', false, json::error_handler_t::replace); };
    std::string corps = R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)" + texte(uri);
    if (d != nullptr) corps += R"(,"version":)" + std::to_string(d->version);
    corps += R"(,"diagnostics":[)";
    const auto ecrit = [&](const trouvaille& t) {
      const int debut = t.debut < 0 ? 0 : t.debut;
      const int fin = t.debut < 0 ? d->longueur(static_cast<std::size_t>(t.ligne)) : t.fin;
      const std::string ligne = std::to_string(t.ligne);
      if (corps.back() == '}') corps += ',';
      corps += R"({"range":{"start":{"line":)" + ligne + R"(,"character":)" + std::to_string(debut) +
               R"(},"end":{"line":)" + ligne + R"(,"character":)" + std::to_string(fin) + R"(}},"severity":)" +
               std::to_string(t.type) + R"(,"code":")" + nom_du_code(t.code) + R"(","codeDescription":{"href":)" +
               texte(adresse_du_code(t.code)) + R"(},"source":"verifie_climat","message":)" + texte(t.message) + "}";
    };
    if (d != nullptr) {
      for (const trouvaille& t : d->trouvailles) ecrit(t);
      if (d->non_montrees > 0) {
        char message[200];
        std::snprintf(message, sizeof message,
                      "%d autres constats ne sont pas montrés, pour que l'éditeur reste rapide : verifie_climat les donne tous."_l1,
                      static_cast<int>(std::min<std::size_t>(d->non_montrees, INT_MAX)));
        const int ligne = d->trouvailles.empty() ? 0 : d->trouvailles.back().ligne;
        ecrit({ligne, 0, 0, INFORMATION, 803, en_utf8(message)});
      }
    }
    corps += "]}}";
    serveur.envoie("Content-Length: " + std::to_string(corps.size()) + "\r\n\r\n" + corps);
  }

  document_ouvert* document(const json& parametres) const {
    const auto trouve = serveur.documents.find(parametres.at("textDocument").at("uri").get<std::string>());
    return trouve == serveur.documents.end() ? nullptr : trouve->second.get();
  }

  // The editor's text is moved out of the message, never copied.
  void ouvre(json& p) const {
    json& td = p.at("textDocument");
    const auto uri = td.at("uri").get<std::string>();
    std::string& texte = td.at("text").get_ref<std::string&>();
    auto d = std::make_unique<document_ouvert>();
    d->version = version_de(td, 0);
    d->texte = std::move(texte);
    d->chemin = chemin_du_fichier(uri);
    d->utf8_sur_disque = enregistre_en_utf8(d->chemin);
    d->lignes();
    d->analyse();
    publie(uri, d.get());
    serveur.documents[uri] = std::move(d);
  }

  // Every change is read and checked before the first is applied: a
  // notification that cannot be applied whole changes nothing. The positions
  // of a change are on the text the one before it left.
  void change(json& p) const {
    document_ouvert* d = document(p);
    if (d == nullptr) return;
    struct modification {
      std::string* texte;
      bool partielle;
      long long ligne_debut, caractere_debut, ligne_fin, caractere_fin;
    };
    const std::int64_t version = version_de(p.at("textDocument"), d->version);
    json& changements = p.at("contentChanges");
    if (!changements.is_array()) throw refus_de_parametres{};
    std::vector<modification> modifications;
    for (json& c : changements) {
      modification m{&c.at("text").get_ref<std::string&>(), c.contains("range"), 0, 0, 0, 0};
      if (m.partielle) {
        const json& r = c.at("range");
        m.ligne_debut = entier(r.at("start").at("line"));
        m.caractere_debut = entier(r.at("start").at("character"));
        m.ligne_fin = entier(r.at("end").at("line"));
        m.caractere_fin = entier(r.at("end").at("character"));
      }
      modifications.push_back(m);
    }
    for (const modification& m : modifications) {
      if (!m.partielle) {
        d->texte = std::move(*m.texte);
        d->lignes();
        continue;
      }
      std::size_t a = d->decalage(m.ligne_debut, m.caractere_debut);
      std::size_t b = d->decalage(m.ligne_fin, m.caractere_fin);
      if (b < a) std::swap(a, b);
      d->remplace(a, b, *m.texte);
    }
    d->version = version;
    d->analyse();
    publie(p.at("textDocument").at("uri").get<std::string>(), d);
  }

  void enregistre(const json& p) const {
    document_ouvert* d = document(p);
    if (d == nullptr) return;
    d->utf8_sur_disque = enregistre_en_utf8(d->chemin);
    d->analyse();
    publie(p.at("textDocument").at("uri").get<std::string>(), d);
  }

  void ferme(const json& p) const {
    const auto uri = p.at("textDocument").at("uri").get<std::string>();
    if (serveur.documents.erase(uri) == 0) return;
    publie(uri, nullptr);
#ifdef __GLIBC__
    malloc_trim(0);  // a large document's memory goes back to the system
#endif
  }

  // For each finding of the line (SURVOL_MAX at most), its code and message,
  // then the guide's section of each code, once.
  void survol(const json& p) const {
    const document_ouvert* d = document(p);
    const long long ligne = entier(p.at("position").at("line"));
    if (d == nullptr || ligne < 0 || ligne >= static_cast<long long>(d->debuts.size())) return repond(nullptr);
    std::string texte;
    std::vector<int> expliques;
    std::size_t montres = 0;
    std::size_t autres = 0;
    for (const trouvaille& t : d->trouvailles) {
      if (t.ligne != ligne) continue;
      if (montres == SURVOL_MAX) {
        ++autres;
        continue;
      }
      ++montres;
      if (!texte.empty()) texte += "\n\n---\n\n";
      texte += "**" + nom_du_code(t.code) + "** " + t.message;
      if (std::find(expliques.begin(), expliques.end(), t.code) != expliques.end()) continue;
      expliques.push_back(t.code);
      texte += "\n\n" + std::string(section_du_guide(t.code));
    }
    if (texte.empty()) return repond(nullptr);
    if (autres > 0) {
      char message[160];
      std::snprintf(message, sizeof message, "Et %d autres constats sur cette ligne : verifie_climat les donne tous."_l1,
                    static_cast<int>(autres));
      texte += "\n\n---\n\n" + en_utf8(message);
    }
    const auto l = static_cast<int>(ligne);
    repond({{"contents", {{"kind", "markdown"}, {"value", texte}}},
            {"range", {{"start", position(l, 0)}, {"end", position(l, d->longueur(static_cast<std::size_t>(l)))}}}});
  }

  void symboles(const json& p) const {
    const document_ouvert* d = document(p);
    json liste = json::array();
    if (d != nullptr)
      for (std::size_t k = 0; k < d->symboles.size(); ++k) {
        const symbole& s = d->symboles[k];
        // Each part runs to the line before the next one, the last to the end.
        int fin = d->derniere;
        if (k + 1 < d->symboles.size()) fin = std::max(s.ligne, d->symboles[k + 1].ligne - 1);
        const json tete = {{"start", position(s.ligne, 0)},
                           {"end", position(s.ligne, d->longueur(static_cast<std::size_t>(s.ligne)))}};
        liste.push_back({{"name", en_utf8(nom_du_paragraphe(s.etape))},
                         {"kind", 3},
                         {"range", {{"start", position(s.ligne, 0)},
                                    {"end", position(fin, d->longueur(static_cast<std::size_t>(fin)))}}},
                         {"selectionRange", tete}});
      }
    repond(liste);
  }

  void initialise() const {
    serveur.initialise = true;
    repond({{"capabilities",
             {{"positionEncoding", "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
              {"hoverProvider", true},
              {"documentSymbolProvider", true}}},
            {"serverInfo", {{"name", "verifie_climat"}, {"version", VERSION_TESTEUR}}}});
  }

  void execute(const std::string& methode, json& p) const {
    if (methode == "exit") {
      serveur.fini = true;
    } else if (!serveur.initialise) {
      if (methode == "initialize")
        initialise();
      else
        refuse(PAS_INITIALISE, "Le serveur attend d'abord la requête initialize."_l1);
    } else if (serveur.arret_demande) {
      refuse(REQUETE_INVALIDE, "Le serveur est arrêté (shutdown) : seul exit est attendu."_l1);
    } else if (methode == "initialize") {
      refuse(REQUETE_INVALIDE, "Le serveur est déjà initialisé."_l1);
    } else if (methode == "shutdown") {
      serveur.arret_demande = true;
      repond(nullptr);
    } else if (methode == "textDocument/didOpen") {
      ouvre(p);
    } else if (methode == "textDocument/didChange") {
      change(p);
    } else if (methode == "textDocument/didSave") {
      enregistre(p);
    } else if (methode == "textDocument/didClose") {
      ferme(p);
    } else if (methode == "textDocument/hover") {
      survol(p);
    } else if (methode == "textDocument/documentSymbol") {
      symboles(p);
    } else if (methode != "initialized") {
      // Unknown notifications are passed over; unknown requests answered.
      refuse(METHODE_INCONNUE, "Méthode inconnue de ce serveur."_l1);
    }
  }
};

serveur_lsp::serveur_lsp(std::function<void(const std::string&)> sortie) : envoie(std::move(sortie)) {}
serveur_lsp::~serveur_lsp() = default;

void serveur_lsp::traite(std::string_view corps, std::string* a_liberer) {
  const json nul;
  if (trop_profond(corps))
    return requete::envoie_erreur(*this, nul, REQUETE_INVALIDE,
                                  "Le message est imbriqué trop profondément : il est ignoré."_l1);
  json message = json::parse(corps.begin(), corps.end(), nullptr, false);
  if (a_liberer != nullptr) std::string().swap(*a_liberer);
  if (message.is_discarded())
    return requete::envoie_erreur(*this, nul, ILLISIBLE, "Le message n'est pas du JSON valide."_l1);
  if (!message.is_object())
    return requete::envoie_erreur(*this, nul, REQUETE_INVALIDE, "Le message n'est pas un objet JSON-RPC."_l1);
  const auto id = message.find("id");
  const bool a_un_id = id != message.end();
  if (a_un_id && !id->is_string() && !id->is_number_integer() && !id->is_null())
    return requete::envoie_erreur(*this, nul, REQUETE_INVALIDE, "L'identifiant de la requête n'est ni un nombre entier ni une chaîne."_l1);
  const json& identifiant = a_un_id ? *id : nul;
  const auto methode = message.find("method");
  if (methode == message.end() || !methode->is_string()) {
    // A response to the server (it sends no request) is passed over.
    if (a_un_id && (message.contains("result") || message.contains("error"))) return;
    return requete::envoie_erreur(*this, identifiant, REQUETE_INVALIDE, "Le message n'a pas de méthode."_l1);
  }
  const requete r{*this, identifiant, a_un_id, false};
  const auto parametres = message.find("params");
  json vide = json::object();
  try {
    r.execute(methode->get<std::string>(), parametres == message.end() ? vide : *parametres);
  } catch (const json::exception&) {
    r.parametres_refuses();
  } catch (const refus_de_parametres&) {
    r.parametres_refuses();
  }
  // A notification sent as a request still gets its answer.
  if (!r.repondu) r.repond(nullptr);
}

bool serveur_lsp::recoit(const char* octets, std::size_t taille) {
  if (fini) return false;
  // A body too large to keep is passed over as it comes.
  const std::size_t saute = std::min(a_ignorer, taille);
  a_ignorer -= saute;
  entree.append(octets + saute, taille - saute);
  std::size_t lu = 0;
  while (!fini) {
    if (dans_un_corps) {
      if (entree.size() - lu < corps_attendu) break;
      dans_un_corps = false;
      if (lu + corps_attendu == entree.size() && corps_attendu > (std::size_t{1} << 20)) {
        // A large body that ends the input so far: its bytes are given back
        // once parsed, before its document is analysed.
        std::string tampon;
        tampon.swap(entree);
        const std::string_view corps(tampon.data() + lu, corps_attendu);
        lu = 0;
        traite(corps, &tampon);
        continue;
      }
      const std::string_view corps(entree.data() + lu, corps_attendu);
      lu += corps_attendu;
      traite(corps, nullptr);
      if (corps_attendu > (std::size_t{1} << 20)) {
        // Messages came after it: what it took is given back at once.
        entree.erase(0, lu);
        lu = 0;
        entree.shrink_to_fit();
      }
      continue;
    }
    const std::size_t fin = entree.find("\r\n\r\n", lu);
    if (fin == std::string::npos) {
      if (entree.size() - lu > ENTETE_MAX) {
        requete::envoie_erreur(*this, json(), ILLISIBLE, "En-tête de message trop long : le cadrage est perdu."_l1);
        lu = entree.size() - 3;
      }
      break;
    }
    // The headers: Content-Length is the one that matters, whatever its case.
    long long longueur = -1;
    for (std::size_t ligne = lu; ligne < fin;) {
      const std::size_t bout = std::min(entree.find("\r\n", ligne), fin);
      const std::string_view en_tete(entree.data() + ligne, bout - ligne);
      const std::size_t deux_points = en_tete.find(':');
      std::string nom(en_tete.substr(0, std::min(deux_points, en_tete.size())));
      std::transform(nom.begin(), nom.end(), nom.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
      if (deux_points != std::string_view::npos && nom == "content-length") {
        std::string_view valeur = en_tete.substr(deux_points + 1);
        while (!valeur.empty() && (valeur.front() == ' ' || valeur.front() == '\t')) valeur.remove_prefix(1);
        while (!valeur.empty() && (valeur.back() == ' ' || valeur.back() == '\t')) valeur.remove_suffix(1);
        longueur = valeur.empty() || valeur.size() > 18 ? -1 : 0;
        for (char c : valeur) longueur = longueur < 0 || c < '0' || c > '9' ? -1 : longueur * 10 + (c - '0');
      }
      ligne = bout + 2;
    }
    lu = fin + 4;
    if (longueur < 0) {
      requete::envoie_erreur(*this, json(), ILLISIBLE, "Message sans Content-Length valide."_l1);
    } else if (static_cast<unsigned long long>(longueur) > CORPS_MAX) {
      requete::envoie_erreur(*this, json(), REQUETE_INVALIDE, "Message trop long (plus de 256 Mio) : il est ignoré."_l1);
      const std::size_t present = std::min(entree.size() - lu, static_cast<std::size_t>(longueur));
      lu += present;
      a_ignorer = static_cast<std::size_t>(longueur) - present;
    } else {
      corps_attendu = static_cast<std::size_t>(longueur);
      dans_un_corps = true;
      // Room for the whole body at once: grown by doubling, the buffer of a
      // large document would take up to twice its size.
      if (entree.capacity() < lu + corps_attendu) entree.reserve(lu + corps_attendu);
    }
  }
  entree.erase(0, lu);
  // What a large message took is given back once it is read.
  if (!dans_un_corps && entree.capacity() > (std::size_t{1} << 20) && entree.size() < entree.capacity() / 4)
    entree.shrink_to_fit();
  return !fini;
}
