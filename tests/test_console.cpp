// The console library at its limits: the conversion for the terminal, the
// in-place string operations, line input, colours, the frame and names as the
// terminal shows them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>

#include "aide.hpp"
#include "services.hpp"
#include "texte.hpp"
#include "titre.hpp"

namespace {

std::string affiche(const std::string& texte) {
  testing::internal::CaptureStdout();
  putsacc(texte.c_str());
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

std::string positions(const std::string& texte, const std::string& motif) {
  int p[TAILLE_INDEX];
  std::string r;
  for (int i = 0, n = index_ch(texte.c_str(), motif.c_str(), p); i < n; ++i) {
    if (i > 0) r += ' ';
    r += std::to_string(p[i]);
  }
  return r;
}

std::string lu(std::string entree, const std::string& arret) {
  std::FILE* f = fmemopen(entree.data(), entree.size(), "r");
  const std::unique_ptr<char, decltype(&std::free)> texte(getsdyn(f, arret.empty() ? 0 : arret[0]), &std::free);
  std::fclose(f);
  return texte.get();
}

// Each function of the library on its table of donnees/console.txt, one
// test per function: the last field is what the others give.
using fonction_testee = std::function<std::string(std::vector<std::string>&)>;
const std::map<std::string, fonction_testee>& fonctions() {
  static const std::map<std::string, fonction_testee> par_nom = {
      {"linux_acc",
       [](auto& c) {
         char sortie[16];
         EXPECT_EQ(longueur_convertie(c[0].c_str()), c[1].size()) << c[0];
         return std::string(linux_acc(c[0].c_str(), sortie, sizeof sortie));
       }},
      {"utf8_valide", [](auto& c) { return std::to_string(utf8_valide(c[0].c_str())); }},
      {"putsacc", [](auto& c) { return affiche(c[0]); }},
      {"Efface_n", [](auto& c) { return (Efface_n(c[0].data()), std::string(c[0].c_str())); }},
      {"index_ch", [](auto& c) { return positions(c[0], c[1]); }},
      {"getsdyn", [](auto& c) { return lu(c[0], c[1]); }},
      {"couleurs_xterm", [](auto& c) { const couleurs_fenetre f = couleurs_xterm(c[0].c_str()); return f.fond + "/" + f.texte; }},
      {"cadre_titre", [](auto& c) { return decoupe(cadre_titre(std::string(std::stoul(c[0]), 'x').c_str()), '\n').at(2); }},
      {"nom_visible", [](auto& c) { return nom_visible(c[0].c_str()); }}};
  return par_nom;
}

class Fonctions : public testing::TestWithParam<std::string> {};

TEST_P(Fonctions, Table) {
  const auto table = cas("console.txt", GetParam() + " :");
  ASSERT_FALSE(table.empty());
  for (std::vector<std::string> c : table) {
    const std::string entree = c[0];
    EXPECT_EQ(fonctions().at(GetParam())(c), c.back()) << entree;
  }
}

std::vector<std::string> noms() {
  std::vector<std::string> r;
  for (const auto& [nom, fonction] : fonctions()) r.push_back(nom);
  return r;
}

INSTANTIATE_TEST_SUITE_P(Console, Fonctions, testing::ValuesIn(noms()), [](const auto& i) { return i.param; });

TEST(Console, LimitesDesTampons) {
  // A final 0xC3 ends at its NUL: nothing after it is read or written; a
  // pair that does not fit is left out.
  char sortie[6] = {'#', '#', '#', '#', '#', '#'};
  linux_acc(std::string("a\xC3\0xy", 5).c_str(), sortie, sizeof sortie);
  EXPECT_EQ(std::string(sortie, 5), std::string("a\xC3\0##", 5));
  EXPECT_EQ(longueur_convertie(std::string("a\xC3\0xy", 5).c_str()), 2u);
  linux_acc("\xE9\xE9\xE9", sortie, 4);
  EXPECT_STREQ(sortie, "\xC3\xA9");
  // No room at all: nothing written, and the buffer still handed back.
  EXPECT_EQ(linux_acc("\xE9", sortie, 0), sortie);
  EXPECT_STREQ(sortie, "\xC3\xA9");
  int p[TAILLE_INDEX];
  EXPECT_EXIT((static_cast<void>(std::freopen("/dev/null", "r", stdin) != nullptr), index_ch(std::string(51, '/').c_str(), "/", p)),
              testing::ExitedWithCode(1), "");
}

}  // namespace
