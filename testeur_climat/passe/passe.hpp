// The insides of the single forward pass over a climate file: the state its
// paragraph checks share, the reading rule, and the cuts that consume the
// line in hand.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "chaines.hpp"
#include "constats.hpp"

// The precipitation list as the causes use it: the numbers of its kept
// entries in file order, and which of them have a rule line without
// conditions. Numbers 0 to PRECIPITATIONS_MAX are looked up at once; the rare
// numbers outside that range are searched in the list and keep their flag by
// entry.
inline constexpr int PRECIPITATIONS_MAX = 99;  // entries kept, and the highest number looked up at once
struct precipitations {
  int liste_precipitations[PRECIPITATIONS_MAX + 1]{};   // slot 0: count, then the numbers in file order
  int precip_sans_condition[PRECIPITATIONS_MAX + 1]{};  // by precipitation number

  int nombre() const { return liste_precipitations[0]; }
  int numero(int entree) const { return liste_precipitations[entree]; }
  // Keeps the entry; false when the list is full.
  bool ajoute(int numero);
  // How many kept entries bear this number (compared as the float it is).
  int entrees(float numero) const {
    if (numero >= 0 && numero <= PRECIPITATIONS_MAX) {
      const int n = static_cast<int>(numero);
      if (static_cast<float>(n) == numero) return entrees_du_numero[n];
    }
    return numeros_hors_bornes ? entrees_hors_bornes(numero) : 0;
  }
  bool listee(int numero) const {
    if (numero >= 0 && numero <= PRECIPITATIONS_MAX) return entrees_du_numero[numero] > 0;
    return numeros_hors_bornes && entrees_hors_bornes(static_cast<float>(numero)) > 0;
  }
  void marque_sans_condition(float numero);
  bool a_une_ligne_sans_condition(int entree) const;
  // Every change made to the list, in order, folded into one number: two
  // lists with the same history are the same list.
  std::uint64_t histoire = 0;

 private:
  int entrees_hors_bornes(float numero) const;
  unsigned char entrees_du_numero[PRECIPITATIONS_MAX + 1]{};
  bool numeros_hors_bornes = false;
  int sans_condition_par_entree[PRECIPITATIONS_MAX + 1]{};
};


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

// A place in the line in hand, which ends at its first NUL: what the cuts
// before it left of the line. Every paragraph walks the line with it; it
// moves only forward and never past the end, and what lies in the buffer
// after the end is never looked at. The pieces of a line are short: plain
// loops cost less than calls.
struct curseur {
  char* p;

  char ici() const { return *p; }
  // The character `i` places further, or NUL when the line ends before it.
  char car(int i) const {
    for (int k = 0; k < i; ++k)
      if (p[k] == '\0') return '\0';
    return p[i];
  }
  bool contient(char c) const {
    for (const char* q = p; *q != '\0'; ++q)
      if (*q == c) return true;
    return false;
  }
  // Just after the first `c`; the same place when there is none.
  curseur apres(char c) const {
    for (char* q = p; *q != '\0'; ++q)
      if (*q == c) return {q + 1};
    return *this;
  }
  curseur apres_chiffres() const {
    char* q = p;
    while (chiffre(*q)) ++q;
    return {q};
  }
  // `n` places further, over characters known not to end the line.
  curseur plus(int n) const { return {p + n}; }
  // One place further, unless the line ends here.
  curseur suivant() const { return {p + (*p != '\0')}; }
  // Just after the number that begins here as atoi reads it (blanks, a
  // sign, digits) or, with its decimals, as atof does; the same place when
  // no digit is there.
  curseur apres_nombre(bool decimales = false) const {
    char* q = p;
    while (*q == ' ' || (*q >= '\t' && *q <= '\r')) ++q;
    if (*q == '-' || *q == '+') ++q;
    bool vu = false;
    for (; chiffre(*q); ++q) vu = true;
    if (decimales && *q == '.')
      for (++q; chiffre(*q); ++q) vu = true;
    return {vu ? q : p};
  }
  // Where the line's text ends: its line feed, a CR before it, or its end.
  curseur fin_du_texte() const {
    char* q = p;
    while (*q != '\0' && *q != '\n') ++q;
    if (q > p && q[-1] == '\r') --q;
    return {q};
  }
  // The number here, read as atoi and atof read it.
  int entier() const { return lit_entier(p); }
  float reel() const { return lit_reel(p); }
};

// Where a finding lies on the line in hand: [debut, fin) in the line buffer,
// the whole line when `debut` is null; and the line of another part of the
// file that causes it, 0 when none.
struct lieu {
  const char* debut = nullptr;
  const char* fin = nullptr;
  int ligne_liee = 0;
};
// The character here: one character, or an empty span where the line ends.
inline lieu sur(curseur c) { return {c.p, c.p + (*c.p == '\0' || *c.p == '\n' ? 0 : 1)}; }
// From one place to another.
inline lieu de(curseur debut, curseur fin) { return {debut.p, fin.p > debut.p ? fin.p : debut.p}; }
// The number that begins here; where none does, the character here.
inline lieu nombre(curseur c, bool decimales = false) {
  const curseur fin = c.apres_nombre(decimales);
  return fin.p == c.p ? sur(c) : de(c, fin);
}
// The place of something missing: an empty span.
inline lieu avant(curseur c) { return {c.p, c.p}; }

// The header lines, recognised by their position alone.
inline constexpr int LIGNES_ENTETE = 6;

// What one fgets with a size of 255 can take: a line is read in pieces of at
// most this many bytes.
inline constexpr int LIGNE_MAX = 254;

// What a paragraph's check carries from one line to the next besides the
// line in hand. It lives in the pass's state, where the fingerprint of a
// read sees it (see rapport_constats::empreinte).
struct report_de_ligne {
  float numero_precedent = 0;  // the last entry number of a numbered list
  bool liste_pleine = false;   // the precipitation list has said it is full
  char place = 0;              // the season line in hand, '1' to '4'
  bool total_lu = false;       // the clock's total line had its "="
  float total = 0;
  int dernier_moment = 0;
};

struct etat_passe {
  std::FILE* fichier = nullptr;
  int* erreurs = nullptr;
  int* avertissements = nullptr;
  rapport_constats* rapport = nullptr;

  // The line as read, empty before the first read. The checks consume it
  // from the front: a cut moves `en_main` instead of the bytes, so what later
  // checks see, the line in hand, is what the earlier cuts left. It ends at
  // its first NUL, a NUL byte read from the file included. A read that finds
  // nothing (the end of the file) leaves both as they were: the old line
  // stays in hand.
  char tampon_ligne[LIGNE_MAX + 1]{};
  curseur en_main{tampon_ligne};
  char tampon_message[255]{};
  int num_ligne = 0;  // reads made so far, the one at the end of the file included
  // The line an editor shows for the line in hand: a line of 254 bytes or
  // more takes several reads but stays one line. After a read that found
  // nothing, the line after the last one.
  int ligne_editeur = 1;
  int sauts_lus = 0;            // line feeds read so far
  bool ligne_ouverte = false;   // the last read ended inside a line
  // Where the line in hand began on its editor's line (above 0 for the
  // pieces after the first of a long line), and how many of its bytes are
  // text, its line break aside.
  int colonne_morceau = 0;
  int longueur_morceau = 0;
  int longueur_texte = 0;
  // The editor's line of each paragraph's head, by step, once read.
  int tetes[static_cast<int>(etape_passe::fin) + 1]{};
  etape_passe etape = etape_passe::entete;

  precipitations precipitations_listees;
  int nb_temperatures = 0;
  int nb_vents = 0;
  report_de_ligne suite;

  // The file is read by blocks; each read takes one line from the block as
  // fgets would (see lit_ligne).
  char bloc[1 << 16];
  int bloc_debut = 0;
  int bloc_fin = 0;
  bool fin_du_fichier = false;  // set, as by fgets, by a read that met the end of the file

  modele_climat* modele = nullptr;  // the model the report wants filled, if any
  regle_lue* regle = nullptr;       // in it, the rule line in hand
  int ligne_attentes = 0;           // the line whose expectations the report wants, if any
  bool empreintes = false;  // the report wants the fingerprints of the reads
  bool arret = false;      // the pass ends: end of the file inside a paragraph, or a read error
  bool fin_lue = false;    // a read found nothing: the line in hand has been examined already
  bool illisible = false;  // a read failed with an error
  int lignes_lues = 0;     // reads that found a line, counted up to LIGNES_ENTETE

  etat_passe() = default;
  etat_passe(const etat_passe&) = delete;  // en_main points into its own buffer
  etat_passe& operator=(const etat_passe&) = delete;
};

// Reports one finding: counts it in its counter and hands it to the report.
int Erreur_aff(rapport_constats& rapport, int* compteur, const constat& c);

// Reports on the line in hand, through the counter of the kind, at the
// place given (the whole line by default).
void signale(etat_passe& e, int type, message m, lieu l = {});
// The same with a message composed in tampon_message from the format.
[[gnu::format(printf, 5, 6)]] void signale_f(etat_passe& e, int type, int code, lieu l, const char* format, ...);

// Where a place of the line in hand lies on its editor's line: the whole
// line's text when none is given.
inline void colonnes(const etat_passe& e, lieu l, int& colonne, int& colonne_fin) {
  if (l.debut == nullptr) {
    colonne = e.colonne_morceau;
    colonne_fin = e.colonne_morceau + e.longueur_texte;
    return;
  }
  // A span past the text (a line feed the cuts passed over) ends with it.
  const auto place = [&](const char* q) {
    return e.colonne_morceau + static_cast<int>(std::min<std::ptrdiff_t>(q - e.tampon_ligne, e.longueur_texte));
  };
  colonne = place(l.debut);
  colonne_fin = std::max(colonne, place(l.fin));
}
// Where a place of the line in hand lies for an editor.
inline place place_de(const etat_passe& e, lieu l) {
  place p{e.ligne_editeur, 0, 0};
  colonnes(e, l, p.colonne, p.colonne_fin);
  return p;
}
// The number that begins at `c` (read as atoi reads it, or with its decimals
// as atof does), for the model.
nombre_lu nombre_quelconque(const etat_passe& e, curseur c, bool decimales);
inline nombre_lu nombre_en(const etat_passe& e, curseur c, bool decimales = false) {
  if (decimales || !chiffre(c.ici())) return nombre_quelconque(e, c, decimales);
  // The usual case, read in one go: digits where the number begins.
  const char* q = c.p;
  long long valeur = 0;
  for (; chiffre(*q); ++q) valeur = std::min(valeur * 10 + (*q - '0'), static_cast<long long>(INT_MAX));
  return {static_cast<double>(valeur), true, place_de(e, {c.p, q})};
}
// The same written in place. The checks of rule lines, which run for every
// line of the longest files, fill the model only through calls such as this
// one, never through a value of their own frame: a local whose address is
// taken would give the check a stack guard and cost every line, model or not.
void note_nombre(const etat_passe& e, curseur c, nombre_lu& dans);
// The text between two places of the line in hand, for the model.
texte_lu texte_entre(const etat_passe& e, curseur debut, curseur fin);
// Whether the model is filled from the line in hand: it was asked for, and
// the line is one the file holds (not what a read at its end left in hand).
inline bool modelise(const etat_passe& e) { return e.modele != nullptr && !e.fin_lue; }
// Tells the report what the pass expects at `ici` (announced by the letter
// at `lettre`, if any), when that is on the line it asks about.
void attente_ici(etat_passe& e, sorte_attendue s, curseur ici, const char* lettre = nullptr);
inline void attend(etat_passe& e, sorte_attendue s, curseur ici, const char* lettre = nullptr) {
  if (e.ligne_attentes != 0 && e.ligne_attentes == e.ligne_editeur) attente_ici(e, s, ici, lettre);
}

// A read that the block in hand cannot finish: refills the block.
bool lit_ligne_lente(etat_passe& e);
// Where the line in hand lies for an editor, after a read that found a line
// (ending with a line feed or not) or found nothing.
inline void ligne_lue(etat_passe& e, bool saut, int longueur) {
  e.ligne_editeur = e.sauts_lus + 1;
  if (saut && e.sauts_lus < INT_MAX - 2) ++e.sauts_lus;
  e.colonne_morceau = e.ligne_ouverte && e.colonne_morceau < INT_MAX - 2 * LIGNE_MAX ? e.colonne_morceau + e.longueur_morceau : 0;
  e.longueur_morceau = longueur;
  e.longueur_texte = longueur - (saut ? 1 + (longueur > 1 && e.tampon_ligne[longueur - 2] == '\r') : 0);
  e.ligne_ouverte = !saut;
}
inline void rien_lu(etat_passe& e) { e.ligne_editeur = e.sauts_lus + (e.ligne_ouverte ? 2 : 1); }
// What follows a read that found no line: a read error is reported once and
// stops the pass. Returns false.
bool fin_de_lecture(etat_passe& e);

// A place in the checker's code, where a function is called: what the
// compilers' builtins give in a default argument (std::source_location,
// which they make, is missing from some of them).
struct lieu_de_lecture {
  const char* fichier;
  int ligne;
  static lieu_de_lecture ici(const char* f = __builtin_FILE(), int l = __builtin_LINE()) { return {f, l}; }
};

// Hands the report the fingerprint of the state before a read that begins
// a line; `ici` is the place in the checker that reads.
void prend_empreinte(const etat_passe& e, lieu_de_lecture ici);

// The reading rule, exactly that of fgets with a size of 255: the next line,
// at most 254 bytes and up to its line feed included, into tampon_ligne; the
// end-of-file indicator is set only by a read that meets the end of the file,
// and a read that finds nothing leaves tampon_ligne (and the line in hand) as
// it was. num_ligne advances with every read, also at the end of the file
// (unless `compte_la_fin` is false). Returns whether a line was read.
inline bool lit_ligne(etat_passe& e, bool compte_la_fin = true,
                      lieu_de_lecture ici = lieu_de_lecture::ici()) {
  if (e.empreintes && !e.ligne_ouverte) prend_empreinte(e, ici);
  const int disponible = e.bloc_fin - e.bloc_debut;
  const char* debut = e.bloc + e.bloc_debut;
  const void* saut =
      std::memchr(debut, '\n', static_cast<std::size_t>(disponible < LIGNE_MAX ? disponible : LIGNE_MAX));
  bool lu = true;
  if (saut != nullptr) {
    const auto longueur = static_cast<int>(static_cast<const char*>(saut) - debut + 1);
    std::memcpy(e.tampon_ligne, debut, static_cast<std::size_t>(longueur));
    e.tampon_ligne[longueur] = '\0';
    e.bloc_debut += longueur;
    ligne_lue(e, true, longueur);
  } else if (disponible >= LIGNE_MAX) {
    std::memcpy(e.tampon_ligne, debut, LIGNE_MAX);
    e.tampon_ligne[LIGNE_MAX] = '\0';
    e.bloc_debut += LIGNE_MAX;
    ligne_lue(e, false, LIGNE_MAX);
  } else {
    lu = lit_ligne_lente(e);
  }
  if ((lu || compte_la_fin) && e.num_ligne < INT_MAX) ++e.num_ligne;
  if (!lu) {
    rien_lu(e);
    e.fin_lue = true;
    return fin_de_lecture(e);
  }
  e.en_main = {e.tampon_ligne};
  if (e.lignes_lues < LIGNES_ENTETE) ++e.lignes_lues;
  return true;
}

// The next line of a paragraph that reads until a line of a given form
// comes; at the end of the file, reports `message_fin` (a read error has
// reported itself) and stops the pass. Returns whether a line was read.
bool ligne_suivante(etat_passe& e, message message_fin, bool compte_la_fin = true,
                    lieu_de_lecture ici = lieu_de_lecture::ici());

// A number read as an integer and held as a float, stored back into a count
// or a table slot: truncated toward zero, held at the bound of a 32-bit
// integer.
int tronque(float valeur);
