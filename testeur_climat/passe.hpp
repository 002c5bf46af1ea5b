// The single forward pass over a climate file and the state its paragraph
// checks share.
#pragma once

#include <cstdio>

inline constexpr int ERREUR = 1;
inline constexpr int AVERTISSEMENT = 2;

// Where the findings go: the pass hands each one over, as a kind, a line
// number and a Latin-1 message, and knows nothing of where it ends up (the
// console and "Erreur.log", an editor's list, memory).
struct rapport_constats {
  virtual void constat(int type, int ligne, const char* message) = 0;

 protected:
  ~rapport_constats() = default;
};

struct etat_passe {
  std::FILE* fichier;
  int* erreurs;
  int* avertissements;
  rapport_constats* rapport;

  char tampon_ligne[255]{};  // the line in hand, cut in place; empty before the first read
  char tampon_message[255]{};
  int num_ligne = 0;  // reads made so far, the one at the end of the file included
  int etape = 1;

  int liste_precipitations[100]{};   // slot 0: count, then the numbers in file order
  int precip_sans_condition[100]{};  // by precipitation number 0..99
  // Listed numbers outside 0..99 cannot have a slot above: their "rule
  // without conditions" flag is kept by list slot instead.
  int sans_condition_par_entree[100]{};
  int nb_temperatures = 0;
  int nb_vents = 0;
  float pourcentage_precedent = 0;

  bool arret = false;  // the pass ends: end of the file inside a paragraph, or a read error
  bool illisible = false;  // a read failed with an error
  int lignes_lues = 0;     // reads that found a line, counted up to the six header lines
};

void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport);

// Counts a finding in its counter and hands it to the report.
int Erreur_aff(rapport_constats& rapport, int* compteur, int type, int ligne, const char* message);

// The reading rule: the next line into tampon_ligne, and num_ligne advances
// even when the file has ended. Returns whether a line was read; a read error
// is reported and stops the pass.
bool lit_ligne(etat_passe& e);
// The same, except that a read that meets the end of the file is not counted.
bool lit_ligne_sans_compter_la_fin(etat_passe& e);

// Reports on the line in hand, through the counter of the kind.
void signale(etat_passe& e, int type, const char* message);
// The same with a message composed in tampon_message.
[[gnu::format(printf, 3, 4)]] void signale_f(etat_passe& e, int type, const char* format, ...);

// Numbers read as atoi and atof read them, without their undefined cases:
// an integer too large for 32 bits is held at the nearest bound.
int lit_entier(const char* texte);
float lit_reel(const char* texte);

inline bool chiffre(char c) { return c >= '0' && c <= '9'; }
// Character at `i`, or NUL when the text ends before it: what lies in the
// buffer after the end of the text is never looked at.
char car(const char* texte, int i);
// Removes `n` characters from the front, at most the whole text.
void retire_debut(char* texte, int n);
// Number of digits at the start of the text, from `debut` on.
int fin_chiffres(const char* texte, int debut);

// A value held as a float stored into a count or a table slot: truncated
// toward zero, held at the bounds of a 32-bit integer.
int tronque(float valeur);

// The two probabilities of variation of a list's probability line or of an
// M4 ending: the second not below the first, not equal to it, not above 100.
void compare_probabilites(etat_passe& e, float premiere, float seconde, const char* inferieure,
                          const char* identiques, const char* sup_100);
extern const char* const PROBABILITE_PRECIPITATION_INFERIEURE;
extern const char* const PROBABILITES_PRECIPITATION_IDENTIQUES;
extern const char* const PROBABILITE_PRECIPITATION_SUP_100;

// Whether a number is one of the precipitations of the list.
bool precipitation_listee(const etat_passe& e, float numero);

// The start shared by the six headed paragraphs: advances the step, then
// reads until a line begins with ">" and looks for the keyword there.
// Returns false when the pass has stopped or the file ended first.
bool commence_paragraphe(etat_passe& e, const char* mot_cle, const char* message_absent, const char* message_fin);

// Paragraph checks, in the order of the file.
void verifie_entete(etat_passe& e);
void verifie_temperatures(etat_passe& e);
void verifie_vents(etat_passe& e);
void verifie_liste_precipitations(etat_passe& e);
void verifie_saisons(etat_passe& e);
void verifie_temperatures_saison(etat_passe& e);
void verifie_causes(etat_passe& e);
void verifie_corps_regle(etat_passe& e);
void verifie_horloge(etat_passe& e);
