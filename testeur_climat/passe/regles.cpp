// The body of a rule line, after its "=" and its condition block: the engine
// is inferred from its percent signs (M4 "%%", M5 none, M6 "%"), then every
// entry, separator and ending is checked in that engine's syntax.
//
// The body is walked with a cursor over the line in hand: each step takes
// it and returns where what is left begins, as the cuts of the line would
// leave it.
#include <cstring>

#include "chaines.hpp"
#include "paragraphes.hpp"

namespace {

// The three rule engines, told apart by the body's percent signs.
enum class moteur { M4, M5, M6 };

// What the engine and the two tests of the whole body need, found in one
// look at the body; it counts everything left of the line, past the "." too.
struct apercu {
  bool pourcent = false;
  bool double_pourcent = false;
  bool point = false;
  bool barres = false;  // "/\"
};

// Whether `premier` followed by `second` stands between `p` and `fin` (the
// character after the last one is the NUL).
bool contient_paire(const char* p, const char* fin, char premier, char second) {
  for (p = static_cast<const char*>(std::memchr(p, premier, static_cast<std::size_t>(fin - p))); p != nullptr;
       p = static_cast<const char*>(std::memchr(p + 1, premier, static_cast<std::size_t>(fin - p - 1))))
    if (p[1] == second) return true;
  return false;
}

apercu regarde(const char* p, const char* fin) {
  // Three searches by blocks cost less than one look at each character.
  apercu a;
  a.pourcent = std::memchr(p, '%', static_cast<std::size_t>(fin - p)) != nullptr;
  a.double_pourcent = a.pourcent && contient_paire(p, fin, '%', '%');
  a.point = std::memchr(p, '.', static_cast<std::size_t>(fin - p)) != nullptr;
  a.barres = contient_paire(p, fin, '/', '\\');
  return a;
}

// A qualifier of `v` in the model, its letter at `l`'s start.
qualificatif_lu* nouveau_qualificatif(etat_passe& e, valeur_lue& v, lieu l) {
  std::vector<qualificatif_lu>& table = e.modele->qualificatifs;
  if (v.qualificatifs.debut == v.qualificatifs.fin) v.qualificatifs = {static_cast<int>(table.size()), static_cast<int>(table.size())};
  table.push_back({*l.debut, {}, place_de(e, l)});
  ++v.qualificatifs.fin;
  return &table.back();
}

// The qualifiers after a number, from the first character after its digits:
// each ";v" or ";t" and its number. Returns the first character after them,
// with only digits between it and the last qualifier's letter. `m` receives
// them, for the model.
curseur lit_qualificatifs(etat_passe& e, curseur p, valeur_lue* m) {
  while (p.ici() == ';') {
    p = p.plus(1);
    if (p.ici() == 'v' || p.ici() == 't') {
      const genre_lien g = p.ici() == 'v' ? genre_lien::vent : genre_lien::temperature;
      attend(e, g == genre_lien::vent ? sorte_attendue::vent : sorte_attendue::temperature, p.plus(1), p.p);
      if (m != nullptr) {
        verifie_reference(e, g, p.plus(1), &nouveau_qualificatif(e, *m, de(p, p.plus(1).apres_chiffres()))->numero);
      } else {
        verifie_reference(e, g, p.plus(1));
      }
      p = p.plus(1);
    } else {
      // The number is not checked; a letter stays in place and is examined next.
      signale(e, ERREUR, {607, "Seul v ou t sont acceptés en plus d'une précipitation après un ;\n"_l1}, sur(p));
      if (m != nullptr) nouveau_qualificatif(e, *m, sur(p));
    }
    p = p.apres_chiffres();
  }
  return p;
}

// Most values have no qualifier: that case stays on the caller's path.
inline curseur qualificatifs(etat_passe& e, curseur p, valeur_lue* m) {
  if (p.ici() != ';') [[likely]]
    return p;
  return lit_qualificatifs(e, p, m);
}

// A precipitation of the body, where its number begins, for the model.
[[gnu::noinline]] valeur_lue* nouvelle_valeur(etat_passe& e, curseur p, int groupe) {
  valeur_lue& v = e.modele->valeurs.emplace_back();
  e.regle->valeurs.fin = static_cast<int>(e.modele->valeurs.size());
  v.precipitation = nombre_en(e, p);
  v.groupe = groupe;
  return &v;
}

inline valeur_lue* valeur_du_modele(etat_passe& e, curseur p, int groupe) {
  if (e.regle == nullptr) [[likely]]
    return nullptr;
  return nouvelle_valeur(e, p, groupe);
}

// A value, from its first digit, with its qualifiers and its percentage;
// `precedent` is the rule line's last percentage.
curseur valeur_simple(etat_passe& e, curseur p, moteur m, float& precedent) {
  verifie_precipitation(e, p);
  valeur_lue* v = valeur_du_modele(e, p, -1);
  p = qualificatifs(e, p.apres_chiffres(), v);
  if (p.ici() == '%' && p.car(1) != '%') {
    if (m != moteur::M6)
      signale(e, ERREUR, {608, "Seul le moteur M6 accepte la présence du % après chaque valeur.\n"_l1}, sur(p));
    p = p.plus(1);
    const auto pourcentage = static_cast<float>(p.entier());
    if (v != nullptr) note_nombre(e, p, v->pourcentage);
    if (precedent >= pourcentage)
      signale(e, AVERTISSEMENT, {610, "Les pourcentages se chevauchent, des précipitations seront ignorées.\n"_l1},
              nombre(p));
    if (pourcentage > 100)
      signale(e, AVERTISSEMENT, {611, "Les pourcentages dépassent 100%%, ils seront ignorés.\n"_l1}, nombre(p));
    precedent = pourcentage;
    return p.apres_chiffres();
  }
  if (p.ici() != '%' && m == moteur::M6)
    signale(e, ERREUR, {609, "Le moteur M6 nécessite la présence du % après chaque valeur.\n"_l1}, avant(p));
  return p;
}

// The values of a group, after its "{", up to and including the "}" that
// closes it. `lues` counts them; `groupe` is the group's index in the model.
curseur valeurs_du_groupe(etat_passe& e, curseur p, long long& lues, int groupe) {
  for (;;) {
    ++lues;
    attend(e, sorte_attendue::precipitation, p);
    verifie_precipitation(e, p);
    valeur_lue* v = valeur_du_modele(e, p, groupe);
    const curseur suite = qualificatifs(e, p.apres_chiffres(), v);
    if (suite.ici() == ',') {
      p = suite.plus(1);
      if (p.ici() == '}') return p.plus(1);
      continue;
    }
    if (suite.ici() == '}') return suite.plus(1);
    signale(e, ERREUR, {614, "Erreur dans la syntaxe de dx{}, après une valeur on attend , ou }\n"_l1}, sur(suite));
    // The group closes there, in place of that character; at the end of the
    // text the "}" stands after it, and the line ends with the group.
    if (suite.ici() == '\0') return suite;
    *suite.p = '}';
    return suite.plus(1);
  }
}

// A group in the model, from its "d"; returns its index.
[[gnu::noinline]] int nouveau_groupe(etat_passe& e, curseur d, curseur accolade) {
  e.modele->groupes.push_back({nombre_en(e, d.plus(1)), place_de(e, de(d, accolade.suivant()))});
  return e.regle->groupes.fin++ - e.regle->groupes.debut;
}

// A "d" group: dx{v, v, ...}, with x the number of values it holds.
curseur groupe(etat_passe& e, curseur p, moteur m) {
  const curseur d = p;
  const curseur accolade = p.plus(1).apres_chiffres();
  if (m == moteur::M6)
    signale(e, ERREUR,
            {612, "M6: Le moteur M6 ne prend pas en charge la syntaxe dx{}, il faut utiliser les moteurs M4 ou M5\n"},
            de(d, accolade));
  p = p.plus(1);
  const long long annonce = p.entier();
  const int indice = e.regle != nullptr ? nouveau_groupe(e, d, accolade) : -1;
  if (accolade.ici() != '{') {
    signale(e, ERREUR, {613, "Après dx, on doit trouver {\n"_l1}, sur(accolade));
    return p;
  }
  long long lues = 0;
  p = valeurs_du_groupe(e, accolade.plus(1), lues, indice);
  if (e.regle != nullptr) e.modele->groupes[static_cast<std::size_t>(e.regle->groupes.debut + indice)].ou = place_de(e, de(d, p));
  if (annonce - lues < 0)
    signale(e, ERREUR, {615, "Dans la commande dx{}, le programme a trouvé plus de x valeurs.\n"_l1}, de(d, p));
  if (annonce - lues > 0)
    signale(e, ERREUR, {615, "Dans la commande dx{}, le programme a trouvé moins de x valeurs.\n"_l1}, de(d, p));
  return p;
}

[[gnu::noinline]] void fin_m4_du_modele(etat_passe& e, curseur premiere, curseur seconde) {
  e.regle->fin_m4 = true;
  e.regle->m4_premiere = nombre_en(e, premiere);
  e.regle->m4_seconde = nombre_en(e, seconde);
}

[[gnu::noinline]] void barres_du_modele(etat_passe& e, curseur p) {
  e.modele->barres.push_back(place_de(e, de(p, p.plus(2))));
  ++e.regle->barres.fin;
}

void fin_m4(etat_passe& e, curseur p, moteur m) {
  if (m != moteur::M4) signale(e, ERREUR, {616, "Seul le moteur M4 traite le %% à la fin.\n"_l1}, sur(p));
  p = p.apres('%').apres('%');
  const curseur premiere = p;
  p = p.apres('/');
  compare_probabilites_precipitation(e, premiere, p);
  if (e.regle != nullptr) fin_m4_du_modele(e, premiere, p);
  if (p.apres_chiffres().ici() != '.')
    signale(e, ERREUR, {617, "Après les probabilités de précipitation, on doit trouver le . qui termine la ligne.\n"_l1},
            sur(p.apres_chiffres()));
}

// What follows an entry: a separator, the final "." or the M4 ending. Moves
// `p` to the next entry; false when the line is finished. `juste` says
// whether a separator as the format writes it came before the next entry.
bool apres_entree(etat_passe& e, curseur& p, moteur m, bool& juste) {
  juste = true;
  if (p.ici() != ',' && p.ici() != '/' && p.ici() != '.' && p.ici() != '%') {
    signale(e, ERREUR, {605, "Après une valeur lue, on attend , /\\ . ou %%.\n"_l1}, sur(p));
    return false;
  }
  if (p.ici() == ',') p = p.plus(1);
  if (p.ici() == '/') {
    if (p.car(1) == '\\') {
      if (e.regle != nullptr) barres_du_modele(e, p);
      p = p.plus(2);
    } else {
      signale(e, ERREUR, {606, "/ doit être suivi de \\.\n"_l1}, sur(p));
      p = p.plus(1);
      juste = false;
    }
  }
  if (p.ici() == '%') fin_m4(e, p, m);
  return p.ici() != '.' && p.ici() != '%';
}

// The engine, its deciding sign and the final point, for the model.
[[gnu::noinline]] void modele_du_corps(etat_passe& e, curseur p, moteur m) {
  regle_lue& r = *e.regle;
  r.moteur = m == moteur::M4 ? 4 : m == moteur::M5 ? 5 : 6;
  r.corps = place_de(e, de(p, p.fin_du_texte()));
  const std::string_view corps(p.p, static_cast<std::size_t>(p.fin_du_texte().p - p.p));
  const std::size_t signe = m == moteur::M5 ? std::string_view::npos : corps.find(m == moteur::M4 ? "%%" : "%");
  if (signe != std::string_view::npos)
    r.signe = place_de(e, de(p.plus(static_cast<int>(signe)), p.plus(static_cast<int>(signe) + (m == moteur::M4 ? 2 : 1))));
  if (const std::size_t point = corps.find('.'); point != std::string_view::npos)
    r.point = place_de(e, sur(p.plus(static_cast<int>(point))));
}

}  // namespace

void verifie_corps_regle(etat_passe& e) {
  curseur p = e.en_main;
  const apercu a = regarde(p.p, p.p + std::strlen(p.p));
  const moteur m = !a.pourcent ? moteur::M5 : a.double_pourcent ? moteur::M4 : moteur::M6;
  float pourcentage_precedent = 0;
  if (e.regle != nullptr) modele_du_corps(e, p, m);
  if (!a.point)
    signale(e, ERREUR, {601, "Les règles de précipitations doivent impérativement se terminer par un .\n"_l1},
            avant(p.fin_du_texte()));
  if (m != moteur::M6 && !a.barres)
    signale(e, ERREUR, {602, "/\\ est indispensable pour les moteurs M4 et M5.\n"}, de(p, p.fin_du_texte()));
  attend(e, sorte_attendue::precipitation, p);
  if (p.ici() != 'd' && !chiffre(p.ici())) {
    signale(e, ERREUR,
            {603, "Après = et les éventuelles conditions, la règle de précipitation doit commencer par un chiffre ou d{...}\n"_l1},
            sur(p));
    return;
  }
  for (bool suite = true, juste = true; suite;) {
    const bool fini = p.ici() != 'd' && !chiffre(p.ici());
    if (p.ici() == 'd')
      p = groupe(e, p, m);
    else if (!fini)
      p = valeur_simple(e, p, m, pourcentage_precedent);
    else
      signale(e, ERREUR, {604, "Erreur de syntaxe, le programme ne trouve pas la suite des règles de précipitation.\n"_l1},
              sur(p));
    suite = apres_entree(e, p, m, juste) && !fini;
    if (suite && juste) attend(e, sorte_attendue::precipitation, p);
  }
}
