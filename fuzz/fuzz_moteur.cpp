// libFuzzer target: any bytes as a climate file. After each input the log
// must hold exactly the reports made, and the counters count exactly them.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "testeur_climat/passe.hpp"

namespace {

std::string rapports;  // what the log must hold, built as the reports are made
int erreurs_vues = 0;
int avertissements_vus = 0;

void recueille(int type, int ligne, const char* message) {
  char prefixe[64];
  std::snprintf(prefixe, sizeof prefixe, type == ERREUR ? "- Erreur ligne %d. " : "- Avertissement ligne %d. ", ligne);
  rapports += prefixe;
  rapports += message;
  ++(type == ERREUR ? erreurs_vues : avertissements_vus);
}

std::string journal() {
  std::ifstream f("Erreur.log", std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char modele[] = "/tmp/fuzz-climat-XXXXXX";
  if (mkdtemp(modele) == nullptr || chdir(modele) != 0) std::abort();
  // The console output is not what is checked, and would slow every run.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  observateur_constats = recueille;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* octets, std::size_t taille) {
  std::fclose(std::fopen("Erreur.log", "w"));
  rapports.clear();
  erreurs_vues = 0;
  avertissements_vus = 0;
  std::FILE* climat = taille == 0 ? std::fopen("/dev/null", "r")
                                  : fmemopen(const_cast<std::uint8_t*>(octets), taille, "r");
  int erreurs = 0;
  int avertissements = 0;
  moteur_principal(climat, &erreurs, &avertissements);
  std::fclose(climat);
  if (erreurs != erreurs_vues || avertissements != avertissements_vus || journal() != rapports) {
    std::fprintf(stderr, "journal ou compteurs incohérents : %d/%d erreurs, %d/%d avertissements\n", erreurs,
                 erreurs_vues, avertissements, avertissements_vus);
    std::abort();
  }
  return 0;
}
