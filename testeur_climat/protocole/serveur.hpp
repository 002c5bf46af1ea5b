// The language server of verifie_climat: the same pass, run on the text an
// editor holds, over the Language Server Protocol (JSON-RPC messages framed
// by a Content-Length header). It knows nothing of where its bytes come from
// or go, so that the program, the tests and the fuzzer drive the same code.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "cadrage.hpp"

class document_ouvert;

class serveur_lsp {
 public:
  // `envoie` receives each framed message to write, header included.
  explicit serveur_lsp(std::function<void(const std::string&)> envoie);
  ~serveur_lsp();
  serveur_lsp(const serveur_lsp&) = delete;
  serveur_lsp& operator=(const serveur_lsp&) = delete;

  // Takes the next bytes of the input, as they come. Returns false once the
  // client has said "exit": nothing more is read.
  bool recoit(const char* octets, std::size_t taille);
  // The exit status: 0 when "shutdown" came before the end, 1 otherwise.
  int statut() const { return arret_demande ? 0 : 1; }

 private:
  // Handles one message; `a_liberer`, when given, holds its bytes and is
  // emptied as soon as they are parsed. Returns false after "exit".
  bool traite(std::string_view corps, std::string* a_liberer);
  // Analyses and publishes the documents changed since their last publish.
  void publie_en_attente();
  std::function<void(const std::string&)> envoie;
  cadrage entree;
  bool initialise = false;
  // The client reads hovers as plain text only (it said so at initialize).
  bool survol_en_texte = false;
  bool arret_demande = false;
  bool fini = false;
  bool changements_en_attente = false;
  std::map<std::string, std::unique_ptr<document_ouvert>> documents;
  friend struct requete;
};
