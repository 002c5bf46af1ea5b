// The six header lines, each alone and in the combinations that the reading
// rule brings about.
#include <gtest/gtest.h>

#include "aide_verification.hpp"

namespace {

const std::string LATITUDE_ABSENTE = "La première ligne doit commencer impérativement par Latitude=\n";
const std::string LATITUDE_NULLE = "La latitude est nulle, vérifiez que ce n'est pas une erreur\n";
const std::string LATITUDE_BRIDEE =
    "La latitude est inférieure à -65 ou supérieure à 65, ces valeurs seront bridées à -65 ou +65.\n";
const std::string LONGITUDE_ABSENTE = "La deuxième ligne doit commencer impérativement par Longitude=\n";
const std::string LONGITUDE_NULLE = "La Longitude est nulle, vérifiez que ce n'est pas une erreur\n";
const std::string LONGITUDE_BRIDEE =
    "La Longitude est inférieure à -180 ou supérieure à 180, ces valeurs seront bridées à -180 ou +180.\n";
const std::string HEURE_ETE = "Erreur de syntaxe pour l'heure d'été. Les réponses acceptées sont O, o, N ou n.\n";
const std::string DECALAGE = "La valeur de décalage horaire semble anormalement élevée\n";
const std::string TEMPS_INFERIEUR =
    "Pour le temps avant changement de météo, la deuxième valeur est inférieure à la première\n";
const std::string TEMPS_IDENTIQUES =
    "Pour le temps avant changement de météo, les 2 valeurs sont identique, vérifiez que ce n'est pas une erreur\n";
const std::string FORCE_NUL =
    "Le nombre de fois avant changement de météo forcé est nul, vérifiez que ce n'est pas une erreur\n";

TEST(Entete, LatitudeEtLongitude) {
  verifie_cas({
      {"valide", {}, {}},
      {"bornes acceptées", {R(1, "Latitude=-65"), R(2, "Longitude=180")}, {}},
      {"bornes opposées", {R(1, "Latitude=65"), R(2, "Longitude=-180")}, {}},
      {"au-delà", {R(1, "Latitude=-65.5"), R(2, "Longitude=180.5")}, {A(1, LATITUDE_BRIDEE), A(2, LONGITUDE_BRIDEE)}},
      {"nulle", {R(1, "Latitude=0"), R(2, "Longitude=0.0")}, {A(1, LATITUDE_NULLE), A(2, LONGITUDE_NULLE)}},
      {"texte lu comme 0", {R(1, "Latitude=nord")}, {A(1, LATITUDE_NULLE)}},
      {"nan ne tire rien", {R(1, "Latitude=nan"), R(2, "Longitude=nan")}, {}},
      {"minuscules", {R(1, "latitude=45"), R(2, "longitude=3")}, {E(1, LATITUDE_ABSENTE), E(2, LONGITUDE_ABSENTE)}},
      {"mot-clé précédé de texte", {R(1, "Lieu: Latitude=45"), R(2, " Longitude=3")}, {}},
      {"très grand", {R(1, "Latitude=1e300")}, {A(1, LATITUDE_BRIDEE)}},
  });
}

TEST(Entete, HeureEteDecalageTempsForce) {
  verifie_cas({
      {"o minuscule", {R(3, "Heure d'été=o")}, {}},
      {"mot entier", {R(3, "Heure d'été=Non")}, {}},
      {"Y", {R(3, "Heure d'été=Y")}, {E(3, HEURE_ETE)}},
      {"blanc avant", {R(3, "Heure d'été= O")}, {E(3, HEURE_ETE)}},
      {"vide", {R(3, "Heure d'été=")}, {E(3, HEURE_ETE)}},
      {"sans =, la première lettre compte", {R(3, "Oui")}, {}},
      {"décalage 24 et -24", {R(4, "Décalage=24")}, {}},
      {"décalage -24", {R(4, "Décalage=-24")}, {}},
      {"décalage 25", {R(4, "Décalage=25")}, {A(4, DECALAGE)}},
      {"décalage -25", {R(4, "Décalage=-25")}, {A(4, DECALAGE)}},
      {"décalage décimal lu entier", {R(4, "Décalage=24.9")}, {}},
      {"décalage trop grand pour 32 bits", {R(4, "Décalage=99999999999999")}, {A(4, DECALAGE)}},
      {"décalage sans nombre", {R(4, "Décalage=")}, {}},
      {"10-5", {R(5, "Temps:10-5")}, {E(5, TEMPS_INFERIEUR)}},
      {"10-10", {R(5, "Temps:10-10")}, {A(5, TEMPS_IDENTIQUES)}},
      {"5-10", {R(5, "Temps:5-10")}, {}},
      {"sans -", {R(5, "Temps:7")}, {A(5, TEMPS_IDENTIQUES)}},
      {"forcé 0", {R(6, "Forcé:0")}, {A(6, FORCE_NUL)}},
      {"forcé sans nombre", {R(6, "Forcé:")}, {A(6, FORCE_NUL)}},
      {"forcé 3", {R(6, "Forcé:3")}, {}},
  });
}

TEST(Entete, LigneLongueEnDeuxLectures) {
  // 300 characters: the second read is examined as line 2, and every later
  // finding carries a number one higher than its line's place in the file.
  const std::string longue = "Latitude=45" + std::string(289, ' ');
  verifie_cas({
      {"première ligne longue",
       {R(1, longue), R(10, "1:g1:Glacial")},
       {E(2, LONGITUDE_ABSENTE), E(3, HEURE_ETE), A(5, TEMPS_IDENTIQUES),
        E(11, "Juste après le premier : impossible de trouver le f qui précède le numéro d'effet.\n")}},
      {"253 caractères tiennent en une lecture", {R(1, "Latitude=45" + std::string(242, ' '))}, {}},
  });
}

const std::string FIN_AVANT_TEMPERATURES =
    "Le fichier se termine avant le paragraphe de la température, qui doit commencer par >Température:\n";

TEST(Entete, FichierQuiSArreteAvantLaSixiemeLigne) {
  const struct {
    const char* nom;
    std::string contenu;
    std::vector<constat> attendus;
  } cas[] = {
      {"vide", "", {E(1, LATITUDE_ABSENTE)}},
      {"une ligne", "Latitude=45\n", {E(2, LONGITUDE_ABSENTE)}},
      {"une ligne sans fin de ligne", "Latitude=45", {}},
      {"deux lignes", "Latitude=45\nLongitude=3\n", {E(3, HEURE_ETE)}},
      {"deux lignes sans fin de ligne", "Latitude=45\nLongitude=3", {}},
      {"trois lignes", "Latitude=45\nLongitude=3\nH=O\n", {}},
      {"quatre lignes", "Latitude=45\nLongitude=3\nH=O\nD=1\n", {A(5, TEMPS_IDENTIQUES)}},
      {"cinq lignes", "Latitude=45\nLongitude=3\nH=O\nD=1\nT:4-8\n", {E(7, FIN_AVANT_TEMPERATURES)}},
      {"six lignes", "Latitude=45\nLongitude=3\nH=O\nD=1\nT:4-8\nF:3\n", {E(7, FIN_AVANT_TEMPERATURES)}},
      {"six lignes sans fin de ligne", "Latitude=45\nLongitude=3\nH=O\nD=1\nT:4-8\nF:3",
       {E(7, FIN_AVANT_TEMPERATURES)}},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.nom);
    EXPECT_EQ(verifie(c.contenu).constats, c.attendus);
  }
}

}  // namespace
