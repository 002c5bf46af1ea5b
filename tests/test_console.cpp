// The console library at its limits: the conversion for the terminal, the
// in-place string operations, line input, colours, the frame and the shell
// command of the window.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "aide.hpp"
#include "console/services.hpp"
#include "console/texte.hpp"
#include "console/titre.hpp"

namespace {

TEST(Console, Conversion) {
  const std::pair<std::string, std::string> table[] = {
      {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"}, {"\xC3\xA9", "\xC3\xA9"},  {"\xC9\xDF", "\xC9\xDF"},
      {"\xE2\x82\xAC", "\xC3\xA2\x82\xAC"}, {"\xE0\xFF", "\xC3\xA0\xC3\xBF"}, {"\xC4\xE0", "\xC4\xC3\xA0"},
      {"\xC3\xE9", "\xC3\xE9"},  // 0xC3 opens a pair, whatever follows
      {"", ""}};
  for (const auto& [entree, attendu] : table) {
    char sortie[16];
    EXPECT_EQ(linux_acc(entree.c_str(), sortie, sizeof sortie), attendu) << entree;
    EXPECT_EQ(longueur_convertie(entree.c_str()), attendu.size()) << entree;
  }
  // A final 0xC3 ends at its NUL: nothing after it is read or written.
  char sortie[6] = {'#', '#', '#', '#', '#', '#'};
  linux_acc(std::string("a\xC3\0xy", 5).c_str(), sortie, sizeof sortie);
  EXPECT_EQ(std::string(sortie, 5), std::string("a\xC3\0##", 5));
  EXPECT_EQ(longueur_convertie(std::string("a\xC3\0xy", 5).c_str()), 2u);
  linux_acc("\xE9\xE9\xE9", sortie, 4);  // a pair that does not fit is left out
  EXPECT_STREQ(sortie, "\xC3\xA9");
  for (const char* oui : {"", "c\xC5\x93ur", "\xE2\x82\xAC", "\xC3\xA9t\xC3\xA9", "\xF0\x9F\x8C\xA7", "\xF4\x8F\xBF\xBF"})
    EXPECT_TRUE(utf8_valide(oui)) << oui;
  for (const char* non : {"\xE9t\xE9", "\xC0\xAF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xC3",
                          "\xF5\x80\x80\x80", "\x80", "\xF0\x8F\xBF\xBF", "\xC3\x7F"})
    EXPECT_FALSE(utf8_valide(non)) << non;
}

TEST(Console, Putsacc) {
  for (const auto& [entree, attendu] : std::vector<std::pair<std::string, std::string>>{
           {"", ""},
           {std::string(600, 'a') + "\xE9", std::string(600, 'a') + "\xC3\xA9"},  // long texts are not cut
           {std::string(510, 'a') + "\xC3\xA9z", std::string(510, 'a') + "\xC3\xA9z"}}) {  // nor a pair split
    testing::internal::CaptureStdout();
    putsacc(entree.c_str());
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), attendu);
  }
}

TEST(Console, CoupesEnPlace) {
  for (auto [texte, motif, attendu] : std::vector<std::tuple<std::string, const char*, const char*>>{
           {"a=b=c", "=", "b=c"}, {"abc", "=", "abc"}, {"x:", ":", ""}, {"12-->34", "-->", "34"}, {"abc", "", "abc"}}) {
    Efface_char(texte.data(), motif);
    EXPECT_STREQ(texte.c_str(), attendu) << motif;
  }
  for (auto [texte, attendu] : std::vector<std::pair<std::string, const char*>>{
           {"Aube\r\n", "Aube"}, {"abcdef\n", "abcdef"}, {"\n", ""}, {"a\nbc\n", "a"}, {"ab\ncdefgh", "ab\ncdefgh"}}) {
    Efface_n(texte.data());
    EXPECT_STREQ(texte.c_str(), attendu);
  }
  for (const auto& [texte, motif, attendu] : std::vector<std::tuple<const char*, const char*, std::vector<int>>>{
           {"a/b/c", "/", {1, 3}}, {"abc", "/", {}}, {"aaa", "aa", {0, 1}}, {"abc", "", {}}}) {
    int positions[TAILLE_INDEX];
    EXPECT_EQ(std::vector<int>(positions, positions + index_ch(texte, motif, positions)), attendu) << texte;
  }
  int positions[TAILLE_INDEX];
  EXPECT_EQ(index_ch(std::string(50, '/').c_str(), "/", positions), 50);
  EXPECT_EXIT((std::freopen("/dev/null", "r", stdin), index_ch(std::string(51, '/').c_str(), "/", positions)),
              testing::ExitedWithCode(1), "");
}

TEST(Console, Getsdyn) {
  const std::string longue(350, 'x');
  for (auto [entree, arret, attendu] : std::vector<std::tuple<std::string, int, std::string>>{
           {"chemin.txt\nreste", 0, "chemin.txt"}, {"\n", 0, ""}, {longue + "\n", 0, longue},
           {"sans fin de ligne", 0, "sans fin de ligne"}, {"a;b", ';', "a"}, {"ab\n;c", ';', "ab"}}) {
    std::FILE* f = fmemopen(entree.data(), entree.size(), "r");
    char* texte = getsdyn(f, arret);
    EXPECT_EQ(texte, attendu);
    std::free(texte);
    std::fclose(f);
  }
}

TEST(Console, CouleursEtCadre) {
  for (const auto& [code, attendu] : std::vector<std::pair<const char*, std::string>>{
           {"F8", "white/grey50"}, {"0a", "black/green"}, {"0A", "black/green"}, {"9f", "blue1/white"},
           {"5D", "DarkMagenta/magenta1"}, {"navy:white", "navy/white"}, {"Xz", "white/black"},
           {"orange", "orange/black"}, {":", "white/black"}, {"a:b:c", "a/b:c"},
           {":xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
            "white/" + std::string(99, 'x')}}) {
    const couleurs_fenetre c = couleurs_xterm(code);
    EXPECT_EQ(c.fond + "/" + c.texte, attendu) << code;
  }
  for (const auto& [longueur, gauche, droite] :
       std::vector<std::tuple<std::size_t, std::size_t, std::size_t>>{{76, 1, 1}, {0, 39, 39}, {90, 1, 1}, {3, 38, 37}}) {
    const std::string x(std::min<std::size_t>(longueur, 76), 'x');
    EXPECT_EQ(decoupe(cadre_titre(std::string(longueur, 'x').c_str()), '\n').at(2),
              "|" + std::string(gauche, ' ') + x + std::string(droite, ' ') + "|");
  }
}

TEST(Console, CheminDuProgramme) {
  for (const auto& [programme, courant, executable, nom] : std::vector<std::tuple<const char*, const char*, const char*, const char*>>{
           {"./T", "/home/u", "/home/u/T", "/T"},
           {"build/T", "/home/u", "/home/u/build/T", "/build/T"},
           {"/opt/outils/T", "/home/u", "/opt/outils/T", "/../../opt/outils/T"},
           {"T", "/home/u", "/usr/bin/T", "/../../usr/bin/T"},
           {"T", "/", "/usr/bin/T", "/usr/bin/T"},
           {"T", "/home/ux", "/home/u/T", "/../../home/u/T"},
           {"/opt/T", "/home/u", "", "/../../opt/T"},  // without its real file: the path as given
           {"T", "/home/u", "", "/T"}}) {
    const chemin_programme r = decoupe_chemin_programme(programme, courant, executable);
    EXPECT_EQ(r.repertoire + " " + r.nom, std::string(courant) + " " + nom) << programme;
  }
}

TEST(Console, CommandeDeLaFenetre) {
  EXPECT_EQ(commande_relance("/opt/outils", "/Testeur", {"/home/climats/montagne.txt", "a-b_c,d+e=f:g@h%Z9z.txt"}),
            "cd \"/opt/outils\"; \"./Testeur\" /home/climats/montagne.txt a-b_c,d+e=f:g@h%Z9z.txt");
  EXPECT_EQ(commande_relance("/d", "/T", {}), "cd \"/d\"; \"./T\" ");
  // Run by a real shell, every argument reaches the program whole and the
  // shell runs nothing of its own; a stray command would create "pirate".
  const std::vector<std::string_view> arguments = {"mon climat.txt", "", "x;touch pirate", "$(touch pirate)",
                                                    "`touch pirate`", "'\"\\*?[~#{}!<>|&", "a\nb", "\xE9t\xE9", "~"};
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
