// verifie_climat: the checker for editors, scripts and many files. The same
// pass as testeur_climat, without window, pause or "Erreur.log": one line per
// finding in the form editors read, "FICHIER:LIGNE:COLONNE: erreur: MESSAGE", or one
// JSON document, and an exit status that says what was found.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "services.hpp"
#include "chaines.hpp"
#include "constats.hpp"
#include "corrections.hpp"
#include "corrige_fichier.hpp"
#include "dessin.hpp"
#include "ecrit_json.hpp"
#include "modele_json.hpp"
#ifdef AVEC_LSP
#include "serveur.hpp"
#endif

namespace {

const char* const AIDE =
    "Usage : verifie_climat [OPTION]... FICHIER...\n"
    "Vérifie des fichiers de climat d'Aubrelis, dans l'ordre, et écrit un constat par ligne :\n"
    "  FICHIER:LIGNE:COLONNE: erreur: MESSAGE [CODE]   ou   ...: avertissement: MESSAGE [CODE]\n"
    "puis, sur la sortie d'erreur, le bilan de chaque fichier. « - » lit l'entrée standard.\n"
    "\n"
    "  --format=json               un seul document JSON pour toute la vérification\n"
    "  --format=climat             ce que chaque fichier contient, en un document JSON\n"
    "  --format=diff               les corrections sûres, en diff unifié (patch -p1, git apply)\n"
    "  --format=fiche              le climat que décrit un fichier, dessiné en une page HTML à imprimer\n"
    "  --corrige                   applique les corrections sûres aux fichiers, en place\n"
    "  --couleur=QUAND             auto (sur un terminal), toujours ou jamais : les couleurs et la ligne\n"
    "                              fautive soulignée sous chaque constat (jamais quand NO_COLOR est défini)\n"
    "  --avertissements-bloquants  les avertissements comptent comme des erreurs\n"_l1;
// Only a build with the language server offers it.
#ifdef AVEC_LSP
const char* const AIDE_LSP =
    "  --lsp                       serveur de langage pour les éditeurs, sur l'entrée et la sortie standard\n"_l1;
#else
const char* const AIDE_LSP = "";
#endif
const char* const AIDE_FIN =
    "  --help, --version           cet usage, la version\n"
    "\n"
    "Code de retour : 0 sans erreur, 1 si un fichier a une erreur, 2 si un fichier n'a pas pu\n"
    "être lu (les autres sont vérifiés quand même). Voir man verifie_climat, et le guide de\n"
    "l'auteur, qui explique chaque message et son code :\n"_l1;

const char* gravite(int type) { return type == ERREUR ? "erreur" : "avertissement"; }

// The one way verifie_climat gives up: a message (UTF-8) on
// standard error, then status 2.
[[noreturn]] void abandonne(const std::string& message) {
  std::fputs(message.c_str(), stderr);
  std::exit(2);
}

// Standard output that can no longer be written (a full disk, /dev/full)
// would lose findings: the run stops there.
void verifie_sortie() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return;
  const std::string raison = raison_ecriture(errno);
  abandonne(en_utf8(("verifie_climat: écriture impossible sur la sortie standard : "_l1 + raison +
                  ", les constats sont perdus\n").c_str()));
}

// The JSON report, written as it goes: what is written is sent at once, so
// that memory stays the same whatever the number of findings.
std::string json_en_cours;
ecrit_json json(json_en_cours, ecrit_json::forme::lisible);
void envoie_json() {
  std::fputs(json_en_cours.c_str(), stdout);
  json_en_cours.clear();
}

// What verifie_climat writes of each file.
enum class forme { gnu, constats_json, climat, fiche };

// Whether findings are shown in colour, each with its line and the span
// underlined, as compilers do on a terminal.
bool en_couleur = false;
// The escapes of a terminal's colours, empty without colour.
const char* couleur(const char* sequence) { return en_couleur ? sequence : ""; }
constexpr const char* GRAS = "\033[1m";
constexpr const char* ROUGE = "\033[1;31m";
constexpr const char* MAGENTA = "\033[1;35m";
constexpr const char* CYAN = "\033[1;36m";
constexpr const char* VERT = "\033[1;32m";
constexpr const char* FIN = "\033[0m";

// A finding as the GNU form writes it.
std::string ligne_gnu(const std::string& nom, const constat& c) {
  return couleur(GRAS) + nom + ":" + std::to_string(c.ligne_editeur) + ":" + std::to_string(c.colonne + 1) + ": " + couleur(FIN) +
         couleur(c.type == ERREUR ? ROUGE : MAGENTA) + gravite(c.type) + ":" + couleur(FIN) + " " +
         visible(sur_une_ligne(en_utf8(en_couleur ? message_lisible(c) : std::string(c.message)))) + " " + couleur(GRAS) + "[" + nom_du_code(c.code) + "]" + couleur(FIN);
}

// A line of the file as a terminal shows it, one column a character (a
// tab or a control character as a blank or "?"), then the span from `de` to
// `a` (characters, from 0) underlined "^~~~"; a long line is shown around
// the span.
std::string extrait(std::string_view l, int de, int a) {
  if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
  constexpr int LARGEUR = 160;
  const int montre = de > LARGEUR / 2 ? de - LARGEUR / 2 : 0;  // the first character shown
  std::string source = montre > 0 ? "\u2026" : "";
  std::string dessous(montre > 0 ? 1 : 0, ' ');
  for (int k = montre; k < montre + LARGEUR && k < static_cast<int>(l.size()); ++k) {
    const auto o = static_cast<unsigned char>(l[static_cast<std::size_t>(k)]);
    if (o == '\t') source += ' ';
    else if (o < 0x20 || o == 0x7f || (o >= 0x80 && o < 0xa0)) source += '?';
    else source += en_utf8(std::string(1, static_cast<char>(o)));
  }
  dessous += std::string(static_cast<std::size_t>(de - montre), ' ') + couleur(VERT) + "^" +
             std::string(static_cast<std::size_t>(std::clamp(a - de - 1, 0, LARGEUR)), '~') + couleur(FIN);
  return "    " + source + "\n    " + dessous + "\n";
}

// Each finding is written as soon as it is found (but for --format=climat,
// which writes what the file holds, and on a terminal, where each root comes
// with what follows from it). Its column counts characters from 1, as
// editors do. `filiations`, when given, says what each finding follows from.
struct rapport_flux final : rapport_constats {
  forme f = forme::gnu;
  std::string nom;  // as shown
  long constats = 0;
  modele_climat lu;
  const std::vector<filiation>* filiations = nullptr;
  std::string_view texte;  // the file, when its lines are shown under the findings
  std::vector<std::size_t> debuts;  // where each of its lines begins, once asked for
  bool en_arbre = false;  // GNU lines kept until the end, roots first
  std::vector<constat> gardes;
  std::vector<std::string> messages_gardes;
  modele_climat* modele() override { return f == forme::climat || f == forme::fiche ? &lu : nullptr; }
  const filiation* de(long i) const {
    return filiations != nullptr && static_cast<std::size_t>(i) < filiations->size() ? &(*filiations)[static_cast<std::size_t>(i)] : nullptr;
  }
  void rapporte(const constat& c) override {
    if (f == forme::climat || f == forme::fiche) {
      ++constats;
      return;
    }
    if (f == forme::constats_json) {
      json.objet().cle("ligne").entier(c.ligne_editeur).cle("colonne").entier(c.colonne + 1);
      json.cle("colonne_fin").entier(c.colonne_fin + 1).cle("gravite").chaine(gravite(c.type));
      json.cle("code").chaine(nom_du_code(c.code)).cle("message").chaine(sur_une_ligne(en_utf8(message_lisible(c))));
      if (const filiation* x = de(constats); x != nullptr && x->cause >= 0) json.cle("cause").entier(x->cause);
      if (const filiation* x = de(constats); x != nullptr && x->ligne_origine > 0)
        json.cle("origine").objet().cle("ligne").entier(x->ligne_origine).cle("colonne").entier(x->colonne_origine + 1).fin_objet();
      json.fin_objet();
      envoie_json();
    } else if (en_arbre) {
      gardes.push_back(c);
      messages_gardes.emplace_back(c.message);
      gardes.back().message = messages_gardes.back().c_str();
    } else {
      ecrit(c, "");
    }
    ++constats;
    if (std::ferror(stdout)) verifie_sortie();
  }
  // A finding, and in colour the line it is on with its span underlined.
  void ecrit(const constat& c, const char* retrait) {
    std::printf("%s%s\n", retrait, ligne_gnu(nom, c).c_str());
    if (!en_couleur || texte.empty()) return;
    if (debuts.empty()) {
      debuts.push_back(0);
      for (std::size_t k = 0; k < texte.size(); ++k)
        if (texte[k] == '\n') debuts.push_back(k + 1);
    }
    const auto n = static_cast<std::size_t>(c.ligne_editeur);
    if (n < 1 || n > debuts.size()) return;  // after the end of the file: no line to show
    const std::size_t fin = n < debuts.size() ? debuts[n] - 1 : texte.size();
    std::fputs(extrait(texte.substr(debuts[n - 1], fin - debuts[n - 1]), c.colonne, c.colonne_fin).c_str(), stdout);
  }
  // On a terminal: each root, then under it the place of its slip when
  // elsewhere, and the first of the findings that follow from it.
  void ecrit_l_arbre() {
    // messages_gardes may have moved since the pointers were taken.
    for (std::size_t i = 0; i < gardes.size(); ++i) gardes[i].message = messages_gardes[i].c_str();
    for (std::size_t i = 0; i < gardes.size(); ++i) {
      const filiation* x = de(static_cast<long>(i));
      if (x != nullptr && x->cause >= 0) continue;
      ecrit(gardes[i], "");
      if (x != nullptr && x->ligne_origine > 0)
        std::printf("    %s\n", (couleur(GRAS) + nom + ":" + std::to_string(x->ligne_origine) + ":" +
                                std::to_string(x->colonne_origine + 1) + ": " + couleur(FIN) + couleur(CYAN) + "note:" +
                                couleur(FIN) + " " + en_utf8(ORIGINE)).c_str());
      long suites = 0;
      for (std::size_t k = i + 1; k < gardes.size(); ++k) {
        const filiation* y = de(static_cast<long>(k));
        if (y == nullptr || y->cause != static_cast<int>(i)) continue;
        if (++suites <= SUITES_MONTREES) ecrit(gardes[k], "    ");
      }
      if (suites > SUITES_MONTREES) {
        char ligne[128];
        std::snprintf(ligne, sizeof ligne, suites - SUITES_MONTREES > 1 ? SUITES : SUITE, suites - SUITES_MONTREES);
        std::printf("    %s%s\n", POINTS, en_utf8(ligne).c_str());
      }
      if (std::ferror(stdout)) verifie_sortie();
    }
  }
  long racines() const {
    long n = 0;
    for (long i = 0; i < constats; ++i) n += de(i) == nullptr || de(i)->cause < 0;
    return n;
  }
  static constexpr long SUITES_MONTREES = 3;
  static constexpr const char* ORIGINE = "le glissement qui cause ce constat est ici"_l1;
  // After an ellipsis, which Latin-1 lacks.
  static constexpr const char* POINTS = "\u2026";
  static constexpr const char* SUITES = " et %ld constats qui en découlent"_l1;
  static constexpr const char* SUITE = " et %ld constat qui en découle"_l1;
};

// A file whose roots are looked for: a regular file small enough.
bool petit_fichier(std::FILE* f) {
  struct stat s {};
  return fstat(fileno(f), &s) == 0 && S_ISREG(s.st_mode) && static_cast<std::size_t>(s.st_size) <= FILIATIONS_OCTETS_MAX;
}

// The bytes of an open file, to its end; false on a read error.
bool lit_tout(std::FILE* f, std::string& octets) {
  char bloc[1 << 16];
  std::size_t n = 0;
  while ((n = std::fread(bloc, 1, sizeof bloc, f)) > 0) octets.append(bloc, n);
  return !std::ferror(f);
}

struct bilan {
  bool lisible = true;
  int erreurs = 0;
  int avertissements = 0;
};

// Checks one file, its findings written on the way, and writes its summary.
bilan verifie(const char* nom, forme sorte) {
  bilan b;
  // A name that is not UTF-8 keeps its bytes, escaped: re-read as Latin-1
  // it could look like another file's name.
  const std::string nom_utf8 = octets_echappes(nom);
  rapport_flux rapport;
  rapport.f = sorte;
  rapport.nom = visible(nom_utf8);
  if (sorte != forme::gnu && sorte != forme::fiche) {
    json.objet().cle("fichier").chaine(nom_utf8);
    if (sorte == forme::constats_json) json.cle("constats").tableau();
    envoie_json();
  }
  const bool entree = std::strcmp(nom, "-") == 0;
  std::FILE* f = entree ? stdin : std::fopen(nom, "r");
  std::string raison;
  long racines = -1;  // on a terminal, the findings that follow from no other
  bool en_utf8_sur_disque = false;
  if (f == nullptr) {
    b.lisible = false;
    raison = raison_lecture(errno);
    raison = en_utf8(raison);
  } else if ((sorte == forme::constats_json || sorte == forme::gnu) && petit_fichier(f)) {
    // What each finding follows from needs the whole text, which the fixes
    // read again with their changes, and so do the lines shown under the
    // findings and knowing a file saved in UTF-8: the file is read first. A
    // longer file, or one whose size is not known, is checked as it is read,
    // in the same memory whatever its size.
    std::string octets;
    if (lit_tout(f, octets)) {
      const bool arbre = sorte == forme::gnu && isatty(1);
      const std::vector<filiation> filiations_du_texte =
          sorte == forme::constats_json || arbre ? filiations(octets) : std::vector<filiation>();
      rapport.filiations = &filiations_du_texte;
      rapport.en_arbre = arbre;
      rapport.texte = octets;
      en_utf8_sur_disque = sorte == forme::gnu && !reencode_en_latin1(octets).empty();
      const compteurs c = verifie_octets(octets.data(), octets.size(), rapport);
      b.erreurs = c.erreurs;
      b.avertissements = c.avertissements;
      if (rapport.en_arbre) {
        rapport.ecrit_l_arbre();
        racines = rapport.racines();
      }
      rapport.filiations = nullptr;
      rapport.texte = {};
      rapport.debuts.clear();
    } else {
      b.lisible = false;
      raison = "erreur de lecture";
    }
    if (!entree) std::fclose(f);
  } else {
    moteur_principal(f, &b.erreurs, &b.avertissements, rapport);
    if (std::ferror(f)) {
      b.lisible = false;
      raison = "erreur de lecture";
    }
    if (!entree) std::fclose(f);
  }
  if (sorte == forme::constats_json) {
    json.fin_tableau().cle("lisible").booleen(b.lisible);
    if (!b.lisible) json.cle("raison").chaine(raison);
    json.cle("erreurs").entier(b.erreurs).cle("avertissements").entier(b.avertissements).fin_objet();
    envoie_json();
    return b;
  }
  if (sorte == forme::climat) {
    json.cle("lisible").booleen(b.lisible);
    if (!b.lisible) json.cle("raison").chaine(raison);
    if (b.lisible) ecrit_modele(json, rapport.lu);
    json.fin_objet();
    envoie_json();
    return b;
  }
  // The sheet is made to be shared: it names the file, not the folders
  // it sits in.
  if (sorte == forme::fiche && b.lisible)
    std::fputs(fiche_html(rapport.lu, std::string_view(nom_utf8).substr(nom_utf8.rfind('/') + 1), b.erreurs).c_str(), stdout);
  // Everything written so far reaches the output before the summary, so
  // that a shared pipe never has a summary inside a finding.
  verifie_sortie();
  if (en_utf8_sur_disque)
    std::fprintf(stderr, en_utf8("%s : ce fichier est enregistré en UTF-8, la simulation lira mal chaque lettre accentuée ; "
                                 "verifie_climat --corrige le convertit en Latin-1\n"_l1).c_str(), rapport.nom.c_str());
  if (!b.lisible && rapport.constats == 0)
    std::fprintf(stderr, "%s: illisible : %s\n", rapport.nom.c_str(), raison.c_str());
  else if (racines >= 0 && racines < rapport.constats)
    std::fprintf(stderr, en_utf8("%s : %d erreur%s, %d avertissement%s, qui découlent de %ld cause%s à corriger d'abord\n"_l1).c_str(),
                 rapport.nom.c_str(), b.erreurs, b.erreurs > 1 ? "s" : "", b.avertissements, b.avertissements > 1 ? "s" : "",
                 racines, racines > 1 ? "s" : "");
  else
    std::fprintf(stderr, "%s : %d erreur%s, %d avertissement%s\n", rapport.nom.c_str(), b.erreurs,
                 b.erreurs > 1 ? "s" : "", b.avertissements, b.avertissements > 1 ? "s" : "");
  return b;
}

#ifdef AVEC_LSP
// The language server, until the client says "exit" or the input ends. A
// client that can no longer be written to is gone: the server ends with it.
int serveur_de_langage() {
  std::signal(SIGPIPE, SIG_IGN);
  bool client_parti = false;
  serveur_lsp serveur([&](const std::string& message) {
    if (!client_parti)
      client_parti = std::fwrite(message.data(), 1, message.size(), stdout) != message.size() || std::fflush(stdout) != 0;
  });
  static char bloc[1 << 16];
  for (;;) {
    const ssize_t n = read(0, bloc, sizeof bloc);
    if (n <= 0 || !serveur.recoit(bloc, static_cast<std::size_t>(n)) || client_parti) break;
  }
  return client_parti ? 1 : serveur.statut();
}
#endif


}  // namespace

int main(int argc, char** argv) {
  const int fermes = ouvre_descripteurs_standard();
  std::signal(SIGXFSZ, SIG_IGN);  // a file size limit is a failed write, reported as such
  forme f = forme::gnu;
  bool en_diff = false;
  bool en_place = false;
  bool avertissements_bloquants = false;
  std::vector<const char*> noms;
  bool options = true;
  bool entree_lue = false;
  bool lsp = false;
  bool stdio = false;
  std::string quand_couleur = "auto";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    // "-" alone is standard input, a file like any other.
    if (!options || a.size() < 2 || a[0] != '-') {
      if (a == "-" && entree_lue) abandonne(en_utf8("verifie_climat: « - » est donné deux fois, l'entrée standard ne se lit qu'une fois\n"_l1));
      entree_lue = entree_lue || a == "-";
      noms.push_back(argv[i]);
    } else if (a == "--") {
      options = false;
    } else if (a == "--help") {
      std::printf("%s%s%s%s\n", en_utf8(AIDE).c_str(), en_utf8(AIDE_LSP).c_str(), en_utf8(AIDE_FIN).c_str(),
                  GUIDE_CLIMAT_CHEMIN);
      verifie_sortie();
      return 0;
    } else if (a == "--version") {
      std::printf("verifie_climat (Aubrelis) %s\n", VERSION_TESTEUR);
      verifie_sortie();
      return 0;
    } else if (a == "--format=json" || a == "--format=gnu" || a == "--format=diff" || a == "--format=climat" ||
               a == "--format=fiche") {
      f = a == "--format=json"     ? forme::constats_json
          : a == "--format=climat" ? forme::climat
          : a == "--format=fiche"  ? forme::fiche
                                   : forme::gnu;
      en_diff = a == "--format=diff";
    } else if (a == "--corrige") {
      en_place = true;
    } else if (a == "--lsp") {
      lsp = true;
    } else if (a == "--stdio") {
      // Clients of the protocol add it, before or after --lsp, to say how
      // they talk; it means nothing without --lsp.
      stdio = true;
    } else if (a == "--avertissements-bloquants") {
      avertissements_bloquants = true;
    } else if (a == "--couleur=auto" || a == "--couleur=toujours" || a == "--couleur=jamais") {
      quand_couleur = a.substr(10);
    } else {
      abandonne("verifie_climat: option inconnue : " + nom_visible(a.c_str()) + " (voir --help)\n");
    }
  }
  if (stdio && !lsp) abandonne("verifie_climat: option inconnue : " + nom_visible("--stdio") + " (voir --help)\n");
  if (lsp) {
#ifdef AVEC_LSP
    if (!noms.empty()) abandonne(en_utf8("verifie_climat: --lsp ne prend pas de fichier, l'éditeur envoie ses documents\n"_l1));
    return serveur_de_langage();
#else
    abandonne(en_utf8("verifie_climat: ce programme a été construit sans le serveur de langage (--lsp)\n"_l1));
#endif
  }
  if (noms.empty()) abandonne(en_utf8("verifie_climat: aucun fichier à vérifier (voir --help)\n"_l1));
  // Writing the file and printing its diff, or its findings, are two jobs:
  // which one was meant is not sure.
  if (en_place && (en_diff || f != forme::gnu))
    abandonne(en_utf8("verifie_climat: --corrige écrit les fichiers, il ne va pas avec --format=diff ni --format=json\n"_l1));
  // One page draws one climate.
  if (f == forme::fiche && noms.size() > 1)
    abandonne(en_utf8("verifie_climat: --format=fiche dessine un seul fichier à la fois\n"_l1));
  if ((fermes & 2) != 0) abandonne(en_utf8("verifie_climat: la sortie standard est fermée, les constats seraient perdus\n"_l1));

  // Colour on a terminal that shows it, or when asked; never when NO_COLOR
  // says no. Emacs's compilation buffer is a terminal that shows escapes as
  // text (it says INSIDE_EMACS), and so is TERM=dumb.
  const char* pas_de_couleur = std::getenv("NO_COLOR");
  const char* terminal = std::getenv("TERM");
  const bool terminal_en_couleur = isatty(1) && std::getenv("INSIDE_EMACS") == nullptr &&
                                   (terminal == nullptr || std::strcmp(terminal, "dumb") != 0);
  en_couleur = f == forme::gnu && (pas_de_couleur == nullptr || *pas_de_couleur == '\0') &&
               (quand_couleur == "toujours" || (quand_couleur == "auto" && terminal_en_couleur));
  int statut = 0;
  if (en_diff || en_place) {
    // Each file on its own: the worst status wins.
    for (const char* nom : noms) statut = std::max(statut, corrige_fichier(nom, en_place, avertissements_bloquants));
    return statut;
  }
  int erreurs = 0;
  int avertissements = 0;
  if (f == forme::constats_json || f == forme::climat) {
    json.objet().cle("fichiers").tableau();
    envoie_json();
  }
  for (std::size_t i = 0; i < noms.size(); ++i) {
    const bilan b = verifie(noms[i], f);
    erreurs += b.erreurs;
    avertissements += b.avertissements;
    if (!b.lisible)
      statut = 2;
    else if ((b.erreurs > 0 || (avertissements_bloquants && b.avertissements > 0)) && statut == 0)
      statut = 1;
  }
  if (f == forme::constats_json) json.fin_tableau().cle("erreurs").entier(erreurs).cle("avertissements").entier(avertissements).fin_objet();
  if (f == forme::climat) json.fin_tableau().fin_objet();
  if (f == forme::constats_json || f == forme::climat) {
    envoie_json();
    std::putchar('\n');
  }
  verifie_sortie();
  return statut;
}
