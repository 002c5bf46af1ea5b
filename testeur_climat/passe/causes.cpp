// The precipitation causes: the head, the rule lines and their condition
// blocks, and the check that every listed precipitation has a rule line
// without conditions. The rule bodies are checked in regles.cpp.
#include "chaines.hpp"
#include "paragraphes.hpp"

namespace {

constexpr const char* NON_LISTEE = "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations.\n"_l1;

// A place on the line in hand, caused by the list that begins at the head
// of `liste`.
lieu liee(const etat_passe& e, lieu l, etape_passe liste) {
  l.ligne_liee = e.tetes[static_cast<int>(liste)];
  return l;
}

// The three lists a rule line names are expected under the same order.
static_assert(static_cast<int>(genre_lien::temperature) == static_cast<int>(sorte_attendue::temperature) &&
              static_cast<int>(genre_lien::vent) == static_cast<int>(sorte_attendue::vent) &&
              static_cast<int>(genre_lien::precipitation) == static_cast<int>(sorte_attendue::precipitation));
constexpr sorte_attendue sorte_de(genre_lien g) { return static_cast<sorte_attendue>(g); }

// The letter and the operand of a condition, from its letter. Returns false
// when the letter is not a condition's; `s` is the list the operand names, and
// `numerique` whether it is a number (not a or b).
bool lit_operande(etat_passe& e, curseur p, genre_lien& s, bool& numerique, condition_lue* m) {
  numerique = true;
  const char lettre = p.ici();
  if (lettre != 't' && lettre != 'v' && lettre != 'p') {
    signale(e, ERREUR, {504, "Les conditions de précipitations doivent commencer par t, v ou p (en minuscule).\n"_l1},
            sur(p));
    return false;
  }
  s = lettre == 't' ? genre_lien::temperature : lettre == 'v' ? genre_lien::vent : genre_lien::precipitation;
  attend(e, sorte_de(s), p.plus(1), p.p);
  if (m != nullptr) m->lettre = lettre;
  if (chiffre(p.car(1))) {
    verifie_reference(e, s, p.plus(1), m != nullptr ? &m->operande : nullptr);
  } else if (lettre == 'p') {
    signale(e, ERREUR, {506, "Après p, on doit trouver un chiffre.\n"_l1}, sur(p.suivant()));
  } else if (p.car(1) == 'a' || p.car(1) == 'b') {
    numerique = false;
    if (m != nullptr) m->sens = p.car(1);
  } else {
    signale(e, ERREUR,
            {505, lettre == 't'
                      ? "Après t, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1
                      : "Après v, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1},
            sur(p.suivant()));
  }
  return true;
}

[[gnu::noinline]] condition_lue* nouvelle_condition(etat_passe& e) {
  condition_lue* c = &e.modele->conditions.emplace_back();
  e.regle->conditions.fin = static_cast<int>(e.modele->conditions.size());
  return c;
}

// A range, from its operand: the upper bound after the first "-"; returns
// what is left after the bound's digits (the character after the "-" is
// passed over).
curseur plage(etat_passe& e, curseur p, genre_lien s, condition_lue* m) {
  p = p.apres('-');
  attend(e, sorte_de(s), p);
  verifie_reference(e, s, p, m != nullptr ? &m->borne : nullptr);
  return p.ici() == '\0' ? p : p.plus(1).apres_chiffres();
}

// The condition block, from its "[". Moves `p` after its "]"; false when
// the line is abandoned.
bool verifie_conditions(etat_passe& e, curseur& p) {
  p = p.plus(1);
  for (;;) {
    genre_lien s = genre_lien::temperature;
    bool numerique = true;
    condition_lue* m = e.regle != nullptr ? nouvelle_condition(e) : nullptr;
    const curseur debut = p;
    if (!lit_operande(e, p, s, numerique, m)) {
      if (m != nullptr) {
        e.modele->conditions.pop_back();
        --e.regle->conditions.fin;
      }
      if (p.ici() != ']') return false;
      p = p.plus(1);
      return true;
    }
    p = p.plus(1);  // the letter; the operand's first character is passed over below
    // The separator after the operand.
    curseur separateur = !numerique ? p.plus(1) : p.ici() == '\0' ? p : p.plus(1).apres_chiffres();
    if (m != nullptr) m->ou = place_de(e, de(debut, separateur));
    if (separateur.ici() != '-' && separateur.ici() != '+' && separateur.ici() != ']') {
      signale(e, ERREUR, {507, "Après un chiffre ou a et b, on attend -, + ou ].\n"_l1}, sur(separateur));
      return false;
    }
    if (separateur.ici() == '-') {
      if (!numerique) signale(e, ERREUR, {508, "Pas de plage de valeur après a ou b.\n"_l1}, sur(separateur));
      if (!chiffre(separateur.car(1)))
        signale(e, ERREUR, {509, "Pour la plage de valeur, - doit être suivi d'un chiffre.\n"_l1}, sur(separateur.suivant()));
      p = plage(e, p, s, m);
      if (m != nullptr) m->ou = place_de(e, de(debut, p));
      // A condition may follow a range without "+".
      separateur = p;
      if (p.ici() != '+' && p.ici() != ']') continue;
    }
    if (separateur.ici() == '+') {
      if (chiffre(separateur.car(1)))
        signale(e, ERREUR, {510, "Après +, on doit trouver p, v ou t.\n"_l1}, sur(separateur.suivant()));
      p = p.apres('+');
      if (p.ici() != ']') continue;
    }
    p = p.apres(']');
    return true;
  }
}

// The rule line in hand, in the model.
[[gnu::noinline]] void nouvelle_regle(etat_passe& e) {
  modele_climat& m = *e.modele;
  e.regle = &m.regles.emplace_back();
  e.regle->conditions = {static_cast<int>(m.conditions.size()), static_cast<int>(m.conditions.size())};
  e.regle->valeurs = {static_cast<int>(m.valeurs.size()), static_cast<int>(m.valeurs.size())};
  e.regle->groupes = {static_cast<int>(m.groupes.size()), static_cast<int>(m.groupes.size())};
  e.regle->barres = {static_cast<int>(m.barres.size()), static_cast<int>(m.barres.size())};
  e.regle->ligne = place_de(e, {});
  e.regle->precipitation = nombre_en(e, e.en_main);
}

// A rule line, from its number on.
void verifie_regle(etat_passe& e) {
  const auto numero = static_cast<float>(e.en_main.entier());
  e.regle = nullptr;
  if (modelise(e)) nouvelle_regle(e);
  if (e.precipitations_listees.entrees(numero) == 0)
    signale_f(e, AVERTISSEMENT, 501, liee(e, nombre(e.en_main), etape_passe::liste_precipitations),
              "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations. Cette ligne ne sera pas utilisée par le programme.\n"_l1,
              numero);
  e.en_main = e.en_main.apres('=');
  if (e.en_main.ici() != '[') {
    e.precipitations_listees.marque_sans_condition(numero);
  } else {
    if (e.regle != nullptr) e.regle->avec_conditions = true;
    if (!verifie_conditions(e, e.en_main)) {
      if (e.regle != nullptr) e.regle->abandonnee = true;
      return;
    }
  }
  verifie_corps_regle(e);
}

// The end of the paragraph: every listed precipitation (but 0, whose slot
// no rule line could be told from) needs a rule line without conditions.
void verifie_lignes_sans_condition(etat_passe& e) {
  const precipitations& liste = e.precipitations_listees;
  for (int i = 1; i <= liste.nombre(); ++i)
    if (liste.numero(i) != 0 && !liste.a_une_ligne_sans_condition(i))
      signale_f(e, AVERTISSEMENT, 511, liee(e, {}, etape_passe::liste_precipitations),
                "La précipitation %d n'a aucune ligne sans condition. Cette précipitation risque de rester bloquée.\n"_l1,
                liste.numero(i));
}

}  // namespace

void verifie_reference(etat_passe& e, genre_lien s, curseur c, nombre_lu* m) {
  const auto valeur = static_cast<float>(c.entier());
  switch (s) {
    case genre_lien::temperature:
      if (valeur > static_cast<float>(e.nb_temperatures))
        signale_f(e, ERREUR, 503, liee(e, nombre(c), etape_passe::temperatures), "La température %.0f n'existe pas.\n"_l1,
                  static_cast<double>(valeur));
      break;
    case genre_lien::vent:
      if (valeur > static_cast<float>(e.nb_vents))
        signale_f(e, ERREUR, 503, liee(e, nombre(c), etape_passe::vents), "Le vent %.0f n'existe pas.\n",
                  static_cast<double>(valeur));
      break;
    case genre_lien::precipitation:
      if (e.precipitations_listees.entrees(valeur) == 0)
        signale_f(e, ERREUR, 502, liee(e, nombre(c), etape_passe::liste_precipitations), NON_LISTEE,
                  static_cast<double>(valeur));
      break;
    default:  // no rule line names a season or a moment
      break;
  }
  if (m != nullptr) note_nombre(e, c, *m);
}

void signale_precipitation_non_listee(etat_passe& e, curseur c) {
  signale_f(e, ERREUR, 502, liee(e, nombre(c), etape_passe::liste_precipitations), NON_LISTEE,
            static_cast<double>(static_cast<float>(c.entier())));
}

void verifie_causes(etat_passe& e, const paragraphe_climat& p) {
  if (!commence_paragraphe(e, p)) return;
  lit_ligne(e);  // the first candidate rule line, never taken as the closing line
  if (e.arret) return;
  do {
    // Blank lines and remarks between the rules are passed over.
    while (!chiffre(e.en_main.ici()))
      if (!lit_ligne(e)) return;
    verifie_regle(e);
    if (!lit_ligne(e)) return;
  } while (e.en_main.ici() != '<');
  termine_paragraphe(e, p);
  verifie_lignes_sans_condition(e);
}
