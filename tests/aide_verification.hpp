// Runs the checker on bytes in memory, in a private working directory, and
// collects every finding as it is reported.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct constat {
  int type;
  int ligne;
  std::string message;  // UTF-8, for readable failures
  bool operator==(const constat&) const = default;
};
void PrintTo(const constat& c, std::ostream* os);

struct resultat_verification {
  std::vector<constat> constats;
  int erreurs = 0;
  int avertissements = 0;
  std::string console;  // what the pass printed, as bytes
  std::string journal;  // "Erreur.log" after the pass, as bytes
};

// `contenu` is written in UTF-8 and checked as Latin-1 bytes.
resultat_verification verifie(const std::string& contenu);
// The same on bytes taken as they are.
resultat_verification verifie_octets(const std::string& octets);

std::string vers_latin1(const std::string& utf8);
std::string vers_utf8(const std::string& latin1);

constat E(int ligne, const std::string& message);
constat A(int ligne, const std::string& message);

// A private working directory for the life of the test process.
const std::string& dossier_prive();

std::string lit_fichier(const std::string& chemin);
void ecrit_fichier(const std::string& chemin, const std::string& contenu);

// For death tests: the pauses read an empty input, and what the program
// prints goes where the death test can match it.
void sans_terminal();

// The valid reference climate file, line by line (UTF-8), and patches of it.
const std::vector<std::string>& reference();
struct retouche {
  enum sorte_retouche { remplace, insere, supprime } sorte;
  int ligne;  // 1-based, in the file as the earlier patches left it
  std::string texte;
};
retouche R(int ligne, const std::string& texte);  // replaces the line
retouche I(int ligne, const std::string& texte);  // inserts before the line
retouche S(int ligne);                            // removes the line
std::string joint(const std::vector<std::string>& lignes);
// The first `lignes` lines of the reference, as a file that ends there.
std::string debut_reference(int lignes);
// The pieces of `texte` each ended by `fin` (a last piece without it is dropped).
std::vector<std::string> decoupe(const std::string& texte, char fin);
std::string reference_avec(const std::vector<retouche>& retouches);

// One table row: patches of the reference and every finding they draw.
struct cas_verification {
  const char* nom;
  std::vector<retouche> retouches;
  std::vector<constat> attendus;
};
void verifie_cas(const std::vector<cas_verification>& cas);

// One rule line added to the causes of the reference, before its closing
// line (so on line 52), and every finding it draws, all on that line.
struct cas_regle {
  const char* ligne;
  std::vector<std::pair<int, std::string>> constats;  // kind and message
};
void verifie_regles(const std::vector<cas_regle>& cas);
