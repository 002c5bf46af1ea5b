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
  char* ligne;
  int moteur;
};

void verifie_valeur(regle& r, float valeur) {
  if (!precipitation_listee(r.e, valeur)) signale_f(r.e, ERREUR, PRECIPITATION_NON_LISTEE, valeur);
}

// The qualifiers after a value: each ";v" or ";t" and its number. `position`
// is where the character after the value's digits lies; returns the position
// of the first character after the qualifiers.
int lit_qualificatifs(regle& r, int position) {
  while (car(r.ligne, position) == ';') {
    Efface_char(r.ligne, ";");
    const char lettre = r.ligne[0];
    if (lettre != 'v' && lettre != 't') {
      signale(r.e, ERREUR, "Seul v ou t sont acceptés en plus d'une précipitation après un ;\n"_l1);
      position = 0;  // the offending letter stays and is examined next
      continue;
    }
    retire_debut(r.ligne, 1);
    const auto n = static_cast<float>(lit_entier(r.ligne));
    if (lettre == 'v' && n > static_cast<float>(r.e.nb_vents))
      signale_f(r.e, ERREUR, "Le vent %.0f n'existe pas.\n", n);
    if (lettre == 't' && n > static_cast<float>(r.e.nb_temperatures))
      signale_f(r.e, ERREUR, "La température %.0f n'existe pas.\n"_l1, n);
    position = fin_chiffres(r.ligne, 0);
  }
  return position;
}

void valeur_simple(regle& r) {
  verifie_valeur(r, static_cast<float>(lit_entier(r.ligne)));
  const int position = lit_qualificatifs(r, fin_chiffres(r.ligne, 0));
  const char c = car(r.ligne, position);
  if (c == '%' && car(r.ligne, position + 1) != '%') {
    if (r.moteur != 6)
      signale(r.e, ERREUR, "Seul le moteur M6 accepte la présence du % après chaque valeur.\n"_l1);
    Efface_char(r.ligne, "%");
    const auto pourcentage = static_cast<float>(lit_entier(r.ligne));
    if (r.e.pourcentage_precedent >= pourcentage)
      signale(r.e, AVERTISSEMENT, "Les pourcentages se chevauchent, des précipitations seront ignorées.\n"_l1);
    if (pourcentage > 100)
      signale(r.e, AVERTISSEMENT, "Les pourcentages dépassent 100%%, ils seront ignorés.\n"_l1);
    r.e.pourcentage_precedent = pourcentage;
  } else if (c != '%' && r.moteur == 6) {
    signale(r.e, ERREUR, "Le moteur M6 nécessite la présence du % après chaque valeur.\n"_l1);
  }
  retire_debut(r.ligne, fin_chiffres(r.ligne, 0));
}

// A "d" group: dx{v, v, ...}, with x the number of values it holds.
void groupe(regle& r) {
  if (r.moteur == 6)
    signale(r.e, ERREUR,
            "M6: Le moteur M6 ne prend pas en charge la syntaxe dx{}, il faut utiliser les moteurs M4 ou M5\n");
  retire_debut(r.ligne, 1);
  long long reste = lit_entier(r.ligne);
  if (car(r.ligne, fin_chiffres(r.ligne, 0)) != '{') {
    signale(r.e, ERREUR, "Après dx, on doit trouver {\n"_l1);
    return;
  }
  Efface_char(r.ligne, "{");
  for (;;) {
    verifie_valeur(r, static_cast<float>(lit_entier(r.ligne)));
    --reste;
    const int position = lit_qualificatifs(r, fin_chiffres(r.ligne, 0));
    const char c = car(r.ligne, position);
    if (c == ',') {
      Efface_char(r.ligne, ",");
      if (r.ligne[0] == '}') break;
      continue;
    }
    if (c != '}') {
      signale(r.e, ERREUR, "Erreur dans la syntaxe de dx{}, après une valeur on attend , ou }\n"_l1);
      // The group closes there. At the end of the text the "}" goes after
      // it: the entries consumed so far leave room in the buffer.
      if (c == '\0') {
        const std::size_t fin = std::strlen(r.ligne);
        r.ligne[fin + 1] = '\0';
        r.ligne[fin] = '}';
      } else {
        r.ligne[position] = '}';
      }
    }
    break;
  }
  Efface_char(r.ligne, "}");
  if (reste < 0) signale(r.e, ERREUR, "Dans la commande dx{}, le programme a trouvé plus de x valeurs.\n"_l1);
  if (reste > 0) signale(r.e, ERREUR, "Dans la commande dx{}, le programme a trouvé moins de x valeurs.\n"_l1);
}

void fin_m4(regle& r) {
  if (r.moteur != 4) signale(r.e, ERREUR, "Seul le moteur M4 traite le %% à la fin.\n"_l1);
  Efface_char(r.ligne, "%");
  Efface_char(r.ligne, "%");
  const auto premiere = static_cast<float>(lit_entier(r.ligne));
  Efface_char(r.ligne, "/");
  const auto seconde = static_cast<float>(lit_entier(r.ligne));
  compare_probabilites(r.e, premiere, seconde, PROBABILITE_PRECIPITATION_INFERIEURE,
                       PROBABILITES_PRECIPITATION_IDENTIQUES, PROBABILITE_PRECIPITATION_SUP_100);
  if (car(r.ligne, fin_chiffres(r.ligne, 0)) != '.')
    signale(r.e, ERREUR, "Après les probabilités de précipitation, on doit trouver le . qui termine la ligne.\n"_l1);
}

}  // namespace

void verifie_corps_regle(etat_passe& e) {
  char* ligne = e.tampon_ligne;
  regle r{e, ligne, std::strchr(ligne, '%') == nullptr ? 5 : std::strstr(ligne, "%%") != nullptr ? 4 : 6};
  if (std::strchr(ligne, '.') == nullptr)
    signale(e, ERREUR, "Les règles de précipitations doivent impérativement se terminer par un .\n"_l1);
  if (r.moteur != 6 && std::strstr(ligne, "/\\") == nullptr)
    signale(e, ERREUR, "/\\ est indispensable pour les moteurs M4 et M5.\n");
  if (ligne[0] != 'd' && !chiffre(ligne[0])) {
    signale(e, ERREUR,
            "Après = et les éventuelles conditions, la règle de précipitation doit commencer par un chiffre ou d{...}\n"_l1);
    return;
  }
  bool fini = false;
  for (;;) {
    if (ligne[0] == 'd') {
      groupe(r);
    } else if (chiffre(ligne[0])) {
      valeur_simple(r);
    } else {
      signale(e, ERREUR,
              "Erreur de syntaxe, le programme ne trouve pas la suite des règles de précipitation.\n"_l1);
      fini = true;
    }

    if (ligne[0] == '\0' || std::strchr(",/.%", ligne[0]) == nullptr) {
      signale(e, ERREUR, "Après une valeur lue, on attend , /\\ . ou %%.\n"_l1);
      return;
    }
    if (ligne[0] == ',') retire_debut(ligne, 1);
    if (ligne[0] == '/') {
      if (ligne[1] == '\\') {
        retire_debut(ligne, 2);
      } else {
        signale(e, ERREUR, "/ doit être suivi de \\.\n"_l1);
        retire_debut(ligne, 1);
      }
    }
    if (ligne[0] == '.') return;
    if (ligne[0] == '%') {
      fin_m4(r);
      return;
    }
    if (fini) return;
  }
}
