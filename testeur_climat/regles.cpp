// The body of a rule line, after its "=" and its condition block: the engine
// is inferred from its percent signs (M4 "%%", M5 none, M6 "%"), then every
// entry, separator and ending is checked in that engine's syntax.
#include "console/texte.hpp"
#include "testeur_climat/paragraphes.hpp"

namespace {

// What the engine and the two tests of the whole body need, found in one
// look at the body; it counts everything left of the line, past the "." too.
struct apercu {
  bool pourcent = false;
  bool double_pourcent = false;
  bool point = false;
  bool barres = false;  // "/\"
};

apercu regarde(const etat_passe& e) {
  apercu a;
  const char* const fin = e.tampon_ligne + e.fin;
  for (const char* p = e.tampon_ligne + e.debut; p < fin; ++p) {
    if (*p == '%') {
      a.pourcent = true;
      a.double_pourcent = a.double_pourcent || p[1] == '%';
    } else if (*p == '.') {
      a.point = true;
    } else if (*p == '/') {
      a.barres = a.barres || p[1] == '\\';
    }
  }
  return a;
}

// The qualifiers after a number: each ";v" or ";t" and its number.
// `position` is where the character after the number's digits lies (only
// digits stand before it); returns the position of the first character
// after the qualifiers, with only digits before it.
int lit_qualificatifs(etat_passe& e, int position) {
  while (car(e, position) == ';') {
    e.debut += position + 1;
    const char lettre = e.ligne()[0];
    if (lettre == 'v' || lettre == 't') {
      ++e.debut;
      verifie_reference(e, lettre == 'v' ? sorte::vent : sorte::temperature,
                        static_cast<float>(lit_entier(e.ligne())));
    } else {
      // The number is not checked; a letter stays in place and is examined next.
      signale(e, ERREUR, "Seul v ou t sont acceptés en plus d'une précipitation après un ;\n"_l1);
    }
    position = fin_chiffres(e, 0);
  }
  return position;
}

// A value, from its first digit, with its qualifiers and its percentage.
void valeur_simple(etat_passe& e, int moteur) {
  verifie_precipitation(e, lit_entier(e.ligne()));
  const int position = lit_qualificatifs(e, fin_chiffres(e, 0));
  const char c = car(e, position);
  if (c == '%' && car(e, position + 1) != '%') {
    if (moteur != 6) signale(e, ERREUR, "Seul le moteur M6 accepte la présence du % après chaque valeur.\n"_l1);
    e.debut += position + 1;
    const auto pourcentage = static_cast<float>(lit_entier(e.ligne()));
    if (e.pourcentage_precedent >= pourcentage)
      signale(e, AVERTISSEMENT, "Les pourcentages se chevauchent, des précipitations seront ignorées.\n"_l1);
    if (pourcentage > 100)
      signale(e, AVERTISSEMENT, "Les pourcentages dépassent 100%%, ils seront ignorés.\n"_l1);
    e.pourcentage_precedent = pourcentage;
  } else if (c != '%' && moteur == 6) {
    signale(e, ERREUR, "Le moteur M6 nécessite la présence du % après chaque valeur.\n"_l1);
  }
  e.debut += fin_chiffres(e, 0);
}

// The values of a group, after its "{", up to the character that closes it.
// Returns how many were read.
long long valeurs_du_groupe(etat_passe& e) {
  for (long long lues = 1;; ++lues) {
    verifie_precipitation(e, lit_entier(e.ligne()));
    const int position = lit_qualificatifs(e, fin_chiffres(e, 0));
    const char c = car(e, position);
    if (c == ',') {
      coupe_apres(e, ',');
      if (e.ligne()[0] == '}') return lues;
      continue;
    }
    if (c != '}') {
      signale(e, ERREUR, "Erreur dans la syntaxe de dx{}, après une valeur on attend , ou }\n"_l1);
      // The group closes there, in place of that character; at the end of
      // the text the "}" stands after it, and the line ends with the group.
      if (c == '\0')
        retire(e, INT_MAX);
      else
        e.ligne()[position] = '}';
    }
    return lues;
  }
}

// A "d" group: dx{v, v, ...}, with x the number of values it holds.
void groupe(etat_passe& e, int moteur) {
  if (moteur == 6)
    signale(e, ERREUR,
            "M6: Le moteur M6 ne prend pas en charge la syntaxe dx{}, il faut utiliser les moteurs M4 ou M5\n");
  retire(e, 1);
  const long long annonce = lit_entier(e.ligne());
  if (car(e, fin_chiffres(e, 0)) != '{') {
    signale(e, ERREUR, "Après dx, on doit trouver {\n"_l1);
    return;
  }
  coupe_apres(e, '{');
  const long long reste = annonce - valeurs_du_groupe(e);
  coupe_apres(e, '}');
  if (reste < 0) signale(e, ERREUR, "Dans la commande dx{}, le programme a trouvé plus de x valeurs.\n"_l1);
  if (reste > 0) signale(e, ERREUR, "Dans la commande dx{}, le programme a trouvé moins de x valeurs.\n"_l1);
}

void fin_m4(etat_passe& e, int moteur) {
  if (moteur != 4) signale(e, ERREUR, "Seul le moteur M4 traite le %% à la fin.\n"_l1);
  coupe_apres(e, '%');
  coupe_apres(e, '%');
  const auto premiere = static_cast<float>(lit_entier(e.ligne()));
  coupe_apres(e, '/');
  const auto seconde = static_cast<float>(lit_entier(e.ligne()));
  compare_probabilites_precipitation(e, premiere, seconde);
  if (car(e, fin_chiffres(e, 0)) != '.')
    signale(e, ERREUR, "Après les probabilités de précipitation, on doit trouver le . qui termine la ligne.\n"_l1);
}

// What follows an entry: a separator, the final "." or the M4 ending.
// Returns whether the line goes on with another entry.
bool apres_entree(etat_passe& e, int moteur) {
  char c = e.ligne()[0];
  if (c != ',' && c != '/' && c != '.' && c != '%') {
    signale(e, ERREUR, "Après une valeur lue, on attend , /\\ . ou %%.\n"_l1);
    return false;
  }
  if (c == ',') retire(e, 1);
  if (e.ligne()[0] == '/') {
    if (car(e, 1) == '\\') {
      retire(e, 2);
    } else {
      signale(e, ERREUR, "/ doit être suivi de \\.\n"_l1);
      retire(e, 1);
    }
  }
  c = e.ligne()[0];
  if (c == '%') fin_m4(e, moteur);
  return c != '.' && c != '%';
}

}  // namespace

void verifie_corps_regle(etat_passe& e) {
  const apercu a = regarde(e);
  const int moteur = !a.pourcent ? 5 : a.double_pourcent ? 4 : 6;
  if (!a.point) signale(e, ERREUR, "Les règles de précipitations doivent impérativement se terminer par un .\n"_l1);
  if (moteur != 6 && !a.barres) signale(e, ERREUR, "/\\ est indispensable pour les moteurs M4 et M5.\n");
  if (e.ligne()[0] != 'd' && !chiffre(e.ligne()[0])) {
    signale(e, ERREUR,
            "Après = et les éventuelles conditions, la règle de précipitation doit commencer par un chiffre ou d{...}\n"_l1);
    return;
  }
  for (;;) {
    const char debut = e.ligne()[0];
    const bool fini = debut != 'd' && !chiffre(debut);
    if (debut == 'd')
      groupe(e, moteur);
    else if (!fini)
      valeur_simple(e, moteur);
    else
      signale(e, ERREUR, "Erreur de syntaxe, le programme ne trouve pas la suite des règles de précipitation.\n"_l1);
    if (!apres_entree(e, moteur) || fini) return;
  }
}
