// The precipitation causes (lines 44 to 52 of the reference): rule lines,
// condition blocks and the end-of-paragraph warnings. Temperatures 1 to 5,
// winds 1 to 4, precipitations 1 to 6.
#include <gtest/gtest.h>

#include "aide_verification.hpp"

namespace {

const std::string COMMENCER = "Les conditions de précipitations doivent commencer par t, v ou p (en minuscule).\n";
const std::string APRES_T = "Après t, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n";
const std::string APRES_V = "Après v, on peut trouver un chiffre ou a (pour augmentation) ou b (pour baisse), rien d'autre.\n";
const std::string APRES_P = "Après p, on doit trouver un chiffre.\n";
const std::string SEPARATEUR = "Après un chiffre ou a et b, on attend -, + ou ].\n";
const std::string PLAGE_LETTRE = "Pas de plage de valeur après a ou b.\n";
const std::string PLAGE_CHIFFRE = "Pour la plage de valeur, - doit être suivi d'un chiffre.\n";
const std::string APRES_PLUS = "Après +, on doit trouver p, v ou t.\n";
const std::string VALEUR_SUIVANTE = "Après une valeur lue, on attend , /\\ . ou %%.\n";

std::string temperature(int n) { return "La température " + std::to_string(n) + " n'existe pas.\n"; }
std::string vent(int n) { return "Le vent " + std::to_string(n) + " n'existe pas.\n"; }
std::string non_listee(int n) {
  return "La précipitation " + std::to_string(n) + " n'est pas répertoriée dans la liste des précipitations.\n";
}
std::string ligne_non_utilisee(int n) {
  return "La précipitation " + std::to_string(n) +
         " n'est pas répertoriée dans la liste des précipitations. Cette ligne ne sera pas utilisée par le programme.\n";
}
std::string bloquee(int n) {
  return "La précipitation " + std::to_string(n) +
         " n'a aucune ligne sans condition. Cette précipitation risque de rester bloquée.\n";
}

TEST(Conditions, Grammaire) {
  verifie_regles({
      {"3=[t2-4]1,2/\\4.", {}},
      {"3=[va+p3]5,6/\\1.", {}},
      {"3=[t1-3v2+p6]5,6/\\1.", {}},
      {"3=[t1+]1,2/\\4.", {}},
      {"3=[tb+va]1,2/\\4.", {}},
      {"3=[t5-2]1,2/\\4.", {}},  // a range may run downwards
      {"3=[t5]1,2/\\4.", {}},
      {"3=[t0]1,2/\\4.", {}},
      {"3=[]1,2/\\4.", {{1, COMMENCER}}},
      {"3=[x1]1,2/\\4.", {{1, COMMENCER}}},
      {"3=[T1]1,2/\\4.", {{1, COMMENCER}}},
      {"3=[t12+v7]1,2/\\4.", {{1, temperature(12)}, {1, vent(7)}}},
      {"3=[ta-9]1,2/\\4.", {{1, PLAGE_LETTRE}, {1, temperature(9)}}},
      {"3=[p]1,2/\\4.", {{1, APRES_P}, {1, SEPARATEUR}}},
      {"3=[p9]1,2/\\4.", {{1, non_listee(9)}}},
      {"3=[p2-9]1,2/\\4.", {{1, non_listee(9)}}},
      {"3=[tc]1,2/\\4.", {{1, APRES_T}}},
      {"3=[vz]1,2/\\4.", {{1, APRES_V}}},
      {"3=[v5]1,2/\\4.", {{1, vent(5)}}},
      {"3=[t1v2]1,2/\\4.", {{1, SEPARATEUR}}},
      {"3=[t1+2]1,2/\\4.", {{1, APRES_PLUS}, {1, COMMENCER}}},
      {"3=[t1-x]1,2/\\4.", {{1, PLAGE_CHIFFRE}}},
      {"3=[va-2]1,2/\\4.", {{1, PLAGE_LETTRE}}},
      {"3=[t1", {{1, SEPARATEUR}}},
      {"3=[t1-", {{1, PLAGE_CHIFFRE}, {1, COMMENCER}}},
  });
}

TEST(Conditions, NumeroDeLaRegle) {
  verifie_regles({
      {"9=1,2/\\4.", {{2, ligne_non_utilisee(9)}}},
      {"9=[p8]1,2/\\4.", {{2, ligne_non_utilisee(9)}, {1, non_listee(8)}}},
      {"3 ignoré =1,2/\\4.", {}},  // what stands before "=" is not checked
      // Without "=", the body starts with the number itself.
      {"3[t1]1,2/\\4.", {{1, VALEUR_SUIVANTE}}},
  });
}

TEST(Conditions, LignesSansCondition) {
  verifie_cas({
      {"ligne abandonnée", {R(51, "6=[x]4/\\5.")}, {E(51, COMMENCER), A(52, bloquee(6))}},
      {"ligne conditionnée", {R(51, "6=[t1]4/\\5.")}, {A(52, bloquee(6))}},
      {"crochets vides ne comptent pas", {R(51, "6=[]4/\\5.")}, {E(51, COMMENCER), A(52, bloquee(6))}},
      {"sans = compte", {R(51, "6[t1]4/\\5.")}, {E(51, VALEUR_SUIVANTE)}},
      {"numéro listé deux fois",
       {I(31, "2:t0:f1:Bis"), R(47, "2=[t1]1,3/\\4.")},
       {A(31, "Cette précipitation utilise un numéro déjà utilisé dans la liste de précipitation.\n"),
        A(53, bloquee(2)), A(53, bloquee(2))}},
      {"ordre de la liste, après les lignes",
       {R(45, "1=[t1]1,2/\\4."), R(51, "6=[t1]4/\\5."), I(52, "9=1,2/\\4.")},
       {A(52, ligne_non_utilisee(9)), A(53, bloquee(1)), A(53, bloquee(6))}},
      {"numéro au-delà de 99 avec sa ligne", {I(31, "150:t0:f1:Rare"), I(53, "150=1,2/\\4.")}, {}},
      {"numéro au-delà de 99 sans ligne", {I(31, "150:t0:f1:Rare")}, {A(53, bloquee(150))}},
      {"numéro négatif sans condition", {I(53, "-4=1,2/\\4.")}, {}},
  });
}

TEST(Conditions, LignesPasseesEntreLesRegles) {
  verifie_cas({
      // Lines 46 to 48: a blank, a "<" and a remark, all passed over.
      {"blanc, < et remarque", {I(46, "# pluie"), I(46, "<"), I(46, "")}, {}},
      {"< juste après une règle ferme le paragraphe",
       {I(46, "<")},
       {A(46, bloquee(2)), A(46, bloquee(3)), A(46, bloquee(4)), A(46, bloquee(5)), A(46, bloquee(6))}},
      // A blank line before the closing "<": the search for the next rule
      // runs on into the clock, whose moment lines read as rule lines.
      {"blanc avant la fermeture",
       {I(52, "")},
       {E(56, "Les règles de précipitations doivent impérativement se terminer par un .\n"),
        E(56, "/\\ est indispensable pour les moteurs M4 et M5.\n"), E(56, VALEUR_SUIVANTE),
        E(57, "Les règles de précipitations doivent impérativement se terminer par un .\n"),
        E(57, "/\\ est indispensable pour les moteurs M4 et M5.\n"), E(57, VALEUR_SUIVANTE),
        E(58, "Les règles de précipitations doivent impérativement se terminer par un .\n"),
        E(58, "/\\ est indispensable pour les moteurs M4 et M5.\n"), E(58, VALEUR_SUIVANTE),
        E(59, "Les règles de précipitations doivent impérativement se terminer par un .\n"),
        E(59, "/\\ est indispensable pour les moteurs M4 et M5.\n"), E(59, VALEUR_SUIVANTE),
        E(60, "Les règles de précipitations doivent impérativement se terminer par un .\n"),
        E(60, "/\\ est indispensable pour les moteurs M4 et M5.\n"), E(60, VALEUR_SUIVANTE),
        E(61, "Le fichier se termine avant le < qui doit terminer le paragraphe des causes de précipitation.\n")}},
      {"tête absente",
       {R(44, ">Causes:")},
       {E(44, "Le sixième paragraphe après #Affichage: doit être celui des causes de précipitation et commencer par >Causes des précipitations:\n")}},
  });
}

TEST(Conditions, FinDuFichier) {
  const std::string fin = "Le fichier se termine avant le < qui doit terminer le paragraphe des causes de précipitation.\n";
  EXPECT_EQ(verifie(debut_reference(51)).constats, (std::vector<constat>{E(52, fin)}));
  EXPECT_EQ(verifie(debut_reference(44)).constats, (std::vector<constat>{E(46, fin)}));
  // A last rule line without a line feed: checked, then the end is reported.
  const std::string sans_fin = debut_reference(51);
  EXPECT_EQ(verifie(sans_fin.substr(0, sans_fin.size() - 1)).constats, (std::vector<constat>{E(52, fin)}));
}

}  // namespace
