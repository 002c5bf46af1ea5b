// The sure fixes an editor offers as code actions: each fix of the lines
// asked, with the diagnostics it removes, and one action for all of them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "document.hpp"

// An edit of the document: [debut, fin) replaced by `texte` (UTF-8).
struct modification_lsp {
  position_lsp debut;
  position_lsp fin;
  std::string texte;
};

// A diagnostic of the editor's request, as far as a fix tells it apart: its
// code and the line it begins on.
struct diagnostic_demande {
  std::string code;
  long long ligne;
};

struct action_code {
  std::string titre;  // UTF-8
  bool tout;          // every sure fix of the document (else one fix)
  std::vector<modification_lsp> modifications;
  std::vector<std::size_t> retires;  // the request's diagnostics it removes, by index
  std::vector<std::size_t> suites;   // the published findings that follow from its root, which it removes too
  std::string desactivee;            // why it is shown but cannot be made; empty: it can
};

// The fixes of the editor's lines [premiere, derniere] when `correctifs`,
// and the action that makes them all when `tout`. No edit touches a
// character Latin-1 lacks: the fix would have written "?" in its place.
std::vector<action_code> actions(const document_ouvert& d, long long premiere, long long derniere, bool correctifs, bool tout,
                                 const std::vector<diagnostic_demande>& demandes);

// The largest edit the action for every fix sends: its answer stays under a
// mebibyte.
inline constexpr std::size_t ENVOI_MAX = std::size_t{900} << 10;
