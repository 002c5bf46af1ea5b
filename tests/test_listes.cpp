// The temperature, wind and precipitation lists, on the reference file:
// temperatures on lines 8 to 15, winds 16 to 22, precipitations 23 to 31.
#include <gtest/gtest.h>

#include "aide_verification.hpp"

namespace {

const std::string TEMP_ENTETE =
    "Le premier paragraphe après #Affichage: doit être celui de la température et commencer par >Température:\n";
const std::string TEMP_INFERIEURE =
    "Pour les probabilités de variation de température, la deuxième valeur est inférieure à la première\n";
const std::string TEMP_IDENTIQUES =
    "Pour les probabilités de variation de température, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n";
const std::string TEMP_SUP_100 = "Pour les probabilités de variation du température, la deuxième valeur est supérieure à 100.\n";
const std::string TEMP_PREMIERE = "La première température de la liste ne commence pas par 1.\n";
const std::string TEMP_PAS = "Le numéro de la température ne suit pas le précédent avec un pas de 1.\n";
const std::string TEMP_F = "Juste après le premier : impossible de trouver le f qui précède le numéro d'effet.\n";
const std::string TEMP_EFFET = "Impossible de trouver le numéro d'effet lié à cette température.\n";
const std::string TEMP_DEUX_POINTS = "Impossible de trouver le deuxième : qui précède l'affichage de la température.\n";
const std::string TEMP_FERMETURE = "La liste de température devrait se terminer par <.\n";
const std::string TEMP_FIN = "Le fichier se termine avant le < qui doit terminer la liste de température.\n";

const std::string VENT_ENTETE = "Le deuxième paragraphe après #Affichage: doit être celui du vent et commencer par >Vent:\n";
const std::string VENT_INFERIEURE = "Pour les probabilités de variation du vent, la deuxième valeur est inférieure à la première\n";
const std::string VENT_SUP_100 = "Pour les probabilités de variation du vent, la deuxième valeur est supérieure à 100.\n";
const std::string VENT_PREMIER = "Le premier vent de la liste ne commence pas par 1.\n";
const std::string VENT_PAS = "Le numéro du vent ne suit pas le précédent avec un pas de 1.\n";
const std::string T_ABSENT = "Juste après le premier :, impossible de trouver le t qui précède la variation de température.\n";
const std::string VENT_VARIATION = "Impossible de trouver la variation de température lié à ce vent.\n";
const std::string F_ABSENT = "Juste après le deuxième :, impossible de trouver le f qui précède le numéro d'effet.\n";
const std::string VENT_EFFET = "Impossible de trouver le numéro d'effet lié à ce vent.\n";
const std::string VENT_TROIS_POINTS = "Impossible de trouver le troisième :, qui précède l'affichage de ce vent.\n";
const std::string VENT_FERMETURE = "La liste des vents devrait se terminer par <.\n";
const std::string VENT_FIN_AVANT = "Le fichier se termine avant le paragraphe du vent, qui doit commencer par >Vent:\n";

const std::string PRE_ENTETE =
    "Le troisième paragraphe après #Affichage: doit être celui des précipitation et commencer par >Précipitation:\n";
const std::string PRE_IDENTIQUES =
    "Pour les probabilités de variation des précipitations, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n";
const std::string PRE_DOUBLON = "Cette précipitation utilise un numéro déjà utilisé dans la liste de précipitation.\n";
const std::string PRE_VARIATION = "Impossible de trouver la variation de température lié à cette précipitation.\n";
const std::string PRE_EFFET = "Impossible de trouver le numéro d'effet lié à cette précipitation.\n";
const std::string PRE_TROIS_POINTS = "Impossible de trouver le troisième :, qui précède l'affichage de cette précipitation.\n";
const std::string PRE_FERMETURE = "La liste des précipitation devrait se terminer par <.\n";
const std::string PRE_ZERO =
    "Le numéro 0 est déconseillé pour une précipitation : le testeur ne peut pas vérifier qu'elle a une ligne sans condition.\n";

TEST(Listes, LignesDeProbabilite) {
  verifie_cas({
      {"30/30", {R(9, "30/30")}, {A(9, TEMP_IDENTIQUES)}},
      {"sans /", {R(9, "30")}, {A(9, TEMP_IDENTIQUES)}},
      {"60/30", {R(9, "60/30")}, {E(9, TEMP_INFERIEURE)}},
      {"50/120", {R(9, "50/120")}, {A(9, TEMP_SUP_100)}},
      {"150/120", {R(9, "150/120")}, {E(9, TEMP_INFERIEURE), A(9, TEMP_SUP_100)}},
      {"40/100", {R(9, "40/100")}, {}},
      {"préfixe", {R(9, "Probabilités: 20/60")}, {}},
      {"vent 70/30 et 10/101", {R(17, "70/30")}, {E(17, VENT_INFERIEURE)}},
      {"vent 10/101", {R(17, "10/101")}, {A(17, VENT_SUP_100)}},
      {"précipitations 5/5", {R(24, "Proba:5/5")}, {A(24, PRE_IDENTIQUES)}},
  });
}

TEST(Listes, LignesDeTete) {
  verifie_cas({
      {">Vents:", {R(16, ">Vents:")}, {E(16, VENT_ENTETE)}},
      {">Vent: calme", {R(16, ">Vent: calme")}, {}},
      {"tête des saisons par température", {R(8, ">Température par saison:")}, {E(8, TEMP_ENTETE)}},
      {"tête d'un autre paragraphe", {R(16, ">Précipitation:")}, {E(16, VENT_ENTETE)}},
      {"tête des précipitations", {R(23, ">Precipitation:")}, {E(23, PRE_ENTETE)}},
      {"lignes sautées avant la tête", {I(16, ""), I(16, "# remarque"), I(8, "autre chose")}, {}},
      {"clavier UTF-8", {R(8, ">TempÃ©rature:")}, {E(8, TEMP_ENTETE)}},
  });
}

TEST(Listes, Temperatures) {
  verifie_cas({
      {"1, 2, 4, 5, 6", {R(12, "4:f2:Doux"), R(13, "5:f3:Chaud"), R(14, "6:f4:Torride")}, {E(12, TEMP_PAS)}},
      {"commence à 2", {R(10, "2:f1:Glacial")}, {E(10, TEMP_PREMIERE), E(10, TEMP_PAS), E(11, TEMP_PAS)}},
      {"commence à 10", {R(10, "10:f1:Glacial")}, {E(10, TEMP_PAS), E(11, TEMP_PAS)}},
      {"blanc en tête", {R(10, " 1:f1:Glacial")}, {E(10, TEMP_PREMIERE)}},
      {"1:f:Froid", {R(10, "1:f:Froid")}, {E(10, TEMP_EFFET)}},
      {"1:f1Froid", {R(10, "1:f1Froid")}, {E(10, TEMP_DEUX_POINTS)}},
      {"1:g1:Froid", {R(10, "1:g1:Froid")}, {E(10, TEMP_F)}},
      {"1 Froid", {R(10, "1 Froid")}, {E(10, TEMP_F), E(10, TEMP_EFFET), E(10, TEMP_DEUX_POINTS)}},
      {"chiffre hors ASCII", {R(10, "1:f²:Froid")}, {E(10, TEMP_EFFET)}},
      {"pas de < avant la tête suivante", {S(15)}, {E(15, TEMP_FERMETURE)}},
      {"fermeture par autre chose", {R(15, "fin")}, {E(15, TEMP_FERMETURE)}},
      // Four temperatures: the seasons that use the fifth see it.
      {"nombre de températures vu par les saisons",
       {S(14)},
       {E(39, "La valeur de température maximale dépasse les limites admises.\n")}},
      {"dernier numéro faux compté quand même",
       {R(14, "3:f4:Torride")},
       {E(14, TEMP_PAS), E(39, "La valeur de température maximale dépasse les limites admises.\n"),
        E(40, "La valeur de température maximale dépasse les limites admises.\n"),
        E(41, "La valeur de température maximale dépasse les limites admises.\n"),
        E(47, "La température 4 n'existe pas.\n")}},
  });
}

TEST(Listes, Vents) {
  verifie_cas({
      {"1:t+2:f2:Brise", {R(18, "1:t+2:f2:Brise")}, {}},
      {"1:t5:f2:Brise", {R(18, "1:t5:f2:Brise")}, {}},
      {"1:t+:f2:Brise", {R(18, "1:t+:f2:Brise")}, {E(18, VENT_VARIATION)}},
      {"1:t-x:f2:Brise", {R(18, "1:t-x:f2:Brise")}, {E(18, VENT_VARIATION)}},
      {"1:x3:f2:Brise", {R(18, "1:x3:f2:Brise")}, {E(18, T_ABSENT)}},
      {"1:t1:f2Brise", {R(18, "1:t1:f2Brise")}, {E(18, VENT_TROIS_POINTS)}},
      {"1:t1:g2:Brise", {R(18, "1:t1:g2:Brise")}, {E(18, F_ABSENT)}},
      {"1:t1:f:Brise", {R(18, "1:t1:f:Brise")}, {E(18, VENT_EFFET)}},
      {"1 Calme",
       {R(18, "1 Calme")},
       {E(18, T_ABSENT), E(18, VENT_VARIATION), E(18, F_ABSENT), E(18, VENT_EFFET), E(18, VENT_TROIS_POINTS)}},
      {"premier vent 0", {R(18, "0:t0:f1:Calme")}, {E(18, VENT_PREMIER), E(18, VENT_PAS), E(19, VENT_PAS)}},
      {"sans fermeture", {R(22, ">Précipitation:"), S(23)}, {E(22, VENT_FERMETURE)}},
  });
}

TEST(Listes, Precipitations) {
  const std::string neige = ":t-3:f4:Neige";
  verifie_cas({
      {"3 répété une fois", {I(31, "3" + neige)}, {A(31, PRE_DOUBLON)}},
      {"4 répété deux fois", {I(31, "4" + neige), I(32, "4" + neige)}, {A(31, PRE_DOUBLON), A(32, PRE_DOUBLON), A(32, PRE_DOUBLON)}},
      {"variation et effet", {R(25, "1:t:f:Bruine")}, {E(25, PRE_VARIATION), E(25, PRE_EFFET)}},
      {"t et f absents",
       {R(25, "1:0:2:Bruine")},
       {E(25, T_ABSENT), E(25, PRE_VARIATION), E(25, F_ABSENT), E(25, PRE_EFFET)}},
      {"troisième :", {R(25, "1:t0:f2 Bruine")}, {E(25, PRE_TROIS_POINTS)}},
      {"fermeture", {R(31, "fin")}, {E(31, PRE_FERMETURE)}},
      {"numéro 0", {I(31, "0" + neige)}, {A(31, PRE_ZERO)}},
      {"un signe termine la liste", {I(31, "-3" + neige)}, {E(31, PRE_FERMETURE)}},
  });
}

TEST(Listes, ListeVide) {
  // The "<" is examined as the first entry; the head of the next paragraph
  // then ends the list and draws the closing error.
  verifie_cas({
      {"vents", {S(18), S(18), S(18), S(18)},
       {E(18, VENT_PREMIER), E(18, VENT_PAS), E(18, T_ABSENT), E(18, VENT_VARIATION), E(18, F_ABSENT),
        E(18, VENT_EFFET), E(18, VENT_TROIS_POINTS), E(19, VENT_FERMETURE)}},
  });
}

TEST(Listes, PlusDe99Precipitations) {
  std::vector<retouche> retouches;
  for (int i = 0; i < 100; ++i) retouches.push_back(I(31 + i, std::to_string(7 + i) + ":t0:f1:P"));
  const resultat_verification r = verifie(reference_avec(retouches));
  // The hundredth entry of the list is the 94th added.
  std::vector<constat> attendus = {E(
      124, "La liste de précipitation ne peut pas contenir plus de 99 précipitations, celle-ci et les suivantes ne "
           "seront pas prises en compte dans les causes des précipitations.\n")};
  // Numbers 7 to 99 are listed and have no rule: one warning each at the
  // closing line of the causes, none for 100 to 106, which the list lost.
  for (int n = 7; n <= 99; ++n)
    attendus.push_back(A(152, "La précipitation " + std::to_string(n) +
                                  " n'a aucune ligne sans condition. Cette précipitation risque de rester bloquée.\n"));
  EXPECT_EQ(r.constats, attendus);
}

TEST(Listes, FinDuFichierDansUneListe) {
  const struct {
    const char* nom;
    std::string contenu;
    std::vector<constat> attendus;
  } cas[] = {
      {"après les températures", debut_reference(14), {E(15, TEMP_FIN)}},
      {"après la tête",
       debut_reference(8),
       {A(9, TEMP_IDENTIQUES), E(10, TEMP_PREMIERE), E(10, TEMP_PAS), E(10, TEMP_F), E(10, TEMP_EFFET),
        E(10, TEMP_DEUX_POINTS), E(11, TEMP_FIN)}},
      {"après la fermeture", debut_reference(15), {E(16, VENT_FIN_AVANT)}},
      {"dernière ligne sans fin de ligne", debut_reference(15).substr(0, debut_reference(15).size() - 1), {E(16, VENT_FIN_AVANT)}},
      {"avant la tête", debut_reference(7), {E(8, "Le fichier se termine avant le paragraphe de la température, qui doit commencer par >Température:\n")}},
      {"après les précipitations", debut_reference(30), {E(31, "Le fichier se termine avant le < qui doit terminer la liste des précipitations.\n")}},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.nom);
    EXPECT_EQ(verifie(c.contenu).constats, c.attendus);
  }
}

}  // namespace
