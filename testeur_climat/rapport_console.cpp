#include "testeur_climat/rapport_console.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "console/services.hpp"
#include "console/texte.hpp"

void rapport_console::constat(int type, int ligne, const char* message) {
  // Prefix and message go in one unbuffered write, so that the log holds
  // every finding reported so far at every moment.
  char texte[512];
  const int prefixe =
      std::snprintf(texte, 64, type == ERREUR ? "- Erreur ligne %d. " : "- Avertissement ligne %d. ", ligne);
  std::fputs(texte, stdout);
  putsacc(message);
  // A message is at most 254 bytes (a fixed text or the message buffer).
  const std::size_t longueur = std::min(std::strlen(message), sizeof texte - 64);
  std::memcpy(texte + prefixe, message, longueur);
  ecrit_journal(journal, texte, static_cast<std::size_t>(prefixe) + longueur);
}
