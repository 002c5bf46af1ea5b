#include "testeur_climat/passe.hpp"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "console/texte.hpp"

int Erreur_aff(rapport_constats& rapport, int* compteur, int type, int ligne, const char* message) {
  ++*compteur;
  rapport.constat(type, ligne, message);
  return 0;
}

void signale(etat_passe& e, int type, const char* message) {
  Erreur_aff(*e.rapport, type == ERREUR ? e.erreurs : e.avertissements, type, e.num_ligne, message);
}

void signale_f(etat_passe& e, int type, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(e.tampon_message, sizeof e.tampon_message, format, arguments);
  va_end(arguments);
  signale(e, type, e.tampon_message);
}

bool fin_de_lecture(etat_passe& e) {
  if (std::ferror(e.fichier) && !e.arret) {
    e.arret = true;
    e.illisible = true;
    signale(e, ERREUR, "Le fichier de climat ne peut pas être lu (erreur de lecture), la vérification s'arrête ici.\n"_l1);
  }
  return false;
}

bool lit_ligne_lente(etat_passe& e) {
  // What the block still holds (no line feed, fewer than 254 bytes) begins
  // the line; the next blocks bring the rest.
  char ligne[255];
  int n = e.bloc_fin - e.bloc_debut;
  std::memcpy(ligne, e.bloc + e.bloc_debut, static_cast<std::size_t>(n));
  e.bloc_debut = e.bloc_fin = 0;
  while (n < 254) {
    if (e.bloc_debut == e.bloc_fin) {
      if (e.fin_du_fichier) break;
      e.bloc_fin = static_cast<int>(std::fread(e.bloc, 1, sizeof e.bloc, e.fichier));
      e.bloc_debut = 0;
      if (std::ferror(e.fichier)) return false;  // as fgets: nothing of the line is kept
      if (e.bloc_fin == 0) {
        e.fin_du_fichier = true;
        break;
      }
    }
    const char c = e.bloc[e.bloc_debut++];
    ligne[n++] = c;
    if (c == '\n') break;
  }
  if (n == 0) return false;
  std::memcpy(e.tampon_ligne, ligne, static_cast<std::size_t>(n));
  e.tampon_ligne[n] = '\0';
  return true;
}

float lit_reel(const char* texte) {
  const double valeur = std::strtod(texte, nullptr);
  // Beyond the single-precision range the value becomes an infinity.
  if (valeur > FLT_MAX) return HUGE_VALF;
  if (valeur < -FLT_MAX) return -HUGE_VALF;
  return static_cast<float>(valeur);
}

int tronque(float valeur) {
  // The float of a 32-bit integer can only pass its upper bound (2^31 - 1
  // rounds to 2^31); its lower bound, -2^31, is exact.
  return valeur >= 2147483648.0f ? INT_MAX : static_cast<int>(valeur);
}

int entrees_listees_hors_bornes(const etat_passe& e, float numero) {
  int n = 0;
  for (int i = 1; i <= e.liste_precipitations[0]; ++i)
    if (static_cast<float>(e.liste_precipitations[i]) == numero) ++n;
  return n;
}

bool commence_paragraphe(etat_passe& e, const char* mot_cle, const char* message_absent, const char* message_fin) {
  ++e.etape;
  if (e.arret) return false;
  while (e.ligne()[0] != '>') {
    if (!lit_ligne(e)) {
      if (!e.arret) {
        signale(e, ERREUR, message_fin);
        e.arret = true;
      }
      return false;
    }
  }
  if (std::strstr(e.ligne(), mot_cle) == nullptr) signale(e, ERREUR, message_absent);
  return true;
}

void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport) {
  etat_passe e;  // its block needs no clearing: only what was read is looked at
  e.fichier = fichier;
  e.erreurs = erreurs;
  e.avertissements = avertissements;
  e.rapport = &rapport;
  while (!e.fin_du_fichier && !e.arret) {
    lit_ligne(e);
    if (e.arret) break;
    if (e.num_ligne >= 1 && e.num_ligne <= 6) {
      ++e.etape;
      verifie_entete(e);
    }
    if (e.etape == 7) {
      verifie_temperatures(e);
      verifie_vents(e);
      verifie_liste_precipitations(e);
      verifie_saisons(e);
      verifie_temperatures_saison(e);
      verifie_causes(e);
      verifie_horloge(e);
      e.etape = 14;
    }
  }
  // A file cut inside its header gets the checks of its missing lines on
  // what its last line left, as for any end of file; it must still not pass
  // for a clean file.
  if (e.lignes_lues < 6 && !e.illisible)
    signale(e, ERREUR, "Le fichier se termine avant la fin des six lignes d'en-tête.\n"_l1);
}
