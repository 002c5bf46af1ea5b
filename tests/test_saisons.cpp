// Seasons (lines 32 to 37 of the reference) and seasonal temperatures (38 to
// 43), with five temperatures in the list.
#include <gtest/gtest.h>

#include "aide_verification.hpp"

namespace {

const std::string NUMEROTATION = "La numérotation des saisons est incorrecte.\n";
const std::string DEUX_POINTS = "Impossible de trouver le : qui précède l'affichage de la saison.\n";
const std::string QUE_4 = "La liste des saisons ne doit contenir que 4 saisons.\n";
const std::string FERMETURE = "La liste de 4 saisons doit se terminer par un <.\n";
const std::string EGAL = "Impossible de trouver le = qui précède les températures minimale et maximale.\n";
const std::string T_MIN = "Impossible de trouver le t qui précède la température minimale.\n";
const std::string T_MAX = "Impossible de trouver le t qui précède la température maximale.\n";
const std::string LIMITE_MIN = "La valeur de température minimale dépasse les limites admises.\n";
const std::string LIMITE_MAX = "La valeur de température maximale dépasse les limites admises.\n";
const std::string MAX_INFERIEUR =
    "La valeur de température maximale est inférieure à la valeur de température minimale.\n";

TEST(Saisons, NumerotationEtSeparateur) {
  verifie_cas({
      {"1, 2, 4, 3", {R(35, "4:Automne"), R(36, "3:Hiver")}, {E(35, NUMEROTATION), E(36, NUMEROTATION)}},
      {"1Printemps", {R(33, "1Printemps")}, {E(33, DEUX_POINTS)}},
      {"1 :Printemps", {R(33, "1 :Printemps")}, {E(33, DEUX_POINTS)}},
      {"ligne vide", {R(34, "")}, {E(34, NUMEROTATION), E(34, DEUX_POINTS)}},
      {"tête absente", {R(32, ">Saisons")}, {E(32, "Le quatrième paragraphe après #Affichage: doit être celui des saison et commencer par >Saison:\n")}},
  });
}

TEST(Saisons, QuatreLignesQuoiQuElLesContiennent) {
  verifie_cas({
      // The "<" is read as the fourth season, the next head as the closing
      // line, and that head is then found in hand.
      {"trois saisons", {S(36)}, {E(36, NUMEROTATION), E(36, DEUX_POINTS), E(37, FERMETURE)}},
      {"cinq saisons", {I(37, "5:Été indien")}, {E(37, QUE_4)}},
      {"cinq températures par saison", {I(43, "S5=t1,t2")}, {E(43, FERMETURE)}},
      {"cinquième ligne numérotée en tête", {I(43, "5=t1,t2")}, {E(43, QUE_4)}},
      {"fermeture absente avant la tête suivante", {S(43)}, {E(43, FERMETURE)}},
  });
}

TEST(Saisons, TemperaturesParSaison) {
  verifie_cas({
      {"S1=t3,t3", {R(39, "S1=t3,t3")}, {}},
      {"S1=t2,t5", {R(39, "S1=t2,t5")}, {}},
      {"S1=t0,t5", {R(39, "S1=t0,t5")}, {E(39, LIMITE_MIN)}},
      {"S1=t2,t6", {R(39, "S1=t2,t6")}, {E(39, LIMITE_MAX)}},
      {"S1=t5,t2", {R(39, "S1=t5,t2")}, {E(39, MAX_INFERIEUR)}},
      {"S1=t6,t2", {R(39, "S1=t6,t2")}, {E(39, LIMITE_MIN), E(39, MAX_INFERIEUR)}},
      {"sans =", {R(39, "S1t2,t5")}, {E(39, EGAL), E(39, T_MIN)}},
      {"tête chiffrée", {R(39, "01=t2,t5")}, {}},
      {"sans caractère de tête", {R(39, "1=t2,t5")}, {E(39, NUMEROTATION), E(39, EGAL)}},
      {"sans t du maximum", {R(39, "S1=t2,5")}, {E(39, T_MAX)}},
      // The cut looks for the next "t" further on, here in the text.
      {"t cherché plus loin", {R(39, "S1=t2,5 tiède")}, {E(39, T_MAX), E(39, LIMITE_MAX), E(39, MAX_INFERIEUR)}},
      {"sans virgule", {R(39, "S1=t2 t4")}, {E(39, T_MAX)}},
      {"numérotation", {R(40, "S3=t3,t5")}, {E(40, NUMEROTATION)}},
      {"valeurs négatives", {R(39, "S1=t-1,t-2")}, {E(39, LIMITE_MIN), E(39, LIMITE_MAX), E(39, MAX_INFERIEUR)}},
  });
}

TEST(Saisons, ListeDeTemperaturesVide) {
  // A single temperature numbered 0: every minimum and maximum is out of range.
  verifie_cas({
      {"aucune température",
       {R(10, "0:f1:Glacial"), S(11), S(11), S(11), S(11)},
       {E(10, "La première température de la liste ne commence pas par 1.\n"),
        E(10, "Le numéro de la température ne suit pas le précédent avec un pas de 1.\n"), E(35, LIMITE_MIN),
        E(35, LIMITE_MAX), E(36, LIMITE_MIN), E(36, LIMITE_MAX), E(37, LIMITE_MIN), E(37, LIMITE_MAX),
        E(38, LIMITE_MIN), E(38, LIMITE_MAX), E(43, "La température 2 n'existe pas.\n"),
        E(43, "La température 4 n'existe pas.\n"), E(43, "La température 3 n'existe pas.\n")}},
  });
}

TEST(Saisons, FinDuFichier) {
  // The rest of the last line is tested again by every remaining read.
  EXPECT_EQ(verifie(debut_reference(34)).constats,
            (std::vector<constat>{E(35, NUMEROTATION), E(36, NUMEROTATION), E(37, QUE_4),
                                  E(38, "Le fichier se termine avant le paragraphe des températures par saison, qui doit commencer par >Température par saison:\n")}));
  EXPECT_EQ(verifie(debut_reference(40)).constats,
            (std::vector<constat>{E(41, NUMEROTATION), E(41, EGAL), E(41, T_MIN), E(41, T_MAX), E(42, NUMEROTATION),
                                  E(42, EGAL), E(42, T_MIN), E(42, T_MAX), E(43, QUE_4),
                                  E(44, "Le fichier se termine avant le paragraphe des causes de précipitation, qui doit commencer par >Causes des précipitations:\n")}));
  EXPECT_EQ(verifie(debut_reference(31)).constats,
            (std::vector<constat>{E(32, "Le fichier se termine avant le paragraphe des saisons, qui doit commencer par >Saison:\n")}));
}

}  // namespace
