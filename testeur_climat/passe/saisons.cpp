// The four seasons and their temperature ranges. Each paragraph reads exactly
// four lines after its head, whatever they hold, then its closing line.
#include "chaines.hpp"
#include "paragraphes.hpp"

namespace {

constexpr message NUMEROTATION = {401, "La numérotation des saisons est incorrecte.\n"_l1};

void verifie_fermeture_saisons(etat_passe& e, const paragraphe_climat& p) {
  lit_ligne(e);
  if (e.arret) return;
  termine_paragraphe(e, p);
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
float temperature_de_saison(etat_passe& e, message t_absent, message hors_limites, lieu& l, nombre_lu* m) {
  const curseur lettre = e.en_main;
  if (lettre.ici() != 't') signale(e, ERREUR, t_absent, sur(e.en_main));
  e.en_main = e.en_main.apres('t');
  if (lettre.ici() == 't') attend(e, sorte_attendue::temperature, e.en_main, lettre.p);
  l = nombre(e.en_main);
  if (m != nullptr) *m = nombre_en(e, e.en_main);
  const auto valeur = static_cast<float>(e.en_main.entier());
  if (valeur < 1 || valeur > static_cast<float>(e.nb_temperatures)) signale(e, ERREUR, hors_limites, l);
  return valeur;
}

void verifie_ligne_temperature_saison(etat_passe& e, char place) {
  const curseur debut = e.en_main;
  temperatures_lues* m = nullptr;
  if (modelise(e)) {
    m = &e.modele->temperatures_saison.emplace_back();
    m->ligne = place_de(e, {});
    if (chiffre(debut.car(1))) m->saison = {static_cast<double>(debut.car(1) - '0'), true, place_de(e, sur(debut.suivant()))};
  }
  if (debut.car(1) != place) signale(e, ERREUR, NUMEROTATION, sur(debut.suivant()));
  if (debut.car(2) != '=')
    signale(e, ERREUR, {405, "Impossible de trouver le = qui précède les températures minimale et maximale.\n"_l1},
            sur(debut.suivant().suivant()));
  e.en_main = e.en_main.apres('=');
  lieu lieu_minimum;
  const float minimum = temperature_de_saison(
      e, {406, "Impossible de trouver le t qui précède la température minimale.\n"_l1},
      {407, "La valeur de température minimale dépasse les limites admises.\n"_l1}, lieu_minimum,
      m != nullptr ? &m->minimum : nullptr);
  e.en_main = e.en_main.apres(',');
  lieu lieu_maximum;
  const float maximum = temperature_de_saison(
      e, {406, "Impossible de trouver le t qui précède la température maximale.\n"_l1},
      {407, "La valeur de température maximale dépasse les limites admises.\n"_l1}, lieu_maximum,
      m != nullptr ? &m->maximum : nullptr);
  if (maximum < minimum)
    signale(e, ERREUR,
            {408, "La valeur de température maximale est inférieure à la valeur de température minimale.\n"_l1},
            {lieu_minimum.debut, lieu_maximum.fin});
}

}  // namespace

void verifie_saisons(etat_passe& e, const paragraphe_climat& p) {
  if (!commence_paragraphe(e, p)) return;
  for (char& place = e.suite.place = '1'; place <= '4'; ++place) {
    lit_ligne(e);
    if (e.arret) return;
    if (modelise(e)) {
      saison_lue& m = e.modele->saisons.emplace_back();
      m.ligne = place_de(e, {});
      if (chiffre(e.en_main.ici())) m.numero = {static_cast<double>(e.en_main.ici() - '0'), true, place_de(e, sur(e.en_main))};
      if (e.en_main.car(1) == ':') m.affichage = texte_entre(e, e.en_main.plus(2), e.en_main.plus(2).fin_du_texte());
    }
    if (e.en_main.ici() != place) signale(e, ERREUR, NUMEROTATION, sur(e.en_main));
    if (e.en_main.car(1) != ':')
      signale(e, ERREUR, {402, "Impossible de trouver le : qui précède l'affichage de la saison.\n"_l1},
              sur(e.en_main.suivant()));
  }
  verifie_fermeture_saisons(e, p);
}

void verifie_temperatures_saison(etat_passe& e, const paragraphe_climat& p) {
  if (!commence_paragraphe(e, p)) return;
  for (char& place = e.suite.place = '1'; place <= '4'; ++place) {
    lit_ligne(e);
    if (e.arret) return;
    verifie_ligne_temperature_saison(e, place);
  }
  verifie_fermeture_saisons(e, p);
}
