// The vague clock: the "#Horloge vague:" mark, the total line, then the
// moment lines "number:time expression:tvariation:display text".
#include <algorithm>
#include <cstring>

#include "chaines.hpp"
#include "paragraphes.hpp"

namespace {

// A variable name that would not fit in the message is shown by its start.
constexpr std::size_t NOM_AFFICHE_MAX = 200;
// What the simulation shows of a moment's display text.
constexpr std::size_t AFFICHAGE_MAX = 33;

bool fin_de_ligne(curseur p) {
  return p.ici() == '\0' || p.ici() == '\n' || (p.ici() == '\r' && (p.car(1) == '\n' || p.car(1) == '\0'));
}

// The variable between the "$" at `ouvre` and the one at `ferme`.
void verifie_variable(etat_passe& e, curseur ouvre, curseur ferme, moment_lu* m) {
  const char* nom = ouvre.p + 1;
  const auto longueur = static_cast<std::size_t>(ferme.p - nom);
  int evenement = -1;
  for (int k = 0; k < 8 && evenement < 0; ++k)
    if (std::strlen(VARIABLES_HORLOGE[k].nom) == longueur && std::strncmp(VARIABLES_HORLOGE[k].nom, nom, longueur) == 0)
      evenement = k;
  const lieu l = de(ouvre, ferme.plus(1));
  if (m != nullptr) m->variables.push_back({std::string(nom, longueur), evenement, place_de(e, l)});
  if (evenement >= 0) return;
  if (longueur > NOM_AFFICHE_MAX)
    signale_f(e, ERREUR, 705, l, "La variable '%.*s...' n'est pas reconnue.", static_cast<int>(NOM_AFFICHE_MAX), nom);
  else
    signale_f(e, ERREUR, 705, l, "La variable '%.*s' n'est pas reconnue.", static_cast<int>(longueur), nom);
}

// The time expression, from the line in hand to the next ":" that stands
// outside a variable; returns where it ends (that ":", or where the line
// does).
curseur verifie_expression(etat_passe& e, moment_lu* m) {
  for (curseur p = e.en_main;;) {
    if (p.ici() == ':') return p;
    if (fin_de_ligne(p)) {
      signale(e, ERREUR,
              {707, "Impossible de trouver le : qui termine l'expression de l'heure de ce moment de la journée.\n"_l1},
              avant(p));
      return p;
    }
    if (p.ici() == '$') {
      const curseur nom = p.plus(1);
      attend(e, sorte_attendue::variable, nom);
      curseur fin = nom;
      while (fin.ici() != '$' && !fin_de_ligne(fin)) fin = fin.plus(1);
      const auto longueur = static_cast<std::size_t>(fin.p - nom.p);
      if (fin.ici() != '$') {
        signale_f(e, ERREUR, 706, de(p, fin), "Le $ qui ouvre la variable '%.*s' n'est pas refermé.\n"_l1,
                  static_cast<int>(std::min<std::size_t>(longueur, NOM_AFFICHE_MAX)), nom.p);
        return fin;
      }
      verifie_variable(e, p, fin, m);
      p = fin.plus(1);
      continue;
    }
    if (!chiffre(p.ici()) && std::strchr("$+-/*()", p.ici()) == nullptr)
      signale_f(e, ERREUR, 704, sur(p), "Le caractère %c n'est pas reconnu comme caractère à interprèter."_l1, p.ici());
    p = p.plus(1);
  }
}

void verifie_moment(etat_passe& e, int& dernier) {
  const int numero = e.en_main.entier();
  moment_lu* m = nullptr;
  if (modelise(e)) {
    m = &e.modele->horloge.moments.emplace_back();
    m->ligne = place_de(e, {});
    m->numero = nombre_en(e, e.en_main);
  }
  if (static_cast<long long>(numero) != static_cast<long long>(dernier) + 1)
    signale(e, ERREUR, {703, "Les numéros des moments ne se suivent pas."_l1}, nombre(e.en_main));
  dernier = numero;
  e.en_main = e.en_main.apres(':');
  const curseur fin_expression = verifie_expression(e, m);
  if (m != nullptr) m->expression = texte_entre(e, e.en_main, fin_expression);
  e.en_main = e.en_main.apres(':');
  verifie_variation_t(
      e, {708, "Juste après le deuxième :, impossible de trouver le t qui précède la variation de température.\n"_l1},
      {709, "Impossible de trouver la variation de température lié à ce moment de la journée.\n"_l1});
  if (m != nullptr) {
    const curseur variation = e.en_main.suivant();
    curseur fin = variation;
    while (fin.ici() != ':' && fin.p != variation.fin_du_texte().p) fin = fin.plus(1);
    m->variation = texte_entre(e, variation, fin);
  }
  e.en_main = e.en_main.apres(':');
  Efface_n(e.en_main.p);
  if (m != nullptr) m->affichage = texte_entre(e, e.en_main, e.en_main.plus(static_cast<int>(std::strlen(e.en_main.p))));
  if (std::strlen(e.en_main.p) > AFFICHAGE_MAX)
    signale(e, AVERTISSEMENT, {710, "Le texte à afficher est trop long, il sera tronqué à 33 caractères maximum.\n"_l1},
            de(e.en_main.plus(AFFICHAGE_MAX), e.en_main.fin_du_texte()));
}

}  // namespace

const variable_horloge VARIABLES_HORLOGE[8] = {
    {"lever", "le lever du soleil"},
    {"coucher", "le coucher du soleil"},
    {"deb_astro", "le début du crépuscule astronomique"_l1},
    {"fin_astro", "la fin du crépuscule astronomique"_l1},
    {"deb_naut", "le début du crépuscule nautique"_l1},
    {"fin_naut", "la fin du crépuscule nautique"_l1},
    {"deb_civil", "le début du crépuscule civil"_l1},
    {"fin_civil", "la fin du crépuscule civil"_l1},
};

void verifie_horloge(etat_passe& e, const paragraphe_climat& p) {
  // A read at the end of the file does not count here.
  while (std::strstr(e.en_main.p, p.tete) == nullptr)
    if (!ligne_suivante(e, p.fin_avant_tete, false)) return;
  e.rapport->paragraphe(e.etape, e.ligne_editeur);
  if (modelise(e)) {
    paragraphe_du_modele(*e.modele, p.etape).tete = e.modele->horloge.marque = e.ligne_editeur;
    paragraphe_du_modele(*e.modele, p.etape).tete_juste = true;
  }

  lit_ligne(e);
  if (e.arret) return;
  bool& total_lu = e.suite.total_lu = false;
  float& total = e.suite.total = 0;
  if (modelise(e)) e.modele->horloge.ligne_total = place_de(e, {});
  if (e.en_main.contient('=')) {
    e.en_main = e.en_main.apres('=');
    total = e.en_main.reel();
    total_lu = true;
    if (modelise(e)) {
      e.modele->horloge.total_present = true;
      e.modele->horloge.total = nombre_en(e, e.en_main, true);
    }
  } else {
    signale(e, ERREUR, {702, "La ligne suivant '#Horloge vague:' doit être la ligne du total, contenant '='.\n"_l1});
  }

  int& dernier = e.suite.dernier_moment = 0;
  bool lu = lit_ligne(e);
  if (e.arret) return;
  while (lu && chiffre(e.en_main.ici())) {
    verifie_moment(e, dernier);
    lu = lit_ligne(e);
    if (e.arret) return;
  }
  termine_paragraphe(e, p);
  // Without a total line there is nothing to compare: its error says it.
  if (total_lu && static_cast<float>(dernier) != total)
    signale(e, AVERTISSEMENT, {711, "Le nombre de moment lus ne correspond pas au total annoncé.\n"_l1});
}
