#include "console/texte.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/services.hpp"

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

namespace {

// The length of the well-formed UTF-8 character at `p`, or 0 when none
// begins there (a stray byte, an overlong form, a surrogate, a character
// beyond U+10FFFF, a character cut by the NUL).
std::size_t caractere_utf8(const unsigned char* p) {
  const unsigned char c = *p;
  if (c < 0x80) return 1;
  std::size_t suite = 0;
  unsigned char min = 0x80;
  unsigned char max = 0xBF;  // bounds of the byte after the first
  // A continuation byte, or the start of an overlong two-byte form, begins
  // nothing; the first byte tells how many follow.
  if (c < 0xC2 || c > 0xF4) return 0;
  if (c <= 0xDF) {
    suite = 1;
  } else if (c <= 0xEF) {
    suite = 2;
    if (c == 0xE0) min = 0xA0;  // no overlong form
    if (c == 0xED) max = 0x9F;  // no surrogate
  } else {
    suite = 3;
    if (c == 0xF0) min = 0x90;
    if (c == 0xF4) max = 0x8F;  // nothing above U+10FFFF
  }
  for (std::size_t i = 1; i <= suite; ++i)
    if (p[i] < (i == 1 ? min : 0x80) || p[i] > (i == 1 ? max : 0xBF)) return 0;
  return suite + 1;
}

}  // namespace

bool utf8_valide(const char* texte) {
  const auto* p = reinterpret_cast<const unsigned char*>(texte);
  while (*p != 0) {
    const std::size_t n = caractere_utf8(p);
    if (n == 0) return false;
    p += n;
  }
  return true;
}

std::string octets_echappes(const char* nom) {
  std::string r;
  for (const auto* p = reinterpret_cast<const unsigned char*>(nom); *p != 0;) {
    const std::size_t n = caractere_utf8(p);
    if (n > 0) {
      r.append(reinterpret_cast<const char*>(p), n);
      p += n;
      continue;
    }
    static constexpr char HEXA[] = "0123456789ABCDEF";
    r += "\\x";
    r += HEXA[*p >> 4];
    r += HEXA[*p & 0x0F];
    ++p;
  }
  return r;
}

std::string visible(std::string_view texte) {
  std::string r;
  for (std::size_t i = 0; i < texte.size(); ++i) {
    const auto c = static_cast<unsigned char>(texte[i]);
    const auto suite = i + 1 < texte.size() ? static_cast<unsigned char>(texte[i + 1]) : 0;
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      r += '^';
      r += static_cast<char>(c ^ 0x40);
    } else if (c == 0xC2 && suite >= 0x80 && suite <= 0x9F) {
      r += "M-^";
      r += static_cast<char>((suite - 0x80) ^ 0x40);
      ++i;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

std::string nom_visible(const char* nom) { return visible(octets_echappes(nom)); }

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

void Efface_char(char* texte, const char* motif) {
  const std::size_t lm = std::strlen(motif);
  if (lm == 0) return;
  const char* trouve = std::strstr(texte, motif);
  if (trouve == nullptr) return;
  const char* suite = trouve + lm;
  std::memmove(texte, suite, std::strlen(suite) + 1);
}

void Efface_n(char* texte) {
  const std::size_t n = std::strlen(texte);
  for (std::size_t i = n < 5 ? 0 : n - 5; i < n; ++i) {
    if (texte[i] == '\n' || texte[i] == '\r') {
      texte[i] = '\0';
      return;
    }
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
