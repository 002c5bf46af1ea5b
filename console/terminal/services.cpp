#include "services.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "texte.hpp"

std::uintptr_t ER;

void Erreur(int code) {
  if (ER != 0) return;
  if (code == 1) {
    putsacc("\nErreur d'allocation de mémoire, la mémoire vive est insuffisante.\n"_l1);
    std::perror("malloc");
  } else if (code == 2) {
    putsacc("\nErreur lors de la saisie au clavier.\n");
    std::perror("gets");
  }
  DPause();
  std::exit(1);
}

void fin_fatale(const char* message) {
  putsacc(message);
  Pause();
  std::exit(1);
}

namespace {

// `bloc`, when given, holds the name and is released before the pause.
[[noreturn]] void echec_ouverture(const char* nom, const char* mode, char* bloc = nullptr) {
  std::printf("\n!!! Une erreur est survenue durant l'ouverture du fichier %s, en mode %s", nom_visible(nom).c_str(), mode);
  std::free(bloc);
  Pause();
  std::exit(1);
}

// A folder opens for reading but holds no lines: it is no climate file.
[[noreturn]] void refuse_dossier(char* nom) {
  std::printf("\n!!! %s", nom_visible(nom).c_str());
  putsacc(" est un dossier et non un fichier de climat : donnez le chemin du fichier à vérifier"_l1);
  std::free(nom);
  Pause();
  std::exit(1);
}

// What stands under the name of the log instead of a regular file.
[[noreturn]] void refuse_journal(const char* nom, mode_t sorte) {
  std::string message = "\n!!! ";
  message += nom;
  if (S_ISLNK(sorte)) {
    message += " est un lien symbolique : le testeur refuse de le suivre, pour ne jamais écraser le fichier "
               "vers lequel il pointe. Supprimez ce lien ou lancez le testeur depuis un autre dossier"_l1;
    fin_fatale(message.c_str());
  }
  message += " n'est pas un fichier ordinaire mais "_l1;
  if (S_ISDIR(sorte))
    message += "un dossier";
  else if (S_ISFIFO(sorte))
    message += "un tube nommé (FIFO)"_l1;
  else if (S_ISCHR(sorte) || S_ISBLK(sorte))
    message += "un périphérique"_l1;
  else if (S_ISSOCK(sorte))
    message += "une socket";
  else
    message += "un fichier spécial"_l1;
  message += " : le testeur refuse d'y écrire son rapport. Supprimez-le ou lancez le testeur depuis un autre "
             "dossier"_l1;
  fin_fatale(message.c_str());
}

}  // namespace

char* nom_systeme(const char* chemin) {
  // A file that exists under the name as given is that file, whatever a
  // conversion would make of the name (a backslash in it, Latin-1 bytes).
  struct stat etat {};
  const bool existe = lstat(chemin, &etat) == 0;
  const bool tel_quel = existe || utf8_valide(chemin);
  const std::size_t longueur = tel_quel ? std::strlen(chemin) : longueur_convertie(chemin);
  if (longueur + 1 > TAILLE_CHFUNC) return nullptr;
  char* bloc = verifie_allocation(static_cast<char*>(std::calloc(longueur + 1, 1)));
  if (tel_quel) {
    std::memcpy(bloc, chemin, longueur);
  } else {
    linux_acc(chemin, chfunc, TAILLE_CHFUNC);
    std::memcpy(bloc, chfunc, longueur + 1);
  }
  if (!existe) changeslash(bloc);
  return bloc;
}

std::FILE* ouvre_fichier(const char* chemin, const char* mode) {
  char* bloc = nom_systeme(chemin);
  if (bloc == nullptr)
    fin_fatale("\n!!! Le chemin du fichier à ouvrir est trop long : une fois converti, il dépasse 4095 octets"_l1);
  std::FILE* flux = std::fopen(bloc, mode);
  if (flux == nullptr) echec_ouverture(bloc, mode, bloc);
  struct stat etat {};
  if (fstat(fileno(flux), &etat) == 0 && S_ISDIR(etat.st_mode)) refuse_dossier(bloc);
  std::free(bloc);
  return flux;
}

int ouvre_journal(const char* nom, const char* climat) {
  // Looked at before it is opened, so that a device or a FIFO is never
  // opened at all, and again through the descriptor, in case it was
  // replaced in between.
  struct stat etat {};
  if (lstat(nom, &etat) == 0 && !S_ISREG(etat.st_mode)) refuse_journal(nom, etat.st_mode);
  // The climate file as it is before the log is created: a log that does not
  // exist yet is not the climate file, even when both have the same name.
  struct stat fichier {};
  const bool climat_present = climat != nullptr && stat(climat, &fichier) == 0;
  const int journal = open(nom, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (journal < 0) {
    if (lstat(nom, &etat) == 0 && !S_ISREG(etat.st_mode)) refuse_journal(nom, etat.st_mode);
    echec_ouverture(nom, "w");
  }
  if (fstat(journal, &etat) != 0) echec_ouverture(nom, "w");
  if (!S_ISREG(etat.st_mode)) {
    close(journal);
    refuse_journal(nom, etat.st_mode);
  }
  const std::string n = nom;
  const auto refuse = [journal](const std::string& message) {
    close(journal);
    fin_fatale(("\n!!! "_l1 + message).c_str());
  };
  if (climat_present && fichier.st_dev == etat.st_dev && fichier.st_ino == etat.st_ino)
    refuse("Le fichier de climat est "_l1 + n +
           " lui-même : le vider pour y écrire le rapport effacerait le fichier à vérifier. Renommez le "
           "fichier de climat ou lancez le testeur depuis un autre dossier"_l1);
  // A second name means another file of the user's, elsewhere, that
  // emptying the log would empty too.
  if (etat.st_nlink > 1)
    refuse(n + " est un lien physique vers un autre fichier : le vider pour y écrire le rapport effacerait ce "
               "fichier. Supprimez "_l1 + n +
           " (l'autre nom garde le fichier) ou lancez le testeur depuis un autre dossier"_l1);
  // Held until the log is closed: a second check started in the same folder
  // meanwhile is refused instead of mixing its findings into this report.
  if (flock(journal, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    refuse(n + " est en cours d'écriture par une autre vérification lancée depuis ce dossier : attendez "
               "qu'elle se termine ou lancez le testeur depuis un autre dossier"_l1);
  if (ftruncate(journal, 0) != 0) echec_ouverture(nom, "w");
  return journal;
}

void ecrit_journal(int journal, const char* octets, std::size_t taille) {
  while (taille > 0) {
    const ssize_t n = write(journal, octets, taille);
    if (n <= 0) {
      const int erreur = n < 0 ? errno : ENOSPC;
      fin_fatale(("\n!!! Erreur.log est incomplet : l'écriture d'un constat a échoué ("_l1 + raison_ecriture(erreur) +
                  "). La vérification s'arrête ici"_l1)
                     .c_str());
    }
    octets += n;
    taille -= static_cast<std::size_t>(n);
  }
}

void ferme_journal(int journal) {
  if (close(journal) != 0)
    fin_fatale(("\n!!! Erreur.log est incomplet : sa fermeture a échoué ("_l1 + raison_ecriture(errno) +
                "). La vérification s'arrête ici"_l1)
                   .c_str());
}

void changeslash(char* texte) {
  for (; *texte != '\0'; ++texte)
    if (*texte == '\\') *texte = '/';
}

int ouvre_descripteurs_standard() {
  int fermes = 0;
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    fermes |= 1 << fd;
    // The lowest free descriptor is this one.
    const int nul = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (nul >= 0 && nul != fd) close(nul);
  }
  return fermes;
}

char* getsdyn(std::FILE* flux, int arret) {
  const int fin = arret == 0 ? '\n' : static_cast<unsigned char>(arret);
  std::size_t taille = 100;
  char* bloc = verifie_allocation(static_cast<char*>(std::calloc(taille, 1)));
  std::fflush(stdout);  // a prompt without a line feed must show before the wait
  std::size_t n = 0;
  for (int c = std::fgetc(flux); c != EOF && c != fin; c = std::fgetc(flux)) {
    if (++n > taille) {
      taille += 100;
      bloc = verifie_allocation(static_cast<char*>(std::realloc(bloc, taille)));
    }
    bloc[n - 1] = static_cast<char>(c);
  }
  // The end of the stream ends the answer like the stop character would.
  taille += 100;
  bloc = verifie_allocation(static_cast<char*>(std::realloc(bloc, taille)));
  if (n > 0 && bloc[n - 1] == '\n') --n;
  bloc[n] = '\0';
  return bloc;
}

namespace {

void attend_caracteres(int nombre) {
  // After an end of input typed at the prompt (Ctrl-D), a terminal can still
  // give a key: the message waits for it instead of vanishing with the window.
  std::clearerr(stdin);
  std::fputs("...", stdout);
  std::fflush(stdout);
  for (int i = 0; i < nombre; ++i)
    if (std::getchar() == EOF) return;
}

}  // namespace

void Pause() { attend_caracteres(1); }
void DPause() { attend_caracteres(2); }
