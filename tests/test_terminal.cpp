// The real program under a pseudo-terminal: no relaunch, the title frame, the
// prompt, the totals and the pause.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "aide_processus.hpp"
#include "aide_programme.hpp"

namespace {

TEST(Terminal, CheminALInvite) {
  const std::string dossier = dossier_temporaire();
  ecrit_fichier(dossier + "/Erreur.log", "ancien contenu");
  const execution r =
      lance_sous_terminal({{TESTEUR_CLIMAT_BIN}, dossier}, {{"?: ", REFERENCE + "\n"}, {"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + INVITE + EN_COURS + SANS_CONSTAT);
  EXPECT_EQ(r.statut, 0);
  ASSERT_EQ(r.attendait.size(), 2u);
  EXPECT_TRUE(r.attendait[0]) << "the prompt waits for the path";
  EXPECT_TRUE(r.attendait[1]) << "the pause waits for a key";
  EXPECT_EQ(lit_fichier(dossier + "/Erreur.log"), "");
}

TEST(Terminal, CheminEnArgumentSansInvite) {
  const std::string dossier = dossier_temporaire();
  const execution r =
      lance_sous_terminal({{TESTEUR_CLIMAT_BIN, REFERENCE, "/autre/ignore.txt"}, dossier}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + EN_COURS + SANS_CONSTAT);
  EXPECT_EQ(r.statut, 0);
}

TEST(Terminal, FichierAbsent) {
  const std::string dossier = dossier_temporaire();
  ecrit_fichier(dossier + "/Erreur.log", "ancien contenu");
  const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN, "/nulle/part.txt"}, dossier}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + "\n!!! Une erreur est survenue durant l'ouverture du fichier /nulle/part.txt, en mode r...");
  EXPECT_EQ(r.statut, 1);
  EXPECT_EQ(lit_fichier(dossier + "/Erreur.log"), "") << "emptied before the climate file is opened";
}

TEST(Terminal, ReponseVide) {
  const std::string dossier = dossier_temporaire();
  const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN}, dossier}, {{"?: ", "\n"}, {"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + INVITE + "\n!!! Une erreur est survenue durant l'ouverture du fichier , en mode r...");
  EXPECT_EQ(r.statut, 1);
  EXPECT_EQ(lit_fichier(dossier + "/Erreur.log"), "");
}

TEST(Terminal, FinDeLEntreeALInvite) {
  // Ctrl-D at the prompt: the answer ends there instead of waiting on.
  const std::string dossier = dossier_temporaire();
  const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN}, dossier}, {{"?: ", "\x04"}, {"...", "\n"}});
  EXPECT_EQ(r.statut, 1);
}

TEST(Terminal, BarresInverseesEtReponseLongue) {
  const std::string dossier = dossier_temporaire();
  const std::string sous_dossier = std::string(120, 'd');
  mkdir((dossier + "/" + sous_dossier).c_str(), 0755);
  ecrit_fichier(dossier + "/" + sous_dossier + "/climat.txt", lit_fichier(REFERENCE));
  const std::string reponse = sous_dossier + "\\climat.txt";
  const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN}, dossier}, {{"?: ", reponse + "\n"}, {"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + INVITE + EN_COURS + SANS_CONSTAT);
  EXPECT_EQ(r.statut, 0);
}

TEST(Terminal, TotauxAuSingulierCommeAuPluriel) {
  const struct {
    const char* nom;
    std::vector<retouche> retouches;
    std::string attendu;
  } cas[] = {
      {"une erreur",
       {R(1, "latitude=45")},
       "- Erreur ligne 1. La première ligne doit commencer impérativement par Latitude=\n"
       "\n!!! Le fichier de climat contient 1 erreurs\nLe fichier de climat ne contient aucun avertissement.\n..."},
      {"deux avertissements",
       {R(1, "Latitude=0"), R(6, "F:0")},
       "- Avertissement ligne 1. La latitude est nulle, vérifiez que ce n'est pas une erreur\n"
       "- Avertissement ligne 6. Le nombre de fois avant changement de météo forcé est nul, vérifiez que ce n'est pas une erreur\n"
       "\nLe fichier de climat ne contient aucune erreur.\n! Le fichier de climat contient 2 avertissements\n..."},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(c.nom);
    const std::string dossier = dossier_temporaire();
    ecrit_fichier(dossier + "/climat.txt", vers_latin1(reference_avec(c.retouches)));
    const execution r = lance_sous_terminal({{TESTEUR_CLIMAT_BIN, "climat.txt"}, dossier}, {{"...", "\n"}});
    EXPECT_EQ(r.sortie, CADRE + EN_COURS + c.attendu);
    EXPECT_EQ(r.statut, 0);
    // The log holds the same findings, in Latin-1.
    const std::string constats = c.attendu.substr(0, c.attendu.find("\n\n") + 1);
    EXPECT_EQ(lit_fichier(dossier + "/Erreur.log"), vers_latin1(constats));
  }
}

}  // namespace
