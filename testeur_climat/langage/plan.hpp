// The outline of an open document and its folding ranges: each part of the
// file, from its head to the line before the next one, and its entries.
#pragma once

#include <string>
#include <vector>

#include "document.hpp"

// A part of the file, or an entry of one: its name as the editor shows it
// (UTF-8), what it spans and the line that names it.
struct element_du_plan {
  std::string nom;
  std::string detail;  // may be empty
  bool entree;         // an entry of a part (else the part itself)
  position_lsp debut;
  position_lsp fin;
  position_lsp selection_debut;
  position_lsp selection_fin;
  std::vector<element_du_plan> enfants;
};

// The header and each paragraph, named by the line the pass took as its head
// (with the head expected there when it is another line, as `detail`), each
// with its entries as children: the lines that begin with a digit after its
// head (after a list's probability line), a season's temperatures by its
// four lines. The first ENTREES_DU_PLAN_MAX entries of the document are
// listed; a part with more says how many it leaves out.
inline constexpr std::size_t ENTREES_DU_PLAN_MAX = 2000;
std::vector<element_du_plan> plan(const document_ouvert& d);

// Where each part folds: its head line and its last.
struct pli {
  int debut;
  int fin;
};
std::vector<pli> plis(const document_ouvert& d);
