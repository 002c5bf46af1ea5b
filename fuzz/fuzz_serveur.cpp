// The language server's fuzzing target: arbitrary bytes as its input, given
// in two pieces so that a message may be cut anywhere. Whatever comes in,
// the server must neither crash nor send anything but framed JSON, and no
// message longer than a mebibyte, however large or strange the document.
// An input that begins with byte 1 is also sent as the parameters of a
// message nested 64 times its length deep; one that begins with byte 2 as
// the text of a document repeated to a quarter of a mebibyte.
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
  if (fin == std::string::npos || message.compare(0, fin, tete) != 0 || message.size() > (std::size_t{1} << 20) ||
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
  if (taille < 2 || (octets[0] != 1 && octets[0] != 2)) return 0;

  const auto cadre = [](const std::string& corps) { return "Content-Length: " + std::to_string(corps.size()) + "\r\n\r\n" + corps; };
  const std::string reste(texte + 1, taille - 1);
  std::string session;
  if (octets[0] == 1) {
    const std::size_t profondeur = taille * 64;
    session = cadre(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":)" + std::string(profondeur, '[') + reste +
                    std::string(profondeur, ']') + "}");
  } else {
    std::string document;
    while (document.size() < (std::size_t{1} << 18)) document += reste;
    session = cadre(R"({"jsonrpc":"2.0","id":1,"method":"initialize"})") +
              cadre(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///x/c.txt","version":1,"text":)" +
                    nlohmann::json(document).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "}}}") +
              cadre(R"({"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///x/c.txt"},"position":{"line":0,"character":0}}})");
  }
  serveur_lsp autre(verifie_cadre);
  autre.recoit(session.data(), session.size());
  return 0;
}
