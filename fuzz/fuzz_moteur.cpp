// libFuzzer target: any bytes as a climate file. After each input the
// counters must count exactly the findings reported, every finding must
// carry a message, and the line numbers must never go back (one forward
// pass).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "testeur_climat/constats.hpp"

namespace {

struct rapport_memoire final : rapport_constats {
  int erreurs = 0;
  int avertissements = 0;
  int derniere_ligne = 0;
  int derniere_ligne_editeur = 1;
  bool en_ordre = true;
  // Left out of the coverage: its branches are the harness's, not the pass's.
#if defined(__clang__)
  __attribute__((no_sanitize("coverage")))
#endif
  void rapporte(const constat& c) override {
    ++(c.type == ERREUR ? erreurs : avertissements);
    // Both numbers only grow; a line of an editor takes at least one read,
    // and the end of the file comes at most one line after the last read.
    en_ordre = en_ordre && c.ligne >= derniere_ligne && c.ligne > 0 && c.message[0] != '\0' &&
               c.ligne_editeur >= derniere_ligne_editeur && c.ligne_editeur <= c.ligne + 1 && c.code >= 101 &&
               c.code <= 999;
    derniere_ligne = c.ligne;
    derniere_ligne_editeur = c.ligne_editeur;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* octets, std::size_t taille) {
  rapport_memoire rapport;
  const compteurs c = verifie_octets(reinterpret_cast<const char*>(octets), taille, rapport);
  if (c.erreurs != rapport.erreurs || c.avertissements != rapport.avertissements || !rapport.en_ordre) {
    std::fprintf(stderr, "constats incohérents : %d/%d erreurs, %d/%d avertissements, ordre %d\n", c.erreurs,
                 rapport.erreurs, c.avertissements, rapport.avertissements, rapport.en_ordre);
    std::abort();
  }
  return 0;
}
