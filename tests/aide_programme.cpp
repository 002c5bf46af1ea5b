#include "aide_programme.hpp"

#include <sys/stat.h>

std::string copie_du_programme(const std::string& dossier) {
  const std::string copie = dossier + "/testeur_climat";
  ecrit_fichier(copie, lit_fichier(TESTEUR_CLIMAT_BIN));
  chmod(copie.c_str(), 0755);
  return copie;
}

int occurrences(const std::string& texte, const std::string& motif) {
  int n = 0;
  for (std::size_t p = texte.find(motif); p != std::string::npos; p = texte.find(motif, p + 1)) ++n;
  return n;
}
