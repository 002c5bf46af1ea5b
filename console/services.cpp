#include "console/services.hpp"

#include <cstdlib>
#include <cstring>

#include "console/texte.hpp"

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

std::FILE* ouvre_fichier(const char* chemin, const char* mode) {
  const std::size_t longueur = longueur_convertie(chemin);
  if (longueur + 1 > TAILLE_CHFUNC) {
    putsacc("\n!!! Le chemin du fichier à ouvrir est trop long : une fois converti, il dépasse 4095 octets"_l1);
    Pause();
    std::exit(1);
  }
  char* bloc = verifie_allocation(static_cast<char*>(std::calloc(longueur + 1, 1)));
  linux_acc(chemin, chfunc, TAILLE_CHFUNC);
  std::memcpy(bloc, chfunc, longueur + 1);
  changeslash(bloc);
  std::FILE* flux = std::fopen(bloc, mode);
  if (flux == nullptr) {
    std::printf("\n!!! Une erreur est survenue durant l'ouverture du fichier %s, en mode %s", bloc, mode);
    std::free(bloc);
    Pause();
    std::exit(1);
  }
  std::free(bloc);
  return flux;
}

void changeslash(char* texte) {
  for (; *texte != '\0'; ++texte)
    if (*texte == '\\') *texte = '/';
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
  std::fputs("...", stdout);
  std::fflush(stdout);
  for (int i = 0; i < nombre; ++i)
    if (std::getchar() == EOF) return;
}

}  // namespace

void Pause() { attend_caracteres(1); }
void DPause() { attend_caracteres(2); }
