// The body of a rule line, after its "=" and its condition block: the engine
// is inferred from its percent signs (M4 "%%", M5 none, M6 "%"), then every
// entry, separator and ending is checked in that engine's syntax.
#include <cstring>

#include "console/texte.hpp"
#include "testeur_climat/passe.hpp"

namespace {

const char* const PRECIPITATION_NON_LISTEE =
    "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations.\n"_l1;

struct regle {
  etat_passe& e;
  int moteur;
  const char* ligne() const { return e.ligne(); }
};

void verifie_valeur(regle& r, int valeur) {
  if (!precipitation_listee(r.e, valeur))
    signale_f(r.e, ERREUR, PRECIPITATION_NON_LISTEE, static_cast<double>(static_cast<float>(valeur)));
}

// The qualifiers after a value: each ";v" or ";t" and its number. `position`
// is where the character after the value's digits lies (only digits stand
// before it, so a ";" there is the first of the line); returns the position
// of the first character after the qualifiers.
int lit_qualificatifs(regle& r, int position) {
  const char* l = r.ligne();
  while (l[position] == ';') {
    r.e.debut += position + 1;
    l = r.ligne();
    const char lettre = l[0];
    if (lettre != 'v' && lettre != 't') {
      signale(r.e, ERREUR, "Seul v ou t sont acceptés en plus d'une précipitation après un ;\n"_l1);
      position = 0;  // the offending letter stays and is examined next
      continue;
    }
    ++r.e.debut;
    ++l;
    const auto n = static_cast<float>(lit_entier(l));
    if (lettre == 'v' && n > static_cast<float>(r.e.nb_vents))
      signale_f(r.e, ERREUR, "Le vent %.0f n'existe pas.\n", n);
    if (lettre == 't' && n > static_cast<float>(r.e.nb_temperatures))
      signale_f(r.e, ERREUR, "La température %.0f n'existe pas.\n"_l1, n);
    position = fin_des_chiffres(l, 0);
  }
  return position;
}

// A value, from its first digit, with its qualifiers and its percentage.
void valeur_simple(regle& r) {
  const char* l = r.ligne();
  verifie_valeur(r, lit_entier(l));
  const int position = lit_qualificatifs(r, fin_des_chiffres(l, 0));
  l = r.ligne();
  const char c = l[position];
  if (c == '%' && l[position + 1] != '%') {
    if (r.moteur != 6)
      signale(r.e, ERREUR, "Seul le moteur M6 accepte la présence du % après chaque valeur.\n"_l1);
    r.e.debut += position + 1;  // only digits stand before that "%"
    const auto pourcentage = static_cast<float>(lit_entier(r.ligne()));
    if (r.e.pourcentage_precedent >= pourcentage)
      signale(r.e, AVERTISSEMENT, "Les pourcentages se chevauchent, des précipitations seront ignorées.\n"_l1);
    if (pourcentage > 100)
      signale(r.e, AVERTISSEMENT, "Les pourcentages dépassent 100%%, ils seront ignorés.\n"_l1);
    r.e.pourcentage_precedent = pourcentage;
  } else if (c != '%' && r.moteur == 6) {
    signale(r.e, ERREUR, "Le moteur M6 nécessite la présence du % après chaque valeur.\n"_l1);
  }
  r.e.debut += fin_des_chiffres(r.ligne(), 0);
}

// A "d" group: dx{v, v, ...}, with x the number of values it holds.
void groupe(regle& r) {
  if (r.moteur == 6)
    signale(r.e, ERREUR,
            "M6: Le moteur M6 ne prend pas en charge la syntaxe dx{}, il faut utiliser les moteurs M4 ou M5\n");
  retire(r.e, 1);
  long long reste = lit_entier(r.ligne());
  if (car(r.e, fin_chiffres(r.e, 0)) != '{') {
    signale(r.e, ERREUR, "Après dx, on doit trouver {\n"_l1);
    return;
  }
  coupe_apres(r.e, '{');
  bool ferme_a_la_fin = false;
  for (;;) {
    verifie_valeur(r, lit_entier(r.ligne()));
    --reste;
    const int position = lit_qualificatifs(r, fin_chiffres(r.e, 0));
    const char c = car(r.e, position);
    if (c == ',') {
      coupe_apres(r.e, ',');
      if (r.ligne()[0] == '}') break;
      continue;
    }
    if (c != '}') {
      signale(r.e, ERREUR, "Erreur dans la syntaxe de dx{}, après une valeur on attend , ou }\n"_l1);
      // The group closes there, in place of that character; at the end of
      // the text the "}" stands after it, and the line ends with the group.
      if (c == '\0')
        ferme_a_la_fin = true;
      else
        r.e.ligne()[position] = '}';
    }
    break;
  }
  if (ferme_a_la_fin)
    retire(r.e, INT_MAX);
  else
    coupe_apres(r.e, '}');
  if (reste < 0) signale(r.e, ERREUR, "Dans la commande dx{}, le programme a trouvé plus de x valeurs.\n"_l1);
  if (reste > 0) signale(r.e, ERREUR, "Dans la commande dx{}, le programme a trouvé moins de x valeurs.\n"_l1);
}

void fin_m4(regle& r) {
  if (r.moteur != 4) signale(r.e, ERREUR, "Seul le moteur M4 traite le %% à la fin.\n"_l1);
  coupe_apres(r.e, '%');
  coupe_apres(r.e, '%');
  const auto premiere = static_cast<float>(lit_entier(r.ligne()));
  coupe_apres(r.e, '/');
  const auto seconde = static_cast<float>(lit_entier(r.ligne()));
  compare_probabilites(r.e, premiere, seconde, PROBABILITE_PRECIPITATION_INFERIEURE,
                       PROBABILITES_PRECIPITATION_IDENTIQUES, PROBABILITE_PRECIPITATION_SUP_100);
  if (car(r.e, fin_chiffres(r.e, 0)) != '.')
    signale(r.e, ERREUR, "Après les probabilités de précipitation, on doit trouver le . qui termine la ligne.\n"_l1);
}

// Whether `premier` followed by `second` stands among the `n` bytes of `l`.
bool contient_paire(const char* l, std::size_t n, char premier, char second) {
  for (const char* p = static_cast<const char*>(std::memchr(l, premier, n)); p != nullptr;
       p = static_cast<const char*>(std::memchr(p + 1, premier, n - static_cast<std::size_t>(p + 1 - l))))
    if (p[1] == second) return true;
  return false;
}

}  // namespace

void verifie_corps_regle(etat_passe& e) {
  // What the engine and the two tests of the whole body need.
  const char* l = e.ligne();
  const std::size_t n = std::strlen(l);
  const bool pourcent = std::memchr(l, '%', n) != nullptr;
  const bool double_pourcent = contient_paire(l, n, '%', '%');
  const bool point = std::memchr(l, '.', n) != nullptr;
  const bool barres = contient_paire(l, n, '/', '\\');
  regle r{e, !pourcent ? 5 : double_pourcent ? 4 : 6};
  if (!point) signale(e, ERREUR, "Les règles de précipitations doivent impérativement se terminer par un .\n"_l1);
  if (r.moteur != 6 && !barres) signale(e, ERREUR, "/\\ est indispensable pour les moteurs M4 et M5.\n");
  if (r.ligne()[0] != 'd' && !chiffre(r.ligne()[0])) {
    signale(e, ERREUR,
            "Après = et les éventuelles conditions, la règle de précipitation doit commencer par un chiffre ou d{...}\n"_l1);
    return;
  }
  bool fini = false;
  for (;;) {
    const char debut = r.ligne()[0];
    if (debut == 'd') {
      groupe(r);
    } else if (chiffre(debut)) {
      valeur_simple(r);
    } else {
      signale(e, ERREUR, "Erreur de syntaxe, le programme ne trouve pas la suite des règles de précipitation.\n"_l1);
      fini = true;
    }

    l = r.ligne();
    if (*l != ',' && *l != '/' && *l != '.' && *l != '%') {
      signale(e, ERREUR, "Après une valeur lue, on attend , /\\ . ou %%.\n"_l1);
      return;
    }
    if (*l == ',') ++l;
    if (*l == '/') {
      if (l[1] == '\\') {
        l += 2;
      } else {
        signale(e, ERREUR, "/ doit être suivi de \\.\n"_l1);
        ++l;
      }
    }
    e.debut = static_cast<int>(l - e.tampon_ligne);
    if (*l == '.') return;
    if (*l == '%') {
      fin_m4(r);
      return;
    }
    if (fini) return;
  }
}
