// verifie_climat: the checker for editors, scripts and many files. The same
// pass as testeur_climat, without window, pause or "Erreur.log": one line per
// finding in the form editors read, "FICHIER:LIGNE: erreur: MESSAGE", or one
// JSON document, and an exit status that says what was found.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/texte.hpp"
#include "testeur_climat/passe.hpp"

namespace {

const char* const AIDE =
    "Usage : verifie_climat [OPTION]... FICHIER...\n"
    "Vérifie des fichiers de climat d'Aubrelis, dans l'ordre, et écrit un constat par ligne :\n"
    "  FICHIER:LIGNE: erreur: MESSAGE   ou   FICHIER:LIGNE: avertissement: MESSAGE\n"
    "puis, sur la sortie d'erreur, le bilan de chaque fichier. « - » lit l'entrée standard.\n"
    "\n"
    "  --format=json               un seul document JSON pour toute la vérification\n"
    "  --avertissements-bloquants  les avertissements comptent comme des erreurs\n"
    "  --help, --version           cet usage, la version\n"
    "\n"
    "Code de retour : 0 sans erreur, 1 si un fichier a une erreur, 2 si un fichier n'a pas pu\n"
    "être lu (les autres sont vérifiés quand même). Voir man verifie_climat.\n"_l1;

struct constat_lu {
  int type;
  int ligne;
  std::string message;  // UTF-8, on one line
};

struct fichier_verifie {
  std::string nom;  // UTF-8
  bool lisible = true;
  std::string raison;
  int erreurs = 0;
  int avertissements = 0;
  std::vector<constat_lu> constats;
};

std::string en_utf8(const char* latin1) {
  std::string r;
  for (const auto* p = reinterpret_cast<const unsigned char*>(latin1); *p != 0; ++p) {
    if (*p < 0x80) {
      r += static_cast<char>(*p);
    } else {
      r += static_cast<char>(0xC0 | (*p >> 6));
      r += static_cast<char>(0x80 | (*p & 0x3F));
    }
  }
  return r;
}

// A message on one line: its line feeds, with the blanks around them, become
// one blank; a final one goes.
std::string sur_une_ligne(const std::string& message) {
  std::string r;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] != '\n') {
      r += message[i];
      continue;
    }
    while (!r.empty() && r.back() == ' ') r.pop_back();
    while (i + 1 < message.size() && message[i + 1] == ' ') ++i;
    if (i + 1 < message.size()) r += ' ';
  }
  return r;
}

struct rapport_memoire final : rapport_constats {
  std::vector<constat_lu>* constats;
  explicit rapport_memoire(std::vector<constat_lu>* c) : constats(c) {}
  void constat(int type, int ligne, const char* message) override {
    constats->push_back({type, ligne, sur_une_ligne(en_utf8(message))});
  }
};

fichier_verifie verifie(const char* nom) {
  fichier_verifie v;
  v.nom = utf8_valide(nom) ? nom : en_utf8(nom);
  const bool entree = std::strcmp(nom, "-") == 0;
  std::FILE* f = entree ? stdin : std::fopen(nom, "r");
  if (f == nullptr) {
    v.lisible = false;
    v.raison = errno == ENOENT ? "fichier introuvable" : errno == EACCES ? "permission refusée"_l1 : std::strerror(errno);
    v.raison = en_utf8(v.raison.c_str());
    return v;
  }
  rapport_memoire rapport(&v.constats);
  moteur_principal(f, &v.erreurs, &v.avertissements, rapport);
  if (std::ferror(f)) {
    v.lisible = false;
    v.raison = "erreur de lecture";
  }
  if (!entree) std::fclose(f);
  return v;
}

// A text as the terminal shows it: control characters in caret notation.
std::string visible(const std::string& texte) {
  std::string r;
  for (char c : texte) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
      r += '^';
      r += static_cast<char>(c + 0x40);
    } else {
      r += c;
    }
  }
  return r;
}

std::string json(const std::string& texte) {
  std::string r = "\"";
  for (char c : texte) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      r += '\\';
      r += c;
    } else if (u < 0x20) {
      char echappe[8];
      std::snprintf(echappe, sizeof echappe, "\\u%04x", u);
      r += echappe;
    } else {
      r += c;
    }
  }
  return r + "\"";
}

const char* gravite(int type) { return type == ERREUR ? "erreur" : "avertissement"; }

void ecrit_gnu(const fichier_verifie& v) {
  const std::string nom = visible(v.nom);
  if (!v.lisible && v.constats.empty()) {
    std::fprintf(stderr, "%s: illisible : %s\n", nom.c_str(), v.raison.c_str());
    return;
  }
  for (const constat_lu& c : v.constats)
    std::printf("%s:%d: %s: %s\n", nom.c_str(), c.ligne, gravite(c.type), visible(c.message).c_str());
  std::fprintf(stderr, "%s : %d erreur%s, %d avertissement%s\n", nom.c_str(), v.erreurs,
               v.erreurs > 1 ? "s" : "", v.avertissements, v.avertissements > 1 ? "s" : "");
}

void ecrit_json(const std::vector<fichier_verifie>& fichiers) {
  int erreurs = 0;
  int avertissements = 0;
  std::string doc = "{\"fichiers\": [";
  for (std::size_t i = 0; i < fichiers.size(); ++i) {
    const fichier_verifie& v = fichiers[i];
    doc += (i > 0 ? ", " : "") + std::string("{\"fichier\": ") + json(v.nom) + ", \"lisible\": " +
           (v.lisible ? "true" : "false");
    if (!v.lisible) doc += ", \"raison\": " + json(v.raison);
    doc += ", \"erreurs\": " + std::to_string(v.erreurs) + ", \"avertissements\": " +
           std::to_string(v.avertissements) + ", \"constats\": [";
    for (std::size_t j = 0; j < v.constats.size(); ++j) {
      const constat_lu& c = v.constats[j];
      doc += (j > 0 ? ", " : "") + std::string("{\"ligne\": ") + std::to_string(c.ligne) + ", \"gravite\": \"" +
             gravite(c.type) + "\", \"message\": " + json(c.message) + "}";
    }
    doc += "]}";
    erreurs += v.erreurs;
    avertissements += v.avertissements;
  }
  doc += "], \"erreurs\": " + std::to_string(erreurs) + ", \"avertissements\": " + std::to_string(avertissements) + "}\n";
  std::fputs(doc.c_str(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  bool en_json = false;
  bool avertissements_bloquants = false;
  std::vector<const char*> noms;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    // "-" alone is standard input, a file like any other.
    if (!options || a.size() < 2 || a[0] != '-') {
      noms.push_back(argv[i]);
    } else if (a == "--") {
      options = false;
    } else if (a == "--help") {
      std::fputs(en_utf8(AIDE).c_str(), stdout);
      return 0;
    } else if (a == "--version") {
      std::printf("verifie_climat (Aubrelis) %s\n", VERSION_TESTEUR);
      return 0;
    } else if (a == "--format=json" || a == "--format=gnu") {
      en_json = a == "--format=json";
    } else if (a == "--avertissements-bloquants") {
      avertissements_bloquants = true;
    } else {
      std::fprintf(stderr, "verifie_climat: option inconnue : %s (voir --help)\n", visible(en_utf8(a.c_str())).c_str());
      return 2;
    }
  }
  if (noms.empty()) {
    std::fputs(en_utf8("verifie_climat: aucun fichier à vérifier (voir --help)\n"_l1).c_str(), stderr);
    return 2;
  }

  int statut = 0;
  std::vector<fichier_verifie> fichiers;
  for (const char* nom : noms) {
    fichiers.push_back(verifie(nom));
    const fichier_verifie& v = fichiers.back();
    if (!v.lisible)
      statut = 2;
    else if ((v.erreurs > 0 || (avertissements_bloquants && v.avertissements > 0)) && statut == 0)
      statut = 1;
    if (!en_json) ecrit_gnu(v);
  }
  if (en_json) ecrit_json(fichiers);
  return statut;
}
