#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aide_verification.hpp"
#include "console/texte.hpp"

namespace {

std::string converti(const std::string& texte) {
  char sortie[64];
  return linux_acc(texte.c_str(), sortie, sizeof sortie);
}

std::string efface(std::string texte, const char* motif) {
  Efface_char(texte.data(), motif);
  return texte.c_str();
}

std::string coupe_fin(std::string texte) {
  Efface_n(texte.data());
  return texte.c_str();
}

TEST(Conversion, OctetsDuTerminal) {
  const struct {
    std::string entree, attendu;
  } cas[] = {
      {"\xE9", "\xC3\xA9"},                  // é
      {"\xC3\xA9", "\xC3\xA9"},              // already converted: kept, not doubled
      {"\xC9", "\xC9"},                      // upper case stays one byte
      {"\xE2\x82\xAC", "\xC3\xA2\x82\xAC"},  // only the first byte is in range
      {"\xFF", "\xC3\xBF"},
      {"\xE0", "\xC3\xA0"},
      {"\xDF", "\xDF"},
      {"abc", "abc"},
      {"", ""},
      {"a\xC3", "a\xC3"},  // a final 0xC3 ends with the NUL after it
  };
  for (const auto& c : cas) EXPECT_EQ(converti(c.entree), c.attendu) << c.entree;
}

TEST(Conversion, NeDepassePasLaSortie) {
  char sortie[4] = {'x', 'x', 'x', 'x'};
  linux_acc("\xE9\xE9\xE9", sortie, 4);  // 6 bytes needed, 3 available
  EXPECT_STREQ(sortie, "\xC3\xA9");
  EXPECT_EQ(longueur_convertie("\xE9" "a\xC3\xA9"), 5u);
}

TEST(Conversion, PutsaccImprimeConverti) {
  const struct {
    std::string entree, attendu;
  } cas[] = {
      {"\xE9t\xE9\n", "\xC3\xA9t\xC3\xA9\n"},
      {"", ""},
      {std::string(600, 'a') + "\xE9", std::string(600, 'a') + "\xC3\xA9"},  // long texts are not cut
      {std::string(510, 'a') + "\xC3\xA9" + "z", std::string(510, 'a') + "\xC3\xA9z"},
  };
  for (const auto& c : cas) {
    testing::internal::CaptureStdout();
    putsacc(c.entree.c_str());
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.attendu);
  }
}

TEST(Efface_char, CoupeApresLeMotif) {
  const struct {
    const char *texte, *motif, *attendu;
  } cas[] = {
      {"a=b=c", "=", "b=c"}, {"abc", "=", "abc"}, {"x:", ":", ""},
      {"12-->34", "-->", "34"}, {"abc", "", "abc"}, {"", ":", ""},
  };
  for (const auto& c : cas) EXPECT_EQ(efface(c.texte, c.motif), c.attendu) << c.texte;
}

TEST(Efface_n, CoupeLaFinDeLigne) {
  const struct {
    const char *texte, *attendu;
  } cas[] = {
      {"Aube\r\n", "Aube"}, {"abcdef\n", "abcdef"}, {"\n", ""}, {"a\nbc\n", "a"},
      {"ab\ncdefgh", "ab\ncdefgh"}, {"", ""}, {"sans fin", "sans fin"},
  };
  for (const auto& c : cas) EXPECT_EQ(coupe_fin(c.texte), c.attendu) << c.texte;
}

TEST(Index_ch, ListeLesPositions) {
  const struct {
    const char *texte, *motif;
    std::vector<int> attendu;
  } cas[] = {
      {"a/b/c", "/", {1, 3}}, {"abc", "/", {}}, {"aaa", "aa", {0, 1}}, {"abc", "", {}},
  };
  for (const auto& c : cas) {
    int positions[TAILLE_INDEX] = {-7};
    const int n = index_ch(c.texte, c.motif, positions);
    EXPECT_EQ(std::vector<int>(positions, positions + n), c.attendu) << c.texte;
    if (n == 0) {
      EXPECT_EQ(positions[0], -7);
    }
  }
  int positions[TAILLE_INDEX];
  EXPECT_EQ(index_ch(std::string(50, '/').c_str(), "/", positions), 50);
  EXPECT_EQ(positions[49], 49);
}

TEST(Index_chDeathTest, CinquanteEtUnieme) {
  int positions[TAILLE_INDEX];
  EXPECT_EXIT((sans_terminal(), index_ch(std::string(51, '/').c_str(), "/", positions)), testing::ExitedWithCode(1),
              "Depassement de capacite du tableau d'index dans index_ch.\n\n\\.\\.\\.");
}

TEST(TexteLatin1, LitteralConverti) {
  EXPECT_STREQ("é à ÿ É"_l1, "\xE9 \xE0 \xFF \xC9");
}

}  // namespace
