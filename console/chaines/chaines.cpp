#include "chaines.hpp"

#include <cerrno>
#include <cstring>

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


std::string en_utf8(std::string_view latin1) {
  // Every byte, a NUL among them: the text is its bytes, not a C string.
  std::string r;
  r.reserve(latin1.size());
  for (const char c : latin1) {
    const auto o = static_cast<unsigned char>(c);
    if (o < 0x80) {
      r += c;
    } else {
      r += static_cast<char>(0xC0 | (o >> 6));
      r += static_cast<char>(0x80 | (o & 0x3F));
    }
  }
  return r;
}

std::string sur_une_ligne(const std::string& message) {
  std::string r;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] != '\n') {
      r += message[i];
      continue;
    }
    while (!r.empty() && r.back() == ' ') r.pop_back();
    while (i + 1 < message.size() && message[i + 1] == ' ') ++i;
    if (i + 1 < message.size()) r += ' ';
  }
  return r;
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

std::string raison_systeme(int erreur) {
  // The reasons a user meets, in the user's language; the system's own
  // texts are English.
  static const struct {
    int numero;
    const char* texte;
  } RAISONS[] = {
      {ENOENT, "fichier introuvable"},
      {EACCES, "permission refusée"_l1},
      {EPERM, "opération non permise"_l1},
      {ELOOP, "trop de liens symboliques à suivre, ou un lien que le système refuse de suivre"_l1},
      {ENOTDIR, "un élément du chemin n'est pas un dossier"_l1},
      {EISDIR, "c'est un dossier"_l1},
      {ENAMETOOLONG, "le nom est trop long"},
      {EROFS, "le système de fichiers est en lecture seule"_l1},
      {ENOSPC, "le disque est plein"},
      {EDQUOT, "le quota de disque est dépassé"_l1},
      {EFBIG, "le fichier a atteint la taille maximale permise"},
      {EIO, "erreur d'entrée-sortie du disque"_l1},
      {ENOMEM, "la mémoire est insuffisante"_l1},
      {EMFILE, "trop de fichiers ouverts"},
      {ENFILE, "trop de fichiers ouverts"},
      {ETXTBSY, "le fichier est en cours d'exécution"_l1},
      {EBUSY, "le fichier est occupé"_l1},
      {ENXIO, "aucun périphérique ne répond à ce nom"_l1},
      {ENOTSUP, "opération non prise en charge par le système de fichiers"_l1},
      {EXDEV, "le fichier et son dossier ne sont pas sur le même système de fichiers"_l1},
      {ESTALE, "le fichier a changé de place"_l1},
  };
  for (const auto& r : RAISONS)
    if (r.numero == erreur) return r.texte;
  return "erreur du système n° "_l1 + std::to_string(erreur);
}

std::string raison_lecture(int erreur) { return raison_systeme(erreur); }

std::string raison_ecriture(int erreur) {
  switch (erreur) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
      return raison_systeme(erreur);
    default:
      return "erreur du système : "_l1 + raison_systeme(erreur);
  }
}

