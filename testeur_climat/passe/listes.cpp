// The temperature, wind and precipitation lists: head line, probability line,
// numbered entries, closing line "<".
#include <algorithm>

#include "chaines.hpp"
#include "paragraphes.hpp"

namespace {

struct textes_liste {
  liste_lue modele_climat::*modele;  // where its entries go in the model
  message probabilite_inferieure;
  message probabilites_identiques;
  message probabilite_sup_100;
  message variation_absente;     // wind and precipitation only
  message effet_absent;
  message affichage_absent;      // the ":" before the display text
  message fermeture_absente;
};

const textes_liste TEMPERATURES = {
    &modele_climat::temperatures,
    {301, "Pour les probabilités de variation de température, la deuxième valeur est inférieure à la première\n"_l1},
    {302, "Pour les probabilités de variation de température, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n"_l1},
    {303, "Pour les probabilités de variation du température, la deuxième valeur est supérieure à 100.\n"_l1},
    {},
    {313, "Impossible de trouver le numéro d'effet lié à cette température.\n"_l1},
    {314, "Impossible de trouver le deuxième : qui précède l'affichage de la température.\n"_l1},
    {315, "La liste de température devrait se terminer par <.\n"_l1},
};

const textes_liste VENTS = {
    &modele_climat::vents,
    {301, "Pour les probabilités de variation du vent, la deuxième valeur est inférieure à la première\n"_l1},
    {302, "Pour les probabilités de variation du vent, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n"_l1},
    {303, "Pour les probabilités de variation du vent, la deuxième valeur est supérieure à 100.\n"_l1},
    {311, "Impossible de trouver la variation de température lié à ce vent.\n"_l1},
    {313, "Impossible de trouver le numéro d'effet lié à ce vent.\n"_l1},
    {314, "Impossible de trouver le troisième :, qui précède l'affichage de ce vent.\n"_l1},
    {315, "La liste des vents devrait se terminer par <.\n"},
};

const textes_liste PRECIPITATIONS = {
    &modele_climat::precipitations,
    {301, "Pour les probabilités de variation des précipitations, la deuxième valeur est inférieure à la première\n"_l1},
    {302, "Pour les probabilités de variation des précipitations, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n"_l1},
    {303, "Pour les probabilités de variation du précipitations, la deuxième valeur est supérieure à 100.\n"_l1},
    {311, "Impossible de trouver la variation de température lié à cette précipitation.\n"_l1},
    {313, "Impossible de trouver le numéro d'effet lié à cette précipitation.\n"_l1},
    {314, "Impossible de trouver le troisième :, qui précède l'affichage de cette précipitation.\n"_l1},
    {315, "La liste des précipitation devrait se terminer par <.\n"_l1},
};

// The second probability not below the first, not equal to it, not above
// 100; `premiere` and `seconde` are where the two values begin.
void compare_probabilites(etat_passe& e, const textes_liste& t, curseur premiere, curseur seconde) {
  const auto a = static_cast<float>(premiere.entier());
  const auto b = static_cast<float>(seconde.entier());
  const lieu les_deux = de(premiere, seconde.apres_nombre());
  if (b < a)
    signale(e, ERREUR, t.probabilite_inferieure, les_deux);
  else if (b == a)
    signale(e, AVERTISSEMENT, t.probabilites_identiques, les_deux);
  if (b > 100) signale(e, AVERTISSEMENT, t.probabilite_sup_100, nombre(seconde));
}

// The list's place in the model, when one is filled from the line in hand.
liste_lue* modele_de(etat_passe& e, const textes_liste& t) { return modelise(e) ? &(e.modele->*t.modele) : nullptr; }

// First value after the first ":", second after the next "/".
void verifie_probabilites(etat_passe& e, const textes_liste& t) {
  e.en_main = e.en_main.apres(':');
  const curseur premiere = e.en_main;
  e.en_main = e.en_main.apres('/');
  compare_probabilites(e, t, premiere, e.en_main);
  if (liste_lue* m = modele_de(e, t)) {
    m->probabilites = place_de(e, {});
    m->premiere = nombre_en(e, premiere);
    m->seconde = nombre_en(e, e.en_main);
  }
}

// Head line and probability line; false when the pass has stopped.
bool debut_liste(etat_passe& e, const paragraphe_climat& p, const textes_liste& t) {
  if (!commence_paragraphe(e, p)) return false;
  lit_ligne(e);
  if (e.arret) return false;
  verifie_probabilites(e, t);
  return true;
}

// ":f" and an effect number, then the ":" before the display text.
void verifie_effet(etat_passe& e, const textes_liste& t, message f_absent, entree_lue* m) {
  e.en_main = e.en_main.apres(':');
  if (e.en_main.ici() != 'f') signale(e, ERREUR, f_absent, sur(e.en_main));
  if (!chiffre(e.en_main.car(1))) signale(e, ERREUR, t.effet_absent, sur(e.en_main.suivant()));
  const bool deux_points = e.en_main.contient(':');
  if (!deux_points) signale(e, ERREUR, t.affichage_absent, avant(e.en_main.fin_du_texte()));
  if (m == nullptr) return;
  m->effet = nombre_en(e, e.en_main.suivant());
  if (deux_points) m->affichage = texte_entre(e, e.en_main.apres(':'), e.en_main.apres(':').fin_du_texte());
}

// The fields after the number of an entry: for winds and precipitations a
// ":t" and a temperature variation come before the effect.
void verifie_champs(etat_passe& e, const textes_liste& t, entree_lue* m) {
  if (t.variation_absente.texte == nullptr) {
    verifie_effet(e, t, {309, "Juste après le premier : impossible de trouver le f qui précède le numéro d'effet.\n"_l1}, m);
    return;
  }
  e.en_main = e.en_main.apres(':');
  verifie_variation_t(
      e, {310, "Juste après le premier :, impossible de trouver le t qui précède la variation de température.\n"_l1},
      t.variation_absente);
  if (m != nullptr) {
    const curseur variation = e.en_main.suivant();
    curseur fin = variation;
    while (fin.ici() != ':' && fin.p != variation.fin_du_texte().p) fin = fin.plus(1);
    m->variation = texte_entre(e, variation, fin);
  }
  verifie_effet(e, t, {312, "Juste après le deuxième :, impossible de trouver le f qui précède le numéro d'effet.\n"_l1}, m);
}

// The entry lines, from the first one, which the caller has read, to the
// line that ends the list. `numero_lu` checks each entry's number.
template <typename F>
void parcourt_entrees(etat_passe& e, const paragraphe_climat& p, const textes_liste& t, F&& numero_lu) {
  bool suite = false;
  do {
    entree_lue* m = nullptr;
    if (liste_lue* liste = modele_de(e, t)) {
      m = &liste->entrees.emplace_back();
      m->ligne = place_de(e, {});
      m->numero = nombre_en(e, e.en_main);
    }
    numero_lu(static_cast<float>(e.en_main.entier()), nombre(e.en_main));
    verifie_champs(e, t, m);
    suite = lit_ligne(e);
  } while (suite && chiffre(e.en_main.ici()));
  if (suite && e.en_main.ici() != '<') signale(e, ERREUR, t.fermeture_absente, sur(e.en_main));
  termine_paragraphe(e, p);
}

// Temperatures and winds are numbered 1, 2, 3, ...; returns the last number.
int liste_numerotee(etat_passe& e, const paragraphe_climat& p, const textes_liste& t, message premier_absent,
                    message pas_incorrect) {
  lit_ligne(e);
  if (e.arret) return 0;
  if (e.en_main.ici() != '1') signale(e, ERREUR, premier_absent, nombre(e.en_main));
  float& precedent = e.suite.numero_precedent = 0;
  parcourt_entrees(e, p, t, [&](float numero, lieu l) {
    if (numero != precedent + 1) signale(e, ERREUR, pas_incorrect, l);
    precedent = numero;
  });
  return tronque(precedent);
}

}  // namespace

void verifie_variation_t(etat_passe& e, message t_absent, message variation_absente) {
  if (e.en_main.ici() != 't') signale(e, ERREUR, t_absent, sur(e.en_main));
  const char signe = e.en_main.car(1);
  if (!chiffre(signe) && ((signe != '-' && signe != '+') || !chiffre(e.en_main.car(2))))
    signale(e, ERREUR, variation_absente, sur(e.en_main.suivant()));
}

void compare_probabilites_precipitation(etat_passe& e, curseur premiere, curseur seconde) {
  compare_probabilites(e, PRECIPITATIONS, premiere, seconde);
}

void verifie_temperatures(etat_passe& e, const paragraphe_climat& p) {
  if (!debut_liste(e, p, TEMPERATURES)) return;
  e.nb_temperatures =
      liste_numerotee(e, p, TEMPERATURES, {304, "La première température de la liste ne commence pas par 1.\n"_l1},
                      {305, "Le numéro de la température ne suit pas le précédent avec un pas de 1.\n"_l1});
}

void verifie_vents(etat_passe& e, const paragraphe_climat& p) {
  if (!debut_liste(e, p, VENTS)) return;
  e.nb_vents = liste_numerotee(e, p, VENTS, {304, "Le premier vent de la liste ne commence pas par 1.\n"},
                               {305, "Le numéro du vent ne suit pas le précédent avec un pas de 1.\n"_l1});
}

void verifie_liste_precipitations(etat_passe& e, const paragraphe_climat& p) {
  if (!debut_liste(e, p, PRECIPITATIONS)) return;
  precipitations& liste = e.precipitations_listees;
  lit_ligne(e);
  if (e.arret) return;
  bool& pleine = e.suite.liste_pleine = false;
  parcourt_entrees(e, p, PRECIPITATIONS, [&](float numero, lieu l) {
    // One warning per earlier entry of the same number, among those kept.
    for (int n = liste.entrees(numero); n > 0; --n)
      signale(e, AVERTISSEMENT,
              {306, "Cette précipitation utilise un numéro déjà utilisé dans la liste de précipitation.\n"_l1}, l);
    if (!liste.ajoute(tronque(numero)) && !pleine) {
      pleine = true;
      signale(e, ERREUR,
              {308, "La liste de précipitation ne peut pas contenir plus de 99 précipitations, celle-ci et les suivantes ne seront pas prises en compte dans les causes des précipitations.\n"_l1},
              l);
    }
    if (numero == 0)
      signale(e, AVERTISSEMENT,
              {307, "Le numéro 0 est déconseillé pour une précipitation : le testeur ne peut pas vérifier qu'elle a une ligne sans condition.\n"_l1},
              l);
  });
}
