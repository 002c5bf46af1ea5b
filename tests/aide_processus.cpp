#include "aide_processus.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace {

using horloge = std::chrono::steady_clock;

[[noreturn]] void execute(const lancement& l) {
  if (!l.dossier.empty() && chdir(l.dossier.c_str()) != 0) _exit(127);
  unsetenv("AUBRELIS_SANS_XTERM");
  if (!l.path.empty()) setenv("PATH", l.path.c_str(), 1);
  for (const std::string& v : l.variables) putenv(strdup(v.c_str()));
  std::vector<char*> argv;
  for (const std::string& a : l.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

int attend_fin(pid_t pid, bool tuer) {
  if (tuer) kill(pid, SIGKILL);
  int statut = 0;
  while (waitpid(pid, &statut, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(statut) && !tuer ? WEXITSTATUS(statut) : -1;
}

// Reads what is available within `ms`; false once the other side is closed.
bool lit_disponible(int fd, std::string& sortie, int ms) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return true;
  char tampon[4096];
  const ssize_t n = read(fd, tampon, sizeof tampon);
  if (n <= 0) return false;
  sortie.append(tampon, static_cast<std::size_t>(n));
  return true;
}

}  // namespace

execution lance_sous_terminal(const lancement& l,
                              const std::vector<std::pair<std::string, std::string>>& dialogue) {
  termios t{};
  t.c_iflag = ICRNL;
  t.c_oflag = 0;  // no "\n" to "\r\n": the bytes read are the program's
  t.c_cflag = CS8 | CREAD;
  t.c_lflag = ICANON | ISIG;
  t.c_cc[VINTR] = 3;
  t.c_cc[VEOF] = 4;
  t.c_cc[VMIN] = 1;
  cfsetispeed(&t, B38400);
  cfsetospeed(&t, B38400);
  winsize w{24, 80, 0, 0};
  int maitre = -1;
  const pid_t pid = forkpty(&maitre, nullptr, &t, &w);
  if (pid < 0) throw std::runtime_error("forkpty");
  if (pid == 0) execute(l);

  execution r;
  std::size_t etape = 0;
  std::size_t depuis = 0;
  const auto limite = horloge::now() + std::chrono::seconds(l.delai_secondes);
  bool ouvert = true;
  while (ouvert && horloge::now() < limite) {
    ouvert = lit_disponible(maitre, r.sortie, 100);
    if (etape < dialogue.size()) {
      const std::size_t trouve = r.sortie.find(dialogue[etape].first, depuis);
      if (trouve != std::string::npos) {
        // Still running a moment later: it is waiting for the answer.
        usleep(300 * 1000);
        int statut = 0;
        r.attendait.push_back(waitpid(pid, &statut, WNOHANG) == 0);
        const std::string& reponse = dialogue[etape].second;
        if (write(maitre, reponse.data(), reponse.size()) < 0) break;
        depuis = trouve + dialogue[etape].first.size();
        ++etape;
        if (!r.attendait.back()) {
          r.statut = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
          close(maitre);
          return r;
        }
      }
    }
  }
  r.statut = attend_fin(pid, ouvert);
  close(maitre);
  return r;
}

execution lance_sans_terminal(const lancement& l, const std::string& entree) {
  int sortie[2];
  int entree_tube[2];
  if (pipe(sortie) != 0 || pipe(entree_tube) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(entree_tube[0], 0);
    dup2(sortie[1], 1);
    dup2(sortie[1], 2);
    close(entree_tube[0]);
    close(entree_tube[1]);
    close(sortie[0]);
    close(sortie[1]);
    execute(l);
  }
  close(entree_tube[0]);
  close(sortie[1]);
  signal(SIGPIPE, SIG_IGN);
  if (!entree.empty() && write(entree_tube[1], entree.data(), entree.size()) < 0) {
    // the child may have ended already; what it printed tells
  }
  close(entree_tube[1]);
  execution r;
  const auto limite = horloge::now() + std::chrono::seconds(l.delai_secondes);
  bool ouvert = true;
  while (ouvert && horloge::now() < limite) ouvert = lit_disponible(sortie[0], r.sortie, 100);
  r.statut = attend_fin(pid, ouvert);
  close(sortie[0]);
  return r;
}

