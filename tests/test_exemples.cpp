// The shipped examples, checked by the real program: the whole console output
// and "Erreur.log", byte for byte.
#include <gtest/gtest.h>

#include "aide_processus.hpp"
#include "aide_programme.hpp"

namespace {

const std::string EXEMPLES = std::string(DOSSIER_SOURCES) + "/exemples/";

TEST(Exemples, FichierCompletSansConstat) {
  const std::string dossier = dossier_temporaire();
  const std::string avant = lit_fichier(EXEMPLES + "climat.txt");
  const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN, EXEMPLES + "climat.txt"}, dossier}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + EN_COURS + SANS_CONSTAT);
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(lit_fichier(dossier + "/Erreur.log"), "");
  EXPECT_EQ(lit_fichier(EXEMPLES + "climat.txt"), avant) << "the climate file is never changed";
}

TEST(Exemples, FichierAvecErreurs) {
  const std::string dossier = dossier_temporaire();
  const execution r =
      lance_sous_terminal({{TESTEUR_CLIMAT_BIN, EXEMPLES + "climat_avec_erreurs.txt"}, dossier}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, lit_fichier(EXEMPLES + "climat_avec_erreurs.sortie"));
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(lit_fichier(dossier + "/Erreur.log"), lit_fichier(EXEMPLES + "climat_avec_erreurs.Erreur.log"));
}

TEST(Exemples, CompteursEtJournalConcordent) {
  // Every prefix in the log is one count of its kind.
  const resultat_verification r = verifie_octets(lit_fichier(EXEMPLES + "climat_avec_erreurs.txt"));
  EXPECT_EQ(r.erreurs, occurrences(r.journal, "- Erreur ligne "));
  EXPECT_EQ(r.avertissements, occurrences(r.journal, "- Avertissement ligne "));
  EXPECT_EQ(r.erreurs, 33);
  EXPECT_EQ(r.avertissements, 11);
}

}  // namespace
