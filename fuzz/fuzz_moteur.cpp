// libFuzzer target: any bytes as a climate file. After each input the
// counters must count exactly the findings reported, every finding must
// carry a message and a span on its line, and the line numbers must never
// go back (one forward pass). Every sure fix offered, applied, must remove a
// finding and add none, and the fixes confirmed many in one pass must be
// those confirmed one by one. Asking for the model changes no finding. Each
// finding that follows from another follows from an earlier root.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "constats.hpp"
#include "chaines.hpp"
#include "corrections.hpp"
#include "dessin.hpp"

namespace {

struct rapport_memoire final : rapport_constats {
  modele_climat lu;
  bool avec_modele = false;
  modele_climat* modele() override { return avec_modele ? &lu : nullptr; }
  int erreurs = 0;
  int avertissements = 0;
  int derniere_ligne = 0;
  int derniere_ligne_editeur = 1;
  bool en_ordre = true;
  std::map<std::pair<int, std::string>, int> par_sorte;
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
               c.code <= 999 && c.colonne >= 0 && c.colonne <= c.colonne_fin;
    ++par_sorte[{c.code, c.message}];
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
  // Filling the model changes nothing of what the pass finds.
  rapport_memoire modelise;
  modelise.avec_modele = true;
  verifie_octets(reinterpret_cast<const char*>(octets), taille, modelise);
  if (modelise.par_sorte != rapport.par_sorte || modelise.derniere_ligne != rapport.derniere_ligne) {
    std::fprintf(stderr, "le modèle change les constats\n");
    std::abort();
  }
  // What the model holds can always be drawn, in UTF-8.
  if (!utf8_valide(dessin_html(modelise.lu, true).c_str())) {
    std::fprintf(stderr, "le dessin n'est pas de l'UTF-8\n");
    std::abort();
  }
  // Each fix costs a pass per candidate: only on inputs of a climate file's size.
  if (taille > 4096) return 0;
  const std::string_view texte(reinterpret_cast<const char*>(octets), taille);
  const std::vector<correction> sures = corrections_sures(texte);
  // Tried one by one, the candidates cost a pass each: on an input with
  // thousands of findings that is seconds under the sanitizers, and the
  // fuzzer would take it for a hang. Such inputs are compared in batches only.
  const std::vector<correction> une_a_une =
      c.erreurs + c.avertissements > 1000 ? sures : corrections_sures(texte, 64, 1, 1 << 30, false);
  bool memes = sures.size() == une_a_une.size();
  for (std::size_t i = 0; memes && i < sures.size(); ++i)
    memes = sures[i].debut == une_a_une[i].debut && sures[i].fin == une_a_une[i].fin && sures[i].texte == une_a_une[i].texte;
  if (!memes) {
    std::fprintf(stderr, "%zu corrections par lots, %zu une à une\n", sures.size(), une_a_une.size());
    std::abort();
  }
  for (const correction& k : sures) {
    std::string corrige(texte.substr(0, k.debut));
    corrige += k.texte;
    corrige += texte.substr(k.fin);
    rapport_memoire apres;
    const compteurs n = verifie_octets(corrige.data(), corrige.size(), apres);
    bool ajoute = n.erreurs + n.avertissements >= c.erreurs + c.avertissements;
    for (const auto& [sorte, nombre] : apres.par_sorte) ajoute = ajoute || nombre > rapport.par_sorte[sorte];
    if (ajoute) {
      std::fprintf(stderr, "la correction CL%03d de la ligne %d ajoute un constat\n", k.code, k.ligne);
      std::abort();
    }
  }
  // A finding follows from an earlier one, which is a root; only a root has
  // an origin.
  const std::vector<filiation> f = filiations(texte);
  for (std::size_t i = 0; i < f.size(); ++i) {
    const bool juste = f[i].cause < 0 ? f[i].ligne_origine >= 0
                                      : static_cast<std::size_t>(f[i].cause) < i && f[static_cast<std::size_t>(f[i].cause)].cause < 0 &&
                                            f[i].ligne_origine == 0;
    if (!juste || (f.size() != static_cast<std::size_t>(c.erreurs + c.avertissements) && !f.empty())) {
      std::fprintf(stderr, "le constat %zu découle mal (cause %d)\n", i, f[i].cause);
      std::abort();
    }
  }
  return 0;
}
