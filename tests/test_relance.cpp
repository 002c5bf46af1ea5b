// The relaunch in a window, with a stand-in xterm that records its
// arguments, and the way on without a window when xterm is missing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "aide_processus.hpp"
#include "aide_programme.hpp"

namespace {

void ecrit_script(const std::string& chemin, const std::string& corps) {
  ecrit_fichier(chemin, "#!/bin/sh\n" + corps);
  chmod(chemin.c_str(), 0755);
}

struct banc {
  std::string dossier = dossier_temporaire();
  std::string programme = copie_du_programme(dossier);
  std::string outils = dossier + "/outils";
  std::string trace = dossier + "/trace";
  banc() { mkdir(outils.c_str(), 0755); }
};

// A stand-in xterm first on PATH: it writes its arguments and ends.
struct banc_xterm : banc {
  banc_xterm() { ecrit_script(outils + "/xterm", "for a in \"$@\"; do printf '%s\\000' \"$a\"; done > \"" + trace + "\"\n"); }
  std::string path() const { return outils + ":/usr/bin:/bin"; }
  std::vector<std::string> arguments() const { return decoupe(lit_fichier(trace), '\0'); }
  std::vector<std::string> attendus(const std::string& commande) const {
    return {"-sb", "-rightbar", "-T", "Testeur de fichier de climat", "-bg", "white", "-fg", "grey50", "-e", commande};
  }
};

TEST(RelanceXterm, SortieHorsTerminal) {
  banc_xterm b;
  const execution r = lance_sans_terminal({{b.programme, REFERENCE}, b.dossier, b.path()});
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(b.arguments(), b.attendus("cd \"" + b.dossier + "\"; \"./testeur_climat\" " + REFERENCE));
}

TEST(RelanceXterm, ArgumentsTransmis) {
  const struct {
    std::vector<std::string> arguments;
    std::string transmis;
  } cas[] = {
      {{"/home/u/a.txt", "x"}, "/home/u/a.txt x"},
      {{}, ""},
      {{"swxterm", "/home/u/a.txt"}, "/home/u/a.txt"},  // the switch is not passed on
      {{"swxterm"}, ""},
      {{"", "x"}, " x"},  // an empty argument still takes its blank
  };
  for (const auto& c : cas) {
    banc_xterm b;
    std::vector<std::string> argv = {b.programme};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    lance_sans_terminal({argv, b.dossier, b.path()});
    EXPECT_EQ(b.arguments(), b.attendus("cd \"" + b.dossier + "\"; \"./testeur_climat\" " + c.transmis));
  }
}

TEST(RelanceXterm, SwxtermDansUnTerminal) {
  banc_xterm b;
  const execution r = lance_sous_terminal({{b.programme, "swxterm", REFERENCE}, b.dossier, b.path()});
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(b.arguments(), b.attendus("cd \"" + b.dossier + "\"; \"./testeur_climat\" " + REFERENCE));
  EXPECT_EQ(r.sortie, "") << "the window shows everything";
}

TEST(RelanceXterm, PasDeRelanceDansUnTerminal) {
  banc_xterm b;
  const execution r = lance_sous_terminal({{b.programme, REFERENCE}, b.dossier, b.path()}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + EN_COURS + SANS_CONSTAT);
  EXPECT_NE(access(b.trace.c_str(), F_OK), 0);
}

TEST(RelanceXterm, CaracteresDuShellIntacts) {
  banc_xterm b;
  // A file whose name would run commands if the shell read it.
  const std::string nom = b.dossier + "/x;touch${IFS}pirate;`touch${IFS}pirate2`$(touch${IFS}pirate3)&'\".txt";
  ecrit_fichier(nom, lit_fichier(REFERENCE));
  lance_sans_terminal({{b.programme, nom}, b.dossier, b.path()});
  const std::vector<std::string> recus = b.arguments();
  ASSERT_EQ(recus.size(), 10u);
  // The window's command, run by a shell in a terminal as xterm would.
  const execution r = lance_sous_terminal({{"/bin/sh", "-c", recus[9]}, b.dossier, b.path()}, {{"...", "\n"}});
  EXPECT_EQ(r.sortie, CADRE + EN_COURS + SANS_CONSTAT) << recus[9];
  EXPECT_EQ(r.statut, 0);
  for (const char* pirate : {"/pirate", "/pirate2", "/pirate3"})
    EXPECT_NE(access((b.dossier + pirate).c_str(), F_OK), 0) << pirate;
}

// No xterm anywhere on PATH: only rm and a stand-in xdg-open that records the
// file it was asked to show and what it held.
struct banc_sans_xterm : banc {
  std::string montre = dossier + "/montre";
  banc_sans_xterm() {
    symlink("/bin/rm", (outils + "/rm").c_str());
    ecrit_script(outils + "/xdg-open", "printf '%s\\n' \"$1\" >> \"" + trace + "\"; /bin/cat \"$1\" >> \"" + montre + "\"\n");
  }
  execution lance(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv = {programme};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return lance_sans_terminal({argv, dossier, outils});
  }
};

const std::string AVIS = "\nxterm n'a pas été trouvé, il est conseillé d'installer xterm.\n";
const std::string AVIS_FICHIER = vers_latin1(
    "xterm n'a pas été trouvé, il est nécessaire pour une utilisation de Aubrelis hors terminal.\n"
    "Sans xterm, Aubrelis doit être exécuté depuis le terminal.\n");

TEST(SansXterm, AvisPuisVerificationSansFenetre) {
  banc_sans_xterm b;
  const execution r = b.lance({REFERENCE});
  EXPECT_EQ(r.sortie, AVIS + CADRE + EN_COURS + SANS_CONSTAT);
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(occurrences(r.sortie, AVIS), 1) << "no second window attempt";
  EXPECT_EQ(lit_fichier(b.trace), "temp.tmp\n");
  EXPECT_EQ(lit_fichier(b.montre), AVIS_FICHIER);
  EXPECT_NE(access((b.dossier + "/temp.tmp").c_str(), F_OK), 0);
  EXPECT_EQ(lit_fichier(b.dossier + "/Erreur.log"), "");
}

TEST(SansXterm, SansArgumentLeCheminALInvite) {
  banc_sans_xterm b;
  const execution r = b.lance({});
  EXPECT_EQ(r.sortie, AVIS + CADRE + INVITE + "\n!!! Une erreur est survenue durant l'ouverture du fichier , en mode r...");
  EXPECT_EQ(r.statut, 1);
}

TEST(SansXterm, UnTempTmpExistantResteIntact) {
  banc_sans_xterm b;
  ecrit_fichier(b.dossier + "/temp.tmp", "précieux");
  const execution r = b.lance({REFERENCE});
  EXPECT_EQ(r.statut, 0);
  EXPECT_EQ(lit_fichier(b.dossier + "/temp.tmp"), "précieux");
  EXPECT_EQ(lit_fichier(b.montre), AVIS_FICHIER) << "the notice is still shown, from another file";
  EXPECT_EQ(lit_fichier(b.trace).find("temp.tmp"), std::string::npos);
}

}  // namespace
