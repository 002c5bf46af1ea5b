#include "rapport_console.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "services.hpp"
#include "texte.hpp"

namespace {

// The prefix with a line number of at most 11 characters fits in 64 bytes;
// a message is at most 254 bytes (a fixed text or the message buffer).
constexpr std::size_t PREFIXE_MAX = 64;
constexpr std::size_t CONSTAT_MAX = PREFIXE_MAX + 255;

}  // namespace

void rapport_console::rapporte(const constat& c) {
  // Prefix and message go in one unbuffered write, so that the log holds
  // every finding reported so far at every moment.
  char texte[CONSTAT_MAX];
  const int prefixe = std::snprintf(texte, PREFIXE_MAX,
                                    c.type == ERREUR ? "- Erreur ligne %d. " : "- Avertissement ligne %d. ", c.ligne);
  std::fputs(texte, stdout);
  putsacc(c.message);
  const std::size_t longueur = std::min(std::strlen(c.message), sizeof texte - PREFIXE_MAX);
  std::memcpy(texte + prefixe, c.message, longueur);
  ecrit_journal(journal, texte, static_cast<std::size_t>(prefixe) + longueur);
}
