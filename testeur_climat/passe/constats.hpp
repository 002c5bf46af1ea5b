// What the rest of the program needs of the pass: a finding, the report
// that receives the findings (and, when it asks, the model of what the file
// holds), the table of the file's paragraphs, and the pass's entry points.
// How the pass reads and cuts the line in hand is its own (passe.hpp).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "modele.hpp"

inline constexpr int ERREUR = 1;
inline constexpr int AVERTISSEMENT = 2;

// A message of the pass: its code, which names the kind of mistake in
// editors and in the authors' guide ("CL" and the number; a code is never
// given to another kind of mistake), and its Latin-1 text, a printf format
// for the messages composed with a number, a character or a name.
struct message {
  int code;
  const char* texte;
};

// A message's code as it is shown: "CL" and its three digits.
std::string nom_du_code(int code);

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

// The message of a finding for a reader who cannot see blanks (Latin-1):
// a character the clock does not know, when it is a blank or a control
// character, named and followed by its code point in brackets ("Le
// caractère espace (U+0020) n'est pas..."); every other message as the
// pass wrote it. The console and
// Erreur.log keep the pass's own text.
std::string message_lisible(const constat& c);

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

// What a number of the file names: an entry of one of the three lists, a
// season, a moment of the clock.
enum class genre_lien : unsigned char { temperature, vent, precipitation, saison, moment };

// A paragraph of a climate file, as the pass knows it: once, here.
struct paragraphe_climat {
  etape_passe etape;
  const char* tete;       // the keyword of its head line (Latin-1), also its name in an outline
  int chapitre;           // the authors' guide's chapter that describes it ("## N.")
  bool numerote;          // its entries bear numbers that `liste` names
  genre_lien liste;
  int saut_avant_entrees; // the first line after its head that may be an entry, counted from it
                          // (a list's probability line is none; the clock's total line is told
                          // from its moments by its first character)
  int entrees_fixes;      // 0, or how many lines after the head are its entries whatever they hold
  int avant_numero;       // the characters before an entry's number (the "S" of "S1=")
  // What still tells its head however mistyped: the start of its keyword
  // without accents, case or blanks; null when nothing but the keyword
  // itself does.
  const char* debut_reconnu;
  message tete_absente;   // the line taken as its head lacks its keyword
  message fin_avant_tete; // the file ends before its head
  // The file ends inside it, before the line that ends it (none for the
  // clock, whose moments end with the file).
  message fin_avant_fermeture;
};
// The paragraphs after the header, in the order of the file.
extern const paragraphe_climat PARAGRAPHES[7];
// The paragraph of a step; null for the header and the end.
const paragraphe_climat* paragraphe_de(etape_passe etape);
// The name of a part of the file in an editor's outline: its head keyword,
// En-tête for the header, in Latin-1.
const char* nom_du_paragraphe(etape_passe etape);
// What the pass read of a paragraph, in the model.
inline paragraphe_lu& paragraphe_du_modele(modele_climat& m, etape_passe etape) {
  return m.paragraphes[static_cast<int>(etape) - static_cast<int>(etape_passe::temperatures)];
}
inline const paragraphe_lu& paragraphe_du_modele(const modele_climat& m, etape_passe etape) {
  return m.paragraphes[static_cast<int>(etape) - static_cast<int>(etape_passe::temperatures)];
}

// The sun's events that a moment of the clock may name between two "$", and
// what each one is, in Latin-1, in the order of the day.
struct variable_horloge {
  const char* nom;
  const char* evenement;
};
extern const variable_horloge VARIABLES_HORLOGE[8];

// What the pass expects at a place of a line, for an editor's completion: a
// number of a list, or the name of a clock variable. [colonne, ...) is where
// it would stand; `colonne_lettre` is where the letter that announced it
// stands ("t" of "t3"), or -1.
enum class sorte_attendue : unsigned char { temperature, vent, precipitation, variable };
struct attente {
  sorte_attendue sorte;
  int colonne;
  int colonne_lettre = -1;
};

// Where the findings go: the pass hands each one over and knows nothing of
// where it ends up (the console and "Erreur.log", an editor, memory). It
// also says where each part of the file begins, for the editors' outline.
struct rapport_constats {
  virtual void rapporte(const constat& c) = 0;
  // The header (at line 1) or a paragraph, from the line taken as its head.
  virtual void paragraphe(etape_passe, int /*ligne_editeur*/) {}
  // The model the pass fills as it reads, for a report that wants one: the
  // other reports cost the pass nothing.
  virtual modele_climat* modele() { return nullptr; }
  // A fingerprint of everything the rest of the pass depends on, taken
  // before each read that begins a line (its line, line feeds counted):
  // two runs over texts that differ only before that line go on alike from
  // there when their fingerprints are equal. Only for a report that asks.
  virtual bool veut_les_empreintes() const { return false; }
  virtual void empreinte(int /*ligne_editeur*/, unsigned long long /*empreinte*/) {}
  // What the pass expects on this line (the editor's, from 1), at each place
  // it looks for a number or a name; 0: none asked.
  virtual int ligne_des_attentes() const { return 0; }
  virtual void attend(const attente&) {}

 protected:
  ~rapport_constats() = default;
};

// One forward pass over the climate file: every finding goes to the report
// and into the counter of its kind (which only grow).
void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport);

// The pass on bytes in memory, for the tests and the fuzzer; returns the
// counters as the pass left them.
struct compteurs {
  int erreurs = 0;
  int avertissements = 0;
};
compteurs verifie_octets(const char* octets, std::size_t taille, rapport_constats& rapport);
