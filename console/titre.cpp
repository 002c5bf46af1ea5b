#include "console/titre.hpp"

#include <fcntl.h>
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

bool caractere_ordinaire(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || u >= 0x80 ||
         std::strchr("/._-,+=:@%^", c) != nullptr;
}

// Outside quotes every character that the shell would read is escaped, except
// the blanks, which still split the arguments as they always did.
std::string echappe_arguments(std::string_view texte) {
  std::string resultat;
  for (char c : texte) {
    if (c == ' ' || c == '\t' || caractere_ordinaire(c)) {
      resultat += c;
    } else if (c == '\n') {
      resultat += "'\n'";  // a backslash before a line feed would remove it
    } else {
      resultat += '\\';
      resultat += c;
    }
  }
  return resultat;
}

// Writes the notice into a file that was not there before: "temp.tmp" when it
// does not exist yet, a fresh file in /tmp otherwise, so that nothing of the
// user's is overwritten or deleted.
void affiche_avis_sans_xterm() {
  std::string fichier = "temp.tmp";
  const int fd = open(fichier.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd >= 0) {
    close(fd);
  } else {
    char modele[] = "/tmp/aubrelis-avis-XXXXXX.txt";
    const int autre = mkstemps(modele, 4);
    if (autre < 0) return;
    close(autre);
    fichier = modele;
  }
  const std::string cible = fichier == "temp.tmp" ? fichier : "\"" + echappe_entre_guillemets(fichier) + "\"";
  const char* const premiere =
      "echo \"xterm n'a pas été trouvé, il est nécessaire pour une utilisation de Aubrelis hors terminal.\" > "_l1;
  const char* const seconde = "echo \"Sans xterm, Aubrelis doit être exécuté depuis le terminal.\" >> "_l1;
  const std::string commandes[] = {premiere + cible, seconde + cible, "xdg-open " + cible, "rm " + cible};
  for (const std::string& commande : commandes) {
    std::fflush(stdout);
    [[maybe_unused]] const int ignore = std::system(commande.c_str());
  }
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
  const std::size_t dernier = programme.rfind('/');
  if (dernier == std::string::npos) {
    // Found through the search path, as from a desktop launcher: start again
    // in the working directory, where the user can write "Erreur.log" and
    // where relative paths keep their meaning, and reach the real file from
    // there. The working directory has no symbolic link in it, so going up
    // once per component leads to the root.
    if (executable.empty() || executable[0] != '/') return {courant, "/" + programme};
    std::string nom;
    if (courant != "/")
      for (char c : courant)
        if (c == '/') nom += "/..";
    return {courant, nom + executable};
  }
  const std::string nom = programme.substr(dernier);
  if (programme[0] == '/') return {programme.substr(0, dernier), nom};
  return {courant, nom};
}

std::string commande_relance(std::string_view repertoire, std::string_view nom, std::string_view arguments) {
  return "cd \"" + echappe_entre_guillemets(repertoire) + "\"; \"." + echappe_entre_guillemets(nom) + "\" " +
         echappe_arguments(arguments);
}

std::string cadre_titre(const char* entete) {
  const std::string titre(entete, std::min<std::size_t>(std::strlen(entete), 76));
  const int n = static_cast<int>(titre.size());
  const int gauche = (79 - n) / 2;
  const int droite = 77 - n - gauche;
  char converti[TAILLE_CHFUNC];
  acc(titre.c_str(), converti, sizeof converti);
  std::string cadre;
  cadre += "</" + std::string(76, '-') + "\\>\n";
  cadre += "/" + std::string(78, ' ') + "\\\n";
  cadre += "|" + std::string(static_cast<std::size_t>(gauche), ' ') + converti +
           std::string(static_cast<std::size_t>(droite + 1), ' ') + "|\n";
  cadre += "\\" + std::string(78, ' ') + "/\n";
  cadre += "<\\" + std::string(76, '-') + "/>\n";
  cadre += "< q permet de quitter le programme. >\n";
  return cadre;
}

void startxterm(int argc, char** argv, const char* titre_fenetre, const char* couleurs) {
  const bool force = argc > 1 && std::strcmp(argv[1], "swxterm") == 0;
  if (std::getenv(VARIABLE_SANS_XTERM) != nullptr) {
    // A copy restarted after a failed window: never try the window again.
    unsetenv(VARIABLE_SANS_XTERM);
    return;
  }
  if (isatty(1) && !force) return;

  const couleurs_fenetre c = couleurs_xterm(couleurs);
  const chemin_programme chemin =
      decoupe_chemin_programme(argc > 0 ? argv[0] : "", repertoire_courant(), executable_reel());

  static std::string nom_programme;
  nom_programme = chemin.nom;
  if (argc > 0) argv[0] = nom_programme.data();

  std::string arguments;
  const int premier = force ? 2 : 1;
  for (int i = premier; i < argc; ++i) {
    if (i > premier) arguments += ' ';
    arguments += argv[i];
  }
  const std::string commande = commande_relance(chemin.repertoire, chemin.nom, arguments);
  char titre_converti[255];
  linux_acc(titre_fenetre, titre_converti, sizeof titre_converti);

  std::fflush(stdout);
  execlp("xterm", "xterm", "-sb", "-rightbar", "-T", titre_converti, "-bg", c.fond.c_str(), "-fg",
         c.texte.c_str(), "-e", commande.c_str(), static_cast<char*>(nullptr));

  putsacc("\nxterm n'a pas été trouvé, il est conseillé d'installer xterm.\n"_l1);
  if (!isatty(1)) affiche_avis_sans_xterm();
  const std::string complet = chemin.repertoire + chemin.nom;
  std::fflush(stdout);
  setenv(VARIABLE_SANS_XTERM, "1", 1);
  if (arguments.empty())
    execl(complet.c_str(), complet.c_str(), static_cast<char*>(nullptr));
  else
    execl(complet.c_str(), complet.c_str(), arguments.c_str(), static_cast<char*>(nullptr));
  unsetenv(VARIABLE_SANS_XTERM);
}

void Titre(int argc, char** argv, const char* titre_fenetre, const char* entete, const char* couleurs) {
  startxterm(argc, argv, titre_fenetre, couleurs);
  std::fputs(cadre_titre(entete).c_str(), stdout);
}
