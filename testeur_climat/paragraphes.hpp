// The paragraph checks, in the order of a climate file, and what one
// paragraph's check lends another.
#pragma once

#include "testeur_climat/passe.hpp"

// One paragraph of a climate file, as the table of the file's order in
// passe.cpp gives it to its check.
struct paragraphe {
  etape_passe etape;
  const char* tete;  // the keyword of its head line, also its name in an editor's outline
  // The end of the file inside it, before the line that ends it: reported
  // once by the pass when the check returns, and the pass stops (no later
  // paragraph takes the line in hand again). A check only stops reading.
  message fin;
  void (*verifie)(etat_passe&, const paragraphe&);
};

void verifie_entete(etat_passe& e);  // entete.cpp, the line numbered num_ligne
void verifie_temperatures(etat_passe& e, const paragraphe& p);          // listes.cpp
void verifie_vents(etat_passe& e, const paragraphe& p);                 // listes.cpp
void verifie_liste_precipitations(etat_passe& e, const paragraphe& p);  // listes.cpp
void verifie_saisons(etat_passe& e, const paragraphe& p);               // saisons.cpp
void verifie_temperatures_saison(etat_passe& e, const paragraphe& p);   // saisons.cpp
void verifie_causes(etat_passe& e, const paragraphe& p);                // causes.cpp
void verifie_horloge(etat_passe& e, const paragraphe& p);               // horloge.cpp

// The start shared by the six headed paragraphs (passe.cpp): reads until a
// line begins with ">" and looks for the paragraph's keyword there. Returns
// false when the pass has stopped or the file ended first.
bool commence_paragraphe(etat_passe& e, const paragraphe& p, message message_absent, message message_fin);

// A temperature variation where the line in hand begins: "t", then a digit,
// or a sign and a digit (listes.cpp; the clock's moments too).
void verifie_variation_t(etat_passe& e, message t_absent, message variation_absente);

// The two probabilities of variation of the precipitation list's probability
// line, which the M4 ending of a rule line repeats, from where each begins
// (listes.cpp).
void compare_probabilites_precipitation(etat_passe& e, curseur premiere, curseur seconde);

// A number of a rule line, where it begins, checked against the list of its kind: a
// temperature or a wind above the last one, a precipitation not listed
// (causes.cpp).
void verifie_reference(etat_passe& e, genre_lien g, curseur nombre);
// The same for a precipitation read as an integer, looked up as one (on the
// path of every value of every rule line).
void signale_precipitation_non_listee(etat_passe& e, curseur nombre);
inline void verifie_precipitation(etat_passe& e, curseur nombre) {
  relie(e, genre_lien::precipitation, false, nombre);
  if (!e.precipitations_listees.listee(nombre.entier())) signale_precipitation_non_listee(e, nombre);
}

// The body of a rule line, after its "=" and its condition block (regles.cpp).
void verifie_corps_regle(etat_passe& e);
