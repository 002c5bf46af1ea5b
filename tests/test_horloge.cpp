// The vague clock: mark on line 53 of the reference, total on 54, moments on
// 55 to 59, and the end of the file after them.
#include <gtest/gtest.h>

#include "aide_verification.hpp"

namespace {

const std::string SUIVENT = "Les numéros des moments ne se suivent pas.";
const std::string T_ABSENT = "Juste après le deuxième :, impossible de trouver le t qui précède la variation de température.\n";
const std::string VARIATION = "Impossible de trouver la variation de température lié à ce moment de la journée.\n";
const std::string TROP_LONG = "Le texte à afficher est trop long, il sera tronqué à 33 caractères maximum.\n";
const std::string TOTAL = "Le nombre de moment lus ne correspond pas au total annoncé.\n";
const std::string SANS_TOTAL = "La ligne suivant '#Horloge vague:' doit être la ligne du total, contenant '='.\n";
const std::string SANS_MARQUE = "Impossible de trouver le paragraphe Horloge vague.\n Identifié par '#Horloge vague:'\n";

std::string caractere(const std::string& c) {
  return "Le caractère " + c + " n'est pas reconnu comme caractère à interprèter.";
}

TEST(Horloge, NumerotationEtTotal) {
  verifie_cas({
      {"total 4", {R(54, "Total=4")}, {A(60, TOTAL)}},
      {"1, 2, 4, 5, 6 et total 6",
       {R(54, "Total=6"), R(57, "4:$lever$+60:t+4:Matinée"), R(58, "5:$lever$:t+6:Midi"), R(59, "6:$coucher$:t-2:Soir")},
       {E(57, SUIVENT)}},
      {"premier numéro 0", {R(55, "0:$deb_astro$:t-3:Nuit")}, {E(55, SUIVENT), E(56, SUIVENT)}},
      {"ligne vide avant le premier moment", {I(55, "")}, {A(55, TOTAL)}},
      {"liste finie par une ligne", {I(60, "fin"), R(54, "Total=3")}, {A(60, TOTAL)}},
      {"total décimal", {R(54, "Total=5.5")}, {A(60, TOTAL)}},
      {"total précédé d'un blanc", {R(54, "Total= 5")}, {}},
      {"total en notation exponentielle", {R(54, "Nombre total=5e0")}, {}},
      {"total qui n'est pas un nombre", {R(54, "Total=nan")}, {A(60, TOTAL)}},
      {"ligne de total sans =", {R(54, "Total 5")}, {E(54, SANS_TOTAL)}},
      {"lignes après la liste jamais examinées", {I(60, "fin"), I(61, "7:x:y:z"), I(62, "#Horloge vague:")}, {}},
  });
}

TEST(Horloge, Marque) {
  verifie_cas({
      {"marque absente", {R(53, "Horloge vague:")}, {E(59, SANS_MARQUE)}},
      {"marque dans la ligne", {R(53, "Horloges #Horloge vague: (jour)")}, {}},
      {"lignes avant la marque", {I(53, "# moments"), I(53, "")}, {}},
  });
}

TEST(Horloge, ExpressionDeLHeure) {
  verifie_cas({
      {"blancs", {R(57, "3:$lever$ + 60:t+4:Matinée")}, {E(57, caractere(" ")), E(57, caractere(" "))}},
      {"variable inconnue", {R(57, "3:$midi$:t+4:Matinée")}, {E(57, "La variable 'midi' n'est pas reconnue.")}},
      {"variable vide", {R(57, "3:$$:t+4:Matinée")}, {E(57, "La variable '' n'est pas reconnue.")}},
      {"les huit variables",
       {R(57, "3:($lever$+$coucher$+$deb_astro$+$fin_astro$+$deb_naut$+$fin_naut$+$deb_civil$+$fin_civil$)/8*1-0:t+4:M")},
       {}},
      {"casse des variables", {R(57, "3:$Lever$:t+4:Matinée")}, {E(57, "La variable 'Lever' n'est pas reconnue.")}},
      {"expression vide", {R(57, "3::t+4:Matinée")}, {}},
      {"caractère accentué", {R(57, "3:$lever$é:t+4:Matinée")}, {E(57, caractere("é"))}},
      // The messages without a line feed run on into the next finding.
      {"numéro et caractère", {R(57, "9:x$lever$:t+4:Matinée")}, {E(57, SUIVENT), E(57, caractere("x")), E(58, SUIVENT)}},
  });
}

TEST(Horloge, VariationEtAffichage) {
  const std::string trente_trois(33, 'a');
  verifie_cas({
      {"sans t", {R(57, "3:$lever$:+4:Matinée")}, {E(57, T_ABSENT)}},
      {"t seul", {R(57, "3:$lever$:t:Matinée")}, {E(57, VARIATION)}},
      {"tx4", {R(57, "3:$lever$:tx4:Matinée")}, {E(57, VARIATION)}},
      {"t+x", {R(57, "3:$lever$:t+x:Matinée")}, {E(57, VARIATION)}},
      {"x sans chiffre", {R(57, "3:$lever$:x:Matinée")}, {E(57, T_ABSENT), E(57, VARIATION)}},
      {"t+4.5", {R(57, "3:$lever$:t+4.5:Matinée")}, {}},
      {"t-40", {R(57, "3:$lever$:t-40:Matinée")}, {}},
      {"33 caractères", {R(57, "3:$lever$:t+4:" + trente_trois)}, {}},
      {"34 caractères", {R(57, "3:$lever$:t+4:" + trente_trois + "b")}, {A(57, TROP_LONG)}},
      {"33 lettres accentuées", {R(57, "3:$lever$:t+4:ééééééééééééééééééééééééééééééééé")}, {}},
      {"affichage avec :", {R(57, "3:$lever$:t+4:Matin: tôt")}, {}},
      {"sans troisième :", {R(57, "3:$lever$:t+4 Matinée")}, {}},
      {"sans troisième :, trop long", {R(57, "3:$lever$:t+4 " + trente_trois)}, {A(57, TROP_LONG)}},
  });
}

TEST(Horloge, FinsDeLigneCRLF) {
  // A line ending of CR LF measures like LF: 33 characters pass, 34 do not.
  std::string contenu;
  for (const std::string& l : reference()) contenu += l + "\r\n";
  const std::string fin = "5:$coucher$:t-2:Crépuscule\r\n";
  const std::string base = contenu.substr(0, contenu.size() - fin.size());
  EXPECT_EQ(verifie(contenu).constats, std::vector<constat>{});
  EXPECT_EQ(verifie(base + "5:$coucher$:t-2:" + std::string(33, 'a') + "\r\n").constats, std::vector<constat>{});
  EXPECT_EQ(verifie(base + "5:$coucher$:t-2:" + std::string(34, 'a') + "\r\n").constats,
            std::vector<constat>{A(59, TROP_LONG)});
}

TEST(Horloge, LignesIncompletes) {
  verifie_cas({
      {"sans deuxième :",
       {R(57, "3:$lever$")},
       {E(57, "Impossible de trouver le : qui termine l'expression de l'heure de ce moment de la journée.\n"),
        E(57, T_ABSENT), E(57, VARIATION)}},
      {"$ non refermé",
       {R(57, "3:$lever:t+4:Matinée")},
       {E(57, "Le $ qui ouvre la variable 'lever:t+4:Matinée' n'est pas refermé.\n")}},
      {"nom trop long pour le message",
       {R(57, "3:$" + std::string(230, 'v') + "$:t+4:M")},
       {E(57, "La variable '" + std::string(200, 'v') + "...' n'est pas reconnue.")}},
  });
}

TEST(Horloge, FinDuFichier) {
  EXPECT_EQ(verifie(debut_reference(53)).constats, std::vector<constat>{E(54, SANS_TOTAL)});
  EXPECT_EQ(verifie(debut_reference(54)).constats, std::vector<constat>{A(55, TOTAL)});
  EXPECT_EQ(verifie(debut_reference(57)).constats, std::vector<constat>{A(58, TOTAL)});
  const std::string sans_fin = debut_reference(59);
  EXPECT_EQ(verifie(sans_fin.substr(0, sans_fin.size() - 1)).constats, std::vector<constat>{});
  // Without the mark, the error carries the number of the last line.
  EXPECT_EQ(verifie(debut_reference(52)).constats, std::vector<constat>{E(52, SANS_MARQUE)});
}

TEST(Horloge, MessagesSansFinDeLigneDansLeJournal) {
  const resultat_verification r = verifie(reference_avec({R(57, "9:x:t+4:M"), R(54, "Total=9")}));
  EXPECT_EQ(vers_utf8(r.journal),
            "- Erreur ligne 57. " + SUIVENT + "- Erreur ligne 57. " + caractere("x") + "- Erreur ligne 58. " + SUIVENT +
                "- Avertissement ligne 60. " + TOTAL);
}

}  // namespace
