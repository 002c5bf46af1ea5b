#include "console/titre.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/texte.hpp"

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

std::string repertoire_courant() {
  char tampon[4096];
  if (getcwd(tampon, sizeof tampon) == nullptr) return ".";
  return tampon;
}

std::string executable_reel() {
  char tampon[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", tampon, sizeof tampon - 1);
  if (n <= 0) return {};
  return std::string(tampon, static_cast<std::size_t>(n));
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

// Characters that the shell reads as themselves anywhere in a word.
bool caractere_ordinaire(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || u >= 0x80 ||
         std::strchr("/._-,+=:@%", c) != nullptr;
}

// An ordinary argument is written as it is; any other one between single
// quotes, so that it reaches the program whole, blanks and all, and the shell
// runs nothing in it.
std::string argument_pour_le_shell(std::string_view argument) {
  bool ordinaire = !argument.empty();
  for (char c : argument) ordinaire = ordinaire && caractere_ordinaire(c);
  if (ordinaire) return std::string(argument);
  std::string resultat = "'";
  for (char c : argument) {
    if (c == '\'')
      resultat += "'\\''";
    else
      resultat += c;
  }
  resultat += '\'';
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
      return "erreur du système : "_l1 + std::string(std::strerror(erreur));
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

chemin_programme decoupe_chemin_programme(const std::string& programme, const std::string& courant,
                                          const std::string& executable) {
  // The window starts where the program was started, so that relative paths
  // keep their meaning and "Erreur.log" lands where the user expects it; the
  // program is reached from there by its real file. The working directory
  // has no symbolic link in it, so going up once per component leads to the
  // root.
  std::string vers_la_racine;
  if (courant != "/")
    for (char c : courant)
      if (c == '/') vers_la_racine += "/..";
  const std::string& vrai = !executable.empty() && executable[0] == '/' ? executable : programme;
  if (vrai.empty() || vrai[0] != '/') return {courant, "/" + vrai};
  if (courant != "/" && vrai.compare(0, courant.size() + 1, courant + "/") == 0)
    return {courant, vrai.substr(courant.size())};
  return {courant, vers_la_racine + vrai};
}

std::string commande_relance(std::string_view repertoire, std::string_view nom,
                             const std::vector<std::string_view>& arguments) {
  std::string commande = "cd \"";
  commande += echappe_entre_guillemets(repertoire);
  commande += "\"; \".";
  commande += echappe_entre_guillemets(nom);
  commande += "\" ";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) commande += ' ';
    commande += argument_pour_le_shell(arguments[i]);
  }
  return commande;
}

std::string cadre_titre(const char* entete) {
  const std::string titre(entete, std::min<std::size_t>(std::strlen(entete), 76));
  const int n = static_cast<int>(titre.size());
  const int gauche = (79 - n) / 2;
  const int droite = 77 - n - gauche;
  char converti[TAILLE_CHFUNC];
  acc(titre.c_str(), converti, sizeof converti);
  std::string cadre = "</";
  cadre.append(76, '-').append("\\>\n/").append(78, ' ').append("\\\n|");
  cadre.append(static_cast<std::size_t>(gauche), ' ').append(converti);
  cadre.append(static_cast<std::size_t>(droite + 1), ' ').append("|\n\\").append(78, ' ').append("/\n<\\");
  cadre.append(76, '-').append("/>\n< q permet de quitter le programme. >\n");
  return cadre;
}

void startxterm(int& argc, char** argv, const char* titre_fenetre, const char* couleurs) {
  const bool force = retire_switch(argc, argv);
  if (std::getenv(MARQUE_SANS_FENETRE) != nullptr) {
    // A copy restarted after a failed window: never try the window again.
    unsetenv(MARQUE_SANS_FENETRE);
    return;
  }
  if (isatty(1) && !force) return;
  // Without a display there is no window to open and no desktop to show a
  // notice on: the check runs here, at once.
  if (!affichage_present()) return;

  const couleurs_fenetre c = couleurs_xterm(couleurs);
  const chemin_programme chemin =
      decoupe_chemin_programme(argc > 0 ? argv[0] : "", repertoire_courant(), executable_reel());
  const std::string complet = chemin.repertoire + chemin.nom;
  static std::string nom_programme;
  nom_programme = chemin.nom;
  if (argc > 0) argv[0] = nom_programme.data();

  const std::vector<std::string_view> arguments(argv + 1, argv + std::max(argc, 1));
  const std::string commande = commande_relance(chemin.repertoire, chemin.nom, arguments);
  char titre_converti[255];
  linux_acc(titre_fenetre, titre_converti, sizeof titre_converti);

  std::fflush(stdout);
  execlp("xterm", "xterm", "-sb", "-rightbar", "-T", titre_converti, "-bg", c.fond.c_str(), "-fg",
         c.texte.c_str(), "-e", commande.c_str(), static_cast<char*>(nullptr));
  const int erreur = errno;

  if (erreur == ENOENT) {
    putsacc("\nxterm n'a pas été trouvé, il est conseillé d'installer xterm.\n"_l1);
    if (!isatty(1))
      affiche_avis("xterm n'a pas été trouvé, il est nécessaire pour une utilisation de Aubrelis hors terminal."_l1);
  } else {
    const std::string raison = raison_echec(erreur);
    putsacc(("\nxterm n'a pas pu être lancé : "_l1 + raison + ".\n").c_str());
    if (!isatty(1))
      affiche_avis("xterm n'a pas pu être lancé : "_l1 + raison +
                   ". Il est nécessaire pour une utilisation de Aubrelis hors terminal."_l1);
  }

  // The same program again, without a window, with the arguments as given.
  std::vector<char*> relance = {const_cast<char*>(complet.c_str())};
  for (int i = 1; i < argc; ++i) relance.push_back(argv[i]);
  relance.push_back(nullptr);
  std::fflush(stdout);
  setenv(MARQUE_SANS_FENETRE, "1", 1);
  execv(complet.c_str(), relance.data());
  unsetenv(MARQUE_SANS_FENETRE);
}

void Titre(int& argc, char** argv, const char* titre_fenetre, const char* entete, const char* couleurs) {
  startxterm(argc, argv, titre_fenetre, couleurs);
  std::fputs(cadre_titre(entete).c_str(), stdout);
}
