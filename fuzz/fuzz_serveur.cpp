// The language server's fuzzing target: arbitrary bytes as its input, given
// in two pieces so that a message may be cut anywhere. Whatever comes in,
// the server must neither crash nor send anything but framed JSON.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "testeur_climat/serveur_lsp.hpp"

namespace {

// Left out of the coverage: its branches are the harness's, not the server's.
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
void verifie_cadre(const std::string& message) {
  const std::size_t fin = message.find("\r\n\r\n");
  const std::string tete = "Content-Length: " + std::to_string(message.size() - fin - 4);
  if (fin == std::string::npos || message.compare(0, fin, tete) != 0 ||
      nlohmann::json::parse(message.substr(fin + 4), nullptr, false).is_discarded()) {
    std::fprintf(stderr, "message mal formé : %.200s\n", message.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* octets, std::size_t taille) {
  serveur_lsp serveur(verifie_cadre);
  const char* texte = reinterpret_cast<const char*>(octets);
  const std::size_t coupure = taille / 3;
  if (serveur.recoit(texte, coupure)) serveur.recoit(texte + coupure, taille - coupure);
  return 0;
}
