// Every climate file that has an expected report beside it, run by the real
// program under a pseudo-terminal: the console output and "Erreur.log" byte
// for byte, and the climate file unchanged. This is where the message texts
// are checked.
#include <gtest/gtest.h>

#include <filesystem>

#include "aide.hpp"

namespace {

TEST(Exemples, RapportsAttendus) {
  int fichiers = 0;
  for (const char* dossier : {"exemples", "tests/donnees"})
    for (const auto& entree : std::filesystem::directory_iterator(std::string(DOSSIER_SOURCES) + "/" + dossier)) {
      const std::string climat = entree.path();
      const std::string base = climat.substr(0, climat.size() - 4);
      if (entree.path().extension() != ".txt" || !std::filesystem::exists(base + ".sortie")) continue;
      SCOPED_TRACE(climat);
      const std::string avant = lit_fichier(climat);
      const std::string d = dossier_temporaire();
      const execution r = lance({{PROGRAMME, climat}, d});
      EXPECT_EQ(r.sortie, lit_fichier(base + ".sortie"));
      EXPECT_EQ(lit_fichier(d + "/Erreur.log"), lit_fichier(base + ".Erreur.log"));
      EXPECT_EQ(lit_fichier(climat), avant);
      EXPECT_EQ(r.statut, 0);
      ++fichiers;
    }
  EXPECT_GE(fichiers, 6);
}

}  // namespace
