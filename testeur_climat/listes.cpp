// The temperature, wind and precipitation lists: head line, probability line,
// numbered entries, closing line "<".
#include <algorithm>

#include "console/texte.hpp"
#include "testeur_climat/paragraphes.hpp"

namespace {

struct textes_liste {
  genre_lien genre;  // what its entries are, for an editor
  message entete_absente;
  message fin_avant_entete;
  message probabilite_inferieure;
  message probabilites_identiques;
  message probabilite_sup_100;
  message variation_absente;     // wind and precipitation only
  message effet_absent;
  message affichage_absent;      // the ":" before the display text
  message fermeture_absente;
};

const textes_liste TEMPERATURES = {
    genre_lien::temperature,
    {201, "Le premier paragraphe après #Affichage: doit être celui de la température et commencer par >Température:\n"_l1},
    {203, "Le fichier se termine avant le paragraphe de la température, qui doit commencer par >Température:\n"_l1},
    {301, "Pour les probabilités de variation de température, la deuxième valeur est inférieure à la première\n"_l1},
    {302, "Pour les probabilités de variation de température, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n"_l1},
    {303, "Pour les probabilités de variation du température, la deuxième valeur est supérieure à 100.\n"_l1},
    {},
    {313, "Impossible de trouver le numéro d'effet lié à cette température.\n"_l1},
    {314, "Impossible de trouver le deuxième : qui précède l'affichage de la température.\n"_l1},
    {315, "La liste de température devrait se terminer par <.\n"_l1},
};

const textes_liste VENTS = {
    genre_lien::vent,
    {201, "Le deuxième paragraphe après #Affichage: doit être celui du vent et commencer par >Vent:\n"_l1},
    {203, "Le fichier se termine avant le paragraphe du vent, qui doit commencer par >Vent:\n"_l1},
    {301, "Pour les probabilités de variation du vent, la deuxième valeur est inférieure à la première\n"_l1},
    {302, "Pour les probabilités de variation du vent, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n"_l1},
    {303, "Pour les probabilités de variation du vent, la deuxième valeur est supérieure à 100.\n"_l1},
    {311, "Impossible de trouver la variation de température lié à ce vent.\n"_l1},
    {313, "Impossible de trouver le numéro d'effet lié à ce vent.\n"_l1},
    {314, "Impossible de trouver le troisième :, qui précède l'affichage de ce vent.\n"_l1},
    {315, "La liste des vents devrait se terminer par <.\n"},
};

const textes_liste PRECIPITATIONS = {
    genre_lien::precipitation,
    {201, "Le troisième paragraphe après #Affichage: doit être celui des précipitation et commencer par >Précipitation:\n"_l1},
    {203, "Le fichier se termine avant le paragraphe des précipitations, qui doit commencer par >Précipitation:\n"_l1},
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

// First value after the first ":", second after the next "/".
void verifie_probabilites(etat_passe& e, const textes_liste& t) {
  e.en_main = e.en_main.apres(':');
  const curseur premiere = e.en_main;
  e.en_main = e.en_main.apres('/');
  compare_probabilites(e, t, premiere, e.en_main);
}

// Head line and probability line; false when the pass has stopped.
bool debut_liste(etat_passe& e, const paragraphe& p, const textes_liste& t) {
  if (!commence_paragraphe(e, p, t.entete_absente, t.fin_avant_entete)) return false;
  lit_ligne(e);
  if (e.arret) return false;
  verifie_probabilites(e, t);
  return true;
}

// ":f" and an effect number, then the ":" before the display text.
void verifie_effet(etat_passe& e, const textes_liste& t, message f_absent) {
  e.en_main = e.en_main.apres(':');
  if (e.en_main.ici() != 'f') signale(e, ERREUR, f_absent, sur(e.en_main));
  if (!chiffre(e.en_main.car(1))) signale(e, ERREUR, t.effet_absent, sur(e.en_main.suivant()));
  if (!e.en_main.contient(':')) signale(e, ERREUR, t.affichage_absent, avant(e.en_main.fin_du_texte()));
}

// The fields after the number of an entry: for winds and precipitations a
// ":t" and a temperature variation come before the effect.
void verifie_champs(etat_passe& e, const textes_liste& t) {
  if (t.variation_absente.texte == nullptr) {
    verifie_effet(e, t, {309, "Juste après le premier : impossible de trouver le f qui précède le numéro d'effet.\n"_l1});
    return;
  }
  e.en_main = e.en_main.apres(':');
  verifie_variation_t(
      e, {310, "Juste après le premier :, impossible de trouver le t qui précède la variation de température.\n"_l1},
      t.variation_absente);
  verifie_effet(e, t, {312, "Juste après le deuxième :, impossible de trouver le f qui précède le numéro d'effet.\n"_l1});
}

// The entry lines, from the first one, which the caller has read, to the
// line that ends the list. `numero_lu` checks each entry's number.
template <typename F>
void parcourt_entrees(etat_passe& e, const textes_liste& t, F&& numero_lu) {
  bool suite = false;
  do {
    relie(e, t.genre, true, e.en_main);
    numero_lu(static_cast<float>(e.en_main.entier()), nombre(e.en_main));
    verifie_champs(e, t);
    suite = lit_ligne(e);
  } while (suite && chiffre(e.en_main.ici()));
  if (suite && e.en_main.ici() != '<') signale(e, ERREUR, t.fermeture_absente, sur(e.en_main));
}

// Temperatures and winds are numbered 1, 2, 3, ...; returns the last number.
int liste_numerotee(etat_passe& e, const textes_liste& t, message premier_absent, message pas_incorrect) {
  lit_ligne(e);
  if (e.arret) return 0;
  if (e.en_main.ici() != '1') signale(e, ERREUR, premier_absent, nombre(e.en_main));
  float& precedent = e.suite.numero_precedent = 0;
  parcourt_entrees(e, t, [&](float numero, lieu l) {
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

void verifie_temperatures(etat_passe& e, const paragraphe& p) {
  if (!debut_liste(e, p, TEMPERATURES)) return;
  e.nb_temperatures =
      liste_numerotee(e, TEMPERATURES, {304, "La première température de la liste ne commence pas par 1.\n"_l1},
                      {305, "Le numéro de la température ne suit pas le précédent avec un pas de 1.\n"_l1});
}

void verifie_vents(etat_passe& e, const paragraphe& p) {
  if (!debut_liste(e, p, VENTS)) return;
  e.nb_vents = liste_numerotee(e, VENTS, {304, "Le premier vent de la liste ne commence pas par 1.\n"},
                               {305, "Le numéro du vent ne suit pas le précédent avec un pas de 1.\n"_l1});
}

void verifie_liste_precipitations(etat_passe& e, const paragraphe& p) {
  if (!debut_liste(e, p, PRECIPITATIONS)) return;
  precipitations& liste = e.precipitations_listees;
  lit_ligne(e);
  if (e.arret) return;
  bool& pleine = e.suite.liste_pleine = false;
  parcourt_entrees(e, PRECIPITATIONS, [&](float numero, lieu l) {
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
