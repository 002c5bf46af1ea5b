#include "aide.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "testeur_climat/passe.hpp"

const std::string PROGRAMME = TESTEUR_CLIMAT_BIN;

namespace {

// Removed when the test process ends; a death test's child leaves them.
struct dossiers_a_effacer {
  pid_t createur = getpid();
  std::vector<std::string> dossiers;
  ~dossiers_a_effacer() {
    std::error_code ignore;
    if (getpid() == createur)
      for (const std::string& d : dossiers) std::filesystem::remove_all(d, ignore);
  }
};

}  // namespace

std::string dossier_temporaire() {
  static dossiers_a_effacer a_effacer;
  char modele[] = "/tmp/testeur-climat-XXXXXX";
  if (mkdtemp(modele) == nullptr) throw std::runtime_error("mkdtemp");
  a_effacer.dossiers.push_back(modele);
  return modele;
}

std::string lit_fichier(const std::string& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void ecrit_fichier(const std::string& chemin, const std::string& contenu, unsigned mode) {
  std::ofstream(chemin, std::ios::binary | std::ios::trunc) << contenu;
  chmod(chemin.c_str(), mode);
}

std::vector<std::string> decoupe(const std::string& texte, char fin) {
  std::vector<std::string> morceaux;
  std::size_t debut = 0;
  for (std::size_t p; (p = texte.find(fin, debut)) != std::string::npos; debut = p + 1)
    morceaux.push_back(texte.substr(debut, p - debut));
  return morceaux;
}

std::string latin1(const std::string& utf8) {
  std::string r;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size())
      r += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    else
      r += static_cast<char>(c);
  }
  return r;
}

std::string source(const std::string& chemin) { return lit_fichier(std::string(DOSSIER_SOURCES) + "/" + chemin); }

namespace {

struct rapport_compact final : rapport_constats {
  std::string texte;
  void constat(int type, int ligne, const char*) override {
    if (!texte.empty()) texte += ' ';
    texte += (type == ERREUR ? "E" : "A") + std::to_string(ligne);
  }
};

}  // namespace

std::string constats(const std::string& octets) {
  // fmemopen refuses an empty buffer: an empty file is a real empty file.
  std::FILE* f = octets.empty() ? std::fopen("/dev/null", "r")
                                : fmemopen(const_cast<char*>(octets.data()), octets.size(), "r");
  rapport_compact rapport;
  int erreurs = 0;
  int avertissements = 0;
  moteur_principal(f, &erreurs, &avertissements, rapport);
  std::fclose(f);
  return rapport.texte;
}

std::string reference_avec(const std::vector<retouche>& retouches) {
  std::vector<std::string> lignes = decoupe(source("tests/donnees/reference.txt"), '\n');
  for (const retouche& r : retouches) {
    const auto place = lignes.begin() + (r.ligne - 1);
    if (r.sorte == 'R') *place = latin1(r.texte);
    if (r.sorte == 'I') lignes.insert(place, latin1(r.texte));
    if (r.sorte == 'S') lignes.erase(place);
  }
  std::string fichier;
  for (const std::string& l : lignes) fichier += l + "\n";
  return fichier;
}

std::string debut_reference(int lignes) {
  const std::string tout = source("tests/donnees/reference.txt");
  std::size_t fin = 0;
  for (int i = 0; i < lignes; ++i) fin = tout.find('\n', fin) + 1;
  return tout.substr(0, fin);
}

namespace {

[[noreturn]] void execute(const lancement& l, const std::string& garde) {
  if (chdir(l.dossier.c_str()) != 0) _exit(126);
  setenv("PATH", (garde + ":" + std::getenv("PATH")).c_str(), 1);
  unsetenv("DISPLAY");
  for (const std::string& v : l.environnement) {
    const std::size_t egal = v.find('=');
    if (egal == std::string::npos)
      unsetenv(v.c_str());
    else
      setenv(v.substr(0, egal).c_str(), v.substr(egal + 1).c_str(), 1);
  }
  if (l.limite_fichier > 0) {
    // The writes beyond the limit fail as on a full disk.
    const rlimit limite{static_cast<rlim_t>(l.limite_fichier), static_cast<rlim_t>(l.limite_fichier)};
    setrlimit(RLIMIT_FSIZE, &limite);
    signal(SIGXFSZ, SIG_IGN);
  }
  std::vector<char*> argv;
  for (const std::string& a : l.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

bool encore_vivant(pid_t pid) {
  int statut = 0;
  return waitpid(pid, &statut, WNOHANG) == 0;
}

}  // namespace

execution lance(const lancement& l) {
  const std::string garde = dossier_temporaire();
  ecrit_fichier(garde + "/xterm", "#!/bin/sh\n: > \"" + garde + "/appel\"\nexit 1\n", 0755);
  int lecture = -1;
  pid_t pid = -1;
  if (l.terminal) {
    termios t{};
    t.c_iflag = ICRNL;
    t.c_oflag = 0;  // no "\n" to "\r\n": the bytes read are the program's
    t.c_cflag = CS8 | CREAD;
    t.c_lflag = ICANON | ISIG;
    t.c_cc[VINTR] = 3;
    t.c_cc[VEOF] = 4;
    t.c_cc[VMIN] = 1;
    winsize w{24, 80, 0, 0};
    pid = forkpty(&lecture, nullptr, &t, &w);
    if (pid == 0) execute(l, garde);
  } else {
    int tube[2];
    if (pipe(tube) != 0) throw std::runtime_error("pipe");
    pid = fork();
    if (pid == 0) {
      const int vide = open("/dev/null", O_RDONLY);
      dup2(vide, 0);
      dup2(tube[1], 1);
      dup2(tube[1], 2);
      close(tube[0]);
      execute(l, garde);
    }
    close(tube[1]);
    lecture = tube[0];
  }
  if (pid < 0) throw std::runtime_error("fork");

  execution r;
  std::size_t etape = 0;
  std::size_t depuis = 0;
  bool premiere_pause = true;
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    if (std::chrono::steady_clock::now() > limite) {
      kill(pid, SIGKILL);
      break;
    }
    pollfd p{lecture, POLLIN, 0};
    if (poll(&p, 1, 50) > 0) {
      char tampon[65536];
      const ssize_t n = read(lecture, tampon, sizeof tampon);
      if (n <= 0) break;
      r.sortie.append(tampon, static_cast<std::size_t>(n));
      continue;
    }
    if (!l.terminal) continue;
    // Quiet for a moment: a prompt of the dialogue, or a pause, is waiting.
    if (etape < l.dialogue.size()) {
      const std::size_t trouve = r.sortie.find(l.dialogue[etape].first, depuis);
      if (trouve != std::string::npos) {
        depuis = trouve + l.dialogue[etape].first.size();
        const std::string& reponse = l.dialogue[etape++].second;
        if (write(lecture, reponse.data(), reponse.size()) < 0) break;
        continue;
      }
    }
    if (r.sortie.size() >= 3 && r.sortie.compare(r.sortie.size() - 3, 3, "...") == 0 && encore_vivant(pid)) {
      if (premiere_pause) r.attendait = true;
      premiere_pause = false;
      if (write(lecture, "\n", 1) < 0) break;
    }
  }
  close(lecture);
  int statut = 0;
  waitpid(pid, &statut, 0);
  r.statut = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
  r.xterm_appele = access((garde + "/appel").c_str(), F_OK) == 0;
  return r;
}

std::string attendu(const std::string& fichier, const std::string& section, const std::string& dossier) {
  const std::string texte = source("tests/donnees/" + fichier);
  const std::size_t debut = texte.find("== " + section + "\n");
  if (debut == std::string::npos) throw std::runtime_error("section absente : " + section);
  const std::size_t contenu = debut + section.size() + 4;
  std::size_t fin = texte.find("\n== ", contenu - 1);
  if (fin == std::string::npos) fin = texte.size() - 1;  // the file ends with a line feed
  std::string r = fin < contenu ? "" : texte.substr(contenu, fin - contenu);
  for (std::size_t p; (p = r.find("@D@")) != std::string::npos;) r.replace(p, 3, dossier);
  return r;
}
