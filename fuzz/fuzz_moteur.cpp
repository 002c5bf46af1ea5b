// libFuzzer target: any bytes as a climate file. The findings are reported
// into memory. After each input the counters must count exactly the findings
// reported, the line numbers must never go back (one forward pass), and the
// pass must report exactly the same findings with and without its shortcut
// for the rule lines that draw none.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testeur_climat/passe.hpp"

namespace {

struct rapport_memoire final : rapport_constats {
  std::uint64_t empreinte = 14695981039346656037u;  // FNV-1a of every finding, in order
  int erreurs = 0;
  int avertissements = 0;
  int derniere_ligne = 0;
  bool en_ordre = true;
  // Left out of the coverage: its branches are the harness's, not the pass's.
  __attribute__((no_sanitize("coverage"))) void constat(int type, int ligne, const char* message) override {
    ++(type == ERREUR ? erreurs : avertissements);
    en_ordre = en_ordre && ligne >= derniere_ligne && ligne > 0 && message[0] != '\0';
    derniere_ligne = ligne;
    empreinte = (empreinte ^ static_cast<std::uint64_t>(type)) * 1099511628211u;
    empreinte = (empreinte ^ static_cast<std::uint64_t>(ligne)) * 1099511628211u;
    // By words of 8 bytes, the end padded with zeros: fewer checked loads.
    const std::size_t taille = std::strlen(message);
    for (std::size_t i = 0; i < taille; i += 8) {
      std::uint64_t mot = 0;
      __builtin_memcpy(&mot, message + i, taille - i < 8 ? taille - i : 8);
      empreinte = (empreinte ^ mot) * 1099511628211u;
    }
  }
};

rapport_memoire verifie(const std::uint8_t* octets, std::size_t taille, bool raccourci) {
  std::FILE* climat = taille == 0 ? std::fopen("/dev/null", "r")
                                  : fmemopen(const_cast<std::uint8_t*>(octets), taille, "r");
  raccourci_des_regles = raccourci;
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
  return rapport;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* octets, std::size_t taille) {
  raccourcis_pris = 0;
  const std::uint64_t avec = verifie(octets, taille, true).empreinte;
  // Without any rule line taken by the shortcut, both runs are the same run.
  if (raccourcis_pris > 0 && avec != verifie(octets, taille, false).empreinte) {
    std::fprintf(stderr, "le raccourci des règles change les constats\n");
    std::abort();
  }
  return 0;
}
