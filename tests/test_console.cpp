// The console library at its limits: the conversion for the terminal, the
// in-place string operations, line input, colours, the frame and the shell
// command of the relaunch.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "aide.hpp"
#include "console/services.hpp"
#include "console/texte.hpp"
#include "console/titre.hpp"

namespace {

TEST(Console, Conversion) {
  const struct {
    std::string entree, attendu;
  } table[] = {
      {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},    {"\xC3\xA9", "\xC3\xA9"},  // already converted: kept
      {"\xC9\xDF", "\xC9\xDF"},              {"\xE2\x82\xAC", "\xC3\xA2\x82\xAC"},
      {"\xE0\xFF", "\xC3\xA0\xC3\xBF"},      {"\xC4\xE0", "\xC4\xC3\xA0"},  // only 0xC3 opens a pair
      {"\xC3\xE9", "\xC3\xE9"},              {"", ""},
  };
  for (const auto& c : table) {
    char sortie[16];
    EXPECT_EQ(linux_acc(c.entree.c_str(), sortie, sizeof sortie), c.attendu) << c.entree;
    EXPECT_EQ(longueur_convertie(c.entree.c_str()), c.attendu.size()) << c.entree;
  }
  // A final 0xC3 ends at its NUL: nothing after it is read or written.
  char sortie[6] = {'#', '#', '#', '#', '#', '#'};
  linux_acc(std::string("a\xC3\0xy", 5).c_str(), sortie, sizeof sortie);
  EXPECT_EQ(std::string(sortie, 5), std::string("a\xC3\0##", 5));
  EXPECT_EQ(longueur_convertie(std::string("a\xC3\0xy", 5).c_str()), 2u);
  linux_acc("\xE9\xE9\xE9", sortie, 4);  // a pair that does not fit is left out
  EXPECT_STREQ(sortie, "\xC3\xA9");
}

TEST(Console, Utf8Valide) {
  for (const char* oui : {"", "abc", "c\xC5\x93ur", "\xE2\x82\xAC", "\xC3\xA9t\xC3\xA9", "\xF0\x9F\x8C\xA7"})
    EXPECT_TRUE(utf8_valide(oui)) << oui;
  for (const char* non : {"\xE9t\xE9", "\xC0\xAF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82",
                          "\xC3", "\xF5\x80\x80\x80", "\x80"})
    EXPECT_FALSE(utf8_valide(non)) << non;
}

TEST(Console, Putsacc) {
  const struct {
    std::string entree, attendu;
  } table[] = {
      {"", ""},
      {std::string(600, 'a') + "\xE9", std::string(600, 'a') + "\xC3\xA9"},  // long texts are not cut
      {std::string(510, 'a') + "\xC3\xA9z", std::string(510, 'a') + "\xC3\xA9z"},  // nor a pair split
  };
  for (const auto& c : table) {
    testing::internal::CaptureStdout();
    putsacc(c.entree.c_str());
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.attendu);
  }
}

TEST(Console, CoupesEnPlace) {
  const struct {
    std::string texte, motif, attendu;
  } efface[] = {{"a=b=c", "=", "b=c"}, {"abc", "=", "abc"}, {"x:", ":", ""}, {"12-->34", "-->", "34"}, {"abc", "", "abc"}};
  for (auto c : efface) {
    Efface_char(c.texte.data(), c.motif.c_str());
    EXPECT_STREQ(c.texte.c_str(), c.attendu.c_str()) << c.motif;
  }
  const struct {
    std::string texte, attendu;
  } fin[] = {{"Aube\r\n", "Aube"}, {"abcdef\n", "abcdef"}, {"\n", ""}, {"a\nbc\n", "a"}, {"ab\ncdefgh", "ab\ncdefgh"}};
  for (auto c : fin) {
    Efface_n(c.texte.data());
    EXPECT_STREQ(c.texte.c_str(), c.attendu.c_str());
  }
}

TEST(Console, IndexCh) {
  const struct {
    const char *texte, *motif;
    std::vector<int> attendu;
  } table[] = {{"a/b/c", "/", {1, 3}}, {"abc", "/", {}}, {"aaa", "aa", {0, 1}}, {"abc", "", {}}};
  for (const auto& c : table) {
    int positions[TAILLE_INDEX];
    const int n = index_ch(c.texte, c.motif, positions);
    EXPECT_EQ(std::vector<int>(positions, positions + n), c.attendu) << c.texte;
  }
  int positions[TAILLE_INDEX];
  EXPECT_EQ(index_ch(std::string(50, '/').c_str(), "/", positions), 50);
  EXPECT_EXIT((std::freopen("/dev/null", "r", stdin), index_ch(std::string(51, '/').c_str(), "/", positions)),
              testing::ExitedWithCode(1), "");
}

TEST(Console, Getsdyn) {
  const std::string longue(350, 'x');
  const struct {
    std::string entree;
    int arret;
    std::string attendu;
  } table[] = {
      {"chemin.txt\nreste", 0, "chemin.txt"}, {"\n", 0, ""},  {longue + "\n", 0, longue},
      {"sans fin de ligne", 0, "sans fin de ligne"}, {"a;b", ';', "a"}, {"ab\n;c", ';', "ab"},
  };
  for (const auto& c : table) {
    std::FILE* f = fmemopen(const_cast<char*>(c.entree.data()), c.entree.size(), "r");
    char* texte = getsdyn(f, c.arret);
    EXPECT_EQ(texte, c.attendu);
    std::free(texte);
    std::fclose(f);
  }
}

TEST(Console, Couleurs) {
  const struct {
    const char *code, *fond, *texte;
  } table[] = {
      {"F8", "white", "grey50"}, {"0a", "black", "green"}, {"0A", "black", "green"}, {"9f", "blue1", "white"},
      {"5D", "DarkMagenta", "magenta1"}, {"navy:white", "navy", "white"}, {"Xz", "white", "black"},
      {"orange", "orange", "black"}, {":", "white", "black"}, {"a:b:c", "a", "b:c"},
  };
  for (const auto& c : table) {
    const couleurs_fenetre r = couleurs_xterm(c.code);
    EXPECT_EQ(r.fond + "/" + r.texte, std::string(c.fond) + "/" + c.texte) << c.code;
  }
}

TEST(Console, LigneDuTitre) {
  const struct {
    std::string entete;
    std::size_t gauche, droite;
  } table[] = {{std::string(76, 'x'), 1, 1}, {"", 39, 39}, {std::string(90, 'x'), 1, 1}, {"xxx", 38, 37}};
  for (const auto& c : table) {
    const std::string ligne = decoupe(cadre_titre(c.entete.c_str()), '\n').at(2);
    const std::string milieu(std::min<std::size_t>(c.entete.size(), 76), 'x');
    EXPECT_EQ(ligne, "|" + std::string(c.gauche, ' ') + milieu + std::string(c.droite, ' ') + "|");
  }
}

TEST(Console, CheminDuProgramme) {
  const struct {
    const char *programme, *courant, *executable, *nom;
  } table[] = {
      {"./Testeur", "/home/u", "/home/u/Testeur", "/Testeur"},
      {"build/Testeur", "/home/u", "/home/u/build/Testeur", "/build/Testeur"},
      {"/opt/outils/Testeur", "/home/u", "/opt/outils/Testeur", "/../../opt/outils/Testeur"},
      {"Testeur", "/home/u", "/usr/bin/Testeur", "/../../usr/bin/Testeur"},
      {"Testeur", "/", "/usr/bin/Testeur", "/usr/bin/Testeur"},
      {"Testeur", "/home/ux", "/home/u/Testeur", "/../../home/u/Testeur"},
      {"/opt/Testeur", "/home/u", "", "/../../opt/Testeur"},  // without its real file: the path as given
      {"Testeur", "/home/u", "", "/Testeur"},
  };
  for (const auto& c : table) {
    const chemin_programme r = decoupe_chemin_programme(c.programme, c.courant, c.executable);
    EXPECT_EQ(r.repertoire + " " + r.nom, std::string(c.courant) + " " + c.nom) << c.programme;
  }
}

TEST(Console, CommandeDeLaFenetre) {
  EXPECT_EQ(commande_relance("/opt/outils", "/Testeur", {"/home/climats/montagne.txt"}),
            "cd \"/opt/outils\"; \"./Testeur\" /home/climats/montagne.txt");
  EXPECT_EQ(commande_relance("/d", "/T", {}), "cd \"/d\"; \"./T\" ");
  // Run by a real shell, every argument reaches the program whole and the
  // shell runs nothing of its own; a stray command would create "pirate".
  const std::vector<std::string_view> arguments = {
      "a.txt",  "mon climat.txt", "", "x;touch pirate", "$(touch pirate)", "`touch pirate`", "'\"\\*?[~#{}!<>|&",
      "a\nb",   "\xE9t\xE9.txt", "~"};
  const std::string base = dossier_temporaire();
  const std::string dossier = base + "/a\"$(touch pirate)`touch pirate`\\ b";
  mkdir(dossier.c_str(), 0755);
  ecrit_fichier(dossier + "/prog", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\000' \"$a\"; done > ../recus\n", 0755);
  lance({{"/bin/sh", "-c", commande_relance(dossier, "/prog", arguments)}, base, false});
  std::string attendus;
  for (std::string_view a : arguments) attendus.append(a).push_back('\0');
  EXPECT_EQ(lit_fichier(base + "/recus"), attendus);
  EXPECT_NE(access((base + "/pirate").c_str(), F_OK), 0);
}

}  // namespace
