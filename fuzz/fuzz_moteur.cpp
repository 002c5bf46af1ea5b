// libFuzzer target: any bytes as a climate file. The findings are reported
// into memory; after each input the counters must count exactly the findings
// reported, and the line numbers must never go back (one forward pass).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testeur_climat/passe.hpp"

namespace {

struct rapport_memoire final : rapport_constats {
  int erreurs = 0;
  int avertissements = 0;
  int derniere_ligne = 0;
  bool en_ordre = true;
  void constat(int type, int ligne, const char* message) override {
    ++(type == ERREUR ? erreurs : avertissements);
    en_ordre = en_ordre && ligne >= derniere_ligne && ligne > 0 && std::strlen(message) > 0;
    derniere_ligne = ligne;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* octets, std::size_t taille) {
  std::FILE* climat = taille == 0 ? std::fopen("/dev/null", "r")
                                  : fmemopen(const_cast<std::uint8_t*>(octets), taille, "r");
  rapport_memoire rapport;
  int erreurs = 0;
  int avertissements = 0;
  moteur_principal(climat, &erreurs, &avertissements, rapport);
  std::fclose(climat);
  if (erreurs != rapport.erreurs || avertissements != rapport.avertissements || !rapport.en_ordre) {
    std::fprintf(stderr, "constats incohérents : %d/%d erreurs, %d/%d avertissements, ordre %d\n", erreurs,
                 rapport.erreurs, avertissements, rapport.avertissements, rapport.en_ordre);
    std::abort();
  }
  return 0;
}
