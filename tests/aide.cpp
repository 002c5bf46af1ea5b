#include "aide.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "constats.hpp"

const std::string PROGRAMME = TESTEUR_CLIMAT_BIN;

std::string dossier_temporaire() {
  // Removed when the test process ends; a death test's child leaves them.
  static struct a_effacer {
    pid_t createur = getpid();
    std::vector<std::string> dossiers;
    ~a_effacer() {
      std::error_code ignore;
      for (const std::string& d : dossiers)
        if (getpid() == createur) std::filesystem::remove_all(d, ignore);
    }
  } dossiers;
  char modele[] = "/tmp/testeur-climat-XXXXXX";
  dossiers.dossiers.push_back(mkdtemp(modele));
  return modele;
}

std::string lit_fichier(const std::string& chemin) {
  std::ostringstream s;
  s << std::ifstream(chemin, std::ios::binary).rdbuf();
  return s.str();
}

void ecrit_fichier(const std::string& chemin, const std::string& contenu, unsigned mode) {
  std::ofstream(chemin, std::ios::binary | std::ios::trunc) << contenu;
  chmod(chemin.c_str(), mode);
}

std::vector<std::string> decoupe(const std::string& texte, char fin) {
  std::vector<std::string> morceaux;
  for (std::size_t debut = 0, p; (p = texte.find(fin, debut)) != std::string::npos; debut = p + 1)
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

std::string constats(const std::string& octets) {
  struct : rapport_constats {
    std::string texte;
    void rapporte(const constat& c) override {
      if (!texte.empty()) texte += ' ';
      texte += c.type == ERREUR ? 'E' : 'A';
      texte += std::to_string(c.ligne);
      texte += '/';
      texte += std::to_string(c.code);
      texte += ':' + std::to_string(c.colonne) + '-' + std::to_string(c.colonne_fin);
    }
  } rapport;
  verifie_octets(octets.data(), octets.size(), rapport);
  return rapport.texte;
}

std::size_t compte(const std::string& texte, const std::string& motif) {
  std::size_t n = 0;
  for (std::size_t p = texte.find(motif); p != std::string::npos; p = texte.find(motif, p + 1)) ++n;
  return n;
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

namespace {

// Whether a process is blocked in a read of the terminal `terminal`: what
// the program does at a pause, told by the system and not by a silence.
bool attend_au_terminal(const std::string& terminal) {
  std::error_code e;
  for (const auto& processus : std::filesystem::directory_iterator("/proc", e)) {
    const std::string p = processus.path().string(), appel = lit_fichier(p + "/syscall");  // "0 0xFD ..." for read(FD, ...)
    if (appel.starts_with("0 0x") &&
        std::filesystem::read_symlink(p + "/fd/" + std::to_string(std::stoul(appel.substr(2), nullptr, 16)), e) == terminal)
      return true;
  }
  return false;
}

}  // namespace

execution lance(const lancement& l) {
  const std::string garde = dossier_temporaire();
  ecrit_fichier(garde + "/xterm", "#!/bin/sh\nexit 1\n", 0755);
  int tube[2] = {-1, -1};
  termios t{};
  t.c_cflag = CS8 | CREAD;
  t.c_lflag = ICANON;  // no echo and no "\n" to "\r\n": the bytes read are the program's
  t.c_cc[VMIN] = 1;
  if (!l.terminal && pipe(tube) != 0) return {};
  const pid_t pid = l.terminal ? forkpty(&tube[0], nullptr, &t, nullptr) : fork();
  if (pid == 0) {
    if (!l.terminal) {
      dup2(open("/dev/null", O_RDONLY), 0);
      dup2(tube[1], 1);
      dup2(tube[1], 2);
    }
    setenv("PATH", (garde + ":" + std::getenv("PATH")).c_str(), 1);
    unsetenv("DISPLAY");
    for (const std::string& v : l.environnement) {
      const std::size_t egal = v.find('=');
      if (egal == std::string::npos) unsetenv(v.c_str());
      else setenv(v.substr(0, egal).c_str(), v.substr(egal + 1).c_str(), 1);
    }
    std::vector<char*> argv;
    for (const std::string& a : l.arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (chdir(l.dossier.c_str()) == 0) execvp(argv[0], argv.data());
    _exit(127);
  }
  if (!l.terminal) close(tube[1]);
  const std::string terminal = l.terminal && ptsname(tube[0]) != nullptr ? ptsname(tube[0]) : "";
  execution r;
  int statut = 0;
  const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (char tampon[65536];;) {
    pollfd p{tube[0], POLLIN, 0};
    if (poll(&p, 1, 50) > 0) {
      const ssize_t n = read(tube[0], tampon, sizeof tampon);
      if (n <= 0) break;
      r.sortie.append(tampon, static_cast<std::size_t>(n));
    } else if (std::chrono::steady_clock::now() > limite) {
      kill(pid, SIGKILL);
      break;
    } else if (l.terminal && r.sortie.ends_with("...") && attend_au_terminal(terminal)) {
      // Blocked reading its terminal after its pause's "...": a key.
      r.attendait = true;
      if (write(tube[0], "\n", 1) < 0) break;
    }
  }
  close(tube[0]);
  waitpid(pid, &statut, 0);
  r.statut = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
  return r;
}

std::string attendu(const std::string& fichier, const std::string& section, const std::string& variable) {
  const std::string texte = source("tests/donnees/" + fichier);
  const std::size_t debut = texte.find("== " + section + "\n") + section.size() + 4;
  const std::size_t fin = std::min(texte.find("\n== ", debut - 1), texte.size() - 1);
  std::string r = texte.substr(debut, fin < debut ? 0 : fin - debut);  // an empty section is its head alone
  for (std::size_t p; (p = r.find("@D@")) != std::string::npos;) r.replace(p, 3, variable);
  for (std::size_t p; (p = r.find("@G@")) != std::string::npos;) r.replace(p, 3, GUIDE_CLIMAT_CHEMIN);
  return r;
}

std::vector<std::string> champs(const std::string& ligne) {
  std::vector<std::string> r;
  for (std::size_t debut = 0, fin;; debut = fin + 3) {
    fin = ligne.find(" ; ", debut);
    r.push_back(ligne.substr(debut, fin - debut));
    if (fin == std::string::npos) return r;
  }
}

std::string deplie(std::string texte) {
  for (std::size_t p; (p = texte.find("{{")) != std::string::npos;) {
    const std::size_t fin = texte.find("}}", p);
    texte.replace(p, fin + 2 - p, std::string(std::stoul(texte.substr(p + 2)), texte[fin - 1]));
  }
  std::string r;
  for (std::size_t i = 0; i < texte.size(); ++i) {
    const char suite = i + 1 < texte.size() ? texte[i + 1] : '\0';
    if (texte[i] != '\\' || std::string("xnr\\").find(suite) == std::string::npos || suite == '\0') {
      r += texte[i];
    } else if (suite == 'x') {
      r += static_cast<char>(std::stoi(texte.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      r += suite == 'n' ? '\n' : suite == 'r' ? '\r' : '\\';
      ++i;
    }
  }
  return r;
}

std::vector<std::vector<std::string>> cas(const std::string& fichier, const std::string& section) {
  std::vector<std::vector<std::string>> r;
  bool dedans = false;
  for (const std::string& ligne : decoupe(source("tests/donnees/" + fichier), '\n')) {
    if (ligne.starts_with("== ")) dedans = ligne.starts_with("== " + section);
    if (!dedans || ligne.empty() || ligne[0] == '#' || ligne.starts_with("== ")) continue;
    std::vector<std::string> c = champs(ligne);
    for (std::string& champ : c) champ = deplie(champ);
    r.push_back(c);
  }
  return r;
}
