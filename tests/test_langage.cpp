// Completion on a rule line, place by place: which list the place calls for
// (donnees/completion.txt), each list whole in donnees/propositions.txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aide.hpp"
#include "langage.hpp"

namespace {

std::vector<std::string> table() {
  std::vector<std::string> r;
  for (const std::string& ligne : decoupe(source("tests/donnees/completion.txt"), '\n'))
    if (!ligne.empty() && ligne[0] != '#') r.push_back(deplie(ligne));
  return r;
}

class Completion : public testing::TestWithParam<std::string> {};

TEST_P(Completion, Place) {
  // The sample, as an editor holds it (UTF-8), with the text on a line of
  // its own before the "<" that ends the causes, or in the place of line N.
  std::string exemple;
  for (const char c : source("exemples/climat.txt")) {
    const auto o = static_cast<unsigned char>(c);
    if (o < 0x80) exemple += c;
    else exemple += {static_cast<char>(0xC0 | (o >> 6)), static_cast<char>(0x80 | (o & 0x3F))};
  }
  std::vector<std::string> lignes = decoupe(exemple, '\n');
  std::size_t ici = 0;
  std::string texte = GetParam();
  if (texte.starts_with("@")) {  // "@N text": in the place of line N
    ici = std::stoul(texte.substr(1)) - 1;
    texte.erase(0, texte.find(' ') + 1);
    lignes[ici] = texte;
  } else {
    while (lignes[ici] != ">Causes des pr\xC3\xA9" "cipitations:") ++ici;
    while (lignes[ici] != "<") ++ici;
    lignes.insert(lignes.begin() + static_cast<std::ptrdiff_t>(ici), texte);
  }
  document_ouvert d;
  d.climat = true;
  std::string tout;
  for (const std::string& l : lignes) tout += l + "\n";
  d.remplace_tout(tout);
  d.analyse();

  // Every proposal whole: what the list shows, what replaces which columns,
  // its order and kind, and its documentation indented under it.
  std::string obtenu;
  for (const proposition& p : propositions(d, {static_cast<int>(ici), static_cast<int>(texte.size())})) {
    EXPECT_EQ(p.debut.ligne, static_cast<int>(ici));
    EXPECT_EQ(p.fin.ligne, static_cast<int>(ici));
    obtenu += p.etiquette + " | " + p.detail + " | " + p.texte + " | " + p.tri + " | " + (p.valeur ? "valeur" : "mot") + " | " +
              std::to_string(p.debut.caractere) + "-" + std::to_string(p.fin.caractere) + "\n";
    for (const std::string& l : decoupe(p.documentation + "\n", '\n')) obtenu += "    " + l + "\n";
  }
  if (!obtenu.empty()) obtenu.pop_back();  // the data file's sections end without their last line feed
  EXPECT_EQ(obtenu, attendu("propositions.txt", "\xC2\xAB" + GetParam() + "\xC2\xBB")) << texte;
  // Past the last line, nothing.
  EXPECT_TRUE(propositions(d, {static_cast<int>(d.nombre_de_lignes()), 0}).empty());
}

INSTANTIATE_TEST_SUITE_P(Table, Completion, testing::ValuesIn(table()));

}  // namespace

namespace {

// The published findings of a cascade with the editor's own findings mixed
// in (a character Latin-1 lacks, before and inside it): each consequence
// points at its root's place in the published list, the root counts them
// and shows its slip, the blank line.
TEST(Causes, PlacesDansLaListePubliee) {
  std::string texte;
  for (const char c : source("exemples/cascade_ligne_blanche.txt")) {
    const auto o = static_cast<unsigned char>(c);
    if (o < 0x80) texte += c;
    else texte += {static_cast<char>(0xC0 | (o >> 6)), static_cast<char>(0x80 | (o & 0x3F))};
  }
  for (const std::string avant : {"Longitude=", "5=d2{4,5}/"}) texte.insert(texte.find(avant) + avant.size() - 1, "\xE2\x82\xAC");
  document_ouvert d;
  d.climat = true;
  d.remplace_tout(texte);
  d.analyse();
  std::size_t racine = d.trouvailles.size();
  int suites = 0;
  for (std::size_t k = 0; k < d.trouvailles.size(); ++k) {
    const trouvaille& t = d.trouvailles[k];
    if (t.suites > 0) racine = k;
    if (t.cause >= 0) {
      ++suites;
      EXPECT_EQ(static_cast<std::size_t>(t.cause), racine) << k;
    }
  }
  ASSERT_LT(racine, d.trouvailles.size());
  EXPECT_EQ(d.trouvailles[racine].suites, suites);
  EXPECT_EQ(suites, 15);
  EXPECT_EQ(d.trouvailles[racine].origine.ligne, 51);
  EXPECT_EQ(d.trouvailles[racine].debut.ligne, 55);
}

}  // namespace
