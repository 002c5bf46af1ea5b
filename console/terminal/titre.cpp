#include "titre.hpp"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "services.hpp"
#include "texte.hpp"

namespace {

constexpr std::array<const char*, 16> COULEURS = {
    "black", "navy",   "green4", "cyan4", "red4",  "DarkMagenta", "yellow4",  "grey75",
    "grey50", "blue1", "green",  "cyan1", "red1",  "magenta1",    "yellow1",  "white",
};

// A character that is not a hexadecimal digit keeps xterm's own colour for
// that side, so the text stays readable.
std::string nom_couleur(char chiffre, const char* par_defaut) {
  if (chiffre >= '0' && chiffre <= '9') return COULEURS[static_cast<std::size_t>(chiffre - '0')];
  if (chiffre >= 'A' && chiffre <= 'F') return COULEURS[static_cast<std::size_t>(chiffre - 'A' + 10)];
  if (chiffre >= 'a' && chiffre <= 'f') return COULEURS[static_cast<std::size_t>(chiffre - 'a' + 10)];
  return par_defaut;
}

constexpr const char* FOND_PAR_DEFAUT = "white";
constexpr const char* TEXTE_PAR_DEFAUT = "black";
constexpr std::size_t TAILLE_NOM_COULEUR = 100;

// Set in the environment of the direct restart that follows a window that
// could not be opened: the restarted program runs without a window.
constexpr const char* MARQUE_SANS_FENETRE = "AUBRELIS_INTERNE_SANS_FENETRE";

// Told to the program in the window: a file in which it records that it
// started, then its exit status, for the process that opened the window.
constexpr const char* MARQUE_TEMOIN = "AUBRELIS_INTERNE_TEMOIN";
constexpr const char* MODELE_TEMOIN = "/tmp/aubrelis-temoin-XXXXXX";

// The only argument of a copy in the window that was given none, which that
// copy takes out again.
constexpr const char* SEUL_DANS_LA_FENETRE = "--aubrelis-fenetre-sans-argument";

bool connecte(int famille, const sockaddr* adresse, socklen_t taille) {
  const int s = socket(famille, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (s < 0) return false;
  bool accepte = connect(s, adresse, taille) == 0;
  if (!accepte && errno == EINPROGRESS) {
    // A distant display gets two seconds to answer.
    pollfd p{s, POLLOUT, 0};
    int erreur = 0;
    socklen_t longueur = sizeof erreur;
    accepte = poll(&p, 1, 2000) == 1 && getsockopt(s, SOL_SOCKET, SO_ERROR, &erreur, &longueur) == 0 && erreur == 0;
  }
  close(s);
  return accepte;
}

// Whether an X server accepts a connection on the display: a stale DISPLAY
// (over ssh, in tmux) would give a window that dies at once.
bool affichage_repond(const std::string& affichage) {
  const std::size_t deux_points = affichage.rfind(':');
  if (deux_points == std::string::npos) return false;
  const std::string hote = affichage.substr(0, deux_points);
  const char* numero = affichage.c_str() + deux_points + 1;
  if (!(*numero >= '0' && *numero <= '9')) return false;
  const long n = std::strtol(numero, nullptr, 10);
  if (n > 59535) return false;
  if (hote.empty() || hote == "unix") {
    // The X server listens on an abstract socket and on a file of the same name.
    for (const bool abstraite : {true, false}) {
      sockaddr_un a{};
      a.sun_family = AF_UNIX;
      const int taille = std::snprintf(a.sun_path + abstraite, sizeof a.sun_path - 1, "/tmp/.X11-unix/X%ld", n);
      const auto longueur = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + abstraite + static_cast<std::size_t>(taille));
      if (connecte(AF_UNIX, reinterpret_cast<const sockaddr*>(&a), longueur)) return true;
    }
    return false;
  }
  addrinfo voulu{};
  voulu.ai_socktype = SOCK_STREAM;
  addrinfo* adresses = nullptr;
  if (getaddrinfo(hote.c_str(), std::to_string(6000 + n).c_str(), &voulu, &adresses) != 0) return false;
  bool repond = false;
  for (const addrinfo* a = adresses; a != nullptr && !repond; a = a->ai_next)
    repond = connecte(a->ai_family, a->ai_addr, a->ai_addrlen);
  freeaddrinfo(adresses);
  return repond;
}

// Whether a name is one that mkstemp made from MODELE_TEMOIN: the fixed
// part, then six letters or digits, and nothing else.
bool nom_de_temoin(std::string_view nom) {
  const std::string_view modele = MODELE_TEMOIN;
  const std::size_t fixe = modele.size() - 6;
  if (nom.size() != modele.size() || nom.substr(0, fixe) != modele.substr(0, fixe)) return false;
  for (char c : nom.substr(fixe))
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

// In the program that a window started: records its start, and its status
// when it ends. A window closed by the user does not end the check: the
// log is completed and the status still recorded. Returns whether this
// program is that copy.
bool marque_le_temoin() {
  const char* temoin = std::getenv(MARQUE_TEMOIN);
  if (temoin == nullptr) return false;
  const std::string nom = temoin;
  unsetenv(MARQUE_TEMOIN);
  if (!nom_de_temoin(nom)) return false;
  static int descripteur = -1;
  descripteur = open(nom.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (descripteur < 0 || write(descripteur, "D", 1) != 1) return false;
  std::signal(SIGHUP, SIG_IGN);
  on_exit(
      [](int statut, void*) {
        const std::string texte = std::to_string(statut);
        [[maybe_unused]] const ssize_t n = write(descripteur, texte.data(), texte.size());
      },
      nullptr);
  return true;
}

// Starts xterm as a child and waits for it. When the check ran in the
// window, ends this process with the check's status; otherwise returns the
// reason xterm could not be started, or 0 when it ended without starting
// the check (a display that refused it, a window closed at once).
int lance_fenetre(char* const* arguments) {
  std::string nom_temoin = MODELE_TEMOIN;
  char* const temoin = nom_temoin.data();
  // Never inherited by xterm: the copy in the window opens it by its name.
  const int fd_temoin = mkostemp(temoin, O_CLOEXEC);
  if (fd_temoin < 0) return 0;
  int tube[2];
  if (pipe2(tube, O_CLOEXEC) != 0) {
    const int erreur = errno;
    close(fd_temoin);
    unlink(temoin);
    return erreur;
  }
  setenv(MARQUE_TEMOIN, temoin, 1);
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    execvp("xterm", arguments);
    const int erreur = errno;
    [[maybe_unused]] const ssize_t n = write(tube[1], &erreur, sizeof erreur);
    _exit(127);
  }
  int erreur = pid < 0 ? errno : 0;
  unsetenv(MARQUE_TEMOIN);
  close(tube[1]);
  if (pid > 0 && read(tube[0], &erreur, sizeof erreur) != sizeof erreur) erreur = 0;
  close(tube[0]);
  // No handler is installed here, so the wait is never interrupted.
  if (pid > 0) waitpid(pid, nullptr, 0);
  char recu[32] = {};
  const ssize_t n = pread(fd_temoin, recu, sizeof recu - 1, 0);
  close(fd_temoin);
  unlink(temoin);
  if (erreur != 0) return erreur;
  if (n > 0 && recu[0] == 'D') std::exit(n > 1 ? std::atoi(recu + 1) : 1);
  return 0;
}

// The program's own file, by its absolute path, or empty when it cannot be
// named for sure (no /proc, a file deleted or replaced since it started):
// the window then cannot run it, and the check runs here.
std::string executable_reel() {
  char tampon[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", tampon, sizeof tampon - 1);
  if (n <= 0 || tampon[0] != '/') return {};
  const std::string chemin(tampon, static_cast<std::size_t>(n));
  struct stat par_nom {};
  struct stat lance {};
  if (stat(chemin.c_str(), &par_nom) != 0 || stat("/proc/self/exe", &lance) != 0 || par_nom.st_dev != lance.st_dev ||
      par_nom.st_ino != lance.st_ino)
    return {};
  return chemin;
}

// Inside double quotes the shell still reads $, `, " and \.
std::string echappe_entre_guillemets(std::string_view texte) {
  std::string resultat;
  for (char c : texte) {
    if (c == '$' || c == '`' || c == '"' || c == '\\') resultat += '\\';
    resultat += c;
  }
  return resultat;
}

// Why xterm could not be started, as the notice says it.
std::string raison_echec(int erreur) {
  switch (erreur) {
    case EACCES:
      return "le fichier xterm trouvé n'est pas exécutable, vérifiez son installation"_l1;
    case E2BIG:
      return "la liste de ses arguments est trop longue"_l1;
    case ENOEXEC:
      return "le fichier xterm trouvé n'est pas un programme, vérifiez son installation"_l1;
    case ENOMEM:
      return "la mémoire est insuffisante"_l1;
    default:
      return "erreur du système : "_l1 + raison_systeme(erreur);
  }
}

// Shows a two-line notice with the desktop's viewer. The notice is written
// through the descriptor of a file that this call created, "temp.tmp" when
// no such file exists yet, a fresh file in /tmp otherwise: a file of the
// user's, or a link put in its place, is never written, followed or deleted.
void affiche_avis(const std::string& premiere_ligne) {
  std::string fichier = "temp.tmp";
  int fd = open(fichier.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    char modele[] = "/tmp/aubrelis-avis-XXXXXX.txt";
    fd = mkstemps(modele, 4);
    if (fd < 0) return;
    fichier = modele;
  }
  std::string avis = premiere_ligne;
  avis += '\n';
  avis += "Sans xterm, Aubrelis doit être exécuté depuis le terminal.\n"_l1;
  [[maybe_unused]] const ssize_t ecrit = write(fd, avis.data(), avis.size());
  struct stat notre {};
  fstat(fd, &notre);

  std::string cible = fichier;
  if (fichier != "temp.tmp") {
    cible = '"';
    cible += echappe_entre_guillemets(fichier);
    cible += '"';
  }
  std::fflush(stdout);
  [[maybe_unused]] int ignore = std::system(("xdg-open " + cible).c_str());
  // Deleted only if the name still leads to the file written above.
  struct stat maintenant {};
  if (lstat(fichier.c_str(), &maintenant) == 0 && maintenant.st_dev == notre.st_dev &&
      maintenant.st_ino == notre.st_ino)
    ignore = std::system(("rm " + cible).c_str());
  close(fd);
}

// Takes the relaunch switch out of the argument vector.
bool retire_switch(int& argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "swxterm") != 0) return false;
  for (int i = 1; i < argc; ++i) argv[i] = argv[i + 1];
  --argc;
  return true;
}

bool affichage_present() {
  const char* affichage = std::getenv("DISPLAY");
  return affichage != nullptr && affichage[0] != '\0';
}

// Says why xterm could not be started, on the console and, outside a
// terminal, in a notice shown with the desktop's viewer.
void signale_echec_xterm(int erreur) {
  if (erreur == ENOENT) {
    putsacc("\nxterm n'a pas été trouvé, il est conseillé d'installer xterm.\n"_l1);
    if (!isatty(1))
      affiche_avis("xterm n'a pas été trouvé, il est nécessaire pour une utilisation de Aubrelis hors terminal."_l1);
    return;
  }
  const std::string raison = raison_echec(erreur);
  putsacc(("\nxterm n'a pas pu être lancé : "_l1 + raison + ".\n").c_str());
  if (!isatty(1))
    affiche_avis("xterm n'a pas pu être lancé : "_l1 + raison +
                 ". Il est nécessaire pour une utilisation de Aubrelis hors terminal."_l1);
}

// The same program again, without a window, with the arguments as given;
// returns only when it cannot be started.
void relance_sans_fenetre(const std::string& complet, int argc, char** argv) {
  std::vector<char*> relance = {const_cast<char*>(complet.c_str())};
  for (int i = 1; i < argc; ++i) relance.push_back(argv[i]);
  relance.push_back(nullptr);
  std::fflush(stdout);
  setenv(MARQUE_SANS_FENETRE, "1", 1);
  execv(complet.c_str(), relance.data());
  unsetenv(MARQUE_SANS_FENETRE);
}

}  // namespace

couleurs_fenetre couleurs_xterm(const char* code) {
  couleurs_fenetre c;
  if (std::strlen(code) == 2) {
    c.fond = nom_couleur(code[0], FOND_PAR_DEFAUT);
    c.texte = nom_couleur(code[1], TEXTE_PAR_DEFAUT);
    return c;
  }
  std::string fond(code, std::min(std::strlen(code), TAILLE_NOM_COULEUR - 1));
  int positions[TAILLE_INDEX];
  if (index_ch(fond.c_str(), ":", positions) > 0) fond.resize(static_cast<std::size_t>(positions[0]));
  const char* deux_points = std::strchr(code, ':');
  std::string texte = deux_points == nullptr ? "" : deux_points + 1;
  if (texte.size() > TAILLE_NOM_COULEUR - 1) texte.resize(TAILLE_NOM_COULEUR - 1);
  // A code without ":" names the background only; an empty name keeps
  // xterm's own colour for that side.
  c.fond = fond.empty() ? FOND_PAR_DEFAUT : fond;
  c.texte = texte.empty() ? TEXTE_PAR_DEFAUT : texte;
  return c;
}

std::vector<std::string> arguments_fenetre(const char* titre_converti, const couleurs_fenetre& c,
                                           const std::string& programme, const std::vector<std::string_view>& arguments) {
  std::vector<std::string> r = {"xterm", "-sb", "-rightbar", "-T", titre_converti, "-bg", c.fond, "-fg", c.texte, "-e",
                                programme};
  r.insert(r.end(), arguments.begin(), arguments.end());
  // A lone program after -e is handed to the user's shell when xterm cannot
  // run it: the program never comes alone.
  if (arguments.empty()) r.emplace_back(SEUL_DANS_LA_FENETRE);
  return r;
}

std::string cadre_titre(const char* entete) {
  // Each line of the frame is LARGEUR wide: the heading fits in the
  // LARGEUR - 4 columns between its bars and the blanks around it.
  constexpr int LARGEUR = 80;
  const std::string titre(entete, std::min<std::size_t>(std::strlen(entete), LARGEUR - 4));
  const int n = static_cast<int>(titre.size());
  const int gauche = (LARGEUR - 1 - n) / 2;
  const int droite = LARGEUR - 3 - n - gauche;
  char converti[TAILLE_CHFUNC];
  acc(titre.c_str(), converti, sizeof converti);
  const auto tirets = static_cast<std::size_t>(LARGEUR - 4);
  const auto blancs = static_cast<std::size_t>(LARGEUR - 2);
  std::string cadre = "</";
  cadre.append(tirets, '-').append("\\>\n/").append(blancs, ' ').append("\\\n|");
  cadre.append(static_cast<std::size_t>(gauche), ' ').append(converti);
  cadre.append(static_cast<std::size_t>(droite + 1), ' ').append("|\n\\").append(blancs, ' ').append("/\n<\\");
  cadre.append(tirets, '-').append("/>\n< q permet de quitter le programme. >\n");
  return cadre;
}

void startxterm(int& argc, char** argv, const char* titre_fenetre, const char* couleurs) {
  const bool force = retire_switch(argc, argv);
  if (std::getenv(MARQUE_SANS_FENETRE) != nullptr) {
    // A copy restarted after a failed window: never try the window again.
    unsetenv(MARQUE_SANS_FENETRE);
    return;
  }
  if (marque_le_temoin() && argc == 2 && std::strcmp(argv[1], SEUL_DANS_LA_FENETRE) == 0) {
    argv[1] = nullptr;
    argc = 1;
  }
  if (isatty(1) && !force) return;
  // Without a display that answers there is no window to open and no
  // desktop to show a notice on; without its own file, the window could
  // not run the program: the check runs here, at once.
  if (!affichage_present() || !affichage_repond(std::getenv("DISPLAY"))) return;
  const std::string programme = executable_reel();
  if (programme.empty()) return;

  static std::string nom_programme;
  nom_programme = programme.substr(programme.rfind('/'));
  if (argc > 0) argv[0] = nom_programme.data();

  const std::vector<std::string_view> arguments(argv + 1, argv + std::max(argc, 1));
  char titre_converti[255];
  linux_acc(titre_fenetre, titre_converti, sizeof titre_converti);
  const std::vector<std::string> fenetre = arguments_fenetre(titre_converti, couleurs_xterm(couleurs), programme, arguments);
  std::vector<char*> arguments_xterm;
  for (const std::string& a : fenetre) arguments_xterm.push_back(const_cast<char*>(a.c_str()));
  arguments_xterm.push_back(nullptr);
  const int erreur = lance_fenetre(arguments_xterm.data());
  if (erreur == 0) {
    putsacc("\nLa fenêtre xterm s'est fermée sans lancer la vérification : elle se fait ici.\n"_l1);
    return;
  }
  signale_echec_xterm(erreur);
  relance_sans_fenetre(programme, argc, argv);
}

void Titre(int& argc, char** argv, const char* titre_fenetre, const char* entete, const char* couleurs) {
  startxterm(argc, argv, titre_fenetre, couleurs);
  std::fputs(cadre_titre(entete).c_str(), stdout);
}
