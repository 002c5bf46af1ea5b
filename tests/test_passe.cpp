// The pass on cases that a golden file cannot pin down cheaply: value
// boundaries, numbering, the structure of the paragraphs and the end of the
// file inside each of them. The table is donnees/passe.txt, one row per case
// giving every finding as kind and line; the message texts are checked by
// the golden files.
#include <gtest/gtest.h>

#include "aide.hpp"
#include "testeur_climat/constats.hpp"

namespace {

TEST(Passe, Cas) {
  std::string section;
  for (const std::string& ligne : decoupe(source("tests/donnees/passe.txt"), '\n')) {
    if (ligne.starts_with("== ")) section = ligne;
    if (ligne.empty() || ligne[0] == '#' || ligne.starts_with("== ")) continue;
    const std::size_t fleche = ligne.find(" =>");
    const std::vector<std::string> c = champs(ligne.substr(0, fleche));
    std::vector<retouche> retouches;
    std::string contenu;
    for (std::size_t i = 1; i < c.size(); ++i) {
      const int numero = std::stoi(c[i].substr(1));
      std::size_t fin = 0;  // Dn: the first n lines of the reference file
      for (int k = 0; c[i][0] == 'D' && k < numero; ++k) fin = source("tests/donnees/reference.txt").find('\n', fin) + 1;
      if (c[i][0] == 'D') contenu = source("tests/donnees/reference.txt").substr(0, fin - c[i].ends_with("-"));
      else retouches.push_back({c[i][0], numero, deplie(c[i].substr(std::min(c[i].size(), c[i].find(' ') + 1)))});
    }
    if (!retouches.empty() || c.size() == 1) contenu = reference_avec(retouches);
    EXPECT_EQ(constats(contenu), ligne.substr(std::min(ligne.size(), fleche + 4))) << section << " : " << c[0];
  }
}

}  // namespace
