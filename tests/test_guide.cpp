// The examples of the authors' guide are real: its "climat" blocks, in order,
// form a complete file that draws no finding, and each "climat-regle" line
// added to that file's causes draws none either.
#include <gtest/gtest.h>

#include <algorithm>

#include "aide_verification.hpp"

namespace {

std::vector<std::string> lignes_des_blocs(const std::string& sorte) {
  const std::string guide = lit_fichier(std::string(DOSSIER_SOURCES) + "/docs/guide-climat.md");
  std::vector<std::string> lignes;
  bool dedans = false;
  std::size_t debut = 0;
  for (std::size_t fin; (fin = guide.find('\n', debut)) != std::string::npos; debut = fin + 1) {
    const std::string ligne = guide.substr(debut, fin - debut);
    if (ligne.rfind("```", 0) == 0) {
      dedans = !dedans && ligne == "```" + sorte;
      continue;
    }
    if (dedans) lignes.push_back(ligne);
  }
  return lignes;
}

TEST(Guide, LesExemplesFormentUnFichierSansConstat) {
  const std::vector<std::string> fichier = lignes_des_blocs("climat");
  ASSERT_GT(fichier.size(), 50u);
  EXPECT_EQ(verifie(joint(fichier)).constats, std::vector<constat>{});
}

TEST(Guide, ChaqueRegleDExempleEstAcceptee) {
  const std::vector<std::string> fichier = lignes_des_blocs("climat");
  const auto tete = std::find(fichier.begin(), fichier.end(), ">Causes des précipitations:");
  ASSERT_NE(tete, fichier.end());
  const auto fermeture = std::find(tete, fichier.end(), "<");
  const std::vector<std::string> regles = lignes_des_blocs("climat-regle");
  ASSERT_GE(regles.size(), 9u);
  for (const std::string& regle : regles) {
    SCOPED_TRACE(regle);
    std::vector<std::string> avec = fichier;
    avec.insert(avec.begin() + (fermeture - fichier.begin()), regle);
    EXPECT_EQ(verifie(joint(avec)).constats, std::vector<constat>{});
  }
}

}  // namespace
