#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "aide_processus.hpp"
#include "aide_verification.hpp"
#include "console/titre.hpp"

namespace {

TEST(Couleurs, TableEtFormeNommee) {
  const struct {
    const char *code, *fond, *texte;
  } cas[] = {
      {"F8", "white", "grey50"},    {"0a", "black", "green"},     {"0A", "black", "green"},
      {"9f", "blue1", "white"},     {"5D", "DarkMagenta", "magenta1"},
      {"navy:white", "navy", "white"},
      {"Xz", "white", "black"},     // not hexadecimal: xterm's own colours
      {"orange", "orange", "black"},  // no ":": the code names the background
      {":", "white", "black"},      {"a:b:c", "a", "b:c"},
  };
  for (const auto& c : cas) {
    const couleurs_fenetre r = couleurs_xterm(c.code);
    EXPECT_EQ(r.fond, c.fond) << c.code;
    EXPECT_EQ(r.texte, c.texte) << c.code;
  }
}

TEST(CheminProgramme, RepertoireEtNom) {
  const struct {
    const char *programme, *courant, *executable, *repertoire, *nom;
  } cas[] = {
      {"/opt/outils/Testeur", "/home/u", "/opt/outils/Testeur", "/opt/outils", "/Testeur"},
      {"./Testeur", "/home/u", "/home/u/Testeur", "/home/u", "/Testeur"},
      // Found through PATH: started again where it was started.
      {"Testeur", "/home/u", "/usr/bin/Testeur", "/home/u", "/../../usr/bin/Testeur"},
      {"Testeur", "/", "/usr/bin/Testeur", "/", "/usr/bin/Testeur"},
      {"Testeur", "/home/u", "", "/home/u", "/Testeur"},
  };
  for (const auto& c : cas) {
    const chemin_programme r = decoupe_chemin_programme(c.programme, c.courant, c.executable);
    EXPECT_EQ(r.repertoire, c.repertoire) << c.programme;
    EXPECT_EQ(r.nom, c.nom) << c.programme;
  }
}

TEST(CommandeRelance, CheminOrdinaireInchange) {
  EXPECT_EQ(commande_relance("/opt/outils", "/Testeur", "/home/climats/montagne.txt"),
            "cd \"/opt/outils\"; \"./Testeur\" /home/climats/montagne.txt");
  EXPECT_EQ(commande_relance("/opt/outils", "/Testeur", ""), "cd \"/opt/outils\"; \"./Testeur\" ");
  EXPECT_EQ(commande_relance("/d", "/T", "/home/u/a.txt x"), "cd \"/d\"; \"./T\" /home/u/a.txt x");
  EXPECT_EQ(commande_relance("/d", "/T", "Cli_mat-1.0/\xE9t\xE9.txt"), "cd \"/d\"; \"./T\" Cli_mat-1.0/\xE9t\xE9.txt");
}

// Runs the command in a real shell, with a program that writes the arguments
// it receives, each ended by a NUL; a stray command would create "pirate".
std::vector<std::string> arguments_recus(const std::string& repertoire_nom, const std::string& arguments) {
  const std::string base = dossier_temporaire();
  const std::string repertoire = base + "/" + repertoire_nom;
  mkdir(repertoire.c_str(), 0755);
  ecrit_fichier(repertoire + "/prog", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\000' \"$a\"; done > \"" + base +
                                          "/recus\"\n");
  chmod((repertoire + "/prog").c_str(), 0755);
  const std::string commande = commande_relance(repertoire, "/prog", arguments);
  const execution r = lance_sans_terminal({{"/bin/sh", "-c", commande}, base});
  EXPECT_EQ(r.statut, 0) << commande;
  EXPECT_NE(access((base + "/pirate").c_str(), F_OK), 0) << commande;
  return decoupe(lit_fichier(base + "/recus"), '\0');
}

TEST(CommandeRelance, RienNEstExecuteParLeShell) {
  const struct {
    std::string arguments;
    std::vector<std::string> attendus;
  } cas[] = {
      {"/tmp/a.txt", {"/tmp/a.txt"}},
      {"a b", {"a", "b"}},  // a blank still splits
      {"a;touch pirate", {"a;touch", "pirate"}},
      {"$(touch pirate)", {"$(touch", "pirate)"}},
      {"`touch pirate`", {"`touch", "pirate`"}},
      {"x|touch pirate&", {"x|touch", "pirate&"}},
      {"'\"\\*?[~#{}!<>", {"'\"\\*?[~#{}!<>"}},
      {"a\ntouch pirate", {"a\ntouch", "pirate"}},
  };
  for (const auto& c : cas) EXPECT_EQ(arguments_recus("prog dir", c.arguments), c.attendus) << c.arguments;
}

TEST(CommandeRelance, RepertoireAuxCaracteresDuShell) {
  EXPECT_EQ(arguments_recus("a\"$(touch pirate)`touch pirate`\\", "x"), std::vector<std::string>{"x"});
}

std::vector<std::string> lignes(const std::string& texte) {
  EXPECT_EQ(texte.back(), '\n') << "every line ends with a line feed";
  return decoupe(texte, '\n');
}

TEST(Cadre, OctetPourOctet) {
  const auto l = lignes(cadre_titre("Programme de test de fichier de climat"));
  ASSERT_EQ(l.size(), 6u);
  EXPECT_EQ(l[0], "</" + std::string(76, '-') + "\\>");
  EXPECT_EQ(l[1], "/" + std::string(78, ' ') + "\\");
  EXPECT_EQ(l[2], "|" + std::string(20, ' ') + "Programme de test de fichier de climat" + std::string(20, ' ') + "|");
  EXPECT_EQ(l[3], "\\" + std::string(78, ' ') + "/");
  EXPECT_EQ(l[4], "<\\" + std::string(76, '-') + "/>");
  EXPECT_EQ(l[5], "< q permet de quitter le programme. >");
}

TEST(Cadre, LargeurDeLaLigneDuTitre) {
  const struct {
    std::string entete;
    std::size_t gauche, droite;
  } cas[] = {
      {std::string(76, 'x'), 1, 1},
      {"", 39, 39},
      {std::string(90, 'x'), 1, 1},  // cut to 76 so that the frame stays whole
  };
  for (const auto& c : cas) {
    const auto l = lignes(cadre_titre(c.entete.c_str()));
    const std::string milieu = std::string(std::min<std::size_t>(c.entete.size(), 76), 'x');
    EXPECT_EQ(l[2], "|" + std::string(c.gauche, ' ') + milieu + std::string(c.droite, ' ') + "|");
    EXPECT_EQ(l[2].size(), 80u);
  }
  // An accented heading is converted but laid out on its Latin-1 length.
  EXPECT_EQ(lignes(cadre_titre("\xE9t\xE9"))[2], "|" + std::string(38, ' ') + "\xC3\xA9t\xC3\xA9" + std::string(37, ' ') + "|");
}

}  // namespace
