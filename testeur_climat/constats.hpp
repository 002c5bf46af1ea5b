// What the front ends of the checker need of it: a finding, the report that
// receives the findings, and the pass's entry points. How the pass reads and
// cuts the line in hand is its own (passe.hpp).
#pragma once

#include <cstddef>
#include <cstdio>

inline constexpr int ERREUR = 1;
inline constexpr int AVERTISSEMENT = 2;

// One finding as the pass hands it over.
struct constat {
  int type;           // ERREUR or AVERTISSEMENT
  int ligne;          // num_ligne, the checker's count of reads
  int ligne_editeur;  // the line an editor shows: line feeds counted
  int code;
  const char* message;
  // What the finding is about on the editor's line, in characters from 0
  // (a byte is a character in Latin-1): [colonne, colonne_fin). The whole
  // line without its line break when it is about the line itself; an empty
  // span at the place of something missing.
  int colonne = 0;
  int colonne_fin = 0;
  // Where the piece read began on its line: above 0 for the pieces after the
  // first of a line longer than the reads take, which the pass took as lines
  // of their own.
  int colonne_morceau = 0;
  // The line of another part of the file that causes the finding (the list
  // a number should be in), as ligne_editeur counts; 0 when none.
  int ligne_liee = 0;
};

enum class etape_passe : int;

// What a number of the file names, for an editor's hover and jumps: an entry
// of one of the three lists, a season, a moment of the clock. A rule line's
// engine (4, 5 or 6) travels the same way, over the rule's body.
enum class genre_lien : unsigned char { temperature, vent, precipitation, saison, moment, moteur };
struct lien {
  genre_lien genre;
  int numero;
  bool definition;  // the entry's own number, on the line that defines it
  int ligne_editeur;
  int colonne;  // [colonne, colonne_fin), characters from 0 as for a finding
  int colonne_fin;
};

// The sun's events that a moment of the clock may name between two "$", and
// what each one is, in Latin-1.
struct variable_horloge {
  const char* nom;
  const char* evenement;
};
extern const variable_horloge VARIABLES_HORLOGE[8];

// Where the findings go: the pass hands each one over and knows nothing of
// where it ends up (the console and "Erreur.log", an editor, memory). It
// also says where each part of the file begins, for the editors' outline.
struct rapport_constats {
  virtual void rapporte(const constat& c) = 0;
  // The header (at line 1) or a paragraph, from the line taken as its head.
  virtual void paragraphe(etape_passe, int /*ligne_editeur*/) {}
  // The numbers of the file and what they name, only for a report that asks
  // for them (an editor's): the other reports cost the pass nothing.
  virtual bool veut_les_liens() const { return false; }
  virtual void relie(const lien&) {}
  // A fingerprint of everything the rest of the pass depends on, taken
  // before each read that begins a line (its line, line feeds counted):
  // two runs over texts that differ only before that line go on alike from
  // there when their fingerprints are equal. Only for a report that asks.
  virtual bool veut_les_empreintes() const { return false; }
  virtual void empreinte(int /*ligne_editeur*/, unsigned long long /*empreinte*/) {}

 protected:
  ~rapport_constats() = default;
};

// Which element of the layout of a climate file the pass examines: a header
// line (1 to 6, its number), then each paragraph in the order of the file.
enum class etape_passe : int {
  entete = 1,
  temperatures = 7,
  vents,
  liste_precipitations,
  saisons,
  temperatures_saison,
  causes,
  horloge,
  fin,  // everything examined: the rest is only read and counted
};

// One forward pass over the climate file: every finding goes to the report
// and into the counter of its kind (which only grow).
void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport);

// The name of a part of the file in an editor's outline: its head keyword,
// En-tête for the header, in Latin-1.
const char* nom_du_paragraphe(etape_passe etape);

// The pass on bytes in memory, for the tests and the fuzzer; returns the
// counters as the pass left them.
struct compteurs {
  int erreurs = 0;
  int avertissements = 0;
};
compteurs verifie_octets(const char* octets, std::size_t taille, rapport_constats& rapport);
