#include "ecrit_json.hpp"

#include <cstdio>

void ecrit_json::separe() {
  if (apres_cle) {
    apres_cle = false;
    return;
  }
  if (pleins.empty()) return;
  if (pleins.back()) sortie += lisible ? ", " : ",";
  pleins.back() = true;
}

ecrit_json& ecrit_json::ouvre(char c) {
  separe();
  sortie += c;
  pleins.push_back(false);
  return *this;
}

ecrit_json& ecrit_json::ferme(char c) {
  sortie += c;
  if (!pleins.empty()) pleins.pop_back();
  return *this;
}

ecrit_json& ecrit_json::cle(std::string_view nom) {
  chaine(nom);
  sortie += lisible ? ": " : ":";
  apres_cle = true;
  return *this;
}

ecrit_json& ecrit_json::chaine(std::string_view texte) {
  separe();
  sortie += '"';
  for (const char c : texte) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      sortie += '\\';
      sortie += c;
    } else if (u >= 0x20) {
      sortie += c;
    } else {
      static constexpr std::string_view HEXA = "0123456789abcdef";
      sortie += "\\u00";
      sortie += HEXA[u >> 4];
      sortie += HEXA[u & 0xF];
    }
  }
  sortie += '"';
  return *this;
}

ecrit_json& ecrit_json::entier(long long n) {
  separe();
  sortie += std::to_string(n);
  return *this;
}

ecrit_json& ecrit_json::booleen(bool b) {
  separe();
  sortie += b ? "true" : "false";
  return *this;
}

ecrit_json& ecrit_json::nul() {
  separe();
  sortie += "null";
  return *this;
}

ecrit_json& ecrit_json::brut(std::string_view jeton) {
  separe();
  sortie += jeton;
  return *this;
}
