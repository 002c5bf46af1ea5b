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

void verifie_ligne_temperature_saison(etat_passe& e, char place) {
  const curseur debut = e.en_main;
  if (debut.car(1) != place) signale(e, ERREUR, NUMEROTATION, sur(debut.suivant()));
  if (debut.car(2) != '=') {
    signale(e, ERREUR, {405, "Impossible de trouver le = qui précède les températures minimale et maximale.\n"_l1},
            sur(debut.suivant().suivant()));
  }
  e.en_main = e.en_main.apres('=');
  if (e.en_main.ici() != 't')
    signale(e, ERREUR, {406, "Impossible de trouver le t qui précède la température minimale.\n"_l1}, sur(e.en_main));
  e.en_main = e.en_main.apres('t');
  const lieu lieu_minimum = nombre(e.en_main);
  const auto minimum = static_cast<float>(e.en_main.entier());
  const auto plafond = static_cast<float>(e.nb_temperatures);
  if (minimum < 1 || minimum > plafond)
    signale(e, ERREUR, {407, "La valeur de température minimale dépasse les limites admises.\n"_l1}, lieu_minimum);
  e.en_main = e.en_main.apres(',');
  if (e.en_main.ici() != 't')
    signale(e, ERREUR, {406, "Impossible de trouver le t qui précède la température maximale.\n"_l1}, sur(e.en_main));
  e.en_main = e.en_main.apres('t');
  const lieu lieu_maximum = nombre(e.en_main);
  const auto maximum = static_cast<float>(e.en_main.entier());
  if (maximum < 1 || maximum > plafond)
    signale(e, ERREUR, {407, "La valeur de température maximale dépasse les limites admises.\n"_l1}, lieu_maximum);
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
  for (char place = '1'; place <= '4'; ++place) {
    lit_ligne(e);
    if (e.arret) return;
    if (e.en_main.ici() != place) signale(e, ERREUR, NUMEROTATION, sur(e.en_main));
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
  for (char place = '1'; place <= '4'; ++place) {
    lit_ligne(e);
    if (e.arret) return;
    verifie_ligne_temperature_saison(e, place);
  }
  verifie_fermeture_saisons(e);
}
