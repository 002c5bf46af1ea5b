#include "texte.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "services.hpp"

char chfunc[TAILLE_CHFUNC];

namespace {

// Number of bytes that the byte at `p` (and the one after a 0xC3) gives once
// converted, and how many input bytes it takes.
struct pas_conversion {
  std::size_t lus;
  std::size_t ecrits;
};

pas_conversion pas(const unsigned char* p) {
  if (*p == 0xC3) return {p[1] == 0 ? 1u : 2u, p[1] == 0 ? 1u : 2u};
  if (*p >= 0xE0) return {1, 2};
  return {1, 1};
}

}  // namespace

std::size_t longueur_convertie(const char* texte) {
  const auto* p = reinterpret_cast<const unsigned char*>(texte);
  std::size_t n = 0;
  while (*p != 0) {
    const pas_conversion s = pas(p);
    p += s.lus;
    n += s.ecrits;
  }
  return n;
}

char* linux_acc(const char* texte, char* sortie, std::size_t taille) {
  if (taille == 0) return sortie;
  const auto* p = reinterpret_cast<const unsigned char*>(texte);
  std::size_t j = 0;
  while (*p != 0) {
    const pas_conversion s = pas(p);
    if (j + s.ecrits >= taille) break;
    if (*p >= 0xE0) {
      sortie[j++] = static_cast<char>(0xC3);
      sortie[j++] = static_cast<char>(*p - 0x40);
    } else {
      for (std::size_t k = 0; k < s.lus; ++k) sortie[j++] = static_cast<char>(p[k]);
    }
    p += s.lus;
  }
  sortie[j] = '\0';
  return sortie;
}

char* acc(const char* texte, char* sortie, std::size_t taille) {
  char intermediaire[TAILLE_CHFUNC];
  linux_acc(texte, intermediaire, sizeof intermediaire);
  if (taille == 0) return sortie;
  const std::size_t n = std::min(std::strlen(intermediaire), taille - 1);
  std::memmove(sortie, intermediaire, n);
  sortie[n] = '\0';
  return sortie;
}

void putsacc(const char* texte) {
  // Longer texts are printed in pieces rather than cut, never splitting the
  // 0xC3 pair of an already converted letter.
  char copie[512];
  std::size_t reste = std::strlen(texte);
  while (reste > 0) {
    std::size_t n = std::min(reste, sizeof copie - 1);
    if (n < reste && static_cast<unsigned char>(texte[n - 1]) == 0xC3) --n;
    std::memcpy(copie, texte, n);
    copie[n] = '\0';
    acc(copie, chfunc, sizeof chfunc);
    std::printf("%s", chfunc);
    texte += n;
    reste -= n;
  }
}

int index_ch(const char* texte, const char* motif, int* positions) {
  if (*motif == '\0') return 0;
  int nombre = 0;
  for (const char* p = std::strstr(texte, motif); p != nullptr; p = std::strstr(p + 1, motif)) {
    if (nombre == TAILLE_INDEX) {
      std::puts("\nDepassement de capacite du tableau d'index dans index_ch.\n");
      DPause();
      std::exit(1);
    }
    positions[nombre++] = static_cast<int>(p - texte);
  }
  return nombre;
}
