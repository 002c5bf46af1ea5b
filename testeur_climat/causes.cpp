// The precipitation causes: the head, the rule lines and their condition
// blocks, and the check that every listed precipitation has a rule line
// without conditions. The rule bodies are checked in regles.cpp.
#include "console/texte.hpp"
#include "testeur_climat/passe.hpp"

namespace {

const char* const PRECIPITATION_NON_LISTEE =
    "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations.\n"_l1;
const char* const TEMPERATURE_INEXISTANTE = "La température %.0f n'existe pas.\n"_l1;
const char* const VENT_INEXISTANT = "Le vent %.0f n'existe pas.\n";
const char* const FIN_AVANT_FERMETURE =
    "Le fichier se termine avant le < qui doit terminer le paragraphe des causes de précipitation.\n"_l1;

enum class sorte { temperature, vent, precipitation };

// An operand or an upper bound checked against the list of its kind.
void verifie_reference(etat_passe& e, sorte s, float valeur) {
  switch (s) {
    case sorte::temperature:
      if (valeur > static_cast<float>(e.nb_temperatures)) signale_f(e, ERREUR, TEMPERATURE_INEXISTANTE, valeur);
      break;
    case sorte::vent:
      if (valeur > static_cast<float>(e.nb_vents)) signale_f(e, ERREUR, VENT_INEXISTANT, valeur);
      break;
    case sorte::precipitation:
      if (!precipitation_listee(e, valeur)) signale_f(e, ERREUR, PRECIPITATION_NON_LISTEE, valeur);
      break;
  }
}

// The rule line of `numero` has no condition block.
void marque_sans_condition(etat_passe& e, float numero) {
  const int n = tronque(numero);
  if (n >= 0 && n <= 99) {
    e.precip_sans_condition[n] = 1;
    return;
  }
  for (int i = 1; i <= e.liste_precipitations[0]; ++i)
    if (static_cast<float>(e.liste_precipitations[i]) == numero) e.sans_condition_par_entree[i] = 1;
}

bool a_une_ligne_sans_condition(const etat_passe& e, int entree) {
  const int n = e.liste_precipitations[entree];
  if (n >= 0 && n <= 99) return e.precip_sans_condition[n] == 1;
  return e.sans_condition_par_entree[entree] == 1;
}

// The condition block, from its "[". Returns true when the line is abandoned.
bool verifie_conditions(etat_passe& e) {
  retire(e, 1);
  for (;;) {
    // Start of a condition: its letter and its operand.
    const char lettre = e.ligne()[0];
    sorte s = sorte::temperature;
    bool numerique = true;
    if (lettre == 't' || lettre == 'v') {
      s = lettre == 't' ? sorte::temperature : sorte::vent;
      retire(e, 1);
      const char operande = e.ligne()[0];
      if (chiffre(operande)) {
        verifie_reference(e, s, static_cast<float>(lit_entier(e.ligne())));
      } else if (operande == 'a' || operande == 'b') {
        numerique = false;
      } else {
        signale(e, ERREUR,
                lettre == 't'
                    ? "Après t, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1
                    : "Après v, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n"_l1);
      }
    } else if (lettre == 'p') {
      s = sorte::precipitation;
      retire(e, 1);
      if (chiffre(e.ligne()[0]))
        verifie_reference(e, s, static_cast<float>(lit_entier(e.ligne())));
      else
        signale(e, ERREUR, "Après p, on doit trouver un chiffre.\n"_l1);
    } else {
      signale(e, ERREUR, "Les conditions de précipitations doivent commencer par t, v ou p (en minuscule).\n"_l1);
      if (lettre != ']') return true;
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

// Every check of a rule line, from its number on.
void verifie_regle(etat_passe& e, float numero) {
  if (!precipitation_listee(e, numero))
    signale_f(e, AVERTISSEMENT,
              "La précipitation %.0f n'est pas répertoriée dans la liste des précipitations. Cette ligne ne sera pas utilisée par le programme.\n"_l1,
              numero);
  coupe_apres(e, '=');
  bool abandonnee = false;
  if (e.ligne()[0] == '[')
    abandonnee = verifie_conditions(e);
  else
    marque_sans_condition(e, numero);
  if (!abandonnee) verifie_corps_regle(e);
}


}  // namespace

void verifie_causes(etat_passe& e) {
  if (!commence_paragraphe(
          e, ">Causes des précipitations:"_l1,
          "Le sixième paragraphe après #Affichage: doit être celui des causes de précipitation et commencer par >Causes des précipitations:\n"_l1,
          "Le fichier se termine avant le paragraphe des causes de précipitation, qui doit commencer par >Causes des précipitations:\n"_l1))
    return;
  lit_ligne(e);  // the first candidate rule line, never taken as the closing line
  if (e.arret) return;
  do {
    e.pourcentage_precedent = 0;
    while (!chiffre(e.ligne()[0])) {
      if (!lit_ligne(e)) {
        if (!e.arret) signale(e, ERREUR, FIN_AVANT_FERMETURE);
        e.arret = true;
        return;
      }
    }
    const auto numero = static_cast<float>(lit_entier(e.ligne()));
    bool sans_condition = false;
    if (regle_sans_constat(e, sans_condition)) {
      if (sans_condition) marque_sans_condition(e, numero);
    } else {
      verifie_regle(e, numero);
    }
    if (!lit_ligne(e)) {
      if (!e.arret) signale(e, ERREUR, FIN_AVANT_FERMETURE);
      e.arret = true;
      return;
    }
  } while (e.ligne()[0] != '<');

  for (int i = 1; i <= e.liste_precipitations[0]; ++i) {
    const int m = e.liste_precipitations[i];
    if (m != 0 && !a_une_ligne_sans_condition(e, i))
      signale_f(e, AVERTISSEMENT,
                "La précipitation %.d n'a aucune ligne sans condition. Cette précipitation risque de rester bloquée.\n"_l1,
                m);
  }
}
