#include "testeur_climat/editeurs.hpp"

#include <cstdio>

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

std::string nom_du_code(int code) {
  char nom[16];
  std::snprintf(nom, sizeof nom, "CL%03d", code);
  return nom;
}
