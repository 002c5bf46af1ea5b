// The single forward pass over a climate file and the state its paragraph
// checks share.
#pragma once

#include <climits>
#include <cstdio>
#include <cstring>

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
  std::FILE* fichier = nullptr;
  int* erreurs = nullptr;
  int* avertissements = nullptr;
  rapport_constats* rapport = nullptr;

  // The line as read, empty before the first read. The checks consume it
  // from the front: a cut moves `debut` instead of the bytes, so what later
  // checks see, the line in hand, is what the earlier cuts left.
  char tampon_ligne[255]{};
  int debut = 0;
  char tampon_message[255]{};
  int num_ligne = 0;  // reads made so far, the one at the end of the file included
  int etape = 1;

  int liste_precipitations[100]{};   // slot 0: count, then the numbers in file order
  int precip_sans_condition[100]{};  // by precipitation number 0..99
  // How many kept entries of the list bear each number 0..99, so that a
  // number is looked up at once; the rare numbers outside that range are
  // searched in the list, and keep their flag by list slot.
  unsigned char entrees_du_numero[100]{};
  bool numeros_hors_bornes = false;
  int sans_condition_par_entree[100]{};
  int nb_temperatures = 0;
  int nb_vents = 0;
  float pourcentage_precedent = 0;

  // The file is read by blocks; each read takes one line from the block as
  // fgets would (see lit_ligne).
  char bloc[1 << 16];
  int bloc_debut = 0;
  int bloc_fin = 0;
  bool fin_du_fichier = false;  // set, as by fgets, by a read that met the end of the file

  bool arret = false;      // the pass ends: end of the file inside a paragraph, or a read error
  bool illisible = false;  // a read failed with an error
  int lignes_lues = 0;     // reads that found a line, counted up to the six header lines

  char* ligne() { return tampon_ligne + debut; }
};

void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport);

// Counts a finding in its counter and hands it to the report.
int Erreur_aff(rapport_constats& rapport, int* compteur, int type, int ligne, const char* message);

// Reports on the line in hand, through the counter of the kind.
void signale(etat_passe& e, int type, const char* message);
// The same with a message composed in tampon_message.
[[gnu::format(printf, 3, 4)]] void signale_f(etat_passe& e, int type, const char* format, ...);

// A read that the block in hand cannot finish: refills the block.
bool lit_ligne_lente(etat_passe& e);
// What follows a read that found no line: a read error is reported once and
// stops the pass. Returns false.
bool fin_de_lecture(etat_passe& e);

// The reading rule, exactly that of fgets with a size of 255: the next line,
// at most 254 bytes and up to its line feed included, into tampon_ligne; the
// end-of-file indicator is set only by a read that meets the end of the file,
// and a read that finds nothing leaves tampon_ligne (and the line in hand) as
// it was. num_ligne advances with every read, also at the end of the file
// (unless `compte_la_fin` is false). Returns whether a line was read.
inline bool lit_ligne(etat_passe& e, bool compte_la_fin = true) {
  const int disponible = e.bloc_fin - e.bloc_debut;
  const char* debut = e.bloc + e.bloc_debut;
  const void* saut = std::memchr(debut, '\n', static_cast<std::size_t>(disponible < 254 ? disponible : 254));
  bool lu = true;
  if (saut != nullptr) {
    const auto longueur = static_cast<std::size_t>(static_cast<const char*>(saut) - debut + 1);
    std::memcpy(e.tampon_ligne, debut, longueur);
    e.tampon_ligne[longueur] = '\0';
    e.bloc_debut += static_cast<int>(longueur);
  } else if (disponible >= 254) {
    std::memcpy(e.tampon_ligne, debut, 254);
    e.tampon_ligne[254] = '\0';
    e.bloc_debut += 254;
  } else {
    lu = lit_ligne_lente(e);
  }
  if ((lu || compte_la_fin) && e.num_ligne < INT_MAX) ++e.num_ligne;
  if (!lu) return fin_de_lecture(e);
  e.debut = 0;
  if (e.lignes_lues < 6) ++e.lignes_lues;
  return true;
}

inline bool chiffre(char c) { return c >= '0' && c <= '9'; }

// Character `i` of the line in hand, or NUL when the line ends before it:
// what lies in the buffer after the end of the line is never looked at.
inline char car(etat_passe& e, int i) {
  const char* l = e.ligne();
  for (int k = 0; k < i; ++k)
    if (l[k] == '\0') return '\0';
  return l[i];
}

inline bool contient(etat_passe& e, char c) {
  for (const char* l = e.ligne(); *l != '\0'; ++l)
    if (*l == c) return true;
  return false;
}

// Cuts the line in hand just after its first `c`; unchanged when there is none.
inline void coupe_apres(etat_passe& e, char c) {
  const char* l = e.ligne();
  for (int i = 0; l[i] != '\0'; ++i)
    if (l[i] == c) {
      e.debut += i + 1;
      return;
    }
}

// Removes `n` characters from the front of the line in hand, at most all of it.
inline void retire(etat_passe& e, int n) {
  const char* l = e.ligne();
  int i = 0;
  while (i < n && l[i] != '\0') ++i;
  e.debut += i;
}

// Where the digits of a text that start at `i` end; `i` is within the text.
inline int fin_des_chiffres(const char* texte, int i) {
  while (chiffre(texte[i])) ++i;
  return i;
}

// Where the digits that start at `debut` in the line in hand end.
inline int fin_chiffres(etat_passe& e, int debut) {
  if (car(e, debut) == '\0') return debut;
  const char* l = e.ligne();
  int i = debut;
  while (chiffre(l[i])) ++i;
  return i;
}

// Numbers read as atoi and atof read them, without their undefined cases:
// an integer too large for 32 bits is held at the nearest bound.
inline int lit_entier(const char* p) {
  if (chiffre(*p) && !chiffre(p[1])) return *p - '0';  // the usual one-digit number
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negatif = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long valeur = 0;
  for (; chiffre(*p); ++p) {
    valeur = valeur * 10 + (*p - '0');
    if (valeur > static_cast<long long>(INT_MAX) + 1) valeur = static_cast<long long>(INT_MAX) + 1;
  }
  if (negatif) return static_cast<int>(-valeur);
  return static_cast<int>(valeur > INT_MAX ? INT_MAX : valeur);
}
float lit_reel(const char* texte);

// A number read as an integer and held as a float, stored back into a count
// or a table slot: truncated toward zero, held at the bound of a 32-bit
// integer.
int tronque(float valeur);

// The two probabilities of variation of a list's probability line or of an
// M4 ending: the second not below the first, not equal to it, not above 100.
void compare_probabilites(etat_passe& e, float premiere, float seconde, const char* inferieure,
                          const char* identiques, const char* sup_100);
extern const char* const PROBABILITE_PRECIPITATION_INFERIEURE;
extern const char* const PROBABILITES_PRECIPITATION_IDENTIQUES;
extern const char* const PROBABILITE_PRECIPITATION_SUP_100;

// How many kept entries of the precipitation list bear this number: at
// once for 0 to 99, by a search of the list otherwise.
int entrees_listees_hors_bornes(const etat_passe& e, float numero);
inline int entrees_listees(const etat_passe& e, float numero) {
  if (numero >= 0 && numero <= 99) {
    const int n = static_cast<int>(numero);
    if (static_cast<float>(n) == numero) return e.entrees_du_numero[n];
  }
  return e.numeros_hors_bornes ? entrees_listees_hors_bornes(e, numero) : 0;
}
inline bool precipitation_listee(const etat_passe& e, float numero) { return entrees_listees(e, numero) > 0; }
// The same for a number read as an integer, compared as the float it becomes.
// Written out rather than passed to the float form: it is on the path of
// every clean rule line, where the float round trip costs a sixth more.
inline bool precipitation_listee(const etat_passe& e, int numero) {
  if (numero >= 0 && numero <= 99) return e.entrees_du_numero[numero] > 0;
  return e.numeros_hors_bornes && entrees_listees_hors_bornes(e, static_cast<float>(numero)) > 0;
}

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
// Whether the line in hand is a rule line that certainly draws no finding,
// and then whether it has no condition block; false sends it to the full
// checks. The fuzzer counts the lines it takes and turns it off to compare.
bool regle_sans_constat(etat_passe& e, bool& sans_condition);
extern bool raccourci_des_regles;
extern long raccourcis_pris;
void verifie_horloge(etat_passe& e);
