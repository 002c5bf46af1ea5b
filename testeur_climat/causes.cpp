// The precipitation causes: the head, the rule lines and their condition
// blocks, and the check that every listed precipitation has a rule line
// without conditions. The rule bodies are checked in regles.cpp.
#include "console/texte.hpp"
#include "testeur_climat/paragraphes.hpp"

namespace {

constexpr const char* NON_LISTEE = "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations.\n"_l1;

// The letter and the operand of a condition, from its letter. Returns false
// when the letter is not a condition's; `s` is the operand's kind, and
// `numerique` whether it is a number (not a or b).
bool lit_operande(etat_passe& e, const char* p, sorte& s, bool& numerique) {
  numerique = true;
  if (*p == 't' || *p == 'v') {
    s = *p == 't' ? sorte::temperature : sorte::vent;
    if (chiffre(p[1]))
      verifie_reference(e, s, static_cast<float>(lit_entier(p + 1)));
    else if (p[1] == 'a' || p[1] == 'b')
      numerique = false;
    else
      signale(e, ERREUR,
              {505, *p == 't'
                        ? "Après t, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1
                        : "Après v, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1});
    return true;
  }
  if (*p == 'p') {
    s = sorte::precipitation;
    if (chiffre(p[1]))
      verifie_reference(e, s, static_cast<float>(lit_entier(p + 1)));
    else
      signale(e, ERREUR, {506, "Après p, on doit trouver un chiffre.\n"_l1});
    return true;
  }
  signale(e, ERREUR, {504, "Les conditions de précipitations doivent commencer par t, v ou p (en minuscule).\n"_l1});
  return false;
}

// A range, from its operand: the upper bound after the first "-"; returns
// what is left after the bound's digits (the character after the "-" is
// passed over).
char* plage(etat_passe& e, char* p, sorte s) {
  p = apres(p, '-');
  verifie_reference(e, s, static_cast<float>(lit_entier(p)));
  return *p == '\0' ? p : apres_chiffres(p + 1);
}

// The condition block, from its "[", walked with a pointer into the line
// (see regles.cpp). Returns what is left after its "]", or null when the
// line is abandoned.
char* verifie_conditions(etat_passe& e, char* p) {
  ++p;
  for (;;) {
    sorte s = sorte::temperature;
    bool numerique = true;
    if (!lit_operande(e, p, s, numerique)) return *p == ']' ? p + 1 : nullptr;
    p += 1;  // the letter; the operand's first character is passed over below
    // The separator after the operand.
    char* separateur = !numerique ? p + 1 : *p == '\0' ? p : apres_chiffres(p + 1);
    if (*separateur != '-' && *separateur != '+' && *separateur != ']') {
      signale(e, ERREUR, {507, "Après un chiffre ou a et b, on attend -, + ou ].\n"_l1});
      return nullptr;
    }
    if (*separateur == '-') {
      if (!numerique) signale(e, ERREUR, {508, "Pas de plage de valeur après a ou b.\n"_l1});
      if (!chiffre(separateur[1])) signale(e, ERREUR, {509, "Pour la plage de valeur, - doit être suivi d'un chiffre.\n"_l1});
      p = plage(e, p, s);
      // A condition may follow a range without "+".
      separateur = p;
      if (*p != '+' && *p != ']') continue;
    }
    if (*separateur == '+') {
      if (chiffre(separateur[1])) signale(e, ERREUR, {510, "Après +, on doit trouver p, v ou t.\n"_l1});
      p = apres(p, '+');
      if (*p != ']') continue;
    }
    return apres(p, ']');
  }
}

// A rule line, from its number on.
void verifie_regle(etat_passe& e) {
  const auto numero = static_cast<float>(lit_entier(e.ligne()));
  if (e.precipitations_listees.entrees(numero) == 0)
    signale_f(e, AVERTISSEMENT,
              501, "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations. Cette ligne ne sera pas utilisée par le programme.\n"_l1,
              numero);
  coupe_apres(e, '=');
  if (e.ligne()[0] != '[') {
    e.precipitations_listees.marque_sans_condition(numero);
  } else {
    const char* const reste = verifie_conditions(e, e.ligne());
    if (reste == nullptr) return;
    e.debut = static_cast<int>(reste - e.tampon_ligne);
  }
  verifie_corps_regle(e);
}

// The end of the paragraph: every listed precipitation (but 0, whose slot
// no rule line could be told from) needs a rule line without conditions.
void verifie_lignes_sans_condition(etat_passe& e) {
  const precipitations& liste = e.precipitations_listees;
  for (int i = 1; i <= liste.nombre(); ++i)
    if (liste.numero(i) != 0 && !liste.a_une_ligne_sans_condition(i))
      signale_f(e, AVERTISSEMENT,
                511, "La précipitation %d n'a aucune ligne sans condition. Cette précipitation risque de rester bloquée.\n"_l1,
                liste.numero(i));
}

}  // namespace

void verifie_reference(etat_passe& e, sorte s, float valeur) {
  switch (s) {
    case sorte::temperature:
      if (valeur > static_cast<float>(e.nb_temperatures))
        signale_f(e, ERREUR, 503, "La température %.0f n'existe pas.\n"_l1, static_cast<double>(valeur));
      break;
    case sorte::vent:
      if (valeur > static_cast<float>(e.nb_vents))
        signale_f(e, ERREUR, 503, "Le vent %.0f n'existe pas.\n", static_cast<double>(valeur));
      break;
    case sorte::precipitation:
      if (e.precipitations_listees.entrees(valeur) == 0) signale_f(e, ERREUR, 502, NON_LISTEE, static_cast<double>(valeur));
      break;
  }
}

void signale_precipitation_non_listee(etat_passe& e, int numero) {
  signale_f(e, ERREUR, 502, NON_LISTEE, static_cast<double>(static_cast<float>(numero)));
}

void verifie_causes(etat_passe& e, const paragraphe& p) {
  if (!commence_paragraphe(
          e, p,
          {201, "Le sixième paragraphe après #Affichage: doit être celui des causes de précipitation et commencer par >Causes des précipitations:\n"_l1},
          {203, "Le fichier se termine avant le paragraphe des causes de précipitation, qui doit commencer par >Causes des précipitations:\n"_l1}))
    return;
  lit_ligne(e);  // the first candidate rule line, never taken as the closing line
  if (e.arret) return;
  do {
    // Blank lines and remarks between the rules are passed over.
    while (!chiffre(e.ligne()[0]))
      if (!ligne_suivante(e, p.fin)) return;
    verifie_regle(e);
    if (!ligne_suivante(e, p.fin)) return;
  } while (e.ligne()[0] != '<');
  verifie_lignes_sans_condition(e);
}
