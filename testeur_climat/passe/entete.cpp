// The six header lines, recognised by their position alone.
#include <cstring>

#include "chaines.hpp"
#include "paragraphes.hpp"

namespace {

// Latitude and longitude: the keyword anywhere in the line, then a decimal
// number after the first "=".
void verifie_coordonnee(etat_passe& e, const char* mot_cle, float limite, message absent, message nulle,
                        message hors_limites, bool entete_lu::*nommee, nombre_lu entete_lu::*m) {
  if (std::strstr(e.en_main.p, mot_cle) == nullptr) {
    signale(e, ERREUR, absent);
    return;
  }
  e.en_main = e.en_main.apres('=');
  const float valeur = e.en_main.reel();
  if (modelise(e)) {
    e.modele->entete.*nommee = true;
    e.modele->entete.*m = nombre_en(e, e.en_main, true);
  }
  if (valeur == 0)
    signale(e, AVERTISSEMENT, nulle, nombre(e.en_main, true));
  else if (valeur < -limite || valeur > limite)
    signale(e, AVERTISSEMENT, hors_limites, nombre(e.en_main, true));
}

void verifie_heure_ete(etat_passe& e) {
  e.en_main = e.en_main.apres('=');
  const char reponse = e.en_main.ici();
  if (modelise(e)) e.modele->entete.heure_ete = texte_entre(e, e.en_main, e.en_main.fin_du_texte().p > e.en_main.p ? e.en_main.plus(1) : e.en_main);
  if (reponse != 'O' && reponse != 'o' && reponse != 'N' && reponse != 'n')
    signale(e, ERREUR, {107, "Erreur de syntaxe pour l'heure d'été. Les réponses acceptées sont O, o, N ou n.\n"_l1},
            sur(e.en_main));
}

void verifie_decalage(etat_passe& e) {
  e.en_main = e.en_main.apres('=');
  const auto decalage = static_cast<float>(e.en_main.entier());
  if (modelise(e)) e.modele->entete.decalage = nombre_en(e, e.en_main);
  if (decalage < -24 || decalage > 24)
    signale(e, AVERTISSEMENT, {108, "La valeur de décalage horaire semble anormalement élevée\n"_l1}, nombre(e.en_main));
}

void verifie_temps_changement(etat_passe& e) {
  e.en_main = e.en_main.apres(':');
  const curseur debut = e.en_main;
  const auto premiere = static_cast<float>(e.en_main.entier());
  e.en_main = e.en_main.apres('-');
  const auto seconde = static_cast<float>(e.en_main.entier());
  if (modelise(e)) {
    e.modele->entete.temps_minimum = nombre_en(e, debut);
    e.modele->entete.temps_maximum = nombre_en(e, e.en_main);
  }
  // Both values are at fault: from the first to the end of the second.
  const lieu valeurs = de(debut, e.en_main.apres_nombre());
  if (seconde < premiere)
    signale(e, ERREUR,
            {109, "Pour le temps avant changement de météo, la deuxième valeur est inférieure à la première\n"_l1}, valeurs);
  if (seconde == premiere)
    signale(e, AVERTISSEMENT,
            {110, "Pour le temps avant changement de météo, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n"_l1},
            valeurs);
}

void verifie_changement_force(etat_passe& e) {
  e.en_main = e.en_main.apres(':');
  if (modelise(e)) e.modele->entete.changement_force = nombre_en(e, e.en_main);
  if (static_cast<float>(e.en_main.entier()) == 0)
    signale(e, AVERTISSEMENT,
            {111, "Le nombre de fois avant changement de météo forcé est nul, vérifiez que ce n'est pas une erreur\n"_l1},
            nombre(e.en_main));
}

}  // namespace

void verifie_entete(etat_passe& e) {
  if (modelise(e) && e.num_ligne >= 1 && e.num_ligne <= LIGNES_ENTETE)
    e.modele->entete.lignes[e.num_ligne - 1] = place_de(e, {});
  switch (e.num_ligne) {
    case 1:
      verifie_coordonnee(e, "Latitude=", 65, {101, "La première ligne doit commencer impérativement par Latitude=\n"_l1},
                         {102, "La latitude est nulle, vérifiez que ce n'est pas une erreur\n"_l1},
                         {103, "La latitude est inférieure à -65 ou supérieure à 65, ces valeurs seront bridées à -65 ou +65.\n"_l1},
                         &entete_lu::latitude_nommee, &entete_lu::latitude);
      break;
    case 2:
      verifie_coordonnee(e, "Longitude=", 180, {104, "La deuxième ligne doit commencer impérativement par Longitude=\n"_l1},
                         {105, "La Longitude est nulle, vérifiez que ce n'est pas une erreur\n"_l1},
                         {106, "La Longitude est inférieure à -180 ou supérieure à 180, ces valeurs seront bridées à -180 ou +180.\n"_l1},
                         &entete_lu::longitude_nommee, &entete_lu::longitude);
      break;
    case 3:
      verifie_heure_ete(e);
      break;
    case 4:
      verifie_decalage(e);
      break;
    case 5:
      verifie_temps_changement(e);
      break;
    case 6:
      verifie_changement_force(e);
      break;
    default:
      break;
  }
}
