// The real program started in every way a user or a desktop starts it, and
// in the situations around "Erreur.log" that could lose a user's data. The
// expected outputs are in donnees/demarrage.txt.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <functional>

#include "aide.hpp"

namespace {

int occurrences(const std::string& texte, const std::string& motif) {
  int n = 0;
  for (std::size_t p = texte.find(motif); p != std::string::npos; p = texte.find(motif, p + 1)) ++n;
  return n;
}

const std::string CLIMAT_FAUTIF = reference_avec({{'R', 1, "latitude=45"}});

// A stand-in xterm that records its arguments and runs the window's command
// without a display, as a window would, into "fenetre".
std::string remplacant_xterm(const std::string& base) {
  return "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\000' \"$a\"; done > " + base + "/args\nfor a in \"$@\"; do "
         "c=$a; done\nDISPLAY= /bin/sh -c \"$c\" > " + base + "/fenetre 2>&1 </dev/null\n";
}

TEST(Demarrage, FormesSortiesAffichagesEtXterm) {
  for (const std::string forme : {"nu", "./", "dossier/", "absolu"})
    for (const bool terminal : {true, false})
      for (const bool affichage : {true, false})
        for (const std::string xterm : {"remplaçant", "absent", "défaillant"}) {
          SCOPED_TRACE(forme + (terminal ? " terminal " : " fichier ") + (affichage ? "affichage " : "") + xterm);
          const std::string base = dossier_temporaire();
          const std::string travail = base + "/travail";
          for (const char* d : {"/travail", "/travail/sous", "/bin", "/outils"}) mkdir((base + d).c_str(), 0755);
          const std::map<std::string, std::string> place = {{"nu", "bin/testeur_climat"},
                                                            {"./", "travail/testeur_climat"},
                                                            {"dossier/", "travail/sous/testeur_climat"},
                                                            {"absolu", "bin/testeur_climat"}};
          const std::map<std::string, std::string> appel = {
              {"nu", "testeur_climat"}, {"./", "./testeur_climat"}, {"dossier/", "sous/testeur_climat"},
              {"absolu", base + "/bin/testeur_climat"}};
          ecrit_fichier(base + "/" + place.at(forme), lit_fichier(PROGRAMME), 0755);
          ecrit_fichier(travail + "/mon climat.txt", CLIMAT_FAUTIF);
          ecrit_fichier(base + "/outils/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> " + base + "/xdg\n"
                                                   "while read -r l; do printf '%s\\n' \"$l\"; done < \"$1\" >> " +
                                                       base + "/xdg\n", 0755);
          symlink("/bin/rm", (base + "/outils/rm").c_str());
          if (xterm != "absent")
            ecrit_fichier(base + "/outils/xterm", remplacant_xterm(base), xterm == "remplaçant" ? 0755 : 0644);
          const execution r = lance({{appel.at(forme), "mon climat.txt", "", "x y"},
                                     travail,
                                     terminal,
                                     {"PATH=" + base + "/outils:" + base + "/bin", affichage ? "DISPLAY=:99" : "DISPLAY"}});
          const std::string fenetre = lit_fichier(base + "/fenetre");
          EXPECT_EQ(r.statut, 0);
          EXPECT_EQ(occurrences(r.sortie + fenetre, "Test du fichier de climat en cours."), 1);
          EXPECT_EQ(lit_fichier(travail + "/Erreur.log"), latin1(attendu("demarrage.txt", "journal_fautif")));
          const bool relance = !terminal && affichage;
          if (!relance || xterm == "absent") {
            EXPECT_NE(access((base + "/args").c_str(), F_OK), 0);
          }
          if (!relance) {
            EXPECT_EQ(r.sortie, attendu("demarrage.txt", "dans_la_console"));
          } else if (xterm == "remplaçant") {
            const std::vector<std::string> args = decoupe(lit_fichier(base + "/args"), '\0');
            ASSERT_EQ(args.size(), 10u);
            EXPECT_EQ(std::vector<std::string>(args.begin(), args.end() - 1),
                      (std::vector<std::string>{"-sb", "-rightbar", "-T", "Testeur de fichier de climat", "-bg",
                                                "white", "-fg", "grey50", "-e"}));
            EXPECT_EQ(args[9].rfind("cd \"" + travail + "\"; \"./", 0), 0u) << args[9];
            EXPECT_EQ(r.sortie, "");
            EXPECT_EQ(fenetre, attendu("demarrage.txt", "dans_la_console"));
          } else {
            EXPECT_EQ(r.sortie, attendu("demarrage.txt", "xterm_" + std::string(xterm == "absent" ? "absent" : "defaillant")));
            EXPECT_EQ(lit_fichier(base + "/xdg"),
                      "temp.tmp\n" + latin1(attendu("demarrage.txt", "avis_" + std::string(xterm == "absent" ? "absent" : "defaillant"))));
            EXPECT_NE(access((travail + "/temp.tmp").c_str(), F_OK), 0);
          }
        }
}

TEST(Demarrage, UnTempTmpExistantNEstJamaisTouche) {
  const std::string base = dossier_temporaire();
  mkdir((base + "/outils").c_str(), 0755);
  ecrit_fichier(base + "/outils/xdg-open", "#!/bin/sh\n:\n", 0755);
  ecrit_fichier(base + "/climat.txt", CLIMAT_FAUTIF);
  ecrit_fichier(base + "/victime", "précieux");
  symlink("victime", (base + "/temp.tmp").c_str());
  const execution r = lance({{PROGRAMME, "climat.txt"}, base, false, {"PATH=" + base + "/outils", "DISPLAY=:99"}});
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(lit_fichier(base + "/victime"), "précieux");
  char cible[64] = {};
  EXPECT_GT(readlink((base + "/temp.tmp").c_str(), cible, sizeof cible), 0) << "the link is left in place";
}

TEST(Demarrage, JournalEtFichiersDeLUtilisateur) {
  const struct {
    const char* nom;
    std::function<void(const std::string&)> prepare;
    std::string climat;
    std::string protege;  // a file that must come out byte for byte the same
  } table[] = {
      {"lien", [](const std::string& d) { symlink((d + "/victime").c_str(), (d + "/Erreur.log").c_str()); },
       "climat.txt", "victime"},
      {"tube", [](const std::string& d) { mkfifo((d + "/Erreur.log").c_str(), 0644); }, "climat.txt", ""},
      {"dossier", [](const std::string& d) { mkdir((d + "/Erreur.log").c_str(), 0755); }, "climat.txt", ""},
      {"peripherique", [](const std::string& d) { mknod((d + "/Erreur.log").c_str(), S_IFCHR | 0666, makedev(1, 3)); },
       "climat.txt", ""},
      {"climat", [](const std::string&) {}, "Erreur.log", "Erreur.log"},
      {"climat", [](const std::string& d) { link((d + "/climat.txt").c_str(), (d + "/Erreur.log").c_str()); },
       "climat.txt", "climat.txt"},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.nom);
    const std::string d = dossier_temporaire();
    ecrit_fichier(d + "/victime", "précieux");
    ecrit_fichier(d + "/" + c.climat, CLIMAT_FAUTIF);
    c.prepare(d);
    struct stat etat {};
    if (std::string(c.nom) == "peripherique" && lstat((d + "/Erreur.log").c_str(), &etat) != 0) continue;  // not root
    const std::string avant = c.protege.empty() ? "" : lit_fichier(d + "/" + c.protege);
    const execution r = lance({{PROGRAMME, c.climat}, d});
    EXPECT_EQ(r.sortie, attendu("demarrage.txt", std::string("journal_") + c.nom));
    EXPECT_EQ(r.statut, 1);
    EXPECT_TRUE(r.attendait);
    if (!c.protege.empty()) {
      EXPECT_EQ(lit_fichier(d + "/" + c.protege), avant);
    }
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
  const execution r = lance({{PROGRAMME, climat}, d, true, {}, {}, monte ? 0 : 8192});
  if (monte) umount(d.c_str());
  EXPECT_EQ(r.statut, 1);
  const std::string fin = attendu("demarrage.txt", monte ? "journal_plein" : "journal_limite");
  EXPECT_EQ(r.sortie.substr(r.sortie.size() - std::min(r.sortie.size(), fin.size())), fin);
}

TEST(Demarrage, CheminsEtOptions) {
  const std::string longue(120, 'd');
  const struct {
    const char* nom;
    std::vector<std::string> arguments;
    std::string reponse;  // typed at the prompt, when there is one
    const char* section;
    int statut;
    bool terminal = true;
    std::string montre = "";  // the path as the open-failure message shows it
  } table[] = {
      {"invite", {}, longue + "\\c\xC5\x93ur.txt\n", "invite", 0},
      {"invite vide", {}, "\n", "invite_vide", 1},
      {"fin de l'entrée", {}, "\x04", "invite_vide", 1},
      {"fichier absent", {"absent.txt"}, "", "fichier_absent", 1},
      {"aide", {"--help", "x"}, "", "aide", 0, false},
      {"version", {"--version"}, "", "version", 0, false},
      {"fichier nommé --help", {"./--help"}, "", "dans_la_console", 0},
      {"UTF-8", {longue + "/c\xC5\x93ur.txt", "autre.txt"}, "", "dans_la_console", 0},
      {"UTF-8 hors Latin-1", {"\xE2\x82\xAC.txt"}, "", "dans_la_console", 0},
      {"Latin-1", {"\xE9t\xE9.txt"}, "", "dans_la_console", 0},
      {"4095 octets", {"/" + std::string(4094, 'a')}, "", "ouverture_impossible", 1},
      {"4096 octets", {"/" + std::string(4095, 'a')}, "", "chemin_trop_long", 1},
      {"4095 octets convertis", {std::string(2047, '\xE9') + "a"}, "", "ouverture_impossible", 1, true,
       [] { std::string m; for (int i = 0; i < 2047; ++i) m += "\xC3\xA9"; return m + "a"; }()},
      {"4096 octets convertis", {std::string(2048, '\xE9')}, "", "chemin_trop_long", 1},
      {"dossier", {"."}, "", "dossier_comme_chemin", 0},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.nom);
    const std::string d = dossier_temporaire();
    mkdir((d + "/" + longue).c_str(), 0755);
    for (const char* nom : {"/--help", "/c\xC5\x93ur.txt", "/\xE2\x82\xAC.txt", "/\xC3\xA9t\xC3\xA9.txt"})
      ecrit_fichier(d + (std::string(nom) == "/c\xC5\x93ur.txt" ? "/" + longue : "") + nom, CLIMAT_FAUTIF);
    ecrit_fichier(d + "/Erreur.log", "ancien");
    std::vector<std::string> arguments = {PROGRAMME};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    lancement l{arguments, d, c.terminal};
    if (!c.reponse.empty()) l.dialogue = {{"?: ", c.reponse}};
    const execution r = lance(l);
    const std::string nom = !c.montre.empty() ? c.montre : c.arguments.empty() ? "" : c.arguments[0];
    EXPECT_EQ(r.sortie, attendu("demarrage.txt", c.section, nom)) << r.sortie.substr(0, 300);
    EXPECT_EQ(r.statut, c.statut);
    EXPECT_EQ(r.attendait, c.terminal);
    EXPECT_FALSE(r.xterm_appele);
    if (!c.terminal) {
      EXPECT_EQ(lit_fichier(d + "/Erreur.log"), "ancien");
    }
  }
}

TEST(Demarrage, EntreesHostiles) {
  std::string binaire;
  unsigned graine = 12345;
  for (int i = 0; i < 65536; ++i) binaire += static_cast<char>((graine = graine * 1103515245u + 12345u) >> 24);
  std::string million = reference_avec({});
  for (int i = 0; i < 1'000'000; ++i) million += "remarque\n";
  for (const std::string& contenu : {binaire, million, std::string(10'000'000, 'x') + "\n"}) {
    const std::string d = dossier_temporaire();
    ecrit_fichier(d + "/climat.txt", contenu);
    const execution r = lance({{PROGRAMME, "climat.txt"}, d});
    const std::string journal = lit_fichier(d + "/Erreur.log");
    EXPECT_EQ(r.statut, 0);
    EXPECT_EQ(lit_fichier(d + "/climat.txt"), contenu);
    for (const char* prefixe : {"- Erreur ligne ", "- Avertissement ligne "})
      EXPECT_EQ(occurrences(r.sortie, prefixe), occurrences(journal, prefixe));
  }
}

}  // namespace
