// The real program started in every way a user or a desktop starts it, and
// in the situations around "Erreur.log" that could lose a user's data (the
// expected outputs are in donnees/demarrage.txt); and every climate file
// that has an expected report beside it, run under a pseudo-terminal: the
// console output and "Erreur.log" byte for byte, and the climate file
// unchanged. That is where the message texts are checked.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "aide.hpp"

namespace {

int occurrences(const std::string& texte, const std::string& motif) {
  int n = 0;
  for (std::size_t p = texte.find(motif); p != std::string::npos; p = texte.find(motif, p + 1)) ++n;
  return n;
}

bool existe(const std::string& chemin) { return access(chemin.c_str(), F_OK) == 0; }

const std::string CLIMAT_FAUTIF = reference_avec({{'R', 1, "latitude=45"}});

TEST(Demarrage, FormesSortiesAffichagesEtXterm) {
  // Where each form puts the program, relative to the folder "b" of a run,
  // and how it is called from b/travail, where it is started.
  const std::map<std::string, std::pair<std::string, std::string>> formes = {
      {"nu", {"bin", "testeur_climat"}},
      {"./x", {"travail", "./testeur_climat"}},
      {"dossier/x", {"travail/sous", "sous/testeur_climat"}},
      {"absolu", {"bin", "@B@/bin/testeur_climat"}}};
  for (const auto& [forme, place] : formes)
    for (const bool terminal : {true, false})
      for (const bool affichage : {true, false})
        for (const std::string xterm : {"remplacant", "absent", "defaillant"}) {
          SCOPED_TRACE(forme + (terminal ? " terminal " : " fichier ") + (affichage ? "affichage " : "") + xterm);
          const std::string b = dossier_temporaire();
          for (const char* d : {"/travail", "/travail/sous", "/bin", "/outils"}) mkdir((b + d).c_str(), 0755);
          ecrit_fichier(b + "/" + place.first + "/testeur_climat", lit_fichier(PROGRAMME), 0755);
          ecrit_fichier(b + "/travail/mon climat.txt", CLIMAT_FAUTIF);
          // xdg-open records what it was asked to show; the stand-in xterm
          // records its arguments and runs the window's command without a
          // display, as a window would.
          ecrit_fichier(b + "/outils/xdg-open", "#!/bin/sh\necho \"$1\" >>../xdg; while read -r l; do echo \"$l\"; done"
                                                " <\"$1\" >>../xdg\n", 0755);
          symlink("/bin/rm", (b + "/outils/rm").c_str());
          // A link named temp.tmp where the notice would go: never followed.
          ecrit_fichier(b + "/victime", "précieux");
          if (xterm == "defaillant") symlink("../victime", (b + "/travail/temp.tmp").c_str());
          if (xterm != "absent")
            ecrit_fichier(b + "/outils/xterm", "#!/bin/sh\nfor a; do printf '%s\\000' \"$a\"; c=$a; done >" + b +
                          "/args\nDISPLAY= /bin/sh -c \"$c\" >" + b + "/fenetre 2>&1 </dev/null\n",
                          xterm == "remplacant" ? 0755 : 0644);
          std::string appel = place.second;
          if (appel.starts_with("@B@")) appel.replace(0, 3, b);
          const execution r = lance({{appel, "mon climat.txt", "", "x y"}, b + "/travail", terminal,
                                     {"PATH=" + b + "/outils:" + b + "/bin", affichage ? "DISPLAY=:99" : "DISPLAY"}});
          const std::string fenetre = lit_fichier(b + "/fenetre");
          const bool relance = !terminal && affichage;
          EXPECT_EQ(r.statut, 0);
          EXPECT_EQ(occurrences(r.sortie + fenetre, "Test du fichier de climat en cours."), 1);
          EXPECT_EQ(lit_fichier(b + "/travail/Erreur.log"), latin1(attendu("demarrage.txt", "journal_fautif")));
          EXPECT_EQ(existe(b + "/args"), relance && xterm == "remplacant");
          EXPECT_EQ(existe(b + "/travail/temp.tmp"), xterm == "defaillant");
          EXPECT_EQ(lit_fichier(b + "/victime"), "précieux");
          if (!relance) {
            EXPECT_EQ(r.sortie, attendu("demarrage.txt", "dans_la_console"));
          } else if (xterm == "remplacant") {
            std::vector<std::string> args = decoupe(lit_fichier(b + "/args"), '\0');
            ASSERT_EQ(args.size(), 10u);
            EXPECT_EQ(args[9].rfind("cd \"" + b + "/travail\"; \"./", 0), 0u) << args[9];
            args.pop_back();
            EXPECT_EQ(args, decoupe(attendu("demarrage.txt", "arguments_xterm"), '\n'));
            EXPECT_EQ(r.sortie + fenetre, attendu("demarrage.txt", "dans_la_console"));
          } else {
            EXPECT_EQ(r.sortie, attendu("demarrage.txt", "xterm_" + xterm));
            const std::string xdg = lit_fichier(b + "/xdg");
            EXPECT_EQ(xdg.rfind(xterm == "absent" ? "temp.tmp\n" : "/tmp/aubrelis-avis-", 0), 0u);
            EXPECT_EQ(xdg.substr(xdg.find('\n') + 1), latin1(attendu("demarrage.txt", "avis_" + xterm)));
            EXPECT_FALSE(existe(xdg.substr(0, xdg.find('\n'))));  // the notice is removed after
          }
        }
}

TEST(Demarrage, JournalEtFichiersDeLUtilisateur) {
  const struct {
    const char* nom;
    std::function<int(const std::string&)> prepare;
    std::string climat = "climat.txt";
  } table[] = {
      {"lien", [](const std::string& d) { return symlink((d + "/victime").c_str(), (d + "/Erreur.log").c_str()); }},
      {"tube", [](const std::string& d) { return mkfifo((d + "/Erreur.log").c_str(), 0644); }},
      {"dossier", [](const std::string& d) { return mkdir((d + "/Erreur.log").c_str(), 0755); }},
      {"peripherique",
       [](const std::string& d) { return mknod((d + "/Erreur.log").c_str(), S_IFCHR | 0666, makedev(1, 3)); }},
      {"climat", [](const std::string&) { return 0; }, "Erreur.log"},
      {"climat", [](const std::string& d) { return link((d + "/climat.txt").c_str(), (d + "/Erreur.log").c_str()); }},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.nom);
    const std::string d = dossier_temporaire();
    ecrit_fichier(d + "/victime", "précieux");
    ecrit_fichier(d + "/" + c.climat, CLIMAT_FAUTIF);
    if (c.prepare(d) != 0) continue;  // a device needs root
    const execution r = lance({{PROGRAMME, c.climat}, d});
    EXPECT_EQ(r.sortie, attendu("demarrage.txt", std::string("journal_") + c.nom));
    EXPECT_EQ(r.statut, 1);
    EXPECT_TRUE(r.attendait);
    EXPECT_EQ(lit_fichier(d + "/victime") + lit_fichier(d + "/" + c.climat), "précieux" + CLIMAT_FAUTIF);
  }
}

TEST(Demarrage, DisquePlein) {
  // A tiny file system when the tests may mount one, a file size limit
  // otherwise: either way the log cannot hold the 2000 findings.
  std::vector<retouche> fautes;
  for (int i = 0; i < 2000; ++i) fautes.push_back({'I', 15, std::to_string(6 + i) + ":g1:T"});
  const std::string climat = dossier_temporaire() + "/climat.txt";
  ecrit_fichier(climat, reference_avec(fautes));
  const std::string d = dossier_temporaire();
  const bool monte = mount("tmpfs", d.c_str(), "tmpfs", 0, "size=16k") == 0;
  const std::string limite = monte ? "" : "trap '' XFSZ; ulimit -f 8; ";
  const execution r = lance({{"/bin/sh", "-c", limite + "exec \"$0\" \"$1\"", PROGRAMME, climat}, d});
  if (monte) umount(d.c_str());
  EXPECT_EQ(r.statut, 1);
  EXPECT_TRUE(r.sortie.ends_with(attendu("demarrage.txt", monte ? "journal_plein" : "journal_limite"))) << r.sortie;
}

TEST(Demarrage, CheminsEtOptions) {
  const std::string longue(120, 'd');
  const struct {
    const char* nom;
    std::vector<std::string> arguments;
    std::string reponse;  // typed at the prompt
    const char* section;
    int statut = 0;
    bool terminal = true;
    std::string montre = "";  // the path as the open-failure message shows it
  } table[] = {
      {"invite", {}, longue + "\\c\xC5\x93ur.txt\n", "invite"},
      {"invite vide", {}, "\n", "invite_vide", 1},
      {"fin de l'entrée", {}, "\x04", "invite_vide", 1},
      {"swxterm seul, sans affichage", {"swxterm"}, "\n", "invite_vide", 1},
      {"fichier absent", {"absent.txt"}, "", "ouverture_impossible", 1},
      {"aide", {"--help", "x"}, "", "aide", 0, false},
      {"version", {"--version"}, "", "version", 0, false},
      {"fichier nommé --help", {"./--help"}, "", "dans_la_console"},
      {"UTF-8, deux arguments", {longue + "/c\xC5\x93ur.txt", "autre.txt"}, "", "dans_la_console"},
      {"UTF-8 hors Latin-1", {"\xE2\x82\xAC.txt"}, "", "dans_la_console"},
      {"Latin-1", {"\xE9t\xE9.txt"}, "", "dans_la_console"},
      {"4095 octets", {"/" + std::string(4094, 'a')}, "", "ouverture_impossible", 1},
      {"4096 octets", {"/" + std::string(4095, 'a')}, "", "chemin_trop_long", 1},
      {"4095 octets convertis", {"/" + std::string(4092, 'a') + "\xE9"}, "", "ouverture_impossible",
       1, true, "/" + std::string(4092, 'a') + "\xC3\xA9"},
      {"4096 octets convertis", {"/" + std::string(4093, 'a') + "\xE9"}, "", "chemin_trop_long", 1},
      {"dossier", {"."}, "", "dossier_comme_chemin"},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.nom);
    const std::string d = dossier_temporaire();
    mkdir((d + "/" + longue).c_str(), 0755);
    for (const std::string& nom : std::vector<std::string>{"--help", longue + "/c\xC5\x93ur.txt", "\xE2\x82\xAC.txt", "\xC3\xA9t\xC3\xA9.txt"})
      ecrit_fichier(d + "/" + nom, CLIMAT_FAUTIF);
    ecrit_fichier(d + "/Erreur.log", "ancien");
    std::vector<std::string> arguments = {PROGRAMME};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const execution r = lance({arguments, d, c.terminal, {}, c.reponse});
    const std::string montre = !c.montre.empty() ? c.montre : c.arguments.empty() ? "" : c.arguments[0];
    EXPECT_EQ(r.sortie, attendu("demarrage.txt", c.section, montre)) << r.sortie.substr(0, 300);
    EXPECT_EQ(r.statut, c.statut);
    EXPECT_EQ(r.attendait, c.terminal);
    EXPECT_FALSE(r.xterm_appele);
    EXPECT_EQ(lit_fichier(d + "/Erreur.log") == "ancien", !c.terminal);
  }
}

TEST(Demarrage, EntreesHostiles) {
  std::string binaire;
  for (unsigned i = 0, graine = 12345; i < 65536; ++i) binaire += static_cast<char>((graine = graine * 1103515245u + 12345u) >> 24);
  std::string million = reference_avec({});
  for (int i = 0; i < 1'000'000; ++i) million += "remarque\n";
  for (const std::string& contenu : {binaire, million, std::string(10'000'000, 'x') + "\n"}) {
    const std::string d = dossier_temporaire();
    ecrit_fichier(d + "/climat.txt", contenu);
    const execution r = lance({{PROGRAMME, "climat.txt"}, d});
    EXPECT_EQ(r.statut, 0);
    EXPECT_EQ(lit_fichier(d + "/climat.txt"), contenu);
    for (const char* prefixe : {"- Erreur ligne ", "- Avertissement ligne "})
      EXPECT_EQ(occurrences(r.sortie, prefixe), occurrences(lit_fichier(d + "/Erreur.log"), prefixe));
  }
}

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
