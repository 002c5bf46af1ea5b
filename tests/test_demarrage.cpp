// The real program started in every way a user or a desktop starts it, and
// in the situations around "Erreur.log" that could lose a user's data (the
// expected outputs are in donnees/demarrage.txt); and every climate file
// that has an expected report beside it, run under a pseudo-terminal: the
// console output and "Erreur.log" byte for byte, and the climate file
// unchanged. That is where the message texts are checked.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <future>
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

// An X server that accepts connections and nothing more, on an abstract
// socket of a display number of its own: what the program asks of a display
// before it opens a window. Closed with the test process.
std::string affichage_qui_repond() {
  static int numero = 0;
  if (numero == 0) {
    numero = 5000 + getpid() % 4000;
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    const int n = std::snprintf(a.sun_path + 1, sizeof a.sun_path - 1, "/tmp/.X11-unix/X%d", numero);
    if (bind(s, reinterpret_cast<sockaddr*>(&a), static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(n))) != 0 ||
        listen(s, 64) != 0)
      ADD_FAILURE() << "serveur X factice";
  }
  return "DISPLAY=:" + std::to_string(numero);
}

TEST(Demarrage, FormesSortiesAffichagesEtXterm) {
  // Where each form puts the program, relative to the folder "b" of a run,
  // and how it is called from b/travail, where it is started.
  const std::map<std::string, std::pair<std::string, std::string>> formes = {
      {"nu", {"bin", "testeur_climat"}},
      {"./x", {"travail", "./testeur_climat"}},
      {"dossier/x", {"travail/sous", "sous/testeur_climat"}},
      {"absolu", {"bin", "@B@/bin/testeur_climat"}}};
  // The display: none, one that answers, one that no server answers.
  // xterm: a stand-in that runs the window's command, none, a file that
  // cannot be run, one that ends without running it. `console` is the
  // expected output outside the window ("" when the window ran the check).
  const struct {
    std::string forme;
    bool terminal;
    std::string affichage;
    std::string xterm;
    std::string console;
  } table[] = {
      {"nu", true, "repond", "remplacant", "dans_la_console"},
      {"absolu", true, "aucun", "absent", "dans_la_console"},
      {"nu", false, "repond", "remplacant", ""},
      {"./x", false, "repond", "remplacant", ""},
      {"dossier/x", false, "repond", "remplacant", ""},
      {"absolu", false, "repond", "remplacant", ""},
      {"./x", false, "aucun", "remplacant", "dans_la_console"},
      {"nu", false, "muet", "remplacant", "dans_la_console"},
      {"./x", false, "repond", "absent", "xterm_absent"},
      {"dossier/x", false, "repond", "defaillant", "xterm_defaillant"},
      {"absolu", false, "repond", "mourant", "fenetre_fermee"},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.forme + (c.terminal ? " terminal " : " fichier ") + c.affichage + " " + c.xterm);
    const auto& place = formes.at(c.forme);
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
    if (c.xterm == "defaillant") symlink("../victime", (b + "/travail/temp.tmp").c_str());
    if (c.xterm != "absent")
      ecrit_fichier(b + "/outils/xterm", "#!/bin/sh\nfor a; do printf '%s\\000' \"$a\"; c=$a; done >" + b + "/args\n" +
                    (c.xterm == "mourant" ? "" : "DISPLAY= /bin/sh -c \"$c\" >" + b + "/fenetre 2>&1 </dev/null\n"),
                    c.xterm == "defaillant" ? 0644 : 0755);
    std::string appel = place.second;
    if (appel.starts_with("@B@")) appel.replace(0, 3, b);
    const std::string affichage =
        c.affichage == "repond" ? affichage_qui_repond() : c.affichage == "muet" ? "DISPLAY=:4999" : "DISPLAY";
    const execution r = lance({{appel, "mon climat.txt", "", "x y"}, b + "/travail", c.terminal,
                               {"PATH=" + b + "/outils:" + b + "/bin", affichage}});
    EXPECT_EQ(r.statut, 0);
    EXPECT_EQ(lit_fichier(b + "/travail/Erreur.log"), latin1(attendu("demarrage.txt", "journal_fautif")));
    EXPECT_EQ(existe(b + "/args"), c.affichage == "repond" && !c.terminal && c.xterm != "absent" &&
                                       c.xterm != "defaillant");
    EXPECT_EQ(existe(b + "/travail/temp.tmp"), c.xterm == "defaillant");
    EXPECT_EQ(lit_fichier(b + "/victime"), "précieux");
    if (c.console.empty()) {
      std::vector<std::string> args = decoupe(lit_fichier(b + "/args"), '\0');
      ASSERT_EQ(args.size(), 10u);
      EXPECT_EQ(args[9].rfind("cd \"" + b + "/travail\"; \"./", 0), 0u) << args[9];
      args.pop_back();
      EXPECT_EQ(args, decoupe(attendu("demarrage.txt", "arguments_xterm"), '\n'));
      EXPECT_EQ(r.sortie, "");
      EXPECT_EQ(lit_fichier(b + "/fenetre"), attendu("demarrage.txt", "dans_la_console"));
      continue;
    }
    EXPECT_EQ(r.sortie, attendu("demarrage.txt", c.console));
    EXPECT_FALSE(existe(b + "/fenetre"));
    if (c.console.starts_with("xterm_")) {
      const std::string xdg = lit_fichier(b + "/xdg");
      EXPECT_EQ(xdg.rfind(c.xterm == "absent" ? "temp.tmp\n" : "/tmp/aubrelis-avis-", 0), 0u);
      EXPECT_EQ(xdg.substr(xdg.find('\n') + 1), latin1(attendu("demarrage.txt", "avis_" + c.xterm)));
      EXPECT_FALSE(existe(xdg.substr(0, xdg.find('\n'))));  // the notice is removed after
    }
  }
}

TEST(Demarrage, SituationsHostiles) {
  // Each run is a shell script in a fresh folder, the program as $0, beside
  // "climat.txt" (one error, $1) and a file of the user's, "victime"; $2 is
  // a climate file of 2000 errors, elsewhere. A display answers and a stand-in xterm
  // would record a call: whatever happens, the check runs here, in full, or
  // a clear message says why not; no file of the user's changes.
  const struct {
    const char* nom;
    std::string script;
    const char* section;  // what the output ends with; "" for no output at all
    int statut = 1;
    bool journal = false;  // Erreur.log holds the one finding of climat.txt
    bool terminal = true;
  } table[] = {
      {"lien", "ln -s victime Erreur.log && exec \"$0\" \"$1\"", "journal_lien"},
      {"tube", "mkfifo Erreur.log && exec \"$0\" \"$1\"", "journal_tube"},
      {"dossier", "mkdir Erreur.log && exec \"$0\" \"$1\"", "journal_dossier"},
      {"périphérique", "mknod Erreur.log c 1 3 || exit 77; exec \"$0\" \"$1\"", "journal_peripherique"},
      {"climat nommé Erreur.log", "mv climat.txt Erreur.log && exec \"$0\" Erreur.log", "journal_climat"},
      {"climat lié à Erreur.log", "ln climat.txt Erreur.log && exec \"$0\" \"$1\"", "journal_climat"},
      {"lien physique", "ln victime Erreur.log && exec \"$0\" \"$1\"", "journal_lien_physique"},
      // Another check writing its log here holds its lock.
      {"vérification en cours", "exec 9>>Erreur.log && flock 9 && exec \"$0\" \"$1\"", "journal_occupe"},
      {"disque plein",
       "mount -t tmpfs -o size=16k tmpfs . || exit 77; cd \"$PWD\" && \"$0\" \"$2\"; s=$?; cd / && umount \"$OLDPWD\"; "
       "exit $s",
       "journal_plein"},
      {"taille limitée", "ulimit -f 8; exec \"$0\" \"$2\"", "journal_limite"},
      {"dossier au nom trop long",
       "exec python3 -c 'import os, sys\nfor i in range(17): os.mkdir(\"%0250d\" % i); os.chdir(\"%0250d\" % i)\n"
       "os.execv(sys.argv[1], sys.argv[1:])' \"$0\" \"$1\"",
       "dans_la_console", 0, false, false},
      {"dossier effacé", "mkdir x && cd x && rmdir ../x && exec \"$0\" \"$1\"", "journal_impossible", 1, false, false},
      {"flux standard fermés", "unset DISPLAY; exec \"$0\" \"$1\" <&- >&- 2>&-", "", 0, true, false},
  };
  std::vector<retouche> fautes;
  for (int i = 0; i < 2000; ++i) fautes.push_back({'I', 15, std::to_string(6 + i) + ":g1:T"});
  const std::string grand = reference_avec(fautes);
  const std::string chemin_grand = dossier_temporaire() + "/grand.txt";
  ecrit_fichier(chemin_grand, grand);
  for (const auto& c : table) {
    SCOPED_TRACE(c.nom);
    const std::string d = dossier_temporaire();
    ecrit_fichier(d + "/victime", "précieux");
    ecrit_fichier(d + "/climat.txt", CLIMAT_FAUTIF);
    const execution r = lance({{"/bin/sh", "-c", c.script, PROGRAMME, d + "/climat.txt", chemin_grand},
                               d, c.terminal, {affichage_qui_repond()}});
    if (r.statut == 77) continue;  // a device or a mount needs root
    EXPECT_TRUE(r.sortie.ends_with(c.section[0] == '\0' ? "" : attendu("demarrage.txt", c.section))) << r.sortie;
    EXPECT_TRUE(c.section[0] != '\0' || r.sortie.empty());
    EXPECT_EQ(r.statut, c.statut);
    EXPECT_EQ(r.attendait, c.terminal);
    EXPECT_FALSE(r.xterm_appele);
    EXPECT_EQ(lit_fichier(d + "/victime"), "précieux");
    EXPECT_EQ(lit_fichier(d + (c.nom == std::string("climat nommé Erreur.log") ? "/Erreur.log" : "/climat.txt")),
              CLIMAT_FAUTIF);
    EXPECT_EQ(lit_fichier(chemin_grand), grand);
    EXPECT_TRUE(!c.journal || lit_fichier(d + "/Erreur.log") == latin1(attendu("demarrage.txt", "journal_fautif")));
  }
}

TEST(Demarrage, UneVerificationALaFoisEtJournalDeplace) {
  // A first check reads its climate file from a FIFO, so that the test
  // decides when it ends. While it runs, a second check in the same folder
  // is refused, and the log moved away keeps receiving its findings.
  const std::string d = dossier_temporaire();
  ecrit_fichier(d + "/climat.txt", CLIMAT_FAUTIF);
  ASSERT_EQ(mkfifo((d + "/tube.txt").c_str(), 0644), 0);
  auto premiere = std::async(std::launch::async, [&] { return lance({{PROGRAMME, "tube.txt"}, d}); });
  std::FILE* tube = std::fopen((d + "/tube.txt").c_str(), "w");
  ASSERT_NE(tube, nullptr);
  const std::string climat = CLIMAT_FAUTIF;
  const std::size_t moitie = climat.find("\n>Vent:");
  std::fputs(climat.substr(0, moitie).c_str(), tube);
  std::fflush(tube);
  // The FIFO is open on both sides: the first check has its log, locked.
  const execution seconde = lance({{PROGRAMME, "climat.txt"}, d});
  EXPECT_EQ(seconde.statut, 1);
  EXPECT_EQ(seconde.sortie, attendu("demarrage.txt", "journal_occupe"));
  ASSERT_EQ(rename((d + "/Erreur.log").c_str(), (d + "/ailleurs.log").c_str()), 0);
  std::fputs((climat.substr(moitie) + "Latitude=0\n").c_str(), tube);
  std::fclose(tube);
  const execution r = premiere.get();
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(lit_fichier(d + "/ailleurs.log"), latin1(attendu("demarrage.txt", "journal_fautif")));
  EXPECT_FALSE(existe(d + "/Erreur.log"));
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
      // Beside a folder "back" holding "slash.txt", a clean file.
      {"barre oblique inverse", {"back\\slash.txt"}, "", "dans_la_console"},
      {"barres converties", {"dossier\\fautif.txt"}, "", "dans_la_console"},
  };
  for (const auto& c : table) {
    SCOPED_TRACE(c.nom);
    const std::string d = dossier_temporaire();
    mkdir((d + "/" + longue).c_str(), 0755);
    for (const char* dossier : {"/back", "/dossier"}) mkdir((d + dossier).c_str(), 0755);
    for (const std::string& nom : std::vector<std::string>{"--help", longue + "/c\xC5\x93ur.txt", "\xE2\x82\xAC.txt",
                                                           "\xC3\xA9t\xC3\xA9.txt", "back\\slash.txt", "dossier/fautif.txt"})
      ecrit_fichier(d + "/" + nom, CLIMAT_FAUTIF);
    ecrit_fichier(d + "/back/slash.txt", reference_avec({}));
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
