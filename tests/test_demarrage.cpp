// The real program started in every way a user or a desktop starts it, and
// in the situations around "Erreur.log" that could lose a user's data (the
// expected outputs are in donnees/demarrage.txt); and every climate file
// that has an expected report beside it, run under a pseudo-terminal: the
// console output and "Erreur.log" byte for byte, and the climate file
// unchanged. That is where the message texts are checked.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>

#include "aide.hpp"

namespace {


const std::string CLIMAT_FAUTIF = reference_avec({{'R', 1, "latitude=45"}});

// An X server that accepts connections and nothing more, on an abstract
// socket of a display number of its own: what the program asks of a display
// before it opens a window. Closed with the test process.
std::string affichage_qui_repond() {
  // Tests run in parallel processes: each takes the first free number from
  // one of its own.
  static int numero = 0;
  for (int essai = 0; numero == 0 && essai < 4000; ++essai) {
    const int candidat = 5000 + (getpid() + essai) % 4000;
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    const int n = std::snprintf(a.sun_path + 1, sizeof a.sun_path - 1, "/tmp/.X11-unix/X%d", candidat);
    if (bind(s, reinterpret_cast<sockaddr*>(&a), static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(n))) == 0 &&
        listen(s, 64) == 0)
      numero = candidat;
    else
      close(s);
  }
  if (numero == 0) ADD_FAILURE() << "serveur X factice";
  return "DISPLAY=:" + std::to_string(numero);
}

// The table "scripts" of donnees/demarrage.txt: every start form, output,
// display and xterm, and every hostile situation, each row a test of its
// own: a shell script run in a fresh folder with the program as $0, "mon
// climat.txt" (one error) as $1 and a climate file of 2000 errors as $2 (the
// script is the last field), beside "copie" (the same as $1),
// "propre" (a clean one), "journal" (the log of $1) and a file of the
// user's, "victime". On PATH come only the folder "o",
// with the tools the scripts use, a stand-in xdg-open that records what it
// shows in "xdg", and a stand-in xterm that records its arguments in "args"
// and the witness file's name in "temoin" (gone once the program ends)
// and runs what follows its -e as xterm does (a lone argument that is no
// program goes to a shell), without a display, its output in "dans_xterm".
// A display answers (see affichage_qui_repond). The output, the folder
// written <dossier>, must be the expected section, or end with it when the name
// of the section begins with "..." (and a ":" gives the section its @D@),
// and no file of the user's may change.
// A climate file of 2000 errors, written once for every row.
const std::string& grand_climat() {
  static const std::string chemin = [] {
    std::vector<retouche> fautes;
    for (int i = 0; i < 2000; ++i) fautes.push_back({'I', 15, std::to_string(6 + i) + ":g1:T"});
    const std::string c = dossier_temporaire() + "/grand.txt";
    ecrit_fichier(c, reference_avec(fautes));
    return c;
  }();
  return chemin;
}

class Demarrage : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Demarrage, Script) {
  const std::vector<std::string>& c = GetParam();
  const std::string outils = "sh cat tr rm rmdir ln mv cp mkdir mkfifo mknod chmod flock mount umount python3 sed cmp head iconv yes tail touch readlink";
  const std::string d = dossier_temporaire();
  mkdir((d + "/o").c_str(), 0755);
  for (const std::string& outil : decoupe(outils + " ", ' '))
    ASSERT_EQ(symlink(("/usr/bin/" + outil).c_str(), (d + "/o/" + outil).c_str()), 0);
  ecrit_fichier(d + "/o/xdg-open", "#!/bin/sh\necho \"$1\" >>" + d + "/xdg; cat \"$1\" >>" + d + "/xdg\n", 0755);
  ecrit_fichier(d + "/o/xterm", "#!/bin/sh\nfor a; do printf '%s\\000' \"$a\"; done >" + d +
                "/args\necho \"$AUBRELIS_INTERNE_TEMOIN\" >" + d + "/temoin\nwhile [ \"$1\" != -e ]; do shift; done; shift\n"
                "[ $# -eq 1 ] && ! [ -x \"$1\" ] && set -- /bin/sh -c \"$1\"\n"
                "for f in /proc/$$/fd/*; do case $(readlink $f) in */aubrelis-temoin-*) : >" + d + "/herite;; esac; done\n"
                "DISPLAY= \"$@\" >" + d + "/dans_xterm 2>&1 </dev/null\n", 0755);
  for (const char* f : {"/mon climat.txt", "/copie"}) ecrit_fichier(d + f, CLIMAT_FAUTIF);
  ecrit_fichier(d + "/propre", reference_avec({}));
  ecrit_fichier(d + "/journal", latin1(attendu("demarrage.txt", "journal_fautif")));
  ecrit_fichier(d + "/victime", "précieux");
  execution r = lance({{"/bin/sh", "-c", c.at(4), PROGRAMME, "mon climat.txt", grand_climat()}, d, c[1] != "F",
                       {"PATH=" + d + "/o", affichage_qui_repond()}});
  // A device or a mount needs root: the row is reported skipped, never passed.
  if (r.statut == 77) GTEST_SKIP() << "il faut être root";
  for (std::size_t p; (p = r.sortie.find(d)) != std::string::npos;) r.sortie.replace(p, d.size(), "<dossier>");
  const bool fin = c[3].starts_with("...");
  const std::size_t deux_points = c[3].find(':');
  const std::string voulu = attendu("demarrage.txt", c[3].substr(fin ? 3 : 0, deux_points - (fin ? 3 : 0)),
                                    deux_points == std::string::npos ? "" : c[3].substr(deux_points + 1));
  if (fin) EXPECT_TRUE(r.sortie.ends_with(voulu)) << "obtenu :\n" << r.sortie << "\nattendu à la fin :\n" << voulu;
  else EXPECT_EQ(r.sortie, voulu);
  EXPECT_EQ(r.statut, std::stoi(c[2]));
  EXPECT_EQ(r.attendait, c[1] == "T");
  EXPECT_EQ(lit_fichier(d + "/victime"), "précieux");
  EXPECT_NE(access((d + "/herite").c_str(), F_OK), 0) << "xterm a hérité du fichier témoin";
  // The name xterm was given, with its line feed: that file is gone.
  const std::string temoin = access((d + "/temoin").c_str(), F_OK) == 0 ? lit_fichier(d + "/temoin") : "";
  EXPECT_TRUE(temoin.size() <= 1 || access(temoin.substr(0, temoin.size() - 1).c_str(), F_OK) != 0) << temoin << " laissé";
  EXPECT_TRUE(access((d + "/mon climat.txt").c_str(), F_OK) != 0 || lit_fichier(d + "/mon climat.txt") == CLIMAT_FAUTIF);
  // A check that ran, here or in the window, wrote in the log every
  // finding it showed (the log is in Latin-1, the console in UTF-8).
  struct stat sorte {};
  const bool ordinaire = lstat((d + "/Erreur.log").c_str(), &sorte) == 0 && S_ISREG(sorte.st_mode);
  EXPECT_TRUE(!ordinaire || r.sortie.find("en cours.") == std::string::npos ||
              latin1(r.sortie).find(lit_fichier(d + "/Erreur.log")) != std::string::npos);
}

// One test per row, named after it.
INSTANTIATE_TEST_SUITE_P(Table, Demarrage, testing::ValuesIn(cas("demarrage.txt", "scripts")), [](const auto& i) {
  std::string nom = std::to_string(i.index) + "_";
  for (const char ch : i.param[0]) nom += (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ? ch : '_';
  return nom;
});

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
  EXPECT_EQ(fichiers, 34);  // every golden file, so that losing one fails
}

}  // namespace
