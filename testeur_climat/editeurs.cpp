#include "testeur_climat/editeurs.hpp"

#include <cstdio>

std::string en_utf8(const char* latin1) {
  std::string r;
  for (const auto* p = reinterpret_cast<const unsigned char*>(latin1); *p != 0; ++p) {
    if (*p < 0x80) {
      r += static_cast<char>(*p);
    } else {
      r += static_cast<char>(0xC0 | (*p >> 6));
      r += static_cast<char>(0x80 | (*p & 0x3F));
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
