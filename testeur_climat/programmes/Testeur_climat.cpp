// Climate file tester of Aubrelis: checks a climate file line by line and
// reports every mistake on the console and in "Erreur.log".
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "services.hpp"
#include "texte.hpp"
#include "titre.hpp"
#include "constats.hpp"
#include "rapport_console.hpp"

namespace {

const char* const AIDE =
    "Usage : testeur_climat [FICHIER_DE_CLIMAT]\n"
    "        testeur_climat swxterm [FICHIER_DE_CLIMAT]\n"
    "        testeur_climat --help | --version\n"
    "\n"
    "Vérifie un fichier de climat de la simulation météo d'Aubrelis et signale\n"
    "chaque erreur et chaque avertissement avec son numéro de ligne, à l'écran et\n"
    "dans Erreur.log, dans le dossier de travail. Sans argument, le chemin du\n"
    "fichier est demandé. swxterm ouvre la vérification dans une fenêtre xterm.\n"
    "Un fichier nommé --help ou --version s'écrit ./--help ou ./--version.\n"
    "\n"
    "Code de retour : 0 quand la vérification est allée jusqu'au bout, 1 sinon.\n"
    "Voir aussi : man testeur_climat, et le guide de l'auteur :\n"_l1;

int teste_fichier(int argc, char** argv) {
  // Asked before anything else: no window, no pause, "Erreur.log" untouched.
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    putsacc(AIDE);
    std::printf("%s\n", GUIDE_CLIMAT_CHEMIN);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("testeur_climat (Aubrelis) %s\n", VERSION_TESTEUR);
    return 0;
  }

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

  // The climate file's own name, so that a climate file that is the log
  // itself is refused before anything is emptied. A name too long to
  // convert is reported when the file is opened, as before.
  char* climat_systeme = nom_systeme(chemin);
  const int journal = ouvre_journal("Erreur.log", climat_systeme);
  std::free(climat_systeme);
  std::FILE* climat = ouvre_fichier(chemin, "r");
  putsacc("Test du fichier de climat en cours.\n");
  putsacc("\n");

  rapport_console rapport(journal);
  moteur_principal(climat, &erreurs, &avertissements, rapport);
  std::fclose(climat);
  // Closed before the pause, so that another check may start here meanwhile.
  ferme_journal(journal);

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
  ouvre_descripteurs_standard();
  // Past a file size limit a write must fail with its reason, reported like
  // a full disk, instead of the signal ending the program mid-report.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return teste_fichier(argc, argv);
  } catch (const std::bad_alloc&) {
    ER = 0;
    Erreur(1);
  }
  return 1;
}
