// The paragraph checks, in the order of a climate file, and what one
// paragraph's check lends another.
#pragma once

#include "passe.hpp"

void verifie_entete(etat_passe& e);  // entete.cpp, the line numbered num_ligne
void verifie_temperatures(etat_passe& e, const paragraphe_climat& p);          // listes.cpp
void verifie_vents(etat_passe& e, const paragraphe_climat& p);                 // listes.cpp
void verifie_liste_precipitations(etat_passe& e, const paragraphe_climat& p);  // listes.cpp
void verifie_saisons(etat_passe& e, const paragraphe_climat& p);               // saisons.cpp
void verifie_temperatures_saison(etat_passe& e, const paragraphe_climat& p);   // saisons.cpp
void verifie_causes(etat_passe& e, const paragraphe_climat& p);                // causes.cpp
void verifie_horloge(etat_passe& e, const paragraphe_climat& p);               // horloge.cpp

// The start shared by the six headed paragraphs (passe.cpp): reads until a
// line begins with ">" and looks for the paragraph's keyword there. Returns
// false when the pass has stopped or the file ended first.
bool commence_paragraphe(etat_passe& e, const paragraphe_climat& p);
// The line in hand ends the paragraph `p`: the model notes it, and whether it
// is the "<" the format wants.
void termine_paragraphe(etat_passe& e, const paragraphe_climat& p);

// A temperature variation where the line in hand begins: "t", then a digit,
// or a sign and a digit (listes.cpp; the clock's moments too).
void verifie_variation_t(etat_passe& e, message t_absent, message variation_absente);

// The two probabilities of variation of the precipitation list's probability
// line, which the M4 ending of a rule line repeats, from where each begins
// (listes.cpp).
void compare_probabilites_precipitation(etat_passe& e, curseur premiere, curseur seconde);

// A number of a rule line, where it begins, checked against the list of its
// kind: a temperature or a wind above the last one, a precipitation not
// listed (causes.cpp). `m`, when given, receives it for the model.
void verifie_reference(etat_passe& e, genre_lien g, curseur nombre, nombre_lu* m = nullptr);
// The same for a precipitation read as an integer, looked up as one (on the
// path of every value of every rule line).
void signale_precipitation_non_listee(etat_passe& e, curseur nombre);
inline void verifie_precipitation(etat_passe& e, curseur nombre) {
  if (!e.precipitations_listees.listee(nombre.entier())) signale_precipitation_non_listee(e, nombre);
}

// The body of a rule line, after its "=" and its condition block (regles.cpp).
void verifie_corps_regle(etat_passe& e);
