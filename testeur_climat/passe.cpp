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

namespace {

bool lit(etat_passe& e, bool compte_la_fin) {
  // fgets leaves its buffer undefined after a read error: read aside.
  char lu[sizeof e.tampon_ligne];
  const bool ok = std::fgets(lu, sizeof lu, e.fichier) != nullptr;
  if (ok || compte_la_fin) {
    if (e.num_ligne < INT_MAX) ++e.num_ligne;
  }
  if (ok) {
    std::memcpy(e.tampon_ligne, lu, sizeof lu);
    if (e.lignes_lues < 6) ++e.lignes_lues;
    return true;
  }
  if (std::ferror(e.fichier) && !e.arret) {
    e.arret = true;
    e.illisible = true;
    signale(e, ERREUR, "Le fichier de climat ne peut pas être lu (erreur de lecture), la vérification s'arrête ici.\n"_l1);
  }
  return false;
}

}  // namespace

bool lit_ligne(etat_passe& e) { return lit(e, true); }
bool lit_ligne_sans_compter_la_fin(etat_passe& e) { return lit(e, false); }

int lit_entier(const char* texte) {
  const char* p = texte;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negatif = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long valeur = 0;
  for (; chiffre(*p); ++p) {
    valeur = valeur * 10 + (*p - '0');
    if (valeur > static_cast<long long>(INT_MAX) + 1) valeur = static_cast<long long>(INT_MAX) + 1;
  }
  if (negatif) return static_cast<int>(-valeur);
  return static_cast<int>(std::min<long long>(valeur, INT_MAX));
}

float lit_reel(const char* texte) {
  const double valeur = std::strtod(texte, nullptr);
  // Beyond the single-precision range the value becomes an infinity.
  if (valeur > FLT_MAX) return HUGE_VALF;
  if (valeur < -FLT_MAX) return -HUGE_VALF;
  return static_cast<float>(valeur);
}

int tronque(float valeur) {
  if (!(valeur > -2147483648.0f)) return valeur != valeur ? 0 : INT_MIN;
  if (valeur >= 2147483648.0f) return INT_MAX;
  return static_cast<int>(valeur);
}

char car(const char* texte, int i) {
  for (int k = 0; k < i; ++k)
    if (texte[k] == '\0') return '\0';
  return texte[i];
}

void retire_debut(char* texte, int n) {
  const std::size_t longueur = std::strlen(texte);
  const std::size_t retire = std::min(longueur, static_cast<std::size_t>(n));
  std::memmove(texte, texte + retire, longueur - retire + 1);
}

int fin_chiffres(const char* texte, int debut) {
  int i = debut;
  if (car(texte, i) == '\0') return i;
  while (chiffre(texte[i])) ++i;
  return i;
}

bool commence_paragraphe(etat_passe& e, const char* mot_cle, const char* message_absent, const char* message_fin) {
  ++e.etape;
  if (e.arret) return false;
  while (e.tampon_ligne[0] != '>') {
    if (!lit_ligne(e)) {
      if (!e.arret) {
        signale(e, ERREUR, message_fin);
        e.arret = true;
      }
      return false;
    }
  }
  if (std::strstr(e.tampon_ligne, mot_cle) == nullptr) signale(e, ERREUR, message_absent);
  return true;
}

void moteur_principal(std::FILE* fichier, int* erreurs, int* avertissements, rapport_constats& rapport) {
  etat_passe e{fichier, erreurs, avertissements, &rapport};
  while (!std::feof(fichier) && !e.arret) {
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
