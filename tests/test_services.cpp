#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "aide_verification.hpp"
#include "console/services.hpp"

namespace {

std::string lit_reponse(const std::string& entree, int arret = 0) {
  std::FILE* f = fmemopen(const_cast<char*>(entree.data()), entree.size(), "r");
  char* texte = getsdyn(f, arret);
  std::string r = texte;
  std::free(texte);
  std::fclose(f);
  return r;
}

TEST(Getsdyn, LitUneLigne) {
  const std::string longue(350, 'x');
  const struct {
    std::string entree;
    int arret;
    std::string attendu;
  } cas[] = {
      {"chemin.txt\nreste", 0, "chemin.txt"},
      {"\n", 0, ""},
      {longue + "\n", 0, longue},  // grows by 100 bytes as often as needed
      {"sans fin de ligne", 0, "sans fin de ligne"},  // the end of the input ends it
      {"a;b", ';', "a"},
      {"ab\n;c", ';', "ab"},  // a line feed before another stop is dropped
      {"\xE9t\xE9\n", 0, "\xE9t\xE9"},
  };
  for (const auto& c : cas) EXPECT_EQ(lit_reponse(c.entree, c.arret), c.attendu);
}

TEST(Changeslash, ToutesLesBarres) {
  std::string t = "C:\\climats\\\\mer.txt";
  changeslash(t.data());
  EXPECT_EQ(t, "C:/climats//mer.txt");
}

TEST(Erreur, UnBlocAllouePasseQuelleQueSoitSonAdresse) {
  // Addresses above 4 GiB must not look like a failure.
  verifie_allocation(reinterpret_cast<char*>(std::uintptr_t{1} << 40));
  SUCCEED();
}

TEST(ErreurDeathTest, AllocationEchouee) {
  EXPECT_EXIT((sans_terminal(), verifie_allocation(static_cast<char*>(nullptr))), testing::ExitedWithCode(1), "malloc");
}

TEST(OuvreFichier, BarresInversees) {
  ASSERT_EQ(chdir(dossier_prive().c_str()), 0);
  ecrit_fichier("ouvre.txt", "x");
  std::FILE* f = ouvre_fichier(".\\ouvre.txt", "r");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fgetc(f), 'x');
  std::fclose(f);
}

TEST(OuvreFichierDeathTest, CheminTropLongRefuse) {
  // 2100 accented bytes convert to 4200: refused, nothing written past chfunc.
  const std::string chemin(2100, '\xE9');
  EXPECT_EXIT((sans_terminal(), ouvre_fichier(chemin.c_str(), "r")), testing::ExitedWithCode(1), "trop long");
}

TEST(OuvreFichierDeathTest, FichierAbsent) {
  EXPECT_EXIT((sans_terminal(), ouvre_fichier("/nulle/part.txt", "r")), testing::ExitedWithCode(1),
              "ouverture du fichier /nulle/part.txt, en mode r\\.\\.\\.$");
}

}  // namespace
