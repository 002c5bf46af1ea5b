// What the tests share: files and folders, the pass on bytes in memory, the
// reference climate file and its patches, and the real program in a process.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A fresh folder, removed when the test process ends.
std::string dossier_temporaire();
std::string lit_fichier(const std::string& chemin);
void ecrit_fichier(const std::string& chemin, const std::string& contenu, unsigned mode = 0644);
// The pieces of `texte` each ended by `fin` (a last piece without it is dropped).
std::vector<std::string> decoupe(const std::string& texte, char fin);
std::string latin1(const std::string& utf8);
std::string source(const std::string& chemin);  // a file of the repository
// How many times `motif` occurs in `texte`.
std::size_t compte(const std::string& texte, const std::string& motif);

// The pass on bytes: every finding as "E12/401:0-5" or "A12/102:9-9" (kind,
// line, code and the columns it is about on the editor's line), in order,
// joined by blanks.
std::string constats(const std::string& octets);

// The reference climate file (valid, Latin-1) with patches applied in order,
// each on the file as the earlier ones left it: 'R' replaces line `ligne`,
// 'I' inserts before it, 'S' removes it. Texts are UTF-8, written as Latin-1.
struct retouche {
  char sorte;
  int ligne;
  std::string texte;
};
std::string reference_avec(const std::vector<retouche>& retouches);

// The real program, under a pseudo-terminal or with its output in a pipe and
// its input empty; under a terminal every pause ("...") is answered with a
// line feed. DISPLAY is removed and a stand-in xterm that fails is first on
// PATH: no run can open a window.
struct lancement {
  std::vector<std::string> arguments;  // the program first; a bare name is looked up in PATH
  std::string dossier;                 // working directory
  bool terminal = true;
  std::vector<std::string> environnement;  // "NOM=valeur" sets, "NOM" removes
};
struct execution {
  std::string sortie;
  int statut = -1;         // -1 when killed after 60 seconds
  bool attendait = false;  // under a terminal, it waited at a pause for its key
};
execution lance(const lancement& l);
extern const std::string PROGRAMME;  // the program under test

// The fields of a row of a table of cases, separated by " ; ".
std::vector<std::string> champs(const std::string& ligne);
// A field as written in a table: "{{289 }}" is 289 blanks, "\xE9" a byte,
// "\n", "\r" and "\\" what they are in C; any other backslash stays.
std::string deplie(std::string texte);
// The rows of the section of tests/donnees/`fichier` whose head begins with
// "== `section`", each as its unfolded fields; remarks (#) are left out.
std::vector<std::vector<std::string>> cas(const std::string& fichier, const std::string& section);

// An expected output kept in a data file of tests/donnees, in sections
// "== name"; "@D@" stands for `variable`, "@G@" for the installed guide's path.
std::string attendu(const std::string& fichier, const std::string& section, const std::string& variable = "");
