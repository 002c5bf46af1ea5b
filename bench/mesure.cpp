// Runs a command with its input and output on /dev/null (and without a
// display, so the checker works in place) and prints the CPU time it used, in
// seconds (user and system), and its peak resident memory in KiB. A process
// of its own, so that the figures are the command's and not the caller's.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage : mesure commande [arguments...]\n");
    return 2;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    const int nul = open("/dev/null", O_RDWR);
    dup2(nul, 0);
    dup2(nul, 1);
    dup2(nul, 2);
    unsetenv("DISPLAY");
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int statut = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &statut, 0, &usage) < 0) return 2;
  const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::printf("%.6f %ld\n", cpu, usage.ru_maxrss);
  return WIFEXITED(statut) ? WEXITSTATUS(statut) : 2;
}
