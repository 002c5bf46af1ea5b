// What a climate file holds, as the pass read it: filled while it checks,
// for a report that asks (rapport_constats::modele), every element with its
// place. What the pass did not read is not there; what it read but could not
// make out is marked so (a number that is not one, a line it abandoned),
// never guessed.
#pragma once

#include <span>
#include <string>
#include <vector>

// Where something lies: the editor's line (line feeds counted, from 1; 0
// when nothing was read) and the characters [colonne, colonne_fin) of it,
// from 0 (a byte is a character in Latin-1).
struct place {
  int ligne = 0;
  int colonne = 0;
  int colonne_fin = 0;
};

// A number where the format puts one: the value the checks used (0 when no
// number stood there, as atoi and atof give), and whether digits stood
// there at all.
struct nombre_lu {
  double valeur = 0;
  bool lu = false;
  place ou;
};

// A text of the file, in Latin-1, where the format puts one.
struct texte_lu {
  std::string texte;
  place ou;
};

// The six header lines.
struct entete_lu {
  place lignes[6];                  // each line read (ligne 0: the file ended before it)
  bool latitude_nommee = false;     // "Latitude=" is on line 1; the value is read only then
  bool longitude_nommee = false;
  nombre_lu latitude;
  nombre_lu longitude;
  texte_lu heure_ete;               // the character after the "=" of line 3
  nombre_lu decalage;
  nombre_lu temps_minimum;          // line 5, before and after its "-"
  nombre_lu temps_maximum;
  nombre_lu changement_force;
};

// One paragraph as it stood: the line taken as its head, and the line that
// ended it.
struct paragraphe_lu {
  int tete = 0;               // 0: the file ended before a head came
  bool tete_juste = false;    // that line holds the paragraph's keyword
  int fin = 0;                // the line that ended it (0: the file ended inside it)
  bool fin_juste = false;     // that line is the "<" the format wants
};

// An entry of the temperature, wind or precipitation list.
struct entree_lue {
  place ligne;
  nombre_lu numero;
  texte_lu variation;   // winds and precipitations: what follows the "t" up to the next ":"
  nombre_lu effet;      // the number after the "f"
  texte_lu affichage;   // after the ":" that precedes it; no place when that ":" is missing
};

struct liste_lue {
  place probabilites;
  nombre_lu premiere;
  nombre_lu seconde;
  std::vector<entree_lue> entrees;
};

struct saison_lue {
  place ligne;
  nombre_lu numero;    // its first character, when a digit
  texte_lu affichage;  // after its ":"
};

// A season's lowest and highest temperature, as numbers of the list.
struct temperatures_lues {
  place ligne;
  nombre_lu saison;    // its second character, when a digit
  nombre_lu minimum;
  nombre_lu maximum;
};

// Elements [debut, fin) of one of the tables where the model keeps the parts
// of the rule lines (see modele_climat).
struct tranche {
  int debut = 0;
  int fin = 0;
};

// A condition of a rule line: "t", "v" or "p", then a number, a range, or
// "a" / "b" (rising, falling).
struct condition_lue {
  char lettre = 0;
  char sens = 0;       // 'a' or 'b', or 0 for a number
  nombre_lu operande;
  nombre_lu borne;     // the upper bound of a range
  place ou;
};

// ";v" or ";t" and its number, after a value.
struct qualificatif_lu {
  char lettre = 0;     // 'v' or 't'; another letter is refused and its number not read
  nombre_lu numero;
  place ou;
};

// A precipitation a rule leads to.
struct valeur_lue {
  nombre_lu precipitation;
  tranche qualificatifs;
  nombre_lu pourcentage;   // M6: after its "%"
  int groupe = -1;         // the "d" group it is in, by its index among the rule's groups, or -1
};

struct groupe_lu {
  nombre_lu annonce;       // the x of dx{...}
  place ou;
};

struct regle_lue {
  place ligne;
  nombre_lu precipitation;         // the one the rule belongs to
  bool avec_conditions = false;    // a condition block follows its "="
  tranche conditions;
  bool abandonnee = false;         // the pass left the line in its conditions: no body read
  int moteur = 0;                  // 4, 5 or 6, once the body is reached
  place corps;                     // the body, to the end of the line's text
  place signe;                     // the "%" or "%%" that decides the engine (none for M5)
  place point;                     // the first "." of the body, if any
  tranche valeurs;
  tranche groupes;
  tranche barres;                  // each "/\"
  bool fin_m4 = false;             // the "%%" ending was read
  nombre_lu m4_premiere;
  nombre_lu m4_seconde;
};

// A sun's event named between two "$" in a moment's time expression.
struct variable_lue {
  std::string nom;
  int evenement = -1;   // its place in VARIABLES_HORLOGE, -1 when it names none
  place ou;             // from its opening "$" to its closing one
};

struct moment_lu {
  place ligne;
  nombre_lu numero;
  texte_lu expression;
  std::vector<variable_lue> variables;
  texte_lu variation;   // what follows its "t" up to its third ":"
  texte_lu affichage;   // what the simulation shows, its line end aside
};

struct horloge_lue {
  int marque = 0;       // the line that holds "#Horloge vague:"
  place ligne_total;
  bool total_present = false;  // the total line has its "="
  nombre_lu total;
  std::vector<moment_lu> moments;
};

struct modele_climat {
  entete_lu entete;
  paragraphe_lu paragraphes[7];   // by step, from the temperatures to the clock (see paragraphe_du_modele)
  liste_lue temperatures;
  liste_lue vents;
  liste_lue precipitations;
  std::vector<saison_lue> saisons;
  std::vector<temperatures_lues> temperatures_saison;
  std::vector<regle_lue> regles;
  horloge_lue horloge;

  // The parts of the rule lines, each kind in one table in the order read: a
  // long file of rules then costs a few growing tables, not a few small
  // ones per line. A rule and a value find theirs through the functions
  // below.
  std::vector<condition_lue> conditions;
  std::vector<valeur_lue> valeurs;
  std::vector<qualificatif_lu> qualificatifs;
  std::vector<groupe_lu> groupes;
  std::vector<place> barres;

  std::span<const condition_lue> conditions_de(const regle_lue& r) const { return dans(conditions, r.conditions); }
  std::span<const valeur_lue> valeurs_de(const regle_lue& r) const { return dans(valeurs, r.valeurs); }
  std::span<const groupe_lu> groupes_de(const regle_lue& r) const { return dans(groupes, r.groupes); }
  std::span<const place> barres_de(const regle_lue& r) const { return dans(barres, r.barres); }
  std::span<const qualificatif_lu> qualificatifs_de(const valeur_lue& v) const {
    return dans(qualificatifs, v.qualificatifs);
  }

 private:
  template <typename T>
  static std::span<const T> dans(const std::vector<T>& table, tranche t) {
    return {table.data() + t.debut, static_cast<std::size_t>(t.fin - t.debut)};
  }
};
