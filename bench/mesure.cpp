// Runs a command with its input and output on /dev/null and prints its wall
// time in seconds and its peak resident memory in KiB. A small process of its
// own, so that the peak measured is the command's and not the caller's.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage : mesure commande [arguments...]\n");
    return 2;
  }
  const auto debut = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int nul = open("/dev/null", O_RDWR);
    dup2(nul, 0);
    dup2(nul, 1);
    dup2(nul, 2);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int statut = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &statut, 0, &usage) < 0) return 2;
  const std::chrono::duration<double> duree = std::chrono::steady_clock::now() - debut;
  std::printf("%.6f %ld\n", duree.count(), usage.ru_maxrss);
  return WIFEXITED(statut) ? WEXITSTATUS(statut) : 2;
}
