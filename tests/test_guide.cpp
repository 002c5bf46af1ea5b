// The examples of the authors' guide are real: its "climat" blocks, in order,
// form a complete file that draws no finding, and so does that file with any
// one of its "climat-regle" lines added to the causes.
#include <gtest/gtest.h>

#include <algorithm>

#include "aide.hpp"

namespace {

std::vector<std::string> lignes_des_blocs(const std::string& sorte) {
  std::vector<std::string> lignes;
  bool dedans = false;
  for (const std::string& ligne : decoupe(source("docs/guide-climat.md"), '\n')) {
    if (ligne.rfind("```", 0) == 0)
      dedans = !dedans && ligne == "```" + sorte;
    else if (dedans)
      lignes.push_back(latin1(ligne));
  }
  return lignes;
}

std::string fichier(const std::vector<std::string>& lignes) {
  std::string texte;
  for (const std::string& l : lignes) texte += l + "\n";
  return texte;
}

TEST(Guide, LesExemplesSontAcceptes) {
  std::vector<std::string> climat = lignes_des_blocs("climat");
  ASSERT_GT(climat.size(), 50u);
  EXPECT_EQ(constats(fichier(climat)), "");
  const auto fermeture = std::find(std::find(climat.begin(), climat.end(), latin1(">Causes des précipitations:")),
                                   climat.end(), "<");
  ASSERT_NE(fermeture, climat.end());
  const std::vector<std::string> regles = lignes_des_blocs("climat-regle");
  ASSERT_GE(regles.size(), 9u);
  for (const std::string& regle : regles) {
    std::vector<std::string> avec = climat;
    avec.insert(avec.begin() + (fermeture - climat.begin()), regle);
    EXPECT_EQ(constats(fichier(avec)), "") << regle;
  }
}

}  // namespace
