// The language server's fuzzing target: arbitrary bytes as its input, given
// in two pieces so that a message may be cut anywhere. Whatever comes in,
// the server must neither crash nor send anything but framed JSON, and no
// message longer than a mebibyte, however large or strange the document.
// An input that begins with byte 1 is also sent as the parameters of a
// message nested 16 times its length deep; one that begins with byte 2 as
// the text of a document repeated to 16 KiB (past the diagnostics
// shown), checked as a climate file and asked, at places its bytes give,
// for hover, definition, references and completion; one that begins with byte 3 as a document and the changes of one
// notification, whose diagnostics must be those of the changed text opened
// afresh; one that begins with byte 4 as the bytes of a climate file (NULs
// and control characters among them), whose "source.fixAll" edit must give
// every byte of what verifie_climat --corrige writes.
#include <cstddef>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "corrections.hpp"
#include "serveur.hpp"

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

std::string chaine(const std::string& t) { return nlohmann::json(t).dump(); }

// The byte offset of a protocol position in a UTF-8 text, written apart from
// the server: lines end at LF, CR LF or a lone CR, characters count in UTF-16
// units, and a position past a line's end or past the last line is held there.
std::size_t decalage(const std::string& t, long ligne, long caractere) {
  std::size_t i = 0;
  for (; ligne > 0 && i < t.size(); ++i)
    if (t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n'))) --ligne;
  if (ligne > 0) return t.size();
  for (long unites = 0; i < t.size() && t[i] != '\n' && t[i] != '\r';) {
    const auto c = static_cast<unsigned char>(t[i]);
    const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    if ((unites += n == 4 ? 2 : 1) > caractere) break;
    i += n;
  }
  return i;
}

// The last diagnostics published, without their version.
std::string diagnostics(const std::string& session) {
  std::string dernier;
  serveur_lsp serveur([&](const std::string& m) {
    if (m.find("publishDiagnostics") != std::string::npos) dernier = m.substr(m.find("\"diagnostics\""));
  });
  serveur.recoit(session.data(), session.size());
  return dernier;
}

// Byte 3: a text made of the next bytes, then changes of five bytes each
// (two positions, the text put in), in one notification.
void compare_les_changements(const unsigned char* octets, std::size_t taille) {
  static const char* const MORCEAUX[] = {"a", "1", ":", "\n", "\r", "\r\n", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x8C\xA7", ">Vent:", "", "<"};
  constexpr std::size_t N = sizeof MORCEAUX / sizeof *MORCEAUX;
  const std::size_t longueur = std::min<std::size_t>(taille / 2, 200);
  std::string texte = "Latitude=1\n";
  for (std::size_t i = 1; i < longueur; ++i) texte += MORCEAUX[octets[i] % N];
  const std::string ouverture = R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///x/c.txt","languageId":"climat","version":1,"text":)";
  const std::string debut = cadre(R"({"jsonrpc":"2.0","id":1,"method":"initialize"})") + cadre(ouverture + chaine(texte) + "}}}");
  std::string changements;
  for (std::size_t i = longueur; i + 5 <= taille; i += 5) {
    const long l1 = octets[i] % 8, c1 = octets[i + 1] % 12, l2 = l1 + octets[i + 2] % 3, c2 = octets[i + 3] % 12;
    std::size_t a = decalage(texte, l1, c1), b = decalage(texte, l2, c2);
    if (b < a) std::swap(a, b);
    texte.replace(a, b - a, MORCEAUX[octets[i + 4] % N]);
    changements += std::string(changements.empty() ? "" : ",") + R"({"range":{"start":{"line":)" + std::to_string(l1) +
                   R"(,"character":)" + std::to_string(c1) + R"(},"end":{"line":)" + std::to_string(l2) + R"(,"character":)" +
                   std::to_string(c2) + R"(}},"text":)" + chaine(MORCEAUX[octets[i + 4] % N]) + "}";
  }
  const std::string change = R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///x/c.txt","version":2},"contentChanges":[)" +
                             changements + "]}}";
  if (diagnostics(debut + cadre(change)) != diagnostics(cadre(R"({"jsonrpc":"2.0","id":1,"method":"initialize"})") +
                                                         cadre(ouverture + chaine(texte) + "}}}"))) {
    std::fprintf(stderr, "les changements ne donnent pas le texte changé : %s\n", texte.c_str());
    std::abort();
  }
}

// Byte 4: the next bytes as a Latin-1 file, all fixed by the server's one
// edit, compared byte for byte with the fixes made on the bytes themselves.
void compare_tout_corriger(const unsigned char* octets, std::size_t taille) {
  const std::string latin1(reinterpret_cast<const char*>(octets) + 1, taille - 1);
  std::string texte;  // as an editor holds it: UTF-8
  for (const char o : latin1) {
    const auto c = static_cast<unsigned char>(o);
    if (c < 0x80) texte += o;
    else texte += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
  }
  std::string reponse;
  serveur_lsp serveur([&](const std::string& m) {
    if (m.find("\"id\":2") != std::string::npos) reponse = m.substr(m.find("\r\n\r\n") + 4);
  });
  const std::string session =
      cadre(R"({"jsonrpc":"2.0","id":1,"method":"initialize"})") +
      cadre(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///x/c.txt","languageId":"climat","version":1,"text":)" +
            chaine(texte) + "}}}") +
      cadre(R"({"jsonrpc":"2.0","id":2,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///x/c.txt"},"range":{"start":{"line":0,"character":0},"end":{"line":0,"character":0}},"context":{"diagnostics":[],"only":["source.fixAll"]}}})");
  serveur.recoit(session.data(), session.size());
  const nlohmann::json actions = nlohmann::json::parse(reponse)["result"];
  // The places are those of the text before the edits: the last first.
  for (const auto& action : actions) {
    const auto& edits = action["edit"]["changes"]["file:///x/c.txt"];
    for (auto modif = edits.rbegin(); modif != edits.rend(); ++modif) {
      const auto& r = (*modif)["range"];
      const std::size_t a = decalage(texte, r["start"]["line"], r["start"]["character"]);
      const std::size_t b = decalage(texte, r["end"]["line"], r["end"]["character"]);
      texte.replace(a, b - a, (*modif)["newText"].get<std::string>());
    }
  }
  std::string apres;  // back to Latin-1
  for (std::size_t i = 0; i < texte.size(); ++i) {
    const auto c = static_cast<unsigned char>(texte[i]);
    apres += c < 0x80 ? static_cast<char>(c) : static_cast<char>(((c & 0x03) << 6) | (texte[++i] & 0x3F));
  }
  if (apres != corrige(latin1, false)) {
    std::fprintf(stderr, "source.fixAll ne donne pas les octets de --corrige\n");
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* octets, std::size_t taille) {
  serveur_lsp serveur(verifie_cadre);
  const char* texte = reinterpret_cast<const char*>(octets);
  const std::size_t coupure = taille / 3;
  if (serveur.recoit(texte, coupure)) serveur.recoit(texte + coupure, taille - coupure);
  if (taille >= 2 && octets[0] == 3) compare_les_changements(octets, taille);
  if (taille >= 2 && octets[0] == 4) compare_tout_corriger(octets, taille);
  if (taille < 2 || (octets[0] != 1 && octets[0] != 2)) return 0;

  const std::string reste(texte + 1, taille - 1);
  std::string session;
  if (octets[0] == 1) {
    const std::size_t profondeur = taille * 16;
    session = cadre(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":)" + std::string(profondeur, '[') + reste +
                    std::string(profondeur, ']') + "}");
  } else {
    std::string document;
    while (document.size() < (std::size_t{1} << 14)) document += reste;
    session = cadre(R"({"jsonrpc":"2.0","id":1,"method":"initialize"})") +
              cadre(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///x/c.txt","languageId":"climat","version":1,"text":)" +
                    nlohmann::json(document).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "}}}");
    // (each question finds in the parameters what it reads: a position, a
    // range, a new name)
    static const char* const QUESTIONS[] = {"hover",     "definition",    "references", "completion", "documentHighlight",
                                            "inlayHint", "prepareRename", "rename",     "codeLens"};
    for (std::size_t k = 0; k + 2 < reste.size() && k < 9; ++k)
      session += cadre(std::string(R"({"jsonrpc":"2.0","id":2,"method":"textDocument/)") + QUESTIONS[k % 9] +
                       R"(","params":{"textDocument":{"uri":"file:///x/c.txt"},"newName":")" +
                       std::to_string(static_cast<unsigned char>(reste[k]) % 12) +
                       R"(","range":{"start":{"line":0,"character":0},"end":{"line":99,"character":0}},)"
                       R"("context":{"includeDeclaration":true},"position":{"line":)" +
                       std::to_string(static_cast<unsigned char>(reste[k]) % 64) + R"(,"character":)" +
                       std::to_string(static_cast<unsigned char>(reste[k + 1]) % 64) + "}}}");
  }
  serveur_lsp autre(verifie_cadre);
  autre.recoit(session.data(), session.size());
  return 0;
}
