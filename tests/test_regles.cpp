// Rule bodies in the syntax of the engines M4, M5 and M6. Each row is a rule
// line added to the reference (precipitations 1 to 6, temperatures 1 to 5,
// winds 1 to 4) and all it draws.
#include <gtest/gtest.h>

#include "aide_verification.hpp"

namespace {

const std::string POINT = "Les règles de précipitations doivent impérativement se terminer par un .\n";
const std::string BARRES = "/\\ est indispensable pour les moteurs M4 et M5.\n";
const std::string DEBUT = "Après = et les éventuelles conditions, la règle de précipitation doit commencer par un chiffre ou d{...}\n";
const std::string SYNTAXE = "Erreur de syntaxe, le programme ne trouve pas la suite des règles de précipitation.\n";
const std::string QUALIFICATIF = "Seul v ou t sont acceptés en plus d'une précipitation après un ;\n";
const std::string SEUL_M6 = "Seul le moteur M6 accepte la présence du % après chaque valeur.\n";
const std::string CHEVAUCHENT = "Les pourcentages se chevauchent, des précipitations seront ignorées.\n";
const std::string DEPASSENT = "Les pourcentages dépassent 100%%, ils seront ignorés.\n";
const std::string M6_NECESSITE = "Le moteur M6 nécessite la présence du % après chaque valeur.\n";
const std::string M6_GROUPE = "M6: Le moteur M6 ne prend pas en charge la syntaxe dx{}, il faut utiliser les moteurs M4 ou M5\n";
const std::string ACCOLADE = "Après dx, on doit trouver {\n";
const std::string GROUPE_SYNTAXE = "Erreur dans la syntaxe de dx{}, après une valeur on attend , ou }\n";
const std::string PLUS_DE_X = "Dans la commande dx{}, le programme a trouvé plus de x valeurs.\n";
const std::string MOINS_DE_X = "Dans la commande dx{}, le programme a trouvé moins de x valeurs.\n";
const std::string VALEUR_SUIVANTE = "Après une valeur lue, on attend , /\\ . ou %%.\n";
const std::string BARRE_SEULE = "/ doit être suivi de \\.\n";
const std::string SEUL_M4 = "Seul le moteur M4 traite le %% à la fin.\n";
const std::string INFERIEURE = "Pour les probabilités de variation des précipitations, la deuxième valeur est inférieure à la première\n";
const std::string IDENTIQUES = "Pour les probabilités de variation des précipitations, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n";
const std::string SUP_100 = "Pour les probabilités de variation du précipitations, la deuxième valeur est supérieure à 100.\n";
const std::string POINT_FINAL = "Après les probabilités de précipitation, on doit trouver le . qui termine la ligne.\n";

std::string non_listee(int n) {
  return "La précipitation " + std::to_string(n) + " n'est pas répertoriée dans la liste des précipitations.\n";
}

TEST(Regles, M5) {
  verifie_regles({
      {"2=1,3/\\4.", {}},
      {"2=d2{1,3}/\\4;v2.", {}},
      {"2=[t2-4]1;t3,5/\\6.", {}},
      {"2=1,3/\\4", {{1, POINT}, {1, VALEUR_SUIVANTE}}},
      {"2=1/4.", {{1, BARRES}, {1, BARRE_SEULE}}},
      {"2=1/4/\\9.", {{1, BARRE_SEULE}, {1, non_listee(9)}}},  // the 4 and the 9 are still read
      {"2=1,3.", {{1, BARRES}}},
      {"2=1,9/\\4.", {{1, non_listee(9)}}},
      {"2=x1,3/\\4.", {{1, DEBUT}}},
      {"2=", {{1, POINT}, {1, BARRES}, {1, DEBUT}}},
      {"2=[t1]", {{1, POINT}, {1, BARRES}, {1, DEBUT}}},
  });
}

TEST(Regles, M4) {
  verifie_regles({
      {"3=1,2/\\4%%10/30.", {}},
      {"3=4/\\d2{1,2}%%10/30.", {}},
      {"3=1,2/\\%%10/30.", {}},
      {"3=1,/\\%%10/30.", {}},  // "," then "/\" then the ending
      {"3=d2{1,2}/\\4%%10/30.", {}},
      {"3=1/\\2;v3%%10/30.", {}},  // a qualifier on the last value
      {"3=1/\\2%%20/20.", {{2, IDENTIQUES}}},
      {"3=1/\\2%%30/20.", {{1, INFERIEURE}}},
      {"3=1/\\2%%30/120.", {{2, SUP_100}}},
      {"3=1/\\2%%130/120.", {{1, INFERIEURE}, {2, SUP_100}}},
      {"3=1/\\2%%20/30", {{1, POINT}, {1, POINT_FINAL}}},
      {"3=1/\\2%%20.", {{2, IDENTIQUES}}},
      {"3=1/\\2%%20/30 .", {{1, POINT_FINAL}}},
      {"3=1%20,2/\\4%%10/30.", {{1, SEUL_M6}}},
      {"3=1%20,2/\\4%%10/30. ", {{1, SEUL_M6}}},
      {"3=1%0,2/\\4%%10/30.", {{1, SEUL_M6}, {2, CHEVAUCHENT}}},
  });
}

TEST(Regles, M6) {
  verifie_regles({
      {"4=1%20,2%50,6%100.", {}},
      {"4=[vb]1;v2%40/\\5%90.", {}},
      {"4=1;v2%40,2;t3%80.", {}},  // qualifiers before the percentage
      {"4=1%20,2.", {{1, M6_NECESSITE}}},
      {"4=1%50,2%50.", {{2, CHEVAUCHENT}}},
      {"4=1%0.", {{2, CHEVAUCHENT}}},
      {"4=1%-5.", {{2, CHEVAUCHENT}, {1, VALEUR_SUIVANTE}}},  // the sign stays in place
      {"4=1%100.", {}},
      {"4=1%120.", {{2, DEPASSENT}}},
      {"4=1%60,2%40,3%120.", {{2, CHEVAUCHENT}, {2, DEPASSENT}}},
      {"4=1%50,d1{2}.", {{1, M6_GROUPE}}},
      {"4=1%50,d1{9}.", {{1, M6_GROUPE}, {1, non_listee(9)}}},
      {"4=1%20%.", {{1, SEUL_M4}, {2, IDENTIQUES}}},
      {"4=1%20;v2.", {{1, VALEUR_SUIVANTE}}},
      // The text after the "." counts for the engine.
      {"2=1,3/\\4. 50%", {{1, M6_NECESSITE}, {1, M6_NECESSITE}, {1, M6_NECESSITE}}},
      {"2=1,3/\\4. %%", {}},
  });
}

TEST(Regles, Groupes) {
  verifie_regles({
      {"2=d3{1,2}/\\4.", {{1, MOINS_DE_X}}},
      {"2=d1{1,2}/\\4.", {{1, PLUS_DE_X}}},
      {"2=d2{1,2,}/\\4.", {}},
      {"2=d{1,2}/\\4.", {{1, PLUS_DE_X}}},
      {"2=d0{}/\\4.", {{1, non_listee(0)}, {1, PLUS_DE_X}}},
      {"2=d2{1,9}/\\4.", {{1, non_listee(9)}}},
      {"2=d2{1;v2,3;t9}/\\4.", {{1, "La température 9 n'existe pas.\n"}}},
      {"2=d2{1 3}/\\4.", {{1, GROUPE_SYNTAXE}, {1, MOINS_DE_X}, {1, VALEUR_SUIVANTE}}},
      {"2=d2{1,3/\\4.", {{1, GROUPE_SYNTAXE}, {1, VALEUR_SUIVANTE}}},
      {"2=d2[1,3]/\\4.", {{1, ACCOLADE}, {1, VALEUR_SUIVANTE}}},
      {"2=dx{1}/\\4.", {{1, ACCOLADE}, {1, VALEUR_SUIVANTE}}},
      {"2=d,1/\\4.", {{1, ACCOLADE}}},  // no count: the "," is a separator and the line goes on
      {"2=d1{1", {{1, POINT}, {1, BARRES}, {1, GROUPE_SYNTAXE}, {1, VALEUR_SUIVANTE}}},
      {"2=1,d1{3}/\\d1{4}.", {}},
  });
}

TEST(Regles, Qualificatifs) {
  verifie_regles({
      {"2=1;v3;t2/\\4.", {}},
      {"2=1;x3/\\4.", {{1, QUALIFICATIF}, {1, VALEUR_SUIVANTE}}},
      {"2=1;v9/\\4.", {{1, "Le vent 9 n'existe pas.\n"}}},
      {"2=1;t0/\\4.", {}},
      {"2=1;t6/\\4.", {{1, "La température 6 n'existe pas.\n"}}},
      {"2=1;;v3/\\4.", {{1, QUALIFICATIF}}},
      {"2=1;", {{1, POINT}, {1, BARRES}, {1, QUALIFICATIF}, {1, VALEUR_SUIVANTE}}},
  });
}

TEST(Regles, SeparateursEtFinDeLigne) {
  verifie_regles({
      {"2=1,/\\3.", {}},
      {"2=1,3,/\\4,.", {}},
      {"2=1,,3/\\4.", {{1, SYNTAXE}}},  // the line ends there: 3 and 4 are not read
      {"2=1,,9/\\9.", {{1, SYNTAXE}}},
      {"2=1/\\,3.", {{1, SYNTAXE}}},
      {"2=1/\\4.9,x", {}},  // nothing after the "." is read
      {"2=1 3/\\4.", {{1, VALEUR_SUIVANTE}}},
      {"2=1/\\4%%10/30.", {}},  // the ending alone makes the line M4
  });
}

TEST(Regles, PourcentsDoublesDansLeJournal) {
  const resultat_verification r = verifie(reference_avec({I(52, "4=1%120.")}));
  EXPECT_NE(r.journal.find(vers_latin1("dépassent 100%%, ils")), std::string::npos);
  EXPECT_NE(r.console.find("dépassent 100%%, ils"), std::string::npos);
}

}  // namespace
