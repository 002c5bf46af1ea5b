// The vague clock: the "#Horloge vague:" mark, the total line, then the
// moment lines "number:time expression:tvariation:display text".
#include <algorithm>
#include <cstring>

#include "console/texte.hpp"
#include "testeur_climat/paragraphes.hpp"

namespace {

constexpr const char* VARIABLES[] = {"lever",    "coucher",  "deb_astro", "fin_astro",
                                     "deb_naut", "fin_naut", "deb_civil", "fin_civil"};

// A variable name that would not fit in the message is shown by its start.
constexpr std::size_t NOM_AFFICHE_MAX = 200;
// What the simulation shows of a moment's display text.
constexpr std::size_t AFFICHAGE_MAX = 33;

bool fin_de_ligne(const char* p) { return *p == '\0' || *p == '\n' || (*p == '\r' && (p[1] == '\n' || p[1] == '\0')); }

void verifie_variable(etat_passe& e, const char* nom, std::size_t longueur) {
  for (const char* variable : VARIABLES)
    if (std::strlen(variable) == longueur && std::strncmp(variable, nom, longueur) == 0) return;
  if (longueur > NOM_AFFICHE_MAX)
    signale_f(e, ERREUR, 705, "La variable '%.*s...' n'est pas reconnue.", static_cast<int>(NOM_AFFICHE_MAX), nom);
  else
    signale_f(e, ERREUR, 705, "La variable '%.*s' n'est pas reconnue.", static_cast<int>(longueur), nom);
}

// The time expression, from the start of the buffer to the next ":".
void verifie_expression(etat_passe& e) {
  const char* p = e.ligne();
  for (;;) {
    if (*p == ':') return;
    if (fin_de_ligne(p)) {
      signale(e, ERREUR,
              {707, "Impossible de trouver le : qui termine l'expression de l'heure de ce moment de la journée.\n"_l1});
      return;
    }
    if (*p == '$') {
      const char* nom = p + 1;
      const char* fin = nom;
      while (*fin != '$' && !fin_de_ligne(fin)) ++fin;
      if (*fin != '$') {
        signale_f(e, ERREUR, 706, "Le $ qui ouvre la variable '%.*s' n'est pas refermé.\n"_l1,
                  static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(fin - nom), NOM_AFFICHE_MAX)),
                  nom);
        return;
      }
      verifie_variable(e, nom, static_cast<std::size_t>(fin - nom));
      p = fin + 1;
      continue;
    }
    if (!chiffre(*p) && std::strchr("$+-/*()", *p) == nullptr)
      signale_f(e, ERREUR, 704, "Le caractère %c n'est pas reconnu comme caractère à interprèter."_l1, *p);
    ++p;
  }
}

void verifie_moment(etat_passe& e, int& dernier) {
  const int numero = lit_entier(e.ligne());
  if (static_cast<long long>(numero) != static_cast<long long>(dernier) + 1)
    signale(e, ERREUR, {703, "Les numéros des moments ne se suivent pas."_l1});
  dernier = numero;
  coupe_apres(e, ':');
  verifie_expression(e);
  coupe_apres(e, ':');
  verifie_variation_t(
      e, {708, "Juste après le deuxième :, impossible de trouver le t qui précède la variation de température.\n"_l1},
      {709, "Impossible de trouver la variation de température lié à ce moment de la journée.\n"_l1});
  coupe_apres(e, ':');
  Efface_n(e.ligne());
  if (std::strlen(e.ligne()) > AFFICHAGE_MAX)
    signale(e, AVERTISSEMENT, {710, "Le texte à afficher est trop long, il sera tronqué à 33 caractères maximum.\n"_l1});
}

}  // namespace

void verifie_horloge(etat_passe& e, const paragraphe& p) {
  // A read at the end of the file does not count here.
  while (std::strstr(e.ligne(), p.tete) == nullptr)
    if (!ligne_suivante(e, {701, "Impossible de trouver le paragraphe Horloge vague.\n Identifié par '#Horloge vague:'\n"_l1},
                        false))
      return;
  e.rapport->paragraphe(e.etape, e.ligne_editeur);

  lit_ligne(e);
  if (e.arret) return;
  bool total_lu = false;
  float total = 0;
  if (contient(e, '=')) {
    coupe_apres(e, '=');
    total = lit_reel(e.ligne());
    total_lu = true;
  } else {
    signale(e, ERREUR, {702, "La ligne suivant '#Horloge vague:' doit être la ligne du total, contenant '='.\n"_l1});
  }

  int dernier = 0;
  bool lu = lit_ligne(e);
  if (e.arret) return;
  while (lu && chiffre(e.ligne()[0])) {
    verifie_moment(e, dernier);
    lu = lit_ligne(e);
    if (e.arret) return;
  }
  // Without a total line there is nothing to compare: its error says it.
  if (total_lu && static_cast<float>(dernier) != total)
    signale(e, AVERTISSEMENT, {711, "Le nombre de moment lus ne correspond pas au total annoncé.\n"_l1});
}
