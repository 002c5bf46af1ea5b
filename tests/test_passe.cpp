// The pass on cases that a golden file cannot pin down cheaply: value
// boundaries, numbering, the structure of the paragraphs and the end of the
// file inside each of them. The table is donnees/passe.txt, one row per case
// giving every finding as kind, line and code, each row a case of its own;
// the message texts are checked by the golden files.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "aide.hpp"
#include "constats.hpp"

namespace {

// The rows of the table, each with its section and name.
std::vector<std::pair<std::string, std::string>> table() {
  std::vector<std::pair<std::string, std::string>> r;
  std::string section;
  for (const std::string& ligne : decoupe(source("tests/donnees/passe.txt"), '\n')) {
    if (ligne.starts_with("== ")) section = ligne.substr(3);
    else if (!ligne.empty() && ligne[0] != '#') r.emplace_back(section + " : " + ligne.substr(0, ligne.find(" ; ")), ligne);
  }
  return r;
}

class Passe : public testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(Passe, Cas) {
  const std::string& ligne = GetParam().second;
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
  EXPECT_EQ(constats(contenu), ligne.substr(std::min(ligne.size(), fleche + 4))) << GetParam().first;
}

// Each row is a case of its own, named after its section and name.
INSTANTIATE_TEST_SUITE_P(Table, Passe, testing::ValuesIn(table()), [](const auto& i) {
  std::string nom = std::to_string(i.index) + "_";
  for (char c : i.param.first) nom += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '_';
  return nom;
});

}  // namespace
