// The precipitation causes: the head, the rule lines and their condition
// blocks, and the check that every listed precipitation has a rule line
// without conditions. The rule bodies are checked in regles.cpp.
#include "console/texte.hpp"
#include "testeur_climat/paragraphes.hpp"

namespace {

const char* const NON_LISTEE = "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations.\n"_l1;
const char* const FIN_AVANT_FERMETURE =
    "Le fichier se termine avant le < qui doit terminer le paragraphe des causes de précipitation.\n"_l1;

// The letter and the operand of a condition, from its first character.
// Returns false when the line is abandoned; `numerique` tells whether the
// operand is a number (not a or b) and `s` its kind.
bool lit_operande(etat_passe& e, sorte& s, bool& numerique) {
  const char lettre = e.ligne()[0];
  numerique = true;
  if (lettre == 't' || lettre == 'v') {
    s = lettre == 't' ? sorte::temperature : sorte::vent;
    retire(e, 1);
    const char operande = e.ligne()[0];
    if (chiffre(operande))
      verifie_reference(e, s, static_cast<float>(lit_entier(e.ligne())));
    else if (operande == 'a' || operande == 'b')
      numerique = false;
    else
      signale(e, ERREUR,
              lettre == 't'
                  ? "Après t, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1
                  : "Après v, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1);
    return true;
  }
  if (lettre == 'p') {
    s = sorte::precipitation;
    retire(e, 1);
    if (chiffre(e.ligne()[0]))
      verifie_reference(e, s, static_cast<float>(lit_entier(e.ligne())));
    else
      signale(e, ERREUR, "Après p, on doit trouver un chiffre.\n"_l1);
    return true;
  }
  signale(e, ERREUR, "Les conditions de précipitations doivent commencer par t, v ou p (en minuscule).\n"_l1);
  return false;
}

// The condition block, from its "[". Returns true when the line is abandoned.
bool verifie_conditions(etat_passe& e) {
  retire(e, 1);
  for (;;) {
    sorte s = sorte::temperature;
    bool numerique = true;
    if (!lit_operande(e, s, numerique)) {
      if (e.ligne()[0] != ']') return true;
      coupe_apres(e, ']');
      return false;
    }
    // The separator after the operand; position 0 is passed over.
    int position = numerique ? fin_chiffres(e, 1) : 1;
    char separateur = car(e, position);
    if (separateur != '-' && separateur != '+' && separateur != ']') {
      signale(e, ERREUR, "Après un chiffre ou a et b, on attend -, + ou ].\n"_l1);
      return true;
    }
    if (separateur == '-') {
      if (!numerique) signale(e, ERREUR, "Pas de plage de valeur après a ou b.\n"_l1);
      if (!chiffre(car(e, position + 1)))
        signale(e, ERREUR, "Pour la plage de valeur, - doit être suivi d'un chiffre.\n"_l1);
      coupe_apres(e, '-');
      verifie_reference(e, s, static_cast<float>(lit_entier(e.ligne())));
      retire(e, fin_chiffres(e, 1));
      // A condition may follow a range without "+".
      position = 0;
      separateur = e.ligne()[0];
      if (separateur != '+' && separateur != ']') continue;
    }
    if (separateur == '+') {
      if (chiffre(car(e, position + 1))) signale(e, ERREUR, "Après +, on doit trouver p, v ou t.\n"_l1);
      coupe_apres(e, '+');
      if (e.ligne()[0] != ']') continue;
    }
    coupe_apres(e, ']');
    return false;
  }
}

// A rule line, from its number on.
void verifie_regle(etat_passe& e) {
  e.pourcentage_precedent = 0;
  const auto numero = static_cast<float>(lit_entier(e.ligne()));
  if (e.precipitations_listees.entrees(numero) == 0)
    signale_f(e, AVERTISSEMENT,
              "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations. Cette ligne ne sera pas utilisée par le programme.\n"_l1,
              numero);
  coupe_apres(e, '=');
  if (e.ligne()[0] != '[')
    e.precipitations_listees.marque_sans_condition(numero);
  else if (verifie_conditions(e))
    return;
  verifie_corps_regle(e);
}

// The end of the paragraph: every listed precipitation (but 0, whose slot
// no rule line could be told from) needs a rule line without conditions.
void verifie_lignes_sans_condition(etat_passe& e) {
  const precipitations& liste = e.precipitations_listees;
  for (int i = 1; i <= liste.nombre(); ++i)
    if (liste.numero(i) != 0 && !liste.a_une_ligne_sans_condition(i))
      signale_f(e, AVERTISSEMENT,
                "La précipitation %d n'a aucune ligne sans condition. Cette précipitation risque de rester bloquée.\n"_l1,
                liste.numero(i));
}

}  // namespace

void verifie_reference(etat_passe& e, sorte s, float valeur) {
  switch (s) {
    case sorte::temperature:
      if (valeur > static_cast<float>(e.nb_temperatures))
        signale_f(e, ERREUR, "La température %.0f n'existe pas.\n"_l1, static_cast<double>(valeur));
      break;
    case sorte::vent:
      if (valeur > static_cast<float>(e.nb_vents))
        signale_f(e, ERREUR, "Le vent %.0f n'existe pas.\n", static_cast<double>(valeur));
      break;
    case sorte::precipitation:
      if (e.precipitations_listees.entrees(valeur) == 0) signale_f(e, ERREUR, NON_LISTEE, static_cast<double>(valeur));
      break;
  }
}

void verifie_precipitation(etat_passe& e, int numero) {
  if (!e.precipitations_listees.listee(numero))
    signale_f(e, ERREUR, NON_LISTEE, static_cast<double>(static_cast<float>(numero)));
}

void verifie_causes(etat_passe& e) {
  if (!commence_paragraphe(
          e, ">Causes des précipitations:"_l1,
          "Le sixième paragraphe après #Affichage: doit être celui des causes de précipitation et commencer par >Causes des précipitations:\n"_l1,
          "Le fichier se termine avant le paragraphe des causes de précipitation, qui doit commencer par >Causes des précipitations:\n"_l1))
    return;
  lit_ligne(e);  // the first candidate rule line, never taken as the closing line
  if (e.arret) return;
  do {
    // Blank lines and remarks between the rules are passed over.
    while (!chiffre(e.ligne()[0]))
      if (!ligne_suivante(e, FIN_AVANT_FERMETURE)) return;
    verifie_regle(e);
    if (!ligne_suivante(e, FIN_AVANT_FERMETURE)) return;
  } while (e.ligne()[0] != '<');
  verifie_lignes_sans_condition(e);
}
