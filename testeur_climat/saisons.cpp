// The four seasons and their temperature ranges. Each paragraph reads exactly
// four lines after its head, whatever they hold, then its closing line.
#include "console/texte.hpp"
#include "testeur_climat/paragraphes.hpp"

namespace {

constexpr message NUMEROTATION = {401, "La numérotation des saisons est incorrecte.\n"_l1};

void verifie_fermeture_saisons(etat_passe& e) {
  lit_ligne(e);
  if (e.arret) return;
  const char premier = e.en_main.ici();
  if (premier == '<') return;
  if (chiffre(premier))
    signale(e, ERREUR, {403, "La liste des saisons ne doit contenir que 4 saisons.\n"});
  else
    signale(e, ERREUR, {404, "La liste de 4 saisons doit se terminer par un <.\n"}, sur(e.en_main));
}

// A temperature of a season, from where its "t" should be: the number after
// the "t", checked against the temperature list. Returns it, and where it
// stands in `l`.
float temperature_de_saison(etat_passe& e, message t_absent, message hors_limites, lieu& l) {
  if (e.en_main.ici() != 't') signale(e, ERREUR, t_absent, sur(e.en_main));
  e.en_main = e.en_main.apres('t');
  l = nombre(e.en_main);
  relie(e, genre_lien::temperature, false, e.en_main);
  const auto valeur = static_cast<float>(e.en_main.entier());
  if (valeur < 1 || valeur > static_cast<float>(e.nb_temperatures)) signale(e, ERREUR, hors_limites, l);
  return valeur;
}

void verifie_ligne_temperature_saison(etat_passe& e, char place) {
  const curseur debut = e.en_main;
  if (debut.car(1) != place) signale(e, ERREUR, NUMEROTATION, sur(debut.suivant()));
  if (chiffre(debut.car(1))) relie_lien(e, genre_lien::saison, false, debut.car(1) - '0', sur(debut.suivant()));
  if (debut.car(2) != '=')
    signale(e, ERREUR, {405, "Impossible de trouver le = qui précède les températures minimale et maximale.\n"_l1},
            sur(debut.suivant().suivant()));
  e.en_main = e.en_main.apres('=');
  lieu lieu_minimum;
  const float minimum = temperature_de_saison(
      e, {406, "Impossible de trouver le t qui précède la température minimale.\n"_l1},
      {407, "La valeur de température minimale dépasse les limites admises.\n"_l1}, lieu_minimum);
  e.en_main = e.en_main.apres(',');
  lieu lieu_maximum;
  const float maximum = temperature_de_saison(
      e, {406, "Impossible de trouver le t qui précède la température maximale.\n"_l1},
      {407, "La valeur de température maximale dépasse les limites admises.\n"_l1}, lieu_maximum);
  if (maximum < minimum)
    signale(e, ERREUR,
            {408, "La valeur de température maximale est inférieure à la valeur de température minimale.\n"_l1},
            {lieu_minimum.debut, lieu_maximum.fin});
}

}  // namespace

void verifie_saisons(etat_passe& e, const paragraphe& p) {
  if (!commence_paragraphe(e, p,
                           {201, "Le quatrième paragraphe après #Affichage: doit être celui des saison et commencer par >Saison:\n"_l1},
                           {203, "Le fichier se termine avant le paragraphe des saisons, qui doit commencer par >Saison:\n"}))
    return;
  for (char& place = e.suite.place = '1'; place <= '4'; ++place) {
    lit_ligne(e);
    if (e.arret) return;
    if (e.en_main.ici() != place) signale(e, ERREUR, NUMEROTATION, sur(e.en_main));
    if (chiffre(e.en_main.ici())) relie_lien(e, genre_lien::saison, true, e.en_main.ici() - '0', sur(e.en_main));
    if (e.en_main.car(1) != ':')
      signale(e, ERREUR, {402, "Impossible de trouver le : qui précède l'affichage de la saison.\n"_l1},
              sur(e.en_main.suivant()));
  }
  verifie_fermeture_saisons(e);
}

void verifie_temperatures_saison(etat_passe& e, const paragraphe& p) {
  if (!commence_paragraphe(
          e, p,
          {201, "Le cinquième paragraphe après #Affichage: doit être celui des température par saison et commencer par >Température par saison:\n"_l1},
          {203, "Le fichier se termine avant le paragraphe des températures par saison, qui doit commencer par >Température par saison:\n"_l1}))
    return;
  for (char& place = e.suite.place = '1'; place <= '4'; ++place) {
    lit_ligne(e);
    if (e.arret) return;
    verifie_ligne_temperature_saison(e, place);
  }
  verifie_fermeture_saisons(e);
}
