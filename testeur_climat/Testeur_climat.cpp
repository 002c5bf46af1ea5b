// Climate file tester of Aubrelis: checks a climate file line by line and
// reports every mistake on the console and in "Erreur.log".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "console/services.hpp"
#include "console/texte.hpp"
#include "console/titre.hpp"
#include "testeur_climat/passe.hpp"

namespace {

int teste_fichier(int argc, char** argv) {
  int erreurs = 0;
  int avertissements = 0;
  char* chemin = nullptr;

  Titre(argc, argv, "Testeur de fichier de climat", "Programme de test de fichier de climat", "F8");

  if (argc > 1) {
    const std::size_t longueur = std::strlen(argv[1]);
    chemin = verifie_allocation(static_cast<char*>(std::calloc(std::max(2 * longueur, longueur + 1), 1)));
    std::memcpy(chemin, argv[1], longueur);
  } else {
    putsacc("Entrez le nom complet du fichier de climat à vérifier\n?: "_l1);
    chemin = getsdyn(stdin, 0);
  }

  std::fclose(ouvre_fichier("Erreur.log", "w"));
  std::FILE* climat = ouvre_fichier(chemin, "r");
  putsacc("Test du fichier de climat en cours.\n");
  putsacc("\n");

  moteur_principal(climat, &erreurs, &avertissements);
  std::fclose(climat);

  if (erreurs != 0)
    std::printf("\n!!! Le fichier de climat contient %d erreurs\n", erreurs);
  else
    putsacc("\nLe fichier de climat ne contient aucune erreur.\n");
  if (avertissements != 0)
    std::printf("! Le fichier de climat contient %d avertissements\n", avertissements);
  else
    putsacc("Le fichier de climat ne contient aucun avertissement.\n");

  std::free(chemin);
  Pause();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return teste_fichier(argc, argv);
  } catch (const std::bad_alloc&) {
    ER = 0;
    Erreur(1);
  }
  return 1;
}
